// Pictures shown by the X server from shared memory, read back from the server: the same
// pixels the widget's own painting shows, the bars black, the picture back after an expose,
// and the widget's painting wherever the server cannot take part. Needs an X server (the
// CTest runs it on a virtual one); skipped without one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

#include "platform/display/ddraw.h"
#include "platform/qt/qt_access.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_picture.h"
#include "platform/qt/x_present.h"
#include "platform/windows/windows.h"

namespace {

class X_Present_Test : public ::testing::Test {
protected:
    DDraw* dd_ = nullptr;
    DDSurface* primary_ = nullptr;
    std::unique_ptr<QWidget> widget_;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        Reset_Display_Service();
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "test_x_present";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(Install_Qt_Backend(argc, argv));
        if (!X_Present::Available()) GTEST_SKIP() << "this X server cannot show pictures from shared memory";
    }
    void TearDown() override {
        widget_.reset();
        if (primary_) primary_->Release();
        if (dd_) dd_->Release();
        Shutdown_Qt_Backend();
    }

    // A shown top-level window of `size` device pixels (the virtual server's factor is 1).
    QWidget* Shown_Widget(const QSize& size) {
        widget_ = std::make_unique<QWidget>();
        widget_->setGeometry(QRect(QPoint(0, 0), size));
        widget_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widget_.get()));
        return widget_.get();
    }

    // A primary surface of the display mode `mode` (exclusive) or of the desktop (windowed),
    // every pixel a colour of its own.
    DDSurface* Patterned_Primary(const QSize& mode, int bpp = 32) {
        EXPECT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        if (!mode.isEmpty()) {
            EXPECT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
            EXPECT_EQ(dd_->SetDisplayMode(mode.width(), mode.height(), bpp, 0, 0), DD_OK);
        } else {
            EXPECT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
        }
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS;
        desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
        EXPECT_EQ(dd_->CreateSurface(&desc, &primary_), DD_OK);
        if (!primary_) return nullptr;
        for (int y = 0; y < primary_->height(); ++y)
            for (int x = 0; x < primary_->width(); ++x)
                primary_->Set_Pixel(x, y, static_cast<uint32_t>(x & 0xFF) << 16 | static_cast<uint32_t>(y & 0xFF) << 8 |
                                              static_cast<uint32_t>((x >> 8) | (y >> 8) << 4));
        return primary_;
    }

    static QImage Primary_Image(const DDSurface& primary) {
        return QImage(primary.bits(), primary.width(), primary.height(), primary.pitch(), QImage::Format_RGB32);
    }

    // What the server shows in `window`.
    static QImage Server_Image(uint32_t window, const QSize& size) {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11->connection();
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, static_cast<uint16_t>(size.width()),
                          static_cast<uint16_t>(size.height()), ~0u),
            nullptr);
        if (!reply) return {};
        const QImage view(xcb_get_image_data(reply), size.width(), size.height(), size.width() * 4, QImage::Format_RGB32);
        QImage copy = view.copy();
        std::free(reply);
        return copy;
    }

    // Pixels whose colour differs (the unused top byte aside).
    static int Differences(const QImage& a, const QImage& b) {
        if (a.size() != b.size()) return a.width() * a.height() + 1;
        int differ = 0;
        for (int y = 0; y < a.height(); ++y) {
            const auto* ra = reinterpret_cast<const uint32_t*>(a.constScanLine(y));
            const auto* rb = reinterpret_cast<const uint32_t*>(b.constScanLine(y));
            for (int x = 0; x < a.width(); ++x) differ += ((ra[x] ^ rb[x]) & 0xFFFFFF) != 0;
        }
        return differ;
    }
};

// A display mode smaller than the window: scaled by the server to exactly the picture the
// widget's own painting shows (nearest pixels, as Qt picks them), bars black; at 1:1 the
// pixels themselves, centred.
TEST_F(X_Present_Test, ExclusivePictureIsTheWidgetsOwnPicture) {
    for (const QSize mode : {QSize(320, 240), QSize(640, 480), QSize(400, 300), QSize(640, 600), QSize(1000, 300)}) {
        SCOPED_TRACE(mode.width());
        const QSize area(1000, 700);
        QWidget* widget = Shown_Widget(area);
        DDSurface* primary = Patterned_Primary(mode);
        ASSERT_NE(primary, nullptr);
        ASSERT_TRUE(X_Present::Can_Show(*primary));
        X_Picture picture(widget);
        ASSERT_TRUE(picture.Show(*primary, true, QPoint()));
        EXPECT_TRUE(picture.Shown());

        const QImage source = Primary_Image(*primary);
        const QSize scaled = source.size().scaled(area, Qt::KeepAspectRatio);
        QImage expected(area, QImage::Format_RGB32);
        expected.fill(Qt::black);
        ASSERT_TRUE(Picture_Scaler().Scale_Into(
            source, scaled, expected, QPoint((area.width() - scaled.width()) / 2, (area.height() - scaled.height()) / 2)));
        EXPECT_EQ(Differences(Server_Image(picture.Window_Id(), area), expected), 0);

        widget_.reset();
        primary_->Release();
        primary_ = nullptr;
        dd_->Release();
        dd_ = nullptr;
    }

    // At 1:1 the pixels themselves, centred; in an engine window that goes full screen as the
    // window procedure switches it (a frameless pop-up: Qt makes it a new native window and
    // the widget's own id may still name the old one).
    HWND window = Create_Window(" Test", WS_OVERLAPPEDWINDOW, 0, 40, 30, 700, 600, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Qt_Host_Widget(window)));
    DDSurface* primary = Patterned_Primary(QSize(1024, 700));
    ASSERT_NE(primary, nullptr);
    X_Picture picture(Qt_Picture_Widget(window));
    ASSERT_TRUE(picture.Show(*primary, true, QPoint()));
    SetWindowStyle(window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    SetWindowPos(window, HWND_TOPMOST_ID, 0, 0, 1024, 768, SWP_SHOWWINDOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Qt_Host_Widget(window)));
    ASSERT_TRUE(picture.Show(*primary, true, QPoint()));
    const QSize area = Qt_Picture_Widget(window)->size();
    ASSERT_EQ(area, QSize(1024, 768));  // the screen
    QImage expected(area, QImage::Format_RGB32);
    expected.fill(Qt::black);
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 1024; ++x) expected.setPixel(x, 34 + y, 0xFF000000u | primary->Pixel(x, y));
    EXPECT_EQ(Differences(Server_Image(picture.Window_Id(), area), expected), 0);
    DestroyWindow(window);
}

// A window: the part of the desktop-sized primary under it, 1:1; black beyond the desktop.
// Covered by another window and uncovered, it shows the picture again at once.
TEST_F(X_Present_Test, WindowedPictureIsThePrimaryUnderTheWindowAndComesBackAfterAnExpose) {
    const QSize area(300, 200);
    QWidget* widget = Shown_Widget(area);
    DDSurface* primary = Patterned_Primary(QSize());
    ASSERT_NE(primary, nullptr);
    const QPoint origin(primary->width() - 100, 50);  // two thirds beyond the right edge
    X_Picture picture(widget);
    ASSERT_TRUE(picture.Show(*primary, false, origin));
    QImage expected(area, QImage::Format_RGB32);
    expected.fill(Qt::black);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < 100; ++x) expected.setPixel(x, y, 0xFF000000u | primary->Pixel(origin.x() + x, origin.y() + y));
    EXPECT_EQ(Differences(Server_Image(picture.Window_Id(), area), expected), 0);

    QWidget cover;
    cover.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    cover.setStyleSheet(QStringLiteral("background: white"));
    cover.setGeometry(QRect(QPoint(0, 0), area));
    cover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
    cover.hide();
    QTest::qWait(200);  // the expose arrives and is answered
    EXPECT_EQ(Differences(Server_Image(picture.Window_Id(), area), expected), 0);
}

// Where the server cannot read the pixels as they are, nothing of ours covers the widget.
TEST_F(X_Present_Test, PicturesTheServerCannotReadLeaveTheWidgetToPaint) {
    QWidget* widget = Shown_Widget(QSize(400, 300));
    DDSurface* sixteen = Patterned_Primary(QSize(320, 240), 16);
    ASSERT_NE(sixteen, nullptr);
    EXPECT_FALSE(X_Present::Can_Show(*sixteen));
    X_Picture picture(widget);
    EXPECT_FALSE(picture.Show(*sixteen, true, QPoint()));
    EXPECT_FALSE(picture.Shown());
    primary_->Release();
    primary_ = nullptr;
    dd_->Release();
    dd_ = nullptr;

    // Shown once, then a primary in memory of its own: our window is taken away again.
    DDSurface* shared = Patterned_Primary(QSize(320, 240));
    ASSERT_TRUE(picture.Show(*shared, true, QPoint()));
    EXPECT_TRUE(picture.Shown());
    Set_Primary_Memory_Hook(nullptr);
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS;
    desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
    DDSurface* own = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&desc, &own), DD_OK);
    EXPECT_FALSE(picture.Show(*own, true, QPoint()));
    EXPECT_FALSE(picture.Shown());
    own->Release();

    // A primary that goes while shown is not shown again by an expose.
    ASSERT_TRUE(picture.Show(*shared, true, QPoint()));
    primary_->Release();
    primary_ = nullptr;
    widget->hide();
    widget->show();
    QTest::qWait(100);
}

}  // namespace
