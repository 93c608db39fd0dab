// Made by mirravane-datagen together with the font bitmaps; regenerate, do not edit.
#pragma once

#include <cstdint>

struct Glyph_Entry { int32_t x, y, width; };

extern const Glyph_Entry Glyph_Table_1[94], Glyph_Table_2[94], Glyph_Table_3[94];
