#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "surface/display.h"
#include "text/font.h"
#include "text/font_folder.h"

namespace {

class Fonts : public Font_Folder {
protected:
    void Open_Screen(int width, int height) {
        Open(32, true, width, height);
        ASSERT_TRUE(Create_SYSTEM_Surface(s.display, &page_, width, height));
    }
    void TearDown() override {
        Release_Surface(&page_);
        Font_Folder::TearDown();
    }
    // The glyph's cell, left columns cut by `cut`, sits at (x, y) of the page: every glyph
    // pixel copied, every background pixel left black.
    void Expect_Glyph_At(int font, int glyph, int x, int y, int cut = 0) {
        const Font_Record& record = s.fonts.Font_Table[font];
        const Glyph_Entry& entry = record.glyphs[glyph];
        for (int j = 0; j < record.cell_height; ++j)
            for (int i = cut; i < entry.width; ++i)
                ASSERT_EQ(page_->Pixel(x + i, y + j), record.surface->Pixel(entry.x + i, entry.y + j))
                    << "glyph " << glyph << " pixel " << i << "," << j;
    }
    int Width(int font, int glyph) const { return s.fonts.Font_Table[font].glyphs[glyph].width; }
    Surface page_ = nullptr;
};

}  // namespace

TEST(Glyphs, NumberingAndTableEntries) {
    const std::pair<char, int> numbers[] = {
        {'0', 0}, {'9', 9}, {'a', 10}, {'b', 11}, {'z', 35}, {'A', 36}, {'Z', 61}, {'!', 63}, {'@', 64},
        {'&', 69}, {'(', 71}, {'|', 77}, {'"', 78}, {';', 86}, {'[', 88}, {']', 89}, {'=', 91}, {'`', 93},
        {'-', 92}, {'*', 92}, {'\'', 92}, {'\\', 92}, {'~', 92}, {static_cast<char>(0xE9), 92}};
    for (const auto& [c, glyph] : numbers) EXPECT_EQ(Glyph_Number(c), glyph) << c;

    // Entries delivered with the fonts: table 3 glyph 48 is 'M'.
    Font_Record record;
    record.glyphs = Glyph_Table_3;
    int x = 0, y = 0, w = 0;
    Get_Glyph('M', &record, &x, &y, &w);
    EXPECT_EQ((std::vector<int>{x, y, w}), (std::vector<int>{36, 102, 32}));
}

TEST_F(Fonts, LoadingSetsTheRecordAndTheCount) {
    Open_Screen(64, 48);
    ASSERT_EQ(Load_Font(s, 0), 1);
    EXPECT_EQ(s.fonts.Font_Table[0].cell_height, 26);
    EXPECT_EQ(s.fonts.Font_Table[0].spacing, 0);
    EXPECT_EQ(s.fonts.Font_Table[0].glyphs, Glyph_Table_1);
    ASSERT_EQ(Load_Font(s, 9), 1);
    EXPECT_EQ(s.fonts.Font_Table[9].number, 9);
    EXPECT_EQ(s.fonts.Font_Table[9].cell_height, 34);
    EXPECT_EQ(s.fonts.Font_Table[9].spacing, 1);
    EXPECT_EQ(s.fonts.Font_Table[9].bitmap_width, s.fonts.Font_Table[9].surface->width());
    EXPECT_EQ(s.fonts.Fonts_Loaded, 2);

    EXPECT_EQ(Load_Font(s, 10), 0);
    EXPECT_EQ(Load_Font(s, -1), 0);
    std::remove("include/fonts/red_32.bmp");
    EXPECT_EQ(Draw_Text(s, page_, 0, 0, 3, "a"), 0);
    EXPECT_EQ(Take_Reports(), (std::vector<std::string>{
                                  "Load_Font():Illegal font number 10",
                                  "Load_Font():Illegal font number -1",
                                  "Load_Font():font file include/fonts/red_32.bmp not found",
                                  "Draw_Text():Invalid Font Surface - surface is NULL & Unable to Load the font_num 3",
                              }));
    EXPECT_EQ(Release_All_Fonts(s), 1);
    EXPECT_EQ(s.fonts.Fonts_Loaded, 0);
    EXPECT_EQ(s.fonts.Font_Table[0].surface, nullptr);
    EXPECT_EQ(s.fonts.Font_Table[9].surface, nullptr);
}

TEST_F(Fonts, GlyphsAndAdvances) {
    Open_Screen(200, 40);
    // "a-b" draws glyphs 10, 92, 11; a 32-pixel font advances by width + 1.
    ASSERT_EQ(Draw_Text(s, page_, 0, 2, 1, "a-b"), 1);
    const int a = Width(1, 10), dash = Width(1, 92);
    Expect_Glyph_At(1, 10, 0, 2);
    Expect_Glyph_At(1, 92, a + 1, 2);
    Expect_Glyph_At(1, 11, a + 1 + dash + 1, 2);

    // "A*": glyphs 36 and 92.
    Clear(s.display, page_);
    ASSERT_EQ(Draw_Text(s, page_, 5, 0, 2, "A*"), 1);
    Expect_Glyph_At(2, 36, 5, 0);
    Expect_Glyph_At(2, 92, 5 + Width(2, 36) + 1, 0);

    // A space moves on by the glyph before it plus 3 x spacing.
    Clear(s.display, page_);
    ASSERT_EQ(Draw_Text(s, page_, 0, 0, 1, "a b"), 1);
    Expect_Glyph_At(1, 11, (a + 1) + (a + 3), 0);
    // A leading space counts 0 for the glyph before it.
    Clear(s.display, page_);
    ASSERT_EQ(Draw_Text(s, page_, 0, 0, 1, " a"), 1);
    Expect_Glyph_At(1, 10, 3, 0);
    EXPECT_EQ(page_->Pixel(0, 16), 0u);

    // Measured: width + 2 x spacing per glyph, a space adds spacing + the glyph before + 2.
    const int b = Width(1, 11);
    int width = -1, height = -1;
    ASSERT_EQ(Calculate_Message_Dimensions(s, 1, "ab", &width, &height), 1);
    EXPECT_EQ(std::pair(width, height), std::pair(a + 2 + b + 2, 32));
    ASSERT_EQ(Calculate_Message_Dimensions(s, 1, "a b", &width, &height), 1);
    EXPECT_EQ(width, (a + 2) + (1 + a + 2) + (b + 2));
    ASSERT_EQ(Calculate_Message_Dimensions(s, 1, " a", &width, &height), 1);
    EXPECT_EQ(width, 3 + a + 2);
    ASSERT_EQ(Calculate_Message_Dimensions(s, 0, "", &width, &height), 1);
    EXPECT_EQ(std::pair(width, height), std::pair(0, 26));
    EXPECT_EQ(Calculate_Message_Dimensions(s, 10, "a", &width, &height), 0);
    EXPECT_EQ(Take_Reports(), std::vector<std::string>{"Calculate_Message_Dimensions():Illegal Font # 10"});
}

TEST_F(Fonts, ClippingAndLengthLimits) {
    Open_Screen(40, 40);
    // The left five columns of "a" fall off the page; the rest lands shifted.
    ASSERT_EQ(Draw_Text(s, page_, -5, 0, 1, "ab"), 1);
    Expect_Glyph_At(1, 10, -5, 0, 5);
    // Far outside: nothing to draw, still success.
    EXPECT_EQ(Draw_Text(s, page_, 500, 500, 1, "ab"), 1);

    const std::string longest(511, 'a');
    EXPECT_EQ(Draw_Text(s, page_, 0, 0, 1, longest.c_str()), 1);
    const std::string too_long(512, 'a');
    EXPECT_EQ(Draw_Text(s, page_, 0, 0, 1, too_long.c_str()), 0);
    EXPECT_EQ(Draw_Text(s, page_, 0, 0, 1, ""), 0);
    EXPECT_EQ(Draw_Text(s, page_, 0, 0, 10, "a"), 0);
    EXPECT_EQ(Draw_Text(s, nullptr, 0, 0, 1, "hello"), 0);
    const std::vector<std::string> reports = Take_Reports();
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].rfind("Draw_Text():Illegal Message Length 512\nfor message aaaa", 0), 0u);
    EXPECT_EQ(reports[1], "Draw_Text():Illegal Message");
    EXPECT_EQ(reports[2], "Draw_Text():Illegal Font # 10");
    EXPECT_EQ(reports[3], "Draw_Text():Invalid Destination Surface cannot write: hello");
}

TEST_F(Fonts, ClipBoundsOfHiddenAreTheScreen) {
    // Hidden larger than the screen: glyphs past Screen_Width are not drawn on it.
    Open_Screen(20, 40);
    ASSERT_TRUE(Create_SYSTEM_Surface(s.display, &s.display.Hidden, 100, 40));
    ASSERT_EQ(Draw_Text(s, s.display.Hidden, 0, 0, 1, "ab"), 1);
    const int a = Width(1, 10);
    for (int y = 0; y < 32; ++y)
        for (int x = 20; x < 100; ++x) ASSERT_EQ(s.display.Hidden->Pixel(x, y), 0u) << x << "," << y;
    bool any = false;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < std::min(a, 20); ++x) any = any || s.display.Hidden->Pixel(x, y) != 0;
    EXPECT_TRUE(any);
}

TEST_F(Fonts, LostFontsAreReloadedExceptFontZero) {
    Open_Screen(64, 48);
    ASSERT_EQ(Draw_Text(s, page_, 0, 0, 1, "a"), 1);
    ASSERT_EQ(Draw_Text(s, page_, 0, 0, 0, "a"), 1);
    EXPECT_EQ(s.fonts.Fonts_Loaded, 2);

    s.fonts.Font_Table[1].surface->Mark_Lost();
    Clear(s.display, page_);
    ASSERT_EQ(Draw_Text(s, page_, 0, 0, 1, "a"), 1);
    EXPECT_EQ(s.fonts.Font_Table[1].surface->IsLost(), DD_OK);
    Expect_Glyph_At(1, 10, 0, 0);
    EXPECT_EQ(s.fonts.Fonts_Loaded, 2);

    s.fonts.Font_Table[0].surface->Mark_Lost();
    EXPECT_EQ(Draw_Text(s, page_, 0, 0, 0, "a"), 0);
    EXPECT_EQ(Take_Reports(), (std::vector<std::string>{"Restore_Font(): Bad font num 0",
                                                         "Draw_Text():Invalid Font Surface: lost font"}));

    // A font whose file went away cannot come back.
    s.fonts.Font_Table[1].surface->Mark_Lost();
    std::remove("include/fonts/silver_32.bmp");
    EXPECT_EQ(Draw_Text(s, page_, 0, 0, 1, "a"), 0);
    EXPECT_EQ(Take_Reports(), (std::vector<std::string>{"Load_Font():font file include/fonts/silver_32.bmp not found",
                                                         "Restore_Font():Unable to load font #d",
                                                         "Draw_Text():Invalid Font Surface: lost font"}));
}
