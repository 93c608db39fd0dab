// A display session: everything between Setup and Shutdown.
#pragma once

extern int First_Setup;  // the colour-depth check runs only on the first session

int Setup(Session& s);
int Setup_Lumenweft(Session& s);
int Setup_Scratch_Pad(Display& d);
void Shutdown(Session& s);
int Release_Display_Resources(Session& s);
void Release_Scratch_Pad(Display& d);
