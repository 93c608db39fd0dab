// The preset record: one look of the display. Its memory image is the ".DAT" file, byte
// for byte, so the layout below is fixed to the byte (padding included).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include "session/forward.h"

struct PLASMA_SETTINGS {
    int32_t multi_colour;            // 0
    int32_t resolution;              // 4
    int32_t plasma_width;            // 8
    int32_t plasma_height;           // 12
    int32_t contrast;                // 16
    uint8_t pad_20[4];               // 20
    double speed;                    // 24
    float ripple;                    // 32
    float interference;              // 36
    float sway;                      // 40
    int32_t complexity;              // 44
    int32_t blend_mode;              // 48
    int32_t preview_active;          // 52
    int32_t symmetry;                // 56
    uint8_t colour_blue;             // 60
    uint8_t colour_green;            // 61
    uint8_t colour_red;              // 62
    uint8_t pad_63;                  // 63
    int32_t invert_colour_logic;     // 64
    int32_t scope_on;                // 68
    int32_t scope_shape;             // 72
    int32_t kaleidoscope_on;         // 76
    int32_t kaleidoscope_stretch;    // 80
    int32_t granularity;             // 84
    int32_t brighten;                // 88
    int32_t darken_red;              // 92
    int32_t darken_green;            // 96
    int32_t darken_blue;             // 100
    int32_t slides_on;               // 104
    uint8_t pad_108[4];              // 108
    double slide_speed;              // 112
    int32_t object_count[250];       // 120
    int32_t object_selected[250];    // 1120
    double object_animation_speed[250];  // 2120
    double object_speed[250];        // 4120
    int32_t background;              // 6120
    int32_t gradient_variable;       // 6124
    int32_t gradient_brightness;     // 6128
    int32_t zone_frequency;          // 6132
    int32_t zone_duration;           // 6136
    int32_t zone_multicolour;        // 6140
    int32_t reserved_6144;           // 6144
    int32_t reserved_6148;           // 6148
    int32_t reserved_6152;           // 6152
    int32_t slide_direction;         // 6156
    int32_t direction_change_frequency;  // 6160
    int32_t vsync;                   // 6164
    int32_t ignore_fps;              // 6168
    int32_t plasma_ignore_fps;       // 6172
    char title_text[2192];           // 6176
    double random_colour_interval;   // 8368
    double sine_phase_step;          // 8376
    uint8_t unused_8384[104];        // 8384
    int32_t reserved_8488;           // 8488
    int32_t fade_light;              // 8492
    int32_t fade_hue;                // 8496
    int32_t fade_saturation;         // 8500
    int32_t random_interval;         // 8504
    int32_t transition_speed;        // 8508
    int32_t titles_on;               // 8512
    int32_t sine_passes;             // 8516
    int32_t sine_variance;           // 8520
    int32_t sine_amplitude;          // 8524
    int32_t sine_clear;              // 8528
    int32_t sine_multicolour;        // 8532
    int32_t sine_band_width;         // 8536
    uint8_t unused_8540[36];         // 8540
    char custom_overlay_path[260];   // 8576
    uint8_t unused_8836[1300];       // 8836
};

static_assert(sizeof(PLASMA_SETTINGS) == 10136);
static_assert(offsetof(PLASMA_SETTINGS, resolution) == 4);
static_assert(offsetof(PLASMA_SETTINGS, contrast) == 16);
static_assert(offsetof(PLASMA_SETTINGS, speed) == 24);
static_assert(offsetof(PLASMA_SETTINGS, ripple) == 32);
static_assert(offsetof(PLASMA_SETTINGS, interference) == 36);
static_assert(offsetof(PLASMA_SETTINGS, sway) == 40);
static_assert(offsetof(PLASMA_SETTINGS, complexity) == 44);
static_assert(offsetof(PLASMA_SETTINGS, blend_mode) == 48);
static_assert(offsetof(PLASMA_SETTINGS, preview_active) == 52);
static_assert(offsetof(PLASMA_SETTINGS, symmetry) == 56);
static_assert(offsetof(PLASMA_SETTINGS, colour_blue) == 60);
static_assert(offsetof(PLASMA_SETTINGS, colour_red) == 62);
static_assert(offsetof(PLASMA_SETTINGS, invert_colour_logic) == 64);
static_assert(offsetof(PLASMA_SETTINGS, scope_on) == 68);
static_assert(offsetof(PLASMA_SETTINGS, scope_shape) == 72);
static_assert(offsetof(PLASMA_SETTINGS, kaleidoscope_on) == 76);
static_assert(offsetof(PLASMA_SETTINGS, kaleidoscope_stretch) == 80);
static_assert(offsetof(PLASMA_SETTINGS, granularity) == 84);
static_assert(offsetof(PLASMA_SETTINGS, brighten) == 88);
static_assert(offsetof(PLASMA_SETTINGS, darken_red) == 92);
static_assert(offsetof(PLASMA_SETTINGS, darken_green) == 96);
static_assert(offsetof(PLASMA_SETTINGS, darken_blue) == 100);
static_assert(offsetof(PLASMA_SETTINGS, slides_on) == 104);
static_assert(offsetof(PLASMA_SETTINGS, slide_speed) == 112);
static_assert(offsetof(PLASMA_SETTINGS, object_count) == 120);
static_assert(offsetof(PLASMA_SETTINGS, object_selected) == 1120);
static_assert(offsetof(PLASMA_SETTINGS, object_animation_speed) == 2120);
static_assert(offsetof(PLASMA_SETTINGS, object_speed) == 4120);
static_assert(offsetof(PLASMA_SETTINGS, background) == 6120);
static_assert(offsetof(PLASMA_SETTINGS, gradient_variable) == 6124);
static_assert(offsetof(PLASMA_SETTINGS, gradient_brightness) == 6128);
static_assert(offsetof(PLASMA_SETTINGS, zone_frequency) == 6132);
static_assert(offsetof(PLASMA_SETTINGS, zone_duration) == 6136);
static_assert(offsetof(PLASMA_SETTINGS, zone_multicolour) == 6140);
static_assert(offsetof(PLASMA_SETTINGS, reserved_6144) == 6144);
static_assert(offsetof(PLASMA_SETTINGS, reserved_6148) == 6148);
static_assert(offsetof(PLASMA_SETTINGS, reserved_6152) == 6152);
static_assert(offsetof(PLASMA_SETTINGS, slide_direction) == 6156);
static_assert(offsetof(PLASMA_SETTINGS, direction_change_frequency) == 6160);
static_assert(offsetof(PLASMA_SETTINGS, vsync) == 6164);
static_assert(offsetof(PLASMA_SETTINGS, ignore_fps) == 6168);
static_assert(offsetof(PLASMA_SETTINGS, plasma_ignore_fps) == 6172);
static_assert(offsetof(PLASMA_SETTINGS, title_text) == 6176);
static_assert(offsetof(PLASMA_SETTINGS, random_colour_interval) == 8368);
static_assert(offsetof(PLASMA_SETTINGS, sine_phase_step) == 8376);
static_assert(offsetof(PLASMA_SETTINGS, reserved_8488) == 8488);
static_assert(offsetof(PLASMA_SETTINGS, fade_light) == 8492);
static_assert(offsetof(PLASMA_SETTINGS, fade_hue) == 8496);
static_assert(offsetof(PLASMA_SETTINGS, fade_saturation) == 8500);
static_assert(offsetof(PLASMA_SETTINGS, random_interval) == 8504);
static_assert(offsetof(PLASMA_SETTINGS, transition_speed) == 8508);
static_assert(offsetof(PLASMA_SETTINGS, titles_on) == 8512);
static_assert(offsetof(PLASMA_SETTINGS, sine_passes) == 8516);
static_assert(offsetof(PLASMA_SETTINGS, sine_variance) == 8520);
static_assert(offsetof(PLASMA_SETTINGS, sine_amplitude) == 8524);
static_assert(offsetof(PLASMA_SETTINGS, sine_clear) == 8528);
static_assert(offsetof(PLASMA_SETTINGS, sine_multicolour) == 8532);
static_assert(offsetof(PLASMA_SETTINGS, sine_band_width) == 8536);
static_assert(offsetof(PLASMA_SETTINGS, custom_overlay_path) == 8576);
static_assert(offsetof(PLASMA_SETTINGS, unused_8836) == 8836);


int Save_Plasma_Settings_To_File(Session& s, const char* name);
// Loads a preset file into the live record. The record changes only when the file is one whole
// record; on any failure it stays exactly as it was.
int Load_Plasma_Settings(Session& s, const char* name);

// How reading a preset file ended; `size` is the file's size whenever it could be learnt.
struct Preset_Read {
    enum Outcome { Missing, Not_Regular, Unreadable, Wrong_Size, Whole } outcome = Missing;
    uint64_t size = 0;
};
// Reads a preset file into `record` when the file is exactly one record; `record` is left
// untouched otherwise.
Preset_Read Read_Preset_File(const char* name, PLASMA_SETTINGS* record);
// How the last Load_Plasma_Settings ended, and that in a sentence for the user.
const Preset_Read& Last_Preset_Read(App& app);
std::string Preset_Problem(const Preset_Read& read);
