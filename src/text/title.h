// The preset's title, faded in and out over the picture.
#pragma once

#include "surface/surface.h"

constexpr int TITLE_CREATE = 1;
constexpr int TITLE_DESTROY = 2;

// Stages of the title's timeline, in the order they run: 0 -> 2 -> 1 -> 3.
constexpr int TITLE_FADING_IN = 0;
constexpr int TITLE_FADING_OUT = 1;
constexpr int TITLE_HOLDING = 2;
constexpr int TITLE_FINISHED = 3;

extern Surface Title_Strip;          // null when there is no title
extern int Title_Width, Title_Height;
extern int Title_Stage;
extern int Title_Level;              // fade-in darkening
extern int Title_Floor;              // fully visible darkening, then the fade-out darkening
extern double Title_Timer;           // seconds since the last step

// phase: TITLE_CREATE, TITLE_DESTROY, anything else draws one frame of the fade.
int Display_Title(Session& s, Surface dest, int x, int y, const char* text, int font, int phase);
int Setup_Title(Session& s, const char* text, int font);
int Destroy_Title(Session& s);
