// The relative mouse device: motion counts since the last read, fed by the backend from
// pointer motion over the program's window.
#pragma once

#include <cstdint>

#include "platform/display/ddraw.h"
#include "platform/windows/wintypes.h"

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DIERR_NOTINITIALIZED = -2001;
constexpr HRESULT DIERR_INPUTLOST = -2002;
constexpr HRESULT DIERR_OTHERAPPHASPRIO = -2003;
constexpr HRESULT DIERR_GENERIC = -2004;

constexpr uint32_t DISCL_NONEXCLUSIVE = 0x2;
constexpr uint32_t DISCL_BACKGROUND = 0x8;

struct DIMOUSESTATE {
    int32_t lX = 0, lY = 0, lZ = 0;
    uint8_t rgbButtons[4] = {};
};

class DInput_Device {
public:
    HRESULT SetDataFormat();
    HRESULT SetCooperativeLevel(HWND window, uint32_t flags);
    HRESULT Acquire();
    HRESULT Unacquire();
    HRESULT GetDeviceState(uint32_t size, DIMOUSESTATE* state);
    uint32_t Release();

    void Take_Motion(int dx, int dy) {
        pending_x_ += dx;
        pending_y_ += dy;
    }

private:
    friend class DInput;
    friend void Reset_Input_Service();
    DInput_Device() = default;
    bool format_set_ = false;
    bool acquired_ = false;
    int pending_x_ = 0, pending_y_ = 0;  // motion since the last read
};

class DInput {
public:
    HRESULT CreateDevice(DInput_Device** out);
    uint32_t Release();

private:
    friend HRESULT DirectInputCreate(HINSTANCE, uint32_t, DInput**);
    DInput() = default;
};

HRESULT DirectInputCreate(HINSTANCE instance, uint32_t version, DInput** out);

// Backends report pointer motion in device counts.
void Feed_Mouse_Motion(int dx, int dy);
// Whether a device is acquired: only then is pointer motion worth watching.
bool Mouse_Motion_Wanted();

enum class DI_Call { DirectInputCreate, CreateDevice, SetDataFormat, SetCooperativeLevel, Acquire, GetDeviceState, Count };
// Tests: the next `times` calls of a kind answer `code`.
void Inject_DI_Fault(DI_Call call, HRESULT code, int times = 1);
void Reset_Input_Service();
