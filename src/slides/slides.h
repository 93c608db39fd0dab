// The colour slides: the kaleidoscope's alternative picture source. Three slides form a
// ring that scrolls through the view; the one out of view is repainted before it enters.
#pragma once

#include <cstdint>
#include "session/forward.h"

#include "platform/system/system.h"
#include "slides/sine_wave.h"
#include "surface/surface.h"


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

// A session's slide ring, the background in progress and the sine waves drawn on it.
struct Slides_State {
    Surface Colour_Slides[3] = {nullptr, nullptr, nullptr};  // system memory, owned here
    int Slide_Order[3] = {0, 1, 2};                          // slide indices in passing order
    int Slide_Width = 0, Slide_Height = 0;
    float Scroll_X = 0.0f, Scroll_Y = 0.0f;  // leading slide relative to the view origin
    double Setup_Slide_Speed = 0.0;
    int Slides_Ready = 0;  // set by a successful set-up, cleared by Free_Colour_Slides
    GRADIENT_STATE Gradient_State;
    int Zone_Countdown = 0, Zone_Type = 0, Zone_Frame = 0;  // the homogeneous zone in progress
    double Direction_Timer = 0.0;                           // seconds towards the next turn
    int Sliding_Right = 0;                                  // Alternate/Random: 1 moving right
    int Sine_Reset = 0;  // set by the dialog: the 16/32-bit variants draw fresh states
    Sine_Variant single_32, single_16, multi_32, multi_16;
    Fallback_Variant fallback;
    // Where the frame converter saved its object: a name of its own, so the converted object
    // never becomes the preset file that Save writes to.
    File_Name object_name = "", object_title = "";
};


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
