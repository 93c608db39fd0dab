// What a surface's pixels hold, as data: every surface carries one of these from its
// creation, and pixel code picks its loop by the kind once per call, then packs and
// unpacks through the small functions below (no depth tests inside the loops).
#pragma once

#include <cstdint>
#include <cstring>

enum class Pixel_Kind : uint8_t { Index8, Rgb555, Rgb565, Rgb24, Rgb32 };

struct Pixel_Format {
    Pixel_Kind kind = Pixel_Kind::Index8;
    int bits_per_pixel = 8;   // the mode's depth: 15 for a 15-bit mode's 5-5-5 pixels
    int bytes_per_pixel = 1;
    uint32_t red_mask = 0, green_mask = 0, blue_mask = 0;
    int red_shift = 0, green_shift = 0, blue_shift = 0;
    int red_loss = 8, green_loss = 8, blue_loss = 8;  // bits an 8-bit channel loses in its field
};

// The format of a depth whose colour fields are the given masks (none at 8 bits); 5-6-5 is
// told from 5-5-5 by the green mask alone. Unknown depths describe as nothing (0 bytes).
Pixel_Format Describe_Pixel_Format(int bpp, uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask);

// ---- per kind, at compile time -------------------------------------------------------------

template <Pixel_Kind K> struct Pixel_Layout;
template <> struct Pixel_Layout<Pixel_Kind::Index8> {
    static constexpr int bytes = 1, red_shift = 0, red_bits = 0, green_shift = 0, green_bits = 0, blue_shift = 0, blue_bits = 0;
};
template <> struct Pixel_Layout<Pixel_Kind::Rgb555> {
    static constexpr int bytes = 2, red_shift = 10, red_bits = 5, green_shift = 5, green_bits = 5, blue_shift = 0, blue_bits = 5;
};
template <> struct Pixel_Layout<Pixel_Kind::Rgb565> {
    static constexpr int bytes = 2, red_shift = 11, red_bits = 5, green_shift = 5, green_bits = 6, blue_shift = 0, blue_bits = 5;
};
template <> struct Pixel_Layout<Pixel_Kind::Rgb24> {
    static constexpr int bytes = 3, red_shift = 16, red_bits = 8, green_shift = 8, green_bits = 8, blue_shift = 0, blue_bits = 8;
};
template <> struct Pixel_Layout<Pixel_Kind::Rgb32> {
    static constexpr int bytes = 4, red_shift = 16, red_bits = 8, green_shift = 8, green_bits = 8, blue_shift = 0, blue_bits = 8;
};

// Largest value of each field (31, 63 or 255).
template <Pixel_Kind K> constexpr uint32_t Red_Max = (1u << Pixel_Layout<K>::red_bits) - 1;
template <Pixel_Kind K> constexpr uint32_t Green_Max = (1u << Pixel_Layout<K>::green_bits) - 1;
template <Pixel_Kind K> constexpr uint32_t Blue_Max = (1u << Pixel_Layout<K>::blue_bits) - 1;

// One pixel's value read from and written to memory (3 bytes lowest first at 24 bits).
template <Pixel_Kind K>
inline uint32_t Load_Pixel(const uint8_t* p) {
    if constexpr (Pixel_Layout<K>::bytes == 1) {
        return p[0];
    } else if constexpr (Pixel_Layout<K>::bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else if constexpr (Pixel_Layout<K>::bytes == 3) {
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16);
    } else {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

template <Pixel_Kind K>
inline void Store_Pixel(uint8_t* p, uint32_t v) {
    if constexpr (Pixel_Layout<K>::bytes == 1) {
        p[0] = static_cast<uint8_t>(v);
    } else if constexpr (Pixel_Layout<K>::bytes == 2) {
        const auto w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
    } else if constexpr (Pixel_Layout<K>::bytes == 3) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    } else {
        std::memcpy(p, &v, 4);
    }
}

// The raw colour fields of a pixel, and a pixel from fields already inside their ranges.
template <Pixel_Kind K> constexpr uint32_t Red_Field(uint32_t p) { return (p >> Pixel_Layout<K>::red_shift) & Red_Max<K>; }
template <Pixel_Kind K> constexpr uint32_t Green_Field(uint32_t p) { return (p >> Pixel_Layout<K>::green_shift) & Green_Max<K>; }
template <Pixel_Kind K> constexpr uint32_t Blue_Field(uint32_t p) { return (p >> Pixel_Layout<K>::blue_shift) & Blue_Max<K>; }

template <Pixel_Kind K>
constexpr uint32_t Pack_Fields(uint32_t red, uint32_t green, uint32_t blue) {
    return (red << Pixel_Layout<K>::red_shift) | (green << Pixel_Layout<K>::green_shift) | (blue << Pixel_Layout<K>::blue_shift);
}

// 8-bit channels in: each keeps its top bits.
template <Pixel_Kind K>
constexpr uint32_t Pack_RGB(uint32_t red, uint32_t green, uint32_t blue) {
    using L = Pixel_Layout<K>;
    return Pack_Fields<K>(red >> (8 - L::red_bits), green >> (8 - L::green_bits), blue >> (8 - L::blue_bits));
}

// A field widened to 8 bits by repeating its top bits, so that a full field is 255.
template <int Bits>
constexpr uint32_t Widen(uint32_t field) {
    if constexpr (Bits >= 8) return field;
    else return (field << (8 - Bits)) | (field >> (2 * Bits - 8));
}

// 8-bit channels out (the inverse of Pack_RGB for every value Pack_RGB gives).
template <Pixel_Kind K> constexpr uint32_t Red_Of(uint32_t p) { return Widen<Pixel_Layout<K>::red_bits>(Red_Field<K>(p)); }
template <Pixel_Kind K> constexpr uint32_t Green_Of(uint32_t p) { return Widen<Pixel_Layout<K>::green_bits>(Green_Field<K>(p)); }
template <Pixel_Kind K> constexpr uint32_t Blue_Of(uint32_t p) { return Widen<Pixel_Layout<K>::blue_bits>(Blue_Field<K>(p)); }
