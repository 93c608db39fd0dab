// Rotation boxes, the locked-memory rotation per depth and the device-context path at 24 bits.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "support/surface_fixture.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"

using Reports = std::vector<std::string>;

namespace {

class Rotate_Test : public Surface_Test {
protected:
    Surface source = nullptr, dest = nullptr;
    void Make(int bpp, int sw, int sh, int dw, int dh, uint32_t fill = 0x77) {
        Close_Surface_Display(s.display);
        Open(bpp);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &source, sw, sh), 1);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &dest, dw, dh), 1);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) Poke(source, x, y, Value(x, y));
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) Poke(dest, x, y, fill);
    }
    static uint32_t Value(int x, int y) { return static_cast<uint32_t>(1 + x + 8 * y); }
    void Drop() {
        Release_Surface(&source);
        Release_Surface(&dest);
    }
    void TearDown() override {
        Drop();
        Surface_Test::TearDown();
    }
};

}  // namespace

TEST(Rotation, BoxSizes) {
    // Even sizes grow by one, odd ones do not. 3 x 3 nearly a quarter turn: 2 (cos + sin) + 1 =
    // 3.0016; 8 x 4: x spans 2 (4 cos + 2 sin) = 4.006, y 2 (4 sin + 2 cos) = 8.003.
    const struct {
        int w, h;
        float angle;
        int box_w, box_h;
    } cases[] = {{4, 6, 0.0f, 5, 7}, {5, 7, 0.0f, 5, 7},   {64, 64, 1.57f, 65, 65},
                 {4, 4, 1.57f, 5, 5}, {3, 3, 1.57f, 3, 3}, {8, 4, 1.57f, 5, 9}};
    for (const auto& c : cases) {
        int w = 0, h = 0;
        EXPECT_EQ(Get_Rotated_Dimensions(c.w, c.h, &w, &h, c.angle), 1);
        EXPECT_EQ(std::pair(w, h), std::pair(c.box_w, c.box_h)) << c.w << "x" << c.h << " at " << c.angle;
    }
}

TEST_F(Rotate_Test, LockedRotationPerDepth) {
    for (int bpp : {8, 15, 16, 32}) {
        SCOPED_TRACE(bpp);
        // Angle 0, odd 5 x 3 from (1, 1) to (2, 1): an exact copy; around it the destination is untouched.
        Make(bpp, 8, 6, 10, 6);
        int w = 0, h = 0;
        ASSERT_EQ(Rotate_Surface_Ex(s.display, source, dest, 5, 3, &w, &h, 0.0f, 1, 1, 2, 1), 1);
        EXPECT_EQ(std::pair(w, h), std::pair(5, 3));
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 5; ++i) EXPECT_EQ(Peek(dest, 2 + i, 1 + j), Value(1 + i, 1 + j)) << i << "," << j;
        EXPECT_EQ(Peek(dest, 1, 1), 0x77u);
        EXPECT_EQ(Peek(dest, 7, 1), 0x77u);
        EXPECT_EQ(Peek(dest, 2, 4), 0x77u);
        EXPECT_FALSE(source->is_locked());
        EXPECT_FALSE(dest->is_locked());

        // Angle 0, even 4 x 2: a 5 x 3 box whose last column and row fall outside and become 0.
        Drop();
        Make(bpp, 4, 2, 6, 4);
        ASSERT_EQ(Rotate_Surface_Ex(s.display, source, dest, 4, 2, &w, &h, 0.0f, 0, 0, 0, 0), 1);
        EXPECT_EQ(std::pair(w, h), std::pair(5, 3));
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(Peek(dest, i, j), (i < 4 && j < 2) ? Value(i, j) : 0u) << i << "," << j;
        EXPECT_EQ(Peek(dest, 5, 0), 0x77u);

        // 1.57 on 4 x 4 (cos 0.000796, sin 0.9999997; grid from -2.0016): points well clear of
        // the truncation edges, worked out by hand.
        Drop();
        Make(bpp, 4, 4, 5, 5);
        ASSERT_EQ(Rotate_Surface_Ex(s.display, source, dest, 4, 4, &w, &h, 1.57f, 0, 0, 0, 0), 1);
        EXPECT_EQ(std::pair(w, h), std::pair(5, 5));
        EXPECT_EQ(Peek(dest, 2, 2), Value(2, 2));
        EXPECT_EQ(Peek(dest, 1, 2), Value(2, 3));  // u = 2, v = trunc(1.0016) + 2
        EXPECT_EQ(Peek(dest, 2, 1), Value(1, 2));  // u = trunc(-1.0016) + 2, v = 2
        EXPECT_EQ(Peek(dest, 2, 0), Value(0, 2));
        EXPECT_EQ(Peek(dest, 3, 2), Value(2, 2));  // truncation toward zero repeats the centre
        EXPECT_EQ(Peek(dest, 0, 2), 0u);           // v = 4: outside
        Drop();
    }
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Rotate_Test, LockFailuresAndOversizedBoxes) {
    Make(32, 3, 3, 4, 4);
    int w = 0, h = 0;
    Inject_DD_Fault(DD_Call::Lock, DDERR_INVALIDOBJECT);
    EXPECT_EQ(Rotate_Surface_Ex(s.display, source, dest, 3, 3, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(),
              (Reports{"Lock_Surface():DDERR_INVALIDOBJECT", "Rotate_Surface_Ex():Unable to Lock dest surface"}));
    EXPECT_EQ(w, 3);  // the sizes are written before the locks

    // The source cannot be locked: the destination is unlocked again.
    uint8_t* held = Lock_Surface(s.display, source);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(Rotate_Surface_Ex(s.display, source, dest, 3, 3, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Lock_Surface():DDERR_SURFACEBUSY",
                                       "Rotate_Surface_Ex():Unable to Lock source image surface"}));
    EXPECT_FALSE(dest->is_locked());
    Unlock_Surface(source, held);

    // One surface as both: its second lock is refused.
    EXPECT_EQ(Rotate_Surface_Ex(s.display, dest, dest, 3, 3, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_FALSE(dest->is_locked());
    Take_Reports();

    // A box larger than the destination, or a source origin off the source, stays inside the surfaces.
    Drop();
    Make(32, 3, 3, 2, 2);
    EXPECT_EQ(Rotate_Surface_Ex(s.display, source, dest, 3, 3, &w, &h, 0.0f, 0, 0, 0, 0), 1);
    EXPECT_EQ(Peek(dest, 1, 1), Value(1, 1));
    EXPECT_EQ(Rotate_Surface_Ex(s.display, source, dest, 3, 3, &w, &h, 0.0f, 10, 0, -1, 0), 1);
    EXPECT_EQ(Peek(dest, 0, 0), 0u);
    EXPECT_EQ(Peek(dest, 1, 1), 0u);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Rotate_Test, TwentyFourBitsGoThroughDeviceContexts) {
    Make(24, 3, 3, 5, 5);
    int w = 0, h = 0;
    ASSERT_EQ(Rotate_Surface_Ex(s.display, source, dest, 3, 3, &w, &h, 0.0f, 0, 0, 1, 1), 1);
    EXPECT_EQ(std::pair(w, h), std::pair(3, 3));
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Peek(dest, 1 + i, 1 + j), Value(i, j));
    EXPECT_EQ(Peek(dest, 0, 0), 0x77u);
    EXPECT_FALSE(source->has_dc());
    EXPECT_FALSE(dest->has_dc());

    // Even source: the outside column and row are set black.
    Drop();
    Make(24, 2, 2, 3, 3);
    ASSERT_EQ(Rotate_Surface_Ex(s.display, source, dest, 2, 2, &w, &h, 0.0f, 0, 0, 0, 0), 1);
    EXPECT_EQ(Peek(dest, 1, 1), Value(1, 1));
    EXPECT_EQ(Peek(dest, 2, 0), 0u);
    EXPECT_EQ(Peek(dest, 0, 2), 0u);
    EXPECT_TRUE(Take_Reports().empty());

    Inject_DD_Fault(DD_Call::GetDC, DDERR_GENERIC);
    EXPECT_EQ(Rotate_Surface_Ex(s.display, source, dest, 2, 2, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Rotate_Generic_Surface_Ex(): source->GetDC FAILED",
                                       "Rotate_Surface_Ex(): Rotate_Generic_Surface_Ex FAILED"}));
    HDC taken = nullptr;
    ASSERT_EQ(dest->GetDC(&taken), DD_OK);
    EXPECT_EQ(Rotate_Generic_Surface_Ex(s.app, source, dest, 2, 2, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Rotate_Generic_Surface_Ex(): dest->GetDC FAILED"});
    EXPECT_FALSE(source->has_dc());
    dest->ReleaseDC(taken);

    // Writes past the destination: the first failure is reported and ends the walk.
    Drop();
    Make(24, 2, 2, 2, 2);
    EXPECT_EQ(Rotate_Generic_Surface_Ex(s.app, source, dest, 2, 2, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Rotate_Generic_Surface_Ex(): SetPixel 0 @ (2,0) on a (3x3) surface FAILED"});
    Drop();
    Make(24, 3, 3, 2, 2);
    Poke(source, 2, 0, 0x030201);  // GDI colour RGB(3, 2, 1) = 0x010203
    EXPECT_EQ(Rotate_Generic_Surface_Ex(s.app, source, dest, 3, 3, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Rotate_Generic_Surface_Ex(): SetPixel 66051 @ (2,&d) FAILED"});
    // Reads past the source.
    EXPECT_EQ(Rotate_Generic_Surface_Ex(s.app, source, dest, 3, 3, &w, &h, 0.0f, 10, 0, 0, 0), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Rotate_Generic_Surface_Ex(): GetPixel @ (10,&d) FAILED"});
    EXPECT_FALSE(source->has_dc());
    EXPECT_FALSE(dest->has_dc());
}
