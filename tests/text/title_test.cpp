#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "presets/plasma_settings.h"
#include "surface/colour.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/font_folder.h"
#include "text/title.h"

namespace {

constexpr uint32_t Marker = 0x00204060;

class Titles : public Font_Folder {
protected:
    void Open_Screen(int bpp, int width = 160, int height = 48) {
        Open(bpp, true, width, height);
        s.display.Client_Width = width;
        s.display.Client_Height = height;
        ASSERT_TRUE(Create_SYSTEM_Surface(s.display, &s.display.Hidden, width, height));
        s.Plasma_Settings = PLASMA_SETTINGS{};
        s.Plasma_Settings.titles_on = 1;
        s.display.frame_seconds = 0.02;
    }
    void TearDown() override {
        Destroy_Title(s);
        Font_Folder::TearDown();
    }
    void Paint_Hidden(uint32_t value) {
        for (int y = 0; y < s.display.Hidden->height(); ++y)
            for (int x = 0; x < s.display.Hidden->width(); ++x) s.display.Hidden->Set_Pixel(x, y, value);
    }
    int Changed_Pixels(uint32_t value) const {
        int changed = 0;
        for (int y = 0; y < s.display.Hidden->height(); ++y)
            for (int x = 0; x < s.display.Hidden->width(); ++x) changed += s.display.Hidden->Pixel(x, y) != value;
        return changed;
    }
    int Frame() { return Display_Title(s, s.display.Hidden, 0, 0, "Ab", 9, 0); }

    // Frames spent in each stage until the title finishes (the stage when each frame began).
    std::vector<int> Timeline() {
        std::vector<int> frames(4, 0);
        for (int i = 0; i < 1000 && s.title.Title_Stage != TITLE_FINISHED; ++i) {
            ++frames[s.title.Title_Stage];
            EXPECT_EQ(Frame(), 1);
        }
        return frames;
    }
};

}  // namespace

TEST_F(Titles, TimelineAt32And16Bits) {
    Open_Screen(32);
    ASSERT_EQ(Setup_Title(s, "Ab", 9), 1);
    EXPECT_EQ(s.title.Title_Width, 160);
    EXPECT_EQ(s.title.Title_Height, 34);
    EXPECT_EQ(s.title.Title_Level, 256);
    EXPECT_EQ(s.title.Title_Floor, 0);

    // The first frame darkens by 256: every glyph pixel turns black and nothing lands.
    Paint_Hidden(Marker);
    ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Changed_Pixels(Marker), 0);
    EXPECT_EQ(s.title.Title_Level, 254);

    // Fade-in 256 down to -2: 129 frames (one done); hold: 100 frames of 20 ms sum to just
    // over 2 s in doubles; fade-out 0 up to 258: 129 frames.
    EXPECT_EQ(Timeline(), (std::vector<int>{128, 129, 100, 0}));  // by stage: in, out, held
    EXPECT_EQ(s.title.Title_Floor, 0);

    // Finished: nothing more is drawn.
    Paint_Hidden(Marker);
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(Changed_Pixels(Marker), 0);
    EXPECT_TRUE(Take_Reports().empty());

    // 16 bits keep a floor: 256 down to 6 in 125 frames, held darkened by 8, then 8 up to 258.
    Destroy_Title(s);
    Release_All_Fonts(s);
    Close_Surface_Display(s.display);
    Open_Screen(16);
    ASSERT_EQ(Setup_Title(s, "Ab", 9), 1);
    EXPECT_EQ(s.title.Title_Floor, 8);
    EXPECT_EQ(Timeline(), (std::vector<int>{125, 125, 100, 0}));
}

TEST_F(Titles, HeldTitleShowsItsGlyphsAndPausesWhileTitlesAreOff) {
    Open_Screen(32);
    ASSERT_EQ(Setup_Title(s, "Ab", 9), 1);
    for (int i = 0; i < 129; ++i) ASSERT_EQ(Frame(), 1);
    ASSERT_EQ(s.title.Title_Stage, TITLE_HOLDING);

    // Held at full brightness: the glyph pixels land, the background is left alone, and
    // nothing lands below the strip.
    Paint_Hidden(Marker);
    ASSERT_EQ(Frame(), 1);
    EXPECT_GT(Changed_Pixels(Marker), 0);
    for (int y = 34; y < 48; ++y)
        for (int x = 0; x < 160; ++x) ASSERT_EQ(s.display.Hidden->Pixel(x, y), Marker);
    EXPECT_EQ(s.display.Hidden->Pixel(159, 0), Marker);

    // Titles off: nothing drawn, the timeline stands still.
    s.Plasma_Settings.titles_on = 0;
    const double timer = s.title.Title_Timer;
    Paint_Hidden(Marker);
    for (int i = 0; i < 500; ++i) ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Changed_Pixels(Marker), 0);
    EXPECT_EQ(s.title.Title_Stage, TITLE_HOLDING);
    EXPECT_EQ(s.title.Title_Timer, timer);
    s.Plasma_Settings.titles_on = 1;
    ASSERT_EQ(Frame(), 1);
    EXPECT_GT(Changed_Pixels(Marker), 0);

    // A new set-up starts the timeline again.
    ASSERT_EQ(Setup_Title(s, "Ab", 9), 1);
    EXPECT_EQ(s.title.Title_Stage, TITLE_FADING_IN);
    EXPECT_EQ(s.title.Title_Level, 256);
    EXPECT_EQ(s.title.Title_Timer, 0.0);
}

TEST_F(Titles, EightBitTitleKeepsTheHueOfItsFont) {
    // The screen shows a colour cube; the font and the strip carry no palette of their own.
    Open_Screen(8);
    PALETTEENTRY cube[256];
    Show_Colour_Cube(s.display, cube);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(Setup_Title(s, "Ab", 9), 1);
    for (int i = 0; i < 200 && s.title.Title_Stage != TITLE_HOLDING; ++i) ASSERT_EQ(Frame(), 1);
    ASSERT_EQ(s.title.Title_Stage, TITLE_HOLDING);
    Paint_Hidden(0);
    ASSERT_EQ(Frame(), 1);

    // The title's font is a light blue (hue about 211 degrees): what lands shows blue on
    // the screen, and the font's black stays out of the picture.
    int glyph_pixels = 0, blue = 0;
    for (int y = 0; y < s.display.Hidden->height(); ++y)
        for (int x = 0; x < s.display.Hidden->width(); ++x) {
            const uint32_t index = s.display.Hidden->Pixel(x, y);
            if (index == 0) continue;
            ++glyph_pixels;
            const PALETTEENTRY& e = cube[index];
            float h, s, v;
            RGB_To_HSV(e.peRed / 255.0f, e.peGreen / 255.0f, e.peBlue / 255.0f, &h, &s, &v);
            blue += s > 0.15f && h >= 180.0f && h <= 240.0f;
        }
    EXPECT_GT(glyph_pixels, 50);
    EXPECT_GE(blue * 10, glyph_pixels * 9) << blue << " of " << glyph_pixels;
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Titles, RefusalsAndTheStripSize) {
    Open_Screen(32, 160, 20);
    // The strip spans the client area but never the screen's width; its height is cut to
    // the screen.
    s.display.Client_Width = 2000;
    ASSERT_EQ(Setup_Title(s, "Ab", 9), 1);
    EXPECT_EQ(s.title.Title_Width, 160);
    EXPECT_EQ(s.title.Title_Height, 20);
    ASSERT_NE(s.title.Title_Strip, nullptr);
    EXPECT_EQ(Display_Title(s, s.display.Hidden, 0, 0, nullptr, 9, 0), 0);
    EXPECT_EQ(Take_Reports(), std::vector<std::string>{"Display_Title(): title must be a valid string"});

    // An empty title is refused after the old one is gone.
    EXPECT_EQ(Setup_Title(s, "", 9), 0);
    EXPECT_EQ(s.title.Title_Strip, nullptr);
    EXPECT_EQ(Take_Reports(), std::vector<std::string>{"Setup_Title():strlen of title is 0 "});
    // With no strip a frame draws nothing and succeeds.
    Paint_Hidden(Marker);
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(Changed_Pixels(Marker), 0);

    // A font that cannot be measured.
    EXPECT_EQ(Setup_Title(s, "Ab", 12), 0);
    EXPECT_EQ(Take_Reports(), (std::vector<std::string>{"Calculate_Message_Dimensions():Illegal Font # 12",
                                                         "Display_Title(): Calculate_Message_Dimensions FAILED",
                                                         "Setup_Title(): Display_Title CREATE FAILED"}));

    // Text that cannot be drawn fails the frame with the stage's message.
    ASSERT_EQ(Setup_Title(s, "Ab", 9), 1);
    EXPECT_EQ(Display_Title(s, s.display.Hidden, 0, 0, "", 9, 0), 0);
    EXPECT_EQ(Take_Reports(), (std::vector<std::string>{"Draw_Text():Illegal Message",
                                                         "Display_Title(); Draw_Text  in FADE TITLE IN FAILED"}));
}

