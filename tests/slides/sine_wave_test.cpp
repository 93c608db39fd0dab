#include "slides_support.h"

#include "slides/sine_wave.h"
#include "surface/display.h"

namespace {

class Sine_Test : public Slides_Test {
protected:
    void SetUp() override {
        Slides_Test::SetUp();
        Defaults();
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &slide_, 40, 50), 1);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 40; ++x) Poke(slide_, x, y, 0x00FFFFFFu);
    }
    void TearDown() override {
        Release_Surface(&slide_);
        Slides_Test::TearDown();
    }
    Surface slide_ = nullptr;
};

class Sine_Test_16 : public Sine_Test {
protected:
    int bpp() const override { return 16; }
};

class Sine_Test_8 : public Sine_Test {
protected:
    int bpp() const override { return 8; }
};

}  // namespace

TEST_F(Sine_Test, FlatCurveBandsAtThirtyTwoBits) {
    // Amplitude 0 and variance 0 (both remainders taken as 0): the curve lies on row 2h/5 = 20.
    s.Plasma_Settings.sine_amplitude = 0;
    s.Plasma_Settings.sine_variance = 0;
    s.Plasma_Settings.sine_phase_step = 0.01;
    s.Plasma_Settings.sine_band_width = 16;
    s.Plasma_Settings.sine_passes = 0;  // locks, unlocks, draws nothing
    ASSERT_EQ(Sine_Wave(s, slide_, 40, 50), 1);
    EXPECT_EQ(Peek(slide_, 5, 20), 0x00FFFFFFu);

    s.Plasma_Settings.sine_passes = 3;
    ASSERT_EQ(Sine_Wave(s, slide_, 40, 50), 1);
    const uint32_t tent[16] = {0, 16, 32, 48, 64, 80, 96, 112, 128, 112, 96, 80, 64, 48, 32, 16};
    for (int x : {0, 17, 39})
        for (int c = 0; c < 16; ++c) EXPECT_EQ(Peek(slide_, x, 20 + c), tent[c] << 16) << x << " " << c;
    EXPECT_EQ(Peek(slide_, 3, 19), 0x00FFFFFFu);
    EXPECT_EQ(Peek(slide_, 3, 36), 0x00FFFFFFu);

    // One-pixel bands are black; "Clear Screen" clears first.
    s.Plasma_Settings.sine_band_width = 1;
    s.Plasma_Settings.sine_clear = 0;
    ASSERT_EQ(Sine_Wave(s, slide_, 40, 50), 1);
    EXPECT_EQ(Peek(slide_, 7, 20), 0u);
    EXPECT_EQ(Peek(slide_, 7, 21), 16u << 16);  // left from the wider band

    // Multicolour: red replaces the pixel, green and blue replace their own bytes.
    s.Plasma_Settings.sine_band_width = 16;
    s.Plasma_Settings.sine_multicolour = 1;
    s.Plasma_Settings.sine_clear = 1;
    ASSERT_EQ(Sine_Wave(s, slide_, 40, 50), 1);
    EXPECT_EQ(Peek(slide_, 9, 28), (128u << 16) | (128u << 8) | 128u);
    EXPECT_EQ(Peek(slide_, 9, 19), 0u);
}

TEST_F(Sine_Test, BandsAreCutAtTheSurfaceEdges) {
    int pitch = 0;
    uint8_t* bits = Lock_Surface(s.display, slide_, &pitch);
    ASSERT_NE(bits, nullptr);
    uint32_t* pixels = reinterpret_cast<uint32_t*>(bits);
    Paint_Sine_Band_32(pixels, pitch / 4, 4, -5, 16, 50, 0);  // rows -5..10: 0..10 painted
    Paint_Sine_Band_32(pixels, pitch / 4, 6, 45, 16, 50, 0);  // rows 45..60: 45..49 painted
    Unlock_Surface(slide_, bits);
    // Row r of the first band is c = r + 5 rows from its top.
    EXPECT_EQ(Peek(slide_, 4, 0), 80u << 16);
    EXPECT_EQ(Peek(slide_, 4, 3), 128u << 16);
    EXPECT_EQ(Peek(slide_, 4, 10), 16u << 16);
    EXPECT_EQ(Peek(slide_, 4, 11), 0x00FFFFFFu);
    EXPECT_EQ(Peek(slide_, 6, 44), 0x00FFFFFFu);
    EXPECT_EQ(Peek(slide_, 6, 45), 0u);
    EXPECT_EQ(Peek(slide_, 6, 49), 64u << 16);
}

TEST_F(Sine_Test_16, FlatCurveBandsAtSixteenBits) {
    s.Plasma_Settings.sine_amplitude = 0;
    s.Plasma_Settings.sine_variance = 0;
    s.Plasma_Settings.sine_band_width = 16;  // scale 2.0: tops at v = 16
    s.Plasma_Settings.sine_passes = 1;
    ASSERT_EQ(Sine_Wave(s, slide_, 40, 50), 1);
    EXPECT_EQ(Peek(slide_, 2, 28), 16u * 2048u);
    EXPECT_EQ(Peek(slide_, 2, 21), 2u * 2048u);
    s.Plasma_Settings.sine_multicolour = 1;
    ASSERT_EQ(Sine_Wave(s, slide_, 40, 50), 1);
    EXPECT_EQ(Peek(slide_, 2, 28), 16u * 2048u | 16u * 32u | 16u);

    Inject_DD_Fault(DD_Call::Lock, DDERR_GENERIC, 1000);
    EXPECT_EQ(Sine_Wave(s, slide_, 40, 50), 0);
    Clear_DD_Faults();
    const std::vector<std::string> reports = Take_Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.back(), "Sine_Wave(): MULTI_Sine_Wave_16 FAILED");
    EXPECT_EQ(reports[reports.size() - 2], "Multi_Sine_Wave_16(): Lock Surface FAILED");
}

TEST_F(Sine_Test_8, FallbackSurvivesFlatSurfaces) {
    Surface flat = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &flat, 40, 2), 1);
    EXPECT_EQ(Sine_Wave(s, flat, 40, 2), 1);  // bound h / 3 = 0: amplitudes stay 0
    EXPECT_EQ(Sine_Wave(s, flat, 40, 2), 1);
    EXPECT_TRUE(Take_Reports().empty());
    Release_Surface(&flat);
}
