// Device contexts on display surfaces and on loaded bitmaps, in the shape of GDI:
// per-pixel access with 0x00BBGGRR colours converted to the surface's format, filled
// shapes, text, stretched copies, and bitmap files decoded into memory bitmaps.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/windows/wintypes.h"

class DDSurface;

// A decoded bitmap: 32-bit pixels 0x00RRGGBB, top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
using HBITMAP = Bitmap*;

struct Gdi_Object;  // pens, brushes (and bitmaps selected into memory contexts)
using HGDIOBJ = Gdi_Object*;
using HBRUSH = Gdi_Object*;
using HPEN = Gdi_Object*;

// A device context draws either on a display surface or on a memory bitmap.
struct Device_Context {
    DDSurface* surface = nullptr;  // surface contexts
    HBITMAP bitmap = nullptr;      // memory contexts with a bitmap selected
    bool memory = false;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    COLORREF text_colour = 0;
    int background_mode = 2;       // OPAQUE
    COLORREF background_colour = 0x00FFFFFF;
};

// Called by DDSurface::GetDC / ReleaseDC.
HDC Create_Surface_DC(DDSurface* surface);
void Destroy_Surface_DC(HDC dc);

COLORREF GetPixel(HDC dc, int x, int y);           // CLR_INVALID outside the surface
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);  // -1 (as COLORREF) on failure
// Pixel value of a GDI colour in a surface's format (nearest palette entry at 8 bits),
// and the GDI colour of a pixel value.
uint32_t Colour_To_Pixel(const DDSurface* surface, COLORREF colour);
COLORREF Pixel_To_Colour(const DDSurface* surface, uint32_t pixel);
// Copies a rectangle from one surface context into another through a colour rule: the same
// pixels as GetPixel, rule and SetPixel pixel by pixel (column by column, which matters only
// when the rectangles overlap on one surface), but the rule and the colour conversions run
// once per distinct pixel value. False, with nothing written, when either context has no
// usable surface or the rectangle does not lie inside both.
bool Map_Pixels(HDC source, int sx, int sy, HDC dest, int dx, int dy, int width, int height,
                const std::function<COLORREF(COLORREF)>& rule);

constexpr int PS_SOLID = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_PEN = 7;
constexpr int WHITE_PEN = 6;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int NULL_PEN = 8;
constexpr int PS_NULL = 5;
HBRUSH CreateSolidBrush(COLORREF colour);
HPEN CreatePen(int style, int width, COLORREF colour);
HGDIOBJ GetStockObject(int which);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
bool DeleteObject(HGDIOBJ object);
// Bitmaps are selected into memory contexts only; the previous bitmap comes back (a
// fresh memory context holds a 1 x 1 stock bitmap), nullptr on a surface context.
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
bool DeleteObject(HBITMAP bitmap);  // same as Delete_Bitmap

// Filled shapes outlined with the current pen, without antialiasing.
bool Polygon(HDC dc, const POINT* points, int count);
bool Ellipse(HDC dc, int left, int top, int right, int bottom);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF colour);
// Text in the platform's default font, not antialiased, top-left corner at (x, y).
bool TextOutA(HDC dc, int x, int y, const char* text, int length);

constexpr uint32_t SRCCOPY = 0x00CC0020;
bool StretchBlt(HDC dest, int dx, int dy, int dw, int dh, HDC source, int sx, int sy, int sw, int sh,
                uint32_t rop);

HDC CreateCompatibleDC(HDC dc);
bool DeleteDC(HDC dc);

// Bitmap files. Every BMP variant a user may drop in: 1/4/8/16/24/32 bits, RLE4/RLE8,
// bit fields, top-down and bottom-up. Absurd sizes, truncated bodies and broken headers
// are refused (nullptr), never read past.
constexpr uint32_t IMAGE_BITMAP = 0;
constexpr uint32_t LR_LOADFROMFILE = 0x10;
constexpr uint32_t LR_CREATEDIBSECTION = 0x2000;
HBITMAP LoadImageA(const char* name, uint32_t type, uint32_t flags);
bool Decode_Bmp(const uint8_t* data, size_t size, Bitmap& out, std::string* why = nullptr);
// Largest picture the loader accepts (pixels); bigger headers are refused.
constexpr int64_t Bmp_Max_Pixels = 64LL * 1024 * 1024;
// The picture size a bitmap's header claims (height made positive), read without decoding
// the pixels; false when the header is not one the decoder reads.
bool Read_Bmp_Size(const uint8_t* data, size_t size, int64_t* width, int64_t* height);
bool Read_Bmp_File_Size(const char* name, int64_t* width, int64_t* height);
bool GetObjectBitmapSize(HBITMAP bitmap, int* width, int* height);
void Delete_Bitmap(HBITMAP bitmap);
