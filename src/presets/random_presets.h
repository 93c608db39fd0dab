// The journey through stored presets.
#pragma once

extern int Running_Random_Interval;   // seconds between random presets; 0: off
extern int Running_Transition_Speed;  // fixed transition step when frame time is ignored

int Tick_Random_Preset_Timer(Session& s, int reset);
int Count_Files_In_Folder(const char* pattern, int* count);
int Select_Random_Setting(Session& s, char* path, unsigned size);
int Load_Random_Setting(Session& s);
int Display_A_Random_Setting(Session& s);
int Copy_Random_Settings(Session& s);
