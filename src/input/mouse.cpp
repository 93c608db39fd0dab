#include "input/mouse.h"

#include "diagnostics/diagnostics.h"
#include "session/run_mode.h"
#include "surface/display.h"
#include "session/session.h"


namespace {
const Once_Log input_log;
const Once_Log mouse_log;
}  // namespace

int Setup_Direct_Input(Session& s) {
    input_log.enter(s.app, "Entering Setup_Direct_Input");
    if (DirectInputCreate(s.app.App_Instance, 0x0700, &s.mouse.Direct_Input) != DI_OK) {
        Report_Error(s.app, "Setup_Direct_Input():\n\nDirectInputCreate FAILED");
        return 0;
    }
    input_log.exit(s.app, "Exitting Setup_Direct_Input");
    return 1;
}

int Setup_Mouse(Session& s) {
    mouse_log.enter(s.app, "entering setup_mouse");
    if (!s.mouse.Direct_Input || s.mouse.Direct_Input->CreateDevice(&s.mouse.Mouse_Device) != DI_OK) {
        Report_Error(s.app, "Setup_Mouse():\n\nCreateDevice FAILED\nIs there a mouse plugged in?");
        return 0;
    }
    if (s.mouse.Mouse_Device->SetDataFormat() != DI_OK) {
        Report_Error(s.app, "Setup_Mouse():\n\nSetDataFormat FAILED");
        return 0;
    }
    if (s.mouse.Mouse_Device->SetCooperativeLevel(s.display.Main_Window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND) != DI_OK) {
        Report_Error(s.app, "Setup_Mouse():\n\nSetCooperativeLevel FAILED\n(NON_EXCLUSIVE BACKGROUND)");
        return 0;
    }
    if (s.mouse.Mouse_Device->Acquire() != DI_OK) {
        Report_Error(s.app, "Setup_Mouse():\n\nUnable to Acquire Mouse");
        return 0;
    }
    mouse_log.exit(s.app, "exitting setup_mouse");
    return 1;
}

int Read_Mouse(Session& s) {
    if (!s.mouse.Direct_Input) return 0;
    if (!s.mouse.Mouse_Device) return 1;
    s.mouse.Mouse_Device->Acquire();
    const HRESULT result = s.mouse.Mouse_Device->GetDeviceState(sizeof(DIMOUSESTATE), &s.mouse.Mouse_State);
    if (result == DIERR_NOTINITIALIZED) {
        Report_Error(s.app, "Read_Mouse():\n\nDIERR_NOTINITIALIZED\n\nHave you setup the mouse?");
        return 0;
    }
    if (result == DIERR_INPUTLOST) {
        Report_Error(s.app, "Read_Mouse():\n\nDIERR_INPUTLOST:\n\n Mouse has been lost");
        return 0;
    }
    // Any other failure still counts as a read, but of no motion: the state may hold the
    // previous read's counts, which must not move the pointer a second time.
    if (result != DI_OK) s.mouse.Mouse_State = DIMOUSESTATE{};
    return 1;
}

int Update_Mouse(Session& s) {
    if (!Read_Mouse(s)) {
        Report_Error(s.app, "Update_Mouse():Unable to Read Mouse");
        return 0;
    }
    s.mouse.Mouse_X += 2 * s.mouse.Mouse_State.lX;
    s.mouse.Mouse_Y += 2 * s.mouse.Mouse_State.lY;
    if (s.mouse.Mouse_X < 0) s.mouse.Mouse_X = 0;
    if (s.mouse.Mouse_X >= s.display.Screen_Width) s.mouse.Mouse_X = s.display.Screen_Width - 1;
    if (s.mouse.Mouse_Y < 0) s.mouse.Mouse_Y = 0;
    if (s.mouse.Mouse_Y >= s.display.Screen_Height) s.mouse.Mouse_Y = s.display.Screen_Height - 1;
    return 1;
}

int Mouse_Has_Moved(Session& s, int record_only) {
    if (s.app.Saver_Mode != SAVER) return 0;
    if (!Update_Mouse(s)) Report_Error(s.app, " Mouse_Has_Moved(): Update_Mouse FAILED");
    if (record_only == 0) {
        const int dx = s.mouse.Mouse_X > s.mouse.Last_Mouse_X ? s.mouse.Mouse_X - s.mouse.Last_Mouse_X : s.mouse.Last_Mouse_X - s.mouse.Mouse_X;
        const int dy = s.mouse.Mouse_Y > s.mouse.Last_Mouse_Y ? s.mouse.Mouse_Y - s.mouse.Last_Mouse_Y : s.mouse.Last_Mouse_Y - s.mouse.Mouse_Y;
        if (dx > s.display.Screen_Width / 16) return 1;
        if (dy > s.display.Screen_Height / 16) return 1;
    }
    s.mouse.Last_Mouse_X = s.mouse.Mouse_X;
    s.mouse.Last_Mouse_Y = s.mouse.Mouse_Y;
    return 0;
}

int Poll_Input_Devices(Session& s) {
    Update_Mouse(s);
    return 1;
}

void Release_Mouse(Session& s) {
    if (s.mouse.Mouse_Device) {
        s.mouse.Mouse_Device->Unacquire();
        s.mouse.Mouse_Device->Release();
        s.mouse.Mouse_Device = nullptr;
    }
}

void Release_Direct_Input(Session& s) {
    if (s.mouse.Direct_Input) {
        s.mouse.Direct_Input->Release();
        s.mouse.Direct_Input = nullptr;
    }
}
