// The transition between presets: the picture closes in on a centred rectangle, the next
// preset is applied at one pixel, and the rectangle grows back.
#pragma once

constexpr int NO_TRANSITION = 0;
constexpr int TRANSITION_GROW = 1;
constexpr int TRANSITION_SHRINK = 2;

extern int Transition_Mode;
extern double Transition_Width, Transition_Height;
extern int Grow_Pending;

int Set_Transition_Mode(Session& s, int mode);
int Display_Transition(Session& s, double rate);
