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

int Fade(Display_Context& d, Surface surface, int x, int y, int width, int height, int light, int hue, int saturation) {
    if (d.Screen_Bpp < 15) return 1;
    if (d.Screen_Bpp == 15 || d.Screen_Bpp == 16) {
        if (!Fade_16(d, surface, x, y, width, height, light, hue, saturation)) {
            Report_Error(d.app, "Fade(): Fade_16 FAILED");
            return 0;
        }
        return 1;
    }
    if (d.Screen_Bpp == 32) {
        if (!Fade_32(d, surface, x, y, width, height, light, hue, saturation)) {
            Report_Error(d.app, "Fade(): Fade_32 FAILED");
            return 0;
        }
    }
    return 1;
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
    const int high_shift = d.Pixel_Format_565 ? 11 : 10;
    const uint32_t middle_mask = d.Pixel_Format_565 ? 63u : 31u;
    const double gm = d.Pixel_Format_565 ? 63.0 : 31.0;

    for (int row = y; row < y + height; ++row) {
        uint8_t* p = pixels + static_cast<ptrdiff_t>(row) * pitch + static_cast<ptrdiff_t>(x) * 2;
        for (int i = 0; i < width; ++i, p += 2) {
            uint16_t pixel;
            std::memcpy(&pixel, p, 2);
            if (pixel == 0) continue;
            const uint32_t high = (pixel >> high_shift) & 31u;
            const uint32_t middle = (pixel >> 5) & middle_mask;
            const uint32_t low = pixel & 31u;
            // Field maxima map to exactly 1.0, so an untouched colour comes back whole.
            float first = static_cast<float>(high / 31.0);
            float second = static_cast<float>(middle / gm);
            float third = static_cast<float>(low / 31.0);
            Fade_Channels(first, second, third, amounts);
            const uint32_t high2 = static_cast<uint32_t>(Channel_To_Int(first * 31.0)) & 31u;
            const uint32_t middle2 = static_cast<uint32_t>(Channel_To_Int(second * gm)) & middle_mask;
            const uint32_t low2 = static_cast<uint32_t>(Channel_To_Int(third * 31.0)) & 31u;
            pixel = static_cast<uint16_t>((high2 << high_shift) | (middle2 << 5) | low2);
            std::memcpy(p, &pixel, 2);
        }
    }
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
    const Fade_Amounts amounts = Make_Amounts(light, hue, saturation);

    for (int row = y; row < y + height; ++row) {
        uint8_t* p = pixels + static_cast<ptrdiff_t>(row) * pitch + static_cast<ptrdiff_t>(x) * 4;
        for (int i = 0; i < width; ++i, p += 4) {
            uint32_t pixel;
            std::memcpy(&pixel, p, 4);
            const uint32_t colour = pixel & 0xFFFFFFu;
            if (colour == 0) continue;
            // The lowest byte is the first channel here (the 16-bit path hands over the high field).
            float first = static_cast<float>((colour & 0xFF) * 0.003921569);
            float second = static_cast<float>(((colour >> 8) & 0xFF) * 0.003921569);
            float third = static_cast<float>(((colour >> 16) & 0xFF) * 0.003921569);
            Fade_Channels(first, second, third, amounts);
            const uint32_t first2 = static_cast<uint32_t>(Channel_To_Int(first * 255.0)) & 0xFFu;
            const uint32_t second2 = static_cast<uint32_t>(Channel_To_Int(second * 255.0)) & 0xFFu;
            const uint32_t third2 = static_cast<uint32_t>(Channel_To_Int(third * 255.0)) & 0xFFu;
            pixel = third2 * 65536u + second2 * 256u + first2;
            std::memcpy(p, &pixel, 4);
        }
    }
    Unlock_Surface(surface, pixels);
    return 1;
}
