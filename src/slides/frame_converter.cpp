#include "slides/frame_converter.h"

// The converter and the compaction come with the hue frames of the objects.
int Frame_Convert() { return 0; }
int Save_Conversion(Surface) { return 0; }
int Compact_All_Objects() { return 0; }
