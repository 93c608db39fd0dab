// What the settings dialogs hold while one of them is open: the values their bars show before
// OK stores them, and what Cancel puts back.
#pragma once

#include "common/control_ids.h"

#include "surface/surface.h"

struct Object_Values {
    int current = 0;
    int count = 0, animation = 0, speed = 0;
};

struct Fade_Bar {
    int bar, number;
    int value;
};

struct Sine_Bar {
    int bar, number, minimum, maximum;
    int value;
};

struct Dialog_Values {
    int working = 0;  // the bar dialog's value
    int saved_darken_red = 0, saved_darken_green = 0, saved_darken_blue = 0, saved_logic = 0;
    int granularity = 0;
    int slide_speed = 0;
    Object_Values objects;
    int brightness = 0;
    int zone_frequency_bar = 0, zone_duration_bar = 0;
    int direction_frequency = 0;
    Fade_Bar fade_bars[3] = {{IDC_FADE_LIGHT_BAR, IDC_FADE_LIGHT_NUMBER, 0},
                              {IDC_FADE_HUE_BAR, IDC_FADE_HUE_NUMBER, 0},
                              {IDC_FADE_SATURATION_BAR, IDC_FADE_SATURATION_NUMBER, 0}};
    Sine_Bar sine_bars[5] = {
        {IDC_SINE_PASSES_BAR, IDC_SINE_PASSES_NUMBER, 1, 256, 0},
        {IDC_SINE_AMPLITUDE_BAR, IDC_SINE_AMPLITUDE_NUMBER, 0, 500, 0},
        {IDC_SINE_VARIANCE_BAR, IDC_SINE_VARIANCE_NUMBER, 1, 100, 0},
        {IDC_SINE_DENSITY_BAR, IDC_SINE_DENSITY_NUMBER, 1, 1000, 0},
        {IDC_SINE_BAND_WIDTH_BAR, IDC_SINE_BAND_WIDTH_NUMBER, 1, 256, 0}};
    Surface about_picture = nullptr;  // the About box's picture while it is open
    int about_width = 0, about_height = 0;
    int journey_interval = 0, journey_speed = 0;
};
