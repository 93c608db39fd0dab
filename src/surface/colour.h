// Colour-space conversions: floating HSV and the integer HLS of the slide gradients.
#pragma once

#include <cstdint>

constexpr int HLSMAX = 252;

void RGB_To_HSV(float r, float g, float b, float* h, float* s, float* v);
void HSV_To_RGB(float* r, float* g, float* b, float h, float s, float v);
uint32_t HLS_To_RGB(int hue, int lightness, int saturation);
int Hue_To_RGB(int16_t m1, int16_t m2, int hue);
