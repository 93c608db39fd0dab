// The kaleidoscope: a K x K square of picture, half stamped away, turned a quarter and
// mirrored back across its diagonal, then mirrored right and down into 2K x 2K.
#pragma once

#include "surface/surface.h"
#include "session/forward.h"

// A session's kaleidoscope: the turned square and the stamp, and whether it is drawn.
struct Kaleidoscope_State {
    int kaleidoscope_active = 0;           // set up and drawn each frame
    int kaleidoscope_rebuild_pending = 0;  // the next Draw_Kaleidoscope rebuilds once
    Surface Scope_Rotated_90 = nullptr;    // the turned square's bounding box
    Surface Triangle_Stamp = nullptr;      // K x K, white lower-left half on black
    int Kaleidoscope_Size = 0;             // K of the last set-up
};


// K for the current granularity and screen height.
int Kaleidoscope_Segment_Size(Session& s);

int Setup_Kaleidoscope(Session& s, int width, int height);
void Shutdown_Kaleidoscope(Session& s);
int Draw_Kaleidoscope(Session& s, Surface dest, int width, int height);
int Stretch_Kaleidoscope(Session& s, Surface source, Surface dest);
int Create_Triangle_Stamp(Session& s, int width, int height);
int Erase_White_Triangle(App& app, Surface surface, int x, int y, int width, int height);
int Restore_All_Scope_Surfaces(Session& s);
