#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/input/dinput.h"
#include "platform/system/system.h"
#include "platform/windows/dialog.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/frame.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "shell/startup.h"
#include "support/installed_program.h"
#include "support/rect.h"
#include "surface/display.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

// What a new process starts with, for the tests that start the program more than once.
void As_A_New_Process(Session& s) {
    Shutdown(s);
    s.display.Window_Mode = WINDOWED;
    Close_Error_Log(s.app);
    s.app.error_logging = 0;
    Reset_Diagnostics(s.app);
    s.app.Quit_Allowed = 0;
    s.app.Frames_Running = 1;
    Clear_Message_Queue();
    Headless().boxes.clear();
    Headless().operations.clear();
}

bool Window_Created() {
    for (const std::string& op : Headless().operations)
        if (op.rfind("create", 0) == 0) return true;
    return false;
}

using Starting = Fresh_Test;

TEST_F(Starting, ChangePasswordEndsAfterTheLogHeaderWithoutAWindow) {
    Installed_Program program;
    const SYSTEMTIME when{2024, 3, 2, 5, 9, 5, 7};
    Set_Fake_Local_Time(&when);

    EXPECT_EQ(Mirravane_Main(s, "mirravane /a"), 0);
    EXPECT_FALSE(Window_Created());
    EXPECT_EQ(s.display.Main_Window, nullptr);
    const std::string log = program.log();
    // Every log entry starts on a new line, the header too.
    EXPECT_EQ(log.rfind("\r\n\r\n9:5:7, Tuesday March 5, 2024\r\nMirravane Error Log File\r\n", 0), 0u) << log;
    EXPECT_EQ(log.find("Saver_Mode"), std::string::npos);
    EXPECT_TRUE(Headless().boxes.empty());
    Set_Fake_Local_Time(nullptr);
}

TEST_F(Starting, MissingFolderFailsInABoxOnlyInConfiguration) {
    Scratch_Folder windows;  // no Mirravane folder below it
    Set_Saver_Lock_Path(windows.native("saver.lock"));
    const std::string missing = "[Error] WinMain(): mirravane folder doesn't exist - Please RE-INSTALL\n";
    As_A_New_Process(s);

    // Saver and preview fail too, on standard error: a box would wait unseen.
    for (const char* line : {"mirravane /s", "mirravane /p 42"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Mirravane_Main(s, line), START_FAILED_EXIT_CODE) << line;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), missing) << line;
    }
    EXPECT_TRUE(Headless().boxes.empty());
    // The refused saver let go of its lock.
    EXPECT_FALSE(Screen_Saver_Running());

    EXPECT_EQ(Mirravane_Main(s, "mirravane /c"), START_FAILED_EXIT_CODE);
    ASSERT_EQ(Headless().boxes.size(), 1u);
    EXPECT_EQ(Headless().boxes[0], "[Error] WinMain(): mirravane folder doesn't exist - Please RE-INSTALL");
    EXPECT_FALSE(Window_Created());
    Headless().boxes.clear();
}

TEST_F(Starting, OnlyASaverOfItsOwnHoldsOrHeedsTheLock) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    As_A_New_Process(s);

    // A configuration window keeps no saver away.
    ASSERT_EQ(Start_Up(s, "mirravane /c"), START_RUNNING);
    EXPECT_FALSE(Screen_Saver_Running());
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    Clear_Message_Queue();
    // Another saver holds the lock.
    ASSERT_FALSE(Set_Screen_Saver_Running(true));
    Headless().operations.clear();
    std::filesystem::remove(program.home() / "error_log.txt");
    EXPECT_EQ(Mirravane_Main(s, "mirravane /s"), 0);
    EXPECT_FALSE(Window_Created());
    EXPECT_FALSE(std::filesystem::exists(program.home() / "error_log.txt"));  // refused before the log
    // xscreensaver runs one saver per monitor: each ignores the others.
    s.app.Independent_Saver = true;
    const int started = Start_Up(s, "mirravane /s");
    s.app.Independent_Saver = false;
    ASSERT_EQ(started, START_RUNNING);
    EXPECT_EQ(s.app.Saver_Mode, SAVER);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    Clear_Message_Queue();
    Set_Screen_Saver_Running(false);

    // A saver of its own holds it while it runs.
    EXPECT_FALSE(Screen_Saver_Running());
    ASSERT_EQ(Start_Up(s, "mirravane /s"), START_RUNNING);
    EXPECT_TRUE(Screen_Saver_Running());
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    Clear_Message_Queue();
    EXPECT_FALSE(Screen_Saver_Running());
}

TEST_F(Starting, FirstRunSaverDrawsAndTheIntroductionWaitsForConfiguration) {
    Installed_Program program(2, true);
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    ASSERT_EQ(std::filesystem::file_size(program.home() / "Data/Bmp/Objects/0.bmp"), 3126u);
    As_A_New_Process(s);
    Headless_Dialog_Scripts().clear();
    Headless_Dialog_Scripts().push_back({});

    // The saver on a fresh install is a saver: no introduction, objects expanded, frames drawn.
    ASSERT_EQ(Start_Up(s, "mirravane /s"), START_RUNNING);
    EXPECT_EQ(s.app.Saver_Mode, SAVER);
    EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
    EXPECT_EQ(Headless_Dialog_Scripts().size(), 1u);
    EXPECT_GT(std::filesystem::file_size(program.home() / "Data/Bmp/Objects/0.bmp"), 3126u);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Run_Mirravane(s), 1);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    Clear_Message_Queue();

    // Still a first run for the configuration window, which shows the introduction.
    program.folder().write("Mirravane/Data/Bmp/Objects/0.bmp", Make_Bmp_24(32, 32, 10, 200, 10));
    ASSERT_EQ(std::filesystem::file_size(program.home() / "Data/Bmp/Objects/0.bmp"), 3126u);
    As_A_New_Process(s);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), START_RUNNING);
    EXPECT_TRUE(Headless_Dialog_Scripts().empty());
    EXPECT_EQ(s.app.Saver_Mode, CONFIGURE);
    ASSERT_NE(s.shell.App_Menu, nullptr);
    EXPECT_EQ(s.display.Main_Window->menu, s.shell.App_Menu);
    EXPECT_EQ(s.display.Main_Window->style & WS_POPUP, 0u);
    // A square of two thirds of the 240-line desktop, centred; the client is what the frame leaves.
    const RECT frame = s.display.Main_Window->frame;
    EXPECT_EQ((RECT{80, 40, 240, 200}), frame);
    RECT client{};
    GetClientRect(s.display.Main_Window, &client);
    EXPECT_EQ(s.display.Client_Width * 10000 + s.display.Client_Height, client.right * 10000 + client.bottom);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
}

TEST_F(Starting, SaverRunsWithoutALogThatCannotBeWritten) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    std::filesystem::create_directory(program.home() / "error_log.txt");
    As_A_New_Process(s);

    testing::internal::CaptureStderr();
    const int started = Start_Up(s, "mirravane /s");
    bool drawn = started == START_RUNNING;
    for (int i = 0; drawn && i < 3; ++i) drawn = Run_Mirravane(s) == 1;
    if (started == START_RUNNING) SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    const std::string stderr_text = testing::internal::GetCapturedStderr();
    EXPECT_EQ(started, START_RUNNING) << stderr_text;
    EXPECT_TRUE(drawn);
    EXPECT_EQ(s.app.error_logging, 0);
    EXPECT_NE(stderr_text.find("[Error] Save_Error_Log_To_File() CreateFile FILE FAILED\n"), std::string::npos);
    EXPECT_TRUE(Headless().boxes.empty());
    As_A_New_Process(s);

    // The configuration window needs its log, and says so.
    EXPECT_EQ(Mirravane_Main(s, "mirravane /c"), START_FAILED_EXIT_CODE);
    ASSERT_FALSE(Headless().boxes.empty());
    EXPECT_EQ(Headless().boxes.back(), "[Error] Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");
    EXPECT_EQ(s.display.Main_Window, nullptr);
    Headless().boxes.clear();
}

TEST_F(Starting, SaverShowsThePresetAndIntervalItIsGiven) {
    Installed_Program program;
    program.write_preset("default.dat", [&](PLASMA_SETTINGS& s) {
        s.resolution = 0;
        s.random_interval = 0;
        std::snprintf(s.title_text, sizeof s.title_text, "%s", "everyday");
    });
    program.write_preset("Chosen.DAT", [&](PLASMA_SETTINGS& s) {
        s.random_interval = 7;
        std::snprintf(s.title_text, sizeof s.title_text, "%s", "chosen");
    });
    const std::string default_before = program.folder().read("Mirravane/default.dat");
    As_A_New_Process(s);
    s.app.Saver_Preset_File = "chosen.dat";  // found in the program folder, any case
    s.app.Saver_Random_Interval = 30;

    ASSERT_EQ(Start_Up(s, "mirravane /s"), START_RUNNING);
    EXPECT_STREQ(s.Plasma_Settings.title_text, "chosen");
    EXPECT_EQ(s.journey.Running_Random_Interval, 30);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    EXPECT_EQ(program.folder().read("Mirravane/default.dat"), default_before);

    // A preset that cannot be read leaves default.dat's look, and the saver runs.
    As_A_New_Process(s);
    s.app.Saver_Preset_File = "missing.dat";
    s.app.Saver_Random_Interval = 0;
    ASSERT_EQ(Start_Up(s, "mirravane /s"), START_RUNNING);
    EXPECT_STREQ(s.Plasma_Settings.title_text, "everyday");
    EXPECT_EQ(s.journey.Running_Random_Interval, 0);
    EXPECT_NE(program.log().find("\r\nUnable to read file missing.dat"), std::string::npos);
    EXPECT_TRUE(Headless().boxes.empty());
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);

    s.app.Saver_Preset_File.clear();
    s.app.Saver_Random_Interval = -1;
    As_A_New_Process(s);
}

// A saver of its own covers every monitor: a session each with the one preset, the objects
// loaded once; input on any monitor ends all of them, and a monitor that cannot start leaves
// the others running.
TEST(Start_Up, SaverCoversEveryMonitorAndEndsOnAllOfThem) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& p) { p.resolution = 0; });
    program.write_preset("Chosen.DAT", [](PLASMA_SETTINGS& p) {
        p.resolution = 0;
        std::snprintf(p.title_text, sizeof p.title_text, "%s", "chosen");
    });
    const std::string default_before = program.folder().read("Mirravane/default.dat");
    Set_Headless_Monitors({RECT{0, 0, 320, 240}, RECT{320, 0, 720, 300}});
    As_A_New_Process(s);
    s.app.Saver_Preset_File = "Chosen.DAT";

    ASSERT_EQ(Start_Up(s, "mirravane /s"), START_RUNNING);
    std::vector<std::unique_ptr<Session>> more = Start_Other_Monitors(s);
    ASSERT_EQ(more.size(), 1u);
    Session& t = *more.front();
    EXPECT_EQ(Monitor_Of(s.display.Main_Window).left, 0);
    EXPECT_EQ(Monitor_Of(t.display.Main_Window).left, 320);
    EXPECT_EQ(t.display.Main_Window->frame.left, 320);
    EXPECT_EQ(t.display.Main_Window->frame.top, 0);
    EXPECT_EQ(t.display.Window_Mode, FULLSCREEN);
    EXPECT_EQ(t.display.Client_Width, 320);
    EXPECT_EQ(t.display.Client_Height, 240);
    EXPECT_STREQ(t.Plasma_Settings.title_text, "chosen");
    EXPECT_EQ(std::memcmp(&s.Plasma_Settings, &t.Plasma_Settings, sizeof(PLASMA_SETTINGS)), 0);
    EXPECT_EQ(s.app.Object_Holders, 2);
    ASSERT_EQ(Run_Mirravane(s), 1);
    ASSERT_EQ(Run_Mirravane(t), 1);
    // Every monitor's session hears of the motion, not only the one that reads it first.
    Feed_Mouse_Motion(-11, 0);
    EXPECT_EQ(Run_Mirravane(s), 0);
    EXPECT_EQ(Run_Mirravane(t), 0);
    Clear_Message_Queue();

    // A click on the second monitor ends the saver on both; default.dat stays as it was.
    EXPECT_TRUE(Screen_Saver_Running());
    PostMessageA(t.display.Main_Window, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(Message_Loop(s), 0);
    EXPECT_EQ(s.display.Visible, nullptr);
    EXPECT_EQ(t.display.Visible, nullptr);
    EXPECT_EQ(s.app.Object_Holders, 0);
    EXPECT_FALSE(Screen_Saver_Running());
    EXPECT_EQ(program.folder().read("Mirravane/default.dat"), default_before);
    EXPECT_TRUE(Headless().boxes.empty());
    more.clear();

    // The second monitor's display cannot be made: it is logged, the first one runs.
    As_A_New_Process(s);
    ASSERT_EQ(Start_Up(s, "mirravane /s"), START_RUNNING);
    Inject_DD_Fault(DD_Call::DirectDrawCreate, DDERR_GENERIC);
    EXPECT_TRUE(Start_Other_Monitors(s).empty());
    EXPECT_NE(program.log().find("\r\nWinMain(): no saver on monitor 2"), std::string::npos);
    EXPECT_EQ(Run_Mirravane(s), 1);
    EXPECT_TRUE(Headless().boxes.empty());
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);

    // Inside xscreensaver's window, and in a preview, the host has one monitor's picture.
    for (const char* line : {"mirravane /s", "mirravane /p 4660"}) {
        As_A_New_Process(s);
        s.app.Saver_Host_Window = std::string(line) == "mirravane /s" ? 0x1234 : 0;
        ASSERT_EQ(Start_Up(s, line), START_RUNNING) << line;
        EXPECT_TRUE(Start_Other_Monitors(s).empty()) << line;
        SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    }
    s.app.Saver_Host_Window = 0;
    s.app.Saver_Preset_File.clear();
    As_A_New_Process(s);
}

// Data folders far longer than the old 260-character paths: the log, the objects, the fonts
// and default.dat all work in both modes.
TEST_F(Starting, DataFolderPathsUpToTheSystemLimitWork) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    std::string deep = program.folder().path();
    while (deep.size() < 3600) deep += "/" + std::string(200, 'd');
    std::filesystem::create_directories(deep);
    std::filesystem::rename(program.home(), deep + "/Mirravane");
    std::filesystem::current_path(deep + "/Mirravane");
    Set_Windows_Directory_Override(deep);
    const std::filesystem::path home = deep + "/Mirravane";

    for (const char* line : {"mirravane /s", "mirravane /c"}) {
        As_A_New_Process(s);
        if (std::string(line) == "mirravane /c") std::filesystem::remove(home / "default.dat");
        setenv("MIRRAVANE_FRAMES", "3", 1);
        EXPECT_EQ(Mirravane_Main(s, line), 0) << line;
        EXPECT_TRUE(Headless().boxes.empty()) << line << ": " << Headless().boxes.front();
        std::ifstream log(home / "error_log.txt", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(log)), {});
        EXPECT_EQ(text.rfind("\r\n", 0), 0u) << line;
        const size_t header = text.find("\r\nMirravane Error Log File\r\n");
        EXPECT_NE(header, std::string::npos) << line;
        EXPECT_NE(text.find("OS_UNKNOWN", header), std::string::npos) << line;
        EXPECT_NE(text.find("System Width 320 System Height 240 System_Bpp 32", header), std::string::npos) << line;
        EXPECT_NE(text.find(std::string(line) == "mirravane /s" ? "Saver_Mode = SAVER" : "Saver_Mode = CONFIGURE"),
                  std::string::npos)
            << line;
        EXPECT_GT(std::filesystem::file_size(home / "Data/Bmp/Objects/1.bmp"), 3126u) << line;
    }
    EXPECT_EQ(std::filesystem::file_size(home / "default.dat"), sizeof(PLASMA_SETTINGS));
    std::filesystem::rename(home, program.home());
}

TEST_F(Starting, QuitBeforeTheDestroyHandlingRunsTheDestroyFirst) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    ASSERT_FALSE(std::filesystem::exists(program.home() / "default.dat"));
    Clear_Message_Queue();
    PostQuitMessage(3);
    EXPECT_EQ(s.app.Quit_Allowed, 0);
    // The early quit is answered with WM_DESTROY, whose handling saves default.dat and
    // posts the quit (code 0) that ends the loop.
    EXPECT_EQ(Message_Loop(s), 0);
    EXPECT_EQ(s.app.Quit_Allowed, 1);
    EXPECT_EQ(std::filesystem::file_size(program.home() / "default.dat"), sizeof(PLASMA_SETTINGS));
}

TEST_F(Starting, NoFramesAskedForEndsBeforeTheFirstFrame) {
    Installed_Program program;
    setenv("MIRRAVANE_FRAMES", "0", 1);
    EXPECT_EQ(Mirravane_Main(s, "mirravane /c"), 0);
    EXPECT_EQ(program.log().find("Entering Run_Mirravane"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(program.home() / "default.dat"), 10136u);
}

TEST_F(Starting, SaverUsesThePresetResolutionFullScreen) {
    Installed_Program program(2, false, 640, 480, 32);
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });  // 320 x 240 x 32
    ASSERT_EQ(Start_Up(s, "mirravane /s"), 1);
    EXPECT_EQ(s.app.Saver_Mode, SAVER);
    EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
    EXPECT_EQ(s.display.Screen_Width * 10000 + s.display.Screen_Height, 3200240);
    EXPECT_EQ(s.display.Client_Width * 10000 + s.display.Client_Height, 3200240);
    EXPECT_EQ(s.app.System_Width, 640);
    EXPECT_EQ(s.display.Main_Window->menu, nullptr);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    EXPECT_EQ(s.app.Quit_Allowed, 1);
}

}  // namespace

namespace {

TEST_F(Starting, UnknownOptionRunsAsConfigurationWithoutCentringOrSaving) {
    Installed_Program program;
    program.remove_presets();
    ASSERT_EQ(Start_Up(s, "mirravane /x"), 1);
    EXPECT_EQ(s.app.Saver_Mode, 0);
    EXPECT_NE(program.log().find("Saver_Mode = CONFIGURE"), std::string::npos);
    ASSERT_NE(s.display.Main_Window, nullptr);
    EXPECT_EQ(s.display.Main_Window->menu, s.shell.App_Menu);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    EXPECT_FALSE(std::filesystem::exists(program.home() / "default.dat"));
}

}  // namespace
