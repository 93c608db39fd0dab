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

int Modify_Plasma(Session& s, int parameter, float value, int reinitialise);
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
