// Rows long enough for the block-at-a-time path and a remainder: random tables, phases and
// colour settings at every depth, each pixel compared with the plasma worked out here from
// its formulas.
#include <random>

#include "plasma_fixture.h"
#include "session/session.h"
#include "support/plasma_oracle.h"

namespace {

using oracle::Multi_16;
using oracle::Single_16;
using oracle::Wide;

// The oracle reading the program's own tables at the program's phases.
oracle::Reads Reference(const Plasma_Context& c) { return oracle::Reads(c.table1, c.table2, c.width, c.height, c.phase); }

class Wide_Rows_Test : public Plasma_Test {
protected:
    std::mt19937 random{20261206};

    int Any(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

    void Random_Context(Plasma_Context& c, int W, int H) {
        Fill_Context(c, W, H, [this](int, int) { return Any(0, 255); }, [this](int, int) { return Any(0, 255); });
        for (float& p : c.phase) p = static_cast<float>(Any(-3000, 3000)) / 1000.0f;
    }

    void Random_Colours() {
        static const int darkens[] = {0, 0, 1, 2, 3, 5, 7, 8, 9, 15, 16, 31, 32, 33, -1, 1000};
        PLASMA_SETTINGS& p = s.Plasma_Settings;
        p.invert_colour_logic = Any(0, 2);
        p.colour_blue = static_cast<uint8_t>(Any(0, 255));
        p.colour_green = static_cast<uint8_t>(Any(0, 255));
        p.colour_red = static_cast<uint8_t>(Any(0, 255));
        p.darken_blue = darkens[Any(0, 15)];
        p.darken_green = darkens[Any(0, 15)];
        p.darken_red = darkens[Any(0, 15)];
        p.brighten = Any(0, 2);
        p.sway = 0.0f;
    }

    // Every pixel of the tile at (x0, y0) against `expected`, with a ring of untouched pixels.
    template <typename F>
    void Expect_Tile(int x0, int y0, int width, int height, F expected, const char* what) {
        int wrong = 0;
        for (int r = 0; r < height; ++r)
            for (int x = 0; x < width; ++x)
                if (s.display.Hidden->Pixel(x0 + x, y0 + r) != expected(x, r) && ++wrong <= 3)
                    ADD_FAILURE() << what << " pixel " << x << "," << r << ": " << std::hex << s.display.Hidden->Pixel(x0 + x, y0 + r)
                                  << " expected " << expected(x, r);
        EXPECT_EQ(wrong, 0) << what;
        for (int r = 0; r < height; ++r) EXPECT_EQ(s.display.Hidden->Pixel(x0 + width, y0 + r), 0u) << what;
        for (int x = 0; x < width; ++x) EXPECT_EQ(s.display.Hidden->Pixel(x0 + x, y0 + height), 0u) << what;
    }
};

constexpr int W = 4 * 37;  // two blocks of sixteen samples and five more
constexpr int H = 6;

}  // namespace

TEST_F(Wide_Rows_Test, SingleColourRowsMatchTheFormulasAtEveryDepth) {
    for (int bpp : {32, 24, 16, 15}) {
        for (int round = 0; round < 12; ++round) {
            Soft_Display display(s, W + 16, H + 4, bpp);
            Random_Context(s.plasma.First_Plasma, W, H);
            Random_Colours();
            const oracle::Reads ref = Reference(s.plasma.First_Plasma);
            const std::string what = std::to_string(bpp) + " bits, round " + std::to_string(round);
            if (bpp >= 24) {
                ASSERT_EQ((bpp == 32 ? Process_Plasma_32 : Process_Plasma_24)(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 4, 1), 1);
                const uint32_t mask = bpp == 32 ? 0xFFFFFFFFu : 0xFFFFFFu;
                Expect_Tile(4, 1, W, H, [&](int x, int r) { const unsigned sum = ref.sum(x / 4, r); return Wide(s.Plasma_Settings, sum, sum, sum) & mask; },
                            what.c_str());
            } else {
                ASSERT_EQ(Process_Plasma_16(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 4, 1), 1);
                Expect_Tile(4, 1, W, H, [&](int x, int r) { return Single_16(s.Plasma_Settings, ref.sum(x / 4, r)); }, what.c_str());
            }
        }
    }
}

TEST_F(Wide_Rows_Test, MultiColourRowsMatchTheFormulasAtEveryDepth) {
    for (int bpp : {32, 24, 16, 15}) {
        for (int round = 0; round < 12; ++round) {
            Soft_Display display(s, W + 16, H + 4, bpp, true, bpp == 16);
            Random_Context(s.plasma.First_Plasma, W, H);
            Random_Context(s.plasma.Second_Plasma, W, H);
            Random_Context(s.plasma.Third_Plasma, W, H);
            Random_Colours();
            const oracle::Reads blue = Reference(s.plasma.First_Plasma), green = Reference(s.plasma.Second_Plasma),
                               red = Reference(s.plasma.Third_Plasma);
            const std::string what = std::to_string(bpp) + " bits, round " + std::to_string(round);
            auto render = bpp == 32 ? Multi_Colour_Plasma_32 : bpp == 24 ? Multi_Colour_Plasma_24 : Multi_Colour_Plasma_16;
            ASSERT_EQ(render(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, s.display.Hidden, 1, 1, 1, 8, 2), 1);
            const uint32_t mask = bpp == 24 ? 0xFFFFFFu : 0xFFFFFFFFu;
            Expect_Tile(8, 2, W, H,
                        [&](int x, int r) {
                            const int k = x / 4;
                            const PLASMA_SETTINGS& p = s.Plasma_Settings;
                            if (bpp >= 24) return Wide(p, blue.sum(k, r), green.sum(k, r), red.sum(k, r)) & mask;
                            return Multi_16(p, blue.sum(k, r), green.sum(k, r), red.sum(k, r), bpp == 16);
                        },
                        what.c_str());
        }
    }
}

TEST_F(Wide_Rows_Test, EightBitRowsCarryWithinGroupsOfFourOverWholeBlocks) {
    // 150 pixels: nine blocks of sixteen and a short last group of two.
    for (int width : {150, 64, 19}) {
        for (int round = 0; round < 8; ++round) {
            Soft_Display display(s, width + 8, H + 4, 8);
            Random_Context(s.plasma.First_Plasma, width, H);
            const oracle::Reads ref = Reference(s.plasma.First_Plasma);
            ASSERT_EQ(Process_Plasma_8(s, &s.plasma.First_Plasma, s.display.Hidden, 1.0, 3, 2), 1);
            Expect_Tile(3, 2, width, H, [&](int x, int r) { return ref.eight(x, r, width); },
                        ("width " + std::to_string(width)).c_str());
        }
    }
}
