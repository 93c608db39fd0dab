// Conversion of the primary surface into the image that the windows paint.
#pragma once

#include <QImage>

#include "platform/display/ddraw.h"

// Makes `image` show `primary`: a 32-bit surface is shown as it is, `image` wrapping its
// pixel memory (RGB32 is the same layout, and the top byte is not part of the colour);
// other depths have `area` (clipped to the surface) converted into an RGB32 image of the
// surface's size, (re)allocated only when that size changes.
void Convert_Primary(const DDSurface& primary, const RECT& area, QImage& image);

// Whether `image` shows `primary`'s own pixel memory.
bool Wraps(const QImage& image, const DDSurface& primary);
