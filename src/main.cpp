// Mirravane: hands the command line to the start-up, on the Qt window system unless a
// headless run is asked for (MIRRAVANE_BACKEND=headless).
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/command_line.h"
#include "shell/modes.h"
#include "shell/startup.h"

#if __has_include("platform/qt/qt_backend.h")
#include "platform/qt/qt_backend.h"
#define MIRRAVANE_HAVE_QT 1
#endif

namespace {

// A preview (/p, -window-id) or a saver inside $XSCREENSAVER_WINDOW draws into a window of
// another program.
bool Draws_Into_Native_Window(int argc, char** argv) {
    uintptr_t host = 0, parent = 0;
    const std::string line = Build_Command_Line(argc, argv, &host);
    return host != 0 || Parse_Command_Line(line.c_str(), &parent) == PREVIEW;
}

}  // namespace

int main(int argc, char** argv) {
    const char* backend = std::getenv("MIRRAVANE_BACKEND");
    const bool headless = backend && std::strcmp(backend, "headless") == 0;
#ifdef MIRRAVANE_HAVE_QT
    if (!headless && !Install_Qt_Backend(argc, argv, Draws_Into_Native_Window(argc, argv))) return 1;
#else
    (void)headless;
#endif
    uintptr_t host = 0;
    const std::string line = Build_Command_Line(argc, argv, &host);
    Saver_Host_Window = host;
    const int code = Mirravane_Main(line.c_str());
#ifdef MIRRAVANE_HAVE_QT
    if (!headless) Shutdown_Qt_Backend();
#endif
    return code;
}
