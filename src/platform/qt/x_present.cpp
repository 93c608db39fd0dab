#include "platform/qt/x_present.h"

#include <QWidget>
#include <QWindow>

#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_scale.h"

#ifdef MIRRAVANE_HAVE_X_PRESENT

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QRegion>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unordered_map>
#include <vector>
#include <xcb/render.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {

struct Server {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_visualid_t visual = 0;
    uint32_t black = 0;
    xcb_render_pictformat_t format = 0;
    bool shared_pixmaps = false;
    bool ok = false;
};

// A primary surface's segment, and the server's picture of it for scaling.
struct Segment {
    xcb_shm_seg_t seg = 0;
    size_t size = 0;
    xcb_pixmap_t pixmap = 0;
    bool shared_pixmap = false;  // the pixmap is the segment itself; else pixels are put in
    xcb_render_picture_t picture = 0;
    int pixmap_width = 0, pixmap_height = 0;
};

// The application whose server was asked; null once it is gone, and the connection with it
// (segments and windows die with the connection; nothing is sent after it).
QPointer<QCoreApplication> asked_for;
std::unordered_map<const uint8_t*, Segment> segments;
std::vector<X_Picture*> pictures;

// A request whose error is expected (a resource the server already let go with its window):
// the error is dropped instead of reported by Qt.
void Quietly(xcb_connection_t* c, xcb_void_cookie_t cookie) { xcb_discard_reply(c, cookie.sequence); }

// Waits until the server has handled every request sent so far (it has then read the pixels).
void Round_Trip(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

const xcb_query_extension_reply_t* Extension(xcb_connection_t* c, xcb_extension_t* id) {
    const xcb_query_extension_reply_t* reply = xcb_get_extension_data(c, id);
    return reply && reply->present ? reply : nullptr;
}

// The RENDER format of the root visual.
xcb_render_pictformat_t Visual_Format(xcb_connection_t* c, xcb_visualid_t visual) {
    xcb_render_query_pict_formats_reply_t* formats =
        xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr);
    if (!formats) return 0;
    xcb_render_pictformat_t found = 0;
    for (auto screens = xcb_render_query_pict_formats_screens_iterator(formats); screens.rem && !found;
         xcb_render_pictscreen_next(&screens))
        for (auto depths = xcb_render_pictscreen_depths_iterator(screens.data); depths.rem && !found;
             xcb_render_pictdepth_next(&depths))
            for (auto visuals = xcb_render_pictdepth_visuals_iterator(depths.data); visuals.rem;
                 xcb_render_pictvisual_next(&visuals))
                if (visuals.data->visual == visual) {
                    found = visuals.data->format;
                    break;
                }
    std::free(formats);
    return found;
}

// Whether the server takes a segment of ours (not so across a network).
bool Shared_Memory_Works(xcb_connection_t* c) {
    const int id = shmget(IPC_PRIVATE, 4096, IPC_CREAT | 0600);
    if (id < 0) return false;
    void* at = shmat(id, nullptr, SHM_RDONLY);
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_checked(c, seg, static_cast<uint32_t>(id), 1));
    shmctl(id, IPC_RMID, nullptr);
    const bool works = !error;
    std::free(error);
    if (works) xcb_shm_detach(c, seg);
    if (at != reinterpret_cast<void*>(-1)) shmdt(at);
    return works;
}

Server Probe() {
    Server s;
    const char* wanted = std::getenv("MIRRAVANE_X_PRESENT");
    if (wanted && std::strcmp(wanted, "0") == 0) return s;
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return s;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || xcb_connection_has_error(c)) return s;
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return s;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (!screen || screen->root_depth != 24) return s;
    // The root visual must be 8-bit red, green and blue as a 32-bit surface holds them.
    bool true_colour = false;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        if (depths.data->depth != 24) continue;
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
            const xcb_visualtype_t* v = visuals.data;
            if (v->visual_id == screen->root_visual)
                true_colour = v->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v->red_mask == 0xFF0000 &&
                              v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
        }
    }
    bool four_bytes = false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
        if (formats.data->depth == 24) four_bytes = formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    if (!true_colour || !four_bytes || !Extension(c, &xcb_shm_id) || !Extension(c, &xcb_render_id)) return s;
    xcb_shm_query_version_reply_t* shm = xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
    if (!shm) return s;
    s.shared_pixmaps = shm->shared_pixmaps && shm->pixmap_format == XCB_IMAGE_FORMAT_Z_PIXMAP;
    std::free(shm);
    xcb_render_query_version_reply_t* render =
        xcb_render_query_version_reply(c, xcb_render_query_version(c, 0, 11), nullptr);
    const bool transforms = render && (render->major_version > 0 || render->minor_version >= 6);
    std::free(render);
    if (!transforms) return s;
    s.format = Visual_Format(c, screen->root_visual);
    if (!s.format || !Shared_Memory_Works(c)) return s;
    s.c = c;
    s.root = screen->root;
    s.visual = screen->root_visual;
    s.black = screen->black_pixel;
    s.ok = true;
    return s;
}

// Expose events of our windows: the picture is shown again at once (the engine may not
// present for a while, a dialog being open).
struct Expose_Filter final : QAbstractNativeEventFilter {
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override;
};

// The server of the running application, asked once per application (tests make several).
Server& The_Server() {
    static Server server;
    QCoreApplication* application = QCoreApplication::instance();
    if (application && asked_for.data() != application) {
        asked_for = application;
        server = Probe();
        static Expose_Filter filter;
        if (server.ok) application->installNativeEventFilter(&filter);
    }
    return server;
}

xcb_connection_t* Connection() {
    if (!qGuiApp) return nullptr;
    Server& s = The_Server();
    return s.ok && !asked_for.isNull() ? s.c : nullptr;
}

Segment* Segment_Of(const DDSurface& primary);

// The segment of a primary whose pixels the server can show as they are, or nullptr.
Segment* Showable_Segment(const DDSurface& primary) {
    const bool plain = primary.pixel_format().kind == Pixel_Kind::Rgb32 && primary.pitch() % 4 == 0 &&
                       primary.width() > 0 && primary.height() > 0 && primary.width() <= 32767 &&
                       primary.height() <= 32767;
    return plain ? Segment_Of(primary) : nullptr;
}

Segment* Segment_Of(const DDSurface& primary) {
    auto it = segments.find(primary.bits());
    if (it == segments.end()) return nullptr;
    const size_t needed = static_cast<size_t>(primary.pitch()) * static_cast<size_t>(primary.height());
    return it->second.size >= needed ? &it->second : nullptr;
}

void Release_Segment(uint8_t* data, size_t) {
    auto it = segments.find(data);
    if (it != segments.end()) {
        if (xcb_connection_t* c = Connection()) {
            if (it->second.picture) xcb_render_free_picture(c, it->second.picture);
            if (it->second.pixmap) xcb_free_pixmap(c, it->second.pixmap);
            xcb_shm_detach(c, it->second.seg);
            // Detached before the memory goes, so the server never reads freed pages.
            Round_Trip(c);
        }
        segments.erase(it);
    }
    shmdt(data);
}

// The server's picture of a segment at the primary's size (a pixmap on the segment itself
// where the server has shared pixmaps, else a pixmap the pixels are put into).
xcb_render_picture_t Source_Picture(xcb_connection_t* c, Segment& seg, const DDSurface& primary, xcb_gcontext_t gc) {
    const Server& s = The_Server();
    const int width = primary.pitch() / 4, height = primary.height();
    if (seg.picture && (seg.pixmap_width != width || seg.pixmap_height != height)) {
        xcb_render_free_picture(c, seg.picture);
        xcb_free_pixmap(c, seg.pixmap);
        seg.picture = seg.pixmap = 0;
    }
    if (!seg.picture) {
        seg.pixmap = xcb_generate_id(c);
        seg.shared_pixmap = false;
        if (s.shared_pixmaps) {
            xcb_generic_error_t* error = xcb_request_check(
                c, xcb_shm_create_pixmap_checked(c, seg.pixmap, s.root, static_cast<uint16_t>(width),
                                                 static_cast<uint16_t>(height), 24, seg.seg, 0));
            seg.shared_pixmap = !error;
            std::free(error);
        }
        if (!seg.shared_pixmap)
            xcb_create_pixmap(c, 24, seg.pixmap, s.root, static_cast<uint16_t>(width), static_cast<uint16_t>(height));
        seg.picture = xcb_generate_id(c);
        xcb_render_create_picture(c, seg.picture, seg.pixmap, s.format, 0, nullptr);
        static const char nearest[] = "nearest";
        xcb_render_set_picture_filter(c, seg.picture, sizeof nearest - 1, nearest, 0, nullptr);
        seg.pixmap_width = width;
        seg.pixmap_height = height;
    }
    if (!seg.shared_pixmap)
        xcb_shm_put_image(c, seg.pixmap, gc, static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0, 0,
                          static_cast<uint16_t>(primary.width()), static_cast<uint16_t>(height), 0, 0, 24,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg.seg, 0);
    return seg.picture;
}

xcb_render_fixed_t Fixed(double v) { return static_cast<xcb_render_fixed_t>(std::lround(v * 65536.0)); }

// The source step per destination pixel, cut to 16.16 as Qt's own nearest-pixel scaling cuts it.
xcb_render_fixed_t Step(int from, int to) {
    return static_cast<xcb_render_fixed_t>((static_cast<int64_t>(from) << 16) / to);
}

}  // namespace

struct X_Expose_Filter {
    static void Exposed(xcb_window_t window) {
        for (X_Picture* p : pictures)
            if (p->window_ == window) p->Redraw();
    }
};

bool Expose_Filter::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t" || !message) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) == XCB_EXPOSE) {
        const auto* expose = static_cast<const xcb_expose_event_t*>(message);
        if (expose->count == 0) X_Expose_Filter::Exposed(expose->window);
    }
    return false;
}

namespace X_Present {

bool Available() { return Connection() != nullptr; }

Pixel_Memory Shared_Memory(size_t bytes) {
    xcb_connection_t* c = Connection();
    if (!c || bytes == 0) return {};
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return {};
    void* at = shmat(id, nullptr, 0);
    if (at == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return {};
    }
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    // Writable for the server: it refuses a pixmap on a read-only segment (it never draws
    // into ours).
    xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_checked(c, seg, static_cast<uint32_t>(id), 0));
    // Marked for removal at once: the segment goes when both sides have let go, even if the
    // program is killed.
    shmctl(id, IPC_RMID, nullptr);
    if (error) {
        std::free(error);
        shmdt(at);
        return {};
    }
    auto* data = static_cast<uint8_t*>(at);
    segments[data] = Segment{seg, bytes};
    return Pixel_Memory(data, bytes, Release_Segment);
}

bool Can_Show(const DDSurface& primary) { return Available() && Showable_Segment(primary); }

}  // namespace X_Present

X_Picture::X_Picture(QWidget* widget) : widget_(widget) { pictures.push_back(this); }

X_Picture::~X_Picture() {
    pictures.erase(std::remove(pictures.begin(), pictures.end(), this), pictures.end());
    Destroy_Window();
}

void X_Picture::Forget(const DDSurface* primary) {
    for (X_Picture* p : pictures)
        if (p->last_ == primary) p->last_ = nullptr;
}

void X_Picture::Destroy_Window() {
    xcb_connection_t* c = Connection();
    if (c && window_) {
        // Gone already when our parent went: then only the graphics context is left.
        Quietly(c, xcb_render_free_picture_checked(c, picture_));
        Quietly(c, xcb_destroy_window_checked(c, window_));
        xcb_free_gc(c, gc_);
        xcb_flush(c);
    }
    window_ = parent_ = gc_ = picture_ = 0;
    mapped_ = false;
    placed_ = QRect();
}

bool X_Picture::Ensure_Window() {
    xcb_connection_t* c = Connection();
    // The window's native window as it is now: Qt makes a new one when the window's kind
    // changes (full screen has no frame), and the widget's own id may still name the old one.
    QWidget* top = widget_->window();
    QWindow* handle = top ? top->windowHandle() : nullptr;
    const auto parent = static_cast<xcb_window_t>(handle && handle->handle() ? handle->winId() : 0);
    if (!c || !parent) return false;
    const Pixel_Scale scale{widget_->devicePixelRatioF()};
    const QRect place = scale.Device(QRect(widget_->mapTo(top, QPoint(0, 0)), widget_->size()));
    if (place.isEmpty()) return false;
    if (parent != parent_) {
        // Qt makes a new native window when a window's kind changes; ours went with the old one.
        Destroy_Window();
        const Server& s = The_Server();
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, parent), nullptr);
        const bool same_visual = attributes && attributes->visual == s.visual;
        std::free(attributes);
        if (!same_visual) return false;
        window_ = xcb_generate_id(c);
        const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, XCB_EVENT_MASK_EXPOSURE};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, parent, static_cast<int16_t>(place.x()),
                          static_cast<int16_t>(place.y()), static_cast<uint16_t>(place.width()),
                          static_cast<uint16_t>(place.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values);
        gc_ = xcb_generate_id(c);
        const uint32_t gc_values[] = {s.black, 0};
        xcb_create_gc(c, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, gc_values);
        picture_ = xcb_generate_id(c);
        xcb_render_create_picture(c, picture_, window_, s.format, 0, nullptr);
        parent_ = parent;
        placed_ = place;
        bars_drawn_ = false;
    }
    if (place != placed_) {
        const uint32_t values[] = {static_cast<uint32_t>(place.x()), static_cast<uint32_t>(place.y()),
                                   static_cast<uint32_t>(place.width()), static_cast<uint32_t>(place.height())};
        xcb_configure_window(c, window_,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                             values);
        placed_ = place;
        bars_drawn_ = false;
    }
    if (!mapped_) {
        xcb_map_window(c, window_);
        mapped_ = true;
        bars_drawn_ = false;
    }
    return true;
}

void X_Picture::Hide() {
    xcb_connection_t* c = Connection();
    if (c && window_ && mapped_) {
        xcb_unmap_window(c, window_);
        xcb_flush(c);
    }
    mapped_ = false;
}

bool X_Picture::Show(const DDSurface& primary, bool exclusive, const QPoint& origin) {
    xcb_connection_t* c = Connection();
    Segment* seg = c ? Showable_Segment(primary) : nullptr;
    if (!seg || !Ensure_Window()) {
        Hide();
        return false;
    }
    const QRect area(QPoint(0, 0), placed_.size());
    const QSize size(primary.width(), primary.height());
    const auto total_width = static_cast<uint16_t>(primary.pitch() / 4);
    const auto total_height = static_cast<uint16_t>(primary.height());
    std::vector<xcb_rectangle_t> black;
    auto blacken = [&black](const QRegion& region) {
        for (const QRect& r : region)
            black.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()), static_cast<uint16_t>(r.width()),
                             static_cast<uint16_t>(r.height())});
    };
    if (exclusive) {
        const QRect target = Fit_Picture(size, area);
        if (!bars_drawn_) blacken(QRegion(area) - QRegion(target));
        if (!black.empty()) xcb_poly_fill_rectangle(c, window_, gc_, static_cast<uint32_t>(black.size()), black.data());
        if (target.size() == size) {
            xcb_shm_put_image(c, window_, gc_, total_width, total_height, 0, 0, static_cast<uint16_t>(size.width()),
                              total_height, static_cast<int16_t>(target.x()), static_cast<int16_t>(target.y()), 24,
                              XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg->seg, 0);
        } else if (!target.isEmpty()) {
            const xcb_render_picture_t source = Source_Picture(c, *seg, primary, gc_);
            // Destination pixel centres mapped into the picture, the nearest pixel taken.
            const xcb_render_transform_t scale = {Step(size.width(), target.width()), 0, 1,
                                                  0, Step(size.height(), target.height()), 1,
                                                  0, 0, Fixed(1.0)};
            xcb_render_set_picture_transform(c, source, scale);
            xcb_render_composite(c, XCB_RENDER_PICT_OP_SRC, source, XCB_RENDER_PICTURE_NONE, picture_, 0, 0, 0, 0,
                                 static_cast<int16_t>(target.x()), static_cast<int16_t>(target.y()),
                                 static_cast<uint16_t>(target.width()), static_cast<uint16_t>(target.height()));
        }
        bars_drawn_ = true;
    } else {
        // Windowed: the part of the desktop-sized primary under the widget, 1:1; black beyond.
        const QRect wanted(origin, area.size());
        const QRect source = wanted & QRect(QPoint(0, 0), size);
        if (source != wanted) blacken(QRegion(area) - QRegion(source.translated(-origin)));
        if (!black.empty()) xcb_poly_fill_rectangle(c, window_, gc_, static_cast<uint32_t>(black.size()), black.data());
        if (!source.isEmpty())
            xcb_shm_put_image(c, window_, gc_, total_width, total_height, static_cast<uint16_t>(source.x()),
                              static_cast<uint16_t>(source.y()), static_cast<uint16_t>(source.width()),
                              static_cast<uint16_t>(source.height()), static_cast<int16_t>(source.x() - origin.x()),
                              static_cast<int16_t>(source.y() - origin.y()), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg->seg,
                              0);
    }
    // The engine writes the primary again next frame: the server must have read it by then.
    Round_Trip(c);
    last_ = &primary;
    last_exclusive_ = exclusive;
    last_origin_ = origin;
    return true;
}

void X_Picture::Redraw() {
    bars_drawn_ = false;
    if (last_ && mapped_) Show(*last_, last_exclusive_, last_origin_);
}

#else  // no shared memory or RENDER headers: the windows always paint through Qt

namespace X_Present {
bool Available() { return false; }
Pixel_Memory Shared_Memory(size_t) { return {}; }
bool Can_Show(const DDSurface&) { return false; }
}  // namespace X_Present

X_Picture::X_Picture(QWidget* widget) : widget_(widget) {}
X_Picture::~X_Picture() = default;
void X_Picture::Forget(const DDSurface*) {}
bool X_Picture::Ensure_Window() { return false; }
void X_Picture::Destroy_Window() {}
void X_Picture::Redraw() {}
void X_Picture::Hide() {}
bool X_Picture::Show(const DDSurface&, bool, const QPoint&) { return false; }

#endif
