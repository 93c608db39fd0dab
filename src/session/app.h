// What the process has once, whatever number of displays it runs: the error log, the random
// generator, the run mode and the command line's choices, the program folder, the object
// bitmaps, and the displays of its sessions.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/wintypes.h"
#include "presets/plasma_settings.h"
#include "slides/objects.h"

struct App {
    App() = default;
    ~App();  // closes the log a run left open
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The error log.
    int error_logging = 0;                          // 1: Report_Error writes to the log file
    char Message_Buffer[MESSAGE_BUFFER_SIZE] = "";  // the shared message buffer
    char Error_Log_Path[PATH_BUFFER_SIZE] = "";     // Windows directory + "\Mirravane\error_log.txt"
    HANDLE error_log = nullptr;                     // opened by the header, kept open for the whole run
    // Set in saver and preview mode, where a modal box would wait unseen behind the picture (or
    // in a host's window): what would be shown in a box goes to standard error instead.
    int No_Modal_Reports = 0;
    // Reports logged while frames were drawn since the last preset: formats, or texts that are
    // not formats.
    int frames_drawing = 0;
    std::vector<std::string> frame_failures;
    std::set<const Once_Log*> once_logs_done;  // "Entering"/"Exitting" pairs already written

    // The random generator and the seed a tool may fix.
    uint32_t Random_State = 1;
    bool fixed_seed = false;
    uint32_t seed_value = 0;

    // The run: the mode and what the command line chose.
    int Saver_Mode = 0;  // 0 behaves as CONFIGURE
    HINSTANCE App_Instance = nullptr;
    HCURSOR Arrow_Cursor = nullptr;
    int System_Width = 0, System_Height = 0, System_Bpp = 0;  // the desktop as measured at start
    int Frames_Running = 1;  // the loop runs frames while set
    int Quit_Allowed = 0;    // set once the destroy handling ran
    bool Message_Loop_Running = false;
    uintptr_t Preview_Parent = 0;     // the host's window in preview mode
    uintptr_t Saver_Host_Window = 0;  // a window the saver draws into instead of its own (-root)
    bool Independent_Saver = false;   // xscreensaver's: one saver per monitor, so no saver lock
    std::string Saver_Preset_File;    // saver and preview show this preset ("": default.dat's)
    int Saver_Random_Interval = -1;   // saver and preview: seconds between random presets; -1 the record's

    // The program folder and its files.
    char Windows_Directory_Prefix[PATH_BUFFER_SIZE] = "";  // the Windows directory followed by "\"
    std::string unreadable_default_file;  // a default.dat that was there but could not be read
    Preset_Read last_load;                // how the last preset file read ended

    // The object bitmaps, loaded at the first display's depth.
    OBJECTS_DATA Objects_Data[MAX_OBJECTS];
    int Objects_Loaded = 0;     // number of object types loaded (at most 250)
    // Sessions drawing with the loaded objects, and the depth they were made at: a second
    // session at the same depth (another monitor) uses them as they are.
    int Object_Holders = 0;
    int Objects_Bpp = 0;
    float Objects_Memory = 0;   // megabytes taken by the loaded bitmaps
    int64_t Objects_Memory_Budget = 512LL * 1024 * 1024;  // bytes all of them may take, at the display's depth

    // The displays of the sessions, in the order they were made: the first owns the boxes.
    std::vector<Display_Context*> displays;
};
