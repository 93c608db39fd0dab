#include "slides/sine_wave.h"

#include <cmath>
#include <cstdint>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "presets/plasma_settings.h"
#include "slides/object_queue.h"
#include "surface/display.h"
#include "session/session.h"


namespace {

constexpr float r = 0.017453292f;
constexpr double Small_Drift = 0.1 * 0.1;


void Fill(App& app, Wave_State& w, int bound, int variance) {
    w.a1 = Random_Remainder(app, bound);
    w.a2 = Random_Remainder(app, bound);
    w.a3 = Random_Remainder(app, bound);
    w.d1 = Random_Remainder(app, variance) * 0.1;
    w.d2 = Random_Remainder(app, variance) * 0.1;
    w.d3 = Random_Remainder(app, variance) * 0.1;
}

// One random drift step, then the drifts turned back towards 0..bound.
void Drift(App& app, Wave_State& w, int bound, int variance) {
    switch (Random(app) % 4) {
    case 0: w.a1 += w.d1; break;
    case 1: w.a2 += w.d2; break;
    case 2: w.a3 += w.d3; break;
    default: break;
    }
    if (w.a1 > bound) w.d1 = Random_Remainder(app, variance) * -0.1;
    if (w.a1 < 0) w.d1 = Random_Remainder(app, variance) * Small_Drift;
    if (w.a2 > bound) w.d2 = Random_Remainder(app, variance) * -Small_Drift;
    if (w.a2 < 0) w.d2 = Random_Remainder(app, variance) * Small_Drift;
    if (w.a3 > bound) w.d3 = Random_Remainder(app, variance) * -Small_Drift;
    if (w.a3 < 0) w.d3 = Random_Remainder(app, variance) * Small_Drift;
}

// Curve height at column x; a NaN or huge phase from a preset file must not overflow.
int Curve_Y(const Wave_State& w, int x, double phase, double middle_divisor, int base) {
    const double sum = w.a1 * std::sin(static_cast<float>(8 * x) * r + 4 * phase) +
                       w.a2 * std::sin(static_cast<float>(x) * r + phase / middle_divisor) +
                       w.a3 * std::sin(static_cast<float>(4 * x) * r + phase);
    if (!(sum > -1e9 && sum < 1e9)) return -1000000000;
    return static_cast<int>(sum) + base;
}

void Begin_Pass(Session& s, Sine_Variant& v, int curves, int bound, int variance) {
    if (!v.filled) {
        for (int c = 0; c < curves; ++c) Fill(s.app, v.curves[c], bound, variance);
        v.filled = true;
    }
    if (s.slides.Sine_Reset) {
        s.slides.Sine_Reset = 0;
        for (int c = 0; c < curves; ++c) Fill(s.app, v.curves[c], bound, variance);
    }
    for (int c = 0; c < curves; ++c) Drift(s.app, v.curves[c], bound, variance);
    v.phase += s.Plasma_Settings.sine_phase_step;
}

// Rows of a band that lie on the surface: [first, end).
struct Band {
    int first, end, top, half, width;
    int brightness(int row) const { return row < top + half ? row - top : top + width - row; }
};

Band Band_At(int y, int width, int height) {
    const int64_t end = static_cast<int64_t>(y) + (width > 0 ? width : 0);
    Band b{y < 0 ? 0 : y, static_cast<int>(end < height ? end : height), y, width / 2, width};
    return b;
}

int Passes(Session& s) {
    const int passes = s.Plasma_Settings.sine_passes;
    return passes > Max_Sine_Passes ? Max_Sine_Passes : passes;
}

bool Usable(App& app, Surface surface, int& width, int& height) {
    if (!surface || surface->IsLost() == DDERR_SURFACELOST || width <= 0 || height <= 0) return false;
    int sw = 0, sh = 0;
    if (!Grab_Surface_Dimensions(app, surface, &sw, &sh)) return false;
    if (width > sw) width = sw;
    if (height > sh) height = sh;
    return true;
}

// The 32-bit bands: red replaces the pixel, green and blue replace their own byte.
void Paint_32(uint32_t* pixels, int row_step, int x, const Band& band, int scale, int channel) {
    for (int row = band.first; row < band.end; ++row) {
        const uint32_t value = static_cast<uint8_t>(band.brightness(row) * scale);
        uint32_t& p = pixels[static_cast<ptrdiff_t>(row) * row_step + x];
        if (channel == 0) p = value << 16;
        else if (channel == 1) p = (p & 0x00FF00FFu) | (value << 8);
        else p = (p & 0x00FFFF00u) | value;
    }
}

// The 16-bit bands: red replaces the pixel, green and blue are ORed in.
void Paint_16(int red_shift, uint16_t* pixels, int row_step, int x, const Band& band, float scale, int channel) {
    for (int row = band.first; row < band.end; ++row) {
        const int v = static_cast<int>(static_cast<float>(band.brightness(row)) * scale);
        uint16_t& p = pixels[static_cast<ptrdiff_t>(row) * row_step + x];
        if (channel == 0) p = static_cast<uint16_t>(v << red_shift);
        else if (channel == 1) p = static_cast<uint16_t>(p | (v << 5));
        else p = static_cast<uint16_t>(p | v);
    }
}

int Draw_32(Session& s, Surface surface, int width, int height, Sine_Variant& variant, int curves, const char* lock_failed) {
    if (!Usable(s.app, surface, width, height)) return 0;
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    if (p.sine_clear) Clear(s.display, surface);
    int pitch = 0;
    uint8_t* bits = Lock_Surface(s.display, surface, &pitch);
    if (!bits) {
        Report_Error(s.app, lock_failed);
        return 0;
    }
    uint32_t* pixels = reinterpret_cast<uint32_t*>(bits);
    const int row_step = pitch / 4;
    const int base = (2 * height) / 5;
    const int band_width = p.sine_band_width;
    const int scale = 256 / (band_width > 1 ? band_width : 1);
    for (int pass = Passes(s); pass > 0; --pass) {
        Begin_Pass(s, variant, curves, p.sine_amplitude, p.sine_variance);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < curves; ++c) {
                const int y = Curve_Y(variant.curves[c], x, variant.phase, c == 2 ? 3.0 : 2.0, base);
                Paint_32(pixels, row_step, x, Band_At(y, band_width, height), scale, c);
            }
        }
    }
    Unlock_Surface(surface, bits);
    return 1;
}

int Draw_16(Session& s, Surface surface, int width, int height, Sine_Variant& variant, int curves, const char* lock_failed) {
    if (!Usable(s.app, surface, width, height)) return 0;
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    if (p.sine_clear) Clear(s.display, surface);
    int pitch = 0;
    uint8_t* bits = Lock_Surface(s.display, surface, &pitch);
    if (!bits) {
        Report_Error(s.app, lock_failed);
        return 0;
    }
    uint16_t* pixels = reinterpret_cast<uint16_t*>(bits);
    const int row_step = pitch / 2;
    const int red_shift = surface->pixel_format().kind == Pixel_Kind::Rgb565 ? 11 : 10;
    const int base = (2 * height) / 5;
    const int band_width = p.sine_band_width;
    const float scale = 32.0f / static_cast<float>(band_width > 1 ? band_width : 1);
    for (int pass = Passes(s); pass > 0; --pass) {
        Begin_Pass(s, variant, curves, p.sine_amplitude, p.sine_variance);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < curves; ++c) {
                const int y = Curve_Y(variant.curves[c], x, variant.phase, c == 2 ? 3.0 : 2.0, base);
                Paint_16(red_shift, pixels, row_step, x, Band_At(y, band_width, height), scale, c);
            }
        }
    }
    Unlock_Surface(surface, bits);
    return 1;
}

// Depths without direct band drawing: 32 red curves of single pixels through GDI.
int Fallback_Sine_Wave(Session& s, Surface surface, int width, int height) {
    if (!surface) return 0;
    if (s.Plasma_Settings.sine_clear) Clear(s.display, surface);
    HDC dc = nullptr;
    if (surface->GetDC(&dc) != DD_OK) {
        Report_Error(s.app, "Sine_Wave() Unable to Acquire dest device context from surface");
        return 0;
    }
    const int base = (2 * height) / 5;
    for (int pass = 0; pass < 32; ++pass) {
        if (!s.slides.fallback.filled) {
            s.slides.fallback.bound = height / 3;
            s.slides.fallback.step = width * 0.003125 * 0.005;
            Fill(s.app, s.slides.fallback.curve, s.slides.fallback.bound, 4);
            s.slides.fallback.filled = true;
        }
        Drift(s.app, s.slides.fallback.curve, s.slides.fallback.bound, 4);
        s.slides.fallback.phase += s.slides.fallback.step;
        for (int x = 0; x < width; ++x) {
            const int y = Curve_Y(s.slides.fallback.curve, x, s.slides.fallback.phase, 2.0, base);
            if (y < 0 || y >= height) continue;
            if (SetPixel(dc, x, y, 255) == static_cast<COLORREF>(-1)) {
                Report_Errorf(s.app, "Sine_Wave() Unable to SetPixel at (%d,%d)\non surface of w = %d h = %d", x, y, width,
                              height);
                surface->ReleaseDC(dc);
                return 0;
            }
        }
    }
    surface->ReleaseDC(dc);
    return 1;
}

}  // namespace

void Paint_Sine_Band_32(uint32_t* pixels, int row_step, int x, int y, int band_width, int height, int channel) {
    Paint_32(pixels, row_step, x, Band_At(y, band_width, height), 256 / (band_width > 1 ? band_width : 1), channel);
}

int Sine_Wave_32(Session& s, Surface surface, int width, int height) {
    return Draw_32(s, surface, width, height, s.slides.single_32, 1, "Sine_Wave_32(): Lock Surface FAILED");
}

int Multi_Sine_Wave_32(Session& s, Surface surface, int width, int height) {
    return Draw_32(s, surface, width, height, s.slides.multi_32, 3, "Multi_Sine_Wave_32(): Lock Surface FAILED");
}

int Sine_Wave_16(Session& s, Surface surface, int width, int height) {
    return Draw_16(s, surface, width, height, s.slides.single_16, 1, "Sine_Wave_16(): Lock Surface FAILED");
}

int Multi_Sine_Wave_16(Session& s, Surface surface, int width, int height) {
    return Draw_16(s, surface, width, height, s.slides.multi_16, 3, "Multi_Sine_Wave_16(): Lock Surface FAILED");
}

int Sine_Wave(Session& s, Surface surface, int width, int height) {
    const bool multi = s.Plasma_Settings.sine_multicolour != 0;
    switch (Format_Of(s.display, surface).kind) {
    case Pixel_Kind::Rgb32:
        if (multi ? Multi_Sine_Wave_32(s, surface, width, height) : Sine_Wave_32(s, surface, width, height)) return 1;
        Report_Error(s.app, multi ? "Sine_Wave(): MULTI_Sine_Wave_32 FAILED" : "Sine_Wave(): Sine_Wave_32 FAILED");
        return 0;
    case Pixel_Kind::Rgb555:
    case Pixel_Kind::Rgb565:
        if (multi ? Multi_Sine_Wave_16(s, surface, width, height) : Sine_Wave_16(s, surface, width, height)) return 1;
        Report_Error(s.app, multi ? "Sine_Wave(): MULTI_Sine_Wave_16 FAILED" : "Sine_Wave(): Sine_Wave_16 FAILED");
        return 0;
    default: return Fallback_Sine_Wave(s, surface, width, height);
    }
}
