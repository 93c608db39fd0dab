#include "slides/objects.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "session/run_mode.h"
#include "slides/object_queue.h"
#include "slides/slides.h"
#include "surface/bitmap.h"
#include "surface/display.h"
#include "session/session.h"


namespace {
const Once_Log load_log;

// Pixels the object will hold once loaded (and expanded), or -1 when it is too large to be one.
int64_t Object_Pixels(App& app, int64_t width, int64_t height) {
    if (width * height > Object_Max_Pixels) return -1;
    if (width == height && app.Saver_Mode != PREVIEW) {
        const int64_t expanded = width * 32 * height;
        return expanded > Object_Max_Expanded_Pixels ? -1 : expanded;
    }
    return width * height;
}

int64_t Surface_Bytes(Display_Context& d, int64_t pixels) { return pixels * (d.Screen_Bpp > 8 ? (d.Screen_Bpp + 7) / 8 : 1); }

// "Preparing objects 12 of 40" while the configuration window expands objects (a first
// start); shown from the first object that expands until the scan ends. The saver and the
// preview never wait behind a window.
class Expansion_Progress {
public:
    explicit Expansion_Progress(Display_Context& d) : d_(d) {}
    ~Expansion_Progress() {
        if (total_ > 0) End_Progress(d_.Main_Window);
    }
    // Object `index` is about to expand.
    void expanding(int index) {
        if (total_ == 0 && d_.app.Saver_Mode == CONFIGURE) total_ = std::max(Next_Object_Number(), index + 1);
        show(index);
    }
    // Object `index` is done (whether it expanded or not).
    void done(int index) { show(index + 1); }

private:
    void show(int done) {
        done = std::min(done, total_);
        if (total_ <= 0 || done == shown_) return;
        shown_ = done;
        char text[64];
        std::snprintf(text, sizeof text, "Preparing objects %d of %d", std::min(done + 1, total_), total_);
        Show_Progress(d_.Main_Window, done == total_ ? "Objects prepared" : text, done, total_);
    }
    Display_Context& d_;
    int total_ = 0, shown_ = -1;
};
}  // namespace

bool Object_File_Exists(const char* path) {
    std::error_code error;
    const auto type = std::filesystem::symlink_status(Map_Path(path), error).type();
    return type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::none;
}

int Next_Object_Number() {
    char windows_dir[PATH_BUFFER_SIZE];
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        char path[PATH_BUFFER_SIZE];
        Object_Path(path, sizeof path, windows_dir, i);
        if (!Object_File_Exists(path)) return i;
    }
    return MAX_OBJECTS;
}

void Report_Skipped(App& app, const char* path) {
    Report_Errorf(app, "Load_All_Objects(): %s skipped, the objects after it still load", path);
}

void Add_Object_Memory(Display_Context& d, const OBJECTS_DATA& object) {
    // A 32-bit product, wrapping (not undefined) for bitmaps near the loader's limit.
    const int32_t bits = static_cast<int32_t>(static_cast<uint32_t>(
        static_cast<int64_t>(object.frame_width) * object.total_height * d.Screen_Bpp));
    d.app.Objects_Memory += static_cast<float>(bits) * 1.1920929e-7f;
}

int Save_Bitmap_Safely(Display_Context& d, Surface surface, const char* path) {
    int width = 0, height = 0;
    if (!path || !Grab_Surface_Dimensions(d.app, surface, &width, &height)) return 0;
    // A name a later start recognises as this program's own, should a kill leave it behind.
    const std::string temporary = Temporary_File_Name(path);
    const std::string temporary_native = Map_Path(temporary);
    std::error_code error;
    std::filesystem::remove(temporary_native, error);  // only a dead run of this number made it
    if (!Save_Bitmap(d, surface, temporary.c_str())) {
        std::filesystem::remove(temporary_native, error);
        return 0;
    }
    // A short file means the disk filled up behind the writer's back.
    const uintmax_t expected = 54 + 3 * static_cast<uintmax_t>(width) * static_cast<uintmax_t>(height);
    const uintmax_t size = std::filesystem::file_size(temporary_native, error);
    if (error || size != expected) {
        std::filesystem::remove(temporary_native, error);
        return 0;
    }
    std::filesystem::rename(temporary_native, Map_Path(path), error);
    if (error) {
        std::filesystem::remove(temporary_native, error);
        return 0;
    }
    return 1;
}

void Object_Path(char* buffer, unsigned size, const char* windows_dir, int index) {
    std::snprintf(buffer, size, "%s\\Mirravane\\data\\bmp\\objects\\%d.bmp", windows_dir, index);
}

int Load_All_Objects(Display_Context& d) {
    // Another session (another monitor at the same depth) has them loaded: share them.
    if (!d.holds_objects && d.app.Object_Holders > 0 && d.app.Objects_Bpp == d.Screen_Bpp && d.app.Objects_Loaded > 0) {
        ++d.app.Object_Holders;
        d.holds_objects = true;
        return 1;
    }
    load_log.enter(d.app, "Entering Load_All_Objects");
    d.app.Objects_Memory = 0.0f;
    char windows_dir[PATH_BUFFER_SIZE];
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    d.app.Objects_Loaded = 0;
    int64_t objects_bytes = 0;  // surfaces of the objects loaded so far
    if (d.Window_Mode != FULLSCREEN) SetCursor(LoadCursorWait());
    Expansion_Progress progress(d);

    // Objects are numbered 0, 1, 2... in the table whatever files were skipped on the way, so
    // every loaded entry below Objects_Loaded holds a bitmap.
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        char path[PATH_BUFFER_SIZE];
        Object_Path(path, sizeof path, windows_dir, i);
        HANDLE probe = CreateFileA(path, GENERIC_READ, 0, OPEN_EXISTING);
        if (!probe) {
            // Only a missing number ends the scan; a file that is there but cannot be opened
            // is skipped like a damaged one.
            if (Object_File_Exists(path)) {
                Report_Errorf(d.app, "Load_All_Objects():Unable to load %s", path);
                Report_Skipped(d.app, path);
                continue;
            }
            break;
        }
        CloseHandle(probe);
        OBJECTS_DATA& object = d.app.Objects_Data[d.app.Objects_Loaded];
        if (object.images) {
            Report_Error(d.app, "Load All Objects(): Objects_Data[i].images should be NULL");
            return 0;
        }
        auto skip = [&d, &object, path]() {
            Release_Surface(&object.images);
            object = OBJECTS_DATA{};
            Report_Skipped(d.app, path);
        };
        // Judged on the size the file claims before it is decoded, and again on what was decoded.
        // Claims the loader refuses anyway are left to it and its message.
        auto fits = [&](int64_t width, int64_t height) {
            const int64_t pixels = Object_Pixels(d.app, width, height);
            if (pixels < 0) {
                Report_Errorf(d.app, "Load_All_Objects(): %s is too large to use as an object (%d x %d) - ignored", path,
                              static_cast<int>(width), static_cast<int>(height));
                return false;
            }
            if (Surface_Bytes(d, pixels) > d.app.Objects_Memory_Budget - objects_bytes) {
                Report_Errorf(d.app, "Load_All_Objects(): %s would take the objects past the %.2lf Mb kept for them - "
                              "ignored",
                              path, static_cast<double>(d.app.Objects_Memory_Budget) / 1048576.0);
                return false;
            }
            return true;
        };
        int64_t claimed_width = 0, claimed_height = 0;
        if (Read_Bmp_File_Size(path, &claimed_width, &claimed_height) && claimed_width > 0 && claimed_height > 0 &&
            claimed_width * claimed_height <= Bmp_Max_Pixels && !fits(claimed_width, claimed_height)) {
            skip();
            continue;
        }
        int width = 0, height = 0;
        object.images = Load_SYSTEM_Bitmap(d, path, &width, &height);
        if (!object.images) {
            Report_Errorf(d.app, "Load_All_Objects():Unable to load %s", path);
            skip();
            continue;
        }
        if (!fits(width, height)) {
            skip();
            continue;
        }
        object.frame_width = width;
        object.total_height = height;
        object.frames = width > 0 ? height / width : 0;
        if (object.frames < 1) {
            // No whole frame to show, and the queue divides by the frame count.
            Report_Errorf(d.app, "Load_All_Objects(): %s is less tall than it is wide and holds no whole frame - "
                          "ignored",
                          path);
            skip();
            continue;
        }
        if (width == height && d.app.Saver_Mode != PREVIEW) {
            MSG pending;
            PeekMessageA(&pending, d.Main_Window, 0, 0, PM_REMOVE);
            progress.expanding(i);
            // Either failure leaves a usable object: the single frame, or the hue frames that
            // could not be written; the next start tries again.
            if (!Create_Objects_Hue_Gradient(d, d.app.Objects_Loaded, width, height, 32, 0)) {
                Report_Errorf(d.app, "Load_All_Objects():Unable to create a hue gradient for object %d", i);
                Report_Errorf(d.app, "Load_All_Objects(): object %d is used from memory for this run", i);
            } else if (!Save_Bitmap_Safely(d, object.images, path)) {
                Report_Errorf(d.app, "Load_All_Objects():Unable to save new hue gradient for object %d\n%s", i, path);
                Report_Errorf(d.app, "Load_All_Objects(): object %d is used from memory for this run", i);
            }
        }
        Add_Object_Memory(d, object);
        objects_bytes += Surface_Bytes(d, static_cast<int64_t>(object.frame_width) * object.total_height);
        ++d.app.Objects_Loaded;
        progress.done(i);
    }
    if (d.app.Objects_Loaded == 0) {
        Report_Error(d.app, "Load_All_Objects(): No Special Effects files (Objects) Loaded");
        return 0;
    }
    load_log.exit(d.app, "Exitting Load_All_Objects");
    if (d.Window_Mode != FULLSCREEN) SetCursor(d.app.Arrow_Cursor);
    d.app.Object_Holders = 1;
    d.app.Objects_Bpp = d.Screen_Bpp;
    d.holds_objects = true;
    return 1;
}

int Free_All_Objects(Session& s) {
    Empty_Objects_Queue(s);
    if (s.display.holds_objects) {
        s.display.holds_objects = false;
        --s.app.Object_Holders;
    }
    // The bitmaps go with the last session drawing with them.
    if (s.app.Object_Holders > 0) return 1;
    s.app.Object_Holders = 0;
    for (auto& object : s.app.Objects_Data) Release_Surface(&object.images);
    return 1;
}

Surface Get_Object_Images(App& app, int index) {
    if (index < 0 || index >= app.Objects_Loaded || index >= MAX_OBJECTS) return nullptr;
    return app.Objects_Data[index].images;
}

int Restore_All_Objects(Session& s) {
    int lost = -1;
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        if (s.app.Objects_Data[i].images && s.app.Objects_Data[i].images->IsLost() == DDERR_SURFACELOST) {
            lost = i;
            break;
        }
    }
    if (lost < 0) return 1;
    Free_All_Objects(s);
    if (!Load_All_Objects(s.display)) {
        Report_Error(s.app, "Restore_All_Objects(): Load_All_Objects FAILED");
        return 0;
    }
    if (s.Plasma_Settings.slides_on == 0) return 1;
    Free_Colour_Slides(s);
    if (!Setup_Colour_Slides(s, s.display.Client_Width, s.display.Client_Height, s.Plasma_Settings.slide_speed)) {
        Report_Error(s.app, "Restore_All_Objects(): Setup_Colour_Slides FAILED");
        return 0;
    }
    return 1;
}
