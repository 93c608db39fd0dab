// The colour slides: the kaleidoscope's alternative picture source. Three slides form a
// ring that scrolls through the view; the one out of view is repainted before it enters.
#pragma once

#include <cstdint>

#include "surface/surface.h"

extern Surface Colour_Slides[3];  // system memory, owned here
extern int Slide_Order[3];        // slide indices in passing order
extern int Slide_Width, Slide_Height;
extern float Scroll_X, Scroll_Y;  // leading slide relative to the view origin
extern double Setup_Slide_Speed;
extern int Slides_Ready;          // set by a successful set-up, cleared by Free_Colour_Slides

// The one colour gradient in progress.
struct GRADIENT_STATE {
    uint8_t start_hue = 0, end_hue = 0, hue = 0;
    uint8_t start_lightness = 0, end_lightness = 0, lightness = 0;
    uint8_t saturation = 100;
    int32_t column = 0;
    int32_t hue_interval = 1;        // columns per hue step
    int32_t lightness_interval = 1;  // columns per lightness step
    int32_t done = 1;                // 1: no gradient in progress
    uint8_t last_end_hue = 0, last_end_lightness = 0;  // where the next gradient starts
};
extern GRADIENT_STATE Gradient_State;

extern int Zone_Countdown, Zone_Type, Zone_Frame;  // the homogeneous zone in progress
extern double Direction_Timer;                     // seconds towards the next turn
extern int Sliding_Right;                          // Alternate/Random: 1 moving right

// Redraws of the gradient's end lightness before the farthest reachable value is taken.
constexpr int Max_Lightness_Draws = 64;

int Setup_Colour_Slides(Session& s, int width, int height, double speed);
int Free_Colour_Slides(Session& s);
// 0 when nothing was drawn (the kaleidoscope then draws the plasma).
int Draw_Slides(Session& s, Surface dest, int x0, int y0);
int Draw_Slides_Left(Session& s, Surface dest, int x0, int y0);
int Draw_Slides_Right(Session& s, Surface dest, int x0, int y0);
int Paint_On_Slide(Session& s, int slide);
int Restore_All_Lost_Slides(Session& s);
// 1 when this call finished the gradient (or the background is not a gradient).
int Partial_HLS_Gradient(Session& s, Surface surface, int x, int y, int width, int height, int carry, int variable,
                         int budget);
int Rotate_Slides_Left(Session& s);
int Rotate_Slides_Right(Session& s);
