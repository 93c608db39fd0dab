// The settings dialogs, each opened modally over the main window; every launcher returns
// 1 (Show_About: 0 when the About text was shown in a message box instead).
#pragma once

#include "session/forward.h"

int Show_Speed_Dialog(Display_Context& d);
int Show_Contrast_Dialog(Display_Context& d);
int Show_Sway_Dialog(Display_Context& d);
int Show_Interference_Dialog(Display_Context& d);
int Show_Ripple_Dialog(Display_Context& d);
int Show_Colour_Dialog(Display_Context& d);
int Show_Complexity_Dialog(Display_Context& d);
int Show_Random_Colour_Dialog(Display_Context& d);

int Show_Granularity_Dialog(Display_Context& d);
int Show_Slide_Speed_Dialog(Display_Context& d);
int Show_Slide_Objects_Dialog(Display_Context& d);
int Show_Background_Dialog(Display_Context& d);
int Show_Zone_Dialog(Display_Context& d);
int Show_Direction_Dialog(Display_Context& d);
int Show_Fade_Dialog(Display_Context& d);
int Show_Sine_Wave_Dialog(Display_Context& d);

int Show_About(Session& s);
int Show_Resolution_Dialog(Display_Context& d);
int Show_System_Info(Display_Context& d);
int Show_Introduction(Display_Context& d);
int Show_Random_Presets_Dialog(Display_Context& d);
