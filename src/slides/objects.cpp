// Interim: no objects are loaded yet.
#include "slides/objects.h"

int Objects_Loaded = 0;

int Restore_All_Objects() { return 1; }
