// Plasma tables, starting phases and the 8-bit palettes.
#include "common/random.h"
#include "plasma_fixture.h"
#include "session/session.h"
#include "support/plasma_oracle.h"

namespace {

void Use_Table_Settings(Session& s, int W, int H, int contrast, float ripple, float interference, int complexity) {
    s.Plasma_Settings.plasma_width = W;
    s.Plasma_Settings.plasma_height = H;
    s.Plasma_Settings.contrast = contrast;
    s.Plasma_Settings.ripple = ripple;
    s.Plasma_Settings.interference = interference;
    s.Plasma_Settings.complexity = complexity;
}

}  // namespace

TEST_F(Plasma_Test, TablesAndStartingPhasesMatchTheFormulas) {
    struct Case {
        int bpp, W, H, contrast;
        float ripple, interference;
        int complexity;
    };
    // Small and odd sizes, a ripple that wraps the byte, a contrast that flattens the sine.
    const Case cases[] = {{32, 16, 16, 1, 2.0f, 2.0f, 100}, {16, 16, 16, 1, 100.0f, 2.0f, 100},
                          {15, 32, 16, 60, 5.4f, 9.5f, 50}, {24, 5, 3, 4, 5.4f, 9.5f, 50}};
    for (const Case& c : cases) {
        s.display.Screen_Bpp = c.bpp;
        Use_Table_Settings(s, c.W, c.H, c.contrast, c.ripple, c.interference, c.complexity);
        Seed_Random(s.app, 1);
        ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
        oracle::Generator random{1};
        oracle::Plasma expected;
        expected.Build(c.W, c.H, c.contrast, c.ripple, c.interference, c.complexity, random);
        const Plasma_Context& got = s.plasma.First_Plasma;
        EXPECT_EQ(got.width, c.W);
        EXPECT_EQ(got.contrast, c.contrast);
        const size_t n = static_cast<size_t>(4 * c.W * c.H);
        EXPECT_EQ(std::vector<uint8_t>(got.table1, got.table1 + n), expected.table1) << c.W << "x" << c.H;
        EXPECT_EQ(std::vector<uint8_t>(got.table2, got.table2 + n), expected.table2) << c.W << "x" << c.H;
        for (int k = 0; k < 8; ++k) EXPECT_EQ(got.phase[k], expected.phase[k]) << k;
        Shutdown_Plasma(s);
    }
    // Hand-worked anchors for the oracle: d(0,0) = sqrt(16² + 16² + 16) - 4 = 18.978.
    oracle::Generator random{1};
    oracle::Plasma p;
    p.Build(16, 16, 1, 2.0f, 2.0f, 100, random);
    EXPECT_EQ(p.table1[0], 37);
    EXPECT_EQ(p.table2[0], 93);
    EXPECT_EQ(p.table1[15], 25);
    EXPECT_EQ(p.table1[15 * 32 + 15], 0);
    EXPECT_EQ(p.table1[15 * 32 + 15], p.table1[16 * 32 + 16]);
    EXPECT_FLOAT_EQ(p.phase[1], -18467 / 16384.0f);
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

TEST_F(Plasma_Test, EveryPaletteSchemeMatchesTheFormulas) {
    Soft_Display display(s, 64, 64, 8);
    ASSERT_NE(s.display.Palette, nullptr);
    const PALETTEENTRY* e = s.display.Palette->entries();
    auto expect_palette = [&](uint32_t (*scheme)(int, int), int n, uint8_t flags) {
        for (int i = 0; i < 256; ++i) {
            const uint32_t rgb = scheme(n, i);
            ASSERT_EQ(e[i].peRed, rgb >> 16) << n << " " << i;
            ASSERT_EQ(e[i].peGreen, (rgb >> 8) & 0xFF) << n << " " << i;
            ASSERT_EQ(e[i].peBlue, rgb & 0xFF) << n << " " << i;
            ASSERT_EQ(e[i].peFlags, flags) << n << " " << i;
        }
    };
    // Each quarter scheme through a seed whose first draw picks it.
    for (int scheme = 0; scheme < 10; ++scheme) {
        uint32_t seed = 1;
        while (oracle::Generator{seed}.Next() % 11 != scheme) ++seed;
        Seed_Random(s.app, seed);
        Random_Plasma_Palette(s);
        expect_palette(oracle::Quarter_Scheme, scheme, 0);
    }
    for (int scheme = 0; scheme < 20; ++scheme) {
        Shift_Palette(s, scheme);
        EXPECT_EQ(s.plasma.Last_Palette_Scheme, scheme);
        expect_palette(oracle::Shift_Scheme, scheme, 4);
    }
    // Out of range falls back to scheme 0.
    Shift_Palette(s, 25);
    EXPECT_EQ(s.plasma.Last_Palette_Scheme, 0);
    expect_palette(oracle::Shift_Scheme, 0, 4);

    // Every set-up at eight bits installs a new palette: draws 9, 18 and 27 of seed 1 pick
    // schemes 1, 7 and 8.
    Use_Table_Settings(s, 16, 16, 3, 5.4f, 9.5f, 50);
    Seed_Random(s.app, 1);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.First_Plasma), 1);
    expect_palette(oracle::Quarter_Scheme, 1, 0);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Second_Plasma), 1);
    ASSERT_EQ(Setup_Plasma(s, &s.plasma.Third_Plasma), 1);
    expect_palette(oracle::Quarter_Scheme, 8, 0);

    // Seed 5: 54 % 11 = 10 hands over to a random shift scheme, 28693 % 20 = 13.
    s.plasma.Last_Palette_Scheme = -1;
    Seed_Random(s.app, 5);
    Random_Plasma_Palette(s);
    EXPECT_EQ(s.plasma.Last_Palette_Scheme, 13);
    expect_palette(oracle::Shift_Scheme, 13, 4);

    // A random shift scheme never repeats the last one: seed 1 first gives 41 % 20 = 1.
    Shift_Palette(s, 1);
    Seed_Random(s.app, 1);
    Shift_Palette(s, -1);
    EXPECT_EQ(s.plasma.Last_Palette_Scheme, 7);
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
