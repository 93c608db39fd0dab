#include "session/session.h"

#include <cstdio>
#include <cstdlib>

#include "diagnostics/diagnostics.h"
#include "platform/windows/windows.h"
#include "shell/session.h"

App::~App() { Close_Error_Log(*this); }

Session::Session(App& owner) : app(owner), display(owner) {}

Session::~Session() {
    Shutdown(*this);
    if (display.Main_Window && display.Main_Window->session == this) display.Main_Window->session = nullptr;
}

Session& Window_Session(HWND window) {
    for (HWND w = window; w; w = w->parent)
        if (w->session) return *static_cast<Session*>(w->session);
    // Every window the engine handles messages for belongs to a session; one that does not is
    // a fault of the program, and going on would draw into another session's state.
    std::fprintf(stderr, "mirravane: a window without a session\n");
    std::abort();
}

void Attach_Window(Session& s, HWND window) {
    s.display.Main_Window = window;
    if (window) window->session = &s;
}
