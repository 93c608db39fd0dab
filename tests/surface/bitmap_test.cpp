// Saving surfaces as 24-bit BMP files and loading bitmap files into surfaces.
#include <gtest/gtest.h>

#include "support/scratch_folder.h"
#include "support/surface_fixture.h"
#include "surface/bitmap.h"
#include "surface/display.h"

using Reports = std::vector<std::string>;

namespace {

class Bitmap_Test : public Surface_Test {
protected:
    Scratch_Folder folder;
    Surface surf = nullptr;
    void Make(int bpp, int w, int h, bool is_565 = true) {
        Release_Surface(&surf);
        Close_Surface_Display(s.display);
        Open(bpp, is_565);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &surf, w, h), 1);
    }
    // Saves `s` and returns the file's bytes.
    std::string Save(const char* name = "out.bmp") {
        EXPECT_EQ(Save_Bitmap(s.display, surf, folder.windows(name).c_str()), 1);
        return folder.read(name);
    }
    static uint8_t At(const std::string& bytes, size_t i) { return static_cast<uint8_t>(bytes.at(i)); }
    void TearDown() override {
        Release_Surface(&surf);
        Surface_Test::TearDown();
    }
};

}  // namespace

TEST_F(Bitmap_Test, HeaderAndSizeOfA640By480Save) {
    Make(32, 640, 480);
    const std::string file = Save();
    ASSERT_EQ(file.size(), 921654u);  // 54 + 3 x 640 x 480
    const uint8_t header[54] = {
        'B', 'M', 0x36, 0x10, 0x0E, 0x00, 0, 0, 0, 0, 54, 0, 0, 0,        // file header
        40, 0, 0, 0, 0x80, 0x02, 0, 0, 0xE0, 0x01, 0, 0, 1, 0, 24, 0,     // size, w, h, planes, bits
        0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x27, 0, 0, 0x10, 0x27, 0, 0,       // compression, image size, resolutions
        0, 0, 0, 0, 0, 0, 0, 0};                                          // colours
    for (size_t i = 0; i < 54; ++i) EXPECT_EQ(At(file, i), header[i]) << i;
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Bitmap_Test, PixelsAreWrittenBottomRowFirstInBlueGreenRedPerDepth) {
    // 32 and 24 bits: lowest, middle, highest byte in that order.
    for (int bpp : {32, 24}) {
        SCOPED_TRACE(bpp);
        Make(bpp, 8, 8);
        Poke(surf, 0, 7, 0x112233);
        Poke(surf, 1, 7, 0x445566);
        Poke(surf, 0, 0, 0xA0B0C0);
        Poke(surf, 7, 0, 0x010203);
        const std::string file = Save();
        ASSERT_EQ(file.size(), 54u + 192u);
        EXPECT_EQ(file.substr(54, 6), "\x33\x22\x11\x66\x55\x44");
        const size_t top = 54 + 3 * 8 * 7;  // the top row comes last
        EXPECT_EQ(file.substr(top, 3), "\xC0\xB0\xA0");
        EXPECT_EQ(file.substr(top + 21, 3), "\x03\x02\x01");
    }

    // 5-6-5: white is 248, 252, 248; each field shifted up to a byte with low bits 0.
    Make(16, 8, 8, true);
    Poke(surf, 0, 7, 0xFFFF);
    Poke(surf, 1, 7, 0xF800);
    Poke(surf, 2, 7, 0x07E0);
    Poke(surf, 3, 7, 0x0821);  // 1, 1, 1
    std::string file = Save();
    const uint8_t expected_565[12] = {248, 252, 248, 0, 0, 248, 0, 252, 0, 8, 4, 8};
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(At(file, 54 + i), expected_565[i]) << i;

    // 5-5-5 at 16 bits and at 15 bits.
    for (int bpp : {16, 15}) {
        SCOPED_TRACE(bpp);
        Make(bpp, 8, 8, false);
        Poke(surf, 0, 7, 0x7FFF);
        Poke(surf, 1, 7, 0x7C00);
        Poke(surf, 2, 7, 0x03E0);
        Poke(surf, 3, 7, 0x0421);  // 1, 1, 1
        file = Save();
        const uint8_t expected_555[12] = {248, 248, 248, 0, 0, 248, 0, 248, 0, 8, 8, 8};
        for (size_t i = 0; i < 12; ++i) EXPECT_EQ(At(file, 54 + i), expected_555[i]) << i;
    }

    // 8 bits: through the palette of the front surface.
    Make(8, 8, 8);
    Surface front = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &front, 8, 8), 1);
    PALETTEENTRY entries[256];
    entries[5].peRed = 10;
    entries[5].peGreen = 20;
    entries[5].peBlue = 30;
    DDPalette* palette = nullptr;
    ASSERT_EQ(s.display.Direct_Draw_Interface->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette), DD_OK);
    ASSERT_EQ(front->SetPalette(palette), DD_OK);
    palette->Release();
    s.display.Visible = front;
    Poke(surf, 0, 7, 5);
    file = Save();
    EXPECT_EQ(file.substr(54, 4), std::string("\x1E\x14\x0A\x00", 4));
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Bitmap_Test, RefusalsAndFailedSaves) {
    Make(32, 100, 64);
    const std::string name = folder.windows("refused.bmp");
    EXPECT_EQ(Save_Bitmap(s.display, surf, name.c_str()), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Save_Bitmap():Width (100) and Height (64) Must be a multiple of 8"});
    EXPECT_EQ(File_Exists(name.c_str()), 0);

    EXPECT_EQ(Save_Bitmap(s.display, surf, nullptr), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Surface - Invalid filename passed to Save_Bitmap\n"});
    EXPECT_EQ(Save_Bitmap(s.display, nullptr, name.c_str()), 0);
    EXPECT_TRUE(Take_Reports().empty());

    Make(32, 8, 8);
    const std::string nowhere = folder.windows("missing\\folder\\x.bmp");
    EXPECT_EQ(Save_Bitmap(s.display, surf, nowhere.c_str()), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Surface - Could not open output file for Bitmap: " + nowhere + "\n"});

    surf->Mark_Lost();
    EXPECT_EQ(Save_Bitmap(s.display, surf, name.c_str()), 0);
    EXPECT_EQ(Take_Reports(),
              (Reports{" Grab_Surface_Dimensions(): Surface LOST", "Save_Bitmap():Grab_Surface_Dimensions FAILED"}));
    surf->Restore();

    // A lock failure after the headers: reported twice and not taken for success.
    Inject_DD_Fault(DD_Call::Lock, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Save_Bitmap(s.display, surf, name.c_str()), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Lock_Surface():DDERR_OUTOFMEMORY", "SaveBMPToFile():Unable to Lock Surface",
                                       "Save_Bitmap():An error occurred saving " + name}));
    EXPECT_EQ(folder.read("refused.bmp").size(), 54u);

    // 8 bits without a front surface, and with one that has no palette.
    Make(8, 8, 8);
    EXPECT_EQ(Save_Bitmap(s.display, surf, name.c_str()), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"SaveBMPToFile():No Front Buffer for 8-bit BMP save\n",
                                       "Save_Bitmap():An error occurred saving " + name}));
    EXPECT_EQ(folder.read("refused.bmp").size(), 54u);
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &s.display.Visible, 8, 8), 1);
    EXPECT_EQ(Save_Bitmap(s.display, surf, name.c_str()), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"SaveBMPToFile():Surface - Couldn't get palette for 8-bit Bitmap Save\n",
                                       "Save_Bitmap():An error occurred saving " + name}));

    // A full disk while writing the pixels.
    Make(32, 8, 8);
    Set_Disk_Space_Limit(100);
    EXPECT_EQ(Save_Bitmap(s.display, surf, name.c_str()), 0);
    Set_Disk_Space_Limit(-1);
    EXPECT_EQ(Take_Reports(), Reports{"Save_Bitmap():An error occurred saving " + name});
}

TEST_F(Bitmap_Test, LoadingAndFileExistence) {
    Make(32, 8, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x) Poke(surf, x, y, static_cast<uint32_t>((x * 30) << 16 | (y * 15) << 8 | 7));
    const std::string name = folder.windows("Picture.BMP");
    ASSERT_EQ(Save_Bitmap(s.display, surf, name.c_str()), 1);
    EXPECT_EQ(File_Exists(name.c_str()), 1);
    EXPECT_EQ(File_Exists(folder.windows("picture.bmp").c_str()), 1);  // names are matched without case
    EXPECT_EQ(File_Exists(folder.windows("absent.bmp").c_str()), 0);

    int w = 0, h = 0;
    Surface loaded = Load_Bitmap(s.display, name.c_str(), &w, &h);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(std::pair(w, h), std::pair(8, 16));
    EXPECT_TRUE(loaded->in_video_memory());
    EXPECT_EQ(loaded->color_key(), 0u);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(Peek(loaded, x, y), Peek(surf, x, y)) << x << "," << y;
    Release_Surface(&loaded);
    loaded = Load_SYSTEM_Bitmap(s.display, name.c_str(), &w, &h);
    ASSERT_NE(loaded, nullptr);
    EXPECT_FALSE(loaded->in_video_memory());
    EXPECT_EQ(Peek(loaded, 7, 15), Peek(surf, 7, 15));
    Release_Surface(&loaded);
    EXPECT_TRUE(Take_Reports().empty());

    EXPECT_EQ(Load_Bitmap(s.display, "", &w, &h), nullptr);
    EXPECT_EQ(Take_Reports(), Reports{"Load_Bitmap():BAD FILENAME ERROR"});
    EXPECT_EQ(Load_SYSTEM_Bitmap(s.display, "", &w, &h), nullptr);
    EXPECT_EQ(Take_Reports(), Reports{"Load_SYSTEM_Bitmap():\nCould not load "});
    const std::string absent = folder.windows("absent.bmp");
    EXPECT_EQ(Load_Bitmap(s.display, absent.c_str(), &w, &h), nullptr);
    EXPECT_EQ(Take_Reports(), Reports{"Load_Bitmap():\nCould not load " + absent});

    Inject_DD_Fault(DD_Call::CreateSurface, DDERR_INVALIDPARAMS);
    EXPECT_EQ(Load_Bitmap(s.display, name.c_str(), &w, &h), nullptr);
    EXPECT_EQ(Take_Reports(), (Reports{"Create_Surface()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed "
                                       "to the method are incorrect.",
                                       "Load_Bitmap():Unable to create destination surface"}));
    Inject_DD_Fault(DD_Call::CreateSurface, DDERR_INVALIDPARAMS);
    EXPECT_EQ(Load_SYSTEM_Bitmap(s.display, name.c_str(), &w, &h), nullptr);
    EXPECT_EQ(Take_Reports().back(), "Load_SYSTEM_Bitmap():Unable to create destination surface");

    // A copy asked for with nothing to copy; and a part of a bitmap stretched over a surface.
    EXPECT_EQ(Copy_Bitmap_To_Surface(nullptr, nullptr, 0, 0, 0, 0), DDERR_GENERIC);
    HBITMAP bitmap = LoadImageA(name.c_str(), IMAGE_BITMAP, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    Surface part = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &part, 4, 4), 1);
    EXPECT_EQ(Copy_Bitmap_To_Surface(part, bitmap, 2, 4, 2, 2), DD_OK);
    EXPECT_EQ(Peek(part, 0, 0), Peek(surf, 2, 4));
    EXPECT_EQ(Peek(part, 1, 1), Peek(surf, 2, 4));
    EXPECT_EQ(Peek(part, 3, 3), Peek(surf, 3, 5));
    Inject_DD_Fault(DD_Call::GetDC, DDERR_CANTCREATEDC);
    EXPECT_EQ(Copy_Bitmap_To_Surface(part, bitmap, 0, 0, 0, 0), DDERR_CANTCREATEDC);
    Delete_Bitmap(bitmap);
    Release_Surface(&part);
}
