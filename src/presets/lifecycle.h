// Applying the preset record to the running display: the per-parameter setter, the whole
// refresh, the defaults, "default.dat" and the backup copy kept while the display is rebuilt.
#pragma once

#include <cstddef>

#include "platform/system/system.h"

// The Windows directory followed by "\", filled by Grab_Preferred_Plasma_Screen_Dimensions
// and Load_Default_Plasma; other parts build their paths behind it.
extern char Windows_Directory_Prefix[PATH_BUFFER_SIZE];

// Fills Windows_Directory_Prefix from the system.
void Fill_Windows_Directory_Prefix();
// The prefix followed by "Mirravane\default.dat" (reading) or "Mirravane/default.dat"
// (writing). The prefix is filled first when it is still empty.
void Build_Default_Read_Path(char* buffer, size_t size);
void Build_Default_Write_Path(char* buffer, size_t size);

int Modify_Plasma(int parameter, float value, int reinitialise);
int Refresh_Plasma();
int Default_Plasma_Settings();
int Read_Plasma_Settings_From_File(const char* name);
int Load_Default_Plasma();
void Display_Default_Plasma();
int Store_Plasma_Settings();
int Restore_Plasma_Settings();
int Grab_Preferred_Plasma_Screen_Dimensions(int* width, int* height, int* depth);
