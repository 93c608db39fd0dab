// The process's arguments as the one command line the start-up parses; the xscreensaver
// conventions are turned into the screen-saver grammar on the way.
#pragma once

#include <cstdint>
#include <string>

// "-window-id N" / "--window-id N" (decimal or 0x hex) become "/p N"; "-root" / "--root"
// become "/s", drawn into $XSCREENSAVER_WINDOW when that is set (returned in host_window).
std::string Build_Command_Line(int argc, const char* const* argv, uintptr_t* host_window);
