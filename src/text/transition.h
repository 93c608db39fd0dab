// The transition between presets: the picture closes in on a centred rectangle, the next
// preset is applied at one pixel, and the rectangle grows back.
#pragma once

#include "session/forward.h"

constexpr int NO_TRANSITION = 0;
constexpr int TRANSITION_GROW = 1;
constexpr int TRANSITION_SHRINK = 2;

// A session's transition rectangle.
struct Transition_State {
    int Transition_Mode = NO_TRANSITION;
    double Transition_Width = 0.0, Transition_Height = 0.0;
    int Grow_Pending = 0;
};


int Set_Transition_Mode(Session& s, int mode);
int Display_Transition(Session& s, double rate);
