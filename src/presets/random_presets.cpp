#include "presets/random_presets.h"

int Running_Random_Interval = 0;
int Running_Transition_Speed = 10;
