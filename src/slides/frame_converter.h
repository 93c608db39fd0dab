// Maintenance of the object files: loose frames into one object, objects back to one frame.
#pragma once

#include "surface/surface.h"

int Frame_Convert();
int Save_Conversion(Surface surface);
int Compact_All_Objects();
