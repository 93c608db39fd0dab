// A display session: everything between Setup and Shutdown.
#pragma once

extern int First_Setup;  // the colour-depth check runs only on the first session

int Setup();
int Setup_Lumenweft();
int Setup_Scratch_Pad();
void Shutdown();
int Release_Display_Resources();
void Release_Scratch_Pad();
