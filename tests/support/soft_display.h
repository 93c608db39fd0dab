// A display session on the software display service for tests that draw: a main window,
// the screen globals, Visible and Hidden. Released again when the object goes.
#pragma once

#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/windows/windows.h"
#include "surface/display.h"
#include "session/session.h"
#include "surface/surface.h"

class Soft_Display {
public:
    Soft_Display(Session& session, int width, int height, int bpp, bool fullscreen = true, bool format_16_is_565 = true)
        : s(session) {
        Reset_Display_Service();
        Display_Settings().format_16_is_565 = format_16_is_565;
        Display_Settings().desktop_width = width;
        Display_Settings().desktop_height = height;
        Display_Settings().desktop_bpp = bpp;
        Attach_Window(s, Create_Window("Mirravane", WS_POPUP | WS_VISIBLE, 0, 0, 0, width, height, nullptr, nullptr,
                                       nullptr, &s));
        s.display.Screen_Width = width;
        s.display.Screen_Height = height;
        s.display.Screen_Bpp = bpp;
        s.display.Client_Width = width;
        s.display.Client_Height = height;
        ok_ = fullscreen ? Setup_Direct_Draw(s.display, width, height, bpp) == 1
                         : Setup_Windowed_Direct_Draw(s.display, width, height, bpp, 1) == 1;
    }
    ~Soft_Display() {
        Release_Direct_Draw(s.display);
        DestroyWindow(s.display.Main_Window);
        s.display.Main_Window = nullptr;
    }
    Soft_Display(const Soft_Display&) = delete;
    Soft_Display& operator=(const Soft_Display&) = delete;

    bool ok() const { return ok_; }

private:
    Session& s;
    bool ok_ = false;
};
