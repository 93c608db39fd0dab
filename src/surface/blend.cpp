#include <cstdint>
#include <cstring>

#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "surface/blit.h"
#include "surface/colour.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"

namespace {

// One axis of the memory guard: neither rectangle may reach outside its surface, whatever
// clip size the caller claimed.
bool Fit_Axis(int& s, int& d, int& length, int source_size, int dest_size) {
    if (s < 0) {
        d -= s;
        length += s;
        s = 0;
    }
    if (d < 0) {
        s -= d;
        length += d;
        d = 0;
    }
    if (length > source_size - s) length = source_size - s;
    if (length > dest_size - d) length = dest_size - d;
    return length > 0;
}

bool Fit_Surfaces(Surface source, Surface dest, int& sx, int& sy, int& dx, int& dy, int& w, int& h) {
    return Fit_Axis(sx, dx, w, source->width(), dest->width()) &&
           Fit_Axis(sy, dy, h, source->height(), dest->height());
}

// The pixels as the fade reads them, to and from HSV. At 16 bits the high (red) field is
// the first channel; at 32 bits the lowest (blue) byte is.
template <Pixel_Kind K>
void To_HSV(uint32_t pixel, float* h, float* s, float* v) {
    if constexpr (K == Pixel_Kind::Rgb32) {
        const float first = static_cast<float>(Blue_Field<K>(pixel) * 0.003921569);
        const float second = static_cast<float>(Green_Field<K>(pixel) * 0.003921569);
        const float third = static_cast<float>(Red_Field<K>(pixel) * 0.003921569);
        RGB_To_HSV(first, second, third, h, s, v);
    } else {
        constexpr double gm = Green_Max<K>;
        const float first = static_cast<float>(Red_Field<K>(pixel) / 31.0);
        const float second = static_cast<float>(Green_Field<K>(pixel) / gm);
        const float third = static_cast<float>(Blue_Field<K>(pixel) / 31.0);
        RGB_To_HSV(first, second, third, h, s, v);
    }
}

template <Pixel_Kind K>
uint32_t From_HSV(float h, float s, float v) {
    float first, second, third;
    HSV_To_RGB(&first, &second, &third, h, s, v);
    if constexpr (K == Pixel_Kind::Rgb32) {
        return Pack_Fields<K>(static_cast<uint32_t>(static_cast<int>(third * 255.0)) & 0xFFu,
                              static_cast<uint32_t>(static_cast<int>(second * 255.0)) & 0xFFu,
                              static_cast<uint32_t>(static_cast<int>(first * 255.0)) & 0xFFu);
    } else {
        constexpr double gm = Green_Max<K>;
        return Pack_Fields<K>(static_cast<uint32_t>(static_cast<int>(first * 31.0)) & 31u,
                              static_cast<uint32_t>(static_cast<int>(second * gm)) & Green_Max<K>,
                              static_cast<uint32_t>(static_cast<int>(third * 31.0)) & 31u);
    }
}

// An undefined hue (grey) counts as 0 where hues are mixed.
inline float Defined(float hue) { return hue < 0.0f ? 0.0f : hue; }

// The shared frame of every worker: checks, clipping, locks (one when source is dest),
// then `rule` over each row of the clipped rectangle.
template <Pixel_Kind K, class Row_Rule>
int Run_Blend(Display_Context& d, const char* name, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
              int clip_width, int clip_height, Row_Rule&& rule) {
    if (clip_width < 1 || clip_height < 1 || width < 1 || height < 1) return 0;
    if (!source || !dest) return 0;
    if (!Clip_Rectangle(sx, sy, dx, dy, width, height, clip_width, clip_height)) return 1;
    if (!Fit_Surfaces(source, dest, sx, sy, dx, dy, width, height)) return 1;
    if (source->pixel_format().kind != K || dest->pixel_format().kind != K)
        return 1;  // another format than this worker's: nothing it can mix

    int dest_pitch = 0;
    uint8_t* dest_bits = Lock_Surface(d, dest, &dest_pitch);
    if (!dest_bits) {
        Report_Errorf(d.app, "%s():Unable to Lock dest surface", name);
        return 0;
    }
    int source_pitch = dest_pitch;
    uint8_t* source_bits = dest_bits;
    if (source != dest) {
        source_bits = Lock_Surface(d, source, &source_pitch);
        if (!source_bits) {
            Report_Errorf(d.app, "%s():Unable to Lock source image surface", name);
            Unlock_Surface(dest, dest_bits);
            return 0;
        }
    }
    for (int j = 0; j < height; ++j) {
        const uint8_t* s_row = source_bits + static_cast<ptrdiff_t>(sy + j) * source_pitch +
                               static_cast<ptrdiff_t>(sx) * Pixel_Layout<K>::bytes;
        uint8_t* d_row = dest_bits + static_cast<ptrdiff_t>(dy + j) * dest_pitch +
                         static_cast<ptrdiff_t>(dx) * Pixel_Layout<K>::bytes;
        rule(s_row, d_row, width);
    }
    if (source != dest) Unlock_Surface(source, source_bits);
    Unlock_Surface(dest, dest_bits);
    return 1;
}

template <Pixel_Kind K>
int Colour_Blend_16(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                    int clip_width, int clip_height) {
    return Run_Blend<K>(
        d, "Colour_Blend_Blit", source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height,
        [](const uint8_t* s_row, uint8_t* d_row, int count) {
            for (int i = 0; i < count; ++i) {
                const uint32_t s = Load_Pixel<K>(s_row + i * 2);
                if (s == 0) continue;
                uint32_t d = Load_Pixel<K>(d_row + i * 2);
                if (d != 0) {
                    float sh, ss, sv, dh, ds, dv;
                    To_HSV<K>(s, &sh, &ss, &sv);
                    To_HSV<K>(d, &dh, &ds, &dv);
                    d = From_HSV<K>((Defined(dh) + Defined(sh)) * 0.5f, (ds + ss) * 0.5f, (dv + sv) * 0.5f);
                } else {
                    d = s;
                }
                Store_Pixel<K>(d_row + i * 2, d);
            }
        });
}

int Colour_Blend_32(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                    int clip_width, int clip_height) {
    constexpr Pixel_Kind K = Pixel_Kind::Rgb32;
    return Run_Blend<K>(
        d, "Colour_Blend_Blit", source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height,
        [](const uint8_t* s_row, uint8_t* d_row, int count) {
            for (int i = 0; i < count; ++i) {
                const uint32_t s = Load_Pixel<K>(s_row + i * 4);
                if ((s & 0xFFFFFFu) == 0) continue;
                uint32_t d = Load_Pixel<K>(d_row + i * 4);
                if ((d & 0xFFFFFFu) != 0) {
                    // Fixed 80:20 weights in favour of what is already there; no colour space.
                    uint32_t mixed = 0;
                    for (int shift = 0; shift < 24; shift += 8) {
                        const double db = ((d >> shift) & 0xFF) / 255.0;
                        const double sb = ((s >> shift) & 0xFF) / 255.0;
                        const uint32_t byte = static_cast<uint32_t>(static_cast<int>((db * 0.8 + sb * 0.2) * 255.0));
                        mixed |= (byte & 0xFFu) << shift;
                    }
                    d = mixed;
                } else {
                    d = s;
                }
                Store_Pixel<K>(d_row + i * 4, d);
            }
        });
}

template <Pixel_Kind K>
int Light_Blend_16(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                   int clip_width, int clip_height) {
    return Run_Blend<K>(
        d, "Light_Blend_Blit_16", source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height,
        [](const uint8_t* s_row, uint8_t* d_row, int count) {
            for (int i = 0; i < count; ++i) {
                const uint32_t s = Load_Pixel<K>(s_row + i * 2);
                if (s == 0) continue;
                uint32_t d = Load_Pixel<K>(d_row + i * 2);
                if (d != 0) {
                    float sh, ss, sv, dh, ds, dv;
                    To_HSV<K>(s, &sh, &ss, &sv);
                    To_HSV<K>(d, &dh, &ds, &dv);
                    float value = dv + sv;
                    if (value > 1.0f) value = 1.0f;
                    d = From_HSV<K>(dh, ds, value);
                } else {
                    d = s;  // at 16 bits an empty place takes the source as it is
                }
                Store_Pixel<K>(d_row + i * 2, d);
            }
        });
}

int Light_Blend_32(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                   int clip_width, int clip_height) {
    constexpr Pixel_Kind K = Pixel_Kind::Rgb32;
    return Run_Blend<K>(
        d, "Light_Blend_Blit", source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height,
        [](const uint8_t* s_row, uint8_t* d_row, int count) {
            for (int i = 0; i < count; ++i) {
                const uint32_t s = Load_Pixel<K>(s_row + i * 4);
                if ((s & 0xFFFFFFu) == 0) continue;
                uint32_t d = Load_Pixel<K>(d_row + i * 4);
                if ((d & 0xFFFFFFu) == 0) continue;  // light only brightens what is there
                float sh, ss, sv, dh, ds, dv;
                To_HSV<K>(s, &sh, &ss, &sv);
                To_HSV<K>(d, &dh, &ds, &dv);
                float value = dv + sv;
                if (value > 1.0f) value = 1.0f;
                Store_Pixel<K>(d_row + i * 4, From_HSV<K>(dh, ds, value));
            }
        });
}

// Nothing is mixed at 24 bits; the picture stays as it is.
int Blend_24(Display_Context&, Surface, Surface, int, int, int, int, int, int, int, int) { return 1; }

}  // namespace

int Colour_Blend_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                      int clip_width, int clip_height) {
    switch (Format_Of(d, dest).kind) {
    case Pixel_Kind::Rgb555:
    case Pixel_Kind::Rgb565: {
        const auto blend = Format_Of(d, dest).kind == Pixel_Kind::Rgb565 ? Colour_Blend_16<Pixel_Kind::Rgb565>
                                                                          : Colour_Blend_16<Pixel_Kind::Rgb555>;
        if (!blend(d, source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height)) {
            Report_Error(d.app, "Colour_Blend_Blit(): 16 bit blend FAILED");
            return 0;
        }
        break;
    }
    case Pixel_Kind::Rgb32:
        if (!Colour_Blend_32(d, source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height)) {
            Report_Error(d.app, "Colour_Blend_Blit(): 32 bit blend FAILED");
            return 0;
        }
        break;
    case Pixel_Kind::Rgb24:
        if (!Blend_24(d, source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height)) {
            Report_Error(d.app, "Colour_Blend_Blit(): 24 bit blend FAILED");
            return 0;
        }
        break;
    case Pixel_Kind::Index8: break;
    }
    return 1;
}

int Light_Blend_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                     int clip_width, int clip_height) {
    switch (Format_Of(d, dest).kind) {
    case Pixel_Kind::Rgb555:
    case Pixel_Kind::Rgb565:
        if (!Light_Blend_Blit_16(d, source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height)) {
            Report_Error(d.app, "Light_Blend_Blit(): 16 bit blend FAILED");
            return 0;
        }
        break;
    case Pixel_Kind::Rgb32:
        if (!Light_Blend_32(d, source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height)) {
            Report_Error(d.app, "Light_Blend_Blit(): 32 bit blend FAILED");
            return 0;
        }
        break;
    case Pixel_Kind::Rgb24:
        if (!Blend_24(d, source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height)) {
            Report_Error(d.app, "Light_Blend_Blit(): 24 bit blend FAILED");
            return 0;
        }
        break;
    case Pixel_Kind::Index8: break;
    }
    return 1;
}

int Light_Blend_Blit_16(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                        int clip_width, int clip_height) {
    const auto blend = dest && dest->pixel_format().kind == Pixel_Kind::Rgb565 ? Light_Blend_16<Pixel_Kind::Rgb565>
                                                                               : Light_Blend_16<Pixel_Kind::Rgb555>;
    return blend(d, source, dest, sx, sy, dx, dy, width, height, clip_width, clip_height);
}

int Alter_Hue(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height, int amount) {
    if (!source || !dest || source->IsLost() == DDERR_SURFACELOST || dest->IsLost() == DDERR_SURFACELOST ||
        width <= 0 || height <= 0)
        return 0;
    Wait_For_Blitter(d, source);
    Wait_For_Blitter(d, dest);

    HDC dest_dc = nullptr;
    if (dest->GetDC(&dest_dc) != DD_OK || !dest_dc) {
        Report_Error(d.app, "Alter Hue() Unable to Acquire dest device context from surface");
        return 0;
    }
    HDC source_dc = dest_dc;
    if (source != dest) {
        source_dc = nullptr;
        if (source->GetDC(&source_dc) != DD_OK || !source_dc) {
            Report_Error(d.app, "Alter Hue() Unable to Acquire source device context from surface");
            dest->ReleaseDC(dest_dc);
            return 0;
        }
    }
    const auto release = [&] {
        dest->ReleaseDC(dest_dc);
        if (source != dest) source->ReleaseDC(source_dc);
    };

    const float turn = static_cast<float>(amount * 0.00390625 * 360.0);
    const auto turned = [turn](COLORREF colour) -> COLORREF {
        float h, s, v;
        RGB_To_HSV(static_cast<float>((colour & 0xFF) / 255.0), static_cast<float>(((colour >> 8) & 0xFF) / 255.0),
                   static_cast<float>(((colour >> 16) & 0xFF) / 255.0), &h, &s, &v);
        h = Defined(h) + turn;
        if (h > 360.0f) h -= 360.0f;
        float r, g, b;
        HSV_To_RGB(&r, &g, &b, h, s, v);
        const uint32_t red = static_cast<uint32_t>(static_cast<int>(r * 255.0f)) & 0xFFu;
        const uint32_t green = static_cast<uint32_t>(static_cast<int>(g * 255.0f)) & 0xFFu;
        const uint32_t blue = static_cast<uint32_t>(static_cast<int>(b * 255.0f)) & 0xFFu;
        return blue * 65536u + green * 256u + red;
    };
    if (Map_Pixels(source_dc, sx, sy, dest_dc, dx, dy, width, height, turned)) {
        release();
        return 1;
    }
    // Pixel by pixel, so that a rectangle reaching outside a surface fails where GetPixel
    // or SetPixel meets it, as the per-pixel rule does.
    for (int i = 0; i < width; ++i) {
        for (int j = 0; j < height; ++j) {
            const COLORREF colour = GetPixel(source_dc, sx + i, sy + j);
            if (colour == CLR_INVALID) {
                Report_Errorf(d.app, "Alter Hue() Unable to GetPixel at (%d,%d)\non surface of w = %d h = %d", i, j, width,
                              height);
                release();
                return 0;
            }
            if (SetPixel(dest_dc, dx + i, dy + j, turned(colour)) == static_cast<COLORREF>(-1)) {
                Report_Errorf(d.app, "Alter Hue() Unable to SetPixel at (%d,%d)\non surface of w = %d h = %d", i, j, width,
                              height);
                release();
                return 0;
            }
        }
    }
    release();
    return 1;
}
