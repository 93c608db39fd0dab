// The plasma frame: divisor, renderer choice, symmetry copies, random colour changes.
#include <tuple>

#include "common/random.h"
#include "plasma_fixture.h"
#include "session/session.h"

namespace {

void Use_Frame_Settings(Session& s, int W, int H, int symmetry) {
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    p.plasma_width = W;
    p.plasma_height = H;
    p.contrast = 3;
    p.ripple = 5.4f;
    p.interference = 9.5f;
    p.complexity = 50;
    p.sway = 1.6f;
    p.speed = 35.0;
    p.ignore_fps = 1;
    p.symmetry = symmetry;
    p.colour_blue = p.colour_green = p.colour_red = 127;
    p.invert_colour_logic = 1;
    p.brighten = 1;
}

}  // namespace

TEST_F(Plasma_Test, EightFoldCopiesCoverFourTimesTheTileMirrored) {
    Soft_Display display(s, 160, 160, 32);
    Use_Frame_Settings(s, 32, 32, 3);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    ASSERT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);

    bool lit = false;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const uint32_t v = s.display.Hidden->Pixel(x, y);
            lit = lit || v != 0;
            // Each blit mirrors what the ones before it wrote.
            ASSERT_EQ(s.display.Hidden->Pixel(63 - x, y), v);
            ASSERT_EQ(s.display.Hidden->Pixel(x, 63 - y), v);
            ASSERT_EQ(s.display.Hidden->Pixel(127 - x, y), v);
            ASSERT_EQ(s.display.Hidden->Pixel(x, 127 - y), v);
            ASSERT_EQ(s.display.Hidden->Pixel(127 - x, 127 - y), v);
            ASSERT_EQ(s.display.Hidden->Pixel(64 + x, 64 + y), v);
        }
    }
    EXPECT_TRUE(lit);
    for (int i = 0; i < 160; ++i) {
        EXPECT_EQ(s.display.Hidden->Pixel(128, i), 0u);
        EXPECT_EQ(s.display.Hidden->Pixel(i, 128), 0u);
    }
}

TEST_F(Plasma_Test, DivisorFollowsFrameTimeAndZeroFrameTimeHoldsThePicture) {
    Soft_Display display(s, 64, 64, 32);
    Use_Frame_Settings(s, 16, 16, 0);
    s.Plasma_Settings.ignore_fps = 0;
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    const float start = s.plasma.First_Plasma.phase[0];

    s.display.frame_seconds = 0.0;
    ASSERT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);
    EXPECT_EQ(s.plasma.First_Plasma.phase[0], start);

    // 35 / 0.02 x 0.01 = 17.5: step 1.6 x 0.0425 / 17.5.
    s.display.frame_seconds = 0.02;
    ASSERT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);
    EXPECT_FLOAT_EQ(s.plasma.First_Plasma.phase[0], start + 0.0038857142f);

    // Per-frame steps: D is the speed itself.
    s.Plasma_Settings.ignore_fps = 1;
    const float before = s.plasma.First_Plasma.phase[1];
    ASSERT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);
    EXPECT_FLOAT_EQ(s.plasma.First_Plasma.phase[1], before - 1.6f * 0.05f / 35.0f);
}

TEST_F(Plasma_Test, UnknownColourModeRendersNothingButStillMirrors) {
    Soft_Display display(s, 64, 32, 32);
    Use_Frame_Settings(s, 16, 16, 1);
    s.Plasma_Settings.multi_colour = 2;
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) s.display.Hidden->Set_Pixel(x, y, static_cast<uint32_t>(y * 16 + x));
    ASSERT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);
    // (31, 0) and (26, 3) mirror (0, 0) and (5, 3).
    EXPECT_EQ(std::tuple(s.display.Hidden->Pixel(0, 0), s.display.Hidden->Pixel(5, 3), s.display.Hidden->Pixel(31, 0),
                         s.display.Hidden->Pixel(26, 3)),
              std::tuple(0u, 53u, 0u, 53u));
    EXPECT_EQ(s.display.Hidden->Pixel(16, 15), 255u);
}

TEST_F(Plasma_Test, TileIsPulledBackInsideTheScreenAndFailuresReportTheirLine) {
    Soft_Display display(s, 64, 32, 32);
    Use_Frame_Settings(s, 32, 16, 0);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    // x = 48 would end past 64: the tile goes to 32; y = 20 to 16.
    ASSERT_EQ(Draw_Plasma(s, s.display.Hidden, 48, 20), 1);
    bool lit = false;
    for (int y = 16; y < 32; ++y)
        for (int x = 32; x < 64; ++x) lit = lit || s.display.Hidden->Pixel(x, y) != 0;
    EXPECT_TRUE(lit);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(s.display.Hidden->Pixel(x, y), 0u);

    EXPECT_EQ(Draw_Plasma(s, nullptr, 0, 0), 0);
    EXPECT_TRUE(Box_Shown("Draw_Plasma() NULL OR LOST DEST"));

    Inject_DD_Fault(DD_Call::Lock, DDERR_SURFACEBUSY);
    EXPECT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 0);
    EXPECT_TRUE(Box_Shown("Draw_Plasma(): Process_Plasma_32 FAILED"));

    s.Plasma_Settings.multi_colour = 1;
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Second_Plasma), 1);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Third_Plasma), 1);
    Inject_DD_Fault(DD_Call::Lock, DDERR_SURFACEBUSY);
    EXPECT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 0);
    EXPECT_TRUE(Box_Shown("Draw_Plasma(): Multi_Colour_Plasma_32 FAILED"));

    s.Plasma_Settings.symmetry = 2;
    Inject_DD_Fault(DD_Call::Blt, DDERR_INVALIDRECT, 1000);
    Inject_DD_Fault(DD_Call::BltFast, DDERR_INVALIDRECT, 1000);
    EXPECT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 0);
    EXPECT_TRUE(Box_Shown("Draw_Plasma(): Clip_H_Blit FAILED"));
    Clear_DD_Faults();

    // A lost Hidden is restored with every surface and drawn as usual.
    s.display.Hidden->Mark_Lost();
    EXPECT_EQ(Draw_Plasma(s, s.display.Hidden, 0, 0), 1);
}

TEST_F(Plasma_Test, RandomColourChangeCountsDownAndAlwaysLightsAChannel) {
    for (const int bpp : {16, 32}) {
        Soft_Display display(s, 64, 32, bpp);
        s.plasma.colour_level = 0;
        s.plasma.Random_Colour_Countdown = 0.0;
        s.Plasma_Settings.random_colour_interval = 0.5;
        s.display.frame_seconds = 0.125;
        Seed_Random(s.app, 7);
        const int level = bpp == 16 ? 31 : 127;
        int changes = 0;
        for (int frame = 0; frame < 400; ++frame) {
            const uint32_t before = Random_State(s.app);
            ASSERT_EQ(Random_Colour_Change(s), 1);
            const bool changed = Random_State(s.app) != before;
            // Countdown 0 changes at once; then every fifth frame (0.5 - 4 x 0.125 = 0 is not below 0).
            ASSERT_EQ(changed, frame % 5 == 0) << frame;
            if (!changed) continue;
            ++changes;
            const PLASMA_SETTINGS& p = s.Plasma_Settings;
            ASSERT_TRUE(p.colour_blue || p.colour_green || p.colour_red);
            for (const int c : {p.colour_blue, p.colour_green, p.colour_red}) ASSERT_TRUE(c == 0 || c == level);
            for (const int f : {p.darken_red, p.darken_green, p.darken_blue, p.brighten}) ASSERT_TRUE(f == 0 || f == 1);
            EXPECT_EQ(s.plasma.plasma_dialog_values.colour_red, p.colour_red);
            EXPECT_EQ(s.plasma.plasma_dialog_values.colour_blue, p.colour_blue);
        }
        EXPECT_EQ(s.plasma.colour_level, level);
        EXPECT_EQ(changes, 80);
    }

    // At 8 bits one round runs, with a new palette; the colour bytes stay 0.
    Soft_Display display(s, 64, 32, 8);
    s.plasma.colour_level = 0;
    s.plasma.Random_Colour_Countdown = 0.0;
    Seed_Random(s.app, 1);
    ASSERT_EQ(Random_Colour_Change(s), 1);
    EXPECT_EQ(s.plasma.colour_level, 0);
    EXPECT_EQ(s.Plasma_Settings.colour_blue + s.Plasma_Settings.colour_green + s.Plasma_Settings.colour_red, 0);
    EXPECT_EQ(s.display.Palette->entries()[64 + 10].peGreen, 148);  // 41 % 11 = 8: scheme 8, 128 + 2k
    EXPECT_EQ(s.plasma.Random_Colour_Countdown, 0.5);

    // No interval: nothing is drawn.
    s.Plasma_Settings.random_colour_interval = 0.0;
    const uint32_t state = Random_State(s.app);
    ASSERT_EQ(Random_Colour_Change(s), 1);
    EXPECT_EQ(Random_State(s.app), state);
}

TEST_F(Plasma_Test, DialogValuesResetAndFollowTheRecord) {
    s.plasma.plasma_dialog_values = {};
    Reset_Plasma_Dialog_Values(s);
    const PLASMA_DIALOG_VALUES& v = s.plasma.plasma_dialog_values;
    EXPECT_EQ(std::tuple(v.speed, v.contrast, v.interference, v.ripple, v.complexity, v.colour_green, v.colour_logic),
              std::tuple(35.0, 4, 95, 54, 50, uint8_t{127}, 1));

    PLASMA_SETTINGS& p = s.Plasma_Settings;
    p.speed = 120.5;
    p.contrast = 17;
    p.interference = 0.7f;  // the slider's 7
    p.ripple = 5.4f;
    p.complexity = 999;
    p.colour_blue = 1;
    p.colour_green = 2;
    p.colour_red = 3;
    p.invert_colour_logic = 0;
    EXPECT_EQ(Copy_Plasma_Dialog_Values(s), 1);
    EXPECT_EQ(std::tuple(v.speed, v.contrast, v.interference, v.ripple, v.complexity, v.colour_blue, v.colour_red,
                         v.colour_logic),
              std::tuple(120.5, 17, 7, 54, 999, uint8_t{1}, uint8_t{3}, 0));
}

TEST_F(Plasma_Test, ShutdownReleasesEveryTableOnce) {
    s.display.Screen_Bpp = 32;
    Use_Frame_Settings(s, 16, 16, 0);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Third_Plasma), 1);
    Shutdown_Plasma(s);
    EXPECT_EQ(s.plasma.First_Plasma.table1, nullptr);
    EXPECT_EQ(s.plasma.Third_Plasma.table2, nullptr);
    Shutdown_Plasma(s);
}
