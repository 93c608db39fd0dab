// Where a display session seeds the random generator: the tick count, or a fixed seed
// that the tools ask for so a run is reproducible.
#pragma once

#include <cstdint>
#include "session/forward.h"

void Seed_Session_Random(App& app);
void Set_Fixed_Session_Seed(App& app, bool fixed, uint32_t seed = 0);
