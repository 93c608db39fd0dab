#include <filesystem>
#include <string>

#include "dialog_session.h"
#include "dialogs/launchers.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "surface/display.h"
#include "text/transition.h"

namespace {

using Dialogs = Dialog_Session;

TEST_F(Dialogs, ResolutionDefaultStoresNothingUntilOk) {
    Plasma_Settings.resolution = 13;
    const int cursor = Cursor_Show_Count();
    Script({Default, Cancel});
    Show_Resolution_Dialog();
    ASSERT_EQ(Shown(1040).items.size(), 20u);
    EXPECT_EQ(Shown(1040).items[1], "640  x 480  x 32");
    EXPECT_EQ(Shown(1040).items[19], "1280 x 1024 x 8");
    EXPECT_EQ(Shown(1040).selection, 1);
    EXPECT_EQ(Plasma_Settings.resolution, 13);
    EXPECT_EQ(Cursor_Show_Count(), cursor);

    Script({OK});
    Show_Resolution_Dialog();
    EXPECT_EQ(Shown(1040).selection, 13);
    EXPECT_EQ(Plasma_Settings.resolution, 13);
    Script({Choose(1040, 7), Default, OK});
    Show_Resolution_Dialog();
    EXPECT_EQ(Plasma_Settings.resolution, 1);
}

TEST_F(Dialogs, RandomPresetsStepsAndIntervalZeroStopsTheCountdown) {
    Running_Random_Interval = 30;
    Running_Transition_Speed = 0;
    // Interval 30 + 8 - 1 = 37; speed opens at 1 (its minimum): 1 + 16 + 16 - 1 = 32.
    Script({Scroll(1066, SB_PAGERIGHT), Scroll(1066, SB_LINELEFT), Scroll(1067, SB_PAGERIGHT),
            Scroll(1067, SB_PAGERIGHT), Scroll(1067, SB_LINELEFT), OK});
    Show_Random_Presets_Dialog();
    EXPECT_EQ(Running_Random_Interval, 37);
    EXPECT_EQ(Plasma_Settings.random_interval, 37);
    EXPECT_EQ(Running_Transition_Speed, 32);
    EXPECT_EQ(Plasma_Settings.transition_speed, 32);

    Script({Scroll(1067, SB_RIGHT), Scroll(1066, SB_LEFT), Cancel});
    Show_Random_Presets_Dialog();
    EXPECT_EQ(Number(1069), "800");
    EXPECT_EQ(Running_Random_Interval, 37);

    Script({Scroll(1066, SB_LEFT), OK});
    Show_Random_Presets_Dialog();
    EXPECT_EQ(Running_Random_Interval, 0);
    EXPECT_EQ(Plasma_Settings.random_interval, 0);
    const int mode = Transition_Mode;
    frame_seconds = 1000.0;
    Tick_Random_Preset_Timer(0);
    EXPECT_EQ(Transition_Mode, mode);
}

TEST_F(Dialogs, AboutShowsThePictureOrFallsBackToAMessage) {
    Script({Paint(), {Dialog_Step::Command, 5, 0, 0}});
    EXPECT_EQ(Show_About(), 1);
    EXPECT_EQ(Last_Headless_Dialog().spec->caption, "");

    std::filesystem::remove(program.home() / "Data/Bmp/About.bmp");
    const size_t boxes = Headless().boxes.size();
    EXPECT_EQ(Show_About(), 0);
    ASSERT_EQ(Headless().boxes.size(), boxes + 1);
    EXPECT_EQ(Headless().boxes.back().rfind("[Message] ", 0), 0u);
    EXPECT_NE(Headless().boxes.back().find("Mirravane"), std::string::npos);
}

TEST_F(Dialogs, FullScreenDialogsShowTheCursorOnlyWhileOpen) {
    Window_Mode = FULLSCREEN;
    const int cursor = Cursor_Show_Count();
    for (int (*show)() : {Show_Speed_Dialog, Show_Fade_Dialog, Show_Introduction, Show_Random_Presets_Dialog}) {
        Script({OK});
        show();
        EXPECT_EQ(Cursor_Show_Count(), cursor);
    }
    Script({OK});
    Show_System_Info();
    EXPECT_EQ(Number(1051).rfind("Video ram free ", 0), 0u);
    EXPECT_EQ(Number(1052).rfind("Total system ram ", 0), 0u);
    EXPECT_EQ(Number(1053).find(" Mb of system ram"), Number(1053).size() - 17);
    EXPECT_EQ(Cursor_Show_Count(), cursor);
    Window_Mode = WINDOWED;
}

}  // namespace
