#include <cmath>
#include <cstring>

#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"

namespace {

// The rotated bounding box of a w x h rectangle about its centre.
struct Rotation {
    float cos_a, sin_a;
    int hw, hh;
    float min_x, max_x, min_y, max_y;
};

Rotation Make_Rotation(int width, int height, float angle) {
    Rotation r;
    r.cos_a = static_cast<float>(std::cos(static_cast<double>(angle)));
    r.sin_a = static_cast<float>(std::sin(static_cast<double>(angle)));
    r.hw = width >> 1;
    r.hh = height >> 1;
    const float xs[4] = {static_cast<float>(-r.hw), static_cast<float>(r.hw), static_cast<float>(r.hw),
                         static_cast<float>(-r.hw)};
    const float ys[4] = {static_cast<float>(-r.hh), static_cast<float>(-r.hh), static_cast<float>(r.hh),
                         static_cast<float>(r.hh)};
    for (int k = 0; k < 4; ++k) {
        const float x = xs[k] * r.cos_a - ys[k] * r.sin_a;
        const float y = xs[k] * r.sin_a + ys[k] * r.cos_a;
        if (k == 0 || x < r.min_x) r.min_x = x;
        if (k == 0 || x > r.max_x) r.max_x = x;
        if (k == 0 || y < r.min_y) r.min_y = y;
        if (k == 0 || y > r.max_y) r.max_y = y;
    }
    return r;
}

int Rotated_Width(const Rotation& r) { return static_cast<int>(r.max_x - r.min_x + 1.0f); }
int Rotated_Height(const Rotation& r) { return static_cast<int>(r.max_y - r.min_y + 1.0f); }

// Where a rotation reads and writes, with the surfaces' sizes so that a box larger than the
// destination, or an origin that runs off the source, never touches memory outside them.
struct Rotation_Target {
    const uint8_t* source;
    int source_pitch, source_w, source_h;
    uint8_t* dest;
    int dest_pitch, dest_w, dest_h;
    int w, h, sx0, sy0, dx0, dy0;
};

template <int Bytes>
void Rotate_Pixels(const Rotation& r, const Rotation_Target& t) {
    const uint8_t zero[4] = {0, 0, 0, 0};
    int j = 0;
    for (float y = r.min_y; y <= r.max_y; y += 1.0f, ++j) {
        const int dest_y = t.dy0 + j;
        const bool row_inside = dest_y >= 0 && dest_y < t.dest_h;
        uint8_t* dest_row = row_inside ? t.dest + static_cast<ptrdiff_t>(dest_y) * t.dest_pitch : nullptr;
        const float y_sin = y * r.sin_a;
        const float y_cos = y * r.cos_a;
        int i = 0;
        for (float x = r.min_x; x <= r.max_x; x += 1.0f, ++i) {
            const int dest_x = t.dx0 + i;
            if (!row_inside || dest_x < 0 || dest_x >= t.dest_w) continue;
            const int u = static_cast<int>(x * r.cos_a + y_sin) + r.hw;
            const int v = static_cast<int>(y_cos - x * r.sin_a) + r.hh;
            const uint8_t* from = zero;
            if (u >= 0 && u < t.w && v >= 0 && v < t.h) {
                const int src_x = t.sx0 + u, src_y = t.sy0 + v;
                if (src_x >= 0 && src_x < t.source_w && src_y >= 0 && src_y < t.source_h)
                    from = t.source + static_cast<ptrdiff_t>(src_y) * t.source_pitch +
                           static_cast<ptrdiff_t>(src_x) * Bytes;
            }
            std::memcpy(dest_row + static_cast<ptrdiff_t>(dest_x) * Bytes, from, Bytes);
        }
    }
}

bool Read_Size(Surface surface, int* width, int* height) {
    DDSURFACEDESC2 desc{};
    if (surface->GetSurfaceDesc(&desc) != DD_OK) return false;
    *width = static_cast<int>(desc.dwWidth);
    *height = static_cast<int>(desc.dwHeight);
    return true;
}

}  // namespace

int Get_Rotated_Dimensions(int width, int height, int* rotated_width, int* rotated_height, float angle) {
    const Rotation r = Make_Rotation(width, height, angle);
    *rotated_width = Rotated_Width(r);
    *rotated_height = Rotated_Height(r);
    return 1;
}

int Rotate_Surface_Ex(Display_Context& d, Surface source, Surface dest, int width, int height, int* rotated_width,
                      int* rotated_height, float angle, int sx0, int sy0, int dx0, int dy0) {
    // Three-byte pixels go through device contexts; the others are copied by their size.
    const Pixel_Format format = Format_Of(d, dest);
    if (format.kind == Pixel_Kind::Rgb24) {
        if (!Rotate_Generic_Surface_Ex(d.app, source, dest, width, height, rotated_width, rotated_height, angle, sx0, sy0,
                                       dx0, dy0)) {
            Report_Error(d.app, "Rotate_Surface_Ex(): Rotate_Generic_Surface_Ex FAILED");
            return 0;
        }
        return 1;
    }
    const Rotation r = Make_Rotation(width, height, angle);
    *rotated_width = Rotated_Width(r);
    *rotated_height = Rotated_Height(r);

    Rotation_Target t{};
    uint8_t* dest_pixels = Lock_Surface(d, dest, &t.dest_pitch);
    if (!dest_pixels) {
        Report_Error(d.app, "Rotate_Surface_Ex():Unable to Lock dest surface");
        return 0;
    }
    uint8_t* source_pixels = Lock_Surface(d, source, &t.source_pitch);
    if (!source_pixels) {
        Report_Error(d.app, "Rotate_Surface_Ex():Unable to Lock source image surface");
        Unlock_Surface(dest, dest_pixels);
        return 0;
    }
    t.source = source_pixels;
    t.dest = dest_pixels;
    t.w = width;
    t.h = height;
    t.sx0 = sx0;
    t.sy0 = sy0;
    t.dx0 = dx0;
    t.dy0 = dy0;
    // A source of another size of pixel than the destination's cannot be copied from.
    const bool sized = Read_Size(source, &t.source_w, &t.source_h) && Read_Size(dest, &t.dest_w, &t.dest_h) &&
                       source->bytes_per_pixel() == format.bytes_per_pixel;
    if (sized) {
        switch (format.bytes_per_pixel) {
        case 1: Rotate_Pixels<1>(r, t); break;
        case 2: Rotate_Pixels<2>(r, t); break;
        case 4: Rotate_Pixels<4>(r, t); break;
        default: break;
        }
    }
    Unlock_Surface(source, source_pixels);
    Unlock_Surface(dest, dest_pixels);
    return sized ? 1 : 0;
}

int Rotate_Generic_Surface_Ex(App& app, Surface source, Surface dest, int width, int height, int* rotated_width,
                              int* rotated_height, float angle, int sx0, int sy0, int dx0, int dy0) {
    const Rotation r = Make_Rotation(width, height, angle);
    *rotated_width = Rotated_Width(r);
    *rotated_height = Rotated_Height(r);

    HDC source_dc = nullptr, dest_dc = nullptr;
    if (!source || source->GetDC(&source_dc) != DD_OK) {
        Report_Error(app, "Rotate_Generic_Surface_Ex(): source->GetDC FAILED");
        return 0;
    }
    if (!dest || dest->GetDC(&dest_dc) != DD_OK) {
        Report_Error(app, "Rotate_Generic_Surface_Ex(): dest->GetDC FAILED");
        source->ReleaseDC(source_dc);
        return 0;
    }
    constexpr COLORREF SET_FAILED = static_cast<COLORREF>(-1);
    bool failed = false;
    int j = 0;
    for (float y = r.min_y; y <= r.max_y && !failed; y += 1.0f, ++j) {
        int i = 0;
        for (float x = r.min_x; x <= r.max_x; x += 1.0f, ++i) {
            const int u = static_cast<int>(x * r.cos_a + y * r.sin_a) + r.hw;
            const int v = static_cast<int>(y * r.cos_a - x * r.sin_a) + r.hh;
            const int dest_x = dx0 + i, dest_y = dy0 + j;
            if (u < 0 || u >= width || v < 0 || v >= height) {
                if (SetPixel(dest_dc, dest_x, dest_y, 0) == SET_FAILED) {
                    Report_Errorf(app, "Rotate_Generic_Surface_Ex(): SetPixel 0 @ (%d,%d) on a (%dx%d) surface FAILED",
                                  dest_x, dest_y, *rotated_width, *rotated_height);
                    failed = true;
                    break;
                }
                continue;
            }
            const COLORREF colour = GetPixel(source_dc, sx0 + u, sy0 + v);
            if (colour == CLR_INVALID) {
                // The text shows "&d" where the second value would be.
                Report_Errorf(app, "Rotate_Generic_Surface_Ex(): GetPixel @ (%d,&d) FAILED", sx0 + u);
                failed = true;
                break;
            }
            if (SetPixel(dest_dc, dest_x, dest_y, colour) == SET_FAILED) {
                Report_Errorf(app, "Rotate_Generic_Surface_Ex(): SetPixel %d @ (%d,&d) FAILED", static_cast<int>(colour),
                              dest_x);
                failed = true;
                break;
            }
        }
    }
    dest->ReleaseDC(dest_dc);
    source->ReleaseDC(source_dc);
    return failed ? 0 : 1;
}
