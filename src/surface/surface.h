// Surfaces: creation, clearing, colour keys, locking, dimensions, restore, GDI text.
#pragma once

#include <cstdint>
#include "session/forward.h"

#include "platform/display/ddraw.h"

using Surface = DDSurface*;


int Create_Surface(Display_Context& d, Surface* out, int width, int height);
int Create_SYSTEM_Surface(Display_Context& d, Surface* out, int width, int height);
int Set_Transparency(App& app, Surface surface, uint32_t key);
int Clear(Display_Context& d, Surface surface);
uint8_t* Lock_Surface(Display_Context& d, Surface surface, int* pitch = nullptr);
void Unlock_Surface(Surface surface, void* pointer);
int Grab_Surface_Dimensions(App& app, Surface surface, int* width, int* height);
int Restore_All_Surfaces(Display_Context& d);
int Get_Available_Video_Memory(Display_Context& d, uint32_t* total, uint32_t* free);
int Supports_Wide_Surfaces(Display_Context& d);
int Draw_GDI_Text(Surface surface, int x, int y, uint32_t colour, const char* text);
// The format pixel work on `surface` follows: its own. Without a surface, the screen's, so
// that a call given none fails along the path of the screen's depth as it always has.
Pixel_Format Format_Of(const Display_Context& d, Surface surface);
// Releases a surface reference and clears the handle (does nothing for a null handle).
void Release_Surface(Surface* surface);

// Bound on the retries of lost/busy answers; past it the operation fails with its message.
constexpr int Surface_Retry_Limit = 1000;
