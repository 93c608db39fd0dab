// The saver's mouse: a relative device read every frame; the saver ends when the
// pointer moves more than a sixteenth of the screen between two frames.
#pragma once

#include "platform/input/dinput.h"

extern DInput* Direct_Input;
extern DInput_Device* Mouse_Device;
extern DIMOUSESTATE Mouse_State;
extern int Mouse_X, Mouse_Y;            // the virtual pointer
extern int Last_Mouse_X, Last_Mouse_Y;  // recorded by the last frame without movement

int Setup_Direct_Input();
int Setup_Mouse();
int Read_Mouse();
int Update_Mouse();
int Mouse_Has_Moved(int record_only);
int Poll_Input_Devices();
void Release_Mouse();
void Release_Direct_Input();
