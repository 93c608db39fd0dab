// Any text as the command line, and the same text split at zero bytes as the process's
// arguments. Parsing must give one of the known modes, and arguments that are accepted must
// give a line in the screen-saver grammar; an accepted xscreensaver window id must come
// through to the preview's parent unchanged.
#include <cstddef>
#include <cstdint>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "session/run_mode.h"
#include "shell/startup.h"
#include "session/session.h"

namespace {

bool Known_Mode(int mode) {
    return mode == 0 || mode == CONFIGURE || mode == CHANGE_PASSWORD || mode == PREVIEW || mode == SAVER;
}

bool Plain_Name(const std::string& name) {
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '.' || c == '_' || c == '-' || c == ' '))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    uintptr_t parent = 0;
    if (!Known_Mode(Parse_Command_Line(text.c_str(), &parent))) __builtin_trap();
    if (!Known_Mode(Parse_Command_Line(text.c_str(), nullptr))) __builtin_trap();

    std::vector<std::string> args;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == '\0') {
            args.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());

    const Arguments arguments = Parse_Arguments(static_cast<int>(argv.size()), argv.data());
    if (arguments.action != Arguments::RUN) return 0;
    parent = 0;
    const int mode = Parse_Command_Line(arguments.line.c_str(), &parent);
    if (!Known_Mode(mode) || mode == 0) __builtin_trap();

    if (args.size() == 3 && Plain_Name(args[0]) && (args[1] == "-window-id" || args[1] == "--window-id")) {
        if (mode != PREVIEW) __builtin_trap();
        const int base = args[2].size() > 2 && args[2][0] == '0' && (args[2][1] == 'x' || args[2][1] == 'X') ? 16 : 10;
        if (parent != std::strtoull(args[2].c_str() + (base == 16 ? 2 : 0), nullptr, base)) __builtin_trap();
    }
    return 0;
}
