// The kaleidoscope: a K x K square of picture, half stamped away, turned a quarter and
// mirrored back across its diagonal, then mirrored right and down into 2K x 2K.
#pragma once

#include "surface/surface.h"

extern int kaleidoscope_active;           // set up and drawn each frame
extern int kaleidoscope_rebuild_pending;  // the next Draw_Kaleidoscope rebuilds once
extern Surface Scope_Rotated_90;          // the turned square's bounding box
extern Surface Triangle_Stamp;            // K x K, white lower-left half on black
extern int Kaleidoscope_Size;             // K of the last set-up

// K for the current granularity and screen height.
int Kaleidoscope_Segment_Size(Session& s);

int Setup_Kaleidoscope(Session& s, int width, int height);
void Shutdown_Kaleidoscope(Session& s);
int Draw_Kaleidoscope(Session& s, Surface dest, int width, int height);
int Stretch_Kaleidoscope(Session& s, Surface source, Surface dest);
int Create_Triangle_Stamp(Session& s, int width, int height);
int Erase_White_Triangle(App& app, Surface surface, int x, int y, int width, int height);
int Restore_All_Scope_Surfaces(Session& s);
