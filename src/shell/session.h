// A display session: everything between Setup and Shutdown.
#pragma once

#include "session/forward.h"


int Setup(Session& s);
int Setup_Lumenweft(Session& s);
int Setup_Scratch_Pad(Display_Context& d);
void Shutdown(Session& s);
int Release_Display_Resources(Session& s);
void Release_Scratch_Pad(Display_Context& d);
