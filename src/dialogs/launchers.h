// The settings dialogs, each opened modally over the main window; every launcher returns
// 1 (Show_About: 0 when the About text was shown in a message box instead).
#pragma once

int Show_Speed_Dialog();
int Show_Contrast_Dialog();
int Show_Sway_Dialog();
int Show_Interference_Dialog();
int Show_Ripple_Dialog();
int Show_Colour_Dialog();
int Show_Complexity_Dialog();
int Show_Random_Colour_Dialog();

int Show_Granularity_Dialog();
int Show_Slide_Speed_Dialog();
int Show_Slide_Objects_Dialog();
int Show_Background_Dialog();
int Show_Zone_Dialog();
int Show_Direction_Dialog();
int Show_Fade_Dialog();
int Show_Sine_Wave_Dialog();

int Show_About();
int Show_Resolution_Dialog();
int Show_System_Info();
int Show_Introduction();
int Show_Random_Presets_Dialog();
