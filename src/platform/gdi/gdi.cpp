// Device contexts on display surfaces and memory bitmaps: colour conversion, pixels,
// pens and brushes, filled shapes, stretched copies and bitmap loading.
#include "platform/gdi/gdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "platform/display/ddraw.h"
#include "platform/system/system.h"

struct Gdi_Object {
    enum Kind { Pen, Brush } kind = Brush;
    COLORREF colour = 0;
    int width = 0;
    bool null = false;   // draws nothing (NULL_PEN, NULL_BRUSH, PS_NULL)
    bool stock = false;  // never deleted
};

namespace {

Gdi_Object Stock_White_Brush{Gdi_Object::Brush, 0x00FFFFFF, 0, false, true};
Gdi_Object Stock_Black_Brush{Gdi_Object::Brush, 0x00000000, 0, false, true};
Gdi_Object Stock_Null_Brush{Gdi_Object::Brush, 0, 0, true, true};
Gdi_Object Stock_White_Pen{Gdi_Object::Pen, 0x00FFFFFF, 0, false, true};
Gdi_Object Stock_Black_Pen{Gdi_Object::Pen, 0x00000000, 0, false, true};
Gdi_Object Stock_Null_Pen{Gdi_Object::Pen, 0, 0, true, true};

// What a fresh memory context holds before a bitmap is selected into it.
Bitmap Stock_Bitmap{1, 1, {0u}};

bool Surface_Usable(const DDSurface* surface) {
    return surface && !surface->is_locked() && surface->IsLost() == DD_OK;
}

uint8_t Grey_Of(COLORREF c) {
    return static_cast<uint8_t>((GetRValue(c) * 299u + GetGValue(c) * 587u + GetBValue(c) * 114u) / 1000u);
}

// The palette an 8-bit surface's pixels mean: its own, else the display's. Off-screen
// surfaces carry none, and GDI maps their colours through the display palette.
const DDPalette* Palette_Of(const DDSurface* surface) {
    return surface->palette() ? surface->palette() : Display_Palette();
}

// Nearest entries of one palette, with a direct-mapped cache so that stretching a picture
// or turning the hues of an object does not search the palette for every pixel. The cache
// starts again whenever another palette, or a changed one, is asked for.
class Palette_Lookup {
public:
    uint32_t Index(const DDPalette* palette, COLORREF colour) {
        colour &= 0x00FFFFFF;
        // Black is the colour key of every surface: it stays empty whatever entry 0 holds.
        if (colour == 0) return 0;
        if (!palette) return Grey_Of(colour);
        if (palette != palette_ || palette->generation() != generation_) Reset(palette);
        const uint32_t slot = ((colour * 2654435761u) >> 20) & (Size - 1);
        if (keys_[slot] != colour) {
            keys_[slot] = colour;
            values_[slot] = Nearest(colour);
        }
        return values_[slot];
    }

private:
    static constexpr int Size = 4096;

    void Reset(const DDPalette* palette) {
        palette_ = palette;
        generation_ = palette->generation();
        const PALETTEENTRY* entries = palette->entries();
        for (int i = 0; i < 256; ++i) {
            red_[i] = entries[i].peRed;
            green_[i] = entries[i].peGreen;
            blue_[i] = entries[i].peBlue;
        }
        std::fill(std::begin(keys_), std::end(keys_), 0xFFFFFFFFu);
    }
    // Squared RGB distance; the first of equally near entries wins.
    uint8_t Nearest(COLORREF colour) const {
        const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
        int distance[256];
        int smallest = 1 << 30;
        for (int i = 0; i < 256; ++i) {
            const int dr = red_[i] - r, dg = green_[i] - g, db = blue_[i] - b;
            distance[i] = dr * dr + dg * dg + db * db;
            smallest = std::min(smallest, distance[i]);
        }
        int best = 0;
        while (distance[best] != smallest) ++best;
        return static_cast<uint8_t>(best);
    }

    const DDPalette* palette_ = nullptr;
    uint64_t generation_ = 0;
    int red_[256] = {}, green_[256] = {}, blue_[256] = {};
    uint32_t keys_[Size] = {};
    uint8_t values_[Size] = {};
};

Palette_Lookup& Lookup() {
    static Palette_Lookup lookup;
    return lookup;
}

// Where shapes and single pixels land: a surface or a memory context's bitmap.
struct Canvas {
    DDSurface* surface = nullptr;
    Bitmap* bitmap = nullptr;
    int width = 0, height = 0;

    uint32_t Value(COLORREF c) const {
        if (surface) return Colour_To_Pixel(surface, c);
        return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
    }
    void Put(int x, int y, uint32_t value) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        if (surface)
            surface->Set_Pixel(x, y, value);
        else
            bitmap->pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = value;
    }
    void Span(int y, int x0, int x1, uint32_t value) {  // x0..x1-1
        if (y < 0 || y >= height) return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, width);
        for (int x = x0; x < x1; ++x) Put(x, y, value);
    }
};

bool Canvas_Of(HDC dc, Canvas& canvas) {
    if (!dc) return false;
    if (dc->surface) {
        if (!Surface_Usable(dc->surface)) return false;
        canvas.surface = dc->surface;
        canvas.width = dc->surface->width();
        canvas.height = dc->surface->height();
        return true;
    }
    if (dc->memory && dc->bitmap) {
        canvas.bitmap = dc->bitmap;
        canvas.width = dc->bitmap->width;
        canvas.height = dc->bitmap->height;
        return true;
    }
    return false;
}

// A pen stroke is a square of the pen's width (1 pixel for width 0 or 1).
void Plot_Pen(Canvas& canvas, int x, int y, int pen_width, uint32_t value) {
    if (pen_width <= 1) {
        canvas.Put(x, y, value);
        return;
    }
    int half = pen_width / 2;
    for (int j = 0; j < pen_width; ++j) canvas.Span(y - half + j, x - half, x - half + pen_width, value);
}

// Bresenham line including both end points.
void Draw_Line(Canvas& canvas, POINT a, POINT b, int pen_width, uint32_t value) {
    int64_t x = a.x, y = a.y;
    const int64_t dx = std::llabs(static_cast<int64_t>(b.x) - a.x), sx = a.x < b.x ? 1 : -1;
    const int64_t dy = -std::llabs(static_cast<int64_t>(b.y) - a.y), sy = a.y < b.y ? 1 : -1;
    int64_t error = dx + dy;
    const int64_t margin = pen_width + 1;
    for (;;) {
        // Points far outside the canvas draw nothing; skip them cheaply.
        if (x >= -margin && y >= -margin && x < canvas.width + margin && y < canvas.height + margin)
            Plot_Pen(canvas, static_cast<int>(x), static_cast<int>(y), pen_width, value);
        if (x == b.x && y == b.y) break;
        int64_t e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    }
}

}  // namespace

// ---- contexts ------------------------------------------------------------------------------

HDC Create_Surface_DC(DDSurface* surface) {
    HDC dc = new Device_Context;
    dc->surface = surface;
    dc->pen = &Stock_Black_Pen;
    dc->brush = &Stock_White_Brush;
    return dc;
}

void Destroy_Surface_DC(HDC dc) {
    if (dc && !dc->memory) delete dc;
}

HDC CreateCompatibleDC(HDC) {
    HDC dc = new Device_Context;
    dc->memory = true;
    dc->bitmap = &Stock_Bitmap;
    dc->pen = &Stock_Black_Pen;
    dc->brush = &Stock_White_Brush;
    return dc;
}

bool DeleteDC(HDC dc) {
    if (!dc || !dc->memory) return false;
    delete dc;
    return true;
}

// ---- colours and pixels ---------------------------------------------------------------------

namespace {
template <Pixel_Kind K>
inline uint32_t Pack_Colour(COLORREF c) {
    return Pack_RGB<K>(GetRValue(c), GetGValue(c), GetBValue(c));
}
template <Pixel_Kind K>
inline COLORREF Unpack_Colour(uint32_t p) {
    return RGB(static_cast<uint8_t>(Red_Of<K>(p)), static_cast<uint8_t>(Green_Of<K>(p)), static_cast<uint8_t>(Blue_Of<K>(p)));
}
}  // namespace

uint32_t Colour_To_Pixel(const DDSurface* surface, COLORREF colour) {
    switch (surface->pixel_format().kind) {
    case Pixel_Kind::Index8: return Lookup().Index(Palette_Of(surface), colour);
    case Pixel_Kind::Rgb555: return Pack_Colour<Pixel_Kind::Rgb555>(colour);
    case Pixel_Kind::Rgb565: return Pack_Colour<Pixel_Kind::Rgb565>(colour);
    default: return Pack_Colour<Pixel_Kind::Rgb32>(colour);
    }
}

COLORREF Pixel_To_Colour(const DDSurface* surface, uint32_t pixel) {
    switch (surface->pixel_format().kind) {
    case Pixel_Kind::Index8: {
        const DDPalette* palette = Palette_Of(surface);
        uint8_t i = static_cast<uint8_t>(pixel);
        if (!palette) return RGB(i, i, i);
        const PALETTEENTRY* entries = palette->entries();
        return RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
    }
    case Pixel_Kind::Rgb555: return Unpack_Colour<Pixel_Kind::Rgb555>(pixel);
    case Pixel_Kind::Rgb565: return Unpack_Colour<Pixel_Kind::Rgb565>(pixel);
    default: return Unpack_Colour<Pixel_Kind::Rgb32>(pixel);
    }
}

namespace {
COLORREF Bitmap_Colour(uint32_t rgb) {
    return RGB(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb));
}
}  // namespace

COLORREF GetPixel(HDC dc, int x, int y) {
    Canvas canvas;
    if (!Canvas_Of(dc, canvas)) return CLR_INVALID;
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return CLR_INVALID;
    if (canvas.surface) return Pixel_To_Colour(canvas.surface, canvas.surface->Pixel(x, y));
    return Bitmap_Colour(canvas.bitmap->pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width) +
                                               static_cast<size_t>(x)]);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
    const COLORREF failed = static_cast<COLORREF>(-1);
    Canvas canvas;
    if (!Canvas_Of(dc, canvas)) return failed;
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return failed;
    colour &= 0x00FFFFFF;
    uint32_t value = canvas.Value(colour);
    canvas.Put(x, y, value);
    // The colour actually set (the nearest one the surface can hold).
    return canvas.surface ? Pixel_To_Colour(canvas.surface, value) : colour;
}

bool Map_Pixels(HDC source, int sx, int sy, HDC dest, int dx, int dy, int width, int height,
                const std::function<COLORREF(COLORREF)>& rule) {
    Canvas from, to;
    if (!Canvas_Of(source, from) || !Canvas_Of(dest, to) || !from.surface || !to.surface) return false;
    const auto inside = [width, height](const Canvas& c, int x, int y) {
        return x >= 0 && y >= 0 && width >= 0 && height >= 0 && width <= c.width - x && height <= c.height - y;
    };
    if (!inside(from, sx, sy) || !inside(to, dx, dy)) return false;
    DDSurface* in = from.surface;
    DDSurface* out = to.surface;

    // Within one call a pixel value always becomes the same value: a direct-mapped cache
    // (objects hold a few thousand colours at most). Keys are value + 1, so 0 is empty.
    constexpr uint32_t slots = 4096;
    std::vector<uint64_t> keys(slots, 0);
    std::vector<uint32_t> values(slots);
    const auto map = [&](uint32_t pixel) {
        const uint32_t slot = (pixel * 2654435761u) >> 20;
        if (keys[slot] != pixel + uint64_t{1}) {
            keys[slot] = pixel + uint64_t{1};
            values[slot] = Colour_To_Pixel(out, rule(Pixel_To_Colour(in, pixel)) & 0x00FFFFFF);
        }
        return values[slot];
    };
    const bool overlap = in == out && sx < dx + width && dx < sx + width && sy < dy + height && dy < sy + height;
    if (overlap) {
        // A pixel written may be read again later: keep GetPixel's column order.
        for (int i = 0; i < width; ++i)
            for (int j = 0; j < height; ++j) out->Set_Pixel(dx + i, dy + j, map(in->Pixel(sx + i, sy + j)));
    } else {
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i) out->Set_Pixel(dx + i, dy + j, map(in->Pixel(sx + i, sy + j)));
    }
    return true;
}

// ---- pens and brushes -------------------------------------------------------------------------

HBRUSH CreateSolidBrush(COLORREF colour) {
    return new Gdi_Object{Gdi_Object::Brush, colour & 0x00FFFFFF, 0, false, false};
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    return new Gdi_Object{Gdi_Object::Pen, colour & 0x00FFFFFF, std::max(width, 0), style == PS_NULL, false};
}

HGDIOBJ GetStockObject(int which) {
    switch (which) {
    case WHITE_BRUSH: return &Stock_White_Brush;
    case BLACK_BRUSH: return &Stock_Black_Brush;
    case NULL_BRUSH: return &Stock_Null_Brush;
    case WHITE_PEN: return &Stock_White_Pen;
    case BLACK_PEN: return &Stock_Black_Pen;
    case NULL_PEN: return &Stock_Null_Pen;
    default: return nullptr;
    }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !object) return nullptr;
    HGDIOBJ previous = nullptr;
    if (object->kind == Gdi_Object::Pen) {
        previous = dc->pen;
        dc->pen = object;
    } else {
        previous = dc->brush;
        dc->brush = object;
    }
    return previous;
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
    if (!dc || !dc->memory || !bitmap) return nullptr;
    HBITMAP previous = dc->bitmap;
    dc->bitmap = bitmap;
    return previous;
}

bool DeleteObject(HGDIOBJ object) {
    if (!object) return false;
    if (!object->stock) delete object;
    return true;
}

bool DeleteObject(HBITMAP bitmap) {
    if (!bitmap) return false;
    Delete_Bitmap(bitmap);
    return true;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->text_colour;
    dc->text_colour = colour & 0x00FFFFFF;
    return previous;
}

int SetBkMode(HDC dc, int mode) {
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->background_mode;
    dc->background_mode = mode;
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->background_colour;
    dc->background_colour = colour & 0x00FFFFFF;
    return previous;
}

// ---- shapes -------------------------------------------------------------------------------------

bool Polygon(HDC dc, const POINT* points, int count) {
    Canvas canvas;
    if (!points || count < 2 || !Canvas_Of(dc, canvas)) return false;

    const Gdi_Object* brush = dc->brush;
    if (brush && !brush->null && count >= 3) {
        // Even-odd fill of the pixels whose centres lie inside the outline.
        const uint32_t value = canvas.Value(brush->colour);
        int64_t top = points[0].y, bottom = points[0].y;
        for (int i = 1; i < count; ++i) {
            top = std::min<int64_t>(top, points[i].y);
            bottom = std::max<int64_t>(bottom, points[i].y);
        }
        const int y0 = static_cast<int>(std::max<int64_t>(top, 0));
        const int y1 = static_cast<int>(std::min<int64_t>(bottom, canvas.height));
        // The shapes drawn every frame are triangles: their crossings fit on the stack.
        double small[16];
        std::vector<double> large;
        double* crossings = small;
        if (count > 16) {
            large.resize(static_cast<size_t>(count));
            crossings = large.data();
        }
        for (int y = y0; y < y1; ++y) {
            const double cy = y + 0.5;
            int found = 0;
            for (int i = 0; i < count; ++i) {
                const POINT& a = points[i];
                const POINT& b = points[(i + 1) % count];
                if ((a.y <= cy) == (b.y <= cy)) continue;
                crossings[found++] = a.x + (cy - a.y) * (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
            }
            std::sort(crossings, crossings + found);
            for (int k = 0; k + 1 < found; k += 2) {
                // Pixel x is inside when its centre x + 0.5 lies in [left, right).
                const double left = std::ceil(crossings[k] - 0.5), right = std::ceil(crossings[k + 1] - 0.5);
                const double x0 = std::clamp(left, -1.0, static_cast<double>(canvas.width));
                const double x1 = std::clamp(right, -1.0, static_cast<double>(canvas.width));
                canvas.Span(y, static_cast<int>(x0), static_cast<int>(x1), value);
            }
        }
    }

    const Gdi_Object* pen = dc->pen;
    if (pen && !pen->null) {
        const uint32_t value = canvas.Value(pen->colour);
        for (int i = 0; i < count; ++i) Draw_Line(canvas, points[i], points[(i + 1) % count], pen->width, value);
    }
    return true;
}

bool Ellipse(HDC dc, int left, int top, int right, int bottom) {
    Canvas canvas;
    if (!Canvas_Of(dc, canvas)) return false;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return true;

    const double cx = (static_cast<double>(left) + right) / 2, cy = (static_cast<double>(top) + bottom) / 2;
    const double a = (static_cast<double>(right) - left) / 2, b = (static_cast<double>(bottom) - top) / 2;
    const Gdi_Object* pen = dc->pen && !dc->pen->null ? dc->pen : nullptr;
    const Gdi_Object* brush = dc->brush && !dc->brush->null ? dc->brush : nullptr;
    const int pen_width = pen ? std::max(pen->width, 1) : 0;
    const double ia = a - pen_width, ib = b - pen_width;

    // A pixel belongs to the ellipse when its centre is inside; it is outline when it is
    // inside but a neighbour (or, for wide pens, the shrunken ellipse) is not.
    auto inside = [&](int x, int y) {
        const double u = (x + 0.5 - cx) / a, v = (y + 0.5 - cy) / b;
        return u * u + v * v <= 1.0;
    };
    auto inside_inner = [&](int x, int y) {
        if (ia <= 0 || ib <= 0) return false;
        const double u = (x + 0.5 - cx) / ia, v = (y + 0.5 - cy) / ib;
        return u * u + v * v <= 1.0;
    };
    const uint32_t pen_value = pen ? canvas.Value(pen->colour) : 0;
    const uint32_t brush_value = brush ? canvas.Value(brush->colour) : 0;

    const int x0 = std::max(left, 0), x1 = std::min(right, canvas.width);
    const int y0 = std::max(top, 0), y1 = std::min(bottom, canvas.height);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!inside(x, y)) continue;
            bool outline = false;
            if (pen_width == 1)
                outline = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            else if (pen_width > 1)
                outline = !inside_inner(x, y);
            if (outline)
                canvas.Put(x, y, pen_value);
            else if (brush)
                canvas.Put(x, y, brush_value);
        }
    }
    return true;
}

// ---- stretched copies ----------------------------------------------------------------------------

namespace {

struct Source_View {
    Pixel_Kind format;
    const uint8_t* bits;
    size_t pitch;
    int width, height;
    COLORREF index_colours[256];
};

// A memory bitmap's words are 0x00RRGGBB, read like a 32-bit surface's pixels.
template <Pixel_Kind F>
inline COLORREF Read_Colour(const Source_View& s, const uint8_t* row, int x) {
    if constexpr (F == Pixel_Kind::Index8)
        return s.index_colours[row[x]];
    else
        return Unpack_Colour<F>(Load_Pixel<F>(row + Pixel_Layout<F>::bytes * x));
}

template <Pixel_Kind D>
inline void Write_Colour(uint8_t* row, int x, COLORREF c, const DDPalette* palette) {
    if constexpr (D == Pixel_Kind::Index8)
        row[x] = static_cast<uint8_t>(Lookup().Index(palette, c));
    else
        Store_Pixel<D>(row + Pixel_Layout<D>::bytes * x, Pack_Colour<D>(c));
}

struct Stretch {
    int dx, dy, dw, dh;       // destination rectangle (positive sizes)
    int sx, sy, sw, sh;       // source rectangle (positive sizes)
    bool mirror_x, mirror_y;
    int clip_x0, clip_x1, clip_y0, clip_y1;  // destination pixels written
};

// Nearest pixel: destination column i of the rectangle takes source column sx + i*sw/dw.
template <Pixel_Kind S, Pixel_Kind D>
void Stretch_Rows(const Source_View& src, uint8_t* dest_bits, size_t dest_pitch, const Stretch& st,
                  const DDPalette* palette) {
    for (int y = st.clip_y0; y < st.clip_y1; ++y) {
        int j = y - st.dy;
        if (st.mirror_y) j = st.dh - 1 - j;
        const int64_t syy = st.sy + static_cast<int64_t>(j) * st.sh / st.dh;
        if (syy < 0 || syy >= src.height) continue;
        const uint8_t* srow = src.bits + static_cast<size_t>(syy) * src.pitch;
        uint8_t* drow = dest_bits + static_cast<size_t>(y) * dest_pitch;
        for (int x = st.clip_x0; x < st.clip_x1; ++x) {
            int i = x - st.dx;
            if (st.mirror_x) i = st.dw - 1 - i;
            const int64_t sxx = st.sx + static_cast<int64_t>(i) * st.sw / st.dw;
            if (sxx < 0 || sxx >= src.width) continue;
            Write_Colour<D>(drow, x, Read_Colour<S>(src, srow, static_cast<int>(sxx)), palette);
        }
    }
}

template <Pixel_Kind S>
void Stretch_To(Pixel_Kind dest, const Source_View& src, uint8_t* bits, size_t pitch, const Stretch& st,
                const DDPalette* palette) {
    switch (dest) {
    case Pixel_Kind::Index8: Stretch_Rows<S, Pixel_Kind::Index8>(src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb555: Stretch_Rows<S, Pixel_Kind::Rgb555>(src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb565: Stretch_Rows<S, Pixel_Kind::Rgb565>(src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb24: Stretch_Rows<S, Pixel_Kind::Rgb24>(src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb32: Stretch_Rows<S, Pixel_Kind::Rgb32>(src, bits, pitch, st, palette); break;
    }
}

}  // namespace

// Stretched copies into a memory bitmap (dialog pictures): small, so one pixel at a time.
static bool Stretch_Into_Bitmap(Bitmap* target, int dx, int dy, int dw, int dh, HDC source, int sx, int sy, int sw,
                                int sh) {
    if (dw <= 0 || dh <= 0) return dw == 0 || dh == 0;
    if (sw <= 0 || sh <= 0) return false;
    const DDSurface* surface = source->surface;
    const Bitmap* bitmap = source->memory ? source->bitmap : nullptr;
    if (surface && !Surface_Usable(surface)) return false;
    if (!surface && !bitmap) return false;
    const int src_w = surface ? surface->width() : bitmap->width;
    const int src_h = surface ? surface->height() : bitmap->height;
    for (int j = 0; j < dh; ++j) {
        const int y = dy + j;
        if (y < 0 || y >= target->height) continue;
        const int v = sy + static_cast<int>(static_cast<int64_t>(j) * sh / dh);
        if (v < 0 || v >= src_h) continue;
        for (int i = 0; i < dw; ++i) {
            const int x = dx + i;
            if (x < 0 || x >= target->width) continue;
            const int u = sx + static_cast<int>(static_cast<int64_t>(i) * sw / dw);
            if (u < 0 || u >= src_w) continue;
            uint32_t rgb;
            if (surface) {
                const COLORREF c = Pixel_To_Colour(surface, surface->Pixel(u, v));
                rgb = (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
                      GetBValue(c);
            } else {
                rgb = bitmap->pixels[static_cast<size_t>(v) * bitmap->width + u] & 0xFFFFFF;
            }
            target->pixels[static_cast<size_t>(y) * target->width + x] = rgb;
        }
    }
    return true;
}

bool StretchBlt(HDC dest, int dx, int dy, int dw, int dh, HDC source, int sx, int sy, int sw, int sh, uint32_t rop) {
    if (!dest || !source || rop != SRCCOPY) return false;
    if (dest->memory && dest->bitmap) return Stretch_Into_Bitmap(dest->bitmap, dx, dy, dw, dh, source, sx, sy, sw, sh);
    if (!dest->surface || !Surface_Usable(dest->surface)) return false;
    if (dw == 0 || dh == 0) return true;
    if (sw == 0 || sh == 0) return false;

    Stretch st{};
    // A negative extent mirrors along that axis; two negatives cancel out.
    st.mirror_x = (dw < 0) != (sw < 0);
    st.mirror_y = (dh < 0) != (sh < 0);
    if (dw < 0) { dx += dw; dw = -dw; }
    if (dh < 0) { dy += dh; dh = -dh; }
    if (sw < 0) { sx += sw; sw = -sw; }
    if (sh < 0) { sy += sh; sh = -sh; }
    st.dx = dx; st.dy = dy; st.dw = dw; st.dh = dh;
    st.sx = sx; st.sy = sy; st.sw = sw; st.sh = sh;

    DDSurface* target = dest->surface;
    st.clip_x0 = std::max(dx, 0);
    st.clip_y0 = std::max(dy, 0);
    st.clip_x1 = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(dx) + dw, target->width()));
    st.clip_y1 = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(dy) + dh, target->height()));
    if (st.clip_x0 >= st.clip_x1 || st.clip_y0 >= st.clip_y1) return true;

    static Source_View src;  // large (palette table); reused, not per call on the stack
    if (source->surface) {
        const DDSurface* s = source->surface;
        if (!Surface_Usable(s)) return false;
        src.format = s->pixel_format().kind;
        src.bits = s->bits();
        src.pitch = static_cast<size_t>(s->pitch());
        src.width = s->width();
        src.height = s->height();
        if (src.format == Pixel_Kind::Index8)
            for (int i = 0; i < 256; ++i) src.index_colours[i] = Pixel_To_Colour(s, static_cast<uint32_t>(i));
    } else if (source->memory && source->bitmap) {
        src.format = Pixel_Kind::Rgb32;
        src.bits = reinterpret_cast<const uint8_t*>(source->bitmap->pixels.data());
        src.pitch = static_cast<size_t>(source->bitmap->width) * 4;
        src.width = source->bitmap->width;
        src.height = source->bitmap->height;
    } else {
        return false;
    }

    const Pixel_Kind dest_format = target->pixel_format().kind;
    const DDPalette* palette = dest_format == Pixel_Kind::Index8 ? Palette_Of(target) : nullptr;
    uint8_t* bits = target->bits();
    const size_t pitch = static_cast<size_t>(target->pitch());
    switch (src.format) {
    case Pixel_Kind::Index8: Stretch_To<Pixel_Kind::Index8>(dest_format, src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb555: Stretch_To<Pixel_Kind::Rgb555>(dest_format, src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb565: Stretch_To<Pixel_Kind::Rgb565>(dest_format, src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb24: Stretch_To<Pixel_Kind::Rgb24>(dest_format, src, bits, pitch, st, palette); break;
    case Pixel_Kind::Rgb32: Stretch_To<Pixel_Kind::Rgb32>(dest_format, src, bits, pitch, st, palette); break;
    }
    return true;
}

// ---- bitmap files -------------------------------------------------------------------------------------

HBITMAP LoadImageA(const char* name, uint32_t type, uint32_t flags) {
    if (!name || !*name || type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE)) return nullptr;
    // Bigger than the largest picture the decoder takes, with generous room for headers.
    std::vector<uint8_t> data;
    const size_t limit = static_cast<size_t>(Bmp_Max_Pixels) * 4 + (1 << 20);
    if (Read_Regular_File(name, data, limit) != File_Read::Ok || data.empty()) return nullptr;
    auto* bitmap = new Bitmap;
    if (!Decode_Bmp(data.data(), data.size(), *bitmap)) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

bool Read_Bmp_File_Size(const char* name, int64_t* width, int64_t* height) {
    if (!name || !*name) return false;
    Std_File* file = Open_File(name, "rb");
    if (!file) return false;
    uint8_t head[26] = {};
    const size_t got = Read_File(head, sizeof head, 1, file);
    Close_File(file);
    if (got != 1) return false;
    return Read_Bmp_Size(head, sizeof head, width, height);
}

bool GetObjectBitmapSize(HBITMAP bitmap, int* width, int* height) {
    if (!bitmap) return false;
    if (width) *width = bitmap->width;
    if (height) *height = bitmap->height;
    return true;
}

void Delete_Bitmap(HBITMAP bitmap) {
    if (bitmap && bitmap != &Stock_Bitmap) delete bitmap;
}
