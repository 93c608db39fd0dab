// The saver's mouse: a relative device read every frame; the saver ends when the
// pointer moves more than a sixteenth of the screen between two frames.
#pragma once

#include "platform/input/dinput.h"
#include "session/forward.h"

// A session's mouse (saver mode only).
struct Mouse_Input {
    DInput* Direct_Input = nullptr;
    DInput_Device* Mouse_Device = nullptr;
    DIMOUSESTATE Mouse_State{};
    int Mouse_X = 0, Mouse_Y = 0;            // the virtual pointer
    int Last_Mouse_X = 0, Last_Mouse_Y = 0;  // recorded by the last frame without movement
};

int Setup_Direct_Input(Session& s);
int Setup_Mouse(Session& s);
int Read_Mouse(Session& s);
int Update_Mouse(Session& s);
int Mouse_Has_Moved(Session& s, int record_only);
int Poll_Input_Devices(Session& s);
void Release_Mouse(Session& s);
void Release_Direct_Input(Session& s);
