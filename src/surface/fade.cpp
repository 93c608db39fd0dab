#include <cstdint>
#include <cstring>

#include "diagnostics/diagnostics.h"
#include "surface/colour.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"

namespace {

// The amounts taken off every pixel of one fade.
struct Fade_Amounts {
    float light;
    float hue;
    float saturation;
};

Fade_Amounts Make_Amounts(int light, int hue, int saturation) {
    return Fade_Amounts{static_cast<float>(light) / 255.0f, static_cast<float>(hue),
                        static_cast<float>(saturation) / 255.0f};
}

// Lowers value, hue and saturation of one colour in place; none goes below 0.
// A channel scaled back to an integer. Only negative fade amounts (from a damaged preset) push
// a channel past the int range; those give what the processor's truncation gives there
// (0x80000000) instead of undefined behaviour.
inline int Channel_To_Int(double scaled) {
    if (!(scaled > -2147483649.0 && scaled < 2147483648.0)) return INT32_MIN;
    return static_cast<int>(scaled);
}

inline void Fade_Channels(float& first, float& second, float& third, const Fade_Amounts& amounts) {
    float h, s, v;
    RGB_To_HSV(first, second, third, &h, &s, &v);
    v -= amounts.light;
    h -= amounts.hue;
    s -= amounts.saturation;
    if (v < 0.0f) v = 0.0f;
    if (h < 0.0f) h = 0.0f;  // an undefined hue (-1) lands here too
    if (s < 0.0f) s = 0.0f;
    HSV_To_RGB(&first, &second, &third, h, s, v);
}

bool Unusable(Surface surface, int width, int height) {
    return !surface || surface->IsLost() == DDERR_SURFACELOST || width <= 0 || height <= 0;
}

enum class Inside { Failed, Nothing, Some };

// Keeps the rectangle inside the surface so that a careless caller cannot write past it.
Inside Keep_Inside(Surface surface, int& x, int& y, int& width, int& height) {
    DDSURFACEDESC2 desc{};
    if (surface->GetSurfaceDesc(&desc) != DD_OK) return Inside::Failed;
    const int64_t surface_w = desc.dwWidth, surface_h = desc.dwHeight;
    int64_t left = x, top = y, right = static_cast<int64_t>(x) + width, bottom = static_cast<int64_t>(y) + height;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > surface_w) right = surface_w;
    if (bottom > surface_h) bottom = surface_h;
    if (left >= right || top >= bottom) return Inside::Nothing;
    x = static_cast<int>(left);
    y = static_cast<int>(top);
    width = static_cast<int>(right - left);
    height = static_cast<int>(bottom - top);
    return Inside::Some;
}

}  // namespace

namespace {

// The 16-bit fields as the fade reads them: the high (red) field is the first channel, and
// every field maximum maps to exactly 1.0, so an untouched colour comes back whole.
template <Pixel_Kind K>
void Fade_Rows_16(uint8_t* pixels, int pitch, int x, int y, int width, int height, const Fade_Amounts& amounts) {
    constexpr double gm = Green_Max<K>;
    for (int row = y; row < y + height; ++row) {
        uint8_t* p = pixels + static_cast<ptrdiff_t>(row) * pitch + static_cast<ptrdiff_t>(x) * 2;
        for (int i = 0; i < width; ++i, p += 2) {
            const uint32_t pixel = Load_Pixel<K>(p);
            if (pixel == 0) continue;
            float first = static_cast<float>(Red_Field<K>(pixel) / 31.0);
            float second = static_cast<float>(Green_Field<K>(pixel) / gm);
            float third = static_cast<float>(Blue_Field<K>(pixel) / 31.0);
            Fade_Channels(first, second, third, amounts);
            Store_Pixel<K>(p, Pack_Fields<K>(static_cast<uint32_t>(Channel_To_Int(first * 31.0)) & 31u,
                                             static_cast<uint32_t>(Channel_To_Int(second * gm)) & Green_Max<K>,
                                             static_cast<uint32_t>(Channel_To_Int(third * 31.0)) & 31u));
        }
    }
}

// The 32-bit bytes: the lowest (blue) byte is the first channel here.
void Fade_Rows_32(uint8_t* pixels, int pitch, int x, int y, int width, int height, const Fade_Amounts& amounts) {
    constexpr Pixel_Kind K = Pixel_Kind::Rgb32;
    for (int row = y; row < y + height; ++row) {
        uint8_t* p = pixels + static_cast<ptrdiff_t>(row) * pitch + static_cast<ptrdiff_t>(x) * 4;
        for (int i = 0; i < width; ++i, p += 4) {
            const uint32_t pixel = Load_Pixel<K>(p);
            if ((pixel & 0xFFFFFFu) == 0) continue;
            float first = static_cast<float>(Blue_Field<K>(pixel) * 0.003921569);
            float second = static_cast<float>(Green_Field<K>(pixel) * 0.003921569);
            float third = static_cast<float>(Red_Field<K>(pixel) * 0.003921569);
            Fade_Channels(first, second, third, amounts);
            Store_Pixel<K>(p, Pack_Fields<K>(static_cast<uint32_t>(Channel_To_Int(third * 255.0)) & 0xFFu,
                                             static_cast<uint32_t>(Channel_To_Int(second * 255.0)) & 0xFFu,
                                             static_cast<uint32_t>(Channel_To_Int(first * 255.0)) & 0xFFu));
        }
    }
}

}  // namespace

int Fade(Display_Context& d, Surface surface, int x, int y, int width, int height, int light, int hue, int saturation) {
    switch (Format_Of(d, surface).kind) {
    case Pixel_Kind::Rgb555:
    case Pixel_Kind::Rgb565:
        if (!Fade_16(d, surface, x, y, width, height, light, hue, saturation)) {
            Report_Error(d.app, "Fade(): Fade_16 FAILED");
            return 0;
        }
        return 1;
    case Pixel_Kind::Rgb32:
        if (!Fade_32(d, surface, x, y, width, height, light, hue, saturation)) {
            Report_Error(d.app, "Fade(): Fade_32 FAILED");
            return 0;
        }
        return 1;
    default: return 1;  // palette pixels and 24-bit pixels are not faded
    }
}

int Fade_16(Display_Context& d, Surface surface, int x, int y, int width, int height, int light, int hue, int saturation) {
    if (Unusable(surface, width, height)) return 0;
    const Inside inside = Keep_Inside(surface, x, y, width, height);
    if (inside != Inside::Some) return inside == Inside::Nothing ? 1 : 0;
    int pitch = 0;
    uint8_t* pixels = Lock_Surface(d, surface, &pitch);
    if (!pixels) {
        Report_Error(d.app, "Fade_16(): Lock Surface FAILED");
        return 0;
    }
    const Fade_Amounts amounts = Make_Amounts(light, hue, saturation);
    if (surface->pixel_format().kind == Pixel_Kind::Rgb565)
        Fade_Rows_16<Pixel_Kind::Rgb565>(pixels, pitch, x, y, width, height, amounts);
    else
        Fade_Rows_16<Pixel_Kind::Rgb555>(pixels, pitch, x, y, width, height, amounts);
    Unlock_Surface(surface, pixels);
    return 1;
}

int Fade_32(Display_Context& d, Surface surface, int x, int y, int width, int height, int light, int hue, int saturation) {
    if (Unusable(surface, width, height)) return 0;
    const Inside inside = Keep_Inside(surface, x, y, width, height);
    if (inside != Inside::Some) return inside == Inside::Nothing ? 1 : 0;
    int pitch = 0;
    uint8_t* pixels = Lock_Surface(d, surface, &pitch);
    if (!pixels) {
        Report_Error(d.app, "Fade_32(): Lock Surface FAILED");
        return 0;
    }
    Fade_Rows_32(pixels, pitch, x, y, width, height, Make_Amounts(light, hue, saturation));
    Unlock_Surface(surface, pixels);
    return 1;
}
