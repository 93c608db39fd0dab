// The shipped bitmaps go through the program's own loader: glyph and object
// pixels must not turn into the transparent key at the lower depths, and the
// overlay openings must come out as the exact white the mask keys on.
#include "support/surface_fixture.h"
#include "surface/bitmap.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path Data_Dir = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";

// Top-down 0x00RRGGBB pixels of a 24-bit file, read directly.
std::vector<uint32_t> File_Pixels(const fs::path &path, int &width, int &height)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    width = int(b[18] | b[19] << 8);
    height = int(b[22] | b[23] << 8);
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t *p = &b[54 + stride * size_t(height - 1 - y) + 3 * size_t(x)];
            pixels[size_t(y) * size_t(width) + size_t(x)] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        }
    return pixels;
}

class Installed_Bitmaps : public Surface_Test {
protected:
    // Loads a shipped bitmap and counts the pixels whose transparency changed on the way.
    int Count_Key_Changes(const fs::path &path)
    {
        int file_w = 0, file_h = 0;
        const std::vector<uint32_t> expected = File_Pixels(path, file_w, file_h);
        int w = 0, h = 0;
        Surface surface = Load_SYSTEM_Bitmap(s.display, path.string().c_str(), &w, &h);
        EXPECT_NE(surface, nullptr) << path;
        if (!surface)
            return -1;
        EXPECT_EQ(std::pair(w, h), std::pair(file_w, file_h));
        int changes = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                changes += (expected[size_t(y) * size_t(w) + size_t(x)] == 0) != (Peek(surface, x, y) == 0);
        Release_Surface(&surface);
        return changes;
    }
};

TEST_F(Installed_Bitmaps, GlyphsAndObjectsKeepTheirInkAtEveryDepth)
{
    const std::vector<fs::path> files = {
        "include/fonts/gold_26.bmp", "include/fonts/dark_red_32.bmp", "include/fonts/dark_silver_32.bmp",
        "Data/Bmp/Font.bmp",         "Data/Bmp/Objects/0.bmp",        "Data/Bmp/Objects/5.bmp",
        "Data/Bmp/Objects/17.bmp",   "Data/Bmp/Objects/23.bmp",       "Data/Bmp/Objects/34.bmp"};
    for (int bpp : {15, 16, 24, 32}) {
        Open(bpp, true);
        for (const fs::path &file : files)
            EXPECT_EQ(Count_Key_Changes(Data_Dir / file), 0) << file << " at " << bpp << " bits";
        Close_Surface_Display(s.display);
    }
}

TEST_F(Installed_Bitmaps, OverlayOpeningsLoadAsFullWhite)
{
    Open(16, true);
    int w = 0, h = 0;
    const fs::path path = Data_Dir / "Data/Bmp/Overlays/hexagon.bmp";
    Surface surface = Load_SYSTEM_Bitmap(s.display, path.string().c_str(), &w, &h);
    ASSERT_NE(surface, nullptr);
    // Centre of the hexagon is open, the corner is masked: 5-6-5 white is all 16 bits set.
    EXPECT_EQ(Peek(surface, w / 2, h / 2), 0xFFFFu);
    EXPECT_EQ(Peek(surface, 0, 0), 0u);
    Release_Surface(&surface);
}

}  // namespace
