#include "slides/frame_converter.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "slides/objects.h"
#include "surface/bitmap.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "text/status_line.h"
#include "session/session.h"

namespace {

// False when the path does not fit: a cut path could name another file.
bool Converter_Path(char* buffer, size_t size, const char* windows_dir, const char* name) {
    const int n = std::snprintf(buffer, size, "%s\\Mirravane\\Data\\Frame Converter\\%s", windows_dir, name);
    return n >= 0 && static_cast<size_t>(n) < size;
}

// "frame2" before "frame10": runs of digits compare by their value, the rest without regard
// to case; names that still tie keep a fixed order.
bool Natural_Less(const std::string& a, const std::string& b) {
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            size_t i_end = i, j_end = j;
            while (i_end < a.size() && digit(a[i_end])) ++i_end;
            while (j_end < b.size() && digit(b[j_end])) ++j_end;
            size_t i_first = i, j_first = j;
            while (i_first + 1 < i_end && a[i_first] == '0') ++i_first;
            while (j_first + 1 < j_end && b[j_first] == '0') ++j_first;
            const std::string_view x(a.data() + i_first, i_end - i_first), y(b.data() + j_first, j_end - j_first);
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            i = i_end;
            j = j_end;
            continue;
        }
        const int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[j]));
        if (x != y) return x < y;
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size())) return j < b.size();
    return a < b;
}

// Stacks the frames into `result`, one square of `side` each with the first `width` x `width`
// of its file; returns 0 when a step failed. `stacked` gets the path of every frame now in
// the result: only those may go once the result is safe on disk.
int Stack_Frames(Session& s, const std::vector<std::string>& names, const char* windows_dir, Surface result, int width, int side,
                 std::vector<std::string>& stacked) {
    for (size_t k = 0; k < names.size(); ++k) {
        char path[PATH_BUFFER_SIZE];
        if (!Converter_Path(path, sizeof path, windows_dir, names[k].c_str())) {
            Report_Errorf(s.app, "Frame_Convert(): Could not load %s", names[k].c_str());
            return 0;
        }
        const int y = static_cast<int>(k) * side;
        int frame_width = 0, frame_height = 0;
        Surface frame = Load_SYSTEM_Bitmap(s.display, path, &frame_width, &frame_height);
        if (!frame) {
            Report_Errorf(s.app, "Frame_Convert(): Could not load %s", path);
            return 0;
        }
        // Smaller frames leave the rest of their square empty; larger ones are cut.
        const int ok = Fast_Blit(s.display, frame, result, 0, 0, 0, y, std::min(width, frame_width), std::min(width, frame_height));
        Release_Surface(&frame);
        if (!ok) {
            Report_Errorf(s.app, "Frame_Convert(): Fast Blit frame %d FAILED", static_cast<int>(k));
            return 0;
        }
        stacked.push_back(path);
        Clear(s.display, s.display.Hidden);
        if (!Fast_Blit(s.display, result, s.display.Hidden, 0, y, (s.display.Screen_Width - side) / 2, (s.display.Screen_Height - side) / 2, side, side)) {
            Report_Errorf(s.app, "Frame_Convert(): Fast_Blit %d FAILED", static_cast<int>(k));
            return 0;
        }
        Draw_Status_Message(s);
        if (!Display_Stretched_Hidden_Surface(s.display)) {
            Report_Error(s.app, "Frame_Convert(): Display_Stretched_Hidden_Surface() FAILED");
            return 0;
        }
    }
    return 1;
}

// Deletes the stacked frames once they are safe in the saved object; 0 when one stayed.
int Delete_Frames(App& app, const std::vector<std::string>& stacked, const std::string& saved) {
    int ok = 1;
    std::error_code error;
    for (const std::string& path : stacked) {
        // Saved over one of its own frames: that file is the object now.
        if (std::filesystem::equivalent(Map_Path(path), Map_Path(saved), error)) continue;
        if (!DeleteFileA(path.c_str())) {
            Report_Errorf(app, "Frame_Convert(): Could not delete %s", path.c_str());
            ok = 0;
        }
    }
    return ok;
}

}  // namespace

int Frame_Convert(Session& s) {
    int result = 1;
    char windows_dir[PATH_BUFFER_SIZE];
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    char pattern[PATH_BUFFER_SIZE];
    const int length = std::snprintf(pattern, sizeof pattern, "%s\\Mirravane\\Data\\Frame Converter\\*.BMP", windows_dir);

    // A pattern cut short could match other files: then no frames are found.
    Find_Data found;
    HFIND search = length >= 0 && static_cast<size_t>(length) < sizeof pattern ? FindFirstFileA(pattern, &found) : nullptr;
    if (!search) {
        // Logged or not, the user has to learn where the frames go.
        if (Report_Error(s.app, "FindFirstFile returned INVALID_HANDLE_VALUE"))
            Message_Box(s.app, "There are no frames to convert.\nPut the frames, one bitmap (.BMP) file each, into\n%s\nand "
                        "choose Frame Convert again.",
                        Map_Path(std::string(windows_dir) + "\\Mirravane\\Data\\Frame Converter").c_str());
        return 0;
    }
    std::vector<std::string> names;
    do names.emplace_back(found.cFileName);
    while (FindNextFileA(search, &found));
    if (!FindClose(search)) {
        Report_Error(s.app, "Frame_Convert(): FindClose FAILED");
        return 0;
    }
    std::sort(names.begin(), names.end(), Natural_Less);

    char path[PATH_BUFFER_SIZE];
    if (!Converter_Path(path, sizeof path, windows_dir, names[0].c_str())) {
        Report_Errorf(s.app, "Frame_Convert(): Unable to load %s", names[0].c_str());
        return 0;
    }
    int width = 0, first_height = 0;
    Surface first = Load_SYSTEM_Bitmap(s.display, path, &width, &first_height);
    if (!first) {
        Report_Errorf(s.app, "Frame_Convert(): Unable to load %s", path);
        return 0;
    }
    Release_Surface(&first);
    // Object files are saved in whole blocks of 8 pixels: the frames get a transparent margin.
    const int side = static_cast<int>((static_cast<int64_t>(width) + 7) / 8 * 8);

    Surface stacked = nullptr;
    const int64_t total = static_cast<int64_t>(side) * static_cast<int64_t>(names.size());
    if (total > INT32_MAX || !Create_SYSTEM_Surface(s.display, &stacked, side, static_cast<int>(total))) {
        Report_Error(s.app, "Frame_Convert(): Sorry, unable to create destination bitmap - perhaps due to lack of memory");
        return 0;
    }
    std::vector<std::string> in_result;
    if (!Stack_Frames(s, names, windows_dir, stacked, width, side, in_result)) result = 0;
    std::string saved;
    if (!Save_Conversion(s, stacked, &saved)) {
        Report_Error(s.app, "Frame_Convert(): Save_Conversion FAILED");
        result = 0;
    }
    Release_Surface(&stacked);
    // Cancelled or failed, the frames stay where the user put them.
    if (!saved.empty() && !Delete_Frames(s.app, in_result, saved)) result = 0;

    // A new session loads the objects again, the new one among them.
    Store_Plasma_Settings(s);
    // The shell reports a failure itself.
    if (!s.link->restart_display(s)) result = 0;
    if (!Restore_Plasma_Settings(s)) {
        Report_Error(s.app, "Frame_Convert(): Restore_Plasma_Settings FAILED");
        return 0;
    }
    return result;
}

int Save_Conversion(Session& s, Surface surface, std::string* saved) {
    if (saved) saved->clear();
    char windows_dir[PATH_BUFFER_SIZE];
    if (!GetWindowsDirectoryA(windows_dir, sizeof windows_dir)) {
        Report_Error(s.app, "Save_Conversion(): GetWindowsDirectory FAILED");
        return 0;
    }
    const std::string folder = std::string(windows_dir) + "\\Mirravane\\Data\\Bmp\\Objects\\";
    std::snprintf(s.slides.object_name, sizeof s.slides.object_name, "%d.bmp", Next_Object_Number());
    if (!s.link->choose_file(s, File_Choice::Save_Bitmap, folder.c_str(), s.slides.object_name, s.slides.object_title)) return 1;
    // Written beside the old file and swapped in whole, so a failure keeps what was there.
    if (!Save_Bitmap_Safely(s.display, surface, s.slides.object_name)) {
        Report_Errorf(s.app, "Frame_Convert(): Save_Bitmap FAILED %s", s.slides.object_name);
        return 0;
    }
    // The frames are deleted on the strength of this file, so it must load as what was saved.
    int width = 0, height = 0, saved_width = 0, saved_height = 0;
    Surface check = Load_SYSTEM_Bitmap(s.display, s.slides.object_name, &width, &height);
    const bool loaded = check != nullptr;
    Release_Surface(&check);
    Grab_Surface_Dimensions(s.app, surface, &saved_width, &saved_height);
    if (!loaded || width != saved_width || height != saved_height) {
        Report_Errorf(s.app, "Frame_Convert(): %s could not be read back - the frames are kept", s.slides.object_name);
        return 0;
    }
    if (saved) *saved = s.slides.object_name;
    return 1;
}

int Compact_All_Objects(Session& s) {
    Free_All_Objects(s);
    s.app.Objects_Memory = 0.0f;
    char windows_dir[PATH_BUFFER_SIZE];
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    s.app.Objects_Loaded = 0;

    for (int i = 0; i < MAX_OBJECTS; ++i) {
        char path[PATH_BUFFER_SIZE];
        Object_Path(path, sizeof path, windows_dir, i);
        HANDLE probe = CreateFileA(path, GENERIC_READ, 0, OPEN_EXISTING);
        if (!probe) {
            if (Object_File_Exists(path)) {
                Report_Errorf(s.app, "Load_All_Objects():Unable to load %s", path);
                Report_Skipped(s.app, path);
                continue;
            }
            break;
        }
        CloseHandle(probe);
        OBJECTS_DATA& object = s.app.Objects_Data[s.app.Objects_Loaded];
        int width = 0, height = 0;
        object.images = Load_SYSTEM_Bitmap(s.display, path, &width, &height);
        if (!object.images) {
            Report_Errorf(s.app, "Load_All_Objects():Unable to load %s", path);
            object = OBJECTS_DATA{};
            Report_Skipped(s.app, path);
            continue;
        }
        object.frame_width = width;
        object.total_height = height;
        object.frames = width > 0 ? height / width : 0;
        // Only the program's own hue frames can be made again from the first frame; a drawn
        // animation of 32 frames is the user's work and stays as it is.
        if (object.frames == 32 && Is_Hue_Expansion(s.display, object.images, width)) {
            if (!Create_Objects_Hue_Gradient(s.display, s.app.Objects_Loaded, width, width, 1, 1)) {
                Report_Errorf(s.app, "Load_All_Objects():Unable to create a hue gradient for object %d", i);
                return 0;
            }
            if (!Save_Bitmap_Safely(s.display, object.images, path)) {
                Report_Errorf(s.app, "Load_All_Objects():Unable to save new hue gradient for object %d\n%s", i, path);
                return 0;
            }
        }
        Add_Object_Memory(s.display, object);
        ++s.app.Objects_Loaded;

        Clear(s.display, s.display.Hidden);
        if (!Masked_Clip_Blit(s.display, object.images, s.display.Hidden, 0, 0, (s.display.Client_Width - width) / 2, (s.display.Client_Height - width) / 2,
                              width, width))
            Report_Error(s.app, "Create_Objects_Hue_Gradient():First frame copy Blit failed");
        Draw_Status_Message(s);
        Display_Hidden_Surface(s.display);
    }
    if (s.app.Objects_Loaded > 0) {
        s.app.Object_Holders = 1;
        s.app.Objects_Bpp = s.display.Screen_Bpp;
        s.display.holds_objects = true;
        return 1;
    }
    Report_Error(s.app, "Load_All_Objects(): No Special Effects files (Objects) Loaded");
    return 0;
}
