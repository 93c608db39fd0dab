#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <filesystem>
#include <string>
#include <vector>

#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "session/run_mode.h"
#include "text/status_line.h"
#include "shell/window_title.h"
#include "slides/objects.h"
#include "support/installed_program.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "surface/display.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

bool Box_Shown(const std::string& text) {
    for (const std::string& line : Headless().boxes)
        if (line == "[Error] " + text) return true;
    return false;
}

void Screen(Display_Context& d, int width, int height, int bpp) {
    d.Screen_Width = width;
    d.Screen_Height = height;
    d.Screen_Bpp = bpp;
}

// Refresh_Plasma ends with the title, which needs a display and the title font below the
// Windows directory.
struct Refresh_Session {
    Scratch_Folder folder;
    Soft_Display display;
    Refresh_Session(Session& s, int width, int height, int bpp, bool fullscreen = true)
        : display(s, width, height, bpp, fullscreen) {
        folder.make_folder("Mirravane/Data/Bmp");
        const std::filesystem::path data = std::filesystem::path(__FILE__).parent_path() / "../../data";
        std::error_code ignored;
        std::filesystem::copy_file(data / "Data/Bmp/Font.bmp", folder.native("Mirravane/Data/Bmp/Font.bmp"), ignored);
    }
};

}  // namespace

using Lifecycle = Fresh_Test;

TEST_F(Lifecycle, ClampsTruncatesAndStoresEachField) {
    s.app.Saver_Mode = CONFIGURE;
    Screen(s.display, 800, 600, 32);
    PLASMA_SETTINGS& p = s.Plasma_Settings;

    EXPECT_EQ(Modify_Plasma(s, Plasma_Parameter::Contrast, 75.0f, 0), 1);
    EXPECT_EQ(p.contrast, 60);
    Modify_Plasma(s, Plasma_Parameter::Contrast, 0.9f, 0);  // truncates to 0, then the lower bound
    EXPECT_EQ(p.contrast, 1);
    Modify_Plasma(s, Plasma_Parameter::Speed, 0.5f, 0);
    EXPECT_EQ(p.speed, 1.0);
    Modify_Plasma(s, Plasma_Parameter::Speed, 600.0f, 0);
    EXPECT_EQ(p.speed, 499.0);

    Modify_Plasma(s, Plasma_Parameter::Multi_Colour, 0.99f, 0);
    EXPECT_EQ(p.multi_colour, 0);
    Modify_Plasma(s, Plasma_Parameter::Multi_Colour, 7.0f, 0);
    EXPECT_EQ(p.multi_colour, 1);

    Modify_Plasma(s, Plasma_Parameter::Ripple, 0.1f, 0);  // the f32 as given, not widened and narrowed
    EXPECT_EQ(p.ripple, 0.1f);
    Modify_Plasma(s, Plasma_Parameter::Colour_Blue, 300.0f, 0);  // low byte of 300
    EXPECT_EQ(p.colour_blue, 44);
    Modify_Plasma(s, Plasma_Parameter::Colour_Red, -2.5f, 0);  // -2 -> 0xFE
    EXPECT_EQ(p.colour_red, 254);

    Modify_Plasma(s, Plasma_Parameter::Scope_Shape, 7.0f, 0);
    EXPECT_EQ(p.scope_shape, 0);
    Modify_Plasma(s, Plasma_Parameter::Scope_Shape, -1.0f, 0);
    EXPECT_EQ(p.scope_shape, 0);

    Modify_Plasma(s, Plasma_Parameter::Slide_Speed, 12.75f, 0);
    EXPECT_EQ(p.slide_speed, 12.75);
    Modify_Plasma(s, Plasma_Parameter::Complexity, 3.0e9f, 0);  // beyond the integers: saturates instead of wrapping
    EXPECT_EQ(p.complexity, 2147483647);

    // Numbers without a field leave every byte as it was.
    PLASMA_SETTINGS before;
    std::memcpy(&before, &p, sizeof p);
    for (int number : {9, 27, 28, 42, 99, -1})
        EXPECT_EQ(Modify_Plasma(s, static_cast<Plasma_Parameter>(number), 5.0f, 0), 1);
    EXPECT_EQ(std::memcmp(&before, &p, sizeof p), 0);
}

TEST_F(Lifecycle, TileSizeFollowsSymmetryScreenAndLimits) {
    s.app.Saver_Mode = CONFIGURE;
    Screen(s.display, 800, 600, 32);
    PLASMA_SETTINGS& p = s.Plasma_Settings;

    p.symmetry = 3;
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, 1024.0f, 0);  // 1024 / 4
    EXPECT_EQ(p.plasma_width, 256);
    EXPECT_EQ(s.plasma.First_Plasma.width, 256);
    Modify_Plasma(s, Plasma_Parameter::Plasma_Height, 1000.0f, 0);  // 1000 / 4 = 250, down to 248
    EXPECT_EQ(p.plasma_height, 248);
    EXPECT_EQ(s.plasma.First_Plasma.height, 248);

    p.symmetry = 0;
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, 1024.0f, 0);  // limited by the screen
    EXPECT_EQ(p.plasma_width, 800);
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, 10.0f, 0);
    EXPECT_EQ(p.plasma_width, 16);
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, 18.0f, 0);  // 16 after rounding: still raised to 16
    EXPECT_EQ(p.plasma_width, 16);
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, 130.9f, 0);  // 130 -> 128
    EXPECT_EQ(p.plasma_width, 128);

    p.symmetry = 1;  // halves the width only
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, 1024.0f, 0);
    EXPECT_EQ(p.plasma_width, 512);
    Modify_Plasma(s, Plasma_Parameter::Plasma_Height, 1000.0f, 0);
    EXPECT_EQ(p.plasma_height, 600);

    p.symmetry = 2;  // halves both
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, 1000.0f, 0);
    EXPECT_EQ(p.plasma_width, 500);
    Modify_Plasma(s, Plasma_Parameter::Plasma_Height, 1000.0f, 0);
    EXPECT_EQ(p.plasma_height, 500);
}

TEST_F(Lifecycle, PreviewWithoutPreviewActiveStoresNothing) {
    Screen(s.display, 800, 600, 32);
    s.app.Saver_Mode = PREVIEW;
    s.Plasma_Settings.preview_active = 0;
    s.Plasma_Settings.contrast = 9;
    EXPECT_EQ(Modify_Plasma(s, Plasma_Parameter::Contrast, 20.0f, 1), 1);
    EXPECT_EQ(Modify_Plasma(s, Plasma_Parameter::Preview_Active, 1.0f, 0), 1);
    EXPECT_EQ(s.Plasma_Settings.contrast, 9);
    EXPECT_EQ(s.Plasma_Settings.preview_active, 0);
    EXPECT_EQ(s.plasma.First_Plasma.table1, nullptr);  // no rebuild either

    s.Plasma_Settings.preview_active = 1;
    Modify_Plasma(s, Plasma_Parameter::Contrast, 20.0f, 0);
    EXPECT_EQ(s.Plasma_Settings.contrast, 20);
}

TEST_F(Lifecycle, FailedScopeSwitchesTheScopeOff) {
    s.app.Saver_Mode = CONFIGURE;
    Screen(s.display, 640, 480, 8);  // the scope refuses 8 bits
    s.Plasma_Settings.scope_shape = 9;
    EXPECT_EQ(Modify_Plasma(s, Plasma_Parameter::Scope_On, 1.0f, 0), 0);
    EXPECT_EQ(s.Plasma_Settings.scope_on, 0);
    EXPECT_EQ(s.Plasma_Settings.scope_shape, 0);
    EXPECT_TRUE(Box_Shown("Modify_Plasma(): Setup_Scope FAILED"));
    EXPECT_STREQ(s.status.message, "The scope does not function in 256 colour mode");
    EXPECT_EQ(s.status.pending, 1);
}

TEST_F(Lifecycle, SlidesOnSwitchesTheKaleidoscopeOnAndRebuilds) {
    s.app.Saver_Mode = CONFIGURE;
    Scratch_Folder folder;  // the slides load the objects: one object of two 16 x 16 frames
    folder.make_folder("Mirravane/data/bmp/objects");
    folder.write("Mirravane/data/bmp/objects/0.bmp", Make_Bmp_24(16, 32, 200, 40, 40));
    Soft_Display display(s, 1024, 768, 32);
    ASSERT_TRUE(display.ok());
    Default_Plasma_Settings(s);
    s.Plasma_Settings.granularity = 200;  // K = min(200, 24 * 16) = 200
    s.display.Hidden->Set_Pixel(600, 500, 0x123456);

    EXPECT_EQ(Modify_Plasma(s, Plasma_Parameter::Slides_On, 1.0f, 0), 1);
    EXPECT_EQ(std::tuple(s.Plasma_Settings.slides_on, s.Plasma_Settings.kaleidoscope_on, s.kaleidoscope.kaleidoscope_active),
              std::tuple(1, 1, 1));
    EXPECT_EQ(std::pair(s.Plasma_Settings.plasma_width, s.Plasma_Settings.plasma_height), std::pair(200, 200));
    // The nested call rebuilt the plasma and cleared Hidden although reinitialise was 0.
    EXPECT_NE(s.plasma.First_Plasma.table1, nullptr);
    EXPECT_NE(s.plasma.Third_Plasma.table2, nullptr);
    EXPECT_EQ(s.display.Hidden->Pixel(600, 500), 0u);

    EXPECT_EQ(Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 0.0f, 0), 1);  // off again
    EXPECT_EQ(s.kaleidoscope.kaleidoscope_active, 0);
    EXPECT_EQ(s.kaleidoscope.Triangle_Stamp, nullptr);
    EXPECT_EQ(s.kaleidoscope.Scope_Rotated_90, nullptr);
}

TEST_F(Lifecycle, ReappliesTheRecordKeepingRunningValues) {
    s.app.Saver_Mode = CONFIGURE;
    Refresh_Session session(s, 800, 600, 32);
    ASSERT_TRUE(session.display.ok());
    Default_Plasma_Settings(s);
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    p.random_interval = 100;
    p.transition_speed = 7;
    p.vsync = 0;
    p.contrast = 75;  // clamped on the way through
    s.journey.Running_Random_Interval = 45;
    s.journey.Running_Transition_Speed = 0;

    EXPECT_EQ(Refresh_Plasma(s), 1);
    EXPECT_EQ(s.journey.Running_Random_Interval, 45);
    EXPECT_EQ(s.journey.Running_Transition_Speed, 7);
    EXPECT_EQ(s.display.Wait_For_Vsync, 0);
    EXPECT_STREQ(p.title_text, "default");
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   default");
    EXPECT_EQ(p.contrast, 60);
    // The tile takes the client size, which is the screen in full-screen mode.
    EXPECT_EQ(std::pair(s.display.Client_Width, s.display.Client_Height), std::pair(800, 600));
    EXPECT_EQ(std::pair(p.plasma_width, p.plasma_height), std::pair(800, 600));
    EXPECT_NE(s.plasma.First_Plasma.table1, nullptr);

    s.journey.Running_Random_Interval = 0;
    std::strcpy(p.title_text, "Sunset");
    EXPECT_EQ(Refresh_Plasma(s), 1);
    EXPECT_EQ(s.journey.Running_Random_Interval, 100);
    EXPECT_STREQ(p.title_text, "Sunset");
}

TEST_F(Lifecycle, WindowedTakesTheClientRectangle) {
    s.app.Saver_Mode = CONFIGURE;
    Refresh_Session session(s, 1024, 768, 32, false);
    ASSERT_TRUE(session.display.ok());
    ASSERT_TRUE(SetWindowPos(s.display.Main_Window, 0, 10, 10, 300, 200, SWP_NOZORDER));
    Default_Plasma_Settings(s);
    RECT client;
    ASSERT_TRUE(GetClientRect(s.display.Main_Window, &client));
    EXPECT_EQ(Refresh_Plasma(s), 1);
    EXPECT_EQ(s.display.Client_Width, client.right);
    EXPECT_EQ(s.display.Client_Height, client.bottom);

    const HWND window = s.display.Main_Window;
    s.display.Main_Window = nullptr;
    EXPECT_EQ(Refresh_Plasma(s), 0);
    EXPECT_TRUE(Box_Shown("WM_SIZE: GetClientRect FAILED"));
    Headless().boxes.clear();
    s.app.Saver_Mode = PREVIEW;  // silent in the preview
    EXPECT_EQ(Refresh_Plasma(s), 0);
    EXPECT_TRUE(Headless().boxes.empty());
    s.display.Main_Window = window;
}

TEST_F(Lifecycle, DerivedValuesAndLoadedObjects) {
    std::memset(&s.Plasma_Settings, 0xAB, sizeof s.Plasma_Settings);
    Screen(s.display, 1024, 768, 16);
    s.app.Objects_Loaded = 3;
    EXPECT_EQ(Default_Plasma_Settings(s), 1);
    EXPECT_EQ(s.Plasma_Settings.contrast, 3);
    EXPECT_EQ(s.Plasma_Settings.granularity, 192);  // ((768 / 32) * 16 / 4) * 2
    // Each loaded object once, the rest none.
    for (int t = 0; t < 5; ++t)
        EXPECT_EQ(std::pair(s.Plasma_Settings.object_count[t], s.Plasma_Settings.object_selected[t]),
                  std::pair(t < 3 ? 1 : 0, t < 3 ? 1 : 0)) << t;

    Screen(s.display, 800, 600, 24);
    Default_Plasma_Settings(s);
    EXPECT_EQ(s.Plasma_Settings.contrast, 4);
    EXPECT_EQ(s.Plasma_Settings.granularity, 144);  // 18 * 16 = 288, / 4 = 72, * 2
}

TEST_F(Lifecycle, WrittenAndReadAsOneFile) {
    s.app.Saver_Mode = CONFIGURE;
    Refresh_Session session(s, 800, 600, 32);
    ASSERT_TRUE(session.display.ok());
    const Scratch_Folder& folder = session.folder;

    char read_path[300], write_path[300];
    Build_Default_Read_Path(s.app, read_path, sizeof read_path);
    Build_Default_Write_Path(s.app, write_path, sizeof write_path);
    EXPECT_EQ(std::string(read_path), folder.path() + "\\Mirravane\\default.dat");
    EXPECT_EQ(std::string(write_path), folder.path() + "\\Mirravane/default.dat");

    Default_Plasma_Settings(s);
    s.Plasma_Settings.contrast = 17;
    EXPECT_EQ(Store_Plasma_Settings(s), 1);
    EXPECT_EQ(s.Backup_Plasma_Settings.contrast, 17);
    EXPECT_EQ(folder.read("Mirravane/default.dat").size(), 10136u);

    s.Plasma_Settings.contrast = 5;
    EXPECT_EQ(Load_Default_Plasma(s), 1);  // reads what the store wrote
    EXPECT_EQ(s.Plasma_Settings.contrast, 17);

    s.Backup_Plasma_Settings.contrast = 30;
    EXPECT_EQ(Restore_Plasma_Settings(s), 1);  // default.dat wins over the backup
    EXPECT_EQ(s.Plasma_Settings.contrast, 17);

    int width = 0, height = 0, depth = 0;
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(s, &width, &height, &depth), 1);
    EXPECT_EQ(std::tuple(width, height, depth), std::tuple(640, 480, 32));  // resolution 1 of the defaults
}

TEST_F(Lifecycle, SaverNeverWritesAndMissingFileFallsBack) {
    s.app.Saver_Mode = SAVER;
    Refresh_Session session(s, 800, 600, 32);
    ASSERT_TRUE(session.display.ok());
    const Scratch_Folder& folder = session.folder;
    Default_Plasma_Settings(s);
    Store_Plasma_Settings(s);
    EXPECT_TRUE(folder.read("Mirravane/default.dat").empty());

    Headless().boxes.clear();
    EXPECT_EQ(Load_Default_Plasma(s), 0);  // silent
    EXPECT_TRUE(Headless().boxes.empty());
    s.Plasma_Settings.contrast = 50;
    Display_Default_Plasma(s);  // the defaults instead
    EXPECT_EQ(s.Plasma_Settings.contrast, 4);

    int width = 0, height = 0, depth = 0;
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(s, &width, &height, &depth), 0);
    EXPECT_TRUE(Box_Shown("Grab_Preferred_Plasma_Screen_Dimensions(): " + folder.path() +
                          "\\Mirravane\\default.dat does not exist"));

    EXPECT_EQ(Read_Plasma_Settings_From_File(s, "nowhere.dat"), 0);
    EXPECT_TRUE(Box_Shown("\tRead_Plasma_Settings_From_File(): Load_Plasma_Settings nowhere.dat FAILED"));

    // A resolution outside the table fails the decoding.
    s.Plasma_Settings.resolution = 25;
    folder.write("Mirravane/default.dat",
                 std::string(reinterpret_cast<const char*>(&s.Plasma_Settings), sizeof s.Plasma_Settings));
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(s, &width, &height, &depth), 0);
    EXPECT_TRUE(Box_Shown("Grab_Preferred_Plasma_Screen_Dimensions(): Decode _Resolution FAILED"));
}

TEST_F(Lifecycle, CaptionAndTitleFromAPath) {
    s.display.Main_Window = Create_Window("x", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100, nullptr, nullptr, nullptr);
    std::strcpy(s.Plasma_Settings.title_text, "old");

    EXPECT_EQ(Update_Window_Title(s, "C:\\Presets\\Sunset.dat"), 1);
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   Sunset");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Sunset");

    // Either separator, whichever comes last.
    EXPECT_EQ(Update_Window_Title(s, "/home/someone/.local/share/Mirravane/Dawn.dat"), 1);
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   Dawn");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Dawn");
    Update_Window_Title(s, "C:\\Presets/Noon.dat");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Noon");
    Update_Window_Title(s, "C:\\x/Presets\\Sunset.dat");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Sunset");

    // A backslash at index 1 does not count: the whole text is the name, the title stays.
    EXPECT_EQ(Update_Window_Title(s, "a\\Dawn.dat"), 1);
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   a\\Dawn.dat");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Sunset");

    const std::string long_name(128, 'n');
    Update_Window_Title(s, ("C:\\x\\" + long_name + ".dat").c_str());
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   " + long_name);
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Sunset");  // 128 characters are too long

    s.display.Main_Window = nullptr;
    EXPECT_EQ(Update_Window_Title(s, "plain"), 0);
    EXPECT_TRUE(Box_Shown("Update Window Title(): SetWindowText  Mirravane:   plain FAILED"));
}

