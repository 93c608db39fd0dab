// Any text as the command line, and the same text split at zero bytes as the process's
// arguments. Parsing must give one of the known modes; an xscreensaver window id that fits a
// native window id must come through the translation to the preview's parent unchanged.
#include <cstddef>
#include <cstdint>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/modes.h"
#include "shell/startup.h"

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

    uintptr_t host = 0;
    const std::string line = Build_Command_Line(static_cast<int>(argv.size()), argv.data(), &host);
    parent = 0;
    const int mode = Parse_Command_Line(line.c_str(), &parent);
    if (!Known_Mode(mode)) __builtin_trap();

    if (args.size() >= 3 && Plain_Name(args[0]) && (args[1] == "-window-id" || args[1] == "--window-id")) {
        char* end = nullptr;
        const unsigned long long id = std::strtoull(args[2].c_str(), &end, 0);
        if (!args[2].empty() && *end == '\0' && id <= 0xFFFFFFFFull && args[2][0] != '-' &&
            !std::isspace(static_cast<unsigned char>(args[2][0])) && args[2][0] != '+') {
            if (mode != PREVIEW || parent != id) __builtin_trap();
        }
    }
    return 0;
}
