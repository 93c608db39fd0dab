// The settings dialogs, each opened modally over the main window; every launcher returns
// 1 (Show_About: 0 when the About text was shown in a message box instead).
#pragma once

#include "session/forward.h"

int Show_Speed_Dialog(Session& s);
int Show_Contrast_Dialog(Session& s);
int Show_Sway_Dialog(Session& s);
int Show_Interference_Dialog(Session& s);
int Show_Ripple_Dialog(Session& s);
int Show_Colour_Dialog(Session& s);
int Show_Complexity_Dialog(Session& s);
int Show_Random_Colour_Dialog(Session& s);

int Show_Granularity_Dialog(Session& s);
int Show_Slide_Speed_Dialog(Session& s);
int Show_Slide_Objects_Dialog(Session& s);
int Show_Background_Dialog(Session& s);
int Show_Zone_Dialog(Session& s);
int Show_Direction_Dialog(Session& s);
int Show_Fade_Dialog(Session& s);
int Show_Sine_Wave_Dialog(Session& s);

int Show_About(Session& s);
int Show_Resolution_Dialog(Session& s);
int Show_System_Info(Session& s);
int Show_Introduction(Session& s);
int Show_Random_Presets_Dialog(Session& s);
