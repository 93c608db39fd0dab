// Bitmap files: loading into surfaces and saving surfaces as 24-bit BMP files.
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/system/system.h"
#include "surface/surface.h"
#include "session/forward.h"

Surface Load_Bitmap(Display_Context& d, const char* name, int* width, int* height);
Surface Load_SYSTEM_Bitmap(Display_Context& d, const char* name, int* width, int* height);
HRESULT Copy_Bitmap_To_Surface(Surface surface, HBITMAP bitmap, int x, int y, int dw, int dh);
int Save_Bitmap(Display_Context& d, Surface surface, const char* name);
int SaveBMPToFile(Display_Context& d, Surface surface, Surface front, HANDLE file);
int File_Exists(const char* name);
