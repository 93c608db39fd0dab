#include "slides/objects.h"

// Single square frames stay single frames until the hue expansion is built; the file is
// then written back unchanged (a valid object of one frame).
int Create_Objects_Hue_Gradient(int, int, int, int, int) { return 1; }
