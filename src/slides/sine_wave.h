// The sine-wave background of the slides: curves made of three sines whose amplitudes
// drift at random, drawn as tent-shaped bands (16/32 bits) or single red pixels (others).
#pragma once

#include <cstdint>
#include "session/forward.h"

#include "surface/surface.h"

// One curve: three amplitudes and their drifts.
struct Wave_State {
    double a1 = 0, a2 = 0, a3 = 0;
    double d1 = 0, d2 = 0, d3 = 0;
};

// The curves of one drawing variant and where they have got to.
struct Sine_Variant {
    Wave_State curves[3];
    double phase = 0.0;
    bool filled = false;
};

// The single curve drawn at depths without bands.
struct Fallback_Variant {
    Wave_State curve;
    double phase = 0.0;
    bool filled = false;
    int bound = 0;
    double step = 0.0;
};


// Most passes one call draws, whatever a preset file holds.
constexpr int Max_Sine_Passes = 256;

int Sine_Wave(Session& s, Surface surface, int width, int height);
int Sine_Wave_32(Session& s, Surface surface, int width, int height);
int Sine_Wave_16(Session& s, Surface surface, int width, int height);
int Multi_Sine_Wave_32(Session& s, Surface surface, int width, int height);
int Multi_Sine_Wave_16(Session& s, Surface surface, int width, int height);
// One 32-bit band of a curve whose top row is y (channel 0 red, 1 green, 2 blue).
void Paint_Sine_Band_32(uint32_t* pixels, int row_step, int x, int y, int band_width, int height, int channel);
