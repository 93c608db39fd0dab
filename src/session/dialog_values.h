// What the settings dialogs hold while one of them is open: the values their bars show before
// OK stores them, and what Cancel puts back.
#pragma once

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
    Fade_Bar fade_bars[3] = {{1064, 1065, 0}, {1066, 1067, 0}, {1068, 1069, 0}};
    Sine_Bar sine_bars[5] = {
        {1069, 1070, 1, 256, 0}, {1071, 1072, 0, 500, 0}, {1073, 1074, 1, 100, 0}, {1075, 1076, 1, 1000, 0},
        {1081, 1082, 1, 256, 0}};
    Surface about_picture = nullptr;  // the About box's picture while it is open
    int about_width = 0, about_height = 0;
    int journey_interval = 0, journey_speed = 0;
};
