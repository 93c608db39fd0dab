// The object bitmaps that travel over the colour slides: one file per object type,
// square frames stacked top to bottom, pixel value 0 transparent.
#pragma once

#include <cstdint>

#include "surface/surface.h"

constexpr int MAX_OBJECTS = 250;

struct OBJECTS_DATA {
    int32_t frame_width = 0;   // side of one frame
    int32_t total_height = 0;  // all frames
    int32_t frames = 0;        // total_height / frame_width
    Surface images = nullptr;  // owned
};

extern OBJECTS_DATA Objects_Data[MAX_OBJECTS];
extern int Objects_Loaded;    // number of object types loaded (at most 250)
extern float Objects_Memory;  // megabytes taken by the loaded bitmaps

int Load_All_Objects();
int Free_All_Objects();
int Restore_All_Objects();
Surface Get_Object_Images(int index);
int Create_Objects_Hue_Gradient(int index, int width, int height, int steps, int hue_step);
// "%s\Mirravane\data\bmp\objects\%d.bmp" for the Windows directory and an index.
void Object_Path(char* buffer, unsigned size, const char* windows_dir, int index);

// Adds one loaded object's megabytes to Objects_Memory.
void Add_Object_Memory(const OBJECTS_DATA& object);
// Writes a surface over an object file without ever leaving half a file behind: the bitmap
// goes to path + ".tmp" and replaces the file only once it is complete. 1 / 0.
int Save_Bitmap_Safely(Surface surface, const char* path);
