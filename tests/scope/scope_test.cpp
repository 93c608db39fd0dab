#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "platform/windows/commdlg.h"
#include "presets/plasma_settings.h"
#include "scope/scope.h"
#include "objects/object_files.h"
#include "text/status_line.h"
#include "support/scratch_folder.h"
#include "support/surface_fixture.h"
#include "surface/display.h"

namespace {

constexpr uint32_t White32 = 0x00FFFFFF;

class Scope : public Surface_Test {
protected:
    void Open_Screen(int width, int height, int bpp = 32, bool format_565 = true) {
        Open(bpp, format_565, width, height);
        s.display.Client_Width = width;
        s.display.Client_Height = height;
        s.Plasma_Settings = PLASMA_SETTINGS{};
    }
    void TearDown() override {
        Shutdown_Scope(s);
        Surface_Test::TearDown();
    }
    bool Open_At(int x, int y) { return s.scope.Scope_Surface->Pixel(x, y) == White32; }
    // Each point of the mask open or closed as listed.
    void Expect_Mask(std::initializer_list<std::tuple<int, int, bool>> points) {
        for (const auto& [x, y, open] : points) EXPECT_EQ(Open_At(x, y), open) << x << "," << y;
    }
};

}  // namespace

TEST_F(Scope, CircleIsCentredInTheDrawingArea) {
    Open_Screen(1024, 768);
    ASSERT_EQ(Setup_Scope(s, 1024, 768, SCOPE_CIRCLE), 1);
    EXPECT_EQ(std::pair(s.scope.Scope_Width, s.scope.Scope_Height), std::pair(1024, 768));
    EXPECT_EQ(std::tuple(s.scope.scope_active, s.Plasma_Settings.scope_on, s.Plasma_Settings.scope_shape,
                         s.scope.last_scope_shape),
              std::tuple(1, 1, 0, 0));
    EXPECT_EQ(s.scope.Scope_Surface->color_key(), White32);
    // Bounding box 128, 0, 896, 768 (right and bottom excluded); (140, 40) is inside the box,
    // outside the circle.
    Expect_Mask({{128, 384, true}, {127, 384, false}, {895, 384, true}, {896, 384, false}, {512, 0, true},
                 {512, 767, true}, {140, 40, false}});
    EXPECT_EQ(s.scope.Scope_Surface->Pixel(0, 0), 0u);

    // A second set-up over the existing mask is refused.
    EXPECT_EQ(Setup_Scope(s, 1024, 768, SCOPE_STAR), 0);
    EXPECT_EQ(Take_Reports(), std::vector<std::string>{"Setup_Scope(): Scope Surface should be NULL"});
    EXPECT_EQ(s.scope.last_scope_shape, 0);
}

TEST_F(Scope, KaleidoscopeMaskCoversTheTwoTileSquare) {
    Open_Screen(1024, 768);
    s.Plasma_Settings.kaleidoscope_on = 1;
    s.Plasma_Settings.plasma_width = 288;
    s.Plasma_Settings.plasma_height = 288;
    ASSERT_EQ(Setup_Scope(s, 1024, 768, SCOPE_CIRCLE), 1);
    EXPECT_EQ(std::pair(s.scope.Scope_Width, s.scope.Scope_Height), std::pair(576, 576));
    // d = 768 * 576 / 1024 = 432: Ellipse 72, 0, 504, 576.
    Expect_Mask({{72, 288, true}, {71, 288, false}, {503, 288, true}, {504, 288, false}, {288, 0, true}, {288, 575, true}});
}

TEST_F(Scope, StarTrianglesTakeTheirInsetsFromTheHeight) {
    Open_Screen(400, 400);
    ASSERT_EQ(Setup_Scope(s, 400, 400, SCOPE_STAR), 1);
    // Up: (200, 12), (350, 300), (50, 300). Down: (350, 100), (200, 388), (50, 100).
    // On row 290 the up triangle's left edge is at x 55.2, on row 105 the down one's at 52.6;
    // on row 200 both right edges are at x 297.9.
    Expect_Mask({{200, 200, true}, {200, 20, true}, {200, 5, false}, {60, 290, true}, {45, 290, false}, {55, 105, true},
                 {45, 100, false}, {200, 385, true}, {200, 395, false}, {380, 200, false}, {10, 10, false}});
    Shutdown_Scope(s);
    EXPECT_EQ(s.scope.Scope_Surface, nullptr);
    EXPECT_EQ(s.scope.scope_active, 0);
    EXPECT_EQ(s.Plasma_Settings.scope_on, 0);

    // 800 x 400: the side inset is still 400 / 8 = 50, so the up triangle's feet are (50, 300)
    // and (750, 300); on row 290 its edges are at x 62.2 and 737.8 (110.4 and 689.6 with an
    // inset taken from the width).
    Close_Surface_Display(s.display);
    Open_Screen(800, 400);
    ASSERT_EQ(Setup_Scope(s, 800, 400, SCOPE_STAR), 1);
    Expect_Mask({{400, 20, true}, {65, 290, true}, {59, 290, false}, {730, 290, true}, {741, 290, false}});
}

TEST_F(Scope, DiamondAndEllipseAndTheLastShape) {
    Open_Screen(1024, 768);
    // Before any set-up, shape -1 is the ellipse.
    ASSERT_EQ(Setup_Scope(s, 1024, 768, -1), 1);
    EXPECT_EQ(s.Plasma_Settings.scope_shape, SCOPE_ELLIPSE);
    EXPECT_TRUE(Open_At(10, 384));   // outside the circle a circle would give
    EXPECT_FALSE(Open_At(0, 0));
    Shutdown_Scope(s);

    // Diamond (512, 0), (1023, 384), (512, 767), (0, 384).
    ASSERT_EQ(Setup_Scope(s, 1024, 768, SCOPE_DIAMOND), 1);
    // The right upper edge passes x 778 on row 200 and x 645.3 on row 100.
    Expect_Mask({{512, 384, true}, {600, 200, true}, {800, 100, false}});
    Shutdown_Scope(s);
    ASSERT_EQ(Setup_Scope(s, 1024, 768, -1), 1);
    EXPECT_EQ(s.scope.last_scope_shape, SCOPE_DIAMOND);

    // The drawing area is limited by the screen, and nothing is smaller than 16.
    Shutdown_Scope(s);
    ASSERT_EQ(Setup_Scope(s, 4000, 10, SCOPE_ELLIPSE), 1);
    EXPECT_EQ(std::pair(s.scope.Scope_Width, s.scope.Scope_Height), std::pair(1024, 16));
    Shutdown_Scope(s);
    ASSERT_EQ(Setup_Scope(s, 16, 17, SCOPE_ELLIPSE), 1);
    EXPECT_EQ(std::pair(s.scope.Scope_Width, s.scope.Scope_Height), std::pair(16, 17));
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Scope, MaskBlacksOutOnlyOutsideTheOpening) {
    for (bool format_565 : {true, false}) {
        Open_Screen(64, 48, 16, format_565);
        ASSERT_TRUE(Create_SYSTEM_Surface(s.display, &s.display.Hidden, 64, 48));
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) s.display.Hidden->Set_Pixel(x, y, 0x1234);
        ASSERT_EQ(Setup_Scope(s, 64, 48, SCOPE_ELLIPSE), 1);
        EXPECT_EQ(s.scope.Scope_Surface->color_key(), format_565 ? 0x00FFFFFFu : 0x7FFF7FFFu);
        ASSERT_EQ(Draw_Scope(s, s.display.Hidden, 0, 0), 1);
        EXPECT_EQ(s.display.Hidden->Pixel(32, 24), 0x1234u);
        EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0u);
        EXPECT_EQ(s.display.Hidden->Pixel(63, 47), 0u);

        // A lost mask is built again from the last shape on the next frame.
        s.scope.Scope_Surface->Mark_Lost();
        s.display.Hidden->Set_Pixel(0, 0, 0x1234);
        ASSERT_EQ(Draw_Scope(s, s.display.Hidden, 0, 0), 1);
        EXPECT_EQ(s.scope.Scope_Surface->IsLost(), DD_OK);
        EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0u);
        EXPECT_EQ(s.scope.scope_active, 1);
        EXPECT_TRUE(Take_Reports().empty());
        Shutdown_Scope(s);
        Close_Surface_Display(s.display);
    }
    // Nothing is drawn while the scope is off.
    Open_Screen(64, 48);
    ASSERT_TRUE(Create_SYSTEM_Surface(s.display, &s.display.Hidden, 64, 48));
    s.display.Hidden->Set_Pixel(0, 0, 0x123456);
    EXPECT_EQ(Draw_Scope(s, s.display.Hidden, 0, 0), 1);
    EXPECT_EQ(s.display.Hidden->Pixel(0, 0), 0x123456u);
}

TEST_F(Scope, RefusedAtEightBitsWithOnlyAStatusLine) {
    Open_Screen(640, 480, 8);
    s.status.pending = 0;
    EXPECT_EQ(Setup_Scope(s, 640, 480, SCOPE_CIRCLE), 0);
    EXPECT_STREQ(s.status.message, "The scope does not function in 256 colour mode");
    EXPECT_EQ(s.status.pending, 1);
    EXPECT_TRUE(Take_Reports().empty());
    EXPECT_EQ(s.scope.Scope_Surface, nullptr);
    EXPECT_EQ(s.scope.scope_active, 0);
}

TEST_F(Scope, CustomOverlayIsStretchedToTheMask) {
    Scratch_Folder folder;
    folder.make_folder("Mirravane/Data/Bmp/Overlays");
    // 2 x 2 pixels: white top-left, black elsewhere.
    const auto white_top_left = [](int x, int y) { return x + y ? Rgb{} : Rgb{255, 255, 255}; };
    folder.write("Mirravane/Data/Bmp/Overlays/quarter.bmp", Make_Object_Bmp(2, 2, white_top_left));
    Open_Screen(64, 48);

    // Choosing: cancel reports the three buffers, a choice lands in the record.
    EXPECT_EQ(Choose_Custom_Overlay(s), 0);
    const std::string overlays = folder.path() + "\\Mirravane\\Data\\Bmp\\Overlays\\";
    EXPECT_EQ(Take_Reports(),
              std::vector<std::string>{"Open File folder " + overlays + " filename  title name  FAILED"});
    Headless_File_Answers().push_back(folder.windows("Mirravane\\Data\\Bmp\\Overlays\\quarter.bmp"));
    ASSERT_EQ(Choose_Custom_Overlay(s), 1);
    EXPECT_EQ(std::string(s.Plasma_Settings.custom_overlay_path), overlays + "quarter.bmp");
    // A path longer than the record's field is refused, not cut into another file's name.
    const std::string too_long = overlays + std::string(300, 'x') + ".bmp";
    Headless_File_Answers().push_back(too_long);
    EXPECT_EQ(Choose_Custom_Overlay(s), 0);
    EXPECT_EQ(std::string(s.Plasma_Settings.custom_overlay_path), overlays + "quarter.bmp");
    EXPECT_EQ(Take_Reports(), std::vector<std::string>{"Custom overlay path too long: " + too_long});

    // The 2 x 2 picture fills 64 x 48: its white pixel becomes the top-left 32 x 24.
    ASSERT_EQ(Setup_Scope(s, 64, 48, SCOPE_CUSTOM), 1);
    Expect_Mask({{0, 0, true}, {31, 23, true}, {32, 0, false}, {0, 24, false}, {63, 47, false}});
    EXPECT_EQ(s.Plasma_Settings.scope_shape, SCOPE_CUSTOM);
    Shutdown_Scope(s);

    // A missing file leaves the chain of messages and the scope off.
    std::strcpy(s.Plasma_Settings.custom_overlay_path, "nowhere.bmp");
    EXPECT_EQ(Setup_Scope(s, 64, 48, SCOPE_CUSTOM), 0);
    const std::vector<std::string> reports = Take_Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Load_Custom_Scope():Load_SYSTEM_Bitmap nowhere.bmp FAILED");
    EXPECT_EQ(reports.back(), "Setup_Scope: Load Custom_Scope FAILED");
    EXPECT_EQ(s.scope.scope_active, 0);
}
