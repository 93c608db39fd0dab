#include <cstdio>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "surface/display.h"
#include "text/transition.h"
#include "session/session.h"

namespace {
const Once_Log load_log;
}  // namespace

int Tick_Random_Preset_Timer(Session& s, int reset) {
    if (s.journey.first_tick) {
        s.journey.first_tick = false;
        s.journey.countdown = s.journey.Running_Random_Interval;
    }
    if (reset) s.journey.countdown = s.journey.Running_Random_Interval;
    if (s.journey.Running_Random_Interval == 0) return 1;
    s.journey.countdown -= s.display.frame_seconds;
    if (s.journey.countdown > 0) return 1;
    Set_Transition_Mode(s, s.journey.next_transition_mode);
    s.journey.next_transition_mode = TRANSITION_SHRINK;
    s.journey.countdown = s.journey.Running_Random_Interval;
    return 1;
}

int Count_Files_In_Folder(const char* pattern, int* count) {
    *count = 0;
    Find_Data data;
    HFIND find = FindFirstFileA(pattern, &data);
    if (!find) return 0;
    do {
        ++*count;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return 1;
}

int Select_Random_Setting(Session& s, char* path, unsigned size) {
    const std::string dir = Windows_Directory();
    char pattern[PATH_BUFFER_SIZE];
    std::snprintf(pattern, sizeof pattern, "%s\\Mirravane\\*.DAT", dir.c_str());
    int count = 0;
    if (!Count_Files_In_Folder(pattern, &count)) {
        Report_Error(s.app, "Select_Random_Setting(): Count_Files_In_Folder FAILED");
        return 0;
    }
    Find_Data data;
    HFIND find = FindFirstFileA(pattern, &data);
    if (!find) {
        Report_Error(s.app, "Load_Random_Setting(): FindFirstFile searching for *.DAT returned INVALID_HANDLE_VALUE");
        return 0;
    }
    int r = Random(s.app) % count;
    while (count > 1 && r == s.journey.last_choice) r = Random(s.app) % count;
    s.journey.last_choice = r;
    for (int i = 0; i < r; ++i)
        if (!FindNextFileA(find, &data)) break;
    std::snprintf(path, size, "%s\\Mirravane\\%s", dir.c_str(), data.cFileName);
    FindClose(find);
    return 1;
}

int Load_Random_Setting(Session& s) {
    load_log.enter(s.app, "Entering Load_Random_Setting");
    char path[PATH_BUFFER_SIZE];
    if (!Select_Random_Setting(s, path, sizeof path)) {
        Report_Error(s.app, "Load_Random_Setting(): Select_Random_Setting FAILED");
        return 0;
    }
    if (!Load_Plasma_Settings(s, path)) {
        Report_Errorf(s.app, "Load_Random_Setting():Load_Plasma_Settings FAILED Unable to read file %s", path);
        return 0;
    }
    load_log.exit(s.app, "Exitting Load_Random_Setting");
    return 1;
}

int Display_A_Random_Setting(Session& s) {
    const int old_resolution = s.Plasma_Settings.resolution;
    if (!Load_Random_Setting(s)) {
        Report_Error(s.app, "Display_A_Random_Setting(): Load_Random_Setting FAILED");
        return 0;
    }
    if (s.display.Window_Mode == FULLSCREEN && s.Plasma_Settings.resolution != old_resolution) {
        if (!Decode_Resolution(s.app, s.Plasma_Settings.resolution, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp)) {
            Report_Error(s.app, "Display_A_Random_Setting(): Decode_Resolution FAILED");
            return 0;
        }
        Store_Plasma_Settings(s);
        // The shell sets the display up again at the new size; it reports a failure itself.
        if (!s.link->rebuild_display(s)) return 0;
        if (!Restore_Plasma_Settings(s)) {
            Report_Error(s.app, "Display_A_Random_Setting(): Restore_Plasma_Settings FAILED");
            return 0;
        }
    }
    Refresh_Plasma(s);
    return 1;
}

int Copy_Random_Settings(Session& s) {
    s.journey.Running_Random_Interval = s.Plasma_Settings.random_interval;
    s.journey.Running_Transition_Speed = s.Plasma_Settings.transition_speed;
    return 1;
}
