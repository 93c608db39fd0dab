#include "slides/frame_converter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "shell/file_dialog.h"
#include "shell/frame.h"
#include "shell/session.h"
#include "slides/objects.h"
#include "surface/bitmap.h"
#include "surface/blit.h"
#include "surface/display.h"

namespace {

void Converter_Path(char* buffer, size_t size, const char* windows_dir, const char* name) {
    std::snprintf(buffer, size, "%s\\Mirravane\\Data\\Frame Converter\\%s", windows_dir, name);
}

// Stacks the frames of the second search into `result`; returns 0 when a step failed.
// `frame` is the picture being handled, released by the caller when a step stops early.
int Stack_Frames(HFIND search, Find_Data& found, const char* windows_dir, Surface result, int side, int rows,
                 Surface& frame) {
    int ok = 1;
    for (int k = 0;; ++k) {
        char path[PATH_BUFFER_SIZE];
        Converter_Path(path, sizeof path, windows_dir, found.cFileName);
        if (k >= rows) {
            // Added after the count: no row is left for it, so leave the file where it is.
            Report_Errorf("Frame_Convert(): Fast Blit frame %d FAILED", k);
            return 0;
        }
        int width = 0, height = 0;
        frame = Load_SYSTEM_Bitmap(path, &width, &height);
        if (!frame) {
            Report_Errorf("Frame_Convert(): Could not load %s", path);
            return 0;
        }
        if (!DeleteFileA(path)) {
            Report_Errorf("Frame_Convert(): Could not delete %s", path);
            ok = 0;
            Release_Surface(&frame);
            if (!FindNextFileA(search, &found)) return ok;
            continue;
        }
        // Smaller frames leave the rest of their square empty; larger ones are cut.
        if (!Fast_Blit(frame, result, 0, 0, 0, k * side, std::min(side, width), std::min(side, height))) {
            Report_Errorf("Frame_Convert(): Fast Blit frame %d FAILED", k);
            return 0;
        }
        Clear(Hidden);
        if (!Fast_Blit(result, Hidden, 0, k * side, (Screen_Width - side) / 2, (Screen_Height - side) / 2, side,
                       side)) {
            Report_Errorf("Frame_Convert(): Fast_Blit %d FAILED", k);
            return 0;
        }
        Draw_Status_Message();
        if (!Display_Stretched_Hidden_Surface()) {
            Report_Error("Frame_Convert(): Display_Stretched_Hidden_Surface() FAILED");
            return 0;
        }
        Release_Surface(&frame);
        if (!FindNextFileA(search, &found)) return ok;
    }
}

}  // namespace

int Frame_Convert() {
    int result = 1;
    char windows_dir[PATH_BUFFER_SIZE];
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    char pattern[PATH_BUFFER_SIZE];
    std::snprintf(pattern, sizeof pattern, "%s\\Mirravane\\Data\\Frame Converter\\*.BMP", windows_dir);

    Find_Data found;
    HFIND search = FindFirstFileA(pattern, &found);
    if (!search) {
        Report_Error("FindFirstFile returned INVALID_HANDLE_VALUE");
        return 0;
    }
    char path[PATH_BUFFER_SIZE];
    Converter_Path(path, sizeof path, windows_dir, found.cFileName);
    int side = 0, first_height = 0;
    Surface first = Load_SYSTEM_Bitmap(path, &side, &first_height);
    if (!first) {
        Report_Errorf("Frame_Convert(): Unable to load %s", path);
        FindClose(search);
        return 0;
    }
    Release_Surface(&first);
    int count = 1;
    while (FindNextFileA(search, &found)) ++count;
    if (!FindClose(search)) {
        Report_Error("Frame_Convert(): FindClose FAILED");
        return 0;
    }

    Surface stacked = nullptr;
    const int64_t total = static_cast<int64_t>(side) * count;
    if (total > INT32_MAX || !Create_SYSTEM_Surface(&stacked, side, static_cast<int>(total))) {
        Report_Error("Frame_Convert(): Sorry, unable to create destination bitmap - perhaps due to lack of memory");
        return 0;
    }
    search = FindFirstFileA(pattern, &found);
    if (!search) {
        Report_Error("FindFirstFile # 2 returned INVALID_HANDLE_VALUE");
        Release_Surface(&stacked);
        return 0;
    }
    Surface frame = nullptr;
    if (!Stack_Frames(search, found, windows_dir, stacked, side, count, frame)) result = 0;
    FindClose(search);
    if (!Save_Conversion(stacked)) {
        Report_Error("Frame_Convert(): Save_Conversion FAILED");
        result = 0;
    }
    Release_Surface(&stacked);
    Release_Surface(&frame);

    // A new session loads the objects again, the new one among them.
    Store_Plasma_Settings();
    Shutdown();
    if (!Setup()) {
        Report_Error("Frame_Convert(): Setup FAILED");
        PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        result = 0;
    }
    if (!Restore_Plasma_Settings()) {
        Report_Error("Frame_Convert(): Restore_Plasma_Settings FAILED");
        return 0;
    }
    return result;
}

int Save_Conversion(Surface surface) {
    char windows_dir[PATH_BUFFER_SIZE];
    if (!GetWindowsDirectoryA(windows_dir, sizeof windows_dir)) {
        Report_Error("Save_Conversion(): GetWindowsDirectory FAILED");
        return 0;
    }
    const std::string folder = std::string(windows_dir) + "\\Mirravane\\Data\\Bmp\\Objects\\";
    Prepare_File_Dialog(Main_Window, folder.c_str(), 3);
    std::snprintf(Current_File_Name, sizeof Current_File_Name, "%d.bmp", Objects_Loaded);
    if (!Save_File_Dialog()) return 1;
    if (!Save_Bitmap(surface, Current_File_Name)) {
        Report_Errorf("Frame_Convert(): Save_Bitmap FAILED %s", Current_File_Name);
        return 0;
    }
    return 1;
}

int Compact_All_Objects() {
    Free_All_Objects();
    Objects_Memory = 0.0f;
    char windows_dir[PATH_BUFFER_SIZE];
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    Objects_Loaded = 0;

    for (int i = 0; i < MAX_OBJECTS; ++i) {
        char path[PATH_BUFFER_SIZE];
        Object_Path(path, sizeof path, windows_dir, i);
        HANDLE probe = CreateFileA(path, GENERIC_READ, 0, OPEN_EXISTING);
        if (!probe) {
            if (Objects_Loaded > 0) return 1;
            Report_Error("Load_All_Objects(): No Special Effects files (Objects) Loaded");
            Objects_Loaded = 0;
            return 0;
        }
        CloseHandle(probe);
        OBJECTS_DATA& object = Objects_Data[i];
        int width = 0, height = 0;
        object.images = Load_SYSTEM_Bitmap(path, &width, &height);
        if (!object.images) {
            Report_Errorf("Load_All_Objects():Unable to load %s", path);
            return 0;
        }
        object.frame_width = width;
        object.total_height = height;
        object.frames = width > 0 ? height / width : 0;
        if (object.frames == 32) {
            if (!Create_Objects_Hue_Gradient(i, width, width, 1, 1)) {
                Report_Errorf("Load_All_Objects():Unable to create a hue gradient for object %d", i);
                return 0;
            }
            if (!Save_Bitmap_Safely(object.images, path)) {
                Report_Errorf("Load_All_Objects():Unable to save new hue gradient for object %d\n%s", i, path);
                return 0;
            }
        }
        Add_Object_Memory(object);
        ++Objects_Loaded;

        Clear(Hidden);
        if (!Masked_Clip_Blit(object.images, Hidden, 0, 0, (Client_Width - width) / 2, (Client_Height - width) / 2,
                              width, width))
            Report_Error("Create_Objects_Hue_Gradient():First frame copy Blit failed");
        Draw_Status_Message();
        Display_Hidden_Surface();
    }
    return 1;
}
