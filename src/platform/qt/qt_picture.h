// Conversion of the primary surface into the image that the windows paint.
#pragma once

#include <QImage>

#include "platform/display/ddraw.h"

// Converts `area` (clipped to the surface) of `primary` into `image`, which is
// (re)allocated as RGB32 only when its size differs from the surface's.
void Convert_Primary(const DDSurface& primary, const RECT& area, QImage& image);
