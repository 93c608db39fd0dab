// Bitmap fonts: ten fonts of 94 glyphs, drawn glyph by glyph with the masked blit.
#pragma once

#include "surface/surface.h"
#include "text/glyph_tables.h"
#include "session/forward.h"

struct Font_Record {
    int number = 0;
    Surface surface = nullptr;   // null until first drawn or measured
    int bitmap_width = 0;
    int cell_height = 0;         // every glyph's height and the height of a row of glyphs
    int spacing = 0;             // cell height / 32
    const Glyph_Entry* glyphs = nullptr;
};

constexpr int Font_Count = 10;

// A session's fonts, loaded at the display's depth when first used.
struct Font_State {
    Font_Record Font_Table[Font_Count];
    int Fonts_Loaded = 0;
};

int Load_Font(Session& s, int font);
int Restore_Font(Session& s, int font);
int Draw_Text(Session& s, Surface dest, int x, int y, int font, const char* text);
int Calculate_Message_Dimensions(Session& s, int font, const char* text, int* width, int* height);
int Release_All_Fonts(Session& s);
// The glyph number of a character (92 for anything without a glyph of its own).
int Glyph_Number(char character);
int Get_Glyph(char character, const Font_Record* font, int* x, int* y, int* width);
