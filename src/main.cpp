// Mirravane: reads the arguments, then hands the command line to the start-up, on the Qt
// window system unless a headless run is asked for (MIRRAVANE_BACKEND=headless).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/system/system.h"
#include "shell/command_line.h"
#include "session/run_mode.h"
#include "session/session.h"
#include "shell/startup.h"

#if __has_include("platform/qt/qt_backend.h")
#include "platform/qt/qt_backend.h"
#define MIRRAVANE_HAVE_QT 1
#endif

namespace {

// Qt's X11 and Wayland plugins call exit() when the display goes away, from inside the event
// loop; the exit handlers would then destroy the application under it. This handler runs
// before those (it is registered last, once the loop is about to run), ends the program the
// orderly way without the window system, and leaves before anything else is torn down.
App* exiting_app = nullptr;  // the program's App, for the exit handler
void On_Exit_During_Loop() {
    if (!exiting_app || !exiting_app->Message_Loop_Running) return;
    for (Display_Context* d : exiting_app->displays) End_After_Lost_Display(*d);
    std::fflush(nullptr);
    std::_Exit(START_FAILED_EXIT_CODE);
}

// A preview (/p, -window-id) or a saver inside $XSCREENSAVER_WINDOW draws into a window of
// another program.
bool Draws_Into_Native_Window(const Arguments& arguments) {
    uintptr_t parent = 0;
    return arguments.host_window != 0 || Parse_Command_Line(arguments.line.c_str(), &parent) == PREVIEW;
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments arguments = Parse_Arguments(argc, argv);
    switch (arguments.action) {
    case Arguments::HELP: std::fputs(Usage_Text(), stdout); return 0;
    case Arguments::VERSION: std::printf("%s\n", Version_Text().c_str()); return 0;
    case Arguments::USAGE_ERROR:
        std::fprintf(stderr, "mirravane: %s\n\n%s", arguments.error.c_str(), Usage_Text());
        return USAGE_EXIT_CODE;
    case Arguments::RUN: break;
    }
    App app;
    app.Saver_Host_Window = arguments.host_window;
    app.Independent_Saver = arguments.independent;
    app.Saver_Preset_File = arguments.preset;
    app.Saver_Random_Interval = arguments.random_interval;
    Catch_Ending_Signals();

    const char* backend = std::getenv("MIRRAVANE_BACKEND");
    const bool headless = backend && std::strcmp(backend, "headless") == 0;
#ifdef MIRRAVANE_HAVE_QT
    if (!headless && !Install_Qt_Backend(argc, argv, Draws_Into_Native_Window(arguments))) return START_FAILED_EXIT_CODE;
#else
    (void)headless;
#endif
    int code = 0;
    {
        Session s(app);
        const int started = Start_Up(s, arguments.line.c_str());
        code = Start_Exit_Code(started);
        if (started == START_RUNNING) {
            const auto other_monitors = Start_Other_Monitors(s);
            exiting_app = &app;
            if (!headless) std::atexit(On_Exit_During_Loop);
            app.Message_Loop_Running = true;
            code = Message_Loop(s);
            app.Message_Loop_Running = false;
            exiting_app = nullptr;
        }
    }
#ifdef MIRRAVANE_HAVE_QT
    if (!headless) Shutdown_Qt_Backend();
#endif
    return code;
}
