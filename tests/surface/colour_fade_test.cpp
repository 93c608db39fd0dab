// Colour-space conversions and fades.
#include <gtest/gtest.h>

#include <tuple>

#include "support/surface_fixture.h"
#include "surface/colour.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"
#include "support/fresh_session.h"

using Reports = std::vector<std::string>;

TEST(Colour, RgbToHsvEdgesAndTies) {
    const auto hsv = [](float r, float g, float b) {
        float h, s, v;
        RGB_To_HSV(r, g, b, &h, &s, &v);
        return std::tuple(h, s, v);
    };
    EXPECT_EQ(hsv(0, 0, 0), std::tuple(-1.0f, 0.0f, 0.0f));
    EXPECT_EQ(hsv(1, 0, 0), std::tuple(0.0f, 1.0f, 1.0f));
    EXPECT_EQ(hsv(0, 0, 1), std::tuple(240.0f, 1.0f, 1.0f));
    EXPECT_EQ(hsv(0, 1, 0), std::tuple(120.0f, 1.0f, 1.0f));
    EXPECT_EQ(hsv(1, 1, 0), std::tuple(60.0f, 1.0f, 1.0f));    // red wins a tie with green: (g - b) / delta = 1
    EXPECT_EQ(hsv(0, 1, 1), std::tuple(180.0f, 1.0f, 1.0f));   // green wins a tie with blue: 2 + 1 = 3
    EXPECT_EQ(hsv(1, 0, 0.5f), std::tuple(330.0f, 1.0f, 1.0f)); // -30 wraps once
    // Saturation is delta / max; (0.25 - 0.5) / 0.25 = -1 -> -60 -> 300.
    EXPECT_EQ(hsv(0.5f, 0.25f, 0.5f), std::tuple(300.0f, 0.5f, 0.5f));
    // A grey: no saturation, hue undefined (never a NaN).
    EXPECT_EQ(hsv(0.5f, 0.5f, 0.5f), std::tuple(-1.0f, 0.0f, 0.5f));
}

TEST(Colour, HsvToRgbSectors) {
    float r, g, b;
    HSV_To_RGB(&r, &g, &b, 200.0f, 0.0f, 0.25f);
    EXPECT_EQ(std::tuple(r, g, b), std::tuple(0.25f, 0.25f, 0.25f));
    // 30 degrees: i = 0, f = 0.5 -> (v, t, p) = (1, 0.5, 0) within the constant's rounding.
    HSV_To_RGB(&r, &g, &b, 30.0f, 1.0f, 1.0f);
    EXPECT_EQ(r, 1.0f);
    EXPECT_NEAR(g, 0.5f, 1e-5);
    EXPECT_EQ(b, 0.0f);
    // 200 degrees, s 0.5: hh = 3.33334, i = 3 -> (p, q, v) = (0.5, 1 - 0.5 * 0.33334, 1).
    HSV_To_RGB(&r, &g, &b, 200.0f, 0.5f, 1.0f);
    EXPECT_EQ(r, 0.5f);
    EXPECT_NEAR(g, 0.83333f, 1e-4);
    EXPECT_EQ(b, 1.0f);
    // 270 degrees: i = 4 -> (t, p, v) with f = 0.5.
    HSV_To_RGB(&r, &g, &b, 270.0f, 1.0f, 1.0f);
    EXPECT_NEAR(r, 0.5f, 1e-4);
    EXPECT_EQ(g, 0.0f);
    EXPECT_EQ(b, 1.0f);
    // 360 x 0.0166667 is just above 6: the last case (v, p, q), blue just below 1.
    HSV_To_RGB(&r, &g, &b, 360.0f, 1.0f, 1.0f);
    EXPECT_EQ(r, 1.0f);
    EXPECT_EQ(g, 0.0f);
    EXPECT_LT(b, 1.0f);
    EXPECT_GT(b, 0.999f);
    // A negative hue also takes the last case.
    HSV_To_RGB(&r, &g, &b, -30.0f, 1.0f, 1.0f);
    EXPECT_EQ(r, 1.0f);
    EXPECT_EQ(g, 0.0f);
}

TEST(Colour, HueToRgbAndHlsPacking) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    // m1 0, m2 252.
    EXPECT_EQ(Hue_To_RGB(0, 252, 21), 126);   // (252 * 21 + 21) / 42 = 126.5
    EXPECT_EQ(Hue_To_RGB(0, 252, 42), 252);
    EXPECT_EQ(Hue_To_RGB(0, 252, 125), 252);
    EXPECT_EQ(Hue_To_RGB(0, 252, 126), 252);  // (252 * 42 + 21) / 42
    EXPECT_EQ(Hue_To_RGB(0, 252, 150), 108);  // (252 * 18 + 21) / 42 = 108.5
    EXPECT_EQ(Hue_To_RGB(0, 252, 168), 0);
    EXPECT_EQ(Hue_To_RGB(0, 252, 252), 0);    // 252 is not reduced
    EXPECT_EQ(Hue_To_RGB(0, 252, 253), 6);    // 253 -> 1: (252 + 21) / 42 = 6.5
    EXPECT_EQ(Hue_To_RGB(0, 252, -84), 0);    // 65452 % 252 = 184
    EXPECT_EQ(Hue_To_RGB(0, 252, -210), 252); // 65326 % 252 = 58
    // Falling ramp truncates toward zero: 100 + (-90 * 21 + 21) / 42 = 100 - 44.
    EXPECT_EQ(Hue_To_RGB(100, 10, 21), 56);

    // A GDI colour with 8-bit channels at every depth: the drawing call reduces it.
    for (int bpp : {8, 15, 16, 24, 32}) {
        s.display.Screen_Bpp = bpp;
        EXPECT_EQ(HLS_To_RGB(0, 126, 252), 0x0000FFu) << bpp;
        EXPECT_EQ(HLS_To_RGB(123, 252, 0), 0xFFFFFFu) << bpp;
        EXPECT_EQ(HLS_To_RGB(84, 126, 252), 0x00FF00u) << bpp;
        // m2 = (63 * 378 + 126) / 252 = 95, m1 = 31: red 96, green 31, blue 31.
        EXPECT_EQ(HLS_To_RGB(0, 63, 126), 0x1F1F60u) << bpp;
        // m2 = 189 + 126 - 95 = 220, m1 = 158: red 223, green 160, blue 160.
        EXPECT_EQ(HLS_To_RGB(0, 189, 126), 0xA0A0DFu) << bpp;
        EXPECT_EQ(HLS_To_RGB(0, 100, 0), 0x656565u) << bpp;  // 100 * 255 / 252 = 101
    }
}

namespace {

class Fade_Test : public Surface_Test {
protected:
    Surface surf = nullptr;
    void Make(int bpp, bool is_565 = true) {
        Close_Surface_Display(s.display);
        Open(bpp, is_565);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &surf, 8, 4), 1);
    }
    void TearDown() override {
        Release_Surface(&surf);
        Surface_Test::TearDown();
    }
};

}  // namespace

TEST_F(Fade_Test, ThirtyTwoBitFades) {
    Make(32);
    Poke(surf, 0, 0, 0xFFFFFF);
    Poke(surf, 1, 0, 0xFF000000u);  // colour 0 with a top byte: left alone
    Poke(surf, 2, 0, 0x0000FF);     // the lowest byte is the first channel (hue 0)
    Poke(surf, 3, 0, 0x0033FF);     // 51 / 255 = 0.2 -> hue 12
    Poke(surf, 4, 0, 0xFF0000);     // highest byte only: hue 240
    Poke(surf, 5, 0, 0xC8C8C8);     // grey 200
    ASSERT_EQ(Fade(s.display, surf, 0, 0, 6, 1, 0, 0, 0), 1);
    EXPECT_EQ(Peek(surf, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Peek(surf, 1, 0), 0xFF000000u);
    EXPECT_EQ(Peek(surf, 2, 0), 0x0000FFu);
    EXPECT_EQ(Peek(surf, 5, 0), 0xC8C8C8u);

    // Hue 30 off hue 12 stops at 0 (pure first channel), it does not wrap to 342.
    // Hue 60 off 240 gives 180: (p, q, v) with q just under 1 -> 254 in the middle byte.
    ASSERT_EQ(Fade(s.display, surf, 3, 0, 1, 1, 0, 30, 0), 1);
    ASSERT_EQ(Fade(s.display, surf, 4, 0, 1, 1, 0, 60, 0), 1);
    EXPECT_EQ(Peek(surf, 3, 0), 0x0000FFu);
    EXPECT_EQ(Peek(surf, 4, 0), 0xFFFE00u);

    // Grey 200 (0.784) less light 100 (0.392) is 0.392 -> 100.
    ASSERT_EQ(Fade(s.display, surf, 5, 0, 1, 1, 100, 0, 0), 1);
    EXPECT_EQ(Peek(surf, 5, 0), 0x646464u);
    // Saturation 255 takes all colour out: the red pixel becomes grey at its value.
    ASSERT_EQ(Fade(s.display, surf, 2, 0, 1, 1, 0, 0, 255), 1);
    EXPECT_EQ(Peek(surf, 2, 0), 0xFFFFFFu);

    // Light 256 turns everything black; the rectangle bounds what changes.
    Poke(surf, 0, 1, 0x123456);
    ASSERT_EQ(Fade(s.display, surf, 0, 0, 6, 1, 256, 0, 0), 1);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Peek(surf, x, 0) & 0xFFFFFFu, 0u) << x;
    EXPECT_EQ(Peek(surf, 1, 0), 0xFF000000u);
    EXPECT_EQ(Peek(surf, 0, 1), 0x123456u);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Fade_Test, SixteenBitFadesHandTheHighFieldFirst) {
    Make(16, true);
    Poke(surf, 0, 0, 0xFFFF);  // white 31, 63, 31
    Poke(surf, 1, 0, 0x001F);  // low field only: third channel, hue 240
    Poke(surf, 2, 0, 0xF800);  // high field only: first channel, hue 0
    ASSERT_EQ(Fade(s.display, surf, 0, 0, 3, 1, 0, 0, 0), 1);
    EXPECT_EQ(Peek(surf, 0, 0), 0xFFFFu);
    EXPECT_EQ(Peek(surf, 1, 0), 0x001Fu);
    EXPECT_EQ(Peek(surf, 2, 0), 0xF800u);
    // Hue 60 off 240 -> 180: (0, q, 1) with q just under 1 -> middle 62.
    ASSERT_EQ(Fade(s.display, surf, 1, 0, 2, 1, 0, 60, 0), 1);
    EXPECT_EQ(Peek(surf, 1, 0), (62u << 5) | 31u);
    EXPECT_EQ(Peek(surf, 2, 0), 0xF800u);  // hue 0 stays 0
    ASSERT_EQ(Fade(s.display, surf, 0, 0, 3, 1, 256, 0, 0), 1);
    EXPECT_EQ(Peek(surf, 0, 0), 0u);

    // 5-5-5, also the 15-bit layout.
    for (int bpp : {16, 15}) {
        Release_Surface(&surf);
        Make(bpp, false);
        Poke(surf, 0, 0, 0x7FFF);
        Poke(surf, 1, 0, 0x001F);
        ASSERT_EQ(Fade(s.display, surf, 0, 0, 2, 1, 0, 0, 0), 1);
        EXPECT_EQ(Peek(surf, 0, 0), 0x7FFFu);
        // 180: (0, q, 1) with q x 31 = 30.9998 -> 30.
        ASSERT_EQ(Fade(s.display, surf, 1, 0, 1, 1, 0, 60, 0), 1);
        EXPECT_EQ(Peek(surf, 1, 0), (30u << 5) | 31u);
    }
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Fade_Test, OtherDepthsAndFailures) {
    for (int bpp : {8, 24}) {
        Make(bpp);
        Poke(surf, 0, 0, 0x7F);
        EXPECT_EQ(Fade(s.display, surf, 0, 0, 8, 4, 256, 0, 0), 1);
        EXPECT_EQ(Peek(surf, 0, 0), 0x7Fu);
        Release_Surface(&surf);
    }
    Make(32);
    EXPECT_EQ(Fade_32(s.display, nullptr, 0, 0, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(Fade_32(s.display, surf, 0, 0, 0, 1, 0, 0, 0), 0);
    EXPECT_EQ(Fade_16(s.display, surf, 0, 0, 1, -1, 0, 0, 0), 0);
    surf->Mark_Lost();
    EXPECT_EQ(Fade_32(s.display, surf, 0, 0, 1, 1, 0, 0, 0), 0);
    surf->Restore();
    EXPECT_TRUE(Take_Reports().empty());
    EXPECT_EQ(Fade(s.display, nullptr, 0, 0, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Fade(): Fade_32 FAILED"});
    Inject_DD_Fault(DD_Call::Lock, DDERR_SURFACEBUSY);
    EXPECT_EQ(Fade(s.display, surf, 0, 0, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Lock_Surface():DDERR_SURFACEBUSY", "Fade_32(): Lock Surface FAILED",
                                       "Fade(): Fade_32 FAILED"}));
    // A rectangle running off the surface is kept inside it.
    Poke(surf, 7, 3, 0xFFFFFF);
    EXPECT_EQ(Fade_32(s.display, surf, 6, 2, 100, 100, 256, 0, 0), 1);
    EXPECT_EQ(Peek(surf, 7, 3), 0u);
    EXPECT_EQ(Fade_32(s.display, surf, 20, 20, 4, 4, 256, 0, 0), 1);
    Inject_DD_Fault(DD_Call::GetSurfaceDesc, DDERR_GENERIC);
    EXPECT_EQ(Fade_32(s.display, surf, 0, 0, 4, 4, 256, 0, 0), 0);
    Release_Surface(&surf);

    Make(16);
    Inject_DD_Fault(DD_Call::Lock, DDERR_SURFACEBUSY);
    EXPECT_EQ(Fade(s.display, surf, 0, 0, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Lock_Surface():DDERR_SURFACEBUSY", "Fade_16(): Lock Surface FAILED",
                                       "Fade(): Fade_16 FAILED"}));
}
