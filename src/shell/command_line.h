// The process's arguments: the screen-saver grammar (/s, /p N, /l N, /c, /a), xscreensaver's
// conventions (-root, -window-id N and the toolkit options it may add), the saver's own
// options, help and version. The result is the one command line the start-up parses.
#pragma once

#include <cstdint>
#include <string>

struct Arguments {
    enum Action { RUN, HELP, VERSION, USAGE_ERROR };
    Action action = RUN;
    std::string line;           // RUN: program name and mode in the screen-saver grammar
    std::string error;          // USAGE_ERROR: what was wrong, one line
    uintptr_t host_window = 0;  // -root: $XSCREENSAVER_WINDOW, the window the saver draws into
    bool independent = false;   // started by xscreensaver: one saver per monitor, no saver lock
    std::string preset;         // --preset FILE: the preset the saver shows
    int random_interval = -1;   // --random-interval N: seconds between random presets, 0 off;
                                // -1 not given (default.dat's), except under xscreensaver (0)
};

// Window ids are decimal or 0x hex.
Arguments Parse_Arguments(int argc, const char* const* argv);
// The modes and options, for --help (standard output) and a usage error (standard error).
const char* Usage_Text();
// "mirravane VERSION".
std::string Version_Text();
// The exit code of a usage error.
constexpr int USAGE_EXIT_CODE = 2;
