// Pictures shown by the X server itself. A primary surface's memory is a shared-memory segment
// the server reads in place, each picture is an X window of ours laid over the picture widget,
// and an exclusive display's mode is scaled to the monitor by the server (RENDER, nearest
// pixel). The program then copies nothing a frame: on a desktop whose X server draws with the
// graphics card the scaling is the card's work.
// Where the server lacks shared memory or RENDER, the screen is not 24-bit true colour, the
// program runs on another platform, or a picture is not 32-bit, nothing here takes part and
// the windows paint through Qt as before.
#pragma once

#include <QRect>
#include <cstddef>
#include <cstdint>

#include "platform/display/ddraw.h"

class QWidget;

namespace X_Present {

// Whether the X server can show pictures this way (asked once). MIRRAVANE_X_PRESENT=0 turns
// it off (to compare, or on a server that misbehaves).
bool Available();
// Memory for a primary surface, shared with the server; empty when that is not possible.
Pixel_Memory Shared_Memory(size_t bytes);
// Whether `primary`'s pixels can be shown from the server's side as they are.
bool Can_Show(const DDSurface& primary);

}  // namespace X_Present

// One picture widget's window of ours.
class X_Picture {
public:
    // `widget` is the picture widget; its top-level window holds ours.
    explicit X_Picture(QWidget* widget);
    ~X_Picture();
    X_Picture(const X_Picture&) = delete;
    X_Picture& operator=(const X_Picture&) = delete;

    // Shows `primary`: an exclusive display's picture scaled into the widget with its aspect
    // kept and black bars, a windowed one 1:1 from `origin` (the widget's top-left pixel in
    // the primary). Returns once the server has read the pixels. False, and nothing shown,
    // when this primary cannot be shown from the server's side; the widget then paints.
    bool Show(const DDSurface& primary, bool exclusive, const QPoint& origin);
    // Takes our window away, so that the widget's own painting is seen.
    void Hide();
    // Whether our window covers the widget now.
    bool Shown() const { return mapped_; }
    // The X window, for tests (0 while there is none).
    uint32_t Window_Id() const { return window_; }

    // A primary surface is going away: shown again by nobody.
    static void Forget(const DDSurface* primary);

private:
    bool Ensure_Window();
    void Destroy_Window();
    void Redraw();
    friend struct X_Expose_Filter;

    QWidget* widget_;
    uint32_t window_ = 0, parent_ = 0, gc_ = 0, picture_ = 0;
    QRect placed_;
    bool mapped_ = false;
    bool bars_drawn_ = false;
    // What was shown last, for an expose.
    const DDSurface* last_ = nullptr;
    bool last_exclusive_ = false;
    QPoint last_origin_;
    QSize scaled_from_, scaled_to_;
};
