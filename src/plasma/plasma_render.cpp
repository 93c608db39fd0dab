// The plasma renderers, one per depth and colour mode. Each frame a context's four read
// origins move; a sample is the byte sum of four table reads, folded into a triangle wave
// and mapped through a per-frame lookup table to the packed pixel.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "diagnostics/diagnostics.h"
#include "plasma/plasma.h"
#include "plasma/plasma_math.h"
#include "presets/plasma_settings.h"
#include "session/session.h"

namespace {

constexpr double Phase_Step[8] = {0.0425, 0.05, 0.15, 0.1, 0.2, 0.075, 0.175, 0.025};

void Advance_Phases(Session& s, Plasma_Context& c, double divisor) {
    const float sway = s.Plasma_Settings.sway;
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

// Sixteen samples at a time. The sums, folds and channel logic are the same whole-number
// operations as the scalar forms below, applied lane by lane; stores replicate each sample.
typedef uint8_t V8 __attribute__((vector_size(16)));
typedef int8_t S8 __attribute__((vector_size(16)));
typedef uint16_t V16 __attribute__((vector_size(16)));
typedef int16_t S16 __attribute__((vector_size(16)));
typedef uint32_t V32 __attribute__((vector_size(16)));
typedef uint8_t V8x8 __attribute__((vector_size(8)));
typedef uint8_t V8x4 __attribute__((vector_size(4)));

constexpr int Block = 16;

template <typename To, typename From>
inline To Bits(From f) {
    static_assert(sizeof(To) == sizeof(From));
    To t;
    std::memcpy(&t, &f, sizeof t);
    return t;
}

inline V8 Load8(const uint8_t* p) {
    V8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename V>
inline void Store_Vector(uint8_t* p, V v) {
    std::memcpy(p, &v, sizeof v);
}

// The table rows a sample row reads are short runs far apart, too many at once for the
// hardware to guess; the rows a few sample rows ahead are asked for while this one is worked.
constexpr int Prefetch_Rows = 4;
inline void Prefetch_Ahead(const Reads& r, int samples) {
    // Addresses only: near the tables' end they lie past it, which a prefetch may.
    const uintptr_t ahead = static_cast<uintptr_t>(Prefetch_Rows * r.stride);
    for (const uint8_t* row : {r.a, r.b0, r.b2, r.b3})
        for (int i = 0; i < samples; i += 64)
            __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(row) + ahead + i));
}

// The wrapped byte sums of sixteen samples.
inline V8 Byte_Sums(const Reads& r, int i) { return Load8(r.a + i) + Load8(r.b0 + i) + Load8(r.b2 + i) + Load8(r.b3 + i); }

// Bytes with `bit` set become their complement.
inline V8 Fold_Bytes(V8 v, uint8_t bit) { return v ^ Bits<V8>((v & bit) != 0); }
// The same on 16-bit lanes: bit `Bit` moved to the top and spread over the lane. The high
// byte of the result is left for the channel logic's AND to clear.
template <int Bit>
inline V16 Fold_Words(V16 v) {
    return v ^ Bits<V16>(Bits<S16>(v << (15 - Bit)) >> 15);
}

// Lanes 8h..8h+7 of sixteen bytes, widened.
template <int H>
inline V16 Half(V8 v) {
    return __builtin_convertvector(
        __builtin_shufflevector(v, v, 8 * H, 8 * H + 1, 8 * H + 2, 8 * H + 3, 8 * H + 4, 8 * H + 5, 8 * H + 6, 8 * H + 7),
        V16);
}

// The colour logic on folded values under 256, whatever the lane width: AND logic keeps the
// colour's bits, OR logic sets them; both as one AND and one OR so the loops do not branch.
// Shifting a value under 256 by 8 or more leaves 0, so the count is held at 8.
struct Channel_Logic {
    uint8_t keep, set;
    int shift;
    // Lanes wider than a byte may carry bits above the value's low byte: `keep` clears them.
    template <typename V>
    V apply(V v) const {
        return ((v & keep) | set) >> shift;
    }
    V8 apply_bytes(V8 v) const {
        const V8 c = (v & keep) | set;
        V8 low_bits;
        std::memset(&low_bits, 0xFF >> shift, sizeof low_bits);
        return Bits<V8>(Bits<V16>(c) >> shift) & low_bits;
    }
};

Channel_Logic Logic(const PLASMA_SETTINGS& p, unsigned colour, int darken) {
    const uint8_t c = static_cast<uint8_t>(colour);
    const bool and_logic = p.invert_colour_logic == 1;
    return {and_logic ? c : uint8_t{0xFF}, and_logic ? uint8_t{0} : c, std::min(darken & 31, 8)};
}

// Four 32-bit pixels, each stored four times.
inline void Store_Replicated(uint8_t* out, V32 p) {
    Store_Vector(out, __builtin_shufflevector(p, p, 0, 0, 0, 0));
    Store_Vector(out + 16, __builtin_shufflevector(p, p, 1, 1, 1, 1));
    Store_Vector(out + 32, __builtin_shufflevector(p, p, 2, 2, 2, 2));
    Store_Vector(out + 48, __builtin_shufflevector(p, p, 3, 3, 3, 3));
}
// Eight 16-bit pixels, each stored four times: two interleaving steps, which every vector
// unit has, instead of a general shuffle.
inline void Store_Replicated(uint8_t* out, V16 p) {
    const V32 lo = Bits<V32>(__builtin_shufflevector(p, p, 0, 8, 1, 9, 2, 10, 3, 11));
    const V32 hi = Bits<V32>(__builtin_shufflevector(p, p, 4, 12, 5, 13, 6, 14, 7, 15));
    Store_Vector(out, __builtin_shufflevector(lo, lo, 0, 4, 1, 5));
    Store_Vector(out + 16, __builtin_shufflevector(lo, lo, 2, 6, 3, 7));
    Store_Vector(out + 32, __builtin_shufflevector(hi, hi, 0, 4, 1, 5));
    Store_Vector(out + 48, __builtin_shufflevector(hi, hi, 2, 6, 3, 7));
}

// 32-bit pixels of sixteen folded values per channel: blue | green << 8 | red << 16, doubled
// when brightened. The channels are worked out on byte lanes and then interleaved.
struct Wide_Pixels {
    Channel_Logic blue, green, red;
    int brighten;
    void store(uint8_t* out, V8 b, V8 g, V8 r) const {
        b = blue.apply_bytes(b);
        g = green.apply_bytes(g);
        r = red.apply_bytes(r);
        const V8 zero{};
        const V16 bg_lo = Bits<V16>(__builtin_shufflevector(b, g, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
        const V16 bg_hi =
            Bits<V16>(__builtin_shufflevector(b, g, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31));
        const V16 r_lo =
            Bits<V16>(__builtin_shufflevector(r, zero, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
        const V16 r_hi =
            Bits<V16>(__builtin_shufflevector(r, zero, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31));
        Store_Replicated(out, Bits<V32>(__builtin_shufflevector(bg_lo, r_lo, 0, 8, 1, 9, 2, 10, 3, 11)) << brighten);
        Store_Replicated(out + 64, Bits<V32>(__builtin_shufflevector(bg_lo, r_lo, 4, 12, 5, 13, 6, 14, 7, 15)) << brighten);
        Store_Replicated(out + 128, Bits<V32>(__builtin_shufflevector(bg_hi, r_hi, 0, 8, 1, 9, 2, 10, 3, 11)) << brighten);
        Store_Replicated(out + 192,
                         Bits<V32>(__builtin_shufflevector(bg_hi, r_hi, 4, 12, 5, 13, 6, 14, 7, 15)) << brighten);
    }
};

Wide_Pixels Wide_Logic(const PLASMA_SETTINGS& p) {
    return {Logic(p, p.colour_blue, p.darken_blue), Logic(p, p.colour_green, p.darken_green),
            Logic(p, p.colour_red, p.darken_red), p.brighten ? 1 : 0};
}

// Row fillers for the fast path: each writes whole blocks of sixteen samples and returns how
// many samples it wrote; the caller finishes the row one sample at a time.
struct No_Fast {
    int operator()(uint8_t*, const Reads&, int) const { return 0; }
    int operator()(uint8_t*, const Reads&, const Reads&, const Reads&, int) const { return 0; }
};

struct Single_Fast_32 {
    Wide_Pixels pixels;
    int operator()(uint8_t* out, const Reads& r, int samples) const {
        Prefetch_Ahead(r, samples);
        int i = 0;
        for (; i + Block <= samples; i += Block, out += Block * 16) {
            const V8 v = Fold_Bytes(Byte_Sums(r, i), 0x80);
            pixels.store(out, v, v, v);
        }
        return i;
    }
};

struct Multi_Fast_32 {
    Wide_Pixels pixels;
    int operator()(uint8_t* out, const Reads& b, const Reads& g, const Reads& r, int samples) const {
        Prefetch_Ahead(b, samples);
        Prefetch_Ahead(g, samples);
        Prefetch_Ahead(r, samples);
        int i = 0;
        for (; i + Block <= samples; i += Block, out += Block * 16)
            pixels.store(out, Fold_Bytes(Byte_Sums(b, i), 0x80), Fold_Bytes(Byte_Sums(g, i), 0x80),
                         Fold_Bytes(Byte_Sums(r, i), 0x80));
        return i;
    }
};

// Single colour at 15/16 bits: red at bit 11, green at bit 6, blue at bit 0, each of five bits.
struct Single_Fast_16 {
    Channel_Logic blue, green, red;
    V16 pixel(V16 v) const { return red.apply(v) << 11 | green.apply(v) << 6 | blue.apply(v); }
    int operator()(uint8_t* out, const Reads& r, int samples) const {
        Prefetch_Ahead(r, samples);
        int i = 0;
        for (; i + Block <= samples; i += Block, out += Block * 8) {
            const V8 v = Fold_Bytes(Byte_Sums(r, i), 0x20);
            Store_Replicated(out, pixel(Half<0>(v)));
            Store_Replicated(out + 64, pixel(Half<1>(v)));
        }
        return i;
    }
};

// Multi colour at 15/16 bits: the whole 0..1020 sum per channel, a quarter of it (half for
// green on 5-6-5) folded and placed in its field.
struct Multi_Fast_16 {
    Channel_Logic blue, green, red;
    bool is_565;
    template <int H>
    static V16 Sums(const Reads& r, int i) {
        return Half<H>(Load8(r.a + i)) + Half<H>(Load8(r.b0 + i)) + Half<H>(Load8(r.b2 + i)) + Half<H>(Load8(r.b3 + i));
    }
    template <int H>
    V16 pixel(const Reads& b, const Reads& g, const Reads& r, int i) const {
        const V16 green_sum = Sums<H>(g, i);
        const V16 green_bits = is_565 ? green.apply(Fold_Words<6>(green_sum >> 1)) << 5
                                      : green.apply(Fold_Words<5>(green_sum >> 2)) << 5;
        return blue.apply(Fold_Words<5>(Sums<H>(b, i) >> 2)) | green_bits |
               red.apply(Fold_Words<5>(Sums<H>(r, i) >> 2)) << (is_565 ? 11 : 10);
    }
    int operator()(uint8_t* out, const Reads& b, const Reads& g, const Reads& r, int samples) const {
        Prefetch_Ahead(b, samples);
        Prefetch_Ahead(g, samples);
        Prefetch_Ahead(r, samples);
        int i = 0;
        for (; i + Block <= samples; i += Block, out += Block * 8) {
            Store_Replicated(out, pixel<0>(b, g, r, i));
            Store_Replicated(out + 64, pixel<1>(b, g, r, i));
        }
        return i;
    }
};

template <int Bytes, typename Sampler>
void Fill_Row(uint8_t* __restrict out, const Sampler& sampler, int samples) {
    const std::integral_constant<int, Bytes> size;
    int i = 0;
    // The vector forms lay pixels out as a little-endian processor stores them.
    if constexpr (std::endian::native == std::endian::little) i = sampler.fast_row(out, samples);
    for (out += static_cast<ptrdiff_t>(i) * 4 * Bytes; i < samples; ++i, out += 4 * Bytes)
        Store_Four(out, sampler.pixel(i), size);
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
template <typename Entry, typename Fast = No_Fast>
struct Single_Sampler {
    Reads reads;
    const Entry* lut;
    Fast fast{};
    int fast_row(uint8_t* out, int samples) const { return fast(out, reads, samples); }
    void skip_rows(int n) {
        for (int i = 0; i < n; ++i) reads.next();
    }
    void next_row() { reads.next(); }
    uint32_t pixel(int i) const { return lut[static_cast<uint8_t>(reads.sum(i))]; }
};

// Three contexts, one per channel; Index maps the 0..1020 sum to the table index.
template <typename Entry, bool Byte_Index, typename Fast = No_Fast>
struct Multi_Sampler {
    Reads blue, green, red;
    const Entry* lut_blue;
    const Entry* lut_green;
    const Entry* lut_red;
    Fast fast{};
    int fast_row(uint8_t* out, int samples) const { return fast(out, blue, green, red, samples); }
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
unsigned Channel(const PLASMA_SETTINGS& p, unsigned v, unsigned colour, int darken) {
    const unsigned c = p.invert_colour_logic == 1 ? (v & colour) : (v | colour);
    return c >> (darken & 31);
}

enum Which { Blue, Green, Red, All };

// 24/32-bit pixel bits of byte sum s for one channel (or all three).
uint32_t Pixel_32(const PLASMA_SETTINGS& p, unsigned sum, Which which) {
    const unsigned v = Fold(sum & 0xFF, 0x80);
    uint32_t pixel = 0;
    if (which == Blue || which == All) pixel |= Channel(p, v, p.colour_blue, p.darken_blue);
    if (which == Green || which == All) pixel |= Channel(p, v, p.colour_green, p.darken_green) << 8;
    if (which == Red || which == All) pixel |= Channel(p, v, p.colour_red, p.darken_red) << 16;
    return p.brighten ? pixel << 1 : pixel;
}

void Build_Lut_32(const PLASMA_SETTINGS& p, uint32_t* lut, Which which) {
    for (unsigned sum = 0; sum < 256; ++sum) lut[sum] = Pixel_32(p, sum, which);
}

// 16-bit multi-colour channel bits for the 0..1020 sum s.
uint32_t Pixel_Multi_16(const PLASMA_SETTINGS& p, unsigned sum, Which which, bool is_565) {
    if (which == Green && is_565) {
        const unsigned v = Fold((sum >> 1) & 0xFF, 0x40);
        return (Channel(p, v, p.colour_green % 64u, p.darken_green) << 5) & 0xFFFF;
    }
    const unsigned v = Fold((sum >> 2) & 0xFF, 0x20);
    switch (which) {
        case Blue: return Channel(p, v, p.colour_blue % 32u, p.darken_blue) & 0xFFFF;
        case Green: return (Channel(p, v, p.colour_green % 32u, p.darken_green) << 5) & 0xFFFF;
        default: return (Channel(p, v, p.colour_red % 32u, p.darken_red) << (is_565 ? 11 : 10)) & 0xFFFF;
    }
}

constexpr int Multi_16_Entries = 1021;

uint8_t* Lock_Or_Report(Display_Context& d, Surface dest, int* pitch, const char* message) {
    uint8_t* bits = dest ? Lock_Surface(d, dest, pitch) : nullptr;
    if (!bits) Report_Error(d.app, message);
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
        int g = 0;
        if constexpr (std::endian::native == std::endian::little) {
            // Sixteen pixels at a time as four little-endian words, carries and all.
            if (t.whole) {
                Prefetch_Ahead(reads, W);
                for (; g + Block <= W; g += Block) {
                    const V32 word = Bits<V32>(Load8(reads.a + g)) + Bits<V32>(Load8(reads.b0 + g)) +
                                     Bits<V32>(Load8(reads.b2 + g)) + Bits<V32>(Load8(reads.b3 + g));
                    const V8 v = Fold_Bytes(Bits<V8>(word), 0x80);
                    Store_Vector(row + t.x0 + g, v + v);
                }
            }
        }
        for (; g < W; g += 4) {
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

int Process_Plasma_8(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    Plasma_Context& c = *context;
    Advance_Phases(s, c, divisor);
    const Reads reads = Read_Origins(c);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(s.display, dest, &pitch, "Process Plasma():\n\nUnable to Lock destination surface");
    if (!bits) return 0;
    if (c.height >= 1 && Has_Tables(c)) {
        const Tile t = Clip_Tile(dest, bits, pitch, 1, x0, y0, c.width, c.height);
        if (t.row_begin < t.row_end && t.col_begin < t.col_end) Fill_8(reads, c.width, t);
    }
    Unlock_Surface(dest, bits);
    return 1;
}

int Process_Plasma_16(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    Plasma_Context& c = *context;
    Advance_Phases(s, c, divisor);
    const Reads reads = Read_Origins(c);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(s.display, dest, &pitch, "Process Plasma():\n\nUnable to Lock destination surface");
    if (!bits) return 0;
    if (c.height >= 1 && Has_Tables(c)) {
        // Green goes in at bit 6 whatever the layout: five bits in the top of a six-bit field.
        const PLASMA_SETTINGS& p = s.Plasma_Settings;
        uint16_t lut[256];
        for (unsigned s = 0; s < 256; ++s) {
            const unsigned v = Fold(s, 0x20);
            lut[s] = static_cast<uint16_t>(Channel(p, v, p.colour_red % 32u, p.darken_red) << 11 |
                                           Channel(p, v, p.colour_green % 32u, p.darken_green) << 6 |
                                           Channel(p, v, p.colour_blue % 32u, p.darken_blue));
        }
        const int samples = c.width / 4;
        const Single_Fast_16 fast{Logic(p, p.colour_blue % 32u, p.darken_blue), Logic(p, p.colour_green % 32u, p.darken_green),
                                  Logic(p, p.colour_red % 32u, p.darken_red)};
        Single_Sampler<uint16_t, Single_Fast_16> sampler{reads, lut, fast};
        Fill<2>(sampler, samples, Clip_Tile(dest, bits, pitch, 2, x0, y0, 4 * samples, c.height));
    }
    Unlock_Surface(dest, bits);
    return 1;
}

namespace {

template <int Bytes>
int Process_Plasma_Wide(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0,
                        const char* lock_message) {
    Plasma_Context& c = *context;
    Advance_Phases(s, c, divisor);
    const Reads reads = Read_Origins(c);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(s.display, dest, &pitch, lock_message);
    if (!bits) return 0;
    if (c.height >= 1 && Has_Tables(c)) {
        uint32_t lut[256];
        Build_Lut_32(s.Plasma_Settings, lut, All);
        const int samples = c.width / 4;
        using Fast = std::conditional_t<Bytes == 4, Single_Fast_32, No_Fast>;
        Fast fast{};
        if constexpr (Bytes == 4) fast.pixels = Wide_Logic(s.Plasma_Settings);
        Single_Sampler<uint32_t, Fast> sampler{reads, lut, fast};
        Fill<Bytes>(sampler, samples, Clip_Tile(dest, bits, pitch, Bytes, x0, y0, 4 * samples, c.height));
    }
    Unlock_Surface(dest, bits);
    return 1;
}

bool Same_Size(const Plasma_Context& a, const Plasma_Context& b, const Plasma_Context& c) {
    return a.width == b.width && a.width == c.width && a.height == b.height && a.height == c.height;
}

template <int Bytes>
int Multi_Colour_Plasma(Session& s, Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                        double divisor1, double divisor2, double divisor3, int x0, int y0,
                        const char* lock_message) {
    Advance_Phases(s, *blue, divisor1);
    Advance_Phases(s, *green, divisor2);
    Advance_Phases(s, *red, divisor3);
    const Reads reads_blue = Read_Origins(*blue);
    const Reads reads_green = Read_Origins(*green);
    const Reads reads_red = Read_Origins(*red);
    int pitch = 0;
    uint8_t* bits = Lock_Or_Report(s.display, dest, &pitch, lock_message);
    if (!bits) return 0;
    const int H = blue->height;
    if (H >= 1 && Has_Tables(*blue) && Has_Tables(*green) && Has_Tables(*red) &&
        Same_Size(*blue, *green, *red)) {
        const int samples = blue->width / 4;
        const Tile t = Clip_Tile(dest, bits, pitch, Bytes, x0, y0, 4 * samples, H);
        if constexpr (Bytes == 2) {
            const bool is_565 = dest->pixel_format().kind == Pixel_Kind::Rgb565;
            // The tables serve only the samples the vector form leaves: clipped tiles and row ends.
            const bool scalar_samples =
                !t.whole || samples % Block != 0 || std::endian::native != std::endian::little;
            uint16_t lut[3][Multi_16_Entries];
            const PLASMA_SETTINGS& p = s.Plasma_Settings;
            for (unsigned sum = 0; scalar_samples && sum < Multi_16_Entries; ++sum) {
                lut[0][sum] = static_cast<uint16_t>(Pixel_Multi_16(p, sum, Blue, is_565));
                lut[1][sum] = static_cast<uint16_t>(Pixel_Multi_16(p, sum, Green, is_565));
                lut[2][sum] = static_cast<uint16_t>(Pixel_Multi_16(p, sum, Red, is_565));
            }
            const Multi_Fast_16 fast{Logic(p, p.colour_blue % 32u, p.darken_blue),
                                     Logic(p, p.colour_green % (is_565 ? 64u : 32u), p.darken_green),
                                     Logic(p, p.colour_red % 32u, p.darken_red), is_565};
            Multi_Sampler<uint16_t, false, Multi_Fast_16> sampler{reads_blue, reads_green, reads_red,
                                                                  lut[0],     lut[1],      lut[2], fast};
            Fill<2>(sampler, samples, t);
        } else {
            uint32_t lut[3][256];
            Build_Lut_32(s.Plasma_Settings, lut[0], Blue);
            Build_Lut_32(s.Plasma_Settings, lut[1], Green);
            Build_Lut_32(s.Plasma_Settings, lut[2], Red);
            using Fast = std::conditional_t<Bytes == 4, Multi_Fast_32, No_Fast>;
            Fast fast{};
            if constexpr (Bytes == 4) fast.pixels = Wide_Logic(s.Plasma_Settings);
            Multi_Sampler<uint32_t, true, Fast> sampler{reads_blue, reads_green, reads_red, lut[0], lut[1], lut[2], fast};
            Fill<Bytes>(sampler, samples, t);
        }
    }
    Unlock_Surface(dest, bits);
    return 1;
}

}  // namespace

int Process_Plasma_24(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    return Process_Plasma_Wide<3>(s, context, dest, divisor, x0, y0,
                                  "Process Plasma_24():\n\nUnable to Lock destination surface");
}

int Process_Plasma_32(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0) {
    return Process_Plasma_Wide<4>(s, context, dest, divisor, x0, y0,
                                  "Process Plasma_32():\n\nUnable to Lock destination surface");
}

int Multi_Colour_Plasma_16(Session& s, Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0) {
    return Multi_Colour_Plasma<2>(s, blue, green, red, dest, divisor1, divisor2, divisor3, x0, y0,
                                  "Process Plasma():\n\nUnable to Lock destination surface");
}

int Multi_Colour_Plasma_24(Session& s, Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0) {
    return Multi_Colour_Plasma<3>(s, blue, green, red, dest, divisor1, divisor2, divisor3, x0, y0,
                                  "Multi Plasma_24():\n\nUnable to Lock destination surface");
}

int Multi_Colour_Plasma_32(Session& s, Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0) {
    return Multi_Colour_Plasma<4>(s, blue, green, red, dest, divisor1, divisor2, divisor3, x0, y0,
                                  "Process Plasma():\n\nUnable to Lock destination surface");
}
