#include "scope/scope.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "platform/system/system.h"
#include "presets/plasma_settings.h"
#include "surface/bitmap.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "session/session.h"


namespace {

// The mask's white opening is its colour key, so only the black part lands on the frame.
uint32_t Scope_Colour_Key(Surface mask) {
    return mask->pixel_format().kind == Pixel_Kind::Rgb555 ? 0x7FFF7FFF : 0x00FFFFFF;
}

}  // namespace

int Setup_Scope(Session& s, int width, int height, int shape) {
    if (s.display.Screen_Bpp == 8) {
        Show_Status_Message(s, "The scope does not function in 256 colour mode");
        return 0;
    }
    if (s.scope.Scope_Surface != nullptr) {
        Report_Error(s.app, "Setup_Scope(): Scope Surface should be NULL");
        return 0;
    }
    if (shape == -1) shape = s.scope.last_scope_shape;

    int sw = 0, sh = 0;
    if (s.Plasma_Settings.kaleidoscope_on) {
        sw = 2 * s.Plasma_Settings.plasma_width;
        sh = 2 * s.Plasma_Settings.plasma_height;
    } else {
        sw = std::min(width, s.display.Screen_Width);
        sh = std::min(height, s.display.Screen_Height);
    }
    if (sw <= 16) sw = 16;
    if (sh <= 16) sh = 16;

    if (!Create_SYSTEM_Surface(s.display, &s.scope.Scope_Surface, sw, sh)) {
        Report_Errorf(s.app, " Setup_Scope():\n\nCreate Surface FAILED\nwidth %d height %d", sw, sh);
        return 0;
    }
    if (shape == SCOPE_CUSTOM) {
        if (!Load_Custom_Scope(s, s.scope.Scope_Surface, sw, sh)) {
            Report_Error(s.app, "Setup_Scope: Load Custom_Scope FAILED");
            return 0;
        }
    } else if (!Draw_GDI_Scope(s, sw, sh, shape)) {
        Report_Error(s.app, "Setup_Scope: Draw_GDI_Scope FAILED");
        return 0;
    }

    // One lock, as the set-up has always made (it sets Pixel_Format_565); the key follows the
    // surface's own format.
    if (uint8_t* pixels = Lock_Surface(s.display, s.scope.Scope_Surface)) Unlock_Surface(s.scope.Scope_Surface, pixels);
    Set_Transparency(s.app, s.scope.Scope_Surface, Scope_Colour_Key(s.scope.Scope_Surface));

    s.scope.Scope_Width = sw;
    s.scope.Scope_Height = sh;
    s.scope.last_scope_shape = shape;
    s.Plasma_Settings.scope_shape = shape;
    s.scope.scope_active = 1;
    s.Plasma_Settings.scope_on = 1;
    return 1;
}

int Draw_GDI_Scope(Session& s, int w, int h, int shape) {
    HDC dc = nullptr;
    if (s.scope.Scope_Surface == nullptr || s.scope.Scope_Surface->GetDC(&dc) != DD_OK) {
        Report_Error(s.app, "Draw_GDI_Scope()\n\n Unable to Acquire device context from surface");
        return 0;
    }
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    HGDIOBJ old_brush = SelectObject(dc, brush);
    HGDIOBJ old_pen = SelectObject(dc, pen);

    switch (shape) {
    case SCOPE_CIRCLE:
        if (s.Plasma_Settings.kaleidoscope_on && s.display.Screen_Width > 0) {
            // The square pattern is stretched to the screen later, which turns this into a circle.
            const int d = s.display.Screen_Height * w / s.display.Screen_Width;
            Ellipse(dc, (w - d) / 2, 0, (d + w) / 2, h);
        } else {
            const int d = std::min(w, h);
            Ellipse(dc, (w - d) / 2, (h - d) / 2, (d + w) / 2, (d + h) / 2);
        }
        break;
    case SCOPE_ELLIPSE:
        Ellipse(dc, 0, 0, w, h);
        break;
    case SCOPE_DIAMOND: {
        const POINT corners[4] = {{w / 2, 0}, {w - 1, h / 2}, {w / 2, h - 1}, {0, h / 2}};
        Polygon(dc, corners, 4);
        break;
    }
    case SCOPE_STAR: {
        // Both insets come from the height, also the horizontal one.
        const POINT up[3] = {{w / 2, h / 32}, {w - h / 8, h - 2 * h / 8}, {h / 8, h - 2 * h / 8}};
        const POINT down[3] = {{w - h / 8, 2 * h / 8}, {w / 2, h - h / 32}, {h / 8, 2 * h / 8}};
        Polygon(dc, up, 3);
        Polygon(dc, down, 3);
        break;
    }
    default:
        break;
    }

    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    s.scope.Scope_Surface->ReleaseDC(dc);
    DeleteObject(pen);
    DeleteObject(brush);
    return 1;
}

int Load_Custom_Scope(Session& s, Surface surface, int width, int height) {
    int bitmap_width = 0, bitmap_height = 0;
    Surface bitmap = Load_SYSTEM_Bitmap(s.display, s.Plasma_Settings.custom_overlay_path, &bitmap_width, &bitmap_height);
    if (bitmap == nullptr) {
        Report_Errorf(s.app, "Load_Custom_Scope():Load_SYSTEM_Bitmap %s FAILED", s.Plasma_Settings.custom_overlay_path);
        return 0;
    }
    const int stretched =
        Stretch_Blit(s.display, bitmap, surface, 0, 0, 0, 0, bitmap_width, bitmap_height, width, height);
    if (!stretched) Report_Error(s.app, "Load_Custom_Scope(): Stretch_Blit FAILED");
    Release_Surface(&bitmap);
    return stretched ? 1 : 0;
}

int Draw_Scope(Session& s, Surface dest, int x, int y) {
    if (s.scope.scope_active == 0) return 1;
    if (s.scope.Scope_Surface == nullptr || s.scope.Scope_Surface->IsLost() != DD_OK) {
        Shutdown_Scope(s);
        if (!Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, s.scope.last_scope_shape)) {
            Report_Error(s.app, "Draw_Scope(): Setup_Scope FAILED");
            return 0;
        }
    }
    if (!Masked_Clip_Blit(s.display, s.scope.Scope_Surface, dest, 0, 0, x, y, s.scope.Scope_Width, s.scope.Scope_Height)) {
        Report_Error(s.app, "Draw_Scope():\n\nMasked_Clip_Blit FAILED");
        return 0;
    }
    return 1;
}

int Shutdown_Scope(Session& s) {
    Release_Surface(&s.scope.Scope_Surface);
    s.scope.scope_active = 0;
    s.Plasma_Settings.scope_on = 0;
    return 1;
}

int Choose_Custom_Overlay(Session& s) {
    char windows[PATH_BUFFER_SIZE] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    char folder[PATH_BUFFER_SIZE] = {};
    const int folder_length = std::snprintf(folder, sizeof folder, "%s\\Mirravane\\Data\\Bmp\\Overlays\\", windows);
    if (folder_length < 0 || static_cast<size_t>(folder_length) >= sizeof folder) {
        Report_Errorf(s.app, "Open File folder %s filename %s title name %s FAILED", folder, s.scope.overlay_name, s.scope.overlay_title);
        return 0;
    }

    if (!s.link->choose_file(s, File_Choice::Open_Bitmap, folder, s.scope.overlay_name, s.scope.overlay_title)) {
        Report_Errorf(s.app, "Open File folder %s filename %s title name %s FAILED", folder, s.scope.overlay_name, s.scope.overlay_title);
        return 0;
    }
    // The record's field is short: a path cut to fit would name another file, so the preset
    // keeps the one it had.
    const size_t length = std::strlen(s.scope.overlay_name);
    if (length >= sizeof s.Plasma_Settings.custom_overlay_path) {
        Report_Errorf(s.app, "Custom overlay path too long: %s", s.scope.overlay_name);
        return 0;
    }
    std::memcpy(s.Plasma_Settings.custom_overlay_path, s.scope.overlay_name, length + 1);
    return 1;
}
