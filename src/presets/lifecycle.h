// Applying the preset record to the running display: the per-parameter setter, the whole
// refresh, the defaults, "default.dat" and the backup copy kept while the display is rebuilt.
#pragma once

#include <cstddef>
#include "session/forward.h"

#include "platform/system/system.h"

// Fills Windows_Directory_Prefix from the system.
void Fill_Windows_Directory_Prefix(App& app);
// The prefix followed by "Mirravane\default.dat" (reading) or "Mirravane/default.dat"
// (writing). The prefix is filled first when it is still empty.
void Build_Default_Read_Path(App& app, char* buffer, size_t size);
void Build_Default_Write_Path(App& app, char* buffer, size_t size);

// The full-screen resolution of the built-in defaults (640 x 480 x 32).
constexpr int Default_Resolution = 1;

// What Modify_Plasma sets, one name per field of the record. The numbers are the ones the
// record's parameters always had; 9, 27 and 28 (and any other number) store nothing.
enum class Plasma_Parameter : int {
    Multi_Colour = 0,
    Plasma_Width = 1,
    Plasma_Height = 2,
    Contrast = 3,
    Speed = 4,
    Ripple = 5,
    Interference = 6,
    Sway = 7,
    Complexity = 8,
    Preview_Active = 10,
    Symmetry = 11,
    Colour_Blue = 12,
    Colour_Green = 13,
    Colour_Red = 14,
    Invert_Colour_Logic = 15,
    Scope_On = 16,
    Scope_Shape = 17,
    Kaleidoscope_On = 18,
    Brighten = 19,
    Darken_Red = 20,
    Darken_Green = 21,
    Darken_Blue = 22,
    // kaleidoscope_on again, under the number the slides and the symmetry commands pass.
    Kaleidoscope_On_Alias = 23,
    Granularity = 24,
    Slides_On = 25,
    Slide_Speed = 26,
    Background = 29,
    Gradient_Variable = 30,
    Gradient_Brightness = 31,
    Resolution = 32,
    Zone_Frequency = 33,
    Zone_Duration = 34,
    Zone_Multicolour = 35,
    Reserved_6144 = 36,
    Reserved_6148 = 37,
    Reserved_6152 = 38,
    Blend_Mode = 39,
    Slide_Direction = 40,
    Direction_Change_Frequency = 41,
};

int Modify_Plasma(Session& s, Plasma_Parameter parameter, float value, int reinitialise);
int Refresh_Plasma(Session& s);
int Default_Plasma_Settings(Session& s);
int Read_Plasma_Settings_From_File(Session& s, const char* name);
int Load_Default_Plasma(Session& s);
void Display_Default_Plasma(Session& s);
// Saves the record to default.dat, reporting "Unable to write file %s" on failure. A default.dat
// that was there but could not be read is the user's and is never replaced.
int Save_Default_Plasma_File(Session& s);
// Copies the record to the backup; in CONFIGURE mode also saves default.dat.
int Store_Plasma_Settings(Session& s);
// Copies the backup back and applies default.dat when it holds the backup, else the backup.
int Restore_Plasma_Settings(Session& s);
int Grab_Preferred_Plasma_Screen_Dimensions(Session& s, int* width, int* height, int* depth);
