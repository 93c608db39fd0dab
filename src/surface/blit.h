// The blit family: plain, clipped, keyed, mirrored, stretched and fast copies.
#pragma once

#include "surface/surface.h"
#include "session/forward.h"

int Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height);
int Clip_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height);
// Clip_Blit clipped against a `bound_width` x `bound_height` destination instead of the screen
// (a windowed primary spans every monitor, the screen values only the primary one).
int Clip_Blit_Within(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                     int bound_width, int bound_height);
int Masked_Clip_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height);
int Masked_Clip_Blit_Ex(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                        int clip_width, int clip_height);
int Clip_V_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height);
int Clip_H_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height);
int Masked_H_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height);
int Stretch_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                 int dest_width, int dest_height);
int Fast_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height);
int Wait_For_Blitter(Display_Context& d, Surface surface);

// Cuts a destination rectangle to bound_w x bound_h as the clipping members do: the source
// origin moves only for a left or top cut. False when nothing is left to draw.
bool Clip_Rectangle(int& sx, int& sy, int& dx, int& dy, int& w, int& h, int bound_w, int bound_h);
