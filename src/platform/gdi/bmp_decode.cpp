// BMP decoding into 32-bit 0x00RRGGBB pixels, top row first. Every offset and length
// taken from the file is checked against the file's size before it is used, so a broken
// or hostile file is refused instead of read past. Kept free of other project code so the
// fuzz target can build it on its own.
#include <cstring>

#include "platform/gdi/gdi.h"

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

uint16_t Read_16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read_32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool Refuse(std::string* why, const char* text) {
    if (why) *why = text;
    return false;
}

// One colour channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // largest value after shifting

    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1u)) ++shift;
        max = m >> shift;
    }
    uint32_t Get(uint32_t pixel) const {
        if (!max) return 0;
        uint64_t v = (pixel & mask) >> shift;
        return static_cast<uint32_t>((v * 255 + max / 2) / max);
    }
};

// Writes decoded rows into the picture; file row r is picture row h-1-r unless top-down.
struct Picture {
    Bitmap& out;
    bool top_down;
    uint32_t* Row(int file_row) {
        int y = top_down ? file_row : out.height - 1 - file_row;
        return out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(out.width);
    }
};

// Run-length data: counted runs and escapes (end of line, end of picture, delta, literal
// runs). Anything that would land outside the picture, or read past the data, ends the
// decoding; the pixels not reached stay 0.
void Decode_Rle(const uint8_t* data, size_t size, bool four_bits, const uint32_t* palette,
                uint32_t colours, Picture& picture) {
    const int width = picture.out.width;
    const int height = picture.out.height;
    auto colour_of = [&](uint32_t index) { return index < colours ? palette[index] : 0u; };
    size_t at = 0;
    int x = 0, y = 0;
    while (at + 2 <= size && y < height) {
        uint32_t count = data[at];
        uint32_t value = data[at + 1];
        at += 2;
        if (count) {
            if (x + static_cast<int>(count) > width) return;
            uint32_t* row = picture.Row(y);
            for (uint32_t i = 0; i < count; ++i) {
                uint32_t index = four_bits ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value;
                row[x++] = colour_of(index);
            }
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            return;
        } else if (value == 2) {  // delta
            if (at + 2 > size) return;
            x += data[at];
            y += data[at + 1];
            at += 2;
            if (x > width || y > height) return;
        } else {  // literal run, padded to a 16-bit boundary
            uint32_t bytes = four_bits ? (value + 1) / 2 : value;
            uint32_t padded = (bytes + 1) & ~1u;
            if (x + static_cast<int>(value) > width || at + bytes > size) return;
            uint32_t* row = picture.Row(y);
            for (uint32_t i = 0; i < value; ++i) {
                uint32_t index = four_bits ? ((i & 1) ? (data[at + i / 2] & 0x0F) : (data[at + i / 2] >> 4))
                                           : data[at + i];
                row[x++] = colour_of(index);
            }
            at += padded;
        }
    }
}

// The signature, the header's size and the picture's size: the first 26 bytes of the file.
bool Read_Size(const uint8_t* data, size_t size, int64_t* width, int64_t* height, std::string* why) {
    if (!data || size < 14 + 12) return Refuse(why, "file too short");
    if (data[0] != 'B' || data[1] != 'M') return Refuse(why, "not a bitmap file");
    const uint32_t header_size = Read_32(data + 14);
    if (header_size != 12 && header_size < 40) return Refuse(why, "unsupported header");
    const uint8_t* h = data + 14;
    if (header_size == 12) {
        *width = Read_16(h + 4);
        *height = Read_16(h + 6);
    } else {
        *width = static_cast<int32_t>(Read_32(h + 4));
        *height = static_cast<int32_t>(Read_32(h + 8));
    }
    return true;
}

}  // namespace

bool Read_Bmp_Size(const uint8_t* data, size_t size, int64_t* width, int64_t* height) {
    if (!Read_Size(data, size, width, height, nullptr)) return false;
    if (*height < 0) *height = -*height;
    return true;
}

bool Decode_Bmp(const uint8_t* data, size_t size, Bitmap& out, std::string* why) {
    out = Bitmap{};
    int64_t width = 0, height = 0;
    if (!Read_Size(data, size, &width, &height, why)) return false;
    const uint32_t pixel_offset = Read_32(data + 10);
    const uint32_t header_size = Read_32(data + 14);
    if (header_size > size - 14) return Refuse(why, "header past the end of the file");

    const uint8_t* h = data + 14;
    uint32_t bpp = 0, compression = BI_RGB, colours_used = 0, image_size = 0;
    bool core = header_size == 12;
    if (core) {
        bpp = Read_16(h + 10);
    } else {
        bpp = Read_16(h + 14);
        compression = Read_32(h + 16);
        image_size = Read_32(h + 20);
        colours_used = Read_32(h + 32);
    }
    const bool top_down = height < 0;
    if (top_down) height = -height;
    if (width <= 0 || height <= 0) return Refuse(why, "empty picture");
    if (width * height > Bmp_Max_Pixels) return Refuse(why, "picture too large");

    switch (compression) {
    case BI_RGB:
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            return Refuse(why, "unsupported depth");
        break;
    case BI_RLE8:
        if (bpp != 8) return Refuse(why, "RLE8 needs 8 bits");
        break;
    case BI_RLE4:
        if (bpp != 4) return Refuse(why, "RLE4 needs 4 bits");
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (bpp != 16 && bpp != 32) return Refuse(why, "bit fields need 16 or 32 bits");
        break;
    default:
        return Refuse(why, "unsupported compression");
    }

    // Colour masks: inside a long header, else right after the 40-byte one.
    size_t after_header = 14 + static_cast<size_t>(header_size);
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
        const uint8_t* m = nullptr;
        if (header_size >= 52) {
            m = h + 40;
        } else {
            size_t bytes = compression == BI_ALPHABITFIELDS ? 16 : 12;
            if (after_header + bytes > size) return Refuse(why, "colour masks past the end of the file");
            m = data + after_header;
            after_header += bytes;
        }
        for (int i = 0; i < 3; ++i) masks[i] = Read_32(m + 4 * i);
    }

    // Palette.
    uint32_t palette[256] = {};
    uint32_t colours = 0;
    if (bpp <= 8) {
        uint32_t most = 1u << bpp;
        colours = (core || colours_used == 0 || colours_used > most) ? most : colours_used;
        size_t entry = core ? 3 : 4;
        if (after_header + colours * entry > size) return Refuse(why, "palette past the end of the file");
        const uint8_t* p = data + after_header;
        for (uint32_t i = 0; i < colours; ++i, p += entry)
            palette[i] = (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
        after_header += colours * entry;
    }

    size_t offset = pixel_offset ? pixel_offset : after_header;
    if (offset >= size) return Refuse(why, "pixel data past the end of the file");

    const int64_t stride = ((width * bpp + 31) / 32) * 4;
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (!rle) {
        // The last row needs only its pixels, not its padding.
        int64_t needed = stride * (height - 1) + (width * bpp + 7) / 8;
        if (needed > static_cast<int64_t>(size - offset)) return Refuse(why, "pixel rows past the end of the file");
    }

    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.assign(static_cast<size_t>(width * height), 0u);
    Picture picture{out, top_down};

    if (rle) {
        size_t length = size - offset;
        if (image_size && image_size < length) length = image_size;
        Decode_Rle(data + offset, length, compression == BI_RLE4, palette, colours, picture);
        return true;
    }

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    const int w = out.width;
    for (int r = 0; r < out.height; ++r) {
        const uint8_t* src = data + offset + static_cast<size_t>(stride) * static_cast<size_t>(r);
        uint32_t* row = picture.Row(r);
        switch (bpp) {
        case 1:
        case 4:
        case 8: {
            const uint32_t per_byte = 8 / bpp;
            const uint32_t value_mask = (1u << bpp) - 1;
            for (int x = 0; x < w; ++x) {
                uint32_t byte = src[static_cast<uint32_t>(x) / per_byte];
                uint32_t shift = 8 - bpp * (static_cast<uint32_t>(x) % per_byte + 1);
                uint32_t index = (byte >> shift) & value_mask;
                row[x] = index < colours ? palette[index] : 0u;
            }
            break;
        }
        case 16:
            for (int x = 0; x < w; ++x) {
                uint32_t v = Read_16(src + 2 * x);
                row[x] = (red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v);
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x, src += 3)
                row[x] = (static_cast<uint32_t>(src[2]) << 16) | (static_cast<uint32_t>(src[1]) << 8) | src[0];
            break;
        case 32:
            for (int x = 0; x < w; ++x) {
                uint32_t v = Read_32(src + 4 * x);
                row[x] = (red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v);
            }
            break;
        }
    }
    return true;
}
