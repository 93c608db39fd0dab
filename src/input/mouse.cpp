#include "input/mouse.h"

#include "diagnostics/diagnostics.h"
#include "shell/modes.h"
#include "surface/display.h"

DInput* Direct_Input = nullptr;
DInput_Device* Mouse_Device = nullptr;
DIMOUSESTATE Mouse_State;
int Mouse_X = 0, Mouse_Y = 0;
int Last_Mouse_X = 0, Last_Mouse_Y = 0;

namespace {
Once_Log input_log;
Once_Log mouse_log;
}  // namespace

int Setup_Direct_Input() {
    input_log.enter("Entering Setup_Direct_Input");
    if (DirectInputCreate(App_Instance, 0x0700, &Direct_Input) != DI_OK) {
        Report_Error("Setup_Direct_Input():\n\nDirectInputCreate FAILED");
        return 0;
    }
    input_log.exit("Exitting Setup_Direct_Input");
    return 1;
}

int Setup_Mouse() {
    mouse_log.enter("entering setup_mouse");
    if (!Direct_Input || Direct_Input->CreateDevice(&Mouse_Device) != DI_OK) {
        Report_Error("Setup_Mouse():\n\nCreateDevice FAILED\nIs there a mouse plugged in?");
        return 0;
    }
    if (Mouse_Device->SetDataFormat() != DI_OK) {
        Report_Error("Setup_Mouse():\n\nSetDataFormat FAILED");
        return 0;
    }
    if (Mouse_Device->SetCooperativeLevel(Main_Window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND) != DI_OK) {
        Report_Error("Setup_Mouse():\n\nSetCooperativeLevel FAILED\n(NON_EXCLUSIVE BACKGROUND)");
        return 0;
    }
    if (Mouse_Device->Acquire() != DI_OK) {
        Report_Error("Setup_Mouse():\n\nUnable to Acquire Mouse");
        return 0;
    }
    mouse_log.exit("exitting setup_mouse");
    return 1;
}

int Read_Mouse() {
    if (!Direct_Input) return 0;
    if (!Mouse_Device) return 1;
    Mouse_Device->Acquire();
    const HRESULT result = Mouse_Device->GetDeviceState(sizeof(DIMOUSESTATE), &Mouse_State);
    if (result == DIERR_NOTINITIALIZED) {
        Report_Error("Read_Mouse():\n\nDIERR_NOTINITIALIZED\n\nHave you setup the mouse?");
        return 0;
    }
    if (result == DIERR_INPUTLOST) {
        Report_Error("Read_Mouse():\n\nDIERR_INPUTLOST:\n\n Mouse has been lost");
        return 0;
    }
    // Any other failure still counts as a read, but of no motion: the state may hold the
    // previous read's counts, which must not move the pointer a second time.
    if (result != DI_OK) Mouse_State = DIMOUSESTATE{};
    return 1;
}

int Update_Mouse() {
    if (!Read_Mouse()) {
        Report_Error("Update_Mouse():Unable to Read Mouse");
        return 0;
    }
    Mouse_X += 2 * Mouse_State.lX;
    Mouse_Y += 2 * Mouse_State.lY;
    if (Mouse_X < 0) Mouse_X = 0;
    if (Mouse_X >= Screen_Width) Mouse_X = Screen_Width - 1;
    if (Mouse_Y < 0) Mouse_Y = 0;
    if (Mouse_Y >= Screen_Height) Mouse_Y = Screen_Height - 1;
    return 1;
}

int Mouse_Has_Moved(int record_only) {
    if (Saver_Mode != SAVER) return 0;
    if (!Update_Mouse()) Report_Error(" Mouse_Has_Moved(): Update_Mouse FAILED");
    if (record_only == 0) {
        const int dx = Mouse_X > Last_Mouse_X ? Mouse_X - Last_Mouse_X : Last_Mouse_X - Mouse_X;
        const int dy = Mouse_Y > Last_Mouse_Y ? Mouse_Y - Last_Mouse_Y : Last_Mouse_Y - Mouse_Y;
        if (dx > Screen_Width / 16) return 1;
        if (dy > Screen_Height / 16) return 1;
    }
    Last_Mouse_X = Mouse_X;
    Last_Mouse_Y = Mouse_Y;
    return 0;
}

int Poll_Input_Devices() {
    Update_Mouse();
    return 1;
}

void Release_Mouse() {
    if (Mouse_Device) {
        Mouse_Device->Unacquire();
        Mouse_Device->Release();
        Mouse_Device = nullptr;
    }
}

void Release_Direct_Input() {
    if (Direct_Input) {
        Direct_Input->Release();
        Direct_Input = nullptr;
    }
}
