// The preset's title, faded in and out over the picture.
#pragma once

#include "surface/surface.h"

constexpr int TITLE_CREATE = 1;
constexpr int TITLE_DESTROY = 2;

// phase: TITLE_CREATE, TITLE_DESTROY, anything else draws one frame of the fade.
int Display_Title(Surface dest, int x, int y, const char* text, int font, int phase);
int Setup_Title(const char* text, int font);
int Destroy_Title();
