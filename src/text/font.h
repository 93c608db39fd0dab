// Bitmap fonts: ten fonts of 94 glyphs, drawn glyph by glyph with the masked blit.
#pragma once

#include "surface/surface.h"

int Load_Font(int font);
int Restore_Font(int font);
int Draw_Text(Surface dest, int x, int y, int font, const char* text);
int Calculate_Message_Dimensions(int font, const char* text, int* width, int* height);
int Release_All_Fonts();
