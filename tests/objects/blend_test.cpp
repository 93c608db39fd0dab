// Hue and light blends of objects onto slides, and the hue turn that makes object frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "objects/object_files.h"
#include "support/surface_fixture.h"
#include "surface/colour.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"

using Reports = std::vector<std::string>;

namespace {

class Blend_Test : public Surface_Test {
protected:
    Surface src = nullptr, d = nullptr;
    void Make(int bpp, bool is_565 = true) {
        Open(bpp, is_565);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &src, 8, 8), 1);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &d, 8, 8), 1);
    }
    void TearDown() override {
        Release_Surface(&src);
        Release_Surface(&d);
        Surface_Test::TearDown();
    }
};

TEST_F(Blend_Test, ColourBlend32MixesBytesEightyTwentyAndFillsEmptyPlaces) {
    Make(32);
    Poke(src, 1, 1, 0x000000FF);
    Poke(d, 1, 1, 0x00FFFFFF);
    Poke(d, 0, 0, 0x00123456);                 // under an empty source pixel
    Poke(src, 2, 2, 0x00102030);                 // onto an empty place
    Poke(src, 3, 3, 0xFF000000);                 // empty: only the colour bits count
    Poke(d, 3, 3, 0x00445566);
    Poke(src, 4, 4, 0x00640000);
    Poke(d, 4, 4, 0x00000064);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 8, 8, 64, 48), 1);
    EXPECT_EQ(Peek(d, 1, 1), 0x00CCCCFFu);  // 255*0.8 = 204 above, 255*0.8 + 255*0.2 = 255 below
    EXPECT_EQ(Peek(d, 0, 0), 0x00123456u);
    EXPECT_EQ(Peek(d, 2, 2), 0x00102030u);
    EXPECT_EQ(Peek(d, 3, 3), 0x00445566u);
    // 100 * 0.2 = 20 in the high byte, 100 * 0.8 = 80 in the low byte.
    EXPECT_EQ(Peek(d, 4, 4), 0x00140050u);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Blend_Test, ColourBlend16AveragesInHsvInBothLayouts) {
    // High field pure (hue 0) over low field pure (hue 240): hue 120, the middle field full.
    Make(16, true);
    Poke(src, 0, 0, 0xF800);
    Poke(d, 0, 0, 0x001F);
    Poke(src, 1, 0, 0x1234);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 2, 1, 64, 48), 1);
    EXPECT_EQ(Peek(d, 0, 0), 0x07E0u);
    EXPECT_EQ(Peek(d, 1, 0), 0x1234u);
    TearDown();

    Make(15, false);
    Poke(src, 0, 0, 0x7C00);
    Poke(d, 0, 0, 0x001F);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 1, 1, 64, 48), 1);
    EXPECT_EQ(Peek(d, 0, 0), 0x03E0u);
}

TEST_F(Blend_Test, LightBlendAddsValuesKeepingTheDestinationHue) {
    Make(32);
    // (128, 64, 0) by byte: value 0.502, hue 30. Onto itself: value 1, hue 30 -> 255, 127, 0.
    Poke(d, 2, 2, 0x00004080);
    Poke(src, 5, 5, 0x00000080);  // lands on an empty place and leaves it empty at 32 bits
    EXPECT_EQ(Light_Blend_Blit(s.display, d, d, 2, 2, 2, 2, 1, 1, 64, 48), 1);
    EXPECT_EQ(Peek(d, 2, 2), 0x00007FFFu);
    EXPECT_EQ(Light_Blend_Blit(s.display, src, d, 5, 5, 5, 5, 1, 1, 64, 48), 1);
    EXPECT_EQ(Peek(d, 5, 5), 0u);
    TearDown();

    Make(16, true);
    Poke(d, 0, 0, 0x8000);  // high field 16: hue 0, value 0.516
    Poke(src, 1, 0, 0x001F);  // pure low field over the same red: the red's hue stays
    Poke(d, 1, 0, 0x8000);
    Poke(src, 2, 0, 0x0421);  // onto an empty place: taken as it is at 16 bits
    EXPECT_EQ(Light_Blend_Blit(s.display, d, d, 0, 0, 0, 0, 1, 1, 64, 48), 1);
    EXPECT_EQ(Peek(d, 0, 0), 0xF800u);
    EXPECT_EQ(Light_Blend_Blit_16(s.display, src, d, 1, 0, 1, 0, 2, 1, 64, 48), 1);
    EXPECT_EQ(Peek(d, 1, 0), 0xF800u);
    EXPECT_EQ(Peek(d, 2, 0), 0x0421u);
}

TEST_F(Blend_Test, ClippingMovesTheSourceOnlyForLeftAndTopCuts) {
    Make(32);
    for (int x = 0; x < 8; ++x) Poke(src, x, 0, 0x00000001u + static_cast<uint32_t>(x));
    // Left cut of 3: destination column 0 takes source column 3.
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, -3, 0, 6, 1, 64, 48), 1);
    EXPECT_EQ(Peek(d, 0, 0), 4u);
    EXPECT_EQ(Peek(d, 2, 0), 6u);
    EXPECT_EQ(Peek(d, 3, 0), 0u);

    // Right cut against a clip width of 5: columns 2..4 only, from source columns 0..2.
    Release_Surface(&d);
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &d, 8, 8), 1);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 2, 0, 6, 1, 5, 8), 1);
    EXPECT_EQ(Peek(d, 2, 0), 1u);
    EXPECT_EQ(Peek(d, 4, 0), 3u);
    EXPECT_EQ(Peek(d, 5, 0), 0u);

    // Top cut of 1: destination row 0 takes source row 1.
    Release_Surface(&d);
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &d, 8, 8), 1);
    Poke(src, 0, 1, 0x00ABCDEF);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 3, -1, 1, 2, 8, 8), 1);
    EXPECT_EQ(Peek(d, 3, 0), 0x00ABCDEFu);
    EXPECT_EQ(Peek(d, 3, 1), 0u);

    // Wholly outside: success, nothing drawn; a clip size below 1: failure.
    Release_Surface(&d);
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &d, 8, 8), 1);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 8, 0, 4, 4, 8, 8), 1);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, -4, 0, 4, 4, 8, 8), 1);
    EXPECT_EQ(Light_Blend_Blit(s.display, src, d, 0, 0, 0, 9, 4, 4, 8, 8), 1);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(Peek(d, x, 0), 0u);
    EXPECT_TRUE(Take_Reports().empty());
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 4, 4, 0, 8), 0);
    EXPECT_EQ(Light_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 4, 0, 8, 8), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Colour_Blend_Blit(): 32 bit blend FAILED", "Light_Blend_Blit(): 32 bit blend FAILED"}));
}

TEST_F(Blend_Test, ClaimedClipSizesNeverReachPastTheSurfaces) {
    Make(32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) Poke(src, x, y, 0x00010101);
    // The caller claims a clip area far larger than the 8 x 8 surfaces.
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 4, 4, 6, 6, 100, 100, 1000, 1000), 1);
    EXPECT_EQ(Peek(d, 7, 7), 0x00010101u);
    EXPECT_EQ(Peek(d, 5, 5), 0u);
}

TEST_F(Blend_Test, OtherDepthsDrawNothingAndSucceed) {
    for (int bpp : {24, 8}) {
        Make(bpp);
        Poke(src, 0, 0, 0x00000011);
        Poke(d, 0, 0, 0x00000022);
        EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 8, 8, 64, 48), 1);
        EXPECT_EQ(Light_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 8, 8, 64, 48), 1);
        EXPECT_EQ(Peek(d, 0, 0), 0x22u);
        EXPECT_TRUE(Take_Reports().empty());
        TearDown();
    }
}

TEST_F(Blend_Test, LocksOnceForOneSurfaceAndReportsLockFailures) {
    Make(32);
    int before = DD_Call_Count(DD_Call::Lock);
    EXPECT_EQ(Colour_Blend_Blit(s.display, d, d, 0, 0, 1, 1, 4, 4, 8, 8), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::Lock) - before, 1);
    before = DD_Call_Count(DD_Call::Lock);
    EXPECT_EQ(Colour_Blend_Blit(s.display, src, d, 0, 0, 1, 1, 4, 4, 8, 8), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::Lock) - before, 2);

    Inject_DD_Fault(DD_Call::Lock, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Light_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 4, 4, 8, 8), 0);
    Reports reports = Take_Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Light_Blend_Blit():Unable to Lock dest surface");
    EXPECT_EQ(reports.back(), "Light_Blend_Blit(): 32 bit blend FAILED");
    EXPECT_FALSE(d->is_locked());
    TearDown();

    Make(16);
    Inject_DD_Fault(DD_Call::Lock, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Light_Blend_Blit(s.display, src, d, 0, 0, 0, 0, 4, 4, 8, 8), 0);
    reports = Take_Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Light_Blend_Blit_16():Unable to Lock dest surface");
    EXPECT_EQ(reports.back(), "Light_Blend_Blit(): 16 bit blend FAILED");
}

// 32-bit display pixels carry red in the high byte, as GDI writes them.
constexpr uint32_t RED = 0x00FF0000, GREEN = 0x0000FF00;

TEST_F(Blend_Test, AlterHueTurnsByAmountOver256OfTheCircle) {
    Make(32);
    Poke(src, 0, 0, RED);
    Poke(src, 1, 0, GREEN);
    Poke(src, 2, 0, 0);           // black
    Poke(src, 3, 0, 0x00808080);  // grey has no hue to turn
    ASSERT_EQ(Alter_Hue(s.display, src, d, 0, 0, 0, 0, 4, 1, 128), 1);
    // Red + 180 degrees is cyan, the green channel truncated a little; green + 180 = 300, case 5:
    // (v, p, q), q just below 1.
    EXPECT_EQ(Peek(d, 0, 0) & 0xFF00FF, 0x0000FFu);
    EXPECT_GE(Channels_32(Peek(d, 0, 0)).g, 254);
    EXPECT_EQ(Peek(d, 1, 0) & 0xFFFF00, 0xFF0000u);
    EXPECT_GE(Channels_32(Peek(d, 1, 0)).b, 254);
    EXPECT_EQ(Peek(d, 2, 0), 0u);
    EXPECT_EQ(Peek(d, 3, 0), 0x00808080u);

    // A whole turn: red's hue becomes 360, which is not above 360, and comes back magenta;
    // green goes to 480, minus 360, and stays green.
    ASSERT_EQ(Alter_Hue(s.display, src, d, 0, 0, 0, 0, 2, 1, 256), 1);
    EXPECT_EQ(Peek(d, 0, 0) & 0xFFFF00, 0xFF0000u);
    EXPECT_GE(Channels_32(Peek(d, 0, 0)).b, 254);
    EXPECT_EQ(Peek(d, 1, 0), GREEN);

    // In place on one surface, with one device context.
    const int before = DD_Call_Count(DD_Call::GetDC);
    ASSERT_EQ(Alter_Hue(s.display, src, src, 1, 0, 1, 1, 1, 1, 64), 1);  // green + 90 = 210
    EXPECT_EQ(DD_Call_Count(DD_Call::GetDC) - before, 1);
    // 210 / 60 = 3.5: (p, q, v) = (0, 0.5, 1)
    EXPECT_EQ(Peek(src, 1, 1), 0x007FFFu);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Blend_Test, AlterHueTurnsEightBitObjectsThroughTheDisplayPalette) {
    Make(8);
    // The screen shows a colour cube; the object surfaces carry no palette.
    PALETTEENTRY cube[256];
    Show_Colour_Cube(s.display, cube);
    ASSERT_FALSE(HasFatalFailure());
    Poke(src, 0, 0, 180);  // pure red: 5 x 36
    // The 32 frames of an object: a turn of 8 / 256 of the circle each.
    for (int k = 0; k < 32; ++k) ASSERT_EQ(Alter_Hue(s.display, src, d, 0, 0, k % 8, k / 8, 1, 1, 8 * k), 1) << k;
    std::set<uint32_t> indices;
    for (int k = 0; k < 32; ++k) {
        const uint32_t index = Peek(d, k % 8, k / 8);
        indices.insert(index);
        const PALETTEENTRY& e = cube[index];
        float h, sat, v;
        RGB_To_HSV(e.peRed / 255.0f, e.peGreen / 255.0f, e.peBlue / 255.0f, &h, &sat, &v);
        EXPECT_EQ(sat, 1.0f) << k;
        // The cube holds a pure hue every 12 degrees.
        const float off = std::fabs(h - k * 11.25f);
        EXPECT_LE(std::min(off, 360.0f - off), 7.0f) << k << " hue " << h;
    }
    EXPECT_GE(indices.size(), 28u);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Blend_Test, AlterHueRefusesAndReportsItsFailures) {
    Make(32);
    EXPECT_EQ(Alter_Hue(s.display, nullptr, d, 0, 0, 0, 0, 1, 1, 8), 0);
    EXPECT_EQ(Alter_Hue(s.display, src, d, 0, 0, 0, 0, 0, 1, 8), 0);
    EXPECT_TRUE(Take_Reports().empty());

    // Column by column: the third column is the first outside the source.
    EXPECT_EQ(Alter_Hue(s.display, src, d, 6, 0, 0, 0, 4, 1, 8), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Alter Hue() Unable to GetPixel at (2,0)\non surface of w = 4 h = 1"});
    EXPECT_EQ(Alter_Hue(s.display, src, d, 0, 0, 7, 6, 2, 2, 8), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Alter Hue() Unable to SetPixel at (1,0)\non surface of w = 2 h = 2"});
    EXPECT_FALSE(src->has_dc());
    EXPECT_FALSE(d->has_dc());

    Inject_DD_Fault(DD_Call::GetDC, DDERR_GENERIC);
    EXPECT_EQ(Alter_Hue(s.display, src, d, 0, 0, 0, 0, 1, 1, 8), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Alter Hue() Unable to Acquire dest device context from surface"});
    d->Mark_Lost();
    EXPECT_EQ(Alter_Hue(s.display, src, d, 0, 0, 0, 0, 1, 1, 8), 0);
    EXPECT_TRUE(Take_Reports().empty());
}

}  // namespace
