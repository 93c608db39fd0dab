#include "shell/window_style.h"

#include "diagnostics/diagnostics.h"
#include "platform/windows/windows.h"
#include "shell/modes.h"
#include "surface/display.h"

int Switch_Window_Style() {
    if (Window_Mode != WINDOWED) {
        SetMenu(Main_Window, nullptr);
        SetWindowStyle(Main_Window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
        SetWindowPos(Main_Window, HWND_TOPMOST_ID, 0, 0, Screen_Width, Screen_Height, SWP_SHOWWINDOW);
        ShowCursor(false);
    } else {
        SetMenu(Main_Window, App_Menu);
        SetWindowStyle(Main_Window, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
        SetWindowPos(Main_Window, HWND_NOTOPMOST_ID, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Centre_Window(Main_Window);
        SetCursor(Arrow_Cursor);
        ShowCursor(true);
    }
    return 1;
}

int Maximise_Window() {
    Client_Width = Screen_Width;
    Client_Height = Screen_Height;
    SetMenu(Main_Window, nullptr);
    SetWindowStyle(Main_Window, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    SetWindowPos(Main_Window, HWND_TOPMOST_ID, 0, 0, Screen_Width, Screen_Height, SWP_SHOWWINDOW);
    ShowCursor(false);
    return 1;
}
