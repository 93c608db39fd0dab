// The saver's mouse: a relative device read every frame; the saver ends when the
// pointer moves more than a sixteenth of the screen between two frames.
#pragma once

#include "platform/input/dinput.h"

extern DInput* Direct_Input;
extern DInput_Device* Mouse_Device;
extern DIMOUSESTATE Mouse_State;
extern int Mouse_X, Mouse_Y;            // the virtual pointer
extern int Last_Mouse_X, Last_Mouse_Y;  // recorded by the last frame without movement

int Setup_Direct_Input(Session& s);
int Setup_Mouse(Session& s);
int Read_Mouse(Session& s);
int Update_Mouse(Session& s);
int Mouse_Has_Moved(Session& s, int record_only);
int Poll_Input_Devices(Session& s);
void Release_Mouse(Session& s);
void Release_Direct_Input(Session& s);
