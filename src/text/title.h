// The preset's title, faded in and out over the picture.
#pragma once

#include "surface/surface.h"
#include "session/forward.h"

constexpr int TITLE_CREATE = 1;
constexpr int TITLE_DESTROY = 2;

// Stages of the title's timeline, in the order they run: 0 -> 2 -> 1 -> 3.
constexpr int TITLE_FADING_IN = 0;
constexpr int TITLE_FADING_OUT = 1;
constexpr int TITLE_HOLDING = 2;
constexpr int TITLE_FINISHED = 3;

// A session's title and where its fade has got to.
struct Title_State {
    Surface Title_Strip = nullptr;  // null when there is no title
    int Title_Width = 0, Title_Height = 0;
    int Title_Stage = TITLE_FINISHED;
    int Title_Level = 256;  // fade-in darkening
    int Title_Floor = 0;    // fully visible darkening, then the fade-out darkening
    double Title_Timer = 0.0;  // seconds since the last step
};


// phase: TITLE_CREATE, TITLE_DESTROY, anything else draws one frame of the fade.
int Display_Title(Session& s, Surface dest, int x, int y, const char* text, int font, int phase);
int Setup_Title(Session& s, const char* text, int font);
int Destroy_Title(Session& s);
