// The colour slides: the kaleidoscope's alternative picture source.
#pragma once

#include "surface/surface.h"

extern int Slides_Ready;  // set by a successful set-up, cleared by Free_Colour_Slides

int Setup_Colour_Slides(int width, int height, double speed);
int Free_Colour_Slides();
// 0 when nothing was drawn (the kaleidoscope then draws the plasma).
int Draw_Slides(Surface dest, int x0, int y0);
