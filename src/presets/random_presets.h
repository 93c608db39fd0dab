// The journey through stored presets.
#pragma once

extern int Running_Random_Interval;   // seconds between random presets; 0: off
extern int Running_Transition_Speed;  // fixed transition step when frame time is ignored
