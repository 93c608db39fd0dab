// Maintenance of the object files: loose frames into one object, objects back to one frame.
#pragma once

#include <string>
#include "session/forward.h"

#include "surface/surface.h"

int Frame_Convert(Session& s);
// `saved` (when given) gets the object's path once it was written and read back; it stays
// empty after a Cancel or a failure.
int Save_Conversion(Session& s, Surface surface, std::string* saved = nullptr);
int Compact_All_Objects(Session& s);
