// Surfaces: creation, clearing, colour keys, locking, dimensions, restore, GDI text.
#pragma once

#include <cstdint>

#include "platform/display/ddraw.h"

using Surface = DDSurface*;

extern DDraw* Direct_Draw;            // created first, released once the interface is had
extern DDraw* Direct_Draw_Interface;  // creates surfaces, palette, clipper; sets modes
extern Surface Visible;               // the primary surface
extern Surface Hidden;                // every frame is drawn here
extern Surface Scratch_Pad;           // transitions' work area
extern DDPalette* Palette;            // 8-bit displays only
extern DDClipper* Clipper;            // windowed displays only
extern PALETTEENTRY Palette_Entries[256];  // the program's palette table
extern int Pixel_Format_565;          // set by every successful lock

int Create_Surface(Display& d, Surface* out, int width, int height);
int Create_SYSTEM_Surface(Display& d, Surface* out, int width, int height);
int Set_Transparency(App& app, Surface surface, uint32_t key);
int Clear(Display& d, Surface surface);
uint8_t* Lock_Surface(Display& d, Surface surface, int* pitch = nullptr);
void Unlock_Surface(Surface surface, void* pointer);
int Grab_Surface_Dimensions(App& app, Surface surface, int* width, int* height);
int Restore_All_Surfaces(Display& d);
int Get_Available_Video_Memory(Display& d, uint32_t* total, uint32_t* free);
int Supports_Wide_Surfaces(Display& d);
int Draw_GDI_Text(Surface surface, int x, int y, uint32_t colour, const char* text);
// Releases a surface reference and clears the handle (does nothing for a null handle).
void Release_Surface(Surface* surface);

// Bound on the retries of lost/busy answers; past it the operation fails with its message.
constexpr int Surface_Retry_Limit = 1000;
