// BMP files built byte by byte: every depth and encoding, and files that must be refused.
#include <climits>
#include <cstdio>
#include <fstream>

#include "gdi_fixture.h"

namespace {

std::vector<uint32_t> Decode(const std::vector<uint8_t>& file, int width, int height) {
    Bitmap bitmap;
    std::string why;
    EXPECT_TRUE(Decode_Bmp(file.data(), file.size(), bitmap, &why)) << why;
    EXPECT_EQ(bitmap.width, width);
    EXPECT_EQ(bitmap.height, height);
    return bitmap.pixels;
}

bool Refused(const std::vector<uint8_t>& file) {
    Bitmap bitmap;
    return !Decode_Bmp(file.data(), file.size(), bitmap) && bitmap.pixels.empty();
}

// Palette entries are blue, green, red, reserved.
const std::initializer_list<uint8_t> Entry_1 = {0x11, 0x22, 0x33, 0};  // 0x332211
const std::initializer_list<uint8_t> Entry_2 = {0xAA, 0xBB, 0xCC, 0};  // 0xCCBBAA
const std::initializer_list<uint8_t> Entry_3 = {0x01, 0x02, 0x03, 0};  // 0x030201

}  // namespace

TEST(Bmp_Decode, PalettedDepths) {
    // 1 bit, 3 x 2, bottom-up: bottom row 1 0 1, top row 0 1 0; rows padded to 4 bytes.
    Bmp_Writer one;
    one.Info(3, 2, 1).raw(Entry_1).raw(Entry_2).Pixels_Here().raw({0xA0, 0, 0, 0, 0x40, 0, 0, 0});
    EXPECT_EQ(Decode(one.Finish(), 3, 2),
              (std::vector<uint32_t>{0x332211, 0xCCBBAA, 0x332211, 0xCCBBAA, 0x332211, 0xCCBBAA}));

    // 4 bits with a 3-colour palette; index 15 lies past it and reads as 0.
    Bmp_Writer four;
    four.Info(4, 1, 4, 0, 3).raw(Entry_1).raw(Entry_2).raw(Entry_3).Pixels_Here().raw({0x12, 0x0F, 0, 0});
    EXPECT_EQ(Decode(four.Finish(), 4, 1), (std::vector<uint32_t>{0xCCBBAA, 0x030201, 0x332211, 0}));

    // 8 bits, top-down (negative height): the first row in the file is the top one.
    Bmp_Writer eight;
    eight.Info(2, -2, 8, 0, 2).raw(Entry_1).raw(Entry_2).Pixels_Here().raw({1, 0, 0, 0, 0, 1, 0, 0});
    EXPECT_EQ(Decode(eight.Finish(), 2, 2), (std::vector<uint32_t>{0xCCBBAA, 0x332211, 0x332211, 0xCCBBAA}));

    // The small core header: 12 bytes, 3-byte palette entries, always 2^bpp of them.
    Bmp_Writer core;
    core.raw({'B', 'M'}).u32(0).u32(0).u32(0);
    core.u32(12).u16(2).u16(1).u16(1).u16(1).raw({0x11, 0x22, 0x33, 0xAA, 0xBB, 0xCC}).Pixels_Here().raw({0x40, 0, 0, 0});
    EXPECT_EQ(Decode(core.Finish(), 2, 1), (std::vector<uint32_t>{0x332211, 0xCCBBAA}));
}

TEST(Bmp_Decode, DirectColourDepthsAndBitFields) {
    // 16 bits default to 5-5-5; a 5-bit 16 scales to (16 * 255 + 15) / 31 = 132.
    Bmp_Writer plain16;
    plain16.Info(2, 1, 16).Pixels_Here().u16(0x7C00).u16(0x4210);
    EXPECT_EQ(Decode(plain16.Finish(), 2, 1), (std::vector<uint32_t>{0xFF0000, 0x848484}));

    // 5-6-5 bit fields after the 40-byte header: r 1 -> 270 / 31 = 8, g 2 -> 541 / 63 = 8.
    Bmp_Writer fields16;
    fields16.Info(2, 1, 16, 3).u32(0xF800).u32(0x07E0).u32(0x001F).Pixels_Here().u16(0x07E0).u16(0x0841);
    EXPECT_EQ(Decode(fields16.Finish(), 2, 1), (std::vector<uint32_t>{0x00FF00, 0x080808}));

    // 24 bits, 1 x 2: rows of 3 bytes padded to 4; the last row may omit its padding.
    Bmp_Writer rgb24;
    rgb24.Info(1, 2, 24).Pixels_Here().raw({1, 2, 3, 0, 0x10, 0x20, 0x30});
    EXPECT_EQ(Decode(rgb24.Finish(), 1, 2), (std::vector<uint32_t>{0x302010, 0x030201}));

    // 32 bits: blue, green, red, unused.
    Bmp_Writer rgb32;
    rgb32.Info(1, 1, 32).Pixels_Here().raw({0x44, 0x55, 0x66, 0x77});
    EXPECT_EQ(Decode(rgb32.Finish(), 1, 1), (std::vector<uint32_t>{0x665544}));

    // A 108-byte header carrying its own masks: red in the lowest byte, blue in the third.
    Bmp_Writer v4;
    v4.raw({'B', 'M'}).u32(0).u32(0).u32(0);
    v4.u32(108).u32(1).u32(1).u16(1).u16(32).u32(3).u32(0).u32(0).u32(0).u32(0).u32(0);
    v4.u32(0x000000FF).u32(0x0000FF00).u32(0x00FF0000).u32(0xFF000000);
    for (int i = 0; i < 13; ++i) v4.u32(0);  // colour space and end points, gamma
    ASSERT_EQ(v4.bytes.size(), 14u + 108u);
    v4.Pixels_Here().raw({0x11, 0x22, 0x33, 0x00});
    EXPECT_EQ(Decode(v4.Finish(), 1, 1), (std::vector<uint32_t>{0x112233}));
}

TEST(Bmp_Decode, RunLengthEncodings) {
    // RLE8, 4 x 2 from the bottom: run of three 1s, run of one 2, end of line; then a
    // literal run 2 1 2 (padded), end of picture. The top row's last pixel is never set.
    Bmp_Writer rle8;
    rle8.Info(4, 2, 8, 1, 3).raw(Entry_1).raw(Entry_2).raw(Entry_3).Pixels_Here();
    rle8.raw({3, 1, 1, 2, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1});
    EXPECT_EQ(Decode(rle8.Finish(), 4, 2),
              (std::vector<uint32_t>{0x030201, 0xCCBBAA, 0x030201, 0, 0xCCBBAA, 0xCCBBAA, 0xCCBBAA, 0x030201}));

    // RLE4: a run alternating 1 and 2, end of line, a literal of 3 nibbles 1 2 0, end.
    Bmp_Writer rle4;
    rle4.Info(4, 2, 4, 2, 3).raw(Entry_1).raw(Entry_2).raw(Entry_3).Pixels_Here();
    rle4.raw({4, 0x12, 0, 0, 0, 3, 0x12, 0x00, 0, 1});
    EXPECT_EQ(Decode(rle4.Finish(), 4, 2),
              (std::vector<uint32_t>{0xCCBBAA, 0x030201, 0x332211, 0, 0xCCBBAA, 0x030201, 0xCCBBAA, 0x030201}));

    // A delta moves 2 right and 1 up from the bottom-left corner.
    Bmp_Writer delta;
    delta.Info(4, 2, 8, 1, 2).raw(Entry_1).raw(Entry_2).Pixels_Here();
    delta.raw({0, 2, 2, 1, 2, 1, 0, 1});
    EXPECT_EQ(Decode(delta.Finish(), 4, 2), (std::vector<uint32_t>{0, 0, 0xCCBBAA, 0xCCBBAA, 0, 0, 0, 0}));

    // Runs past the right edge, deltas past the top and data ending inside a literal
    // all stop the decoding; what was decoded stays, the rest is 0.
    for (std::initializer_list<uint8_t> body : {std::initializer_list<uint8_t>{2, 1, 5, 1, 1, 1},
                                                std::initializer_list<uint8_t>{2, 1, 0, 2, 0, 9, 1, 1},
                                                std::initializer_list<uint8_t>{2, 1, 0, 4, 1, 1}}) {
        Bmp_Writer bad;
        bad.Info(4, 2, 8, 1, 2).raw(Entry_1).raw(Entry_2).Pixels_Here().raw(body);
        EXPECT_EQ(Decode(bad.Finish(), 4, 2), (std::vector<uint32_t>{0, 0, 0, 0, 0xCCBBAA, 0xCCBBAA, 0, 0}));
    }
}

TEST(Bmp_Decode, BrokenAndAbsurdFilesAreRefused) {
    auto valid = [] {
        Bmp_Writer w;
        w.Info(2, 2, 24).Pixels_Here().raw({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
        return w.Finish();
    };
    ASSERT_FALSE(Refused(valid()));

    // Every shorter prefix misses pixel data.
    const std::vector<uint8_t> whole = valid();
    for (size_t n = 0; n + 2 < whole.size(); ++n)
        EXPECT_TRUE(Refused(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n)))) << n;

    auto patched = [&](size_t at, uint32_t value, int bytes) {
        std::vector<uint8_t> file = valid();
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return file;
    };
    EXPECT_TRUE(Refused(patched(0, 'X', 1)));                         // not "BM"
    EXPECT_TRUE(Refused(patched(14, 20, 4)));                         // unknown header size
    EXPECT_TRUE(Refused(patched(14, 4000, 4)));                       // header past the end
    EXPECT_TRUE(Refused(patched(18, 0, 4)));                          // width 0
    EXPECT_TRUE(Refused(patched(22, 0, 4)));                          // height 0
    EXPECT_TRUE(Refused(patched(18, static_cast<uint32_t>(-2), 4)));  // negative width
    EXPECT_TRUE(Refused(patched(22, static_cast<uint32_t>(INT_MIN), 4)));
    EXPECT_TRUE(Refused(patched(18, 3, 4)));                          // rows now longer than the file
    EXPECT_TRUE(Refused(patched(10, 5000, 4)));                       // pixel offset past the end
    EXPECT_TRUE(Refused(patched(28, 7, 2)));                          // 7 bits per pixel
    EXPECT_TRUE(Refused(patched(30, 1, 4)));                          // RLE8 at 24 bits
    EXPECT_TRUE(Refused(patched(30, 9, 4)));                          // unknown compression
    // 10000 x 10000 is beyond the largest picture, however small the file.
    std::vector<uint8_t> huge = patched(18, 10000, 4);
    for (int i = 0; i < 4; ++i) huge[22 + i] = static_cast<uint8_t>(10000 >> (8 * i));
    EXPECT_TRUE(Refused(huge));
    // The same for a run-length file, which has no row data to measure.
    Bmp_Writer big_rle;
    big_rle.Info(65536, 65536, 8, 1, 1).raw(Entry_1).Pixels_Here().raw({0, 1});
    EXPECT_TRUE(Refused(big_rle.Finish()));

    // A palette that runs past the end of the file.
    Bmp_Writer palette;
    palette.Info(1, 1, 8, 0, 256).raw(Entry_1).raw(Entry_2).raw({0, 0, 0, 0});
    EXPECT_TRUE(Refused(palette.Finish()));
    // Bit fields with the masks cut off.
    Bmp_Writer masks;
    masks.Info(1, 1, 16, 3).u32(0xF800);
    EXPECT_TRUE(Refused(masks.Finish()));

    Bitmap bitmap;
    EXPECT_FALSE(Decode_Bmp(nullptr, 100, bitmap));
}

TEST(Bmp_Decode, LoadImageReadsFilesAndRefusesTheRest) {
    Bmp_Writer w;
    w.Info(2, 1, 24).Pixels_Here().raw({1, 2, 3, 4, 5, 6});
    const std::string path = ::testing::TempDir() + "mirravane_gdi_load.bmp";
    {
        std::ofstream out(path, std::ios::binary);
        const std::vector<uint8_t>& bytes = w.Finish();
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    HBITMAP bitmap = LoadImageA(path.c_str(), IMAGE_BITMAP, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    int width = 0, height = 0;
    EXPECT_TRUE(GetObjectBitmapSize(bitmap, &width, &height));
    EXPECT_EQ(std::pair(width, height), std::pair(2, 1));
    EXPECT_EQ(bitmap->pixels, (std::vector<uint32_t>{0x030201, 0x060504}));
    EXPECT_TRUE(DeleteObject(bitmap));

    EXPECT_EQ(LoadImageA((path + ".missing").c_str(), IMAGE_BITMAP, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA("", IMAGE_BITMAP, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(path.c_str(), IMAGE_BITMAP, 0), nullptr);  // no resources to load from
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "BM not really";
    }
    EXPECT_EQ(LoadImageA(path.c_str(), IMAGE_BITMAP, LR_LOADFROMFILE), nullptr);
    std::remove(path.c_str());
    EXPECT_FALSE(GetObjectBitmapSize(nullptr, &width, &height));
}
