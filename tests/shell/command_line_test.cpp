#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "shell/command_line.h"
#include "session/run_mode.h"
#include "shell/startup.h"

namespace {

struct Line_Case {
    const char* line;
    int mode;
    uintptr_t parent;  // expected preview parent; 7 marks "left alone"
};

TEST(Command_Line, ModesFromTheScreenSaverGrammar) {
    const Line_Case cases[] = {
        {"mirravane.scr /s", SAVER, 7},
        {"mirravane.scr -S", SAVER, 7},
        {"mirravane.scr s", SAVER, 7},
        {"mirravane.scr /S", SAVER, 7},
        {"mirravane.scr /p 42", PREVIEW, 42},
        {"mirravane.scr /p:42", PREVIEW, 42},
        {"mirravane.scr /l42", PREVIEW, 42},
        {"mirravane.scr -P : 42", PREVIEW, 42},
        // Window ids in decimal or hexadecimal, to the top of 32 bits; no digits are 0.
        {"mirravane.scr /p:0X1f", PREVIEW, 31},
        {"mirravane.scr -l0xa00003", PREVIEW, 0xa00003},
        {"mirravane.scr /p 4294967295", PREVIEW, 4294967295u},
        {"mirravane.scr /p 0x", PREVIEW, 0},
        {"mirravane.scr /p zz", PREVIEW, 0},
        {"mirravane.scr", CONFIGURE, 7},
        {"mirravane.scr   ", CONFIGURE, 7},
        {"", CONFIGURE, 7},
        {"mirravane.scr /c", CONFIGURE, 7},
        {"mirravane.scr /c:77", CONFIGURE, 7},
        {"mirravane.scr /a", CHANGE_PASSWORD, 7},
        {"mirravane.scr -A:12", CHANGE_PASSWORD, 7},
        {"mirravane.scr /x", 0, 7},
        // The quoted name holds blanks and what looks like options; skipped whole.
        {"\"C:\\Program Files\\my saver /p 9\\mirravane.scr\" /s", SAVER, 7},
        {"\"C:\\Program Files\\mirravane.scr\"", CONFIGURE, 7},
        {"\"C:\\Program Files\\mirravane.scr\" /p 42", PREVIEW, 42},
        // An unterminated quote swallows the whole line.
        {"\"C:\\Program Files\\mirravane.scr /s", CONFIGURE, 7},
    };
    for (const Line_Case& c : cases) {
        uintptr_t parent = 7;
        EXPECT_EQ(Parse_Command_Line(c.line, &parent), c.mode) << c.line;
        EXPECT_EQ(parent, c.parent) << c.line;
    }
}

// The process's arguments as the start-up sees them: the mode and window id that come out of
// the line, the saver's host window, and whether the saver stays clear of the lock.
struct Argument_Case {
    std::vector<const char*> args;  // after the program name
    const char* xscreensaver_window;  // nullptr: unset
    int mode;
    uintptr_t parent;  // 7: left alone
    uintptr_t host;
    bool independent;
};

int Mode_Of(const Arguments& a, uintptr_t* parent) { return Parse_Command_Line(a.line.c_str(), parent); }

Arguments Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "/opt/my savers/mirravane");
    return Parse_Arguments(static_cast<int>(args.size()), args.data());
}

TEST(Command_Line, ArgumentsOfBothHostsBecomeTheScreenSaverGrammar) {
    const Argument_Case cases[] = {
        {{}, nullptr, CONFIGURE, 7, 0, false},
        {{"/c", "1234"}, nullptr, CONFIGURE, 7, 0, false},  // a host's own window after /c and /a
        {{"/a", "1234"}, nullptr, CHANGE_PASSWORD, 7, 0, false},
        {{"s"}, nullptr, SAVER, 7, 0, false},
        {{"-p", "42"}, nullptr, PREVIEW, 42, 0, false},
        {{"/l42"}, nullptr, PREVIEW, 42, 0, false},
        {{"/p", "0x2A"}, nullptr, PREVIEW, 42, 0, false},
        {{"/p", "042"}, nullptr, PREVIEW, 42, 0, false},  // decimal, never octal
        {{"--window-id=31457287"}, nullptr, PREVIEW, 0x1e00007, 0, false},
        // xscreensaver's settings leave --root in a preview's command.
        {{"--root", "--window-id", "0x2a"}, "0x99", PREVIEW, 42, 0, false},
        {{"--root"}, "0x1e00007", SAVER, 7, 0x1e00007, true},
        {{"-root"}, "garbage", SAVER, 7, 0, true},
        // A host that names its window in the environment runs one saver per monitor too.
        {{"/s"}, "12345", SAVER, 7, 12345, true},
        // What xscreensaver and the X toolkit may add changes nothing.
        {{"-root", "-visual", "TrueColor", "-mono", "-install", "-display", ":0", "--fps", "-window"}, nullptr, SAVER, 7,
         0, true},
    };
    for (const Argument_Case& c : cases) {
        std::string shown;
        for (const char* a : c.args) shown += std::string(" ") + a;
        if (c.xscreensaver_window)
            setenv("XSCREENSAVER_WINDOW", c.xscreensaver_window, 1);
        else
            unsetenv("XSCREENSAVER_WINDOW");
        const Arguments a = Parse(c.args);
        ASSERT_EQ(a.action, Arguments::RUN) << shown << ": " << a.error;
        uintptr_t parent = 7;
        EXPECT_EQ(Mode_Of(a, &parent), c.mode) << shown;
        EXPECT_EQ(parent, c.parent) << shown;
        EXPECT_EQ(a.host_window, c.host) << shown;
        EXPECT_EQ(a.independent, c.independent) << shown;
    }
    unsetenv("XSCREENSAVER_WINDOW");
}

TEST(Command_Line, HelpVersionAndUsageErrors) {
    const std::pair<std::vector<const char*>, Arguments::Action> cases[] = {
        {{"--help"}, Arguments::HELP},
        {{"-h"}, Arguments::HELP},
        {{"/s", "/?"}, Arguments::HELP},
        {{"--version"}, Arguments::VERSION},
        // Unknown letters and words no longer open the configuration window.
        {{"/x"}, Arguments::USAGE_ERROR},
        {{"/super"}, Arguments::USAGE_ERROR},
        {{"--frobnicate"}, Arguments::USAGE_ERROR},
        {{"stray.dat"}, Arguments::USAGE_ERROR},
        {{"/s", "/c"}, Arguments::USAGE_ERROR},
        {{"/s", "-window-id", "5"}, Arguments::USAGE_ERROR},
        {{"/p"}, Arguments::USAGE_ERROR},
        {{"/p", "-42"}, Arguments::USAGE_ERROR},
        {{"-window-id", "0x100000000"}, Arguments::USAGE_ERROR},
        {{"--preset="}, Arguments::USAGE_ERROR},
        {{"--random-interval", "-1"}, Arguments::USAGE_ERROR},
        {{"--random-interval", "10s"}, Arguments::USAGE_ERROR},
        {{"-visual"}, Arguments::USAGE_ERROR},
    };
    for (const auto& [args, action] : cases) {
        std::string shown;
        for (const char* a : args) shown += std::string(" ") + a;
        const Arguments a = Parse(args);
        EXPECT_EQ(a.action, action) << shown;
        EXPECT_EQ(a.error.empty(), action != Arguments::USAGE_ERROR) << shown << ": " << a.error;
    }
}

TEST(Command_Line, SaverOptionsInEveryForm) {
    const Arguments spaced = Parse({"-root", "--preset", "/home/a b/My Preset.DAT", "--random-interval", "45"});
    ASSERT_EQ(spaced.action, Arguments::RUN) << spaced.error;
    EXPECT_EQ(spaced.preset, "/home/a b/My Preset.DAT");
    EXPECT_EQ(spaced.random_interval, 45);

    const Arguments joined = Parse({"-preset=storm.dat", "-random-interval=2147483647", "/s"});
    ASSERT_EQ(joined.action, Arguments::RUN) << joined.error;
    EXPECT_EQ(joined.preset, "storm.dat");
    EXPECT_EQ(joined.random_interval, 2147483647);

    // Without the option a saver takes default.dat's interval; xscreensaver's settings
    // leave the option out at its default, which is off.
    EXPECT_EQ(Parse({"/s"}).random_interval, -1);
    EXPECT_EQ(Parse({"-root"}).random_interval, 0);
    EXPECT_EQ(Parse({"-window-id", "0x2a"}).random_interval, 0);
}

}  // namespace
