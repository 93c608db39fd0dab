#include "shell/window_style.h"

#include "diagnostics/diagnostics.h"
#include "platform/windows/windows.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "surface/display.h"
#include "session/session.h"

namespace {

// The cursor's show count goes up with every shown box and with the start-up's own show,
// so one decrement may leave it showing: hide and show down to and up from the threshold.
void Hide_Cursor() {
    while (ShowCursor(false) >= 0) {
    }
}

void Show_Cursor() {
    while (ShowCursor(true) < 0) {
    }
}

}  // namespace

int Switch_Window_Style(Session& s) {
    if (s.display.Window_Mode != WINDOWED) {
        // Full screen covers the monitor the window is on.
        const RECT monitor = Monitor_Of(s.display.Main_Window);
        SetMenu(s.display.Main_Window, nullptr);
        SetWindowStyle(s.display.Main_Window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
        SetWindowPos(s.display.Main_Window, HWND_TOPMOST_ID, monitor.left, monitor.top, s.display.Screen_Width, s.display.Screen_Height,
                     SWP_SHOWWINDOW);
        Hide_Cursor();
    } else {
        SetMenu(s.display.Main_Window, s.shell.App_Menu);
        SetWindowStyle(s.display.Main_Window, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
        SetWindowPos(s.display.Main_Window, HWND_NOTOPMOST_ID, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Centre_Window(s.display, s.display.Main_Window);
        SetCursor(s.app.Arrow_Cursor);
        Show_Cursor();
    }
    return 1;
}

int Maximise_Window(Display_Context& d) {
    d.Client_Width = d.Screen_Width;
    d.Client_Height = d.Screen_Height;
    const RECT monitor = Monitor_Of(d.Main_Window);
    SetMenu(d.Main_Window, nullptr);
    SetWindowStyle(d.Main_Window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    SetWindowPos(d.Main_Window, HWND_TOPMOST_ID, monitor.left, monitor.top, d.Screen_Width, d.Screen_Height, SWP_SHOWWINDOW);
    Hide_Cursor();
    return 1;
}

int Rebuild_Full_Screen(Session& s, const char* failure) {
    Shutdown(s);
    s.display.Window_Mode = FULLSCREEN;
    s.display.Client_Width = s.display.Screen_Width;
    s.display.Client_Height = s.display.Screen_Height;
    Switch_Window_Style(s);
    if (Setup(s)) return 1;
    Report_Error(s.app, failure);
    PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    return 0;
}

void Cover_Full_Screen_Mode(Session& s) {
    if (s.display.Screen_Width <= s.app.System_Width) return;
    if (IsZoomed(s.display.Main_Window)) Centre_Window(s.display, s.display.Main_Window);
    const RECT monitor = Monitor_Of(s.display.Main_Window);
    SetWindowPos(s.display.Main_Window, HWND_TOPMOST_ID, monitor.left, monitor.top, s.display.Screen_Width, s.display.Screen_Height, 0);
}
