// The renderers: phase steps, read origins, byte sums, folds, packing, replication.
#include <functional>
#include <cmath>
#include <limits>

#include "plasma_fixture.h"
#include "session/session.h"

namespace {

// Colour settings shared by the renderer tests; sway 0 keeps the phases where they are set.
void Use_Colours(Session& s, int logic, int blue, int green, int red, int darken_blue, int darken_green, int darken_red,
                 int brighten) {
    s.Plasma_Settings.invert_colour_logic = logic;
    s.Plasma_Settings.colour_blue = static_cast<uint8_t>(blue);
    s.Plasma_Settings.colour_green = static_cast<uint8_t>(green);
    s.Plasma_Settings.colour_red = static_cast<uint8_t>(red);
    s.Plasma_Settings.darken_blue = darken_blue;
    s.Plasma_Settings.darken_green = darken_green;
    s.Plasma_Settings.darken_red = darken_red;
    s.Plasma_Settings.brighten = brighten;
    s.Plasma_Settings.sway = 0.0f;
}

// Table 1 zero, table 2 holding its column number. With phase 0 = 1 (origin 0 at
// x = 8 + trunc(8 sin 1) = 14) and every other phase 0 (origins 2 and 3 at x = W = 16),
// sample i of any row is (14 + i) + 2 (16 + i) = 46 + 3i.
void Column_Tables(Plasma_Context& c, int table1 = 0) {
    Fill_Context(c, 16, 4, Constant(table1), [](int x, int) { return x; });
    c.phase[0] = 1.0f;
}

// Every pixel of the 16 x 4 tile at (x0, y0) holds expected[sample]; the ring around it is 0.
void Expect_Tile(Surface s, int x0, int y0, const uint32_t (&expected)[4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 16; ++c) ASSERT_EQ(s->Pixel(x0 + c, y0 + r), expected[c / 4]) << c << "," << r;
    for (int r = -1; r <= 4; ++r) {
        EXPECT_EQ(s->Pixel(x0 - 1, y0 + r), 0u);
        EXPECT_EQ(s->Pixel(x0 + 16, y0 + r), 0u);
    }
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(s->Pixel(x0 + c, y0 - 1), 0u);
        EXPECT_EQ(s->Pixel(x0 + c, y0 + 4), 0u);
    }
}

}  // namespace

TEST_F(Plasma_Test, PhasesStepBySwayOverTheDivisorAndStayFloats) {
    Soft_Display display(s, 64, 16, 32);
    Fill_Context(s.plasma.First_Plasma, 16, 4, Constant(0), Constant(0));
    s.plasma.First_Plasma.phase[0] = 0.5f;
    s.Plasma_Settings.sway = 2.0f;
    ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, 4.0, 0, 0), 1);
    // Steps 2 x c / 4: 0.02125, 0.025, 0.075, 0.05, 0.1, 0.0375, 0.0875, 0.0125.
    EXPECT_EQ(s.plasma.First_Plasma.phase[0], static_cast<float>(0.5 + 0.02125));
    EXPECT_EQ(s.plasma.First_Plasma.phase[1], static_cast<float>(-0.025));
    EXPECT_EQ(s.plasma.First_Plasma.phase[4], static_cast<float>(0.1));
    EXPECT_EQ(s.plasma.First_Plasma.phase[7], static_cast<float>(-0.0125));

    // A ten times larger divisor gives a ten times smaller step.
    s.plasma.First_Plasma.phase[2] = 0.0f;
    ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, 40.0, 0, 0), 1);
    EXPECT_FLOAT_EQ(s.plasma.First_Plasma.phase[2], 0.0075f);

    // An infinite divisor (a zero frame time) holds the phases.
    const float held = s.plasma.First_Plasma.phase[3];
    ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, std::numeric_limits<double>::infinity(), 0, 0), 1);
    EXPECT_EQ(s.plasma.First_Plasma.phase[3], held);

    // A corrupt divisor makes the phases NaN; the reads stay inside the tables.
    ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, std::numeric_limits<double>::quiet_NaN(), 0, 0), 1);
}

TEST_F(Plasma_Test, ThirtyTwoBitPixelsCombineDarkenBrightenAndFold) {
    Soft_Display display(s, 64, 16, 32);
    Column_Tables(s.plasma.First_Plasma);
    // AND logic: red = v & 15, green = v >> 1, blue = v; then << 1. v = 46, 49, 52, 55.
    Use_Colours(s, 1, 127, 127, 0x0F, 0, 1, 0, 1);
    ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 2, 1), 1);
    Expect_Tile(s.display.Hidden, 2, 1, {0x1C2E5C, ((1u << 16) | (24u << 8) | 49u) << 1, ((4u << 16) | (26u << 8) | 52u) << 1,
                               0xE366E});

    // Table 1 at 100: v = 146 + 3i folds to 109, 106, ...; OR 16 gives 125, 122.
    Clear(s.display, s.display.Hidden);
    Column_Tables(s.plasma.First_Plasma, 100);
    Use_Colours(s, 0, 16, 16, 16, 0, 0, 0, 0);
    ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 0, 0), 1);
    EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0x7D7D7Du);
    EXPECT_EQ(s.display.Hidden->Pixel(7, 3), 0x7A7A7Au);

    // Grey plasma: AND 127, brighten: every channel 2v.
    Clear(s.display, s.display.Hidden);
    Column_Tables(s.plasma.First_Plasma);
    Use_Colours(s, 1, 127, 127, 127, 0, 0, 0, 1);
    ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 0, 0), 1);
    EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0x5C5C5Cu);    // 2 x 46 = 92
    EXPECT_EQ(s.display.Hidden->Pixel(15, 0), 0x6E6E6Eu);   // 2 x 55 = 110
}

TEST_F(Plasma_Test, TwentyFourBitPixelsAreTheBrightenedWordsLowThreeBytes) {
    Soft_Display display(s, 64, 16, 24);
    Column_Tables(s.plasma.First_Plasma);
    // OR logic: blue 46 | 128 = 174, green 46, red 46 | 192 = 238; << 1 pushes bits across bytes.
    Use_Colours(s, 0, 0x80, 0, 0xC0, 0, 0, 0, 1);
    ASSERT_EQ(Process_Plasma_24(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 3, 2), 1);
    EXPECT_EQ(s.display.Hidden->Pixel(3, 2), 0xDC5D5Cu);
    EXPECT_EQ(s.display.Hidden->Pixel(6, 5), 0xDC5D5Cu);
    EXPECT_EQ(s.display.Hidden->Pixel(2, 2), 0u);
    EXPECT_EQ(s.display.Hidden->Pixel(19, 2), 0u);
    // Sample 3: v = 55: blue 183, green 55, red 247.
    EXPECT_EQ(s.display.Hidden->Pixel(18, 2), ((((247u << 16) | (55u << 8) | 183u) << 1) & 0xFFFFFF));
}

TEST_F(Plasma_Test, SixteenBitSingleColourPacksGreenAtBitSix) {
    Soft_Display display(s, 64, 16, 16);
    Column_Tables(s.plasma.First_Plasma);
    // v = 46, 49, 52, 55 all have bit 5 set: folded 209, 206, 203, 200. Colours 127 become 31.
    Use_Colours(s, 1, 127, 127, 127, 0, 0, 0, 1);
    ASSERT_EQ(Process_Plasma_16(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 0, 0), 1);
    // t = 209 & 31 = 17: 17 << 11 | 17 << 6 | 17; brighten does not apply.
    EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 35921u);
    EXPECT_EQ(s.display.Hidden->Pixel(3, 3), 35921u);
    EXPECT_EQ(s.display.Hidden->Pixel(12, 1), 16904u);  // t = 200 & 31 = 8
    EXPECT_EQ(s.display.Hidden->Pixel(16, 0), 0u);

    // Darkened red: 17 >> 1 = 8.
    Use_Colours(s, 1, 127, 127, 127, 0, 0, 1, 0);
    ASSERT_EQ(Process_Plasma_16(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 0, 0), 1);
    EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 17489u);

    // OR logic with colour 0 keeps all eight bits of 209, which spill into the next fields.
    Use_Colours(s, 0, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(Process_Plasma_16(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 0, 0), 1);
    EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0xBCD1u);
}

TEST_F(Plasma_Test, MultiColourSixteenBitAveragesEachChannelForItsLayout) {
    // Blue: 10 + 3 x 12 = 46, / 4 = 11. Green and red: 250 x 4 = 1000.
    auto contexts = [&] {
        Fill_Context(s.plasma.First_Plasma, 16, 4, Constant(10), Constant(12));
        Fill_Context(s.plasma.Second_Plasma, 16, 4, Constant(250), Constant(250));
        Fill_Context(s.plasma.Third_Plasma, 16, 4, Constant(250), Constant(250));
    };
    {
        Soft_Display display(s, 64, 16, 16);
        contexts();
        Use_Colours(s, 1, 127, 127, 127, 0, 0, 0, 0);
        ASSERT_EQ(Multi_Colour_Plasma_16(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 0, 0), 1);
        // 5-6-5: green 1000 / 2 = 500 -> 244, bit 6 folds to 11, AND 63; red 250 folds to 5.
        EXPECT_EQ(s.display.Hidden->Pixel(0, 0), (5u << 11) | (11u << 5) | 11u);
        EXPECT_EQ(s.display.Hidden->Pixel(15, 3), 10603u);
    }
    {
        Soft_Display display(s, 64, 16, 15);
        contexts();
        Use_Colours(s, 1, 127, 127, 127, 0, 0, 0, 0);
        ASSERT_EQ(Multi_Colour_Plasma_16(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 0, 0), 1);
        // 5-5-5: green 1000 / 4 = 250 folds to 5 like red.
        EXPECT_EQ(s.display.Hidden->Pixel(15, 3), 5291u);
    }
}

TEST_F(Plasma_Test, MultiColourWideDepthsTakeOneContextPerChannel) {
    auto contexts = [&] {
        Fill_Context(s.plasma.First_Plasma, 16, 4, Constant(10), Constant(12));  // blue 46
        Fill_Context(s.plasma.Second_Plasma, 16, 4, Constant(100), Constant(0));  // green 100
        Fill_Context(s.plasma.Third_Plasma, 16, 4, Constant(200), Constant(0));   // red 200 folds to 55
    };
    {
        Soft_Display display(s, 64, 16, 32);
        contexts();
        Use_Colours(s, 1, 127, 127, 127, 0, 0, 0, 0);
        ASSERT_EQ(Multi_Colour_Plasma_32(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 0, 0), 1);
        EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0x37642Eu);
        EXPECT_EQ(s.display.Hidden->Pixel(15, 3), 0x37642Eu);
    }
    {
        Soft_Display display(s, 64, 16, 24);
        contexts();
        Use_Colours(s, 1, 127, 127, 127, 0, 0, 0, 1);
        ASSERT_EQ(Multi_Colour_Plasma_24(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 0, 0), 1);
        EXPECT_EQ(s.display.Hidden->Pixel(9, 2), 0x6EC85Cu);
    }
}

TEST_F(Plasma_Test, EightBitSumsCarryWithinGroupsOfFour) {
    Soft_Display display(s, 64, 16, 8);
    // 0x90 + 3 x 0x30 = 0x120 per byte: the carry reaches the next pixel of the group only.
    Fill_Context(s.plasma.First_Plasma, 6, 2, Constant(0x90), Constant(0x30));
    ASSERT_EQ(Process_Plasma_8(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 1, 1), 1);
    const uint32_t expected[6] = {0x40, 0x42, 0x42, 0x42, 0x40, 0x42};  // (0x20 or 0x21) << 1
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 6; ++c) EXPECT_EQ(s.display.Hidden->Pixel(1 + c, 1 + r), expected[c]) << c;
    EXPECT_EQ(s.display.Hidden->Pixel(7, 1), 0u);
    EXPECT_EQ(s.display.Hidden->Pixel(1, 3), 0u);

    // 0xC0 has bit 7: inverted to 0x3F, doubled to 0x7E.
    Fill_Context(s.plasma.First_Plasma, 8, 2, Constant(0xC0), Constant(0));
    ASSERT_EQ(Process_Plasma_8(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 0, 0), 1);
    EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0x7Eu);
    EXPECT_EQ(s.display.Hidden->Pixel(7, 1), 0x7Eu);
}

TEST_F(Plasma_Test, LockFailureLeavesTheSurfaceAndReportsTheRenderersMessage) {
    Soft_Display display(s, 64, 16, 32);
    s.Plasma_Settings.sway = 1.0f;
    struct Case {
        std::function<int()> render;
        const char* message;
    };
    const Case cases[] = {
        {[&] { return Process_Plasma_8(s, &s.plasma.First_Plasma, s.display.Hidden, 1, 0, 0); },
         "Process Plasma():\n\nUnable to Lock destination surface"},
        {[&] { return Process_Plasma_16(s, &s.plasma.First_Plasma, s.display.Hidden, 1, 0, 0); },
         "Process Plasma():\n\nUnable to Lock destination surface"},
        {[&] { return Process_Plasma_24(s, &s.plasma.First_Plasma, s.display.Hidden, 1, 0, 0); },
         "Process Plasma_24():\n\nUnable to Lock destination surface"},
        {[&] { return Process_Plasma_32(s, &s.plasma.First_Plasma, s.display.Hidden, 1, 0, 0); },
         "Process Plasma_32():\n\nUnable to Lock destination surface"},
        {[&] { return Multi_Colour_Plasma_16(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 0, 0); },
         "Process Plasma():\n\nUnable to Lock destination surface"},
        {[&] { return Multi_Colour_Plasma_24(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 0, 0); },
         "Multi Plasma_24():\n\nUnable to Lock destination surface"},
        {[&] { return Multi_Colour_Plasma_32(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 0, 0); },
         "Process Plasma():\n\nUnable to Lock destination surface"},
    };
    for (const Case& c : cases) {
        Fill_Context(s.plasma.First_Plasma, 16, 4, Constant(60), Constant(60));
        Fill_Context(s.plasma.Second_Plasma, 16, 4, Constant(60), Constant(60));
        Fill_Context(s.plasma.Third_Plasma, 16, 4, Constant(60), Constant(60));
        Headless().boxes.clear();
        Inject_DD_Fault(DD_Call::Lock, DDERR_SURFACEBUSY);
        EXPECT_EQ(c.render(), 0) << c.message;
        EXPECT_TRUE(Box_Shown(c.message)) << c.message;
        EXPECT_FLOAT_EQ(s.plasma.First_Plasma.phase[0], 0.0425f);  // moved before the lock
        EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0u);
    }
}

TEST_F(Plasma_Test, TileHangingOverTheSurfaceEdgeIsClipped) {
    {
        Soft_Display display(s, 64, 16, 32);
        Surface small = nullptr;
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &small, 12, 3), 1);
        Column_Tables(s.plasma.First_Plasma);
        Use_Colours(s, 1, 127, 127, 127, 0, 0, 0, 0);
        // Tile columns 2..13 and rows 1..3 land on the surface.
        ASSERT_EQ(Process_Plasma_32(s, &s.plasma.First_Plasma, small, 1.0, -2, -1), 1);
        EXPECT_EQ(small->Pixel(0, 0), 0x2E2E2Eu);   // sample 0: 46
        EXPECT_EQ(small->Pixel(2, 0), 0x313131u);   // sample 1: 49
        EXPECT_EQ(small->Pixel(11, 2), 0x373737u);  // sample 3: 55
        Release_Surface(&small);
    }
    {
        // The 8-bit path, wider than the surface on the right.
        Soft_Display display(s, 64, 16, 8);
        Surface small = nullptr;
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &small, 12, 3), 1);
        Fill_Context(s.plasma.First_Plasma, 16, 4, Constant(0x90), Constant(0x30));
        ASSERT_EQ(Process_Plasma_8(s, &s.plasma.First_Plasma, small, 1.0, 4, 0), 1);
        EXPECT_EQ(small->Pixel(4, 0), 0x40u);
        EXPECT_EQ(small->Pixel(11, 2), 0x42u);
        Release_Surface(&small);
    }
}
