#include "surface/colour.h"

#include <cmath>

void RGB_To_HSV(float r, float g, float b, float* h, float* s, float* v) {
    float min = r < g ? r : g;
    if (b < min) min = b;
    float max = r > g ? r : g;
    if (b > max) max = b;
    *v = max;
    if (max == 0.0f) {
        *s = 0.0f;
        *h = -1.0f;
        return;
    }
    const float delta = max - min;
    *s = delta / max;
    if (delta == 0.0f) {
        // A grey has no hue; marked undefined rather than dividing by zero.
        *h = -1.0f;
        return;
    }
    float hue;
    if (r == max)
        hue = (g - b) / delta;
    else if (g == max)
        hue = 2.0f + (b - r) / delta;
    else
        hue = 4.0f + (r - g) / delta;
    hue *= 60.0f;
    if (hue < 0.0f) hue += 360.0f;
    *h = hue;
}

void HSV_To_RGB(float* r, float* g, float* b, float h, float s, float v) {
    if (s == 0.0f) {
        *r = *g = *b = v;
        return;
    }
    const float hh = h * 0.0166667f;
    const int i = static_cast<int>(std::floor(hh));
    const float f = hh - static_cast<float>(i);
    const float p = v * (1.0f - s);
    const float q = v * (1.0f - s * f);
    const float t = v * (1.0f - s * (1.0f - f));
    switch (i) {
    case 0: *r = v; *g = t; *b = p; break;
    case 1: *r = q; *g = v; *b = p; break;
    case 2: *r = p; *g = v; *b = t; break;
    case 3: *r = p; *g = q; *b = v; break;
    case 4: *r = t; *g = p; *b = v; break;
    default: *r = v; *g = p; *b = q; break;
    }
}

int Hue_To_RGB(int16_t m1, int16_t m2, int hue) {
    // The hue is a 16-bit unsigned quantity: negative hues wrap before the modulo.
    int h = static_cast<uint16_t>(hue);
    if (h > HLSMAX) h %= HLSMAX;
    if (h < HLSMAX / 6) return m1 + ((m2 - m1) * h + HLSMAX / 12) / (HLSMAX / 6);
    if (h < HLSMAX / 2) return m2;
    if (h < (HLSMAX * 2) / 3) return m1 + ((m2 - m1) * ((HLSMAX * 2) / 3 - h) + HLSMAX / 12) / (HLSMAX / 6);
    return m1;
}

uint32_t HLS_To_RGB(int hue, int lightness, int saturation) {
    int red, green, blue;
    if (saturation == 0) {
        red = green = blue = (lightness * 255) / HLSMAX;
    } else {
        int m2;
        if (lightness <= HLSMAX / 2)
            m2 = (lightness * (HLSMAX + saturation) + HLSMAX / 2) / HLSMAX;
        else
            m2 = lightness + saturation - (lightness * saturation + HLSMAX / 2) / HLSMAX;
        const int m1 = 2 * lightness - m2;
        const auto m1_16 = static_cast<int16_t>(m1);
        const auto m2_16 = static_cast<int16_t>(m2);
        red = (static_cast<uint16_t>(Hue_To_RGB(m1_16, m2_16, hue + HLSMAX / 3)) * 255 + HLSMAX / 2) / HLSMAX;
        green = (static_cast<uint16_t>(Hue_To_RGB(m1_16, m2_16, hue)) * 255 + HLSMAX / 2) / HLSMAX;
        blue = (static_cast<uint16_t>(Hue_To_RGB(m1_16, m2_16, hue - HLSMAX / 3)) * 255 + HLSMAX / 2) / HLSMAX;
    }
    // A GDI colour at every depth: the drawing call reduces it to the surface's channels.
    return ((static_cast<uint32_t>(blue) & 0xFFu) << 16) | ((static_cast<uint32_t>(green) & 0xFFu) << 8) |
           (static_cast<uint32_t>(red) & 0xFFu);
}
