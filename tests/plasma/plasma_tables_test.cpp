// Plasma tables, starting phases and the 8-bit palettes.
#include "common/random.h"
#include "plasma_fixture.h"
#include "session/session.h"

namespace {

uint8_t At(const uint8_t* table, int W, int x, int y) { return table[y * 2 * W + x]; }

void Expect_Mirrored(const uint8_t* table, int W, int H) {
    for (int y = 0; y < 2 * H; ++y) {
        for (int x = 0; x < 2 * W; ++x) {
            const uint8_t v = At(table, W, x, y);
            ASSERT_EQ(v, At(table, W, 2 * W - 1 - x, y)) << x << "," << y;
            ASSERT_EQ(v, At(table, W, x, 2 * H - 1 - y)) << x << "," << y;
            ASSERT_EQ(v, At(table, W, 2 * W - 1 - x, 2 * H - 1 - y)) << x << "," << y;
        }
    }
}

void Use_Table_Settings(Session& s, int W, int H, int contrast, float ripple, float interference, int complexity) {
    s.Plasma_Settings.plasma_width = W;
    s.Plasma_Settings.plasma_height = H;
    s.Plasma_Settings.contrast = contrast;
    s.Plasma_Settings.ripple = ripple;
    s.Plasma_Settings.interference = interference;
    s.Plasma_Settings.complexity = complexity;
}

}  // namespace

TEST_F(Plasma_Test, SmallestTablesHoldTheRippleAndSineValuesMirroredIntoFourQuadrants) {
    s.display.Screen_Bpp = 32;
    Use_Table_Settings(s, 16, 16, 1, 2.0f, 2.0f, 100);
    Seed_Random(s.app, 1);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    const Plasma_Context& c = s.plasma.First_Plasma;
    EXPECT_EQ(c.width, 16);
    EXPECT_EQ(c.height, 16);
    EXPECT_EQ(c.contrast, 1);

    // [0][0]: d = sqrt(16² + 16² + 16) - 4 = 18.978...; x2 = 37.96; sin(9.489) = -0.0643.
    EXPECT_EQ(At(c.table1, 16, 0, 0), 37);
    EXPECT_EQ(At(c.table2, 16, 0, 0), 93);
    // [0][15]: d = sqrt(1 + 256 + 16) - 4 = 12.52; [15][15]: d = sqrt(18) - 4 = 0.2426.
    EXPECT_EQ(At(c.table1, 16, 15, 0), 25);
    EXPECT_EQ(At(c.table1, 16, 15, 15), 0);
    EXPECT_EQ(At(c.table2, 16, 15, 15), 112);
    // The centre lies between columns 15 and 16.
    for (int y = 0; y < 32; ++y) {
        EXPECT_EQ(At(c.table1, 16, 15, y), At(c.table1, 16, 16, y));
        EXPECT_EQ(At(c.table2, 16, 15, y), At(c.table2, 16, 16, y));
    }
    Expect_Mirrored(c.table1, 16, 16);
    Expect_Mirrored(c.table2, 16, 16);

    // Seed 1 gives 41, 18467, 6334, 26500, ...: each / 16384, odd phases negated.
    EXPECT_FLOAT_EQ(c.phase[0], 41 / 16384.0f);
    EXPECT_FLOAT_EQ(c.phase[1], -18467 / 16384.0f);
    EXPECT_FLOAT_EQ(c.phase[2], 6334 / 16384.0f);
    EXPECT_FLOAT_EQ(c.phase[3], -26500 / 16384.0f);
    EXPECT_FLOAT_EQ(c.phase[7], -29358 / 16384.0f);
}

TEST_F(Plasma_Test, LargeRippleWrapsAndHighContrastFlattensTheSineTable) {
    s.display.Screen_Bpp = 16;
    Use_Table_Settings(s, 16, 16, 1, 100.0f, 2.0f, 100);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    // 18.978 x 100 = 1897 -> low byte 105; 0.2426 x 100 = 24.
    EXPECT_EQ(At(s.plasma.First_Plasma.table1, 16, 0, 0), 105);
    EXPECT_EQ(At(s.plasma.First_Plasma.table1, 16, 15, 15), 24);
    Shutdown_Plasma(s);

    // (sin + 1) x 50 / 60 stays below 1.67: only 0 and 1.
    Use_Table_Settings(s, 32, 16, 60, 5.4f, 9.5f, 50);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Second_Plasma), 1);
    bool seen[2] = {false, false};
    for (int i = 0; i < 64 * 32; ++i) {
        ASSERT_LE(s.plasma.Second_Plasma.table2[i], 1);
        seen[s.plasma.Second_Plasma.table2[i]] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1]);
    Expect_Mirrored(s.plasma.Second_Plasma.table1, 32, 16);
}

TEST_F(Plasma_Test, UnsupportedDepthFailsAfterDrawingThePhases) {
    s.display.Screen_Bpp = 12;
    Use_Table_Settings(s, 16, 16, 1, 2.0f, 2.0f, 100);
    Seed_Random(s.app, 1);
    EXPECT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 0);
    EXPECT_EQ(s.plasma.First_Plasma.table1, nullptr);
    EXPECT_EQ(s.plasma.First_Plasma.table2, nullptr);
    EXPECT_FLOAT_EQ(s.plasma.First_Plasma.phase[0], 41 / 16384.0f);
    EXPECT_EQ(Random(s.app), 26962);  // the ninth number: exactly eight were drawn
    EXPECT_TRUE(Box_Shown("Initialise_Plasma():\n\nUnsupported bpp 12"));
}

TEST_F(Plasma_Test, CorruptSizeIsRefusedAsAnAllocationFailure) {
    s.display.Screen_Bpp = 32;
    Use_Table_Settings(s, -16, 16, 1, 2.0f, 2.0f, 100);
    EXPECT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 0);
    EXPECT_EQ(s.plasma.First_Plasma.table1, nullptr);
    EXPECT_EQ(s.plasma.First_Plasma.table2, nullptr);
    EXPECT_TRUE(Box_Shown("Setup_Plasma():\n\nUnable to allocate memory for plasma table 1"));
}

TEST_F(Plasma_Test, EverySetupAtEightBitsInstallsANewPalette) {
    Soft_Display display(s, 64, 64, 8);
    ASSERT_TRUE(display.ok());
    ASSERT_NE(s.display.Palette, nullptr);
    Use_Table_Settings(s, 16, 16, 3, 5.4f, 9.5f, 50);
    Seed_Random(s.app, 1);
    // Draws 9, 18 and 27 pick the schemes: 26962 % 11 = 1, 11942 % 11 = 7, 17421 % 11 = 8.
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    EXPECT_EQ(s.display.Palette->entries()[64 + 5].peBlue, 64 + 5);  // scheme 1: (0, k, 64 + k)
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Second_Plasma), 1);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Third_Plasma), 1);

    // Scheme 8: (0, 2k, 2k), (0, 128 + 2k, 128 + 2k), (0, 252 - 4k, 252 - 4k), (126 - 2k, 0, 0).
    const PALETTEENTRY* e = s.display.Palette->entries();
    auto expect = [&](int i, int r, int g, int b) {
        EXPECT_EQ(e[i].peRed, r) << i;
        EXPECT_EQ(e[i].peGreen, g) << i;
        EXPECT_EQ(e[i].peBlue, b) << i;
        EXPECT_EQ(e[i].peFlags, 0) << i;
    };
    expect(0, 0, 0, 0);
    expect(10, 0, 20, 20);
    expect(64 + 5, 0, 138, 138);
    expect(128 + 10, 0, 212, 212);
    expect(192 + 3, 120, 0, 0);
    expect(255, 0, 0, 0);
}

TEST_F(Plasma_Test, ShiftPaletteSchemesAndNoRepeatOfTheLastRandomOne) {
    Soft_Display display(s, 64, 64, 8);
    ASSERT_NE(s.display.Palette, nullptr);
    const PALETTEENTRY* e = s.display.Palette->entries();

    // Seed 5: 54 % 11 = 10 hands over to a random shift scheme, 28693 % 20 = 13: (3,2,1), (1,2,3).
    s.plasma.Last_Palette_Scheme = -1;
    Seed_Random(s.app, 5);
    Random_Plasma_Palette(s);
    EXPECT_EQ(s.plasma.Last_Palette_Scheme, 13);
    EXPECT_EQ(e[100].peRed, 12);
    EXPECT_EQ(e[100].peGreen, 25);
    EXPECT_EQ(e[100].peBlue, 50);
    EXPECT_EQ(e[200].peRed, 100);
    EXPECT_EQ(e[200].peBlue, 25);
    EXPECT_EQ(e[200].peFlags, 4);

    // Out of range falls back to scheme 0: (2,0,0) then (2,1,0).
    Shift_Palette(s, 25);
    EXPECT_EQ(s.plasma.Last_Palette_Scheme, 0);
    EXPECT_EQ(e[100].peRed, 25);
    EXPECT_EQ(e[100].peGreen, 0);
    EXPECT_EQ(e[200].peRed, 50);
    EXPECT_EQ(e[200].peGreen, 100);
    EXPECT_EQ(e[200].peBlue, 0);
    EXPECT_EQ(e[7].peFlags, 4);

    // Seed 1 first gives 41 % 20 = 1, the scheme just used, so 18467 % 20 = 7 is taken.
    Shift_Palette(s, 1);
    Seed_Random(s.app, 1);
    Shift_Palette(s, -1);
    EXPECT_EQ(s.plasma.Last_Palette_Scheme, 7);
    EXPECT_EQ(e[100].peBlue, 25);  // scheme 7: (0,0,2) then (0,1,2)
    EXPECT_EQ(e[100].peRed, 0);
    EXPECT_EQ(e[200].peGreen, 100);
    EXPECT_EQ(e[200].peBlue, 50);

    for (int i = 0; i < 300; ++i) {
        const int before = s.plasma.Last_Palette_Scheme;
        Shift_Palette(s, -1);
        ASSERT_NE(s.plasma.Last_Palette_Scheme, before);
        ASSERT_GE(s.plasma.Last_Palette_Scheme, 0);
        ASSERT_LE(s.plasma.Last_Palette_Scheme, 19);
    }
}

TEST_F(Plasma_Test, PaletteGeneratorsDoNothingWithoutAPalette) {
    s.display.Palette = nullptr;
    Seed_Random(s.app, 5);
    const uint32_t state = Random_State(s.app);
    Random_Plasma_Palette(s);
    Shift_Palette(s, -1);
    EXPECT_EQ(Random_State(s.app), state);
}
