// Presenting Hidden on the screen (windowed, full screen, stretched), the frame timer with
// its frame-rate text, and sizing the window.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "support/rect.h"
#include "support/surface_fixture.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "support/fresh_session.h"

using Reports = std::vector<std::string>;

namespace {

// A distinct non-zero 24-bit value for every position up to 2047 x 4095.
constexpr uint32_t Marker(int x, int y) {
    return 0x00800000u | static_cast<uint32_t>(x << 12) | static_cast<uint32_t>(y);
}

class Presentation : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        Reset_Display_Service();
        Reset_Diagnostics(s.app);
        s.app.error_logging = 0;
        Headless().boxes.clear();
    }
    void TearDown() override {
        Release_Direct_Draw(s.display);
        if (s.display.Main_Window) DestroyWindow(s.display.Main_Window);
        s.display.Main_Window = nullptr;
        Clear_DD_Faults();
        Set_Fake_Clock(false);
        Set_High_Resolution_Counter_Available(true);
    }

    // A desktop of the given size at 32 bits and a main window of the given style and frame.
    void Desktop(int width, int height, uint32_t style, int x, int y, int w, int h) {
        Set_Headless_Desktop(width, height, 32);
        s.display.Screen_Width = width;
        s.display.Screen_Height = height;
        s.display.Screen_Bpp = 32;
        s.display.Main_Window = Create_Window("Mirravane", style | WS_VISIBLE, 0, x, y, w, h, nullptr, nullptr, nullptr);
    }

    void Fill_Hidden() {
        for (int y = 0; y < s.display.Hidden->height(); ++y)
            for (int x = 0; x < s.display.Hidden->width(); ++x) Poke(s.display.Hidden, x, y, Marker(x, y));
    }
    void Clear_Visible() {
        for (int y = 0; y < s.display.Visible->height(); ++y)
            for (int x = 0; x < s.display.Visible->width(); ++x) Poke(s.display.Visible, x, y, 0);
    }
    // Count of Visible pixels that are not 0.
    int Lit() {
        int n = 0;
        for (int y = 0; y < s.display.Visible->height(); ++y)
            for (int x = 0; x < s.display.Visible->width(); ++x) n += Peek(s.display.Visible, x, y) != 0;
        return n;
    }
};

}  // namespace

TEST_F(Presentation, WindowedCopiesHiddenToTheClientAreaOnScreen) {
    // An overlapped window without menu: frame 4 wide, caption 20, so a frame at (96, 26)
    // of 208 x 178 has its 200 x 150 client at (100, 50).
    Desktop(640, 480, WS_OVERLAPPEDWINDOW, 96, 26, 208, 178);
    ASSERT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 32, 1), 1);
    Fill_Hidden();
    s.display.Wait_For_Vsync = 1;
    ASSERT_EQ(Display_Hidden_Surface(s.display), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::WaitForVerticalBlank), 1);
    EXPECT_EQ(Peek(s.display.Visible, 100, 50), Marker(0, 0));
    EXPECT_EQ(Peek(s.display.Visible, 299, 199), Marker(199, 149));
    EXPECT_EQ(Peek(s.display.Visible, 150, 120), Marker(50, 70));
    EXPECT_EQ(Lit(), 200 * 150);

    // Partly off the right and bottom of the screen: only what lies on the screen is copied.
    Clear_Visible();
    SetWindowPos(s.display.Main_Window, 0, 536, 376, 208, 178, 0);  // client at (540, 400)
    s.display.Wait_For_Vsync = 0;
    ASSERT_EQ(Display_Hidden_Surface(s.display), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::WaitForVerticalBlank), 1);
    EXPECT_EQ(Peek(s.display.Visible, 540, 400), Marker(0, 0));
    EXPECT_EQ(Peek(s.display.Visible, 639, 479), Marker(99, 79));
    EXPECT_EQ(Lit(), 100 * 80);

    // Off the left edge: the cut columns are skipped in Hidden too.
    Clear_Visible();
    SetWindowPos(s.display.Main_Window, 0, -54, 0, 208, 178, 0);  // client at (-50, 24)
    ASSERT_EQ(Display_Hidden_Surface(s.display), 1);
    EXPECT_EQ(Peek(s.display.Visible, 0, 24), Marker(50, 0));
    EXPECT_EQ(Peek(s.display.Visible, 149, 173), Marker(199, 149));
    EXPECT_EQ(Lit(), 150 * 150);
    EXPECT_TRUE(Take_Reports().empty());

    // No area: nothing presented, still a success. Neither an empty width nor an empty height
    // may end the program.
    Clear_Visible();
    const int blits = DD_Call_Count(DD_Call::Blt);
    SetWindowStyle(s.display.Main_Window, WS_POPUP | WS_VISIBLE, 0);
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 30}, std::pair{30, 0}}) {
        SetWindowPos(s.display.Main_Window, 0, 10, 10, w, h, 0);
        EXPECT_EQ(Display_Hidden_Surface(s.display), 1) << w << "x" << h;
    }
    EXPECT_EQ(DD_Call_Count(DD_Call::Blt), blits);
    EXPECT_EQ(Lit(), 0);
    EXPECT_TRUE(Take_Reports().empty());

    // A failing copy and an unrecoverable screen.
    SetWindowPos(s.display.Main_Window, 0, 0, 0, 64, 64, 0);
    Inject_DD_Fault(DD_Call::Blt, DDERR_INVALIDRECT);
    EXPECT_EQ(Display_Hidden_Surface(s.display), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Clip_Blit(): DDERR_INVALIDRECT ", "Display_Hidden_Surface(): Fast_Blit FAILED"}));
    s.display.Visible->Mark_Lost();
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Display_Hidden_Surface(s.display), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Restore_All_Surfaces():Unable to restore Visible Surface",
                                       "Display_Hidden_Surface(): Restore_All_Surfaces FAILED"}));
    // A lost screen that can be restored is presented again.
    EXPECT_EQ(Display_Hidden_Surface(s.display), 1);
    EXPECT_EQ(Peek(s.display.Visible, 0, 0), Marker(0, 0));

    Release_Surface(&s.display.Hidden);
    EXPECT_EQ(Display_Hidden_Surface(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Display_Hidden_Surface(): Hidden or Visible is NULL"});
}

TEST_F(Presentation, FullScreenCopiesTheWholeFrame) {
    Desktop(640, 480, WS_POPUP, 0, 0, 64, 48);
    s.display.Screen_Width = 64;
    s.display.Screen_Height = 48;
    ASSERT_EQ(Setup_Direct_Draw(s.display, 64, 48, 32), 1);
    Fill_Hidden();
    s.display.Wait_For_Vsync = 0;
    ASSERT_EQ(Display_Hidden_Surface(s.display), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::BltFast), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::WaitForVerticalBlank), 0);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(Peek(s.display.Visible, x, y), Marker(x, y)) << x << "," << y;

    s.display.Wait_For_Vsync = 1;
    ASSERT_EQ(Display_Hidden_Surface(s.display), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::WaitForVerticalBlank), 1);

    Inject_DD_Fault(DD_Call::BltFast, DDERR_LOCKEDSURFACES);
    EXPECT_EQ(Display_Hidden_Surface(s.display), 0);
    const Reports reports = Take_Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), "Display_Hidden_Screen(): Fast Blit FAILED");

    // The stretched form presents full screen the plain way and ignores the outcome.
    Inject_DD_Fault(DD_Call::BltFast, DDERR_LOCKEDSURFACES);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 1);
    EXPECT_FALSE(Take_Reports().empty());
}

TEST_F(Presentation, StretchedPresentationScalesHiddenOntoTheClientArea) {
    // 64 x 48 desktop; a 32 x 24 popup at (16, 8). Hidden is filled in 2 x 2 blocks so a
    // halving picks block (x, y) for client pixel (x, y) whichever pixel of the block it samples.
    Desktop(64, 48, WS_POPUP, 16, 8, 32, 24);
    ASSERT_EQ(Setup_Windowed_Direct_Draw(s.display, 64, 48, 32, 1), 1);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) Poke(s.display.Hidden, x, y, Marker(x / 2, y / 2));
    ASSERT_EQ(Display_Stretched_Hidden_Surface(s.display), 1);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(Peek(s.display.Visible, 16 + x, 8 + y), Marker(x, y)) << x << "," << y;
    EXPECT_EQ(Lit(), 32 * 24);
    EXPECT_TRUE(Take_Reports().empty());

    // Minimised with no client area: a success without drawing.
    Clear_Visible();
    SetWindowPos(s.display.Main_Window, 0, 16, 8, 0, 0, 0);
    s.display.Main_Window->iconic = true;
    const int blits = DD_Call_Count(DD_Call::Blt);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::Blt), blits);
    EXPECT_EQ(Lit(), 0);
    EXPECT_TRUE(Take_Reports().empty());

    // Not minimised but empty: the sizes are reported.
    s.display.Main_Window->iconic = false;
    SetWindowPos(s.display.Main_Window, 0, 16, 8, 0, 24, 0);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Display_Stretched_Hidden_Surface(): Invalid width 0 height 24"});

    // Lost and missing surfaces.
    SetWindowPos(s.display.Main_Window, 0, 16, 8, 32, 24, 0);
    s.display.Hidden->Mark_Lost();
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Display_Stretched_Hidden_Surface():Either source or dest is lost"});
    s.display.Hidden->Restore();
    s.display.Visible->Mark_Lost();
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 0);
    const Reports lost = Take_Reports();
    ASSERT_FALSE(lost.empty());
    EXPECT_EQ(lost.back(), "Display_Stretched_Hidden_Surface():Either source or dest is lost");
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 1);  // restorable: presented

    // The window gone: no client rectangle to stretch onto.
    HWND window = s.display.Main_Window;
    DestroyWindow(window);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Display_Stretched_Hidden_Surface(): GetClientRect FAILED"});
    s.display.Main_Window = Create_Window("Mirravane", WS_POPUP | WS_VISIBLE, 0, 16, 8, 32, 24, nullptr, nullptr, nullptr);
    Release_Surface(&s.display.Visible);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Display_Stretched_Hidden_Surface():Either source or dest is NULL"});
}

TEST_F(Presentation, FrameTimerMeasuresFramesAndKeepsTheRateText) {
    Set_Fake_Clock(true, 5000000);
    s.display.Show_Frame_Rate = 1;
    Start_Frame_Timer(s.display);
    // The first frame measures from the start of the timer, not from the clock's origin.
    Advance_Fake_Clock(30000);
    Update_Frame_Timer(s.display);
    EXPECT_DOUBLE_EQ(s.display.frame_seconds, 0.03);
    EXPECT_EQ(s.display.Frame_Milliseconds, 30);
    EXPECT_STREQ(s.display.Frame_Rate_Text, "fps   0");
    // Fractions of a millisecond: seconds keep them, milliseconds drop them.
    Advance_Fake_Clock(20500);
    Update_Frame_Timer(s.display);
    EXPECT_DOUBLE_EQ(s.display.frame_seconds, 0.0205);
    EXPECT_EQ(s.display.Frame_Milliseconds, 20);

    // Frames 3..16 complete the first group of 16: 30 + 20.5 + 14 x 20 = 330.5 ms,
    // 16 / 0.3305 = 48.4, shown as 48.
    for (int f = 3; f <= 15; ++f) {
        Advance_Fake_Clock(20000);
        Update_Frame_Timer(s.display);
        EXPECT_STREQ(s.display.Frame_Rate_Text, "fps   0") << f;
    }
    Advance_Fake_Clock(20000);
    Update_Frame_Timer(s.display);
    EXPECT_STREQ(s.display.Frame_Rate_Text, "fps  48");

    // Groups of 16 frames: steady 20 ms; a 59.7 Hz display (whole milliseconds over fifteen
    // frames would say 66); 200 ms (three blanks); 13 of 9 ms and 3 of 8 ms (141 ms: 113.5).
    const auto group = [&](int first_us, int last_us, int firsts) {
        for (int f = 0; f < 16; ++f) {
            Advance_Fake_Clock(f < firsts ? first_us : last_us);
            Update_Frame_Timer(s.display);
        }
        return std::string(s.display.Frame_Rate_Text);
    };
    EXPECT_EQ(group(20000, 20000, 16), "fps  50");
    EXPECT_EQ(group(16750, 16750, 16), "fps  60");
    EXPECT_EQ(group(200000, 200000, 16), "fps   5");
    EXPECT_EQ(group(9000, 8000, 13), "fps 113");

    // Switched off the accounting stands still: 10 frames of 20 ms, then 30 uncounted
    // frames of 100 ms, then 6 more of 20 ms finish the group at 50 a second again.
    for (int f = 0; f < 10; ++f) {
        Advance_Fake_Clock(20000);
        Update_Frame_Timer(s.display);
    }
    s.display.Show_Frame_Rate = 0;
    for (int f = 0; f < 30; ++f) {
        Advance_Fake_Clock(100000);
        Update_Frame_Timer(s.display);
    }
    EXPECT_STREQ(s.display.Frame_Rate_Text, "fps 113");
    EXPECT_DOUBLE_EQ(s.display.frame_seconds, 0.1);  // the timer itself still runs
    s.display.Show_Frame_Rate = 1;
    for (int f = 0; f < 6; ++f) {
        Advance_Fake_Clock(20000);
        Update_Frame_Timer(s.display);
    }
    EXPECT_STREQ(s.display.Frame_Rate_Text, "fps  50");
}

TEST_F(Presentation, FrameTimerFallsBackToTheMillisecondClock) {
    Set_High_Resolution_Counter_Available(false);
    Set_Fake_Clock(true, 1000000);
    s.display.Show_Frame_Rate = 1;
    Start_Frame_Timer(s.display);
    // The millisecond clock rounds each reading down: 20.5 ms steps read 20, then 21.
    Advance_Fake_Clock(20500);
    Update_Frame_Timer(s.display);
    EXPECT_EQ(s.display.Frame_Milliseconds, 20);
    EXPECT_DOUBLE_EQ(s.display.frame_seconds, 0.02);
    Advance_Fake_Clock(20500);
    Update_Frame_Timer(s.display);
    EXPECT_EQ(s.display.Frame_Milliseconds, 21);
    EXPECT_DOUBLE_EQ(s.display.frame_seconds, 0.021);
    // 20 + 21 + 14 x 20 = 321 ms: 16 / 0.321 = 49.8, shown as 50.
    for (int f = 3; f <= 16; ++f) {
        Advance_Fake_Clock(20000);
        Update_Frame_Timer(s.display);
    }
    EXPECT_STREQ(s.display.Frame_Rate_Text, "fps  50");
}

TEST_F(Presentation, FrameRateIsDrawnOnlyWhenShown) {
    Desktop(64, 48, WS_POPUP, 0, 0, 64, 48);
    ASSERT_EQ(Setup_Windowed_Direct_Draw(s.display, 64, 48, 32, 1), 1);
    std::snprintf(s.display.Frame_Rate_Text, sizeof s.display.Frame_Rate_Text, "%s", "fps  53");
    s.display.Show_Frame_Rate = 0;
    Draw_FPS(s.display);
    int drawn = 0, grey = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) drawn += Peek(s.display.Hidden, x, y) != 0;
    EXPECT_EQ(drawn, 0);

    s.display.Show_Frame_Rate = 1;
    Draw_FPS(s.display);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t p = Peek(s.display.Hidden, x, y) & 0xFFFFFF;
            drawn += p != 0;
            grey += p == 0xC8C8C8;
        }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(grey, drawn);  // light grey on a transparent background
}

TEST_F(Presentation, CentreWindowMakesASquareOfTwoThirdsOfTheHeight) {
    // 1024 x 768: s = 512, x = 256, y = 128, right = 768, bottom = 640.
    Desktop(1024, 768, WS_OVERLAPPEDWINDOW, 5, 5, 100, 100);
    s.display.Main_Window->iconic = true;
    ASSERT_EQ(Centre_Window(s.display, s.display.Main_Window), 1);
    RECT frame{};
    GetWindowRect(s.display.Main_Window, &frame);
    EXPECT_EQ((RECT{256, 128, 768, 640}), frame);
    EXPECT_FALSE(IsIconic(s.display.Main_Window));
    EXPECT_EQ(s.display.Main_Window->ex_style & WS_EX_TOPMOST, 0u);
    // The client rectangle inside the frame: 512 - 2 x 4 wide, 512 - (4 + 20 + 4) high.
    EXPECT_EQ(std::pair(s.display.Client_Width, s.display.Client_Height), std::pair(504, 484));

    // 800 x 600 on a frameless window: s = 400, x = 200, y = 100, right = 600, bottom = 500.
    DestroyWindow(s.display.Main_Window);
    Desktop(800, 600, WS_POPUP, 0, 0, 10, 10);
    ASSERT_EQ(Centre_Window(s.display, s.display.Main_Window), 1);
    GetWindowRect(s.display.Main_Window, &frame);
    EXPECT_EQ((RECT{200, 100, 600, 500}), frame);
    EXPECT_EQ(std::pair(s.display.Client_Width, s.display.Client_Height), std::pair(400, 400));

    // An odd height truncates at each division: 701 x 501: s = 334, x = 183, y = 83,
    // right = (334 + 701) / 2 = 517, bottom = (334 + 501) / 2 = 417, so 334 x 334.
    DestroyWindow(s.display.Main_Window);
    Desktop(701, 501, WS_POPUP, 0, 0, 10, 10);
    ASSERT_EQ(Centre_Window(s.display, s.display.Main_Window), 1);
    GetWindowRect(s.display.Main_Window, &frame);
    EXPECT_EQ((RECT{183, 83, 517, 417}), frame);

    // Without a window there is no client rectangle.
    DestroyWindow(s.display.Main_Window);
    s.display.Main_Window = nullptr;
    EXPECT_EQ(Centre_Window(s.display, nullptr), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Centre_Window: GetClientRect FAILED"});

    // The desktop as the system reports it.
    Set_Headless_Desktop(800, 600, 16);
    int w = 0, h = 0, bpp = 0;
    EXPECT_EQ(Grab_Current_Screen_Dimensions(s.app, &w, &h, &bpp), 1);
    EXPECT_EQ(std::tuple(w, h, bpp), std::tuple(800, 600, 16));
}
