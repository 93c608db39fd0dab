#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "common/random.h"
#include "kaleidoscope/kaleidoscope.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "session/run_mode.h"
#include "support/soft_display.h"
#include "surface/display.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

bool Box_Shown(const std::string& text) {
    for (const std::string& line : Headless().boxes)
        if (line == "[Error] " + text) return true;
    return false;
}

void Prepare(Session& s, int granularity) {
    s.app.Saver_Mode = CONFIGURE;
    Default_Plasma_Settings(s);
    s.Plasma_Settings.granularity = granularity;
    s.display.Wait_For_Vsync = 0;
}

// Share of the pixels off the diagonal of the K x K square that find their mirror image
// (y, x) within two pixels.
double Diagonal_Mirror_Share(Display_Context& d, int k) {
    int checked = 0, matched = 0;
    for (int y = 4; y < k - 4; ++y) {
        for (int x = 4; x < k - 4; ++x) {
            if (x - y < 4 && y - x < 4) continue;
            ++checked;
            const uint32_t value = d.Hidden->Pixel(x, y);
            bool found = false;
            for (int b = -2; b <= 2 && !found; ++b)
                for (int a = -2; a <= 2 && !found; ++a) found = d.Hidden->Pixel(y + a, x + b) == value;
            matched += found ? 1 : 0;
        }
    }
    return static_cast<double>(matched) / checked;
}

// Draws one kaleidoscope frame over a busy plasma (many ripple bands), so that a pixel's
// neighbourhood says where it came from.
void Draw_Busy_Frame(Session& s, int bpp) {
    Soft_Display display(s, 640, 480, bpp);
    ASSERT_TRUE(display.ok());
    Prepare(s, 160);
    s.Plasma_Settings.ripple = 97.0f;
    s.Plasma_Settings.contrast = 1;
    s.Plasma_Settings.multi_colour = 0;
    Seed_Random(s.app, 7);
    ASSERT_EQ(Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 1.0f, 0), 1);
    ASSERT_EQ(Draw_Kaleidoscope(s, s.display.Hidden, s.display.Client_Width, s.display.Client_Height), 1);
    EXPECT_EQ(s.kaleidoscope.kaleidoscope_rebuild_pending, 0);
    const int k = 160;

    EXPECT_GT(Diagonal_Mirror_Share(s.display, k), 0.97);
    // Then mirrored right and down into the 2K x 2K pattern, exactly.
    for (int y = 0; y < k; y += 7)
        for (int x = 0; x < k; x += 5) {
            ASSERT_EQ(s.display.Hidden->Pixel(2 * k - 1 - x, y), s.display.Hidden->Pixel(x, y)) << x << "," << y;
            ASSERT_EQ(s.display.Hidden->Pixel(x, 2 * k - 1 - y), s.display.Hidden->Pixel(x, y)) << x << "," << y;
        }
    Shutdown_Kaleidoscope(s);
}

}  // namespace

using Kaleidoscope = Fresh_Test;

TEST_F(Kaleidoscope, SegmentSizeAndSurfaceSizes) {
    Soft_Display display(s, 800, 600, 32);
    ASSERT_TRUE(display.ok());

    Prepare(s, 500);  // min(500, 18 * 16)
    EXPECT_EQ(Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height), 1);
    EXPECT_EQ(s.kaleidoscope.Kaleidoscope_Size, 288);
    const Kaleidoscope_State& k = s.kaleidoscope;
    EXPECT_EQ(std::pair(k.Triangle_Stamp->width(), k.Triangle_Stamp->height()), std::pair(288, 288));
    EXPECT_EQ(std::pair(k.Scope_Rotated_90->width(), k.Scope_Rotated_90->height()), std::pair(289, 289));
    EXPECT_EQ(std::pair(s.Plasma_Settings.plasma_width, s.Plasma_Settings.plasma_height), std::pair(288, 288));
    EXPECT_EQ(std::tuple(k.kaleidoscope_active, k.kaleidoscope_rebuild_pending, s.Plasma_Settings.kaleidoscope_on),
              std::tuple(1, 1, 1));

    // A second set-up without a shutdown is refused.
    EXPECT_EQ(Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height), 0);
    EXPECT_TRUE(Box_Shown("Setup_Kaleidoscope(): Scope_Rotated_90 && Triangle_Stamp should be NULL"));

    Shutdown_Kaleidoscope(s);
    EXPECT_EQ(s.kaleidoscope.kaleidoscope_active, 0);
    EXPECT_EQ(s.kaleidoscope.Triangle_Stamp, nullptr);
    s.Plasma_Settings.granularity = 60;  // below the 80-pixel floor
    EXPECT_EQ(Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height), 1);
    EXPECT_EQ(s.kaleidoscope.Kaleidoscope_Size, 80);
    EXPECT_EQ(std::pair(k.Scope_Rotated_90->width(), k.Scope_Rotated_90->height()), std::pair(81, 81));
    Shutdown_Kaleidoscope(s);
}

TEST_F(Kaleidoscope, StampHalvesAndKeysByDepth) {
    struct Case {
        int bpp;
        bool is_565;
        uint32_t key;
    };
    for (const Case& c : {Case{32, true, 0x00FFFFFF}, Case{24, true, 0x00FFFFFF}, Case{16, true, 0x00FFFFFF},
                          Case{16, false, 0x7FFF7FFF}, Case{15, false, 0x7FFF7FFF}, Case{8, false, 0}}) {
        SCOPED_TRACE(c.bpp);
        Soft_Display display(s, 640, 480, c.bpp, true, c.is_565);
        ASSERT_TRUE(display.ok());
        ASSERT_EQ(Create_Triangle_Stamp(s, 100, 100), 1);
        EXPECT_EQ(s.kaleidoscope.Triangle_Stamp->color_key(), c.key);
        // Lower-left half white, upper-right black.
        EXPECT_NE(s.kaleidoscope.Triangle_Stamp->Pixel(2, 90), 0u);
        EXPECT_NE(s.kaleidoscope.Triangle_Stamp->Pixel(50, 52), 0u);
        EXPECT_EQ(s.kaleidoscope.Triangle_Stamp->Pixel(90, 2), 0u);
        EXPECT_EQ(s.kaleidoscope.Triangle_Stamp->Pixel(52, 50), 0u);
        Release_Surface(&s.kaleidoscope.Triangle_Stamp);
    }
}

TEST_F(Kaleidoscope, DiagonalMirrorAt32And8Bits) {
    Draw_Busy_Frame(s, 32);
    Draw_Busy_Frame(s, 8);
}

TEST_F(Kaleidoscope, DrawFailuresAndLostSurfaces) {
    Soft_Display display(s, 640, 480, 32);
    ASSERT_TRUE(display.ok());
    Prepare(s, 120);

    EXPECT_EQ(Draw_Kaleidoscope(s, nullptr, 0, 0), 1);  // off: nothing to do
    ASSERT_EQ(Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 1.0f, 0), 1);
    EXPECT_EQ(Draw_Kaleidoscope(s, nullptr, 0, 0), 0);
    EXPECT_TRUE(Box_Shown("Draw_Kaleidoscope(): NULL or LOST DEST"));

    // A lost stamp is rebuilt before the frame is drawn.
    s.kaleidoscope.Triangle_Stamp->Mark_Lost();
    EXPECT_EQ(Restore_All_Scope_Surfaces(s), 1);
    ASSERT_NE(s.kaleidoscope.Triangle_Stamp, nullptr);
    EXPECT_EQ(s.kaleidoscope.Triangle_Stamp->IsLost(), DD_OK);
    EXPECT_EQ(s.kaleidoscope.kaleidoscope_active, 1);
    EXPECT_EQ(Draw_Kaleidoscope(s, s.display.Hidden, s.display.Client_Width, s.display.Client_Height), 1);

    Shutdown_Kaleidoscope(s);
    Inject_DD_Fault(DD_Call::CreateSurface, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height), 0);
    EXPECT_TRUE(Box_Shown(" Setup_Kaleidoscope():\n\nCreate Surface FAILED\nwidth 121 height 121"));
    Shutdown_Kaleidoscope(s);

    // Modify_Plasma only switches the kaleidoscope off when its set-up fails.
    Inject_DD_Fault(DD_Call::CreateSurface, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 1.0f, 0), 1);
    EXPECT_EQ(s.Plasma_Settings.kaleidoscope_on, 0);
    EXPECT_TRUE(Box_Shown("Modify_Plasma(): Setup_Kaleidoscope FAILED"));
    Shutdown_Kaleidoscope(s);
}

TEST_F(Kaleidoscope, StretchPresentsThePattern) {
    Soft_Display display(s, 1024, 768, 32);
    ASSERT_TRUE(display.ok());
    Prepare(s, 288);
    ASSERT_EQ(Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height), 1);
    ASSERT_EQ(s.kaleidoscope.Kaleidoscope_Size, 288);
    Clear(s.display, s.display.Hidden);
    s.display.Hidden->Set_Pixel(0, 0, 0x00FF00);
    s.display.Hidden->Set_Pixel(575, 575, 0x0000FF);

    // Unstretched: 1:1 with the corner at ((1024 - 576) / 2, (768 - 576) / 2).
    EXPECT_EQ(Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible), 1);
    EXPECT_EQ(s.display.Visible->Pixel(224, 96) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(s.display.Visible->Pixel(799, 671) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(s.display.Visible->Pixel(223, 96) & 0xFFFFFF, 0u);
    EXPECT_EQ(s.display.Visible->Pixel(800, 672) & 0xFFFFFF, 0u);

    // Stretched over the whole screen: the corners come from the pattern's corners.
    s.Plasma_Settings.kaleidoscope_stretch = 1;
    EXPECT_EQ(Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible), 1);
    EXPECT_EQ(s.display.Visible->Pixel(0, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(s.display.Visible->Pixel(1023, 767) & 0xFFFFFF, 0x0000FFu);

    EXPECT_EQ(Stretch_Kaleidoscope(s, nullptr, s.display.Visible), 0);
    EXPECT_TRUE(Box_Shown("Stretch_Kaleidoscope(): NULL source or dest"));
    s.display.Hidden->Mark_Lost();
    EXPECT_EQ(Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible), 0);
    EXPECT_TRUE(Box_Shown("Stretch_Kaleidoscope():Either source or dest is lost"));
    Shutdown_Kaleidoscope(s);
}

TEST_F(Kaleidoscope, StretchIntoTheWindowsClientArea) {
    Soft_Display display(s, 1024, 768, 32, false);
    ASSERT_TRUE(display.ok());
    ASSERT_TRUE(SetWindowPos(s.display.Main_Window, 0, 100, 50, 400, 300, SWP_NOZORDER));
    RECT client;
    ASSERT_TRUE(GetClientRect(s.display.Main_Window, &client));
    POINT corner{0, 0};
    ClientToScreen(s.display.Main_Window, &corner);
    Prepare(s, 288);
    ASSERT_EQ(Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height), 1);
    Clear(s.display, s.display.Hidden);
    s.display.Hidden->Set_Pixel(0, 0, 0x00FF00);
    // A block, so that any nearest-pixel sampling of 576 -> client size lands in it.
    for (int y = 572; y < 576; ++y)
        for (int x = 572; x < 576; ++x) s.display.Hidden->Set_Pixel(x, y, 0x0000FF);

    // Stretched to the client rectangle whatever kaleidoscope_stretch says.
    EXPECT_EQ(Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible), 1);
    EXPECT_EQ(s.display.Visible->Pixel(corner.x, corner.y) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(s.display.Visible->Pixel(corner.x + client.right - 1, corner.y + client.bottom - 1) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(s.display.Visible->Pixel(corner.x + client.right, corner.y) & 0xFFFFFF, 0u);

    DestroyWindow(s.display.Main_Window);
    EXPECT_EQ(Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible), 0);
    EXPECT_TRUE(Box_Shown("Stretch Kaleidoscope(): GetClientRect FAILED"));
    Shutdown_Kaleidoscope(s);
}
