#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "scope/scope.h"
#include "shell/menu.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "shell/startup.h"
#include "support/installed_program.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "support/surface_fixture.h"
#include "surface/display.h"
#include "text/transition.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

std::string Base_Name(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

std::string Pick(Session& s) {
    char path[600] = {};
    EXPECT_EQ(Select_Random_Setting(s, path, sizeof path), 1);
    return path;
}

void Write_Preset(const Scratch_Folder& folder, const std::string& name) {
    folder.write("Mirravane/" + name, std::string(sizeof(PLASMA_SETTINGS), '\0'));
}

using Random_Presets = Fresh_Test;

TEST_F(Random_Presets, OneFileIsChosenEveryTimeTwoAlternateStartingWithTheSecond) {
    Scratch_Folder folder;
    folder.make_folder("Mirravane");
    Write_Preset(folder, "one.DAT");
    Seed_Random(s.app, 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Pick(s), folder.windows("Mirravane\\one.DAT"));
    Write_Preset(folder, "two.dat");
    Find_Data data;
    HFIND find = FindFirstFileA(folder.windows("Mirravane\\*.DAT").c_str(), &data);
    ASSERT_NE(find, nullptr);
    const std::string first = data.cFileName;
    ASSERT_TRUE(FindNextFileA(find, &data));
    const std::string second = data.cFileName;
    FindClose(find);

    for (uint32_t seed : {1u, 2u, 12345u}) {
        Seed_Random(s.app, seed);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(Base_Name(Pick(s)), i % 2 == 0 ? second : first) << seed << " " << i;
    }
}

TEST_F(Random_Presets, EmptyFolderFailsWithTheWholeChain) {
    Scratch_Folder folder;
    folder.make_folder("Mirravane");
    folder.write("Mirravane/notes.txt", "not a preset");
    EXPECT_EQ(Display_A_Random_Setting(s), 0);
    const std::vector<std::string> chain = {
        "[Error] Select_Random_Setting(): Count_Files_In_Folder FAILED",
        "[Error] Load_Random_Setting(): Select_Random_Setting FAILED",
        "[Error] Display_A_Random_Setting(): Load_Random_Setting FAILED",
    };
    EXPECT_EQ(Headless().boxes, chain);
}

TEST_F(Random_Presets, TimerStartsAShrinkWhenTheIntervalRunsOut) {
    s.display.Client_Width = 64;
    s.display.Client_Height = 48;
    s.journey.Running_Random_Interval = 2;
    s.display.frame_seconds = 0.75;
    EXPECT_EQ(Tick_Random_Preset_Timer(s, 0), 1);  // 1.25 left
    EXPECT_EQ(Tick_Random_Preset_Timer(s, 0), 1);  // 0.5 left
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(Tick_Random_Preset_Timer(s, 1), 1);  // restarted: 1.25 left
    EXPECT_EQ(Tick_Random_Preset_Timer(s, 0), 1);  // 0.5
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(Tick_Random_Preset_Timer(s, 0), 1);  // -0.25: the shrink starts
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_SHRINK);
    EXPECT_EQ(s.transition.Transition_Width, 64.0);
    EXPECT_EQ(s.transition.Transition_Height, 48.0);
    s.journey.Running_Random_Interval = 0;
    s.transition.Transition_Mode = NO_TRANSITION;
    for (int i = 0; i < 10; ++i) Tick_Random_Preset_Timer(s, 0);
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
}

TEST_F(Random_Presets, WindowedAppliesAnotherResolutionWithoutRebuilding) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    program.remove_presets();
    program.write_preset("far.dat", [](PLASMA_SETTINGS& s) {
        s.resolution = 3;  // 1024 x 768 x 32
        s.symmetry = 3;
    });
    const Surface visible = s.display.Visible, hidden = s.display.Hidden;
    const int width = s.display.Screen_Width;
    ASSERT_EQ(Display_A_Random_Setting(s), 1);
    EXPECT_EQ(s.Plasma_Settings.resolution, 3);
    EXPECT_EQ(s.Plasma_Settings.symmetry, 3);
    EXPECT_EQ(s.display.Visible, visible);
    EXPECT_EQ(s.display.Hidden, hidden);
    EXPECT_EQ(s.display.Screen_Width, width);
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);
}

TEST_F(Random_Presets, FullScreenRebuildsAtTheNewMode) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    s.Plasma_Settings.resolution = 0;  // 320 x 240 x 32
    SendMessageA(s.display.Main_Window, WM_COMMAND, MENU_VIEW_FULLSCREEN, 0);
    ASSERT_EQ(s.display.Window_Mode, FULLSCREEN);
    ASSERT_EQ(s.display.Screen_Width, 320);
    // The only preset left asks for 640 x 480 x 16.
    program.remove_presets();
    program.write_preset("wide.dat", [](PLASMA_SETTINGS& s) { s.resolution = 11; });

    ASSERT_EQ(Display_A_Random_Setting(s), 1);
    const Display_Context& d = s.display;
    EXPECT_EQ(std::tuple(d.Screen_Width, d.Screen_Height, d.Screen_Bpp), std::tuple(640, 480, 16));
    EXPECT_EQ(std::pair(d.Client_Width, d.Client_Height), std::pair(640, 480));
    ASSERT_NE(d.Visible, nullptr);
    EXPECT_EQ(std::pair(d.Visible->width(), d.Visible->height()), std::pair(640, 480));
    EXPECT_EQ(s.Plasma_Settings.resolution, 11);
    // Wider than the 320-pixel desktop: the window covers the mode from the corner.
    EXPECT_EQ(std::pair(d.Main_Window->frame.left, d.Main_Window->frame.right), std::pair(0, 640));
    EXPECT_NE(s.display.Main_Window->ex_style & WS_EX_TOPMOST, 0u);
    // A configuration run keeps the random preset as its default.
    ASSERT_EQ(Load_Plasma_Settings(s, program.folder().windows("Mirravane\\default.dat").c_str()), 1);
    EXPECT_EQ(s.Plasma_Settings.resolution, 11);
    EXPECT_TRUE(Headless().boxes.empty());
}

// Remembers what the presets and effects tell or ask the shell, and refuses what they ask.
struct Recording_Link : Shell_Link {
    std::vector<std::string> calls;
    void settings_changed(Session&) override { calls.push_back("settings"); }
    void title_changed(Session&, const char* title) override { calls.push_back(std::string("title ") + title); }
    bool choose_file(Session&, File_Choice choice, const char* folder, File_Name&, File_Name&) override {
        calls.push_back(std::string(choice == File_Choice::Open_Bitmap ? "open " : "save ") + folder);
        return false;
    }
    void next_preset(Session&) override { calls.push_back("next"); }
    bool rebuild_display(Session&) override {
        calls.push_back("rebuild");
        return false;
    }
    bool restart_display(Session&) override {
        calls.push_back("restart");
        return false;
    }
};

TEST_F(Random_Presets, TheJourneyAsksTheShellToRebuildAndLeavesTheDisplayToIt) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    s.Plasma_Settings.resolution = 0;  // 320 x 240 x 32
    SendMessageA(s.display.Main_Window, WM_COMMAND, MENU_VIEW_FULLSCREEN, 0);
    ASSERT_EQ(s.display.Window_Mode, FULLSCREEN);
    program.remove_presets();
    program.write_preset("wide.dat", [](PLASMA_SETTINGS& s) {
        s.resolution = 11;  // 640 x 480 x 16
        std::strcpy(s.title_text, "wide");
    });
    Recording_Link link;
    s.link = &link;
    const Surface visible = s.display.Visible;

    // Refused: nothing of the old display was torn down behind the shell's back.
    EXPECT_EQ(Display_A_Random_Setting(s), 0);
    EXPECT_EQ(link.calls, std::vector<std::string>{"rebuild"});
    EXPECT_EQ(s.display.Visible, visible);
    EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
    EXPECT_TRUE(Headless().boxes.empty());

    // At the same resolution the preset is shown at once: the menu and the caption follow it.
    link.calls.clear();
    EXPECT_EQ(Display_A_Random_Setting(s), 1);
    EXPECT_EQ(link.calls, (std::vector<std::string>{"settings", "title wide"}));

    // The custom overlay is chosen by the shell; refused, the overlay stays as it was.
    link.calls.clear();
    std::strcpy(s.Plasma_Settings.custom_overlay_path, "kept.bmp");
    EXPECT_EQ(Choose_Custom_Overlay(s), 0);
    EXPECT_EQ(link.calls, std::vector<std::string>{"open " + program.folder().windows("Mirravane\\Data\\Bmp\\Overlays\\")});
    EXPECT_STREQ(s.Plasma_Settings.custom_overlay_path, "kept.bmp");
}

// A bare 640 x 480 display with the transition's globals at rest.
class Transition : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        ASSERT_TRUE(display_.ok());
        std::memset(&s.Plasma_Settings, 0, sizeof s.Plasma_Settings);
        s.transition.Transition_Mode = NO_TRANSITION;
        s.transition.Grow_Pending = 0;
    }
    void TearDown() override { Release_Scratch_Pad(s.display); }

    // What a frame draws before the transition runs.
    void Paint(Surface surface, uint32_t colour) {
        int w = 0, h = 0;
        Grab_Surface_Dimensions(s.app, surface, &w, &h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Poke(surface, x, y, colour);
    }
    // Runs the transition until `frames` frames have passed; the empty program folder
    // makes the preset change fail, which the transition survives.
    void Frames(int frames) {
        for (int i = 0; i < frames; ++i) {
            Paint(s.display.Hidden, 0x123456);
            ASSERT_EQ(Display_Transition(s, 384.0), 1) << i;
        }
    }

    Scratch_Folder folder_;
    Soft_Display display_{s, 640, 480, 32};
};

TEST_F(Transition, ShrinkAt384PixelsPerSecondTakesOneAndAQuarterSeconds) {
    s.display.frame_seconds = 0.25;
    ASSERT_EQ(Set_Transition_Mode(s, TRANSITION_SHRINK), 1);
    Frames(4);  // one second: 384 lines and 512 columns gone
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_SHRINK);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 96.0);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Width, 128.0);
    // The centred 128 x 96 rectangle at (256, 192) is left; outside it is black.
    for (const auto& [x, y, inside] : {std::tuple(256, 192, true), std::tuple(383, 287, true), std::tuple(255, 192, false),
                                       std::tuple(384, 287, false), std::tuple(383, 288, false), std::tuple(256, 191, false)})
        EXPECT_EQ(Peek(s.display.Hidden, x, y), inside ? 0x123456u : 0u) << x << "," << y;
    ASSERT_NE(s.display.Scratch_Pad, nullptr);

    Frames(1);  // 1.25 s: the next preset is due
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(s.transition.Grow_Pending, 1);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Width, 1.0);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 1.0);
    EXPECT_EQ(s.display.Scratch_Pad, nullptr);
    EXPECT_EQ(Peek(s.display.Hidden, 319, 239), 0x123456u);  // the one pixel at (319, 239)
    EXPECT_EQ(Peek(s.display.Hidden, 320, 239), 0u);
    EXPECT_EQ(Headless().boxes.back(), "[Error] Display_A_Random_Setting(): Load_Random_Setting FAILED");

    // The failed change does not stop the transition: the next frame starts the grow over
    // the current picture, clearing Hidden only (no kaleidoscope).
    Paint(s.display.Visible, 0x00FF00);
    Paint(s.display.Hidden, 0x123456);
    ASSERT_EQ(Display_Transition(s, 384.0), 1);
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_GROW);
    EXPECT_EQ(s.transition.Grow_Pending, 0);
    EXPECT_EQ(Peek(s.display.Hidden, 320, 240), 0u);
    EXPECT_EQ(Peek(s.display.Visible, 320, 240), 0x00FF00u);

    // Growing 96 lines a frame from 1: 481 after five frames, the full view.
    Frames(4);
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_GROW);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 385.0);
    EXPECT_NE(s.display.Scratch_Pad, nullptr);
    Frames(1);
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Width, 640.0);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 480.0);
    EXPECT_EQ(s.display.Scratch_Pad, nullptr);
    EXPECT_EQ(Peek(s.display.Hidden, 0, 0), 0x123456u);
    EXPECT_EQ(Peek(s.display.Hidden, 639, 479), 0x123456u);
}

TEST_F(Transition, FixedStepsIgnoringTheFrameTime) {
    s.Plasma_Settings.ignore_fps = 1;
    s.journey.Running_Transition_Speed = 10;
    s.display.frame_seconds = 5.0;  // ignored
    ASSERT_EQ(Set_Transition_Mode(s, TRANSITION_SHRINK), 1);
    Frames(47);
    EXPECT_NEAR(s.transition.Transition_Height, 10.0, 1e-9);
    EXPECT_NEAR(s.transition.Transition_Width, 640.0 - 47 * 40.0 / 3.0, 1e-9);
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_SHRINK);
    Frames(4);  // both below 16: steps of 2
    EXPECT_NEAR(s.transition.Transition_Height, 2.0, 1e-9);
    EXPECT_NEAR(s.transition.Transition_Width, 8.0 / 3.0, 1e-9);
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_SHRINK);
    Frames(1);
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(s.transition.Grow_Pending, 1);
}

TEST_F(Transition, KaleidoscopeGrowClearsVisibleToo) {
    s.Plasma_Settings.kaleidoscope_on = 1;
    s.Plasma_Settings.kaleidoscope_stretch = 0;
    s.transition.Grow_Pending = 1;
    Paint(s.display.Visible, 0x00FF00);
    Paint(s.display.Hidden, 0x123456);
    ASSERT_EQ(Display_Transition(s, 384.0), 1);
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_GROW);
    EXPECT_EQ(Peek(s.display.Hidden, 10, 10), 0u);
    EXPECT_EQ(Peek(s.display.Visible, 10, 10), 0u);

    // Stretched, the screen is drawn over whole each frame and is left alone.
    s.transition.Transition_Mode = NO_TRANSITION;
    s.Plasma_Settings.kaleidoscope_stretch = 1;
    s.transition.Grow_Pending = 1;
    Paint(s.display.Visible, 0x00FF00);
    ASSERT_EQ(Display_Transition(s, 384.0), 1);
    EXPECT_EQ(Peek(s.display.Visible, 10, 10), 0x00FF00u);
}

TEST_F(Transition, ModesAndRestingState) {
    // Nothing running and nothing pending: the picture is not touched.
    Paint(s.display.Hidden, 0x123456);
    ASSERT_EQ(Display_Transition(s, 384.0), 1);
    EXPECT_EQ(Peek(s.display.Hidden, 0, 0), 0x123456u);
    EXPECT_EQ(s.display.Scratch_Pad, nullptr);

    EXPECT_EQ(Set_Transition_Mode(s, TRANSITION_SHRINK), 1);
    s.transition.Transition_Height = 100.0;
    EXPECT_EQ(Set_Transition_Mode(s, TRANSITION_SHRINK), 1);  // already shrinking: kept
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 100.0);
    EXPECT_EQ(Set_Transition_Mode(s, TRANSITION_GROW), 1);  // grows from where it is
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 100.0);
    EXPECT_EQ(Set_Transition_Mode(s, TRANSITION_SHRINK), 1);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 100.0);
    EXPECT_EQ(Set_Transition_Mode(s, NO_TRANSITION), 1);
    EXPECT_EQ(Set_Transition_Mode(s, TRANSITION_GROW), 1);  // from rest: one pixel
    EXPECT_DOUBLE_EQ(s.transition.Transition_Width, 1.0);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 1.0);

    EXPECT_EQ(Set_Transition_Mode(s, 3), 0);
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    ASSERT_FALSE(Headless().boxes.empty());
    EXPECT_EQ(Headless().boxes.back(), "[Error] Set_Transition_Mode(): INVALID mode 3");
}

TEST_F(Transition, GrowOvershootingOneSideKeepsGrowingTheOther) {
    // A wide view: 640 x 480, a = 4/3. From 600 x 100 the width overshoots first.
    s.display.frame_seconds = 0.25;
    ASSERT_EQ(Set_Transition_Mode(s, TRANSITION_GROW), 1);
    s.transition.Transition_Width = 600.0;
    s.transition.Transition_Height = 100.0;
    Frames(1);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Width, 640.0);
    EXPECT_DOUBLE_EQ(s.transition.Transition_Height, 196.0);
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_GROW);
}

}  // namespace
