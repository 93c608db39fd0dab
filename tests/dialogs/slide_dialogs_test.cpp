#include <string>
#include <tuple>

#include "dialog_session.h"
#include "common/control_ids.h"
#include "dialogs/launchers.h"
#include "presets/plasma_settings.h"
#include "slides/objects.h"
#include "surface/display.h"

namespace {

using Dialogs = Dialog_Session;

TEST_F(Dialogs, GranularityStepsByFourUpToHalfTheScreenHeight) {
    s.display.Screen_Height = 768;  // M = (768 / 32) x 16 = 384
    s.Plasma_Settings.granularity = 100;
    Script({Thumb(IDC_GRANULARITY_BAR, 203), Scroll(IDC_GRANULARITY_BAR, SB_LINELEFT), Scroll(IDC_GRANULARITY_BAR, SB_PAGERIGHT), Scroll(IDC_GRANULARITY_BAR, SB_PAGERIGHT), OK});
    Show_Granularity_Dialog(s);
    EXPECT_EQ(Shown(IDC_GRANULARITY_BAR).minimum, 80);
    EXPECT_EQ(Shown(IDC_GRANULARITY_BAR).maximum, 384);
    EXPECT_EQ(s.Plasma_Settings.granularity, 204);  // 200, 196, 200, 204

    Script({Scroll(IDC_GRANULARITY_BAR, SB_RIGHT), Scroll(IDC_GRANULARITY_BAR, SB_LINERIGHT), Cancel});
    Show_Granularity_Dialog(s);
    EXPECT_EQ(Number(IDC_GRANULARITY_NUMBER), "384");
    EXPECT_EQ(s.Plasma_Settings.granularity, 204);

    Script({Scroll(IDC_GRANULARITY_BAR, SB_LEFT), Scroll(IDC_GRANULARITY_BAR, SB_PAGELEFT), Default, OK});
    Show_Granularity_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.granularity, 192);  // (384 / 4) x 2

    Script({Thumb(IDC_GRANULARITY_BAR, 81), OK});  // 80 is already a multiple of 4
    Show_Granularity_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.granularity, 80);
}

TEST_F(Dialogs, SlideSpeedTogglesIgnoreFpsAtOnceAndStoresSpeedOnOk) {
    s.display.Screen_Height = 768;
    s.Plasma_Settings.ignore_fps = 0;
    s.Plasma_Settings.slide_speed = 12.9;
    Script({Scroll(IDC_SLIDE_SPEED_BAR, SB_LINERIGHT), Command(IDC_IGNORE_FPS), Cancel});
    Show_Slide_Speed_Dialog(s);
    EXPECT_EQ(Number(IDC_SLIDE_SPEED_NUMBER), "13");
    EXPECT_EQ(Shown(IDC_SLIDE_SPEED_BAR).maximum, 384);
    EXPECT_EQ(s.Plasma_Settings.ignore_fps, 1);
    EXPECT_DOUBLE_EQ(s.Plasma_Settings.slide_speed, 12.9);

    Script({Command(IDC_IGNORE_FPS), Scroll(IDC_SLIDE_SPEED_BAR, SB_RIGHT), OK});
    Show_Slide_Speed_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.ignore_fps, 0);
    EXPECT_EQ(s.Plasma_Settings.slide_speed, 384.0);

    Script({Default, OK});
    Show_Slide_Speed_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.ignore_fps, 1);
    EXPECT_TRUE(Shown(IDC_IGNORE_FPS_BOX).checked);
    EXPECT_EQ(s.Plasma_Settings.slide_speed, 10.0);
}

TEST_F(Dialogs, SlideObjectsWriteTheCurrentObjectAtOnce) {
    ASSERT_EQ(s.app.Objects_Loaded, 2);
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    p.object_count[1] = 7;
    p.object_animation_speed[1] = 30.7;
    p.object_speed[1] = 4.0;
    p.object_selected[1] = 1;

    // De-Select then Select gives count 1.
    Script({Command(IDC_OBJECT_DESELECT), Command(IDC_OBJECT_SELECT), Paint(), OK});
    EXPECT_EQ(Show_Slide_Objects_Dialog(s), 1);
    EXPECT_EQ(p.object_count[0], 1);
    EXPECT_EQ(p.object_selected[0], 1);
    EXPECT_EQ(Shown(IDC_OBJECT_NUMBER).text, "0");
    EXPECT_EQ(Shown(IDC_OBJECT_BAR).maximum, 1);

    // Moving to object 1 shows its values (speeds truncated); a count of 0 deselects it.
    Script({Scroll(IDC_OBJECT_BAR, SB_LINERIGHT), Scroll(IDC_OBJECT_SPEED_BAR, SB_PAGERIGHT), Scroll(IDC_OBJECT_ANIMATION_BAR, SB_LINELEFT), Cancel});
    Show_Slide_Objects_Dialog(s);
    EXPECT_EQ(Number(IDC_OBJECT_FREQUENCY_NUMBER), "7");
    EXPECT_EQ(p.object_speed[1], 14.0);
    EXPECT_EQ(p.object_animation_speed[1], 29.0);
    // Any bar change, the object choice included, selects by the count.
    p.object_selected[1] = 0;
    Script({Scroll(IDC_OBJECT_BAR, SB_RIGHT), Cancel});
    Show_Slide_Objects_Dialog(s);
    EXPECT_EQ(p.object_selected[1], 1);
    EXPECT_TRUE(Shown(IDC_OBJECT_SELECTED).checked);
    Script({Scroll(IDC_OBJECT_BAR, SB_RIGHT), Scroll(IDC_OBJECT_FREQUENCY_BAR, SB_LEFT), OK});
    Show_Slide_Objects_Dialog(s);
    EXPECT_EQ(p.object_count[1], 0);
    EXPECT_EQ(p.object_selected[1], 0);
    EXPECT_FALSE(Shown(IDC_OBJECT_SELECTED).checked);

    // All copies the working values to every loaded object; None clears them.
    Script({Thumb(IDC_OBJECT_FREQUENCY_BAR, 3), Thumb(IDC_OBJECT_ANIMATION_BAR, 100), Thumb(IDC_OBJECT_SPEED_BAR, 20), Command(IDC_OBJECT_ALL), OK});
    Show_Slide_Objects_Dialog(s);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(std::tuple(p.object_count[i], p.object_selected[i], p.object_animation_speed[i], p.object_speed[i]),
                  std::tuple(3, 1, 100.0, 20.0)) << i;
    Script({Command(IDC_OBJECT_NONE), OK});
    Show_Slide_Objects_Dialog(s);
    EXPECT_EQ(p.object_count[1], 0);
    EXPECT_EQ(p.object_selected[0], 0);
    EXPECT_EQ(p.object_speed[0], 0.0);

    Script({Scroll(IDC_OBJECT_BAR, SB_RIGHT), Default, OK});
    Show_Slide_Objects_Dialog(s);
    EXPECT_EQ(Number(IDC_OBJECT_NUMBER), "0");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(std::tuple(p.object_count[i], p.object_animation_speed[i], p.object_speed[i]), std::tuple(1, 250.0, 50.0)) << i;
    EXPECT_EQ(p.object_count[2], 0);  // not loaded, untouched
}

TEST_F(Dialogs, SlideObjectsCloseWhenThePictureIsMissing) {
    Free_All_Objects(s);
    Script({Paint(), Command(IDC_OBJECT_SELECT), OK});
    Show_Slide_Objects_Dialog(s);
    EXPECT_TRUE(Last_Headless_Dialog().ended);
    EXPECT_EQ(Last_Headless_Dialog().result, 0);
    EXPECT_NE(program.log().find("Slide_Objects_Dialog_Box():Unable to find image for fx object #0"), std::string::npos);
}

TEST_F(Dialogs, BackgroundZonesDirectionFadeAndSineWaves) {
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    // Background: list, brightness, "variable", and the nested sine-wave dialog.
    Script({Choose(IDC_BACKGROUND_LIST, 4), Scroll(IDC_GRADIENT_BAR, SB_LEFT), Scroll(IDC_GRADIENT_BAR, SB_PAGERIGHT), Click(IDC_GRADIENT_VARIABLE), Command(IDC_CONFIGURE_SINE_WAVES), OK});
    Script({Scroll(IDC_SINE_PASSES_BAR, SB_LEFT), Scroll(IDC_SINE_DENSITY_BAR, SB_LINERIGHT), Command(IDC_SINE_MULTICOLOUR_BUTTON), Click(IDC_SINE_CLEAR), Command(IDC_SINE_CLEAR_BUTTON), OK});
    Show_Background_Dialog(s);
    EXPECT_EQ(std::tuple(p.background, p.gradient_brightness, p.gradient_variable, p.sine_passes), std::tuple(4, 65, 0, 1));
    EXPECT_DOUBLE_EQ(p.sine_phase_step, 2 * 0.0002);  // density opens at 0, clamped to 1, then +1
    EXPECT_EQ(p.sine_multicolour, 1);
    EXPECT_EQ(p.sine_clear, 0);  // clicked on, toggled off by its button
    EXPECT_EQ(p.sine_band_width, 1);

    // Zones: the frequency bar runs the other way round from the field.
    p.zone_frequency = 10;
    Script({Scroll(IDC_ZONE_FREQUENCY_BAR, SB_LINERIGHT), Scroll(IDC_ZONE_DURATION_BAR, SB_RIGHT), OK});
    Show_Zone_Dialog(s);
    EXPECT_EQ(p.zone_frequency, 9);
    EXPECT_EQ(p.zone_duration, 50);
    Script({Default, Cancel});
    Show_Zone_Dialog(s);
    EXPECT_EQ(Number(IDC_ZONE_FREQUENCY_NUMBER), "25");
    EXPECT_EQ(p.zone_frequency, 9);
    p.zone_multicolour = 0;
    Script({Default, OK});
    Show_Zone_Dialog(s);
    EXPECT_EQ(p.zone_frequency, 25);
    EXPECT_EQ(p.zone_duration, 6);
    EXPECT_EQ(p.zone_multicolour, 1);

    // Direction: a frequency of 0 opens at 1.
    p.direction_change_frequency = 0;
    Script({Choose(IDC_DIRECTION_LIST, 1), OK});
    Show_Direction_Dialog(s);
    EXPECT_EQ(Number(IDC_DIRECTION_FREQUENCY_NUMBER), "1");
    EXPECT_EQ(p.direction_change_frequency, 1);
    EXPECT_EQ(p.slide_direction, 1);
    Script({Default, OK});
    Show_Direction_Dialog(s);
    EXPECT_EQ(p.direction_change_frequency, 1000);
    EXPECT_EQ(p.slide_direction, 3);

    // Fade: written directly on OK only.
    Script({Thumb(IDC_FADE_LIGHT_BAR, 9), Scroll(IDC_FADE_HUE_BAR, SB_RIGHT), Scroll(IDC_FADE_SATURATION_BAR, SB_LINERIGHT), Cancel});
    Show_Fade_Dialog(s);
    EXPECT_EQ(p.fade_hue, 0);
    Script({Thumb(IDC_FADE_LIGHT_BAR, 9), Scroll(IDC_FADE_HUE_BAR, SB_RIGHT), Scroll(IDC_FADE_SATURATION_BAR, SB_LINERIGHT), OK});
    Show_Fade_Dialog(s);
    EXPECT_EQ(std::tuple(p.fade_light, p.fade_hue, p.fade_saturation), std::tuple(9, 255, 1));
}

}  // namespace
