#include "platform/qt/qt_window.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QBackingStore>
#include <QPaintEngine>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <bitset>

#ifdef MIRRAVANE_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>
#endif

#include "platform/input/dinput.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_scale.h"
#include "platform/windows/commdlg.h"

namespace {

constexpr int Settle_Milliseconds = 250;
// Style changes hide and show the window; the focus it loses meanwhile is not the user's.
constexpr int Focus_Grace_Milliseconds = 300;
// How long a lost focus waits to see where the focus went.
constexpr int Focus_Settle_Milliseconds = 50;

constexpr WPARAM MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;

std::bitset<256> keys_held;

void Release_Held_Keys() {
    for (size_t k = 0; k < keys_held.size(); ++k)
        if (keys_held[k]) Set_Key_Down(k, false);
    keys_held.reset();
}

WPARAM Mouse_Flags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

LPARAM Point_Param(const QPoint& p) {
    return MAKELPARAM(static_cast<unsigned>(static_cast<int16_t>(p.x())), static_cast<unsigned>(static_cast<int16_t>(p.y())));
}

RECT To_Rect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

QString Menu_Text(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

}  // namespace

Window_Backend::Native_State Native_Window_State(uintptr_t native, QSize* size) {
    using State = Window_Backend::Native_State;
    if (!native) return State::missing;
#ifdef MIRRAVANE_HAVE_XCB
    // Qt learns nothing about a foreign window; the X server knows whether it exists.
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (native > 0xFFFFFFFFu) return State::missing;
        xcb_connection_t* connection = x11->connection();
        const auto window = static_cast<xcb_window_t>(native);
        // Both requests go out before either answer is awaited: one round trip. Errors are
        // taken here, or Qt would print each one.
        const xcb_get_window_attributes_cookie_t attributes_asked = xcb_get_window_attributes(connection, window);
        const xcb_get_geometry_cookie_t geometry_asked = xcb_get_geometry(connection, window);
        xcb_generic_error_t* error = nullptr;
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(connection, attributes_asked, &error);
        std::free(error);
        error = nullptr;
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, geometry_asked, &error);
        std::free(error);
        const bool window_exists = attributes && geometry;
        if (window_exists && size) *size = QSize(geometry->width, geometry->height);
        std::free(attributes);
        std::free(geometry);
        return window_exists ? State::present : State::missing;
    }
#endif
    return State::unknown;
}

QSize Screen_Device_Size(QScreen* screen) {
    if (!screen) return {};
    const Pixel_Scale scale{screen->devicePixelRatio()};
#ifdef MIRRAVANE_HAVE_XCB
    // One monitor: the root window is the screen, counted in its own pixels.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
    if (connection && scale.ratio != 1.0 && QGuiApplication::screens().size() == 1) {
        const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        xcb_get_geometry_reply_t* geometry =
            root ? xcb_get_geometry_reply(connection, xcb_get_geometry(connection, root->root), nullptr) : nullptr;
        const QSize size = geometry ? QSize(geometry->width, geometry->height) : QSize();
        std::free(geometry);
        if (!size.isEmpty() && scale.Logical(size) == screen->geometry().size()) return size;
    }
#endif
    return scale.Device(screen->geometry().size());
}

Picture_State& Picture() {
    static Picture_State state;
    return state;
}

std::unordered_map<HWND, Picture_State>& Window_Pictures() {
    static std::unordered_map<HWND, Picture_State> pictures;
    return pictures;
}

Picture_State& Picture(HWND window) { return Window_Pictures()[window]; }

void Pointer_At(const QPoint& global) {
    Picture_State& state = Picture();
    if (state.pointer_known) {
        const QPoint delta = global - state.last_pointer;
        if (!delta.isNull()) Feed_Mouse_Motion(delta.x(), delta.y());
    }
    state.last_pointer = global;
    state.pointer_known = true;
}

// ---- the picture ----------------------------------------------------------------------------

Picture_Widget::Picture_Widget(Host_Window* host) : QWidget(host), host_(host) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

namespace {

// Turns `painter` to device pixels counted from the widget's top-left pixel, so that the
// picture is copied 1:1 at any scale factor. A fractional factor can place the widget
// between two pixels: its origin is rounded rather than the picture resampled.
void Paint_In_Device_Pixels(QPainter& painter) {
    const QTransform to_device = painter.deviceTransform();
    const double ratio = to_device.m11();
    if (ratio == 1.0 && to_device.m22() == 1.0) return;
    const QPointF origin = to_device.map(QPointF(0, 0));
    const QPointF shift = QPointF(std::round(origin.x()), std::round(origin.y())) - origin;
    painter.setWorldTransform(QTransform(1.0 / ratio, 0, 0, 1.0 / to_device.m22(), shift.x() / ratio, shift.y() / to_device.m22()));
}

}  // namespace

bool Picture_Widget::Show_Directly(const DDSurface& primary, bool exclusive, const QPoint& origin) {
    if (!direct_) {
        if (!X_Present::Can_Show(primary)) return false;
        direct_ = std::make_unique<X_Picture>(this);
    }
    if (!direct_->Show(primary, exclusive, origin)) return false;
    ++Picture().painted;
    return true;
}

void Picture_Widget::paintEvent(QPaintEvent* event) {
    // The X server shows the picture in our window over this one.
    if (direct_ && direct_->Shown()) return;
    QPainter painter(this);
    const Pixel_Scale scale{devicePixelRatioF()};
    Paint_In_Device_Pixels(painter);
    const QRect area(QPoint(0, 0), scale.Device(size()));
    // At a fractional factor one pixel more: the rounded origin may sit half a pixel from
    // the exact one.
    const int margin = scale.ratio == 1.0 ? 0 : 1;
    const QRect need = scale.Device_Cover(event->rect()).adjusted(-margin, -margin, margin, margin) & area;
    // A display drawing into no window of ours shows in every window.
    Picture_State* own = &Picture(host_->window());
    Picture_State& shown = own->image.isNull() ? Picture(nullptr) : *own;
    const QImage& image = shown.image;
    if (image.isNull()) {
        painter.fillRect(need, Qt::black);
        return;
    }
    ++Picture().painted;
    if (shown.exclusive) {
        const QRect target = Fit_Picture(image.size(), area);
        // Black only where the bars are, and the picture unscaled when it fits 1:1.
        for (const QRect& bar : QRegion(need) - QRegion(target)) painter.fillRect(bar, Qt::black);
        if (target.size() == image.size()) {
            painter.drawImage(target.topLeft(), image);
        } else {
            // Scaled by rows: cheaper than QPainter's per-pixel scaling, the same pixels;
            // written straight into the window's backing store when that is 32-bit memory
            // at one pixel per device pixel.
            Picture_State& state = shown;
            QBackingStore* store = backingStore();
            auto* memory = store ? dynamic_cast<QImage*>(store->paintDevice()) : nullptr;
            const QTransform to_device = painter.deviceTransform();
            const bool direct = memory && to_device.type() <= QTransform::TxTranslate && painter.paintEngine() &&
                                painter.paintEngine()->paintDevice() == memory && memory->devicePixelRatio() == 1.0;
            const QPoint offset(static_cast<int>(std::lround(to_device.dx())), static_cast<int>(std::lround(to_device.dy())));
            if (!direct || !state.scaler.Scale_Into(image, target.size(), *memory, offset + target.topLeft())) {
                state.scaler.Scale(image, target.size(), state.scaled);
                painter.drawImage(target.topLeft(), state.scaled);
            }
        }
        return;
    }
    // Windowed: the part of the desktop-sized primary under the client rectangle, 1:1.
    const QPoint origin = host_->Client_Rect().topLeft();
    const QRect wanted = need.translated(origin);
    const QRect source = wanted & image.rect();
    // Black only beyond the primary's edge: a fill under the picture would cost a pass.
    if (source != wanted)
        for (const QRect& beyond : QRegion(need) - QRegion(source.translated(-origin))) painter.fillRect(beyond, Qt::black);
    if (!source.isEmpty()) painter.drawImage(source.topLeft() - origin, image, source);
}

void Picture_Widget::keyPressEvent(QKeyEvent* event) {
    WPARAM vk = Virtual_Key_For(event->key(), event->modifiers());
    if (vk == 0) vk = 0xFF;  // a key without a code is still a key (the saver ends on it)
    if (!event->isAutoRepeat() && vk < 256) {
        keys_held.set(vk);
        Set_Key_Down(vk, true);
    }
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    if (control) {
        keys_held.set(VK_CONTROL);
        Set_Key_Down(VK_CONTROL, true);
    }
    PostMessageA(host_->window(), WM_KEYDOWN, vk, control ? 1 | KEY_CONTROL_HELD : 1);
}

void Picture_Widget::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    WPARAM vk = Virtual_Key_For(event->key(), event->modifiers());
    if (vk == 0) vk = 0xFF;
    if (vk < 256) {
        keys_held.reset(vk);
        Set_Key_Down(vk, false);
    }
    if (!(event->modifiers() & Qt::ControlModifier) && keys_held[VK_CONTROL]) {
        keys_held.reset(VK_CONTROL);  // its release went to another window
        Set_Key_Down(VK_CONTROL, false);
    }
    PostMessageA(host_->window(), WM_KEYUP, vk, 1);
}

void Picture_Widget::mousePressEvent(QMouseEvent* event) {
    UINT message = 0;
    switch (event->button()) {
    case Qt::LeftButton: message = WM_LBUTTONDOWN; break;
    case Qt::RightButton: message = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: message = WM_MBUTTONDOWN; break;
    default: return;
    }
    PostMessageA(host_->window(), message, Mouse_Flags(event->buttons(), event->modifiers()),
                 Point_Param(Pixel_Scale{devicePixelRatioF()}.Pixel(event->position())));
}

void Picture_Widget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    PostMessageA(host_->window(), WM_LBUTTONUP, Mouse_Flags(event->buttons(), event->modifiers()),
                 Point_Param(Pixel_Scale{devicePixelRatioF()}.Pixel(event->position())));
}

void Picture_Widget::mouseMoveEvent(QMouseEvent* event) {
    const Pixel_Scale scale{devicePixelRatioF()};
    Pointer_At(scale.Pixel(event->globalPosition()));
    PostMessageA(host_->window(), WM_MOUSEMOVE, Mouse_Flags(event->buttons(), event->modifiers()),
                 Point_Param(scale.Pixel(event->position())));
}

void Picture_Widget::focusOutEvent(QFocusEvent* event) {
    Release_Held_Keys();
    QWidget::focusOutEvent(event);
}

// ---- the window -------------------------------------------------------------------------------

Host_Window::Host_Window(HWND window) : QWidget(nullptr, Qt::Window), window_(window), picture_(new Picture_Widget(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusProxy(picture_);
    settle_.setSingleShot(true);
    settle_.setInterval(Settle_Milliseconds);
    connect(&settle_, &QTimer::timeout, this, [this] { PostMessageA(window_, WM_EXITSIZEMOVE, 0, 0); });
    reported_ = Client_Rect().size();
    host_watch_.setInterval(250);
    connect(&host_watch_, &QTimer::timeout, this, [this] { Follow_Host(); });
    since_apply_.start();
}

Host_Window::~Host_Window() {
    // An embedded window goes before the foreign parent object that holds it.
    if (windowHandle() && foreign_) windowHandle()->setParent(nullptr);
}

QAction* Host_Window::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QRect Host_Window::Client_Rect() const {
    const RECT& c = window_->client_on_screen;
    return QRect(c.left, c.top, c.right - c.left, c.bottom - c.top);
}

bool Host_Window::Tracks_Geometry() const {
    // Only normal windows follow the user's moves and resizes; pop-ups and embedded
    // windows keep the engine's rectangle (full screen may be a smaller display mode).
    return !(window_->style & (WS_POPUP | WS_CHILD)) && !window_->native_parent;
}

void Host_Window::Build_Menu() {
    actions_.clear();
    delete bar_;
    bar_ = nullptr;
    bar_menu_ = window_->menu;
    const bool wants_bar = bar_menu_ && Tracks_Geometry();
    if (!wants_bar) return;
    bar_ = new QMenuBar(this);
    bar_->setNativeMenuBar(false);

    // QMenuBar and QMenu share these calls but no base class that has them.
    auto fill = [this](auto& self, auto* into, const std::vector<Menu_Item>& items) -> void {
        for (const Menu_Item& item : items) {
            if (!item.items.empty()) {
                QMenu* sub = into->addMenu(Menu_Text(item.text));
                sub->setEnabled(!item.grayed);
                self(self, sub, item.items);
            } else if (item.text.empty()) {
                into->addSeparator();
            } else {
                const auto tab = item.text.find('\t');
                QAction* a = into->addAction(Menu_Text(item.text.substr(0, tab)));
                if (tab != std::string::npos)
                    a->setShortcut(QKeySequence(Menu_Text(item.text.substr(tab + 1)), QKeySequence::PortableText));
                const int id = item.id;
                actions_[id] = a;
                connect(a, &QAction::triggered, this, [this, id] {
                    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), 0), 0);
                    Refresh_Menu();  // Qt toggles a checkable action by itself; the engine decides
                });
            }
        }
    };
    fill(fill, bar_, bar_menu_->items);
    Refresh_Menu();
    bar_->show();
}

void Host_Window::Refresh_Menu() {
    if (!bar_menu_) return;
    for (auto& [id, a] : actions_) {
        const Menu_Item* item = Find_Menu_Item(bar_menu_, id);
        if (!item) continue;
        a->setCheckable(item->checked);
        a->setChecked(item->checked);
        a->setEnabled(!item->grayed);
    }
}

void Host_Window::Layout_Children() {
    int bar_height = 0;
    if (bar_) {
        bar_height = bar_->heightForWidth(width());
        if (bar_height <= 0) bar_height = bar_->sizeHint().height();
        bar_->setGeometry(0, 0, width(), bar_height);
    }
    picture_->setGeometry(0, bar_height, width(), std::max(0, height() - bar_height));
}

void Host_Window::Embed(uintptr_t native) {
    if (embedded_in_ == native) return;
    foreign_.reset(QWindow::fromWinId(static_cast<WId>(native)));
    if (!foreign_) return;
    embedded_in_ = native;
    hide();   // shown again by Apply, now inside the host
    winId();  // the native window must exist before it can be re-parented
    windowHandle()->setParent(foreign_.get());
    host_watch_.start();
}

void Host_Window::Follow_Host() {
    if (!foreign_ || host_lost_) return;
    QSize size;
    if (Native_Window_State(embedded_in_, &size) == Window_Backend::Native_State::missing) {
        // The host took our window with it: the program has nothing left to draw into.
        host_lost_ = true;
        host_watch_.stop();
        PostMessageA(window_, WM_CLOSE, 0, 0);
        return;
    }
    // The host's size is counted in device pixels.
    const QSize logical = Scale().Logical(size);
    if (size.isEmpty() || (geometry().topLeft() == QPoint(0, 0) && this->size() == logical)) return;
    setGeometry(0, 0, logical.width(), logical.height());
    // The engine's window is the host's client area, so the next frames are drawn at its size.
    window_->frame = window_->client_on_screen = RECT{0, 0, size.width(), size.height()};
    Report_Size();
}

void Host_Window::Apply() {
    applying_ = true;
    Window* w = window_;
    const bool popup = (w->style & (WS_POPUP | WS_CHILD)) != 0 || w->native_parent;

    Qt::WindowFlags flags = Qt::Window;
    if (popup) flags |= Qt::FramelessWindowHint;
    if ((w->ex_style & WS_EX_TOPMOST) && !w->native_parent) flags |= Qt::WindowStaysOnTopHint;
    if (flags != applied_flags_ && !embedded_in_) {
        setWindowFlags(flags);  // hides the window; shown again below
        applied_flags_ = flags;
    }

    setWindowTitle(QString::fromLocal8Bit(w->caption.c_str()));
    if (w->menu != bar_menu_ || (bar_ != nullptr) != (w->menu && Tracks_Geometry())) Build_Menu();

    if (popup) setMinimumSize(0, 0);
    if (w->native_parent) {
        Embed(w->native_parent);
        setGeometry(QRect(QPoint(0, 0), Scale().Logical(QSize(w->frame.right - w->frame.left, w->frame.bottom - w->frame.top))));
        Follow_Host();
    } else if (popup) {
        // A pop-up at a monitor's top-left corner is that monitor's full screen.
        const RECT& f = w->frame;
        QScreen* screen = nullptr;
        for (QScreen* each : QGuiApplication::screens())
            if (Pixel_Scale{each->devicePixelRatio()}.Device(each->geometry()).topLeft() == QPoint(f.left, f.top)) screen = each;
        if (!screen && f.left == 0 && f.top == 0) screen = QGuiApplication::primaryScreen();
        const bool covering = screen != nullptr;
        if (covering) {
            if (windowHandle()) windowHandle()->setScreen(screen);
            // Full screen covers the monitor at any display mode, panels included.
            setGeometry(screen->geometry());
            setWindowState(windowState() | Qt::WindowFullScreen);
        } else {
            setWindowState(windowState() & ~Qt::WindowFullScreen);
            setGeometry(Scale().Logical(QRect(f.left, f.top, f.right - f.left, f.bottom - f.top)));
        }
    } else {
        if (windowState() & Qt::WindowFullScreen) setWindowState(windowState() & ~Qt::WindowFullScreen);
        const Pixel_Scale scale = Scale();
        const QRect client = Wide_Enough_For_Menu(scale.Logical(Client_Rect()));
        int bar_height = 0;
        if (bar_) {
            bar_height = bar_->heightForWidth(client.width());
            if (bar_height <= 0) bar_height = bar_->sizeHint().height();
        }
        // The window procedure names the smallest frame; the client is that less the decorations.
        POINT smallest;
        SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&smallest));
        RECT decorations{};
        Adjust_Window_Rect(&decorations, w->style, w->menu != nullptr);
        const int min_width = scale.Logical(smallest.x - (decorations.right - decorations.left));
        const int min_height = scale.Logical(smallest.y - (decorations.bottom - decorations.top));
        setMinimumSize(std::max(0, min_width), std::max(0, min_height) + bar_height);
        setGeometry(client.left(), client.top() - bar_height, client.width(), client.height() + bar_height);
    }
    Layout_Children();

    // A child window waits for its host before it is shown anywhere.
    const bool placeable = !(w->style & WS_CHILD) || w->native_parent;
    const bool activates = !(w->ex_style & WS_EX_NOACTIVATE);
    setAttribute(Qt::WA_ShowWithoutActivating, !activates);
    if (w->visible && placeable && !isVisible()) {
        show();
        // The host owns the keyboard of an embedded window (xscreensaver grabs it).
        if (!embedded_in_ && activates) {
            if (popup) raise();
            activateWindow();
            picture_->setFocus();
        }
    } else if (!w->visible && isVisible()) {
        hide();
    }
    applying_ = false;
    Sync_From_Screen();
    Report_Size();  // the engine resized its own window: its procedure rebuilds on WM_SIZE
    since_apply_.restart();
}

QRect Host_Window::Wide_Enough_For_Menu(QRect client) const {
    // A narrow window would fold its menu bar into an overflow button.
    if (!bar_) return client;
    const int wanted = bar_->sizeHint().width();
    if (client.width() >= wanted) return client;
    const QScreen* screen = QGuiApplication::screenAt(client.center());
    if (!screen) screen = this->screen();
    if (!screen) return client;
    const QRect room = screen->availableGeometry();
    const int decorations = isVisible() ? frameGeometry().width() - width() : 0;
    const int width = std::min(wanted, room.width() - decorations);
    if (width <= client.width()) return client;
    // Wider on both sides, and kept on the monitor.
    int left = client.left() - (width - client.width()) / 2;
    left = std::max(room.left() + decorations / 2, std::min(left, room.left() + room.width() - decorations / 2 - width));
    return QRect(left, client.top(), width, client.height());
}

void Host_Window::Report_Size() {
    const QSize size = Client_Rect().size();
    if (size == reported_ || window_->iconic) return;
    reported_ = size;
    PostMessageA(window_, WM_SIZE, window_->maximised ? SIZE_MAXIMIZED : SIZE_RESTORED,
                 MAKELPARAM(static_cast<unsigned>(size.width()), static_cast<unsigned>(size.height())));
}

void Host_Window::Sync_From_Screen() {
    if (applying_ || !Tracks_Geometry()) return;
    Window* w = window_;
    const QPoint origin = picture_->mapToGlobal(QPoint(0, 0));
    const RECT client = To_Rect(Scale().Device(QRect(origin, picture_->size())));
    // The frame in the window layer's own measure, so that moving it keeps this client size.
    RECT frame = client;
    Adjust_Window_Rect(&frame, w->style, w->menu != nullptr);
    const RECT old = w->client_on_screen;
    w->frame = frame;
    w->maximised = isMaximized();
    if (Same(client, old)) return;
    w->client_on_screen = client;
    const bool resized = client.right - client.left != old.right - old.left || client.bottom - client.top != old.bottom - old.top;
    if (resized) {
        Report_Size();
        settle_.start();
    }
    if (client.left != old.left || client.top != old.top)
        PostMessageA(w, WM_MOVE, 0, MAKELPARAM(static_cast<unsigned>(static_cast<int16_t>(client.left)),
                                                static_cast<unsigned>(static_cast<int16_t>(client.top))));
}

void Host_Window::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout_Children();
    Sync_From_Screen();
}

void Host_Window::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    Sync_From_Screen();
}

void Host_Window::closeEvent(QCloseEvent* event) {
    // The engine decides: its window procedure destroys the window.
    event->ignore();
    PostMessageA(window_, WM_CLOSE, 0, 0);
}

void Host_Window::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool minimised = isMinimized();
    if (minimised && !window_->iconic) {
        window_->iconic = true;
        PostMessageA(window_, WM_SIZE, SIZE_MINIMIZED, 0);
        return;
    }
    window_->iconic = minimised;
    window_->maximised = isMaximized();
    Sync_From_Screen();
}

bool Host_Window::event(QEvent* event) {
    // An embedded window never had the focus to lose.
    if (event->type() == QEvent::WindowDeactivate && !applying_ && !embedded_in_ &&
        since_apply_.elapsed() > Focus_Grace_Milliseconds) {
        Release_Held_Keys();
        // The focus moving to another window of ours (a saver's window on another monitor,
        // which the window manager may activate) is not leaving the program, nor is a focus
        // that came straight back (the window manager settling the saver's windows): looked at
        // once the focus has settled.
        QTimer::singleShot(Focus_Settle_Milliseconds, this, [this] {
            const QWidget* now = QApplication::activeWindow();
            if (now && dynamic_cast<const Host_Window*>(now)) return;
            PostMessageA(window_, WM_KILLFOCUS, 0, 0);
        });
    }
    return QWidget::event(event);
}
