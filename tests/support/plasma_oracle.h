// The plasma worked out from its formulas, written once for every test that checks pixels:
// the generator, the tables, the phase steps, the read origins, the folds and the packing of
// each depth, and the 8-bit palettes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "presets/plasma_settings.h"

namespace oracle {

// seed x 214013 + 2531011, bits 16..30.
struct Generator {
    uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// One generator: two 2W x 2H tables mirrored about the centre lines, eight phases and the
// four read origins (origin 1 reads table 1, the others table 2).
struct Plasma {
    int W = 0, H = 0;
    std::vector<uint8_t> table1, table2;
    float phase[8] = {};
    int X[4] = {}, Y[4] = {};

    // Eight draws for the phases (odd ones negated), then the tables.
    void Build(int width, int height, int contrast, float ripple, float interference, int complexity, Generator& random) {
        W = width;
        H = height;
        for (int k = 0; k < 8; ++k) {
            const float start = static_cast<float>(random.Next()) / 16384.0f;
            phase[k] = (k % 2) ? -start : start;
        }
        table1.assign(static_cast<size_t>(4 * W * H), 0);
        table2.assign(static_cast<size_t>(4 * W * H), 0);
        for (int y = 0; y < 2 * H; ++y)
            for (int x = 0; x < 2 * W; ++x) {
                const int qx = x < W ? x : 2 * W - 1 - x;
                const int qy = y < H ? y : 2 * H - 1 - y;
                const double dx = W - qx, dy = H - qy;
                const double d = std::sqrt(dx * dx + dy * dy + 16.0) - 4.0;
                const size_t at = static_cast<size_t>(y) * 2 * W + x;
                table1[at] = static_cast<uint8_t>(static_cast<int32_t>(d * ripple / contrast) & 0xFF);
                table2[at] = static_cast<uint8_t>(
                    static_cast<int32_t>((std::sin(d / interference) + 1.0) * complexity / contrast) & 0xFF);
            }
    }
    // The defaults' tables: ripple 5.4, interference 9.5, complexity 50.
    void Build(int width, int height, int contrast, Generator& random) {
        Build(width, height, contrast, 5.4f, 9.5f, 50, random);
    }

    // One frame's step: sway x c / D, odd phases backwards.
    void Step(double D, double sway = 1.6f) {
        static const double c[8] = {0.0425, 0.05, 0.15, 0.1, 0.2, 0.075, 0.175, 0.025};
        for (int k = 0; k < 8; ++k) {
            const double step = sway * c[k] / D;
            phase[k] = static_cast<float>(k % 2 ? phase[k] - step : phase[k] + step);
        }
        Origins(phase, W, H, X, Y);
    }

    static void Origins(const float* p, int W, int H, int* X, int* Y) {
        const int hw = W / 2, hh = H / 2;
        auto at = [](double wave, int half) { return static_cast<int>(wave * half) + half; };
        X[0] = at(std::sin(double{p[0]}), hw);
        Y[0] = at(std::cos(double{p[1]}), hh);
        X[1] = at(std::cos(double{p[2]}), hw);
        Y[1] = at(std::sin(double{p[3]}), hh);
        X[2] = at(std::cos(double{p[4]}), hw);
        Y[2] = at(std::sin(double{p[5]}), hh);
        X[3] = at(std::cos(double{p[6]}), hw);
        Y[3] = at(std::sin(double{p[7]}), hh);
    }
};

// Reads a generator's tables (the oracle's own or the program's) at its origins.
struct Reads {
    const uint8_t* table1;
    const uint8_t* table2;
    int W;
    int X[4], Y[4];

    Reads(const uint8_t* t1, const uint8_t* t2, int width, int height, const float* phase)
        : table1(t1), table2(t2), W(width) {
        Plasma::Origins(phase, width, height, X, Y);
    }
    explicit Reads(const Plasma& p) : Reads(p.table1.data(), p.table2.data(), p.W, p.H, p.phase) {}

    // Byte k of the four read rows at sample x of tile row r.
    unsigned byte(int k, int x, int r) const {
        const uint8_t* t = k == 1 ? table1 : table2;
        return t[static_cast<size_t>(Y[k] + r) * 2 * W + X[k] + x];
    }
    unsigned sum(int x, int r) const { return byte(0, x, r) + byte(1, x, r) + byte(2, x, r) + byte(3, x, r); }

    // The eight-bit index of pixel x: little-endian words of four pixels added with their
    // carries; a short last group (of a row `width` wide) adds only its own bytes.
    uint32_t eight(int x, int r, int width) const {
        const int g = x / 4 * 4, n = std::min(4, width - g);
        uint32_t word = 0;
        for (int k = 0; k < 4; ++k) {
            uint32_t w = 0;
            for (int j = 0; j < n; ++j) w |= byte(k, g + j, r) << (8 * j);
            word += w;
        }
        return (Fold((word >> (8 * (x - g))) & 0xFF, 0x80) << 1) & 0xFF;
    }

    static unsigned Fold(unsigned v, unsigned bit) { return (v & bit) ? (~v & 0xFF) : v; }
};

inline unsigned Fold(unsigned v, unsigned bit) { return Reads::Fold(v, bit); }

// AND (logic 1) or OR with the colour byte, then the darken shift masked as the processor does.
inline unsigned Channel(const PLASMA_SETTINGS& p, unsigned v, unsigned colour, int darken) {
    const unsigned c = p.invert_colour_logic == 1 ? (v & colour) : (v | colour);
    return c >> (darken & 31);
}

// A 24/32-bit pixel from the three channels' byte sums.
inline uint32_t Wide(const PLASMA_SETTINGS& p, unsigned blue, unsigned green, unsigned red) {
    const uint32_t pixel = Channel(p, Fold(blue & 0xFF, 0x80), p.colour_blue, p.darken_blue) |
                           Channel(p, Fold(green & 0xFF, 0x80), p.colour_green, p.darken_green) << 8 |
                           Channel(p, Fold(red & 0xFF, 0x80), p.colour_red, p.darken_red) << 16;
    return p.brighten ? pixel << 1 : pixel;
}

// A single-colour 16-bit pixel: one sum folded at bit 5, green at bit 6.
inline uint32_t Single_16(const PLASMA_SETTINGS& p, unsigned sum) {
    const unsigned v = Fold(sum & 0xFF, 0x20);
    return (Channel(p, v, p.colour_red % 32u, p.darken_red) << 11 | Channel(p, v, p.colour_green % 32u, p.darken_green) << 6 |
            Channel(p, v, p.colour_blue % 32u, p.darken_blue)) &
           0xFFFF;
}

// A multi-colour 16-bit pixel: a quarter of each sum folded at bit 5; on 5-6-5 green takes
// half its sum folded at bit 6.
inline uint32_t Multi_16(const PLASMA_SETTINGS& p, unsigned b, unsigned g, unsigned r, bool is_565) {
    const unsigned green = is_565 ? Channel(p, Fold((g >> 1) & 0xFF, 0x40), p.colour_green % 64u, p.darken_green)
                                  : Channel(p, Fold(g >> 2, 0x20), p.colour_green % 32u, p.darken_green);
    return (Channel(p, Fold(b >> 2, 0x20), p.colour_blue % 32u, p.darken_blue) | green << 5 |
            Channel(p, Fold(r >> 2, 0x20), p.colour_red % 32u, p.darken_red) << (is_565 ? 11 : 10)) &
           0xFFFF;
}

// Entry i of quarter scheme `scheme` (0..9) of the 8-bit palette, as 0x00RRGGBB.
inline uint32_t Quarter_Scheme(int scheme, int i) {
    const int q = i / 64, k = i % 64, n = 63 - k;
    int r = 0, g = 0, b = 0;
    switch (scheme * 4 + q) {
    case 0: r = k; break;
    case 1: r = n; g = k; break;
    case 2: g = n; b = k; break;
    case 3: b = n; break;
    case 4: g = k / 4; break;
    case 5: g = k; b = 64 + k; break;
    case 6: g = n; b = k; break;
    case 7: b = n; break;
    case 8: b = k; break;
    case 9: g = k; b = n; break;
    case 10: r = k; g = n; b = k; break;
    case 11: r = n; b = n; break;
    case 12: r = 2 * k; break;
    case 13: r = 126 - 2 * k; g = 2 * k; break;
    case 14: g = 126 - 2 * k; b = 2 * k; break;
    case 15: b = 126 - 2 * k; break;
    case 16: r = 2 * k; break;
    case 17: r = 126 - 2 * k; b = 126 - 2 * k; break;
    case 18: r = k; b = k; break;
    case 19: r = n; b = n; break;
    case 20: r = k; b = k / 2; break;
    case 21: r = n / 2; b = n; break;
    case 22: r = n; b = n / 2; break;
    case 23: r = n / 2; b = n; break;
    case 24: r = 2 * k; break;
    case 25: r = 126 - 2 * k; b = k; break;
    case 26: r = g = b = n / 2; break;
    case 27: b = n; break;
    case 28: r = g = 2 * k; break;
    case 29: r = g = 128 + 2 * k; break;
    case 30: r = g = 252 - 4 * k; break;
    case 31: b = 126 - 2 * k; break;
    case 32: g = b = 2 * k; break;
    case 33: g = b = 128 + 2 * k; break;
    case 34: g = b = 252 - 4 * k; break;
    case 35: r = 126 - 2 * k; break;
    case 36: b = 2 * k; break;
    case 37: g = 2 * k; b = 126 - 2 * k; break;
    case 38: r = 2 * k; g = 126 - 2 * k; b = 2 * k; break;
    case 39: r = 126 - 2 * k; b = 126 - 2 * k; break;
    }
    return static_cast<uint32_t>((r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF));
}

// Entry i of shift scheme `scheme` (0..19): each channel is i shifted right, 0 for no shift.
inline uint32_t Shift_Scheme(int scheme, int i) {
    static const int shifts[20][6] = {
        {2, 0, 0, 2, 1, 0}, {2, 0, 0, 2, 0, 1}, {0, 0, 2, 1, 0, 2}, {3, 0, 2, 0, 1, 2}, {0, 2, 0, 1, 2, 0},
        {2, 2, 0, 1, 2, 0}, {2, 0, 2, 2, 5, 0}, {0, 0, 2, 0, 1, 2}, {0, 0, 2, 1, 0, 2}, {3, 3, 2, 1, 1, 1},
        {2, 2, 2, 1, 1, 0}, {2, 2, 3, 1, 2, 3}, {2, 3, 2, 1, 3, 2}, {3, 2, 1, 1, 2, 3}, {3, 2, 3, 2, 2, 2},
        {2, 2, 2, 2, 2, 2}, {3, 0, 1, 2, 1, 0}, {2, 0, 2, 1, 1, 2}, {2, 3, 3, 2, 3, 1}, {3, 2, 3, 2, 3, 1}};
    const int* t = shifts[scheme] + (i < 128 ? 0 : 3);
    auto channel = [&](int shift) { return shift == 0 ? 0u : static_cast<uint32_t>(i >> shift) & 0xFF; };
    return channel(t[0]) << 16 | channel(t[1]) << 8 | channel(t[2]);
}

}  // namespace oracle
