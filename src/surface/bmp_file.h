// The one writer of 24-bit BMP files: rows bottom-up, blue-green-red, each row padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t Bmp24_Header_Size = 54;

// What the header says besides the picture's size. The program's own files (saved surfaces, the
// installed pictures) leave the image size 0 and give 10000 pixels per metre; the render tool's
// pictures carry the image size and 72 dots per inch, and their hashes are kept.
struct Bmp24_Style {
    bool image_size_field = false;
    uint32_t pixels_per_metre = 10000;
};
constexpr Bmp24_Style Render_Tool_Bmp24 = {true, 2835};

// Bytes in one padded row of a 24-bit picture.
size_t Bmp24_Row_Bytes(int width);
// The file and info headers of a width x height picture.
void Write_Bmp24_Header(uint8_t header[Bmp24_Header_Size], int width, int height, Bmp24_Style style = {});
// A whole file from 0x00RRGGBB pixels, top row first, `width` pixels a row.
std::vector<uint8_t> Encode_Bmp24(const uint32_t* pixels, int width, int height, Bmp24_Style style = {});
