// The journey through stored presets.
#pragma once

#include "session/forward.h"

// A session's journey through stored presets.
struct Journey_State {
    bool first_tick = true;
    double countdown = 0.0;
    int next_transition_mode = 2;  // TRANSITION_SHRINK
    int last_choice = 0;
    int Running_Random_Interval = 0;   // seconds between random presets; 0: off
    int Running_Transition_Speed = 10;  // fixed transition step when frame time is ignored
};

int Tick_Random_Preset_Timer(Session& s, int reset);
int Count_Files_In_Folder(const char* pattern, int* count);
int Select_Random_Setting(Session& s, char* path, unsigned size);
int Load_Random_Setting(Session& s);
int Display_A_Random_Setting(Session& s);
int Copy_Random_Settings(Session& s);
