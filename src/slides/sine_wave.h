// The sine-wave background of the slides: curves made of three sines whose amplitudes
// drift at random, drawn as tent-shaped bands (16/32 bits) or single red pixels (others).
#pragma once

#include "surface/surface.h"

// One curve: three amplitudes and their drifts.
struct Wave_State {
    double a1 = 0, a2 = 0, a3 = 0;
    double d1 = 0, d2 = 0, d3 = 0;
};

extern int Sine_Reset;  // set by the dialog: the 16/32-bit variants draw fresh states

// Most passes one call draws, whatever a preset file holds.
constexpr int Max_Sine_Passes = 256;

int Sine_Wave(Surface surface, int width, int height);
int Sine_Wave_32(Surface surface, int width, int height);
int Sine_Wave_16(Surface surface, int width, int height);
int Multi_Sine_Wave_32(Surface surface, int width, int height);
int Multi_Sine_Wave_16(Surface surface, int width, int height);
