// Interim: no slides are built yet; set-up succeeds without making them ready, so the
// kaleidoscope keeps drawing the plasma.
#include "slides/slides.h"

int Slides_Ready = 0;

int Setup_Colour_Slides(int width, int height, double speed) { return 1; }

int Free_Colour_Slides() {
    Slides_Ready = 0;
    return 1;
}

int Draw_Slides(Surface dest, int x0, int y0) { return 0; }
