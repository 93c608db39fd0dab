// One top-level Qt window per engine window: the picture, the menu bar built from the
// engine's menu, and the events that become messages on the engine's queue.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <unordered_map>

#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_scale.h"
#include "platform/qt/x_present.h"
#include "platform/windows/windows.h"

class QMenuBar;
class QAction;
class QWindow;
class QScreen;
class Host_Window;

// What the windows show: the primary surface converted, and whether the display is
// exclusive (the picture is then scaled to the window with black bars).
struct Picture_State {
    QImage image;
    bool exclusive = false;
    Picture_Scaler scaler;  // an exclusive display's mode scaled to the monitor
    QImage scaled;
    QPoint last_pointer;
    bool pointer_known = false;
    // Frames the engine presented and pictures painted, for MIRRAVANE_FRAME_STATS.
    uint64_t presented = 0;
    uint64_t painted = 0;
};
// The pointer and the counts.
Picture_State& Picture();
// What one window shows: the primary of the display drawing into it (a saver on several
// monitors has one display per window).
Picture_State& Picture(HWND window);
std::unordered_map<HWND, Picture_State>& Window_Pictures();
// Takes pointer motion seen anywhere on the desktop (over a window or not).
void Pointer_At(const QPoint& global);

// Whether a window of another program (an embedded window's host) exists, and its client
// size when it does.
Window_Backend::Native_State Native_Window_State(uintptr_t native, QSize* size);

// The screen's size in device pixels. Qt rounds a fractional factor's logical size, which
// then no longer tells the exact number of pixels; X11 knows it.
QSize Screen_Device_Size(QScreen* screen);

class Picture_Widget final : public QWidget {
public:
    explicit Picture_Widget(Host_Window* host);

    // Shows `primary` through the X server when it can (see x_present.h); false when the
    // widget has to paint it. `origin` is the widget's top-left pixel in a windowed primary.
    bool Show_Directly(const DDSurface& primary, bool exclusive, const QPoint& origin);

    // Also called by the window when nothing inside it has the keyboard focus.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Host_Window* host_;
    std::unique_ptr<X_Picture> direct_;
};

class Host_Window final : public QWidget {
public:
    explicit Host_Window(HWND window);
    ~Host_Window() override;

    HWND window() const { return window_; }
    Picture_Widget* picture() const { return picture_; }
    QMenuBar* menu_bar() const { return bar_; }
    QAction* action(int id) const;
    HMENU menu() const { return bar_menu_; }

    // Takes style, caption, menu, geometry and visibility from the engine's window.
    void Apply();
    // Check marks and grey states from the engine's menu.
    void Refresh_Menu();
    // The area the picture occupies in the engine's screen coordinates.
    QRect Client_Rect() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override { picture_->keyPressEvent(event); }
    void keyReleaseEvent(QKeyEvent* event) override { picture_->keyReleaseEvent(event); }
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Build_Menu();
    void Layout_Children();
    void Embed(uintptr_t native);
    void Follow_Host();
    void Sync_From_Screen();
    bool Tracks_Geometry() const;
    void Report_Size();
    Pixel_Scale Scale() const { return {devicePixelRatioF()}; }
    // `client` (logical) widened, when the menu bar needs it, within the monitor.
    QRect Wide_Enough_For_Menu(QRect client) const;

    HWND window_;
    Picture_Widget* picture_;
    QMenuBar* bar_ = nullptr;
    HMENU bar_menu_ = nullptr;
    std::unordered_map<int, QAction*> actions_;
    QTimer settle_;            // a resize ends when none follows for a while
    QTimer host_watch_;        // the host of an embedded window sends us no events
    QElapsedTimer since_apply_;
    bool applying_ = false;
    QSize reported_;  // the client size the window procedure last heard of
    Qt::WindowFlags applied_flags_ = Qt::Window;  // Qt adds hints of its own to windowFlags()
    std::unique_ptr<QWindow> foreign_;
    uintptr_t embedded_in_ = 0;
    bool host_lost_ = false;
};
