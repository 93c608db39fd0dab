#include "shell/command_line.h"

#include <cstdlib>
#include <string>

namespace {

bool Parse_Window_Id(const char* text, uintptr_t* id) {
    if (!text || !*text) return false;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 0);
    if (end == text || *end) return false;
    *id = static_cast<uintptr_t>(v);
    return true;
}

std::string Quote(const std::string& arg) {
    if (arg.find_first_of(" \t") == std::string::npos) return arg;
    return "\"" + arg + "\"";
}

}  // namespace

std::string Build_Command_Line(int argc, const char* const* argv, uintptr_t* host_window) {
    if (host_window) *host_window = 0;
    std::string line = Quote(argc > 0 && argv[0] ? argv[0] : "mirravane");
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        if ((arg == "-window-id" || arg == "--window-id") && i + 1 < argc) {
            uintptr_t id = 0;
            if (Parse_Window_Id(argv[i + 1], &id)) {
                line += " /p " + std::to_string(id);
                ++i;
                continue;
            }
        }
        if (arg == "-root" || arg == "--root") {
            line += " /s";
            uintptr_t id = 0;
            if (host_window && Parse_Window_Id(std::getenv("XSCREENSAVER_WINDOW"), &id)) *host_window = id;
            continue;
        }
        line += " " + arg;
    }
    return line;
}
