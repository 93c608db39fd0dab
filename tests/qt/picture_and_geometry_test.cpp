#include <QGuiApplication>
#include <QBackingStore>
#include <QImage>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "shell/menu.h"
#include <cmath>
#include <cstdlib>
#include "platform/qt/qt_picture.h"
#include "platform/windows/commdlg.h"
#include "qt_fixture.h"

namespace {

// A primary surface as the windowed display builds it.
struct Primary {
    DDraw* draw = nullptr;
    DDSurface* surface = nullptr;
    Primary(HWND window, uint32_t flags) {
        EXPECT_EQ(DirectDrawCreate(nullptr, &draw, nullptr), DD_OK);
        EXPECT_EQ(draw->SetCooperativeLevel(window, flags), DD_OK);
    }
    void Create() {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS;
        desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
        EXPECT_EQ(draw->CreateSurface(&desc, &surface), DD_OK);
    }
    ~Primary() {
        if (surface) surface->Release();
        if (draw) draw->Release();
    }
    void Fill(const RECT& r, uint32_t value) {
        DDBLTFX fx;
        fx.dwFillColor = value;
        RECT dest = r;
        EXPECT_EQ(surface->Blt(&dest, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    }
};

QRgb Shown(HWND window, int x, int y) {
    const QImage grabbed = Qt_Picture_Widget(window)->grab().toImage();
    return grabbed.pixel(x, y) & 0xFFFFFF;
}

}  // namespace

TEST_F(Qt_Backend_Test, DesktopIsThePrimaryScreen) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen.height());
    EXPECT_EQ(Desktop_Bits_Per_Pixel(), 32);
    EXPECT_TRUE(Display_Settings().vsync_sleeps);
    EXPECT_STREQ(Backend().name(), "qt");
}

TEST_F(Qt_Backend_Test, ClientRectangleIsTheAreaUnderTheMenuBar) {
    Menu menu_template;
    menu_template.items = {Menu_Item{0, "&File", false, false, {Menu_Item{1, "&Open", false, false, {}}}}};
    Register_Menu_Template(502, menu_template);
    HWND window = Shown_Window(WS_OVERLAPPEDWINDOW, 100, 80, 300, 260, LoadMenuA(502));
    QWidget* picture = Qt_Picture_Widget(window);
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, picture->width());
    EXPECT_EQ(client.bottom, picture->height());
    POINT origin;
    ClientToScreen(window, &origin);
    EXPECT_EQ(QPoint(origin.x, origin.y), picture->mapToGlobal(QPoint(0, 0)));
    EXPECT_GT(picture->y(), 0);  // the menu bar sits above it
    Clear_Message_Queue();

    // The user makes the window bigger: one size message with the new client size, and the
    // end of the resize once it has settled.
    QWidget* host = Qt_Host_Widget(window);
    host->resize(host->width() + 40, host->height() + 30);
    QCoreApplication::processEvents();
    const auto sizes = Take(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(sizes[0].lParam)), static_cast<unsigned>(client.right + 40));
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(sizes[0].lParam)), static_cast<unsigned>(client.bottom + 30));
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, picture->width());
    EXPECT_TRUE(Take(WM_EXITSIZEMOVE).empty());
    QTest::qWait(400);
    EXPECT_EQ(Take(WM_EXITSIZEMOVE).size(), 1u);

    host->move(host->x() + 15, host->y());
    QCoreApplication::processEvents();
    EXPECT_EQ(Take(WM_MOVE).size(), 1u);
    ClientToScreen(window, &(origin = POINT{}));
    EXPECT_EQ(origin.x, picture->mapToGlobal(QPoint(0, 0)).x());

    // The engine moves it: the client lands where the engine put it, without echoes.
    SetWindowPos(window, 0, 200, 150, 0, 0, SWP_NOSIZE);
    QCoreApplication::processEvents();
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(picture->mapToGlobal(QPoint(0, 0)), QPoint(window->client_on_screen.left, window->client_on_screen.top));
    EXPECT_TRUE(Take(WM_SIZE).empty());
}

TEST_F(Qt_Backend_Test, WindowShowsThePrimaryUnderItsClientAt32And16Bits) {
    for (const int bpp : {32, 16}) {
        SCOPED_TRACE(bpp);
        Display_Settings().desktop_bpp = bpp;
        HWND window = Shown_Window(WS_POPUP, 100, 50, 200, 150);
        Primary primary(window, DDSCL_NORMAL);
        primary.Create();
        ASSERT_NE(primary.surface, nullptr);
        ASSERT_EQ(primary.surface->bpp(), bpp);
        // Screen (110, 60) is the client's (10, 10); screen (100, 50) its corner.
        const uint32_t value = bpp == 32 ? 0x00123456u : 0x8401u;  // 5-6-5: r 16, g 32, b 1
        const QRgb expected = bpp == 32 ? 0x123456u : 0x848208u;   // 5 bits x -> x<<3 | x>>2, 6 bits -> x<<2 | x>>4
        primary.Fill(RECT{110, 60, 130, 70}, value);
        primary.Fill(RECT{100, 50, 101, 51}, bpp == 32 ? 0x00FF0000u : 0xF800u);
        EXPECT_EQ(Qt_Picture().pixel(115, 65) & 0xFFFFFF, expected);
        EXPECT_EQ(Shown(window, 10, 10), expected);
        EXPECT_EQ(Shown(window, 29, 19), expected);
        EXPECT_EQ(Shown(window, 30, 10), 0u);  // outside the filled rectangle
        EXPECT_EQ(Shown(window, 0, 0), 0xFF0000u);
        DestroyWindow(window);
    }
}

TEST_F(Qt_Backend_Test, ExclusiveDisplayIsScaledWithBlackBars) {
    HWND window = Shown_Window(WS_POPUP | WS_VISIBLE, 0, 0, 400, 100);
    QWidget* picture = Qt_Picture_Widget(window);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(picture->size(), screen);  // full screen covers the monitor whatever the mode
    Primary primary(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES);
    ASSERT_EQ(primary.draw->SetDisplayMode(400, 100, 32, 0, 0), DD_OK);
    primary.Create();
    ASSERT_NE(primary.surface, nullptr);
    primary.Fill(RECT{0, 0, 400, 100}, 0x0000FF00u);
    // A 4:1 picture on the screen: full width, a quarter of the width high, centred.
    const int shown_height = screen.width() / 4;
    const int top = (screen.height() - shown_height) / 2;
    EXPECT_EQ(Shown(window, screen.width() / 2, top + 2), 0x00FF00u);
    EXPECT_EQ(Shown(window, 0, screen.height() / 2), 0x00FF00u);
    EXPECT_EQ(Shown(window, screen.width() / 2, top - 2), 0u);
    EXPECT_EQ(Shown(window, screen.width() / 2, top + shown_height + 2), 0u);

    // What the window puts on screen (its backing store, written directly) is the picture
    // as QPainter scales it, between black bars.
    for (int x = 0; x < 400; ++x) primary.Fill(RECT{x, (x * 7) % 100, x + 1, (x * 7) % 100 + 1}, 0x00010203u * uint32_t(x % 80));
    picture->repaint();
    auto* stored = dynamic_cast<QImage*>(picture->backingStore()->paintDevice());
    ASSERT_NE(stored, nullptr);
    QImage expected(screen, QImage::Format_RGB32);
    expected.fill(Qt::black);
    {
        QPainter painter(&expected);
        painter.drawImage(QRect(0, top, screen.width(), shown_height), Qt_Picture());
    }
    int wrong = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) wrong += (stored->pixel(x, y) & 0xFFFFFF) != (expected.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(wrong, 0);
}

TEST(Qt_Picture, EveryDepthConvertsToRgb) {
    DDraw* draw = nullptr;
    Reset_Display_Service();
    ASSERT_EQ(DirectDrawCreate(nullptr, &draw, nullptr), DD_OK);
    ASSERT_EQ(draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    struct Case {
        int bpp;
        bool is_565;
        uint32_t value;
        QRgb expected;
    };
    const Case cases[] = {
        {15, false, 0x4201, 0x848408},  // 5-5-5: r 16, g 16, b 1
        {16, false, 0x4201, 0x848408},  // a 16-bit display that is 5-5-5 underneath
        {24, false, 0x123456, 0x123456},
        {32, false, 0xAB102030, 0x102030},  // the top byte is not colour
        {8, false, 7, 0x0A141E},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        Display_Settings().desktop_bpp = c.bpp;
        Display_Settings().format_16_is_565 = c.is_565;
        DDSurface* primary = nullptr;
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS;
        desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(draw->CreateSurface(&desc, &primary), DD_OK);
        DDPalette* palette = nullptr;
        if (c.bpp == 8) {
            PALETTEENTRY entries[256] = {};
            entries[7] = PALETTEENTRY{10, 20, 30, 0};
            ASSERT_EQ(draw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette), DD_OK);
            ASSERT_EQ(primary->SetPalette(palette), DD_OK);
        }
        primary->Set_Pixel(3, 2, c.value);
        primary->Set_Pixel(4, 2, c.value);
        QImage image;
        Convert_Primary(*primary, RECT{3, 2, 4, 3}, image);
        ASSERT_EQ(image.size(), QSize(primary->width(), primary->height()));
        EXPECT_EQ(image.pixel(3, 2), 0xFF000000u | c.expected);
        if (c.bpp == 32) {
            // Shown as it is, without a copy: the whole surface, the area or not.
            EXPECT_TRUE(Wraps(image, *primary));
            EXPECT_EQ(image.pixel(4, 2), 0xFF000000u | c.expected);
        } else {
            EXPECT_EQ(image.pixel(4, 2), 0xFF000000u);  // outside the area: left as it was
        }
        const uchar* before = image.constBits();
        Convert_Primary(*primary, RECT{-5, -5, 100000, 100000}, image);  // clipped, not reallocated
        EXPECT_EQ(image.constBits(), before);
        EXPECT_EQ(image.pixel(4, 2), 0xFF000000u | c.expected);
        if (palette) palette->Release();
        primary->Release();
    }
    draw->Release();
}

TEST(Qt_Picture, ScaledPictureHasThePixelsQPainterWouldShow) {
    // One scaler through every case: a new size must not reuse the last maps.
    Picture_Scaler scaler;
    QImage scaled;
    struct Case {
        QSize from, to;
        QPoint at;  // where the picture sits between black bars
    };
    const Case cases[] = {
        {{640, 480}, {1280, 960}, {0, 32}},  // the saver's default mode on a 1280 x 1024 monitor
        {{800, 600}, {1280, 960}, {0, 32}},
        {{320, 200}, {1279, 799}, {1, 0}},
        {{1024, 768}, {1000, 750}, {12, 9}},  // a mode larger than the monitor
        {{7, 5}, {23, 19}, {3, 2}},
    };
    uint32_t seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.width() << "x" << c.from.height() << " to " << c.to.width() << "x" << c.to.height());
        QImage picture(c.from, QImage::Format_RGB32);
        for (int y = 0; y < c.from.height(); ++y)
            for (int x = 0; x < c.from.width(); ++x) picture.setPixel(x, y, 0xFF000000u | ((seed = seed * 214013u + 2531011u) >> 8));
        QImage expected(c.to + QSize(2 * c.at.x(), 2 * c.at.y()), QImage::Format_RGB32);
        expected.fill(Qt::black);
        {
            QPainter painter(&expected);
            painter.drawImage(QRect(c.at, c.to), picture);
        }
        scaler.Scale(picture, c.to, scaled);
        ASSERT_EQ(scaled.size(), c.to);
        int wrong = 0;
        for (int y = 0; y < c.to.height(); ++y)
            for (int x = 0; x < c.to.width(); ++x) wrong += scaled.pixel(x, y) != expected.pixel(c.at + QPoint(x, y));
        EXPECT_EQ(wrong, 0);
    }
}

namespace {

// The smallest frame the program allows: 200 x 256 of client inside the decorations.
LRESULT Smallest_Frame_Proc(HWND, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_GETMINMAXINFO) {
        auto* smallest = reinterpret_cast<POINT*>(lparam);
        smallest->x = 2 * GetSystemMetrics(SM_CXFRAME) + 200;
        smallest->y = 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION) + 256;
    }
    return 0;
}

}  // namespace

TEST_F(Qt_Backend_Test, WindowGoesFullScreenAndBackWithoutLosingItsMenu) {
    Menu menu_template;
    menu_template.items = {Menu_Item{0, "&View", false, false, {Menu_Item{MENU_VIEW_FULLSCREEN, "F&ull Screen", false, false, {}}}}};
    Register_Menu_Template(503, menu_template);
    HMENU menu = LoadMenuA(503);
    HWND window = Create_Window(" Test", WS_OVERLAPPEDWINDOW, 0, 100, 100, 400, 400, nullptr, menu, Smallest_Frame_Proc);
    ShowWindow(window, SW_SHOWNORMAL);
    QWidget* host = Qt_Host_Widget(window);
    QWidget* picture = Qt_Picture_Widget(window);
    host->resize(50, 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(picture->width(), 200);
    EXPECT_EQ(picture->height(), 256);
    Clear_Message_Queue();

    // Full screen as the window procedure switches to it: no menu, a top-most pop-up.
    SetMenu(window, nullptr);
    SetWindowStyle(window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    SetWindowPos(window, HWND_TOPMOST_ID, 0, 0, 640, 480, SWP_SHOWWINDOW);
    QCoreApplication::processEvents();
    EXPECT_EQ(Qt_Menu_Bar(window), nullptr);
    EXPECT_TRUE(host->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(host->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(host->isVisible());
    EXPECT_EQ(host->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(picture->geometry(), host->rect());
    // The window procedure learns the new client size, as it would from the window system.
    auto sizes = Take(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(sizes.back().lParam)), 640u);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(sizes.back().lParam)), 480u);

    // And back: the menu returns and the client is where the engine centred it.
    SetMenu(window, menu);
    SetWindowStyle(window, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
    SetWindowPos(window, HWND_NOTOPMOST_ID, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window, HWND_NOTOPMOST_ID, 256, 128, 512, 512, 0);
    QCoreApplication::processEvents();
    ASSERT_NE(Qt_Menu_Bar(window), nullptr);
    EXPECT_FALSE(host->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(host->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(host->isVisible());
    const RECT client = window->client_on_screen;
    EXPECT_EQ(picture->mapToGlobal(QPoint(0, 0)), QPoint(client.left, client.top));
    EXPECT_EQ(picture->size(), QSize(client.right - client.left, client.bottom - client.top));
    sizes = Take(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(sizes.back().lParam)), static_cast<unsigned>(client.right - client.left));
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(sizes.back().lParam)), static_cast<unsigned>(client.bottom - client.top));
    // The style changes are the program's own: they are not a loss of focus.
    EXPECT_TRUE(Take(WM_KILLFOCUS).empty());
}

TEST_F(Qt_Backend_Test, OnlyShownTopLevelWindowsGetAWindowOnScreen) {
    HWND main_window = Create_Window(" Test", WS_OVERLAPPEDWINDOW, 0, 10, 10, 300, 300, nullptr, nullptr, nullptr);
    EXPECT_EQ(Qt_Host_Widget(main_window), nullptr);  // not shown yet
    ShowWindow(main_window, SW_SHOWNORMAL);
    ASSERT_NE(Qt_Host_Widget(main_window), nullptr);
    EXPECT_TRUE(Qt_Host_Widget(main_window)->isVisible());

    // Windows inside another (dialogs and their controls) are drawn by their owner.
    HWND inner = Create_Window("OK", WS_CHILD | WS_VISIBLE, 0, 5, 5, 40, 20, main_window, nullptr, nullptr);
    ShowWindow(inner, SW_SHOWNORMAL);
    EXPECT_EQ(Qt_Host_Widget(inner), nullptr);
}

namespace {

// QT_SCALE_FACTOR for the backends installed while it lives.
struct Scale_Factor {
    explicit Scale_Factor(const char* factor) { setenv("QT_SCALE_FACTOR", factor, 1); }
    ~Scale_Factor() { unsetenv("QT_SCALE_FACTOR"); }
};

}  // namespace

TEST_F(Qt_Backend_Test, PictureIsDrawnAtDevicePixelsAtEveryScaleFactor) {
    const QSize desktop(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    Register_Program_Resources();
    for (const char* factor : {"2", "1.5"}) {
        SCOPED_TRACE(factor);
        Shutdown_Qt_Backend();
        Scale_Factor scaled(factor);
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(Install_Qt_Backend(argc, argv));
        const double ratio = std::atof(factor);
        ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), ratio);
        // The engine measures the screen in its own pixels, not in Qt's larger units.
        EXPECT_EQ(QSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), desktop);

        // A window narrower than its menu bar, as the square default is at a large factor.
        HWND window = Shown_Window(WS_OVERLAPPEDWINDOW, 40, 60, 160, 300, LoadMenuA(IDR_MAIN_MENU));
        QWidget* host = Qt_Host_Widget(window);
        QWidget* picture = Qt_Picture_Widget(window);
        ASSERT_NE(Qt_Menu_Bar(window), nullptr);
        EXPECT_GE(host->width(), Qt_Menu_Bar(window)->sizeHint().width());
        RECT client;
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_NEAR(client.right, picture->width() * ratio, 0.5);
        EXPECT_NEAR(client.bottom, picture->height() * ratio, 0.5);

        // A one-pixel checkerboard survives only when each picture pixel is one device pixel.
        Primary primary(window, DDSCL_NORMAL);
        primary.Create();
        ASSERT_NE(primary.surface, nullptr);
        const POINT corner{window->client_on_screen.left + 7, window->client_on_screen.top + 5};
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                primary.Fill(RECT{corner.x + x, corner.y + y, corner.x + x + 1, corner.y + y + 1},
                             (x + y) % 2 ? 0x00FFFFFFu : 0x000000FFu);
        // Grabbed with the menu bar above, where a fractional factor puts the picture
        // between two pixel rows.
        const QImage shown = host->grab().toImage();
        ASSERT_EQ(shown.devicePixelRatio(), ratio);
        const QPoint origin(static_cast<int>(std::lround(picture->x() * ratio)) + 7,
                            static_cast<int>(std::lround(picture->y() * ratio)) + 5);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(shown.pixel(origin + QPoint(x, y)) & 0xFFFFFF, (x + y) % 2 ? 0xFFFFFFu : 0x0000FFu)
                    << x << "," << y;

        // Pointer positions reach the window procedure in the same pixels.
        Clear_Message_Queue();
        const QPointF at(50.5, 40.25);
        QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(picture, &move);
        const auto moves = Take(WM_MOUSEMOVE);
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(LOWORD(static_cast<uintptr_t>(moves[0].lParam)), static_cast<unsigned>(std::floor(at.x() * ratio)));
        EXPECT_EQ(HIWORD(static_cast<uintptr_t>(moves[0].lParam)), static_cast<unsigned>(std::floor(at.y() * ratio)));
        primary.surface->Release();
        primary.surface = nullptr;
        primary.draw->Release();
        primary.draw = nullptr;
        DestroyWindow(window);
        QCoreApplication::processEvents();
    }
}
