#include "surface/bmp_file.h"

namespace {

void Put_16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put_32(uint8_t* at, uint32_t value) {
    for (int k = 0; k < 4; ++k) at[k] = static_cast<uint8_t>(value >> (8 * k));
}

}  // namespace

size_t Bmp24_Row_Bytes(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }

void Write_Bmp24_Header(uint8_t header[Bmp24_Header_Size], int width, int height, Bmp24_Style style) {
    const uint32_t image = static_cast<uint32_t>(Bmp24_Row_Bytes(width) * static_cast<size_t>(height));
    for (size_t k = 0; k < Bmp24_Header_Size; ++k) header[k] = 0;
    header[0] = 'B';
    header[1] = 'M';
    Put_32(header + 2, static_cast<uint32_t>(Bmp24_Header_Size) + image);
    Put_32(header + 10, static_cast<uint32_t>(Bmp24_Header_Size));
    Put_32(header + 14, 40);
    Put_32(header + 18, static_cast<uint32_t>(width));
    Put_32(header + 22, static_cast<uint32_t>(height));  // positive: bottom-up rows
    Put_16(header + 26, 1);
    Put_16(header + 28, 24);
    if (style.image_size_field) Put_32(header + 34, image);
    Put_32(header + 38, style.pixels_per_metre);
    Put_32(header + 42, style.pixels_per_metre);
}

std::vector<uint8_t> Encode_Bmp24(const uint32_t* pixels, int width, int height, Bmp24_Style style) {
    const size_t row = Bmp24_Row_Bytes(width);
    std::vector<uint8_t> file(Bmp24_Header_Size + row * static_cast<size_t>(height), 0);
    Write_Bmp24_Header(file.data(), width, height, style);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = file.data() + Bmp24_Header_Size + static_cast<size_t>(height - 1 - y) * row;
        const uint32_t* in = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            out[x * 3] = static_cast<uint8_t>(in[x]);
            out[x * 3 + 1] = static_cast<uint8_t>(in[x] >> 8);
            out[x * 3 + 2] = static_cast<uint8_t>(in[x] >> 16);
        }
    }
    return file;
}
