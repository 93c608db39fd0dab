// Object bitmaps written by hand for the object tests: 24-bit bottom-up BMP files whose
// pixels come from a function of (x, y), y counted from the top.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

inline std::string Make_Object_Bmp(int width, int height, const std::function<Rgb(int, int)>& colour) {
    const int row = (width * 3 + 3) & ~3;
    const uint32_t body = static_cast<uint32_t>(row) * static_cast<uint32_t>(height);
    std::string out(54 + body, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + body);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            const size_t at = 54 + static_cast<size_t>(height - 1 - y) * row + static_cast<size_t>(x) * 3;
            out[at] = static_cast<char>(c.b);
            out[at + 1] = static_cast<char>(c.g);
            out[at + 2] = static_cast<char>(c.r);
        }
    return out;
}

inline std::string Solid_Bmp(int width, int height, Rgb c) {
    return Make_Object_Bmp(width, height, [c](int, int) { return c; });
}

// Width and height from a BMP file's header (0 x 0 when it is too short).
inline void Bmp_Size(const std::string& bytes, int* width, int* height) {
    *width = *height = 0;
    if (bytes.size() < 26) return;
    auto get32 = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
        return static_cast<int>(v);
    };
    *width = get32(18);
    *height = get32(22);
}

// Channels of a 32-bit display pixel (red in the high byte there, as GDI writes it).
inline Rgb Channels_32(uint32_t pixel) {
    return Rgb{static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8), static_cast<uint8_t>(pixel)};
}
