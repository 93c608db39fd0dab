// A damaged preset's fade amounts reach the fade as they are: negative ones raise a
// channel past the int range, which must give a defined result.
#include <gtest/gtest.h>

#include <climits>

#include "support/surface_fixture.h"
#include "surface/pixel_ops.h"
#include "session/session.h"
#include "support/fresh_session.h"

namespace {

TEST(Hostile_Fade, NegativeAmountsGiveDefinedChannels) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    for (int bpp : {16, 32}) {
        Open_Surface_Display(s.display, 64, 48, bpp);
        Surface surf = nullptr;
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &surf, 4, 1), 1);
        const uint32_t white = bpp == 32 ? 0xFFFFFFu : 0xFFFFu;
        for (int x = 0; x < 3; ++x) Poke(surf, x, 0, white);
        // White: v = 1, s = 0. Light -255 gives v = 2: 2 x 255 = 510, low byte 254 (at 16
        // bits 2 x 31 = 62 -> 30 in five bits, 2 x 63 = 126 -> 62 in six).
        ASSERT_EQ(Fade(s.display, surf, 0, 0, 1, 1, -255, 0, 0), 1);
        // Light INT_MIN: INT_MIN / 255 in float is -8421505, so v = 8421506. At 255 that is
        // past the int range (the processor's 0x80000000, low byte 0); at 16 bits it is not:
        // 8421506 x 31 = 261066686, & 31 = 30; 8421506 x 63 = 530554878, & 63 = 62.
        ASSERT_EQ(Fade(s.display, surf, 1, 0, 1, 1, INT_MIN, 0, 0), 1);
        // Hue and saturation at INT_MIN raise both far past their ranges; the sanitizer builds
        // check that the conversions back stay defined.
        ASSERT_EQ(Fade(s.display, surf, 2, 0, 1, 1, 0, INT_MIN, INT_MIN), 1);
        if (bpp == 32) {
            EXPECT_EQ(Peek(surf, 0, 0), 0xFEFEFEu);
            EXPECT_EQ(Peek(surf, 1, 0), 0x000000u);
        } else {
            EXPECT_EQ(Peek(surf, 0, 0), (30u << 11) | (62u << 5) | 30u);
            EXPECT_EQ(Peek(surf, 1, 0), (30u << 11) | (62u << 5) | 30u);
        }
        Release_Surface(&surf);
        Close_Surface_Display(s.display);
    }
}

}  // namespace
