#include <cstdio>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/modes.h"
#include "shell/session.h"
#include "shell/window_style.h"
#include "surface/display.h"
#include "text/transition.h"

namespace {
bool first_tick = true;
double countdown = 0.0;
int next_transition_mode = TRANSITION_SHRINK;
int last_choice = 0;
Once_Log load_log;
}  // namespace

int Tick_Random_Preset_Timer(int reset) {
    if (first_tick) {
        first_tick = false;
        countdown = Running_Random_Interval;
    }
    if (reset) countdown = Running_Random_Interval;
    if (Running_Random_Interval == 0) return 1;
    countdown -= frame_seconds;
    if (countdown > 0) return 1;
    Set_Transition_Mode(next_transition_mode);
    next_transition_mode = TRANSITION_SHRINK;
    countdown = Running_Random_Interval;
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

int Select_Random_Setting(char* path, unsigned size) {
    const std::string dir = Windows_Directory();
    char pattern[PATH_BUFFER_SIZE];
    std::snprintf(pattern, sizeof pattern, "%s\\Mirravane\\*.DAT", dir.c_str());
    int count = 0;
    if (!Count_Files_In_Folder(pattern, &count)) {
        Report_Error("Select_Random_Setting(): Count_Files_In_Folder FAILED");
        return 0;
    }
    Find_Data data;
    HFIND find = FindFirstFileA(pattern, &data);
    if (!find) {
        Report_Error("Load_Random_Setting(): FindFirstFile searching for *.DAT returned INVALID_HANDLE_VALUE");
        return 0;
    }
    int r = Random() % count;
    while (count > 1 && r == last_choice) r = Random() % count;
    last_choice = r;
    for (int i = 0; i < r; ++i)
        if (!FindNextFileA(find, &data)) break;
    std::snprintf(path, size, "%s\\Mirravane\\%s", dir.c_str(), data.cFileName);
    FindClose(find);
    return 1;
}

int Load_Random_Setting() {
    load_log.enter("Entering Load_Random_Setting");
    char path[PATH_BUFFER_SIZE];
    if (!Select_Random_Setting(path, sizeof path)) {
        Report_Error("Load_Random_Setting(): Select_Random_Setting FAILED");
        return 0;
    }
    if (!Load_Plasma_Settings(path)) {
        Report_Errorf("Load_Random_Setting():Load_Plasma_Settings FAILED Unable to read file %s", path);
        return 0;
    }
    load_log.exit("Exitting Load_Random_Setting");
    return 1;
}

int Display_A_Random_Setting() {
    const int old_resolution = Plasma_Settings.resolution;
    if (!Load_Random_Setting()) {
        Report_Error("Display_A_Random_Setting(): Load_Random_Setting FAILED");
        return 0;
    }
    if (Window_Mode == FULLSCREEN && Plasma_Settings.resolution != old_resolution) {
        if (!Decode_Resolution(Plasma_Settings.resolution, &Screen_Width, &Screen_Height, &Screen_Bpp)) {
            Report_Error("Display_A_Random_Setting(): Decode_Resolution FAILED");
            return 0;
        }
        Store_Plasma_Settings();
        Shutdown();
        Window_Mode = FULLSCREEN;
        Client_Width = Screen_Width;
        Client_Height = Screen_Height;
        Switch_Window_Style();
        if (!Setup()) {
            Report_Error("Display_A_Random_Setting: Setup FAILED");
            PostMessageA(Main_Window, WM_DESTROY, 0, 0);
            return 0;
        }
        if (Screen_Width > System_Width) {
            if (IsZoomed(Main_Window)) Centre_Window(Main_Window);
            SetWindowPos(Main_Window, HWND_TOPMOST_ID, 0, 0, Screen_Width, Screen_Height, 0);
        }
        if (!Restore_Plasma_Settings()) {
            Report_Error("Display_A_Random_Setting(): Restore_Plasma_Settings FAILED");
            return 0;
        }
    }
    Refresh_Plasma();
    return 1;
}

int Copy_Random_Settings() {
    Running_Random_Interval = Plasma_Settings.random_interval;
    Running_Transition_Speed = Plasma_Settings.transition_speed;
    return 1;
}
