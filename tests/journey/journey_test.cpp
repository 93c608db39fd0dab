#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/menu.h"
#include "shell/modes.h"
#include "shell/session.h"
#include "shell/startup.h"
#include "support/installed_program.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "support/surface_fixture.h"
#include "surface/display.h"
#include "text/transition.h"

namespace {

std::string Base_Name(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

std::string Pick() {
    char path[600] = {};
    EXPECT_EQ(Select_Random_Setting(path, sizeof path), 1);
    return path;
}

void Write_Preset(const Scratch_Folder& folder, const std::string& name) {
    folder.write("Mirravane/" + name, std::string(sizeof(PLASMA_SETTINGS), '\0'));
}

TEST(Random_Presets, OneFileIsChosenEveryTime) {
    Scratch_Folder folder;
    folder.make_folder("Mirravane");
    Write_Preset(folder, "only.dat");
    Seed_Random(1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Pick(), folder.windows("Mirravane\\only.dat"));
}

TEST(Random_Presets, TwoFilesAlternateStartingWithTheSecond) {
    Scratch_Folder folder;
    folder.make_folder("Mirravane");
    Write_Preset(folder, "one.DAT");
    Write_Preset(folder, "two.dat");
    Find_Data data;
    HFIND find = FindFirstFileA(folder.windows("Mirravane\\*.DAT").c_str(), &data);
    ASSERT_NE(find, nullptr);
    const std::string first = data.cFileName;
    ASSERT_TRUE(FindNextFileA(find, &data));
    const std::string second = data.cFileName;
    FindClose(find);

    for (uint32_t seed : {1u, 2u, 12345u}) {
        Seed_Random(seed);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(Base_Name(Pick()), i % 2 == 0 ? second : first) << seed << " " << i;
    }
}

TEST(Random_Presets, EmptyFolderFailsWithTheWholeChain) {
    Scratch_Folder folder;
    folder.make_folder("Mirravane");
    folder.write("Mirravane/notes.txt", "not a preset");
    EXPECT_EQ(Display_A_Random_Setting(), 0);
    const std::vector<std::string> chain = {
        "[Error] Select_Random_Setting(): Count_Files_In_Folder FAILED",
        "[Error] Load_Random_Setting(): Select_Random_Setting FAILED",
        "[Error] Display_A_Random_Setting(): Load_Random_Setting FAILED",
    };
    EXPECT_EQ(Headless().boxes, chain);
}

TEST(Random_Presets, TimerStartsAShrinkWhenTheIntervalRunsOut) {
    Client_Width = 64;
    Client_Height = 48;
    Running_Random_Interval = 2;
    frame_seconds = 0.75;
    EXPECT_EQ(Tick_Random_Preset_Timer(0), 1);  // 1.25 left
    EXPECT_EQ(Tick_Random_Preset_Timer(0), 1);  // 0.5 left
    EXPECT_EQ(Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(Tick_Random_Preset_Timer(1), 1);  // restarted: 1.25 left
    EXPECT_EQ(Tick_Random_Preset_Timer(0), 1);  // 0.5
    EXPECT_EQ(Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(Tick_Random_Preset_Timer(0), 1);  // -0.25: the shrink starts
    EXPECT_EQ(Transition_Mode, TRANSITION_SHRINK);
    EXPECT_EQ(Transition_Width, 64.0);
    EXPECT_EQ(Transition_Height, 48.0);
    Running_Random_Interval = 0;
    Transition_Mode = NO_TRANSITION;
    for (int i = 0; i < 10; ++i) Tick_Random_Preset_Timer(0);
    EXPECT_EQ(Transition_Mode, NO_TRANSITION);
}

TEST(Random_Presets, WindowedAppliesAnotherResolutionWithoutRebuilding) {
    Installed_Program program;
    ASSERT_EQ(Start_Up("mirravane /c"), 1);
    program.remove_presets();
    program.write_preset("far.dat", [](PLASMA_SETTINGS& s) {
        s.resolution = 3;  // 1024 x 768 x 32
        s.symmetry = 3;
    });
    const Surface visible = Visible, hidden = Hidden;
    const int width = Screen_Width;
    ASSERT_EQ(Display_A_Random_Setting(), 1);
    EXPECT_EQ(Plasma_Settings.resolution, 3);
    EXPECT_EQ(Plasma_Settings.symmetry, 3);
    EXPECT_EQ(Visible, visible);
    EXPECT_EQ(Hidden, hidden);
    EXPECT_EQ(Screen_Width, width);
    EXPECT_EQ(Window_Mode, WINDOWED);
}

TEST(Random_Presets, FullScreenRebuildsAtTheNewMode) {
    Installed_Program program;
    ASSERT_EQ(Start_Up("mirravane /c"), 1);
    Plasma_Settings.resolution = 0;  // 320 x 240 x 32
    SendMessageA(Main_Window, WM_COMMAND, MENU_VIEW_FULLSCREEN, 0);
    ASSERT_EQ(Window_Mode, FULLSCREEN);
    ASSERT_EQ(Screen_Width, 320);
    // The only preset left asks for 640 x 480 x 16.
    program.remove_presets();
    program.write_preset("wide.dat", [](PLASMA_SETTINGS& s) { s.resolution = 11; });

    ASSERT_EQ(Display_A_Random_Setting(), 1);
    EXPECT_EQ(Screen_Width, 640);
    EXPECT_EQ(Screen_Height, 480);
    EXPECT_EQ(Screen_Bpp, 16);
    EXPECT_EQ(Client_Width, 640);
    EXPECT_EQ(Client_Height, 480);
    int width = 0, height = 0;
    ASSERT_NE(Visible, nullptr);
    Grab_Surface_Dimensions(Visible, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(Plasma_Settings.resolution, 11);
    // Wider than the 320-pixel desktop: the window covers the mode from the corner.
    EXPECT_EQ(Main_Window->frame.left, 0);
    EXPECT_EQ(Main_Window->frame.right, 640);
    EXPECT_NE(Main_Window->ex_style & WS_EX_TOPMOST, 0u);
    // A configuration run keeps the random preset as its default.
    ASSERT_EQ(Load_Plasma_Settings(program.folder().windows("Mirravane\\default.dat").c_str()), 1);
    EXPECT_EQ(Plasma_Settings.resolution, 11);
    EXPECT_TRUE(Headless().boxes.empty());
}

// A bare 640 x 480 display with the transition's globals at rest.
class Transition : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_.ok());
        std::memset(&Plasma_Settings, 0, sizeof Plasma_Settings);
        Transition_Mode = NO_TRANSITION;
        Grow_Pending = 0;
    }
    void TearDown() override { Release_Scratch_Pad(); }

    // What a frame draws before the transition runs.
    static void Paint(Surface surface, uint32_t colour) {
        int w = 0, h = 0;
        Grab_Surface_Dimensions(surface, &w, &h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Poke(surface, x, y, colour);
    }
    // Runs the transition until `frames` frames have passed; the empty program folder
    // makes the preset change fail, which the transition survives.
    static void Frames(int frames) {
        for (int i = 0; i < frames; ++i) {
            Paint(Hidden, 0x123456);
            ASSERT_EQ(Display_Transition(384.0), 1) << i;
        }
    }

    Scratch_Folder folder_;
    Soft_Display display_{640, 480, 32};
};

TEST_F(Transition, ShrinkAt384PixelsPerSecondTakesOneAndAQuarterSeconds) {
    frame_seconds = 0.25;
    ASSERT_EQ(Set_Transition_Mode(TRANSITION_SHRINK), 1);
    Frames(4);  // one second: 384 lines and 512 columns gone
    EXPECT_EQ(Transition_Mode, TRANSITION_SHRINK);
    EXPECT_DOUBLE_EQ(Transition_Height, 96.0);
    EXPECT_DOUBLE_EQ(Transition_Width, 128.0);
    // The centred 128 x 96 rectangle at (256, 192) is left; outside it is black.
    EXPECT_EQ(Peek(Hidden, 256, 192), 0x123456u);
    EXPECT_EQ(Peek(Hidden, 383, 287), 0x123456u);
    EXPECT_EQ(Peek(Hidden, 255, 192), 0u);
    EXPECT_EQ(Peek(Hidden, 384, 287), 0u);
    EXPECT_EQ(Peek(Hidden, 383, 288), 0u);
    EXPECT_EQ(Peek(Hidden, 256, 191), 0u);
    ASSERT_NE(Scratch_Pad, nullptr);

    Frames(1);  // 1.25 s: the next preset is due
    EXPECT_EQ(Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(Grow_Pending, 1);
    EXPECT_DOUBLE_EQ(Transition_Width, 1.0);
    EXPECT_DOUBLE_EQ(Transition_Height, 1.0);
    EXPECT_EQ(Scratch_Pad, nullptr);
    EXPECT_EQ(Peek(Hidden, 319, 239), 0x123456u);  // the one pixel at (319, 239)
    EXPECT_EQ(Peek(Hidden, 320, 239), 0u);
    EXPECT_EQ(Headless().boxes.back(), "[Error] Display_A_Random_Setting(): Load_Random_Setting FAILED");

    // The failed change does not stop the transition: the next frame starts the grow over
    // the current picture, clearing Hidden only (no kaleidoscope).
    Paint(Visible, 0x00FF00);
    Paint(Hidden, 0x123456);
    ASSERT_EQ(Display_Transition(384.0), 1);
    EXPECT_EQ(Transition_Mode, TRANSITION_GROW);
    EXPECT_EQ(Grow_Pending, 0);
    EXPECT_EQ(Peek(Hidden, 320, 240), 0u);
    EXPECT_EQ(Peek(Visible, 320, 240), 0x00FF00u);

    // Growing 96 lines a frame from 1: 481 after five frames, the full view.
    Frames(4);
    EXPECT_EQ(Transition_Mode, TRANSITION_GROW);
    EXPECT_DOUBLE_EQ(Transition_Height, 385.0);
    EXPECT_NE(Scratch_Pad, nullptr);
    Frames(1);
    EXPECT_EQ(Transition_Mode, NO_TRANSITION);
    EXPECT_DOUBLE_EQ(Transition_Width, 640.0);
    EXPECT_DOUBLE_EQ(Transition_Height, 480.0);
    EXPECT_EQ(Scratch_Pad, nullptr);
    EXPECT_EQ(Peek(Hidden, 0, 0), 0x123456u);
    EXPECT_EQ(Peek(Hidden, 639, 479), 0x123456u);
}

TEST_F(Transition, FixedStepsIgnoringTheFrameTime) {
    Plasma_Settings.ignore_fps = 1;
    Running_Transition_Speed = 10;
    frame_seconds = 5.0;  // ignored
    ASSERT_EQ(Set_Transition_Mode(TRANSITION_SHRINK), 1);
    Frames(47);
    EXPECT_NEAR(Transition_Height, 10.0, 1e-9);
    EXPECT_NEAR(Transition_Width, 640.0 - 47 * 40.0 / 3.0, 1e-9);
    EXPECT_EQ(Transition_Mode, TRANSITION_SHRINK);
    Frames(4);  // both below 16: steps of 2
    EXPECT_NEAR(Transition_Height, 2.0, 1e-9);
    EXPECT_NEAR(Transition_Width, 8.0 / 3.0, 1e-9);
    EXPECT_EQ(Transition_Mode, TRANSITION_SHRINK);
    Frames(1);
    EXPECT_EQ(Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(Grow_Pending, 1);
}

TEST_F(Transition, KaleidoscopeGrowClearsVisibleToo) {
    Plasma_Settings.kaleidoscope_on = 1;
    Plasma_Settings.kaleidoscope_stretch = 0;
    Grow_Pending = 1;
    Paint(Visible, 0x00FF00);
    Paint(Hidden, 0x123456);
    ASSERT_EQ(Display_Transition(384.0), 1);
    EXPECT_EQ(Transition_Mode, TRANSITION_GROW);
    EXPECT_EQ(Peek(Hidden, 10, 10), 0u);
    EXPECT_EQ(Peek(Visible, 10, 10), 0u);

    // Stretched, the screen is drawn over whole each frame and is left alone.
    Transition_Mode = NO_TRANSITION;
    Plasma_Settings.kaleidoscope_stretch = 1;
    Grow_Pending = 1;
    Paint(Visible, 0x00FF00);
    ASSERT_EQ(Display_Transition(384.0), 1);
    EXPECT_EQ(Peek(Visible, 10, 10), 0x00FF00u);
}

TEST_F(Transition, ModesAndRestingState) {
    // Nothing running and nothing pending: the picture is not touched.
    Paint(Hidden, 0x123456);
    ASSERT_EQ(Display_Transition(384.0), 1);
    EXPECT_EQ(Peek(Hidden, 0, 0), 0x123456u);
    EXPECT_EQ(Scratch_Pad, nullptr);

    EXPECT_EQ(Set_Transition_Mode(TRANSITION_SHRINK), 1);
    Transition_Height = 100.0;
    EXPECT_EQ(Set_Transition_Mode(TRANSITION_SHRINK), 1);  // already shrinking: kept
    EXPECT_DOUBLE_EQ(Transition_Height, 100.0);
    EXPECT_EQ(Set_Transition_Mode(TRANSITION_GROW), 1);  // grows from where it is
    EXPECT_DOUBLE_EQ(Transition_Height, 100.0);
    EXPECT_EQ(Set_Transition_Mode(TRANSITION_SHRINK), 1);
    EXPECT_DOUBLE_EQ(Transition_Height, 100.0);
    EXPECT_EQ(Set_Transition_Mode(NO_TRANSITION), 1);
    EXPECT_EQ(Set_Transition_Mode(TRANSITION_GROW), 1);  // from rest: one pixel
    EXPECT_DOUBLE_EQ(Transition_Width, 1.0);
    EXPECT_DOUBLE_EQ(Transition_Height, 1.0);

    EXPECT_EQ(Set_Transition_Mode(3), 0);
    EXPECT_EQ(Transition_Mode, NO_TRANSITION);
    ASSERT_FALSE(Headless().boxes.empty());
    EXPECT_EQ(Headless().boxes.back(), "[Error] Set_Transition_Mode(): INVALID mode 3");
}

TEST_F(Transition, GrowOvershootingOneSideKeepsGrowingTheOther) {
    // A wide view: 640 x 480, a = 4/3. From 600 x 100 the width overshoots first.
    frame_seconds = 0.25;
    ASSERT_EQ(Set_Transition_Mode(TRANSITION_GROW), 1);
    Transition_Width = 600.0;
    Transition_Height = 100.0;
    Frames(1);
    EXPECT_DOUBLE_EQ(Transition_Width, 640.0);
    EXPECT_DOUBLE_EQ(Transition_Height, 196.0);
    EXPECT_EQ(Transition_Mode, TRANSITION_GROW);
}

}  // namespace
