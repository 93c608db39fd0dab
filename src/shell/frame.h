// One frame of the display.
#pragma once

#include "session/forward.h"


int Run_Mirravane(Session& s);
