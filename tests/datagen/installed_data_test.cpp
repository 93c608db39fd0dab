// Checks the committed program folder under data/: the font bitmaps against
// their glyph tables, the objects, the overlays, the sound and the help text.
#include "text/glyph_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path Data_Dir = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";

std::vector<uint8_t> Read_All(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U16(const std::vector<uint8_t> &b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t> &b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

// A 24-bit uncompressed BMP read into top-down 0x00RRGGBB pixels.
struct Picture {
    int width = 0, height = 0;
    size_t file_size = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Picture Read_Bmp(const fs::path &path)
{
    Picture p;
    const std::vector<uint8_t> b = Read_All(path);
    EXPECT_GE(b.size(), 54u) << path;
    if (b.size() < 54)
        return p;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size()) << path;
    EXPECT_EQ(U32(b, 10), 54u);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U16(b, 26), 1u);
    EXPECT_EQ(U16(b, 28), 24u) << path;
    EXPECT_EQ(U32(b, 30), 0u) << path;
    p.width = int(U32(b, 18));
    p.height = int(U32(b, 22));
    p.file_size = b.size();
    const size_t stride = (size_t(p.width) * 3 + 3) / 4 * 4;
    EXPECT_EQ(b.size(), 54 + stride * size_t(p.height)) << path;
    if (p.width <= 0 || p.height <= 0 || b.size() != 54 + stride * size_t(p.height))
        return p;
    p.pixels.resize(size_t(p.width) * size_t(p.height));
    for (int y = 0; y < p.height; ++y) {
        const uint8_t *row = &b[54 + stride * size_t(p.height - 1 - y)];
        for (int x = 0; x < p.width; ++x)
            p.pixels[size_t(y) * size_t(p.width) + size_t(x)] =
                uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
    }
    return p;
}

int Channel(uint32_t pixel, int shift) { return int((pixel >> shift) & 0xFF); }

struct Font_File {
    const char *path;
    int cell;
    const Glyph_Entry *table;
    int rows;
};

const Font_File Fonts[] = {
    {"include/fonts/gold_26.bmp", 26, Glyph_Table_1, 2},
    {"include/fonts/silver_32.bmp", 32, Glyph_Table_2, 7},
    {"include/fonts/gold_32.bmp", 32, Glyph_Table_2, 7},
    {"include/fonts/red_32.bmp", 32, Glyph_Table_2, 7},
    {"include/fonts/blue_32.bmp", 32, Glyph_Table_2, 7},
    {"include/fonts/grey_32.bmp", 32, Glyph_Table_2, 7},
    {"include/fonts/dark_silver_32.bmp", 32, Glyph_Table_2, 7},
    {"include/fonts/dark_gold_32.bmp", 32, Glyph_Table_2, 7},
    {"include/fonts/dark_red_32.bmp", 32, Glyph_Table_2, 7},
    {"Data/Bmp/Font.bmp", 34, Glyph_Table_3, 7},
};

TEST(Font_Bitmaps, GlyphBoxesFitTheirBitmapHoldAllInkAndStandApart)
{
    for (const Font_File &font : Fonts) {
        SCOPED_TRACE(font.path);
        const Picture pic = Read_Bmp(Data_Dir / font.path);
        ASSERT_FALSE(pic.pixels.empty());
        EXPECT_EQ(pic.width % 8, 0);
        ASSERT_GE(pic.height, font.rows * font.cell);

        std::vector<uint8_t> covered(pic.pixels.size(), 0);
        std::set<int> rows_used;
        for (int g = 0; g < 94; ++g) {
            const Glyph_Entry &e = font.table[g];
            SCOPED_TRACE("glyph " + std::to_string(g));
            ASSERT_EQ(e.y % font.cell, 0);
            ASSERT_GE(e.x, 0);
            ASSERT_GE(e.y, 0);
            ASSERT_GT(e.width, 0);
            ASSERT_LE(e.x + e.width, pic.width);
            ASSERT_LE(e.y + font.cell, pic.height);
            rows_used.insert(e.y / font.cell);
            bool ink = false;
            for (int y = e.y; y < e.y + font.cell; ++y)
                for (int x = e.x; x < e.x + e.width; ++x) {
                    uint8_t &c = covered[size_t(y) * size_t(pic.width) + size_t(x)];
                    EXPECT_EQ(c, 0) << "boxes overlap at " << x << "," << y;
                    c = 1;
                    ink = ink || pic.At(x, y) != 0;
                }
            EXPECT_TRUE(ink);
        }
        EXPECT_EQ(int(rows_used.size()), font.rows);

        // Ink outside every box would never be drawn; ink must also survive a 5-6-5 conversion.
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x) {
                const uint32_t p = pic.At(x, y);
                if (p == 0)
                    continue;
                EXPECT_TRUE(covered[size_t(y) * size_t(pic.width) + size_t(x)]) << "stray ink at " << x << "," << y;
                EXPECT_GE(std::min({Channel(p, 0), Channel(p, 8), Channel(p, 16)}), 24) << x << "," << y;
            }

        // Neighbouring glyphs in the sheet keep two black columns between their ink.
        for (int a = 0; a < 94; ++a)
            for (int b = 0; b < 94; ++b) {
                const Glyph_Entry &ea = font.table[a], &eb = font.table[b];
                if (a == b || ea.y != eb.y || eb.x < ea.x)
                    continue;
                int right_ink = -1, left_ink = pic.width;
                for (int y = ea.y; y < ea.y + font.cell; ++y) {
                    for (int x = ea.x; x < ea.x + ea.width; ++x)
                        if (pic.At(x, y))
                            right_ink = std::max(right_ink, x);
                    for (int x = eb.x; x < eb.x + eb.width; ++x)
                        if (pic.At(x, y))
                            left_ink = std::min(left_ink, x);
                }
                EXPECT_GE(left_ink - right_ink - 1, 2) << "glyphs " << a << " and " << b;
            }
    }
}

TEST(Font_Bitmaps, ShareOneLayoutPerTable)
{
    // The eight 32-pixel fonts share table 2, so their ink must sit in the same places.
    const Picture first = Read_Bmp(Data_Dir / Fonts[1].path);
    for (int f = 2; f <= 8; ++f) {
        const Picture other = Read_Bmp(Data_Dir / Fonts[f].path);
        ASSERT_EQ(other.width, first.width) << Fonts[f].path;
        ASSERT_EQ(other.height, first.height) << Fonts[f].path;
        size_t differences = 0;
        for (size_t i = 0; i < first.pixels.size(); ++i)
            differences += (first.pixels[i] == 0) != (other.pixels[i] == 0);
        EXPECT_EQ(differences, 0u) << Fonts[f].path;
    }
}

TEST(Object_Bitmaps, NumberedWithoutGapsSquareFramesOnBlack)
{
    const fs::path folder = Data_Dir / "Data/Bmp/Objects";
    // The smallest object: 32 x 32 at 3 bytes a pixel after the 54-byte headers.
    EXPECT_EQ(fs::file_size(folder / "0.bmp"), 54u + 32u * 32u * 3u);

    int count = 0;
    while (fs::exists(folder / (std::to_string(count) + ".bmp")))
        ++count;
    EXPECT_GE(count, 40);
    EXPECT_LE(count, 250);
    for (const auto &entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const int number = std::atoi(name.c_str());
        EXPECT_EQ(name, std::to_string(number) + ".bmp") << "unexpected file";
        EXPECT_LT(number, count) << name << " lies after a gap";
    }

    int singles = 0, animations = 0;
    for (int n = 0; n < count; ++n) {
        SCOPED_TRACE(std::to_string(n) + ".bmp");
        const Picture pic = Read_Bmp(folder / (std::to_string(n) + ".bmp"));
        ASSERT_FALSE(pic.pixels.empty());
        const int w = pic.width;
        EXPECT_TRUE(w == 32 || w == 48 || w == 64);
        ASSERT_EQ(pic.height % w, 0);
        const int frames = pic.height / w;
        EXPECT_TRUE(frames == 1 || (frames >= 8 && frames <= 24)) << frames;
        (frames == 1 ? singles : animations)++;
        for (int f = 0; f < frames; ++f) {
            int ink = 0;
            for (int y = f * w; y < (f + 1) * w; ++y)
                for (int x = 0; x < w; ++x) {
                    const uint32_t p = pic.At(x, y);
                    if (p == 0)
                        continue;
                    ++ink;
                    // Faint pixels would turn into the transparent key at lower depths.
                    EXPECT_GE(std::max({Channel(p, 0), Channel(p, 8), Channel(p, 16)}), 16) << x << "," << y;
                }
            EXPECT_GT(ink, w * w / 50) << "frame " << f << " is nearly empty";
        }
    }
    EXPECT_GE(singles, 10);
    EXPECT_GE(animations, 10);
}

TEST(Overlays, PureWhiteOpeningOnPureBlack)
{
    const fs::path folder = Data_Dir / "Data/Bmp/Overlays";
    for (const char *name : {"heart", "keyhole", "porthole", "hexagon", "butterfly", "name"}) {
        SCOPED_TRACE(name);
        const Picture pic = Read_Bmp(folder / (std::string(name) + ".bmp"));
        ASSERT_FALSE(pic.pixels.empty());
        size_t white = 0, black = 0;
        for (uint32_t p : pic.pixels) {
            white += p == 0xFFFFFF;
            black += p == 0;
        }
        EXPECT_EQ(white + black, pic.pixels.size()) << "only the two colours may appear";
        EXPECT_GT(white, pic.pixels.size() / 20);
        EXPECT_GT(black, pic.pixels.size() / 20);
        // The frame of the picture is masked: the corners are black.
        EXPECT_EQ(pic.At(0, 0), 0u);
        EXPECT_EQ(pic.At(pic.width - 1, pic.height - 1), 0u);
    }
}

TEST(Sounds_And_Texts, ErrorSoundHelpAndAboutAreInPlace)
{
    const std::vector<uint8_t> wav = Read_All(Data_Dir / "include/Error.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(U32(wav, 4), wav.size() - 8);
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U16(wav, 20), 1u);       // PCM
    EXPECT_EQ(U16(wav, 22), 1u);       // mono
    EXPECT_EQ(U32(wav, 24), 22050u);
    EXPECT_EQ(U32(wav, 28), 44100u);   // 22050 samples of 2 bytes a second
    EXPECT_EQ(U16(wav, 34), 16u);
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    const uint32_t bytes = U32(wav, 40);
    ASSERT_EQ(44 + bytes, wav.size());
    const double seconds = bytes / 2 / 22050.0;
    EXPECT_GT(seconds, 0.3);
    EXPECT_LT(seconds, 0.4);
    int peak = 0;
    for (size_t at = 44; at + 1 < wav.size(); at += 2)
        peak = std::max(peak, std::abs(int(int16_t(U16(wav, at)))));
    EXPECT_GT(peak, 32767 / 5);     // audible
    EXPECT_LT(peak, 32767 * 9 / 10); // soft, no clipping
    EXPECT_LT(std::abs(int(int16_t(U16(wav, 44)))), 500);   // starts and ends without a click
    EXPECT_LT(std::abs(int(int16_t(U16(wav, wav.size() - 2)))), 500);

    const std::vector<uint8_t> help = Read_All(Data_Dir / "Data/Help.HLP");
    const std::string text(help.begin(), help.end());
    for (const char *needle : {"<title>Mirravane Help</title>", "/p N", "-window-id N", "-root", "Eight-Fold",
                               "Frame Convert", "Compact Objects", "Ctrl+M", "default.dat", "10136",
                               "MIRRAVANE_WINDOWS_DIR", "Data/Bmp/Overlays", "F3", "F5", "Escape"})
        EXPECT_NE(text.find(needle), std::string::npos) << needle;

    EXPECT_TRUE(fs::is_directory(Data_Dir / "Data/Frame Converter"));
}

}  // namespace
