// The engine counts device pixels (the screen's own); Qt places widgets in logical
// coordinates. A scale factor is for the menu bar and the dialogs: the picture keeps one
// pixel per device pixel, so every size the engine sees or sets is converted here.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

struct Pixel_Scale {
    double ratio = 1.0;

    // Positions and sizes are rounded separately, as Qt places native windows, so a size
    // survives the way there and back whatever the position.
    int Device(int logical) const { return static_cast<int>(std::lround(logical * ratio)); }
    int Logical(int device) const { return static_cast<int>(std::lround(device / ratio)); }
    QSize Device(const QSize& logical) const { return {Device(logical.width()), Device(logical.height())}; }
    QSize Logical(const QSize& device) const { return {Logical(device.width()), Logical(device.height())}; }
    QRect Device(const QRect& logical) const {
        return {QPoint(Device(logical.x()), Device(logical.y())), Device(logical.size())};
    }
    QRect Logical(const QRect& device) const {
        return {QPoint(Logical(device.x()), Logical(device.y())), Logical(device.size())};
    }
    // The smallest rectangle of the other measure that covers `r` (for repainting).
    QRect Device_Cover(const QRect& r) const { return Cover(r, ratio); }
    QRect Logical_Cover(const QRect& r) const { return Cover(r, 1.0 / ratio); }
    static QRect Cover(const QRect& r, double factor) {
        if (r.isEmpty()) return {};
        const int left = static_cast<int>(std::floor(r.x() * factor)), top = static_cast<int>(std::floor(r.y() * factor));
        const int right = static_cast<int>(std::ceil((r.x() + r.width()) * factor));
        const int bottom = static_cast<int>(std::ceil((r.y() + r.height()) * factor));
        return {left, top, right - left, bottom - top};
    }
    // The device pixel under a logical point (a pointer position is fractional there).
    QPoint Pixel(const QPointF& logical) const {
        return {static_cast<int>(std::floor(logical.x() * ratio)), static_cast<int>(std::floor(logical.y() * ratio))};
    }
};

