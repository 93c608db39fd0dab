// Colour conversion, pixel access, shapes, stretched copies and text on surface contexts.
#include <tuple>

#include "gdi_fixture.h"

namespace {

void Fill(DDSurface* s, uint32_t value) {
    for (int y = 0; y < s->height(); ++y)
        for (int x = 0; x < s->width(); ++x) s->Set_Pixel(x, y, value);
}

int Count(DDSurface* s, uint32_t value) {
    int n = 0;
    for (int y = 0; y < s->height(); ++y)
        for (int x = 0; x < s->width(); ++x) n += s->Pixel(x, y) == value;
    return n;
}

}  // namespace

TEST_F(Gdi_Test, ColoursConvertPerDepth) {
    DDSurface* s565 = Make_Surface(16, 4, 4, true);
    EXPECT_EQ(Colour_To_Pixel(s565, RGB(255, 255, 255)), 0xFFFFu);
    EXPECT_EQ(Colour_To_Pixel(s565, RGB(255, 0, 0)), 0xF800u);
    EXPECT_EQ(Colour_To_Pixel(s565, RGB(0, 255, 0)), 0x07E0u);
    EXPECT_EQ(Colour_To_Pixel(s565, RGB(8, 4, 8)), 0x0821u);
    EXPECT_EQ(Pixel_To_Colour(s565, 0xFFFF), RGB(255, 255, 255));
    EXPECT_EQ(Pixel_To_Colour(s565, 0x0821), RGB(8, 4, 8));
    // r = 16 -> 128 | 4, g = 32 -> 128 | 2
    EXPECT_EQ(Pixel_To_Colour(s565, 0x8410), RGB(132, 130, 132));

    DDSurface* s555 = Make_Surface(16, 4, 4, false);
    DDSurface* s15 = Make_Surface(15, 4, 4);
    for (DDSurface* s : {s555, s15}) {
        EXPECT_EQ(Colour_To_Pixel(s, RGB(255, 255, 255)), 0x7FFFu);
        EXPECT_EQ(Colour_To_Pixel(s, RGB(255, 0, 0)), 0x7C00u);
        EXPECT_EQ(Colour_To_Pixel(s, RGB(0, 0, 255)), 0x001Fu);
        EXPECT_EQ(Pixel_To_Colour(s, 0x4210), RGB(132, 132, 132));
    }

    for (int bpp : {24, 32}) {
        DDSurface* s = Make_Surface(bpp, 4, 4);
        EXPECT_EQ(Colour_To_Pixel(s, RGB(0x12, 0x34, 0x56)), 0x123456u);
        EXPECT_EQ(Pixel_To_Colour(s, 0x123456), RGB(0x12, 0x34, 0x56));
    }

    DDSurface* s8 = Make_Surface(8, 4, 4);
    // No palette: grey levels.
    EXPECT_EQ(Colour_To_Pixel(s8, RGB(255, 255, 255)), 255u);
    EXPECT_EQ(Pixel_To_Colour(s8, 128), RGB(128, 128, 128));
    DDPalette* palette = Make_Palette({{0, 0, 0, 0}, {250, 0, 0, 0}, {0, 0, 250, 0}, {10, 10, 10, 0}, {250, 0, 0, 0}});
    ASSERT_EQ(s8->SetPalette(palette), DD_OK);
    palette->Release();
    // 50^2 + 30^2 to entry 1 (and its twin 4: the first wins) against 200^2 + 30^2 to 0.
    EXPECT_EQ(Colour_To_Pixel(s8, RGB(200, 30, 0)), 1u);
    EXPECT_EQ(Colour_To_Pixel(s8, RGB(6, 6, 6)), 3u);  // 48 against 108
    EXPECT_EQ(Colour_To_Pixel(s8, RGB(5, 5, 5)), 0u);  // 75 each: the first wins
    EXPECT_EQ(Colour_To_Pixel(s8, RGB(0, 0, 255)), 2u);
    EXPECT_EQ(Pixel_To_Colour(s8, 2), RGB(0, 0, 250));
}

TEST_F(Gdi_Test, EightBitSurfacesWithoutAPaletteMeanTheDisplaysColours) {
    DDSurface* off = Make_Surface(8, 4, 1);
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS;
    desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
    DDSurface* primary = nullptr;
    ASSERT_EQ(ddraw_->CreateSurface(&desc, &primary), DD_OK);
    // Entry 0 is not black and a later entry is: black must still be the colour key.
    DDPalette* palette =
        Make_Palette({{9, 9, 9, 0}, {250, 0, 0, 0}, {0, 0, 250, 0}, {0, 0, 0, 0}, {10, 10, 10, 0}});
    ASSERT_EQ(primary->SetPalette(palette), DD_OK);

    HDC dc = nullptr;
    ASSERT_EQ(off->GetDC(&dc), DD_OK);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(200, 30, 0)), RGB(250, 0, 0));
    EXPECT_EQ(off->Pixel(0, 0), 1u);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(250, 0, 0));
    SetPixel(dc, 1, 0, RGB(0, 0, 0));
    EXPECT_EQ(off->Pixel(1, 0), 0u);
    SetPixel(dc, 2, 0, RGB(1, 1, 1));  // nearest is the black entry 3, not the key
    EXPECT_EQ(off->Pixel(2, 0), 3u);

    // The palette changes (a new plasma palette): the next colours follow it.
    PALETTEENTRY entries[256]{};
    entries[7] = PALETTEENTRY{200, 30, 0, 0};
    ASSERT_EQ(palette->SetEntries(0, 0, 256, entries), DD_OK);
    SetPixel(dc, 0, 0, RGB(200, 30, 0));
    EXPECT_EQ(off->Pixel(0, 0), 7u);
    EXPECT_EQ(off->ReleaseDC(dc), DD_OK);

    // Without any palette on the screen, grey levels as before.
    palette->Release();
    primary->Release();
    EXPECT_EQ(Display_Palette(), nullptr);
    EXPECT_EQ(Colour_To_Pixel(off, RGB(255, 255, 255)), 255u);
}

TEST_F(Gdi_Test, PixelsReadAndWriteWithinTheSurfaceOnly) {
    DDSurface* s = Make_Surface(32, 4, 3);
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    EXPECT_EQ(SetPixel(dc, 1, 2, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(s->Pixel(1, 2), 0x010203u);
    EXPECT_EQ(GetPixel(dc, 1, 2), RGB(1, 2, 3));
    const COLORREF failed = static_cast<COLORREF>(-1);
    for (POINT p : {POINT{-1, 0}, POINT{4, 0}, POINT{0, 3}, POINT{0, -1}}) {
        EXPECT_EQ(GetPixel(dc, p.x, p.y), CLR_INVALID);
        EXPECT_EQ(SetPixel(dc, p.x, p.y, 0), failed);
    }
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(nullptr, 0, 0, 0), failed);

    s->Mark_Lost();
    EXPECT_EQ(GetPixel(dc, 1, 2), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 1, 2, 0), failed);
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);

    // The nearest colour a 5-6-5 pixel holds comes back.
    DDSurface* s16 = Make_Surface(16, 2, 2);
    ASSERT_EQ(s16->GetDC(&dc), DD_OK);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(9, 9, 9)), RGB(8, 8, 8));
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(s16->Pixel(1, 1), 0xFFFFu);
    EXPECT_EQ(s16->ReleaseDC(dc), DD_OK);

    // 24 bits: three bytes, blue (the lowest byte of 0xRRGGBB) first, rows by the pitch.
    DDSurface* s24 = Make_Surface(24, 3, 2);
    ASSERT_EQ(s24->GetDC(&dc), DD_OK);
    EXPECT_EQ(SetPixel(dc, 2, 1, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
    const uint8_t* p = s24->bits() + s24->pitch() + 2 * 3;
    EXPECT_EQ(std::tuple(p[0], p[1], p[2]), std::tuple(0x56, 0x34, 0x12));
    EXPECT_EQ(s24->ReleaseDC(dc), DD_OK);

    // A locked surface refuses context access.
    DDSURFACEDESC2 desc;
    ASSERT_EQ(s16->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    HDC raw = Create_Surface_DC(s16);
    EXPECT_EQ(GetPixel(raw, 1, 1), CLR_INVALID);
    EXPECT_EQ(SetPixel(raw, 1, 1, 0), failed);
    Destroy_Surface_DC(raw);
    s16->Unlock(nullptr);
}

TEST_F(Gdi_Test, PolygonFillsAndOutlines) {
    DDSurface* s = Make_Surface(32, 8, 8);
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    // The lower-left half of a square, the diagonal included.
    const POINT triangle[] = {{0, 0}, {8, 8}, {0, 8}};
    ASSERT_TRUE(Polygon(dc, triangle, 3));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(s->Pixel(x, y), x <= y ? 0xFFFFFFu : 0u) << x << "," << y;

    // The stock black brush with the current (white) pen erases the inside only.
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    const POINT inner[] = {{0, 2}, {6, 8}, {0, 8}};
    ASSERT_TRUE(Polygon(dc, inner, 3));
    EXPECT_EQ(s->Pixel(1, 5), 0u);          // inside
    EXPECT_EQ(s->Pixel(2, 4), 0xFFFFFFu);   // on the slanted edge: the pen
    EXPECT_EQ(s->Pixel(7, 7), 0xFFFFFFu);   // outside, from the first triangle
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(SelectObject(dc, GetStockObject(BLACK_PEN))));
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_PEN)));  // stock objects survive
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);

    // A fresh context: white brush, black pen; a null pen leaves the edge to the brush.
    Fill(s, 0xFF0000);
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    const POINT corner[] = {{1, 1}, {6, 1}, {1, 6}};
    ASSERT_TRUE(Polygon(dc, corner, 3));
    EXPECT_EQ(s->Pixel(2, 2), 0xFFFFFFu);
    EXPECT_EQ(s->Pixel(1, 3), 0u);
    EXPECT_EQ(s->Pixel(7, 7), 0xFF0000u);
    SelectObject(dc, GetStockObject(NULL_PEN));
    ASSERT_TRUE(Polygon(dc, corner, 3));
    // Row 3 (centre 3.5) crosses the edges at 1 and 3.5: pixel centres 1.5 and 2.5 are in.
    EXPECT_EQ(s->Pixel(1, 3), 0xFFFFFFu);
    EXPECT_EQ(s->Pixel(2, 3), 0xFFFFFFu);
    EXPECT_EQ(s->Pixel(3, 3), 0xFF0000u);
    EXPECT_EQ(s->Pixel(4, 3), 0u);  // the first outline

    // Clipped: far outside the surface draws nothing and does not fail.
    const int white = Count(s, 0xFFFFFF);
    const POINT away[] = {{-100000, -5}, {100000, -5}, {0, -200000}};
    EXPECT_TRUE(Polygon(dc, away, 3));
    EXPECT_EQ(Count(s, 0xFFFFFF), white);
    EXPECT_FALSE(Polygon(dc, corner, 1));
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
}

TEST_F(Gdi_Test, EllipseStaysInsideItsBox) {
    DDSurface* s = Make_Surface(32, 12, 8);
    Fill(s, 0xFF0000);
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    // Box 10 x 6 at (1, 1): centre (6, 4), radii 5 and 3; black pen, white brush.
    ASSERT_TRUE(Ellipse(dc, 1, 1, 11, 7));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            if (x < 1 || x >= 11 || y < 1 || y >= 7) {
                EXPECT_EQ(s->Pixel(x, y), 0xFF0000u) << x << "," << y;
            }
        }
    // (1, 1) lies outside: ((1.5-6)/5)^2 + ((1.5-4)/3)^2 > 1. The leftmost inside pixel (1, 4),
    // (10, 3) and the top and bottom edges (bottom exclusive) are outline; the centre is brush.
    for (const auto& [x, y, expected] : {std::tuple(1, 1, 0xFF0000u), std::tuple(1, 4, 0u), std::tuple(10, 3, 0u),
                                         std::tuple(6, 4, 0xFFFFFFu), std::tuple(5, 3, 0xFFFFFFu), std::tuple(6, 1, 0u),
                                         std::tuple(6, 6, 0u)})
        EXPECT_EQ(s->Pixel(x, y), expected) << x << "," << y;

    // White pen too: the whole inside is white, symmetric left to right.
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    SelectObject(dc, pen);
    ASSERT_TRUE(Ellipse(dc, 1, 1, 11, 7));
    int inside = 0;
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 11; ++x) {
            inside += s->Pixel(x, y) == 0xFFFFFFu;
            EXPECT_EQ(s->Pixel(x, y), s->Pixel(11 - x, y)) << x << "," << y;
        }
    EXPECT_GT(inside, 40);
    EXPECT_LT(inside, 60);  // pi * 5 * 3 = 47

    // Partly off the surface: clipped, no failure.
    EXPECT_TRUE(Ellipse(dc, -4, -4, 4, 4));
    EXPECT_EQ(s->Pixel(0, 0), 0xFFFFFFu);
    EXPECT_TRUE(Ellipse(dc, 5, 5, 5, 9));  // empty box
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
    DeleteObject(pen);
}

TEST_F(Gdi_Test, StretchBltScalesAndConverts) {
    DDSurface* src = Make_Surface(32, 2, 2);
    src->Set_Pixel(0, 0, 0xFF0000);
    src->Set_Pixel(1, 0, 0x00FF00);
    src->Set_Pixel(0, 1, 0x0000FF);
    src->Set_Pixel(1, 1, 0xFFFFFF);
    DDSurface* big = Make_Surface(16, 4, 4);
    HDC sdc = nullptr, ddc = nullptr;
    ASSERT_EQ(src->GetDC(&sdc), DD_OK);
    ASSERT_EQ(big->GetDC(&ddc), DD_OK);
    ASSERT_TRUE(StretchBlt(ddc, 0, 0, 4, 4, sdc, 0, 0, 2, 2, SRCCOPY));
    const uint32_t quadrant[2][2] = {{0xF800, 0x07E0}, {0x001F, 0xFFFF}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(big->Pixel(x, y), quadrant[y / 2][x / 2]) << x << "," << y;
    EXPECT_EQ(big->ReleaseDC(ddc), DD_OK);

    // Half size takes every other pixel, starting with the first.
    DDSurface* four = Make_Surface(32, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) four->Set_Pixel(x, y, static_cast<uint32_t>((x * 16 + y * 64) << 16));
    DDSurface* half = Make_Surface(24, 2, 2);
    HDC fdc = nullptr;
    ASSERT_EQ(four->GetDC(&fdc), DD_OK);
    ASSERT_EQ(half->GetDC(&ddc), DD_OK);
    ASSERT_TRUE(StretchBlt(ddc, 0, 0, 2, 2, fdc, 0, 0, 4, 4, SRCCOPY));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(half->Pixel(x, y), static_cast<uint32_t>((x * 32 + y * 128) << 16));
    EXPECT_EQ(half->ReleaseDC(ddc), DD_OK);
    EXPECT_EQ(four->ReleaseDC(fdc), DD_OK);

    // Destination partly off the surface: only the visible part, from the right source pixels.
    DDSurface* clip = Make_Surface(32, 4, 4);
    ASSERT_EQ(clip->GetDC(&ddc), DD_OK);
    ASSERT_TRUE(StretchBlt(ddc, -2, -2, 4, 4, sdc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(clip->Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(clip->Pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(clip->Pixel(2, 2), 0u);
    EXPECT_EQ(Count(clip, 0xFFFFFF), 4);
    EXPECT_FALSE(StretchBlt(ddc, 0, 0, 4, 4, sdc, 0, 0, 2, 2, 0));  // only copies
    // A negative destination width mirrors: the rectangle is x 0..1, read right to left.
    ASSERT_TRUE(StretchBlt(ddc, 2, 3, -2, 1, sdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(clip->Pixel(0, 3), 0x00FF00u);
    EXPECT_EQ(clip->Pixel(1, 3), 0xFF0000u);
    EXPECT_EQ(clip->Pixel(2, 3), 0u);
    EXPECT_EQ(clip->ReleaseDC(ddc), DD_OK);
    EXPECT_EQ(src->ReleaseDC(sdc), DD_OK);

    // A bitmap in a memory context onto an 8-bit surface: nearest palette entries.
    Bitmap bitmap{2, 1, {0x00FF0000, 0x000000FF}};
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP previous = SelectObject(mdc, &bitmap);
    ASSERT_NE(previous, nullptr);
    DDSurface* s8 = Make_Surface(8, 4, 1);
    DDPalette* palette = Make_Palette({{0, 0, 0, 0}, {250, 0, 0, 0}, {0, 0, 250, 0}});
    ASSERT_EQ(s8->SetPalette(palette), DD_OK);
    palette->Release();
    ASSERT_EQ(s8->GetDC(&ddc), DD_OK);
    ASSERT_TRUE(StretchBlt(ddc, 0, 0, 4, 1, mdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(s8->Pixel(0, 0), 1u);
    EXPECT_EQ(s8->Pixel(1, 0), 1u);
    EXPECT_EQ(s8->Pixel(2, 0), 2u);
    EXPECT_EQ(s8->Pixel(3, 0), 2u);
    EXPECT_EQ(GetPixel(mdc, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(SelectObject(ddc, &bitmap), nullptr);  // not on a surface context
    EXPECT_EQ(s8->ReleaseDC(ddc), DD_OK);
    EXPECT_EQ(SelectObject(mdc, previous), &bitmap);
    EXPECT_TRUE(DeleteDC(mdc));
}

TEST_F(Gdi_Test, TextIsDrawnInTheTextColourOnly) {
    DDSurface* s = Make_Surface(32, 80, 24);
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    SetTextColor(dc, RGB(255, 255, 0));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    ASSERT_TRUE(TextOutA(dc, 2, 2, "Hello", 5));
    const int ink = Count(s, 0xFFFF00);
    EXPECT_GT(ink, 10);
    EXPECT_EQ(ink + Count(s, 0), 80 * 24);  // no antialiased shades
    EXPECT_EQ(s->Pixel(0, 0), 0u);
    EXPECT_EQ(s->Pixel(79, 23), 0u);

    // Opaque mode fills the background behind the glyphs.
    SetBkMode(dc, OPAQUE);
    ASSERT_TRUE(TextOutA(dc, 2, 2, "Hello", 5));
    EXPECT_GT(Count(s, 0xFFFFFF), 20);

    // Off the edges: clipped.
    EXPECT_TRUE(TextOutA(dc, -30, -5, "Hello", 5));
    EXPECT_TRUE(TextOutA(dc, 75, 20, "Hello", 5));
    EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 3));
    s->Mark_Lost();
    EXPECT_FALSE(TextOutA(dc, 0, 0, "Hello", 5));
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
}

// The per-colour copy must give exactly the pixels GetPixel, the rule and SetPixel give one by
// one, at every format, including a copy onto itself that reads pixels it has just written.
TEST_F(Gdi_Test, MapPixelsGivesWhatGetPixelAndSetPixelGive) {
    const auto rule = [](COLORREF c) -> COLORREF {
        return RGB(GetBValue(c) ^ 0x5A, (GetRValue(c) + 77) & 0xFF, GetGValue(c) / 3);
    };
    struct Format {
        int bpp;
        bool is_565;
    };
    for (const Format f : {Format{32, true}, Format{16, true}, Format{16, false}, Format{8, true}}) {
        SCOPED_TRACE(f.bpp * 10 + f.is_565);
        DDSurface* surfaces[4];
        for (DDSurface*& s : surfaces) s = Make_Surface(f.bpp, 24, 20, f.is_565);
        if (f.bpp == 8) {
            PALETTEENTRY entries[256];
            for (int i = 0; i < 256; ++i)
                entries[i] = PALETTEENTRY{static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i * 13), static_cast<uint8_t>(i * 29), 0};
            DDPalette* palette = nullptr;
            ASSERT_EQ(ddraw_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette), DD_OK);
            for (DDSurface* s : surfaces) ASSERT_EQ(s->SetPalette(palette), DD_OK);
            palette->Release();
        }
        const uint32_t mask = f.bpp == 8 ? 0xFFu : f.bpp == 16 ? 0xFFFFu : 0xFFFFFFu;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 24; ++x) {
                const uint32_t value = ((static_cast<uint32_t>(x * 40503 + y * 9973) * 2654435761u) >> 5) & mask;
                for (DDSurface* s : surfaces) s->Set_Pixel(x, y, value);
            }
        HDC dc[4];
        for (int i = 0; i < 4; ++i) ASSERT_EQ(surfaces[i]->GetDC(&dc[i]), DD_OK);
        const auto one_by_one = [&](HDC from, int sx, int sy, HDC to, int dx, int dy, int w, int h) {
            for (int i = 0; i < w; ++i)
                for (int j = 0; j < h; ++j) SetPixel(to, dx + i, dy + j, rule(GetPixel(from, sx + i, sy + j)));
        };
        const auto same = [&](DDSurface* a, DDSurface* b) {
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 24; ++x)
                    if (a->Pixel(x, y) != b->Pixel(x, y)) return ::testing::AssertionFailure() << x << "," << y;
            return ::testing::AssertionSuccess();
        };
        // Another surface, then onto itself shifted right and up (overlapping: the column
        // order reads pixels it has written, a row order would not).
        ASSERT_TRUE(Map_Pixels(dc[0], 2, 1, dc[1], 4, 3, 18, 15, rule));
        one_by_one(dc[0], 2, 1, dc[2], 4, 3, 18, 15);
        EXPECT_TRUE(same(surfaces[1], surfaces[2]));
        ASSERT_TRUE(Map_Pixels(dc[3], 0, 2, dc[3], 1, 0, 22, 17, rule));
        one_by_one(dc[0], 0, 2, dc[0], 1, 0, 22, 17);
        EXPECT_TRUE(same(surfaces[0], surfaces[3]));
        // Reaching outside either surface: refused, nothing written.
        const uint32_t before = surfaces[1]->Pixel(23, 19);
        EXPECT_FALSE(Map_Pixels(dc[2], 0, 0, dc[1], 8, 8, 16, 13, rule));
        EXPECT_FALSE(Map_Pixels(dc[2], 20, 0, dc[1], 0, 0, 5, 5, rule));
        EXPECT_EQ(surfaces[1]->Pixel(23, 19), before);
        for (int i = 0; i < 4; ++i) surfaces[i]->ReleaseDC(dc[i]);
    }
}
