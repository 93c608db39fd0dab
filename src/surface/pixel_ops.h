// Pixel operations on locked surfaces: fade, rotation, hue alteration and blends.
#pragma once

#include "surface/surface.h"
#include "session/forward.h"

int Fade(Display_Context& d, Surface surface, int x, int y, int width, int height, int light, int hue, int saturation);
int Fade_16(Display_Context& d, Surface surface, int x, int y, int width, int height, int light, int hue, int saturation);
int Fade_32(Display_Context& d, Surface surface, int x, int y, int width, int height, int light, int hue, int saturation);

int Get_Rotated_Dimensions(int width, int height, int* rotated_width, int* rotated_height, float angle);
int Rotate_Surface_Ex(Display_Context& d, Surface source, Surface dest, int width, int height, int* rotated_width,
                      int* rotated_height, float angle, int sx0, int sy0, int dx0, int dy0);
int Rotate_Generic_Surface_Ex(App& app, Surface source, Surface dest, int width, int height, int* rotated_width,
                              int* rotated_height, float angle, int sx0, int sy0, int dx0, int dy0);

int Alter_Hue(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height, int amount);
int Colour_Blend_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                      int clip_width, int clip_height);
int Light_Blend_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                     int clip_width, int clip_height);
int Light_Blend_Blit_16(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                        int clip_width, int clip_height);
