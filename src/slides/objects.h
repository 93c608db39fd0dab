// The object bitmaps that travel over the slides.
#pragma once

extern int Objects_Loaded;  // number of object types loaded (at most 250)

int Restore_All_Objects();
