#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "shell/command_line.h"
#include "shell/modes.h"
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

TEST(Command_Line, XscreensaverArgumentsBecomeTheScreenSaverGrammar) {
    unsetenv("XSCREENSAVER_WINDOW");
    uintptr_t host = 99;

    const char* window_id[] = {"/usr/bin/mirravane", "-window-id", "0x2a"};
    std::string line = Build_Command_Line(3, window_id, &host);
    EXPECT_EQ(host, 0u);
    uintptr_t parent = 0;
    EXPECT_EQ(Parse_Command_Line(line.c_str(), &parent), PREVIEW) << line;
    EXPECT_EQ(parent, 42u);

    const char* long_form[] = {"mirravane", "--window-id", "42"};
    line = Build_Command_Line(3, long_form, &host);
    parent = 0;
    EXPECT_EQ(Parse_Command_Line(line.c_str(), &parent), PREVIEW) << line;
    EXPECT_EQ(parent, 42u);

    // A program path with a blank is quoted so that the parser skips it whole.
    const char* blank_path[] = {"/opt/my savers/mirravane", "/s"};
    line = Build_Command_Line(2, blank_path, &host);
    EXPECT_EQ(Parse_Command_Line(line.c_str(), nullptr), SAVER) << line;

    const char* root[] = {"mirravane", "-root"};
    line = Build_Command_Line(2, root, &host);
    EXPECT_EQ(Parse_Command_Line(line.c_str(), nullptr), SAVER) << line;
    EXPECT_EQ(host, 0u);

    setenv("XSCREENSAVER_WINDOW", "0x1e00007", 1);
    line = Build_Command_Line(2, root, &host);
    EXPECT_EQ(Parse_Command_Line(line.c_str(), nullptr), SAVER) << line;
    EXPECT_EQ(host, 0x1e00007u);
    unsetenv("XSCREENSAVER_WINDOW");

    // Ordinary arguments pass through untouched.
    const char* plain[] = {"mirravane", "/c"};
    EXPECT_EQ(Parse_Command_Line(Build_Command_Line(2, plain, &host).c_str(), nullptr), CONFIGURE);
}

}  // namespace
