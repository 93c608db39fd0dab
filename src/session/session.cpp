#include "session/session.h"

#include <cstdio>
#include <cstdlib>

#include "diagnostics/diagnostics.h"
#include "input/mouse.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "platform/windows/windows.h"
#include "scope/scope.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/title.h"

namespace {
const Once_Log shutdown_log;
}

Shell_Link& Quiet_Shell_Link() {
    static Shell_Link quiet;
    return quiet;
}

App::~App() { Close_Error_Log(*this); }

Session::Session(App& owner) : app(owner), display(owner) {}

Session::~Session() {
    Shutdown(*this);
    if (display.Main_Window && display.Main_Window->session == this) display.Main_Window->session = nullptr;
}

int Release_Display_Resources(Session& s) {
    Destroy_Title(s);
    Release_All_Fonts(s);
    Free_Colour_Slides(s);
    Shutdown_Scope(s);
    Shutdown_Kaleidoscope(s);
    Free_All_Objects(s);
    Shutdown_Plasma(s);
    Release_Scratch_Pad(s.display);
    return 1;
}

void Shutdown(Session& s) {
    shutdown_log.enter(s.app, "Entering Shutdown");
    Release_Display_Resources(s);
    Release_All_Fonts(s);
    Release_Mouse(s);
    Release_Direct_Input(s);
    Release_Direct_Draw(s.display);
    shutdown_log.exit(s.app, "Exitting Shutdown");
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
