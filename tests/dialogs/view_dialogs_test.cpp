#include <filesystem>
#include <string>
#include <tuple>

#include "dialog_session.h"
#include "common/control_ids.h"
#include "dialogs/launchers.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "plasma/plasma.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "text/transition.h"
#include "session/session.h"

namespace {

using Dialogs = Dialog_Session;

TEST_F(Dialogs, ResolutionDefaultStoresNothingUntilOk) {
    s.Plasma_Settings.resolution = 13;
    const int cursor = Cursor_Show_Count();
    Script({Default, Cancel});
    Show_Resolution_Dialog(s);
    ASSERT_EQ(Shown(IDC_RESOLUTION_LIST).items.size(), 20u);
    EXPECT_EQ(Shown(IDC_RESOLUTION_LIST).items[1], "640  x 480  x 32");
    EXPECT_EQ(Shown(IDC_RESOLUTION_LIST).items[19], "1280 x 1024 x 8");
    EXPECT_EQ(Shown(IDC_RESOLUTION_LIST).selection, 1);
    EXPECT_EQ(s.Plasma_Settings.resolution, 13);
    EXPECT_EQ(Cursor_Show_Count(), cursor);

    Script({OK});
    Show_Resolution_Dialog(s);
    EXPECT_EQ(Shown(IDC_RESOLUTION_LIST).selection, 13);
    EXPECT_EQ(s.Plasma_Settings.resolution, 13);
    Script({Choose(IDC_RESOLUTION_LIST, 7), Default, OK});
    Show_Resolution_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.resolution, 1);
}

TEST_F(Dialogs, RandomPresetsStepsAndIntervalZeroStopsTheCountdown) {
    s.journey.Running_Random_Interval = 30;
    s.journey.Running_Transition_Speed = 0;
    // Interval 30 + 8 - 1 = 37; speed opens at 1 (its minimum): 1 + 16 + 16 - 1 = 32.
    Script({Scroll(IDC_JOURNEY_INTERVAL_BAR, SB_PAGERIGHT), Scroll(IDC_JOURNEY_INTERVAL_BAR, SB_LINELEFT), Scroll(IDC_JOURNEY_SPEED_BAR, SB_PAGERIGHT),
            Scroll(IDC_JOURNEY_SPEED_BAR, SB_PAGERIGHT), Scroll(IDC_JOURNEY_SPEED_BAR, SB_LINELEFT), OK});
    Show_Random_Presets_Dialog(s);
    EXPECT_EQ(std::pair(s.journey.Running_Random_Interval, s.Plasma_Settings.random_interval), std::pair(37, 37));
    EXPECT_EQ(std::pair(s.journey.Running_Transition_Speed, s.Plasma_Settings.transition_speed), std::pair(32, 32));

    Script({Scroll(IDC_JOURNEY_SPEED_BAR, SB_RIGHT), Scroll(IDC_JOURNEY_INTERVAL_BAR, SB_LEFT), Cancel});
    Show_Random_Presets_Dialog(s);
    EXPECT_EQ(Number(IDC_JOURNEY_SPEED_NUMBER), "800");
    EXPECT_EQ(s.journey.Running_Random_Interval, 37);

    Script({Scroll(IDC_JOURNEY_INTERVAL_BAR, SB_LEFT), OK});
    Show_Random_Presets_Dialog(s);
    EXPECT_EQ(s.journey.Running_Random_Interval, 0);
    EXPECT_EQ(s.Plasma_Settings.random_interval, 0);
    const int mode = s.transition.Transition_Mode;
    s.display.frame_seconds = 1000.0;
    Tick_Random_Preset_Timer(s, 0);
    EXPECT_EQ(s.transition.Transition_Mode, mode);
}

TEST_F(Dialogs, AboutShowsThePictureOrFallsBackToAMessage) {
    Script({Paint(), {Dialog_Step::Command, 5, 0, 0}});
    EXPECT_EQ(Show_About(s), 1);
    EXPECT_EQ(Last_Headless_Dialog().form->caption, "");
    EXPECT_EQ(program.log().find("About_Dialog_Box"), std::string::npos);

    std::filesystem::remove(program.home() / "Data/Bmp/About.bmp");
    const size_t boxes = Headless().boxes.size();
    EXPECT_EQ(Show_About(s), 0);
    ASSERT_EQ(Headless().boxes.size(), boxes + 1);
    EXPECT_EQ(Headless().boxes.back().rfind("[Message] ", 0), 0u);
    EXPECT_NE(Headless().boxes.back().find("Mirravane"), std::string::npos);
}

TEST_F(Dialogs, FullScreenDialogsShowTheCursorOnlyWhileOpen) {
    s.display.Window_Mode = FULLSCREEN;
    const int cursor = Cursor_Show_Count();
    for (int (*show)(Session&) : {Show_Speed_Dialog, Show_Fade_Dialog, Show_Introduction, Show_Random_Presets_Dialog}) {
        Script({OK});
        show(s);
        EXPECT_EQ(Cursor_Show_Count(), cursor);
    }
    Script({OK});
    Show_System_Info(s);
    EXPECT_EQ(Number(IDC_INFO_VIDEO_MEMORY).rfind("Video ram free ", 0), 0u);
    EXPECT_EQ(Number(IDC_INFO_SYSTEM_MEMORY).rfind("Total system ram ", 0), 0u);
    EXPECT_EQ(Number(IDC_INFO_OBJECT_MEMORY).find(" Mb of system ram"), Number(IDC_INFO_OBJECT_MEMORY).size() - 17);
    EXPECT_EQ(Cursor_Show_Count(), cursor);
    s.display.Window_Mode = WINDOWED;
}

bool Anything_On(Display_Context& d, Surface surface) {
    int width = 0, height = 0, pitch = 0;
    Grab_Surface_Dimensions(d.app, surface, &width, &height);
    uint8_t* pixels = Lock_Surface(d, surface, &pitch);
    bool found = false;
    for (int y = 0; pixels && y < height && !found; ++y)
        for (int x = 0; x < width * 4 && !found; ++x) found = pixels[static_cast<size_t>(y) * pitch + x] != 0;
    Unlock_Surface(surface, pixels);
    return found;
}

TEST_F(Dialogs, MovingADialogPresentsTheLastFrameAgain) {
    ASSERT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);
    const Dialog_Step moved{Dialog_Step::Move, 0, 0, 0};
    // Plasma dialogs present in every mode; the fade dialog only in windowed mode.
    for (int (*show)(Session&) : {Show_Speed_Dialog, Show_Fade_Dialog, Show_Resolution_Dialog}) {
        ASSERT_EQ(Clear(s.display, s.display.Visible), 1);
        Script({moved, Cancel});
        show(s);
        EXPECT_TRUE(Anything_On(s.display, s.display.Visible));
    }
    s.display.Window_Mode = FULLSCREEN;
    ASSERT_EQ(Clear(s.display, s.display.Visible), 1);
    Script({moved, Cancel});
    Show_Fade_Dialog(s);
    EXPECT_FALSE(Anything_On(s.display, s.display.Visible));
    s.display.Window_Mode = WINDOWED;
}

}  // namespace
