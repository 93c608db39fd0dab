#include "shell/window_style.h"

#include "diagnostics/diagnostics.h"
#include "platform/windows/windows.h"
#include "shell/modes.h"
#include "surface/display.h"

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

int Switch_Window_Style() {
    if (Window_Mode != WINDOWED) {
        SetMenu(Main_Window, nullptr);
        SetWindowStyle(Main_Window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
        SetWindowPos(Main_Window, HWND_TOPMOST_ID, 0, 0, Screen_Width, Screen_Height, SWP_SHOWWINDOW);
        Hide_Cursor();
    } else {
        SetMenu(Main_Window, App_Menu);
        SetWindowStyle(Main_Window, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
        SetWindowPos(Main_Window, HWND_NOTOPMOST_ID, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Centre_Window(Main_Window);
        SetCursor(Arrow_Cursor);
        Show_Cursor();
    }
    return 1;
}

int Maximise_Window() {
    Client_Width = Screen_Width;
    Client_Height = Screen_Height;
    SetMenu(Main_Window, nullptr);
    SetWindowStyle(Main_Window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    SetWindowPos(Main_Window, HWND_TOPMOST_ID, 0, 0, Screen_Width, Screen_Height, SWP_SHOWWINDOW);
    Hide_Cursor();
    return 1;
}
