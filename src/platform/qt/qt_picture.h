// Conversion of the primary surface into the image that the windows paint.
#pragma once

#include <QImage>
#include <vector>

#include "platform/display/ddraw.h"

// Makes `image` show `primary`: a 32-bit surface is shown as it is, `image` wrapping its
// pixel memory (RGB32 is the same layout, and the top byte is not part of the colour);
// other depths have `area` (clipped to the surface) converted into an RGB32 image of the
// surface's size, (re)allocated only when that size changes.
void Convert_Primary(const DDSurface& primary, const RECT& area, QImage& image);

// Where `picture` goes when scaled into `area` with its aspect kept, centred (the bars around
// it are black); empty when either is.
QRect Fit_Picture(const QSize& picture, const QRect& area);

// Whether `image` shows `primary`'s own pixel memory.
bool Wraps(const QImage& image, const DDSurface& primary);

// Nearest-neighbour scaling that picks the same source pixels as QPainter's scaled
// drawImage (the maps are learnt from QPainter itself, once per size), at the cost of one
// lookup per pixel of each new row and a row copy for each repeated one.
class Picture_Scaler {
public:
    // `out` becomes `in` scaled to `size`; `out` is reallocated only when the size changes.
    void Scale(const QImage& in, const QSize& size, QImage& out);
    // Writes `in` scaled to `size` straight into `out` (32 bits a pixel, written opaque)
    // with its top-left pixel at `at`; false, and nothing written, when it does not fit.
    bool Scale_Into(const QImage& in, const QSize& size, QImage& out, const QPoint& at);

private:
    void Learn(const QSize& from, const QSize& to);
    QSize from_, to_;
    std::vector<int> columns_, rows_;
};
