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
#include "session/run_mode.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "text/title.h"
#include "session/session.h"


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
float Stored_Value(Session& s, Plasma_Parameter parameter) {
    using enum Plasma_Parameter;
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    switch (parameter) {
    case Multi_Colour: return static_cast<float>(p.multi_colour);
    case Plasma_Width: return static_cast<float>(p.plasma_width);
    case Plasma_Height: return static_cast<float>(p.plasma_height);
    case Contrast: return static_cast<float>(p.contrast);
    case Speed: return static_cast<float>(p.speed);
    case Ripple: return p.ripple;
    case Interference: return p.interference;
    case Sway: return p.sway;
    case Complexity: return static_cast<float>(p.complexity);
    case Preview_Active: return static_cast<float>(p.preview_active);
    case Symmetry: return static_cast<float>(p.symmetry);
    case Colour_Blue: return static_cast<float>(p.colour_blue);
    case Colour_Green: return static_cast<float>(p.colour_green);
    case Colour_Red: return static_cast<float>(p.colour_red);
    case Invert_Colour_Logic: return static_cast<float>(p.invert_colour_logic);
    case Scope_On: return static_cast<float>(p.scope_on);
    case Scope_Shape: return static_cast<float>(p.scope_shape);
    case Kaleidoscope_On:
    case Kaleidoscope_On_Alias: return static_cast<float>(p.kaleidoscope_on);
    case Brighten: return static_cast<float>(p.brighten);
    case Darken_Red: return static_cast<float>(p.darken_red);
    case Darken_Green: return static_cast<float>(p.darken_green);
    case Darken_Blue: return static_cast<float>(p.darken_blue);
    case Granularity: return static_cast<float>(p.granularity);
    case Slides_On: return static_cast<float>(p.slides_on);
    case Slide_Speed: return static_cast<float>(p.slide_speed);
    case Background: return static_cast<float>(p.background);
    case Gradient_Variable: return static_cast<float>(p.gradient_variable);
    case Gradient_Brightness: return static_cast<float>(p.gradient_brightness);
    case Resolution: return static_cast<float>(p.resolution);
    case Zone_Frequency: return static_cast<float>(p.zone_frequency);
    case Zone_Duration: return static_cast<float>(p.zone_duration);
    case Zone_Multicolour: return static_cast<float>(p.zone_multicolour);
    case Reserved_6144: return static_cast<float>(p.reserved_6144);
    case Reserved_6148: return static_cast<float>(p.reserved_6148);
    case Reserved_6152: return static_cast<float>(p.reserved_6152);
    case Blend_Mode: return static_cast<float>(p.blend_mode);
    case Slide_Direction: return static_cast<float>(p.slide_direction);
    case Direction_Change_Frequency: return static_cast<float>(p.direction_change_frequency);
    default: return 0.0f;
    }
}

// Stores one field with its clamping; parameters without a field store nothing.
void Store_Parameter(Session& s, Plasma_Parameter parameter, float value) {
    using enum Plasma_Parameter;
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    const int v = Truncate(value);
    switch (parameter) {
    case Multi_Colour: p.multi_colour = v >= 1 ? 1 : 0; break;
    case Plasma_Width: {
        const int divisor = (p.symmetry == 1 || p.symmetry == 2) ? 2 : (p.symmetry == 3 ? 4 : 1);
        p.plasma_width = Tile_Size(v, divisor, s.display.Screen_Width);
        s.plasma.First_Plasma.width = p.plasma_width;
        break;
    }
    case Plasma_Height: {
        const int divisor = p.symmetry == 2 ? 2 : (p.symmetry == 3 ? 4 : 1);
        p.plasma_height = Tile_Size(v, divisor, s.display.Screen_Height);
        s.plasma.First_Plasma.height = p.plasma_height;
        break;
    }
    case Contrast: p.contrast = v < 1 ? 1 : (v > 60 ? 60 : v); break;
    case Speed: {
        const double speed = value;
        // NaN would make the phase step meaningless: it takes the lower bound.
        p.speed = !(speed >= 1.0) ? 1.0 : (speed > 499.0 ? 499.0 : speed);
        break;
    }
    case Ripple: p.ripple = value; break;
    case Interference: p.interference = value; break;
    case Sway: p.sway = value; break;
    case Complexity: p.complexity = v; break;
    case Preview_Active: p.preview_active = v; break;
    case Symmetry: p.symmetry = v; break;
    case Colour_Blue: p.colour_blue = static_cast<uint8_t>(v & 0xFF); break;
    case Colour_Green: p.colour_green = static_cast<uint8_t>(v & 0xFF); break;
    case Colour_Red: p.colour_red = static_cast<uint8_t>(v & 0xFF); break;
    case Invert_Colour_Logic: p.invert_colour_logic = v; break;
    case Scope_On: p.scope_on = v; break;
    case Scope_Shape: p.scope_shape = (v < 0 || v > 4) ? 0 : v; break;
    case Kaleidoscope_On:
    case Kaleidoscope_On_Alias: p.kaleidoscope_on = v; break;
    case Brighten: p.brighten = v; break;
    case Darken_Red: p.darken_red = v; break;
    case Darken_Green: p.darken_green = v; break;
    case Darken_Blue: p.darken_blue = v; break;
    case Granularity: p.granularity = v; break;
    case Slides_On: p.slides_on = v; break;
    case Slide_Speed: p.slide_speed = value; break;
    case Background: p.background = v; break;
    case Gradient_Variable: p.gradient_variable = v; break;
    case Gradient_Brightness: p.gradient_brightness = v; break;
    case Resolution: p.resolution = v; break;
    case Zone_Frequency: p.zone_frequency = v; break;
    case Zone_Duration: p.zone_duration = v; break;
    case Zone_Multicolour: p.zone_multicolour = v; break;
    case Reserved_6144: p.reserved_6144 = v; break;
    case Reserved_6148: p.reserved_6148 = v; break;
    case Reserved_6152: p.reserved_6152 = v; break;
    case Blend_Mode: p.blend_mode = v; break;
    case Slide_Direction: p.slide_direction = v; break;
    case Direction_Change_Frequency: p.direction_change_frequency = v; break;
    default: break;  // 9, 27, 28 and unknown numbers
    }
}

const Once_Log refresh_log, read_log, load_default_log, display_default_log, grab_log;

// default.dat as found by the last look at it, when it was there but could not be read: the
// user's file, never to be replaced by the record shown in its place. Empty otherwise.
// Whether default.dat holds the backup record, so that restoring may read it back.

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
    // One byte short of the prefix, so that the separator always fits behind it.
    char directory[sizeof app.Windows_Directory_Prefix - 1] = "";
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

int Modify_Plasma(Session& s, Plasma_Parameter parameter, float value, int reinitialise) {
    using enum Plasma_Parameter;
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    if (s.app.Saver_Mode == PREVIEW && p.preview_active == 0) return 1;

    Store_Parameter(s, parameter, value);

    switch (parameter) {
    case Scope_On: {
        const int wanted = p.scope_on;  // the shutdown clears the field
        Shutdown_Scope(s);
        if (wanted != 0) {
            if (p.scope_shape < 0 || p.scope_shape > 4) p.scope_shape = 0;
            if (!Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, p.scope_shape)) {
                Report_Error(s.app, "Modify_Plasma(): Setup_Scope FAILED");
                p.scope_on = 0;
                return 0;
            }
        }
        break;
    }
    case Kaleidoscope_On:
    case Kaleidoscope_On_Alias:
        Shutdown_Kaleidoscope(s);
        if (p.kaleidoscope_on != 0 && !Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height)) {
            Report_Error(s.app, "Modify_Plasma(): Setup_Kaleidoscope FAILED");
            p.kaleidoscope_on = 0;
        }
        break;
    case Slides_On:
        if (p.slides_on == 1) {
            Modify_Plasma(s, Kaleidoscope_On_Alias, 1.0f, 1);
            Free_Colour_Slides(s);
            if (!Setup_Colour_Slides(s, p.plasma_width, p.plasma_height, p.slide_speed)) {
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
    PLASMA_SETTINGS& p = s.Plasma_Settings;
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
    using enum Plasma_Parameter;
    static const Plasma_Parameter rest[] = {
        Contrast, Speed, Ripple, Interference, Sway, Complexity, Preview_Active, Colour_Blue,
        Colour_Green, Colour_Red, Invert_Colour_Logic, Kaleidoscope_On, Brighten, Darken_Red,
        Darken_Green, Darken_Blue, Granularity, Slide_Speed, Background, Gradient_Variable,
        Gradient_Brightness, Resolution, Zone_Frequency, Zone_Duration, Zone_Multicolour,
        Reserved_6144, Reserved_6148, Reserved_6152, Blend_Mode, Slide_Direction,
        Direction_Change_Frequency, Scope_Shape, Scope_On};
    Modify_Plasma(s, Multi_Colour, Stored_Value(s, Multi_Colour), 0);
    Modify_Plasma(s, Plasma_Width, static_cast<float>(s.display.Client_Width), 0);
    Modify_Plasma(s, Plasma_Height, static_cast<float>(s.display.Client_Height), 0);
    for (Plasma_Parameter parameter : rest) Modify_Plasma(s, parameter, Stored_Value(s, parameter), 0);

    s.display.Wait_For_Vsync = p.vsync != 0 ? 1 : 0;
    if (s.journey.Running_Random_Interval == 0) s.journey.Running_Random_Interval = p.random_interval;
    if (s.journey.Running_Transition_Speed == 0) s.journey.Running_Transition_Speed = p.transition_speed;

    Modify_Plasma(s, Symmetry, static_cast<float>(p.symmetry), 1);
    Modify_Plasma(s, Slides_On, static_cast<float>(p.slides_on), 0);

    Copy_Plasma_Dialog_Values(s);
    s.link->settings_changed(s);

    // A preset file may hold a title without a terminator; it must not be read past its field.
    p.title_text[sizeof p.title_text - 1] = '\0';
    if (p.title_text[0] == '\0') std::strcpy(p.title_text, "default");
    if (!Setup_Title(s, p.title_text, 9)) {
        Report_Error(s.app, "Refresh_Plasma(): Setup_Title FAILED");
        return 0;
    }
    s.link->title_changed(s, p.title_text);

    refresh_log.exit(s.app, "Exitting Refresh_Plasma");
    return 1;
}

int Default_Plasma_Settings(Session& s) {
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    std::memset(&p, 0, sizeof p);
    p.multi_colour = 1;
    p.resolution = Default_Resolution;
    p.plasma_width = 128;
    p.plasma_height = 128;
    p.contrast = s.display.Screen_Bpp >= 24 ? 4 : 3;
    p.speed = 35.0;
    p.ripple = 5.4f;
    p.interference = 9.5f;
    p.sway = 1.6f;
    p.complexity = 50;
    p.blend_mode = 0;
    p.preview_active = 1;
    p.symmetry = 0;
    p.colour_blue = 127;
    p.colour_green = 127;
    p.colour_red = 127;
    p.invert_colour_logic = 1;
    p.granularity = ((s.display.Screen_Height / 32) * 16 / 4) * 2;
    p.brighten = 1;
    p.slide_speed = 10.0;
    p.background = 2;
    p.gradient_variable = 1;
    p.gradient_brightness = 200;
    p.zone_frequency = 25;
    p.zone_duration = 6;
    p.zone_multicolour = 1;
    p.reserved_6148 = 7;
    p.reserved_6152 = 100;
    p.slide_direction = 3;
    p.direction_change_frequency = 1000;
    p.vsync = 1;
    p.ignore_fps = 1;
    const int loaded = s.app.Objects_Loaded < 0 ? 0 : (s.app.Objects_Loaded > 250 ? 250 : s.app.Objects_Loaded);
    for (int t = 0; t < loaded; ++t) {
        p.object_count[t] = 1;
        p.object_selected[t] = 1;
        p.object_animation_speed[t] = 0.0;
        p.object_speed[t] = 0.0;
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
