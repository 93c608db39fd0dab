#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "shell/modes.h"
#include "shell/startup.h"
#include "support/installed_program.h"
#include "surface/display.h"

namespace {

bool Window_Created() {
    for (const std::string& op : Headless().operations)
        if (op.rfind("create", 0) == 0) return true;
    return false;
}

TEST(Start_Up, ChangePasswordEndsAfterTheLogHeaderWithoutAWindow) {
    Installed_Program program;
    SYSTEMTIME when;
    when.wYear = 2024;
    when.wMonth = 3;
    when.wDay = 5;
    when.wDayOfWeek = 2;
    when.wHour = 9;
    when.wMinute = 5;
    when.wSecond = 7;
    Set_Fake_Local_Time(&when);

    EXPECT_EQ(Mirravane_Main("mirravane /a"), 0);
    EXPECT_FALSE(Window_Created());
    EXPECT_EQ(Main_Window, nullptr);
    const std::string log = program.log();
    // Every log entry starts on a new line, the header too.
    EXPECT_EQ(log.rfind("\r\n\r\n9:5:7, Tuesday March 5, 2024\r\nMirravane Error Log File\r\n", 0), 0u) << log;
    EXPECT_EQ(log.find("Saver_Mode"), std::string::npos);
    EXPECT_TRUE(Headless().boxes.empty());
    Set_Fake_Local_Time(nullptr);
}

TEST(Start_Up, MissingFolderIsReportedOnlyInConfiguration) {
    Scratch_Folder windows;  // no Mirravane folder below it
    Set_Saver_Lock_Path(windows.native("saver.lock"));

    EXPECT_EQ(Mirravane_Main("mirravane /s"), 0);
    EXPECT_EQ(Mirravane_Main("mirravane /p 42"), 0);
    EXPECT_TRUE(Headless().boxes.empty());

    EXPECT_EQ(Mirravane_Main("mirravane /c"), 0);
    ASSERT_EQ(Headless().boxes.size(), 1u);
    EXPECT_EQ(Headless().boxes[0], "[Error] WinMain(): mirravane folder doesn't exist - Please RE-INSTALL");
    EXPECT_FALSE(Window_Created());
}

TEST(Start_Up, SecondSaverIsRefusedBeforeAnything) {
    Installed_Program program;
    Set_Screen_Saver_Running(true);
    EXPECT_EQ(Mirravane_Main("mirravane /s"), 0);
    EXPECT_FALSE(Window_Created());
    // Refused before the log is started.
    EXPECT_FALSE(std::filesystem::exists(program.home() / "error_log.txt"));
    EXPECT_TRUE(Set_Screen_Saver_Running(false));
}

TEST(Start_Up, FirstRunTurnsTheSaverIntoConfiguration) {
    Installed_Program program(2, true);
    program.write_preset("default.dat");
    ASSERT_EQ(std::filesystem::file_size(program.home() / "Data/Bmp/Objects/0.bmp"), 3126u);

    ASSERT_EQ(Start_Up("mirravane /s"), 1);
    EXPECT_EQ(Saver_Mode, CONFIGURE);
    ASSERT_NE(Main_Window, nullptr);
    EXPECT_EQ(Main_Window->menu, App_Menu);
    EXPECT_NE(App_Menu, nullptr);
    EXPECT_EQ(Window_Mode, WINDOWED);
    EXPECT_EQ(Main_Window->style & WS_POPUP, 0u);
    // The configuration window: a square of two thirds of the 240-line desktop, centred;
    // the client size is what the frame leaves of it.
    EXPECT_EQ(Main_Window->frame.right - Main_Window->frame.left, 160);
    EXPECT_EQ(Main_Window->frame.bottom - Main_Window->frame.top, 160);
    EXPECT_EQ(Main_Window->frame.left, 80);
    EXPECT_EQ(Main_Window->frame.top, 40);
    RECT client{};
    GetClientRect(Main_Window, &client);
    EXPECT_EQ(Client_Width, client.right);
    EXPECT_EQ(Client_Height, client.bottom);
    EXPECT_NE(program.log().find("Saver_Mode = CONFIGURE"), std::string::npos);
    // A configuration run says that a saver runs, and its end says that it stopped.
    EXPECT_TRUE(Screen_Saver_Running());
    SendMessageA(Main_Window, WM_DESTROY, 0, 0);
    EXPECT_FALSE(Screen_Saver_Running());
}

TEST(Start_Up, QuitBeforeTheDestroyHandlingRunsTheDestroyFirst) {
    Installed_Program program;
    ASSERT_EQ(Start_Up("mirravane /c"), 1);
    ASSERT_FALSE(std::filesystem::exists(program.home() / "default.dat"));
    Clear_Message_Queue();
    PostQuitMessage(3);
    EXPECT_EQ(Quit_Allowed, 0);
    // The early quit is answered with WM_DESTROY, whose handling saves default.dat and
    // posts the quit (code 0) that ends the loop.
    EXPECT_EQ(Message_Loop(), 0);
    EXPECT_EQ(Quit_Allowed, 1);
    EXPECT_EQ(std::filesystem::file_size(program.home() / "default.dat"), sizeof(PLASMA_SETTINGS));
}

TEST(Start_Up, NoFramesAskedForEndsBeforeTheFirstFrame) {
    Installed_Program program;
    setenv("MIRRAVANE_FRAMES", "0", 1);
    EXPECT_EQ(Mirravane_Main("mirravane /c"), 0);
    EXPECT_EQ(program.log().find("Entering Run_Mirravane"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(program.home() / "default.dat"), 10136u);
}

TEST(Start_Up, ConfigurationRunEndToEnd) {
    Installed_Program program;
    setenv("MIRRAVANE_FRAMES", "50", 1);
    EXPECT_EQ(Mirravane_Main("\"/usr/local/bin/mirra vane\" /c"), 0);
    EXPECT_EQ(std::filesystem::file_size(program.home() / "default.dat"), 10136u);
    const std::string log = program.log();
    const size_t header = log.find("\r\nMirravane Error Log File\r\n");
    EXPECT_NE(header, std::string::npos);
    EXPECT_EQ(log.rfind("\r\n", 0), 0u);
    EXPECT_LT(header, log.find("Saver_Mode = CONFIGURE"));
    EXPECT_NE(log.find("OS_UNKNOWN"), std::string::npos);
    EXPECT_NE(log.find("System Width 320 System Height 240 System_Bpp 32"), std::string::npos);
    EXPECT_TRUE(Headless().boxes.empty()) << Headless().boxes.front();
    EXPECT_EQ(Hidden, nullptr);
    EXPECT_EQ(Visible, nullptr);
}

TEST(Start_Up, SaverUsesThePresetResolutionFullScreen) {
    Installed_Program program(2, false, 640, 480, 32);
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });  // 320 x 240 x 32
    ASSERT_EQ(Start_Up("mirravane /s"), 1);
    EXPECT_EQ(Saver_Mode, SAVER);
    EXPECT_EQ(Window_Mode, FULLSCREEN);
    EXPECT_EQ(Screen_Width, 320);
    EXPECT_EQ(Screen_Height, 240);
    EXPECT_EQ(Client_Width, 320);
    EXPECT_EQ(Client_Height, 240);
    EXPECT_EQ(System_Width, 640);
    EXPECT_EQ(Main_Window->style & WS_POPUP, WS_POPUP);
    EXPECT_EQ(Main_Window->ex_style & WS_EX_TOPMOST, WS_EX_TOPMOST);
    EXPECT_EQ(Main_Window->menu, nullptr);
    EXPECT_LT(Cursor_Show_Count(), 0);
    EXPECT_TRUE(Screen_Saver_Running());
    SendMessageA(Main_Window, WM_DESTROY, 0, 0);
    EXPECT_FALSE(Screen_Saver_Running());
    EXPECT_EQ(Quit_Allowed, 1);
}

}  // namespace

namespace {

TEST(Start_Up, UnknownOptionRunsAsConfigurationWithoutCentringOrSaving) {
    Installed_Program program;
    program.remove_presets();
    ASSERT_EQ(Start_Up("mirravane /x"), 1);
    EXPECT_EQ(Saver_Mode, 0);
    EXPECT_NE(program.log().find("Saver_Mode = CONFIGURE"), std::string::npos);
    ASSERT_NE(Main_Window, nullptr);
    EXPECT_EQ(Main_Window->menu, App_Menu);
    SendMessageA(Main_Window, WM_DESTROY, 0, 0);
    EXPECT_FALSE(std::filesystem::exists(program.home() / "default.dat"));
}

}  // namespace
