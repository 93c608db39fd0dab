#include "platform/input/dinput.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Every acquired device sees all motion: one per display when a saver covers several monitors.
std::vector<DInput_Device*> acquired_devices;

struct Fault {
    HRESULT code = DI_OK;
    int times = 0;
};
std::array<Fault, static_cast<size_t>(DI_Call::Count)> faults;

HRESULT Take_Fault(DI_Call call) {
    Fault& f = faults[static_cast<size_t>(call)];
    if (f.times > 0) {
        --f.times;
        return f.code;
    }
    return DI_OK;
}

}  // namespace

void Feed_Mouse_Motion(int dx, int dy) {
    for (DInput_Device* device : acquired_devices) device->Take_Motion(dx, dy);
}

bool Mouse_Motion_Wanted() { return !acquired_devices.empty(); }

void Inject_DI_Fault(DI_Call call, HRESULT code, int times) { faults[static_cast<size_t>(call)] = Fault{code, times}; }

void Reset_Input_Service() {
    for (auto& f : faults) f = Fault{};
    for (DInput_Device* device : acquired_devices) device->pending_x_ = device->pending_y_ = 0;
}

HRESULT DirectInputCreate(HINSTANCE, uint32_t, DInput** out) {
    if (!out) return DIERR_GENERIC;
    *out = nullptr;
    if (const HRESULT f = Take_Fault(DI_Call::DirectInputCreate)) return f;
    *out = new DInput();
    return DI_OK;
}

HRESULT DInput::CreateDevice(DInput_Device** out) {
    if (!out) return DIERR_GENERIC;
    *out = nullptr;
    if (const HRESULT f = Take_Fault(DI_Call::CreateDevice)) return f;
    *out = new DInput_Device();
    return DI_OK;
}

uint32_t DInput::Release() {
    delete this;
    return 0;
}

HRESULT DInput_Device::SetDataFormat() {
    if (const HRESULT f = Take_Fault(DI_Call::SetDataFormat)) return f;
    format_set_ = true;
    return DI_OK;
}

HRESULT DInput_Device::SetCooperativeLevel(HWND, uint32_t) { return Take_Fault(DI_Call::SetCooperativeLevel); }

HRESULT DInput_Device::Acquire() {
    if (const HRESULT f = Take_Fault(DI_Call::Acquire)) return f;
    if (!acquired_) {
        // Motion before the device was acquired does not count.
        pending_x_ = pending_y_ = 0;
        acquired_devices.push_back(this);
    }
    acquired_ = true;
    return DI_OK;
}

HRESULT DInput_Device::Unacquire() {
    acquired_ = false;
    std::erase(acquired_devices, this);
    return DI_OK;
}

HRESULT DInput_Device::GetDeviceState(uint32_t size, DIMOUSESTATE* state) {
    if (const HRESULT f = Take_Fault(DI_Call::GetDeviceState)) return f;
    if (!format_set_ || !state || size != sizeof(DIMOUSESTATE)) return DIERR_NOTINITIALIZED;
    if (!acquired_) return DIERR_INPUTLOST;
    *state = DIMOUSESTATE{};
    state->lX = pending_x_;
    state->lY = pending_y_;
    pending_x_ = pending_y_ = 0;
    return DI_OK;
}

uint32_t DInput_Device::Release() {
    std::erase(acquired_devices, this);
    delete this;
    return 0;
}
