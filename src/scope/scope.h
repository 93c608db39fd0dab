// The overlay scope: a mask laid over every frame.
#pragma once

#include "surface/surface.h"

extern int scope_active;  // set up and drawn each frame

// shape 0..4, or -1 for the shape of the last successful set-up.
int Setup_Scope(int width, int height, int shape);
int Shutdown_Scope();
int Draw_Scope(Surface dest, int x = 0, int y = 0);
