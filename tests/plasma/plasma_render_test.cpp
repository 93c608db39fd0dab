// The renderers: phase steps, lock failures and clipping (the pixels: plasma_wide_rows_test).
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
