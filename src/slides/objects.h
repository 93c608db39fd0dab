// The object bitmaps that travel over the colour slides: one file per object type,
// square frames stacked top to bottom, pixel value 0 transparent.
#pragma once

#include <cstdint>
#include "session/forward.h"

#include "surface/surface.h"

constexpr int MAX_OBJECTS = 250;

struct OBJECTS_DATA {
    int32_t frame_width = 0;   // side of one frame
    int32_t total_height = 0;  // all frames
    int32_t frames = 0;        // total_height / frame_width
    Surface images = nullptr;  // owned
};


// Bounds on what object files may cost. An object is a small sprite (the shipped ones are at
// most 64 pixels wide), yet a few bytes of run-length data can claim a picture of millions of
// pixels; these keep such files from taking the machine's memory.
constexpr int64_t Object_Max_Pixels = 4096LL * 4096;            // one picture as stored
constexpr int64_t Object_Max_Expanded_Pixels = 1024LL * 32768;  // a 1024-pixel frame in 32 hues
int Load_All_Objects(Display_Context& d);
int Free_All_Objects(Session& s);
int Restore_All_Objects(Session& s);
Surface Get_Object_Images(App& app, int index);
int Create_Objects_Hue_Gradient(Display_Context& d, int index, int width, int height, int steps, int hue_step);
// "%s\Mirravane\data\bmp\objects\%d.bmp" for the Windows directory and an index.
void Object_Path(char* buffer, unsigned size, const char* windows_dir, int index);

// 1 when `images` (width x 32 * width) holds exactly the 32 hue frames this program makes of
// its first frame at the display's depth; any other strip (a real animation) gives 0.
int Is_Hue_Expansion(Display_Context& d, Surface images, int width);
// True when something is at an object's path, even if it cannot be read: only a missing
// number ends the scan of the object files.
bool Object_File_Exists(const char* path);
// The first number without an object file, where a new object joins the scan. Skipped files
// make it differ from Objects_Loaded.
int Next_Object_Number();
// The log line of an object file that is left out of the table.
void Report_Skipped(App& app, const char* path);

// Adds one loaded object's megabytes to Objects_Memory.
void Add_Object_Memory(Display_Context& d, const OBJECTS_DATA& object);
// Writes a surface over an object file without ever leaving half a file behind: the bitmap
// goes to Temporary_File_Name(path) and replaces the file only once it is complete. 1 / 0.
int Save_Bitmap_Safely(Display_Context& d, Surface surface, const char* path);
