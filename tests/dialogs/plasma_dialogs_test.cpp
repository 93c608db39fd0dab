#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "dialog_session.h"
#include "common/control_ids.h"
#include "dialogs/launchers.h"
#include "plasma/plasma.h"
#include "presets/plasma_settings.h"
#include "surface/surface.h"
#include "session/session.h"

namespace {

using Dialogs = Dialog_Session;

std::array<float, 8> Phases(Session& s) {
    std::array<float, 8> p;
    std::copy(std::begin(s.plasma.First_Plasma.phase), std::end(s.plasma.First_Plasma.phase), p.begin());
    return p;
}

TEST_F(Dialogs, RandomColourIntervalStepsByHundredthsAndWholeSeconds) {
    ASSERT_EQ(s.Plasma_Settings.random_colour_interval, 0.0);
    // 0 +100 +100 -1 = 199, then the thumb: 150.
    Script({Scroll(IDC_COLOUR_INTERVAL_BAR, SB_LINERIGHT), Scroll(IDC_COLOUR_INTERVAL_BAR, SB_LINERIGHT), Scroll(IDC_COLOUR_INTERVAL_BAR, SB_PAGELEFT), OK});
    EXPECT_EQ(Show_Random_Colour_Dialog(s), 1);
    EXPECT_EQ(Number(IDC_COLOUR_INTERVAL_NUMBER), "199");
    EXPECT_EQ(Number(IDC_COLOUR_INTERVAL_TEXT), "change every 1.99 seconds");
    EXPECT_DOUBLE_EQ(s.Plasma_Settings.random_colour_interval, 1.99);

    Script({Thumb(IDC_COLOUR_INTERVAL_BAR, 150), OK});
    Show_Random_Colour_Dialog(s);
    EXPECT_EQ(Number(IDC_COLOUR_INTERVAL_TEXT), "change every 1.50 seconds");
    EXPECT_DOUBLE_EQ(s.Plasma_Settings.random_colour_interval, 1.5);

    // Default shows 0 but Cancel keeps 1.5; the right end is 60000 (600 seconds).
    Script({Scroll(IDC_COLOUR_INTERVAL_BAR, SB_RIGHT), Default, Cancel});
    Show_Random_Colour_Dialog(s);
    EXPECT_EQ(Number(IDC_COLOUR_INTERVAL_NUMBER), "0");
    EXPECT_EQ(Number(IDC_COLOUR_INTERVAL_TEXT), "change every 0.00 seconds");
    EXPECT_EQ(Shown(IDC_COLOUR_INTERVAL_BAR).maximum, 60000);
    EXPECT_DOUBLE_EQ(s.Plasma_Settings.random_colour_interval, 1.5);

    // 150 - 100 - 100 stops at 0, which turns the change off.
    Script({Scroll(IDC_COLOUR_INTERVAL_BAR, SB_LINELEFT), Scroll(IDC_COLOUR_INTERVAL_BAR, SB_LINELEFT), OK});
    Show_Random_Colour_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.random_colour_interval, 0.0);
}

TEST_F(Dialogs, SpeedWritesOnOkAndCancelRestoresTheWorkingValue) {
    const auto phases = Phases(s);
    Script({Thumb(IDC_SPEED_BAR, 120), Scroll(IDC_SPEED_BAR, SB_LINELEFT), Cancel});
    Show_Speed_Dialog(s);
    EXPECT_EQ(Number(IDC_SPEED_NUMBER), "119");
    EXPECT_EQ(s.Plasma_Settings.speed, 35.0);
    EXPECT_EQ(s.plasma.plasma_dialog_values.speed, 35.0);

    Script({Thumb(IDC_SPEED_BAR, 120), Scroll(IDC_SPEED_BAR, SB_PAGERIGHT), OK});
    Show_Speed_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.speed, 121.0);
    EXPECT_EQ(Phases(s), phases);  // no re-initialisation

    // Default only moves the bar; the ends are 1 and 499.
    Script({Default, Cancel});
    Show_Speed_Dialog(s);
    EXPECT_EQ(Number(IDC_SPEED_NUMBER), "35");
    EXPECT_EQ(s.Plasma_Settings.speed, 121.0);
    Script({Scroll(IDC_SPEED_BAR, SB_RIGHT), Scroll(IDC_SPEED_BAR, SB_LINERIGHT), OK});
    Show_Speed_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.speed, 499.0);

    // "Ignore fps" flips its own flag at once, even when the dialog is cancelled.
    ASSERT_EQ(s.Plasma_Settings.plasma_ignore_fps, 0);
    Script({Command(IDC_IGNORE_FPS), Cancel});
    Show_Speed_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.plasma_ignore_fps, 1);
    EXPECT_TRUE(Shown(IDC_IGNORE_FPS_BOX).checked);
    Script({Command(IDC_IGNORE_FPS), Command(IDC_IGNORE_FPS), Command(IDC_IGNORE_FPS), Cancel});
    Show_Speed_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.plasma_ignore_fps, 0);
    EXPECT_FALSE(Shown(IDC_IGNORE_FPS_BOX).checked);
}

// The end of a dialog's bar under the label with this text.
int End_Labelled(const char* dialog, const std::string& label) {
    const Dialog_Template* form = Find_Dialog_Template(dialog);
    int bar_middle = -1, label_x = -1;
    for (const Control_Template& c : form->controls) {
        if (c.kind == Control_Kind::Scroll_Bar) bar_middle = c.x + c.width / 2;
        if (c.kind == Control_Kind::Text && c.text == label) label_x = c.x;
    }
    EXPECT_GE(label_x, 0) << dialog << " " << label;
    return label_x < bar_middle ? SB_LEFT : SB_RIGHT;
}

TEST_F(Dialogs, SpeedAndContrastEndsDoWhatTheirLabelsSay) {
    // How far the plasma moves in one frame step, with the frame time ignored.
    s.Plasma_Settings.ignore_fps = 1;
    const auto step = [&] {
        const auto before = Phases(s);
        EXPECT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);
        return std::fabs(s.plasma.First_Plasma.phase[0] - before[0]);
    };
    Script({Scroll(IDC_SPEED_BAR, End_Labelled("SPEEDBOX", "Slow")), OK});
    Show_Speed_Dialog(s);
    const float slow = step();
    Script({Scroll(IDC_SPEED_BAR, End_Labelled("SPEEDBOX", "Fast")), OK});
    Show_Speed_Dialog(s);
    const float fast = step();
    EXPECT_GT(fast, 100 * slow);

    // Contrast: how far the sine table swings between its lightest and darkest entries.
    const auto swing = [&] {
        const int entries = 4 * s.plasma.First_Plasma.width * s.plasma.First_Plasma.height;
        const auto [low, high] = std::minmax_element(s.plasma.First_Plasma.table2, s.plasma.First_Plasma.table2 + entries);
        return *high - *low;
    };
    Script({Scroll(IDC_CONTRAST_BAR, End_Labelled("CONTRASTBOX", "Low")), OK});
    Show_Contrast_Dialog(s);
    const int low = swing();
    Script({Scroll(IDC_CONTRAST_BAR, End_Labelled("CONTRASTBOX", "High")), OK});
    Show_Contrast_Dialog(s);
    const int high = swing();
    EXPECT_LE(low, 2);
    EXPECT_GE(high, 90);
    // The stored values keep their meaning: divisors, 1 at the strong end.
    EXPECT_EQ(s.Plasma_Settings.speed, 1.0);
    EXPECT_EQ(s.Plasma_Settings.contrast, 1);
}

TEST_F(Dialogs, InterferenceRippleAndSwayMapTheirPositions) {
    Script({OK});
    Show_Interference_Dialog(s);
    EXPECT_EQ(Number(IDC_INTERFERENCE_NUMBER), "95");
    EXPECT_FLOAT_EQ(s.Plasma_Settings.interference, 9.5f);

    Script({Scroll(IDC_INTERFERENCE_BAR, SB_LEFT), Scroll(IDC_INTERFERENCE_BAR, SB_LINELEFT), OK});
    Show_Interference_Dialog(s);
    EXPECT_FLOAT_EQ(s.Plasma_Settings.interference, 1.0f);

    Script({Thumb(IDC_RIPPLE_BAR, 1), OK});
    Show_Ripple_Dialog(s);
    EXPECT_FLOAT_EQ(s.Plasma_Settings.ripple, 0.1f);
    Script({Thumb(IDC_RIPPLE_BAR, 700), Cancel});
    Show_Ripple_Dialog(s);
    EXPECT_EQ(s.plasma.plasma_dialog_values.ripple, 1);
    EXPECT_FLOAT_EQ(s.Plasma_Settings.ripple, 0.1f);

    s.Plasma_Settings.sway = 2.5f;
    Script({Thumb(IDC_SWAY_BAR, 16), Cancel});
    Show_Sway_Dialog(s);
    EXPECT_FLOAT_EQ(s.Plasma_Settings.sway, 2.5f);
    Script({Scroll(IDC_SWAY_BAR, SB_PAGELEFT), OK});  // opens at 25
    Show_Sway_Dialog(s);
    EXPECT_FLOAT_EQ(s.Plasma_Settings.sway, 2.4f);
    Script({Thumb(IDC_SWAY_BAR, 40), Default, OK});
    Show_Sway_Dialog(s);
    EXPECT_FLOAT_EQ(s.Plasma_Settings.sway, 1.6f);
}

TEST_F(Dialogs, OnlyTableSettingsRestartThePlasma) {
    struct Case {
        int (*show)(Session&);
        bool restarts;
    } cases[] = {{Show_Contrast_Dialog, true},  {Show_Interference_Dialog, true}, {Show_Ripple_Dialog, true},
                 {Show_Complexity_Dialog, true}, {Show_Speed_Dialog, false},      {Show_Sway_Dialog, false},
                 {Show_Colour_Dialog, false},    {Show_Random_Colour_Dialog, false}};
    for (const Case& c : cases) {
        const auto before = Phases(s);
        Script({OK});
        c.show(s);
        EXPECT_EQ(Phases(s) != before, c.restarts);
    }

    Script({Scroll(IDC_CONTRAST_BAR, SB_RIGHT), Scroll(IDC_CONTRAST_BAR, SB_LINERIGHT), OK});
    Show_Contrast_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.contrast, 60);
    EXPECT_EQ(s.plasma.First_Plasma.contrast, 60);
    Script({Thumb(IDC_COMPLEXITY_BAR, 3), Scroll(IDC_COMPLEXITY_BAR, SB_PAGELEFT), Scroll(IDC_COMPLEXITY_BAR, SB_PAGELEFT), Scroll(IDC_COMPLEXITY_BAR, SB_PAGELEFT), OK});
    Show_Complexity_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.complexity, 1);
    Script({Thumb(IDC_COMPLEXITY_BAR, 3), Default, OK});
    Show_Complexity_Dialog(s);
    EXPECT_EQ(s.Plasma_Settings.complexity, 50);
}

TEST_F(Dialogs, ColoursPreviewLiveAndCancelRestoresEverythingThePreviewChanged) {
    ASSERT_EQ(s.Plasma_Settings.invert_colour_logic, 1);
    ASSERT_EQ(s.Plasma_Settings.darken_red, 0);
    ASSERT_TRUE(Clear(s.display, s.display.Hidden));
    Script({Click(IDC_INVERT_COLOUR_LOGIC), Click(IDC_RED_DARKEN), Thumb(IDC_BLUE_BAR, 10), Scroll(IDC_GREEN_BAR, SB_LEFT), Mouse_Over(), Cancel});
    Show_Colour_Dialog(s);
    EXPECT_EQ(Number(IDC_BLUE_NUMBER), "10");
    EXPECT_EQ(Number(IDC_GREEN_NUMBER), "0");
    EXPECT_EQ(s.Plasma_Settings.colour_blue, 127);
    EXPECT_EQ(s.Plasma_Settings.colour_green, 127);
    EXPECT_EQ(s.plasma.plasma_dialog_values.colour_blue, 127);
    EXPECT_EQ(s.Plasma_Settings.darken_red, 0);
    EXPECT_EQ(s.Plasma_Settings.invert_colour_logic, 1);
    EXPECT_EQ(s.plasma.plasma_dialog_values.colour_logic, 1);

    // The preview was drawn into Hidden while the dialog was open.
    int pitch = 0;
    const uint8_t* pixels = Lock_Surface(s.display, s.display.Hidden, &pitch);
    ASSERT_NE(pixels, nullptr);
    bool drawn = false;
    for (int x = 0; x < 16 * 4; ++x) drawn = drawn || pixels[x] != 0;
    Unlock_Surface(s.display.Hidden, const_cast<uint8_t*>(pixels));
    EXPECT_TRUE(drawn);

    // OK keeps the bytes and the boxes; the opening shows the record's state.
    Script({Thumb(IDC_RED_BAR, 64), Click(IDC_INVERT_COLOUR_LOGIC), Click(IDC_GREEN_DARKEN), Click(IDC_BLUE_DARKEN), OK});
    Show_Colour_Dialog(s);
    EXPECT_FALSE(Shown(IDC_INVERT_COLOUR_LOGIC).checked);
    EXPECT_EQ(s.Plasma_Settings.colour_red, 64);
    EXPECT_EQ(s.Plasma_Settings.darken_green, 1);
    EXPECT_EQ(s.Plasma_Settings.darken_blue, 1);
    EXPECT_EQ(s.Plasma_Settings.darken_red, 0);
    Script({Cancel});
    Show_Colour_Dialog(s);
    EXPECT_EQ(Number(IDC_RED_NUMBER), "64");
    EXPECT_TRUE(Shown(IDC_GREEN_DARKEN).checked);
}

}  // namespace
