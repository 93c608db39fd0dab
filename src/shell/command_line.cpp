#include "shell/command_line.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#ifndef MIRRAVANE_VERSION
#define MIRRAVANE_VERSION "unknown"
#endif

namespace {

const char* const Usage =
    "Usage: mirravane [MODE] [OPTIONS]\n"
    "\n"
    "Modes (the letter may follow \"/\" or \"-\" or stand alone):\n"
    "  /c             the configuration window with the menu and settings (the default)\n"
    "  /s             the screen saver, full screen; a mouse movement, click or key ends it\n"
    "  /p ID, /l ID   the preview, drawn inside the native window ID (decimal or 0x hex)\n"
    "  /a             nothing to set: ends at once\n"
    "  -root          the screen saver as xscreensaver runs it: drawn into\n"
    "                 $XSCREENSAVER_WINDOW when that is set, one saver per monitor\n"
    "  -window-id ID  the preview, as xscreensaver's settings run it\n"
    "\n"
    "Options:\n"
    "  --preset FILE             the saver shows this preset file instead of default.dat\n"
    "                            (a name without a folder is found in the program folder)\n"
    "  --random-interval SECONDS seconds between random presets; 0 turns them off (the\n"
    "                            default under -root and -window-id; else default.dat's)\n"
    "  -h, --help                this text\n"
    "  --version                 the version\n"
    "  -display, -visual, -mono, -install, -noinstall, -window, -fps, -sync, -pair\n"
    "                            X toolkit options xscreensaver may add: accepted\n"
    "\n"
    "Options take one dash or two, and \"--name=value\" as well as \"--name value\".\n"
    "The program folder is \"Mirravane\" below $MIRRAVANE_WINDOWS_DIR, else $XDG_DATA_HOME,\n"
    "else ~/.local/share. MIRRAVANE_BACKEND=headless runs without a window system.\n";

// X toolkit options that xscreensaver and screen-saver hosts may pass; they change nothing
// here (a -display is taken by the window system itself).
const char* const Toolkit_Flags[] = {"window", "mono", "install", "noinstall", "no-install", "fps", "no-fps", "sync", "pair"};
const char* const Toolkit_Values[] = {"display", "visual"};

// Decimal, or hex after "0x"; no sign, no blanks, nothing after the digits.
bool Parse_Number(const std::string& text, unsigned long long limit, unsigned long long* value) {
    std::string digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.erase(0, 2);
        base = 16;
    }
    if (digits.empty()) return false;
    const unsigned char first = static_cast<unsigned char>(digits[0]);
    if (base == 10 ? !std::isdigit(first) : !std::isxdigit(first)) return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(digits.c_str(), &end, base);
    if (errno != 0 || *end != '\0' || v > limit) return false;
    *value = v;
    return true;
}

// X window ids are 32 bits.
bool Parse_Window_Id(const std::string& text, uintptr_t* id) {
    unsigned long long v = 0;
    if (!Parse_Number(text, 0xFFFFFFFFull, &v)) return false;
    *id = static_cast<uintptr_t>(v);
    return true;
}

bool In(const std::string& name, const char* const* list, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (name == list[i]) return true;
    return false;
}

// A mode in the screen-saver grammar: "/s", "-S", "s", "/p:42", "/l42", "/c:77", "/a".
// Returns the lower-case mode letter, or 0 when the argument is not one. For /p and /l,
// `number` gets what follows the letter (empty when the id is the next argument).
char Screen_Saver_Mode(const std::string& arg, std::string* number) {
    size_t i = 0;
    if (i < arg.size() && (arg[i] == '/' || arg[i] == '-')) ++i;
    if (i >= arg.size()) return 0;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(arg[i])));
    std::string rest = arg.substr(i + 1);
    if (!rest.empty() && rest[0] == ':') rest.erase(0, 1);
    switch (letter) {
    case 's': return arg.size() == i + 1 ? 's' : 0;
    case 'p':
    case 'l':
    case 'c':
    case 'a': {
        // What follows must be an id, or nothing; "-preset" is not a preview.
        unsigned long long ignored = 0;
        if (!rest.empty() && !Parse_Number(rest, ~0ull, &ignored)) return 0;
        *number = rest;
        return letter;
    }
    default: return 0;
    }
}

}  // namespace

const char* Usage_Text() { return Usage; }

std::string Version_Text() { return std::string("mirravane ") + MIRRAVANE_VERSION; }

Arguments Parse_Arguments(int argc, const char* const* argv) {
    Arguments result;
    auto fail = [&result](const std::string& error) {
        result.action = Arguments::USAGE_ERROR;
        result.error = error;
        return result;
    };

    char mode = 0;        // screen-saver grammar letter
    uintptr_t mode_id = 0;  // its window id (/p, /l)
    bool root = false;
    bool window_id_given = false;
    uintptr_t window_id = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        // The next argument as this option's value, unless it came as "--name=value".
        auto take_value = [&](bool inline_given, const std::string& inline_value, std::string* value) {
            if (inline_given) {
                *value = inline_value;
                return true;
            }
            if (i + 1 >= argc || !argv[i + 1]) return false;
            *value = argv[++i];
            return true;
        };

        if (arg == "/?" || arg == "-?") {
            result.action = Arguments::HELP;
            return result;
        }

        std::string number;
        if (const char letter = Screen_Saver_Mode(arg, &number)) {
            if (mode) return fail("more than one mode: " + arg);
            mode = letter;
            if (letter == 'p' || letter == 'l') {
                if (number.empty() && i + 1 < argc && argv[i + 1]) number = argv[++i];
                if (!Parse_Window_Id(number, &mode_id)) return fail(arg + " needs a window id");
            } else if ((letter == 'c' || letter == 'a') && number.empty() && i + 1 < argc && argv[i + 1]) {
                // Hosts may name their own window after /c and /a; it is not used.
                unsigned long long ignored = 0;
                if (Parse_Number(argv[i + 1], ~0ull, &ignored)) ++i;
            }
            continue;
        }

        if (arg.size() < 2 || arg[0] != '-') return fail("unknown argument: " + arg);
        std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
        std::string inline_value;
        bool inline_given = false;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            inline_value = name.substr(eq + 1);
            name.erase(eq);
            inline_given = true;
        }

        if (name == "help" || (name == "h" && arg == "-h")) {
            result.action = Arguments::HELP;
            return result;
        }
        if (name == "version") {
            result.action = Arguments::VERSION;
            return result;
        }
        if (name == "root" && !inline_given) {
            root = true;
            continue;
        }
        if (name == "window-id") {
            std::string value;
            if (!take_value(inline_given, inline_value, &value) || !Parse_Window_Id(value, &window_id))
                return fail(arg + " needs a window id");
            window_id_given = true;
            continue;
        }
        if (name == "preset") {
            if (!take_value(inline_given, inline_value, &result.preset) || result.preset.empty())
                return fail(arg + " needs a preset file");
            continue;
        }
        if (name == "random-interval") {
            std::string value;
            unsigned long long seconds = 0;
            if (!take_value(inline_given, inline_value, &value) || !Parse_Number(value, INT_MAX, &seconds))
                return fail(arg + " needs a number of seconds (0 or more)");
            result.random_interval = static_cast<int>(seconds);
            continue;
        }
        if (!inline_given && In(name, Toolkit_Flags, std::size(Toolkit_Flags))) continue;
        if (In(name, Toolkit_Values, std::size(Toolkit_Values))) {
            std::string ignored;
            if (!take_value(inline_given, inline_value, &ignored)) return fail(arg + " needs a value");
            continue;
        }
        return fail("unknown option: " + arg);
    }

    // Under xscreensaver its settings own the interval, and they leave out a value at its
    // default (0, off): so there no value means off, not the interval of default.dat.
    if ((root || window_id_given) && result.random_interval < 0) result.random_interval = 0;

    // xscreensaver's settings may leave -root in a preview's command: the window id wins.
    result.line = "mirravane";
    if (window_id_given) {
        if (mode) return fail("-window-id and a mode together");
        result.line += " /p " + std::to_string(window_id);
        return result;
    }
    if (root && mode && mode != 's') return fail("-root and a mode other than /s together");
    if (root) mode = 's';
    if (mode == 's') {
        uintptr_t host = 0;
        const char* env = std::getenv("XSCREENSAVER_WINDOW");
        if (env && Parse_Window_Id(env, &host)) result.host_window = host;
        result.independent = root || result.host_window != 0;
    }
    switch (mode) {
    case 's': result.line += " /s"; break;
    case 'p':
    case 'l': result.line += " /p " + std::to_string(mode_id); break;
    case 'c': result.line += " /c"; break;
    case 'a': result.line += " /a"; break;
    default: break;
    }
    return result;
}
