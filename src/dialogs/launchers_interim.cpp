#include "dialogs/launchers.h"

// The dialogs are built on the dialog-template runtime; until it lands each launcher
// opens nothing and leaves the settings as they are.
int Show_Speed_Dialog() { return 1; }
int Show_Contrast_Dialog() { return 1; }
int Show_Sway_Dialog() { return 1; }
int Show_Interference_Dialog() { return 1; }
int Show_Ripple_Dialog() { return 1; }
int Show_Colour_Dialog() { return 1; }
int Show_Complexity_Dialog() { return 1; }
int Show_Random_Colour_Dialog() { return 1; }
int Show_Granularity_Dialog() { return 1; }
int Show_Slide_Speed_Dialog() { return 1; }
int Show_Slide_Objects_Dialog() { return 1; }
int Show_Background_Dialog() { return 1; }
int Show_Zone_Dialog() { return 1; }
int Show_Direction_Dialog() { return 1; }
int Show_Fade_Dialog() { return 1; }
int Show_Sine_Wave_Dialog() { return 1; }
int Show_About() { return 1; }
int Show_Resolution_Dialog() { return 1; }
int Show_System_Info() { return 1; }
int Show_Introduction() { return 1; }
int Show_Random_Presets_Dialog() { return 1; }
