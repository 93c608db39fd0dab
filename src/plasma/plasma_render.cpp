// The plasma renderers, one per depth and colour mode. Each frame a context's four read
// origins move; a sample is the byte sum of four table reads, folded into a triangle wave
// and mapped through a per-frame lookup table to the packed pixel.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "diagnostics/diagnostics.h"
#include "plasma/plasma.h"
#include "plasma/plasma_math.h"
#include "presets/plasma_settings.h"

namespace {

constexpr double Phase_Step[8] = {0.0425, 0.05, 0.15, 0.1, 0.2, 0.075, 0.175, 0.025};

void Advance_Phases(Plasma_Context& c, double divisor) {
    const float sway = Plasma_Settings.sway;
    for (int k = 0; k < 8; ++k) {
        const double step = sway * Phase_Step[k] / divisor;
        c.phase[k] = static_cast<float>((k & 1) ? c.phase[k] - step : c.phase[k] + step);
    }
}

// Origin of a W x H window in a 2W x 2H table. A non-finite phase (from a corrupt preset)
// is held inside the table instead of reading outside it.
int Origin(double wave, int half, int limit) {
    const int64_t v = static_cast<int64_t>(Trunc_To_Int32(wave * half)) + half;
    return static_cast<int>(std::clamp<int64_t>(v, 0, limit));
}

// The four table rows one sample row reads from.
struct Reads {
    const uint8_t* a;   // table 1, origin 1
    const uint8_t* b0;  // table 2, origins 0, 2, 3
    const uint8_t* b2;
    const uint8_t* b3;
    ptrdiff_t stride;

    void next() {
        a += stride;
        b0 += stride;
        b2 += stride;
        b3 += stride;
    }
    unsigned sum(int i) const { return unsigned{a[i]} + b0[i] + b2[i] + b3[i]; }
};

bool Has_Tables(const Plasma_Context& c) { return c.table1 && c.table2 && c.width > 0; }

Reads Read_Origins(const Plasma_Context& c) {
    if (!Has_Tables(c)) return {};
    const int W = c.width, H = c.height, hw = W / 2, hh = H / 2;
    const int x0 = Origin(std::sin(static_cast<double>(c.phase[0])), hw, W);
    const int y0 = Origin(std::cos(static_cast<double>(c.phase[1])), hh, H);
    const int x1 = Origin(std::cos(static_cast<double>(c.phase[2])), hw, W);
    const int y1 = Origin(std::sin(static_cast<double>(c.phase[3])), hh, H);
    const int x2 = Origin(std::cos(static_cast<double>(c.phase[4])), hw, W);
    const int y2 = Origin(std::sin(static_cast<double>(c.phase[5])), hh, H);
    const int x3 = Origin(std::cos(static_cast<double>(c.phase[6])), hw, W);
    const int y3 = Origin(std::sin(static_cast<double>(c.phase[7])), hh, H);
    const ptrdiff_t stride = 2 * static_cast<ptrdiff_t>(W);
    return {c.table1 + x1 + y1 * stride, c.table2 + x0 + y0 * stride, c.table2 + x2 + y2 * stride,
            c.table2 + x3 + y3 * stride, stride};
}

// The part of the tile that lies on the surface. The tile may hang over an edge when a
// caller's surface is smaller than the screen; nothing is written outside the surface.
struct Tile {
    uint8_t* bits;
    int pitch;
    int x0, y0;
    int row_begin, row_end;  // tile rows
    int col_begin, col_end;  // tile pixel columns
    bool whole;              // no clipping needed

    uint8_t* row(int r) const { return bits + static_cast<ptrdiff_t>(y0 + r) * pitch; }
};

Tile Clip_Tile(Surface dest, uint8_t* bits, int pitch, int bytes, int x0, int y0, int width, int height) {
    const int surface_w = std::min(dest->width(), pitch / bytes);
    const int surface_h = dest->height();
    Tile t{bits, pitch, x0, y0, 0, 0, 0, 0, false};
    t.row_begin = std::max(0, -y0);
    t.row_end = static_cast<int>(std::min<int64_t>(height, int64_t{surface_h} - y0));
    t.col_begin = std::max(0, -x0);
    t.col_end = static_cast<int>(std::min<int64_t>(width, int64_t{surface_w} - x0));
    t.whole = t.row_begin == 0 && t.col_begin == 0 && t.row_end == height && t.col_end == width;
    return t;
}

inline void Store(uint8_t* p, uint32_t v, std::integral_constant<int, 4>) { std::memcpy(p, &v, 4); }
inline void Store(uint8_t* p, uint32_t v, std::integral_constant<int, 2>) {
    const uint16_t w = static_cast<uint16_t>(v);
    std::memcpy(p, &w, 2);
}
inline void Store(uint8_t* p, uint32_t v, std::integral_constant<int, 3>) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}

// Four copies of one pixel as whole words. The row is restrict so that the table reads of
// the next sample need not wait for these stores.
inline void Store_Four(uint8_t* __restrict out, uint32_t p, std::integral_constant<int, 4>) {
    const uint64_t two = p | static_cast<uint64_t>(p) << 32;
    std::memcpy(out, &two, 8);
    std::memcpy(out + 8, &two, 8);
}
inline void Store_Four(uint8_t* __restrict out, uint32_t p, std::integral_constant<int, 3>) {
    for (int j = 0; j < 12; j += 3) {
        out[j] = static_cast<uint8_t>(p);
        out[j + 1] = static_cast<uint8_t>(p >> 8);
        out[j + 2] = static_cast<uint8_t>(p >> 16);
    }
}
inline void Store_Four(uint8_t* __restrict out, uint32_t p, std::integral_constant<int, 2>) {
    const uint64_t four = (p & 0xFFFF) * 0x0001000100010001ull;
    std::memcpy(out, &four, 8);
}

template <int Bytes, typename Sampler>
void Fill_Row(uint8_t* __restrict out, const Sampler sampler, int samples) {
    const std::integral_constant<int, Bytes> size;
    for (int i = 0; i < samples; ++i, out += 4 * Bytes) Store_Four(out, sampler.pixel(i), size);
}

// One sample per four pixels at 15/16/24/32 bits. Sampler: skip_rows(), next_row(), pixel(i).
template <int Bytes, bool Clipped, typename Sampler>
void Fill_Replicated(Sampler& sampler, int samples, const Tile& t) {
    const std::integral_constant<int, Bytes> size;
    sampler.skip_rows(t.row_begin);
    for (int r = t.row_begin; r < t.row_end; ++r) {
        uint8_t* row = t.row(r);
        if constexpr (!Clipped) {
            Fill_Row<Bytes>(row + static_cast<ptrdiff_t>(t.x0) * Bytes, sampler, samples);
        } else {
            for (int i = t.col_begin / 4; i < samples && 4 * i < t.col_end; ++i) {
                const uint32_t p = sampler.pixel(i);
                for (int j = 0; j < 4; ++j) {
                    const int col = 4 * i + j;
                    if (col >= t.col_begin && col < t.col_end)
                        Store(row + static_cast<ptrdiff_t>(t.x0 + col) * Bytes, p, size);
                }
            }
        }
        sampler.next_row();
    }
}

template <int Bytes, typename Sampler>
void Fill(Sampler& sampler, int samples, const Tile& t) {
    if (t.row_begin >= t.row_end || t.col_begin >= t.col_end) return;
    if (t.whole)
        Fill_Replicated<Bytes, false>(sampler, samples, t);
    else
        Fill_Replicated<Bytes, true>(sampler, samples, t);
}

// Byte sum of one context through one table.
template <typename Entry>
struct Single_Sampler {
    Reads reads;
    const Entry* lut;
    void skip_rows(int n) {
        for (int i = 0; i < n; ++i) reads.next();
    }
    void next_row() { reads.next(); }
    uint32_t pixel(int i) const { return lut[static_cast<uint8_t>(reads.sum(i))]; }
};

// Three contexts, one per channel; Index maps the 0..1020 sum to the table index.
template <typename Entry, bool Byte_Index>
struct Multi_Sampler {
    Reads blue, green, red;
    const Entry* lut_blue;
    const Entry* lut_green;
    const Entry* lut_red;
    void skip_rows(int n) {
        for (int i = 0; i < n; ++i) next_row();
    }
    void next_row() {
        blue.next();
        green.next();
        red.next();
    }
    static unsigned index(unsigned s) { return Byte_Index ? (s & 0xFF) : s; }
    uint32_t pixel(int i) const {
        return lut_blue[index(blue.sum(i))] | lut_green[index(green.sum(i))] | lut_red[index(red.sum(i))];
    }
};

unsigned Fold(unsigned v, unsigned bit) { return (v & bit) ? (~v & 0xFF) : v; }

// One colour channel of a folded value: AND or OR with its colour byte, then the darken shift
// (masked like the processor masks a shift count).
unsigned Channel(unsigned v, unsigned colour, int darken) {
    const unsigned c = Plasma_Settings.invert_colour_logic == 1 ? (v & colour) : (v | colour);
    return c >> (darken & 31);
}

enum Which { Blue, Green, Red, All };

// 24/32-bit pixel bits of byte sum s for one channel (or all three).
uint32_t Pixel_32(unsigned s, Which which) {
    const PLASMA_SETTINGS& p = Plasma_Settings;
    const unsigned v = Fold(s & 0xFF, 0x80);
    uint32_t pixel = 0;
    if (which == Blue || which == All) pixel |= Channel(v, p.colour_blue, p.darken_blue);
    if (which == Green || which == All) pixel |= Channel(v, p.colour_green, p.darken_green) << 8;
    if (which == Red || which == All) pixel |= Channel(v, p.colour_red, p.darken_red) << 16;
    return p.brighten ? pixel << 1 : pixel;
}

void Build_Lut_32(uint32_t* lut, Which which) {
    for (unsigned s = 0; s < 256; ++s) lut[s] = Pixel_32(s, which);
}

// 16-bit multi-colour channel bits for the 0..1020 sum s.
uint32_t Pixel_Multi_16(unsigned s, Which which, bool is_565) {
    const PLASMA_SETTINGS& p = Plasma_Settings;
    if (which == Green && is_565) {
        const unsigned v = Fold((s >> 1) & 0xFF, 0x40);
        return (Channel(v, p.colour_green % 64u, p.darken_green) << 5) & 0xFFFF;
    }
    const unsigned v = Fold((s >> 2) & 0xFF, 0x20);
    switch (which) {
        case Blue: return Channel(v, p.colour_blue % 32u, p.darken_blue) & 0xFFFF;
        case Green: return (Channel(v, p.colour_green % 32u, p.darken_green) << 5) & 0xFFFF;
        default: return (Channel(v, p.colour_red % 32u, p.darken_red) << (is_565 ? 11 : 10)) & 0xFFFF;
    }
}

constexpr int Multi_16_Entries = 1021;

uint8_t* Lock_Or_Report(Surface dest, int* pitch, const char* message) {
    uint8_t* bits = dest ? Lock_Surface(dest, pitch) : nullptr;
    if (!bits) Report_Error(message);
    return bits;
}

uint32_t Load_Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Four pixels per 32-bit addition: a byte's carry runs into the next pixel of its group.
void Fill_8(Reads reads, int W, const Tile& t) {
    uint8_t lut[256];
    for (unsigned v = 0; v < 256; ++v) lut[v] = static_cast<uint8_t>(Fold(v, 0x80) << 1);

    for (int i = 0; i < t.row_begin; ++i) reads.next();
    for (int r = t.row_begin; r < t.row_end; ++r, reads.next()) {
        uint8_t* row = t.row(r);
        for (int g = 0; g < W; g += 4) {
            const int n = std::min(4, W - g);
            uint32_t word;
            if (n == 4) {
                word = Load_Le32(reads.a + g) + Load_Le32(reads.b0 + g) + Load_Le32(reads.b2 + g) +
                       Load_Le32(reads.b3 + g);
            } else {
                // A short last group (width not a multiple of four) adds only its own bytes.
                uint32_t a = 0, b0 = 0, b2 = 0, b3 = 0;
                for (int j = 0; j < n; ++j) {
                    a |= uint32_t{reads.a[g + j]} << (8 * j);
                    b0 |= uint32_t{reads.b0[g + j]} << (8 * j);
                    b2 |= uint32_t{reads.b2[g + j]} << (8 * j);
                    b3 |= uint32_t{reads.b3[g + j]} << (8 * j);
                }
                word = a + b0 + b2 + b3;
            }
            for (int j = 0; j < n; ++j) {
                const int col = g + j;
                if (!t.whole && (col < t.col_begin || col >= t.col_end)) continue;
                row[t.x0 + col] = lut[(word >> (8 * j)) & 0xFF];
            }
        }
    }
}

}  // namespace

int Process_Plasma_8(Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    Plasma_Context& c = *context;
    Advance_Phases(c, divisor);
    const Reads reads = Read_Origins(c);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(dest, &pitch, "Process Plasma():\n\nUnable to Lock destination surface");
    if (!bits) return 0;
    if (c.height >= 1 && Has_Tables(c)) {
        const Tile t = Clip_Tile(dest, bits, pitch, 1, x0, y0, c.width, c.height);
        if (t.row_begin < t.row_end && t.col_begin < t.col_end) Fill_8(reads, c.width, t);
    }
    Unlock_Surface(dest, bits);
    return 1;
}

int Process_Plasma_16(Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    Plasma_Context& c = *context;
    Advance_Phases(c, divisor);
    const Reads reads = Read_Origins(c);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(dest, &pitch, "Process Plasma():\n\nUnable to Lock destination surface");
    if (!bits) return 0;
    if (c.height >= 1 && Has_Tables(c)) {
        // Green goes in at bit 6 whatever the layout: five bits in the top of a six-bit field.
        const PLASMA_SETTINGS& p = Plasma_Settings;
        uint16_t lut[256];
        for (unsigned s = 0; s < 256; ++s) {
            const unsigned v = Fold(s, 0x20);
            lut[s] = static_cast<uint16_t>(Channel(v, p.colour_red % 32u, p.darken_red) << 11 |
                                           Channel(v, p.colour_green % 32u, p.darken_green) << 6 |
                                           Channel(v, p.colour_blue % 32u, p.darken_blue));
        }
        const int samples = c.width / 4;
        Single_Sampler<uint16_t> sampler{reads, lut};
        Fill<2>(sampler, samples, Clip_Tile(dest, bits, pitch, 2, x0, y0, 4 * samples, c.height));
    }
    Unlock_Surface(dest, bits);
    return 1;
}

namespace {

template <int Bytes>
int Process_Plasma_Wide(Plasma_Context* context, Surface dest, double divisor, int x0, int y0,
                        const char* lock_message) {
    Plasma_Context& c = *context;
    Advance_Phases(c, divisor);
    const Reads reads = Read_Origins(c);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(dest, &pitch, lock_message);
    if (!bits) return 0;
    if (c.height >= 1 && Has_Tables(c)) {
        uint32_t lut[256];
        Build_Lut_32(lut, All);
        const int samples = c.width / 4;
        Single_Sampler<uint32_t> sampler{reads, lut};
        Fill<Bytes>(sampler, samples, Clip_Tile(dest, bits, pitch, Bytes, x0, y0, 4 * samples, c.height));
    }
    Unlock_Surface(dest, bits);
    return 1;
}

bool Same_Size(const Plasma_Context& a, const Plasma_Context& b, const Plasma_Context& c) {
    return a.width == b.width && a.width == c.width && a.height == b.height && a.height == c.height;
}

template <int Bytes>
int Multi_Colour_Plasma(Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                        double divisor1, double divisor2, double divisor3, int x0, int y0,
                        const char* lock_message) {
    Advance_Phases(*blue, divisor1);
    Advance_Phases(*green, divisor2);
    Advance_Phases(*red, divisor3);
    const Reads reads_blue = Read_Origins(*blue);
    const Reads reads_green = Read_Origins(*green);
    const Reads reads_red = Read_Origins(*red);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(dest, &pitch, lock_message);
    if (!bits) return 0;
    const int H = blue->height;
    if (H >= 1 && Has_Tables(*blue) && Has_Tables(*green) && Has_Tables(*red) &&
        Same_Size(*blue, *green, *red)) {
        const int samples = blue->width / 4;
        const Tile t = Clip_Tile(dest, bits, pitch, Bytes, x0, y0, 4 * samples, H);
        if constexpr (Bytes == 2) {
            const bool is_565 = Pixel_Format_565 != 0;
            uint16_t lut[3][Multi_16_Entries];
            for (unsigned s = 0; s < Multi_16_Entries; ++s) {
                lut[0][s] = static_cast<uint16_t>(Pixel_Multi_16(s, Blue, is_565));
                lut[1][s] = static_cast<uint16_t>(Pixel_Multi_16(s, Green, is_565));
                lut[2][s] = static_cast<uint16_t>(Pixel_Multi_16(s, Red, is_565));
            }
            Multi_Sampler<uint16_t, false> sampler{reads_blue, reads_green, reads_red, lut[0], lut[1], lut[2]};
            Fill<2>(sampler, samples, t);
        } else {
            uint32_t lut[3][256];
            Build_Lut_32(lut[0], Blue);
            Build_Lut_32(lut[1], Green);
            Build_Lut_32(lut[2], Red);
            Multi_Sampler<uint32_t, true> sampler{reads_blue, reads_green, reads_red, lut[0], lut[1], lut[2]};
            Fill<Bytes>(sampler, samples, t);
        }
    }
    Unlock_Surface(dest, bits);
    return 1;
}

}  // namespace

int Process_Plasma_24(Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    return Process_Plasma_Wide<3>(context, dest, divisor, x0, y0,
                                  "Process Plasma_24():\n\nUnable to Lock destination surface");
}

int Process_Plasma_32(Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    return Process_Plasma_Wide<4>(context, dest, divisor, x0, y0,
                                  "Process Plasma_32():\n\nUnable to Lock destination surface");
}

int Multi_Colour_Plasma_16(Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0) {
    return Multi_Colour_Plasma<2>(blue, green, red, dest, divisor1, divisor2, divisor3, x0, y0,
                                  "Process Plasma():\n\nUnable to Lock destination surface");
}

int Multi_Colour_Plasma_24(Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0) {
    return Multi_Colour_Plasma<3>(blue, green, red, dest, divisor1, divisor2, divisor3, x0, y0,
                                  "Multi Plasma_24():\n\nUnable to Lock destination surface");
}

int Multi_Colour_Plasma_32(Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0) {
    return Multi_Colour_Plasma<4>(blue, green, red, dest, divisor1, divisor2, divisor3, x0, y0,
                                  "Process Plasma():\n\nUnable to Lock destination surface");
}
