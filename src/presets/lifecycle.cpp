#include "presets/lifecycle.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "diagnostics/diagnostics.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "scope/scope.h"
#include "shell/menu_marks.h"
#include "shell/modes.h"
#include "shell/window_title.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "text/title.h"

char Windows_Directory_Prefix[PATH_BUFFER_SIZE] = "";

namespace {

// Float to int toward zero. Values come from preset files too, so out-of-range and NaN
// must not reach the undefined conversion.
int Truncate(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value < -2147483648.0f) return INT32_MIN;
    return static_cast<int>(value);
}

// Tile size: divided for the symmetry copies, multiple of 4, at most the screen, above 16.
int Tile_Size(int requested, int divisor, int limit) {
    int size = requested / divisor;
    size -= size % 4;
    if (size > limit) size = limit;
    if (size <= 16) size = 16;
    return size;
}

// The record's value of a parameter, as Modify_Plasma takes it.
float Stored_Value(Session& s, int parameter) {
    const PLASMA_SETTINGS& s = s.Plasma_Settings;
    switch (parameter) {
    case 0: return static_cast<float>(s.multi_colour);
    case 1: return static_cast<float>(s.plasma_width);
    case 2: return static_cast<float>(s.plasma_height);
    case 3: return static_cast<float>(s.contrast);
    case 4: return static_cast<float>(s.speed);
    case 5: return s.ripple;
    case 6: return s.interference;
    case 7: return s.sway;
    case 8: return static_cast<float>(s.complexity);
    case 10: return static_cast<float>(s.preview_active);
    case 11: return static_cast<float>(s.symmetry);
    case 12: return static_cast<float>(s.colour_blue);
    case 13: return static_cast<float>(s.colour_green);
    case 14: return static_cast<float>(s.colour_red);
    case 15: return static_cast<float>(s.invert_colour_logic);
    case 16: return static_cast<float>(s.scope_on);
    case 17: return static_cast<float>(s.scope_shape);
    case 18:
    case 23: return static_cast<float>(s.kaleidoscope_on);
    case 19: return static_cast<float>(s.brighten);
    case 20: return static_cast<float>(s.darken_red);
    case 21: return static_cast<float>(s.darken_green);
    case 22: return static_cast<float>(s.darken_blue);
    case 24: return static_cast<float>(s.granularity);
    case 25: return static_cast<float>(s.slides_on);
    case 26: return static_cast<float>(s.slide_speed);
    case 29: return static_cast<float>(s.background);
    case 30: return static_cast<float>(s.gradient_variable);
    case 31: return static_cast<float>(s.gradient_brightness);
    case 32: return static_cast<float>(s.resolution);
    case 33: return static_cast<float>(s.zone_frequency);
    case 34: return static_cast<float>(s.zone_duration);
    case 35: return static_cast<float>(s.zone_multicolour);
    case 36: return static_cast<float>(s.reserved_6144);
    case 37: return static_cast<float>(s.reserved_6148);
    case 38: return static_cast<float>(s.reserved_6152);
    case 39: return static_cast<float>(s.blend_mode);
    case 40: return static_cast<float>(s.slide_direction);
    case 41: return static_cast<float>(s.direction_change_frequency);
    default: return 0.0f;
    }
}

// Stores one field with its clamping; parameters without a field store nothing.
void Store_Parameter(Session& s, int parameter, float value) {
    PLASMA_SETTINGS& s = s.Plasma_Settings;
    const int v = Truncate(value);
    switch (parameter) {
    case 0: s.multi_colour = v >= 1 ? 1 : 0; break;
    case 1: {
        const int divisor = (s.symmetry == 1 || s.symmetry == 2) ? 2 : (s.symmetry == 3 ? 4 : 1);
        s.plasma_width = Tile_Size(v, divisor, s.display.Screen_Width);
        s.plasma.First_Plasma.width = s.plasma_width;
        break;
    }
    case 2: {
        const int divisor = s.symmetry == 2 ? 2 : (s.symmetry == 3 ? 4 : 1);
        s.plasma_height = Tile_Size(v, divisor, s.display.Screen_Height);
        s.plasma.First_Plasma.height = s.plasma_height;
        break;
    }
    case 3: s.contrast = v < 1 ? 1 : (v > 60 ? 60 : v); break;
    case 4: {
        const double speed = value;
        // NaN would make the phase step meaningless: it takes the lower bound.
        s.speed = !(speed >= 1.0) ? 1.0 : (speed > 499.0 ? 499.0 : speed);
        break;
    }
    case 5: s.ripple = value; break;
    case 6: s.interference = value; break;
    case 7: s.sway = value; break;
    case 8: s.complexity = v; break;
    case 10: s.preview_active = v; break;
    case 11: s.symmetry = v; break;
    case 12: s.colour_blue = static_cast<uint8_t>(v & 0xFF); break;
    case 13: s.colour_green = static_cast<uint8_t>(v & 0xFF); break;
    case 14: s.colour_red = static_cast<uint8_t>(v & 0xFF); break;
    case 15: s.invert_colour_logic = v; break;
    case 16: s.scope_on = v; break;
    case 17: s.scope_shape = (v < 0 || v > 4) ? 0 : v; break;
    case 18:
    case 23: s.kaleidoscope_on = v; break;
    case 19: s.brighten = v; break;
    case 20: s.darken_red = v; break;
    case 21: s.darken_green = v; break;
    case 22: s.darken_blue = v; break;
    case 24: s.granularity = v; break;
    case 25: s.slides_on = v; break;
    case 26: s.slide_speed = value; break;
    case 29: s.background = v; break;
    case 30: s.gradient_variable = v; break;
    case 31: s.gradient_brightness = v; break;
    case 32: s.resolution = v; break;
    case 33: s.zone_frequency = v; break;
    case 34: s.zone_duration = v; break;
    case 35: s.zone_multicolour = v; break;
    case 36: s.reserved_6144 = v; break;
    case 37: s.reserved_6148 = v; break;
    case 38: s.reserved_6152 = v; break;
    case 39: s.blend_mode = v; break;
    case 40: s.slide_direction = v; break;
    case 41: s.direction_change_frequency = v; break;
    default: break;  // 9, 27, 28 and unknown numbers
    }
}

Once_Log refresh_log, read_log, load_default_log, display_default_log, grab_log;

// default.dat as found by the last look at it, when it was there but could not be read: the
// user's file, never to be replaced by the record shown in its place. Empty otherwise.
std::string unreadable_default_file;
// Whether default.dat holds the backup record, so that restoring may read it back.
bool backup_in_default_file = true;

// Looks at default.dat without touching the live record, and remembers whether it is a file
// that exists but cannot be read.
Preset_Read::Outcome Look_At_Default_File(App& app, const char* path) {
    PLASMA_SETTINGS probe;
    const Preset_Read read = Read_Preset_File(path, &probe);
    app.unreadable_default_file = read.outcome == Preset_Read::Unreadable ? Map_Path(path) : std::string();
    return read.outcome;
}

}  // namespace

void Fill_Windows_Directory_Prefix(App& app) {
    char directory[PATH_BUFFER_SIZE] = "";
    GetWindowsDirectoryA(directory, sizeof directory);
    std::snprintf(app.Windows_Directory_Prefix, sizeof app.Windows_Directory_Prefix, "%s\\", directory);
}

void Build_Default_Read_Path(App& app, char* buffer, size_t size) {
    if (app.Windows_Directory_Prefix[0] == '\0') Fill_Windows_Directory_Prefix(app);
    std::snprintf(buffer, size, "%sMirravane\\default.dat", app.Windows_Directory_Prefix);
}

void Build_Default_Write_Path(App& app, char* buffer, size_t size) {
    if (app.Windows_Directory_Prefix[0] == '\0') Fill_Windows_Directory_Prefix(app);
    std::snprintf(buffer, size, "%sMirravane/default.dat", app.Windows_Directory_Prefix);
}

int Modify_Plasma(Session& s, int parameter, float value, int reinitialise) {
    PLASMA_SETTINGS& s = s.Plasma_Settings;
    if (s.app.Saver_Mode == PREVIEW && s.preview_active == 0) return 1;

    Store_Parameter(s, parameter, value);

    switch (parameter) {
    case 16: {
        const int wanted = s.scope_on;  // the shutdown clears the field
        Shutdown_Scope(s);
        if (wanted != 0) {
            if (s.scope_shape < 0 || s.scope_shape > 4) s.scope_shape = 0;
            if (!Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, s.scope_shape)) {
                Report_Error(s.app, "Modify_Plasma(): Setup_Scope FAILED");
                s.scope_on = 0;
                return 0;
            }
        }
        break;
    }
    case 18:
    case 23:
        Shutdown_Kaleidoscope(s);
        if (s.kaleidoscope_on != 0 && !Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height)) {
            Report_Error(s.app, "Modify_Plasma(): Setup_Kaleidoscope FAILED");
            s.kaleidoscope_on = 0;
        }
        break;
    case 25:
        if (s.slides_on == 1) {
            Modify_Plasma(s, 23, 1.0f, 1);
            Free_Colour_Slides(s);
            if (!Setup_Colour_Slides(s, s.plasma_width, s.plasma_height, s.slide_speed)) {
                Report_Error(s.app, "Modify_Plasma(): Setup_Colour_Slides FAILED");
                return 0;
            }
        } else {
            Free_Colour_Slides(s);
        }
        break;
    default: break;
    }

    if (reinitialise == 0) return 1;

    Shutdown_Plasma(s);
    if (!Setup_Plasma(s, &s.plasma.First_Plasma) || !Setup_Plasma(s, &s.plasma.Second_Plasma) || !Setup_Plasma(s, &s.plasma.Third_Plasma)) {
        Report_Error(s.app, "Modify_Plasma():\n\nUnable to RE-Initialise Plasma");
        return 0;
    }
    if (s.display.Hidden != nullptr && !Clear(s.display, s.display.Hidden)) {
        Report_Error(s.app, "Modify_Plasma():Clear Hidden FAILED");
        return 0;
    }
    return 1;
}

int Refresh_Plasma(Session& s) {
    PLASMA_SETTINGS& s = s.Plasma_Settings;
    refresh_log.enter(s.app, "Entering Refresh_Plasma");
    // A new preset may fail in frames in new ways: its failures are logged once again.
    Forget_Frame_Reports(s.app);

    if (s.display.Window_Mode == FULLSCREEN || s.app.Saver_Mode == SAVER) {
        s.display.Client_Width = s.display.Screen_Width;
        s.display.Client_Height = s.display.Screen_Height;
    } else {
        RECT client;
        if (!GetClientRect(s.display.Main_Window, &client)) {
            if (s.app.Saver_Mode != PREVIEW) Report_Error(s.app, "WM_SIZE: GetClientRect FAILED");
            return 0;
        }
        s.display.Client_Width = client.right - client.left;
        s.display.Client_Height = client.bottom - client.top;
    }

    Free_Colour_Slides(s);
    Shutdown_Kaleidoscope(s);
    Shutdown_Plasma(s);

    // The tile takes the client size, not the stored one.
    static const int rest[] = {3,  4,  5,  6,  7,  8,  10, 12, 13, 14, 15, 18, 19, 20, 21, 22, 24,
                               26, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 17, 16};
    Modify_Plasma(s, 0, Stored_Value(s, 0), 0);
    Modify_Plasma(s, 1, static_cast<float>(s.display.Client_Width), 0);
    Modify_Plasma(s, 2, static_cast<float>(s.display.Client_Height), 0);
    for (int parameter : rest) Modify_Plasma(s, parameter, Stored_Value(s, parameter), 0);

    s.display.Wait_For_Vsync = s.vsync != 0 ? 1 : 0;
    if (s.journey.Running_Random_Interval == 0) s.journey.Running_Random_Interval = s.random_interval;
    if (s.journey.Running_Transition_Speed == 0) s.journey.Running_Transition_Speed = s.transition_speed;

    Modify_Plasma(s, 11, static_cast<float>(s.symmetry), 1);
    Modify_Plasma(s, 25, static_cast<float>(s.slides_on), 0);

    Copy_Plasma_Dialog_Values(s);
    Update_Menu_Check_Marks(s);

    // A preset file may hold a title without a terminator; it must not be read past its field.
    s.title_text[sizeof s.title_text - 1] = '\0';
    if (s.title_text[0] == '\0') std::strcpy(s.title_text, "default");
    if (!Setup_Title(s, s.title_text, 9)) {
        Report_Error(s.app, "Refresh_Plasma(): Setup_Title FAILED");
        return 0;
    }
    Update_Window_Title(s, s.title_text);

    refresh_log.exit(s.app, "Exitting Refresh_Plasma");
    return 1;
}

int Default_Plasma_Settings(Session& s) {
    PLASMA_SETTINGS& s = s.Plasma_Settings;
    std::memset(&s, 0, sizeof s);
    s.multi_colour = 1;
    s.resolution = Default_Resolution;
    s.plasma_width = 128;
    s.plasma_height = 128;
    s.contrast = s.display.Screen_Bpp >= 24 ? 4 : 3;
    s.speed = 35.0;
    s.ripple = 5.4f;
    s.interference = 9.5f;
    s.sway = 1.6f;
    s.complexity = 50;
    s.blend_mode = 0;
    s.preview_active = 1;
    s.symmetry = 0;
    s.colour_blue = 127;
    s.colour_green = 127;
    s.colour_red = 127;
    s.invert_colour_logic = 1;
    s.granularity = ((s.display.Screen_Height / 32) * 16 / 4) * 2;
    s.brighten = 1;
    s.slide_speed = 10.0;
    s.background = 2;
    s.gradient_variable = 1;
    s.gradient_brightness = 200;
    s.zone_frequency = 25;
    s.zone_duration = 6;
    s.zone_multicolour = 1;
    s.reserved_6148 = 7;
    s.reserved_6152 = 100;
    s.slide_direction = 3;
    s.direction_change_frequency = 1000;
    s.vsync = 1;
    s.ignore_fps = 1;
    const int loaded = s.app.Objects_Loaded < 0 ? 0 : (s.app.Objects_Loaded > 250 ? 250 : s.app.Objects_Loaded);
    for (int t = 0; t < loaded; ++t) {
        s.object_count[t] = 1;
        s.object_selected[t] = 1;
        s.object_animation_speed[t] = 0.0;
        s.object_speed[t] = 0.0;
    }
    return 1;
}

int Read_Plasma_Settings_From_File(Session& s, const char* name) {
    read_log.enter(s.app, "Entering Read_Plasma_Settings_From_File");
    if (!Load_Plasma_Settings(s, name)) {
        Report_Errorf(s.app, "\tRead_Plasma_Settings_From_File(): Load_Plasma_Settings %s FAILED", name);
        return 0;
    }
    Refresh_Plasma(s);
    read_log.exit(s.app, "Exitting Read_Plasma_Settings_From_File");
    return 1;
}

int Load_Default_Plasma(Session& s) {
    load_default_log.enter(s.app, "Entering Load_Default_Plasma");
    Fill_Windows_Directory_Prefix(s.app);
    char path[PATH_BUFFER_SIZE];
    Build_Default_Read_Path(s.app, path, sizeof path);
    switch (Look_At_Default_File(s.app, path)) {
    case Preset_Read::Missing: return 0;  // a first start: the defaults, silently
    case Preset_Read::Not_Regular:
    case Preset_Read::Unreadable:
        Report_Errorf(s.app, "Load_Default_Plasma():\n\nUnable to read file %s", path);
        return 0;
    default: break;
    }
    if (!Read_Plasma_Settings_From_File(s, path)) {
        Report_Errorf(s.app, "Load_Default_Plasma():\n\nUnable to read file %s", path);
        return 0;
    }
    load_default_log.exit(s.app, "Exitting Load_Default_Plasma");
    return 1;
}

void Display_Default_Plasma(Session& s) {
    display_default_log.enter(s.app, "Entering Display_Default_Plasma");
    if (!Load_Default_Plasma(s)) {
        Default_Plasma_Settings(s);
        Refresh_Plasma(s);
    }
    display_default_log.exit(s.app, "Exitting Display_Default_Plasma");
}

int Save_Default_Plasma_File(Session& s) {
    char path[PATH_BUFFER_SIZE];
    Build_Default_Write_Path(s.app, path, sizeof path);
    if (!s.app.unreadable_default_file.empty() && Map_Path(path) == s.app.unreadable_default_file) {
        Report_Errorf(s.app, "Save_Default_Plasma_File(): %s could not be read, so it is kept as it is", path);
        Report_Errorf(s.app, "Unable to write file %s", path);
        return 0;
    }
    if (!Save_Plasma_Settings_To_File(s, path)) {
        Report_Errorf(s.app, "Unable to write file %s", path);
        return 0;
    }
    return 1;
}

int Store_Plasma_Settings(Session& s) {
    std::memcpy(&s.Backup_Plasma_Settings, &s.Plasma_Settings, sizeof s.Plasma_Settings);
    s.backup_in_default_file = s.app.Saver_Mode != CONFIGURE || Save_Default_Plasma_File(s);
    return 1;
}

int Restore_Plasma_Settings(Session& s) {
    std::memcpy(&s.Plasma_Settings, &s.Backup_Plasma_Settings, sizeof s.Plasma_Settings);
    // default.dat is read back only when it holds what was running; when it could not be
    // written or read, the backup is what was running and stays.
    if (!s.backup_in_default_file || !Load_Default_Plasma(s)) Refresh_Plasma(s);
    return 1;
}

int Grab_Preferred_Plasma_Screen_Dimensions(Session& s, int* width, int* height, int* depth) {
    grab_log.enter(s.app, "Entering Grab_Preferred_Plasma_Screen_Dimensions");
    Fill_Windows_Directory_Prefix(s.app);
    char path[PATH_BUFFER_SIZE];
    Build_Default_Read_Path(s.app, path, sizeof path);
    if (Look_At_Default_File(s.app, path) == Preset_Read::Missing) {
        Report_Errorf(s.app, "Grab_Preferred_Plasma_Screen_Dimensions(): %s does not exist", path);
        return 0;
    }
    if (!Load_Plasma_Settings(s, path)) {
        Report_Errorf(s.app, "Grab_Preferred_Plasma_Screen_Dimensions(): Load_Plasma_Settings %s FAILED", path);
        return 0;
    }
    if (!Decode_Resolution(s.app, s.Plasma_Settings.resolution, width, height, depth)) {
        Report_Error(s.app, "Grab_Preferred_Plasma_Screen_Dimensions(): Decode _Resolution FAILED");
        return 0;
    }
    grab_log.exit(s.app, "Exitting Grab_Preferred_Plasma_Screen_Dimensions");
    return 1;
}
