#include "kaleidoscope/kaleidoscope.h"

#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "plasma/plasma.h"
#include "platform/gdi/gdi.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "slides/slides.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"


namespace {

// A quarter turn as the drawing has always used it: slightly short of pi/2.
constexpr float Quarter_Turn = 1.57f;

const Once_Log setup_log, shutdown_log, draw_log;

bool Is_Lost(Surface surface) { return surface != nullptr && surface->IsLost() != DD_OK; }

// The stamp's key makes its black half transparent at 8 bits and its white half elsewhere.
uint32_t Stamp_Colour_Key(Surface stamp) {
    switch (stamp->pixel_format().kind) {
    case Pixel_Kind::Index8: return 0;
    case Pixel_Kind::Rgb555: return 0x7FFF7FFF;
    default: return 0x00FFFFFF;
    }
}

}  // namespace

int Kaleidoscope_Segment_Size(Session& s) {
    const int limit = (s.display.Screen_Height / 32) * 16;
    const int size = std::min(s.Plasma_Settings.granularity, limit);
    return size <= 80 ? 80 : size;
}

int Setup_Kaleidoscope(Session& s, int /*width*/, int /*height*/) {
    setup_log.enter(s.app, "Entering Setup_Kaleidoscope");
    if (s.kaleidoscope.Scope_Rotated_90 != nullptr || s.kaleidoscope.Triangle_Stamp != nullptr) {
        Report_Error(s.app, "Setup_Kaleidoscope(): Scope_Rotated_90 && Triangle_Stamp should be NULL");
        return 0;
    }
    const int k = Kaleidoscope_Segment_Size(s);
    s.kaleidoscope.Kaleidoscope_Size = k;
    int rotated_width = 0, rotated_height = 0;
    Get_Rotated_Dimensions(k, k, &rotated_width, &rotated_height, Quarter_Turn);
    if (!Create_SYSTEM_Surface(s.display, &s.kaleidoscope.Scope_Rotated_90, rotated_width, rotated_height)) {
        Report_Errorf(s.app, " Setup_Kaleidoscope():\n\nCreate Surface FAILED\nwidth %d height %d", rotated_width,
                      rotated_height);
        return 0;
    }
    if (!Create_Triangle_Stamp(s, k, k)) {
        Report_Errorf(s.app, " Setup_Kaleidoscope():\n\nCreate_Triangle_Stamp FAILED\nwidth %d height %d", k, k);
        return 0;
    }
    Modify_Plasma(s, Plasma_Parameter::Plasma_Width, static_cast<float>(k), 0);
    Modify_Plasma(s, Plasma_Parameter::Plasma_Height, static_cast<float>(k), 1);
    s.kaleidoscope.kaleidoscope_rebuild_pending = 1;
    s.kaleidoscope.kaleidoscope_active = 1;
    s.Plasma_Settings.kaleidoscope_on = 1;
    setup_log.exit(s.app, "Exitting Setup_Kaleidoscope");
    return 1;
}

void Shutdown_Kaleidoscope(Session& s) {
    shutdown_log.enter(s.app, "Entering Shutdown_Kaleidoscope");
    Release_Surface(&s.kaleidoscope.Triangle_Stamp);
    Release_Surface(&s.kaleidoscope.Scope_Rotated_90);
    s.kaleidoscope.kaleidoscope_active = 0;
    shutdown_log.exit(s.app, "Exitting Shutdown_Kaleidoscope");
}

int Create_Triangle_Stamp(Session& s, int width, int height) {
    if (!Create_SYSTEM_Surface(s.display, &s.kaleidoscope.Triangle_Stamp, width, height)) {
        Report_Errorf(s.app, " Create_Triangle_Stamp():\n\nCreate Surface FAILED\nwidth %d height %d", width, height);
        return 0;
    }
    HDC dc = nullptr;
    if (s.kaleidoscope.Triangle_Stamp->GetDC(&dc) != DD_OK) {
        Report_Error(s.app, "Create_Triangle_Stamp()\n\n Unable to Acquire device context from surface");
        return 0;
    }
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    HGDIOBJ old_brush = SelectObject(dc, brush);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    const POINT corners[3] = {{0, 0}, {width, height}, {0, height}};
    Polygon(dc, corners, 3);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    s.kaleidoscope.Triangle_Stamp->ReleaseDC(dc);
    DeleteObject(brush);
    DeleteObject(pen);

    // One lock, as the set-up has always made (it sets Pixel_Format_565); the key follows the
    // stamp's own format.
    if (uint8_t* pixels = Lock_Surface(s.display, s.kaleidoscope.Triangle_Stamp)) Unlock_Surface(s.kaleidoscope.Triangle_Stamp, pixels);
    return Set_Transparency(s.app, s.kaleidoscope.Triangle_Stamp, Stamp_Colour_Key(s.kaleidoscope.Triangle_Stamp)) ? 1 : 0;
}

int Erase_White_Triangle(App& app, Surface surface, int x, int y, int width, int height) {
    HDC dc = nullptr;
    if (surface == nullptr || surface->GetDC(&dc) != DD_OK) {
        Report_Error(app, "Create_Triangle_Stamp()\n\n Unable to Acquire device context from surface");
        return 0;
    }
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    const POINT corners[3] = {{x, y}, {x + width, y + height}, {x, y + height}};
    Polygon(dc, corners, 3);
    SelectObject(dc, old_brush);
    surface->ReleaseDC(dc);
    return 1;
}

int Restore_All_Scope_Surfaces(Session& s) {
    if (!Is_Lost(s.kaleidoscope.Scope_Rotated_90) && !Is_Lost(s.kaleidoscope.Triangle_Stamp)) return 1;
    Shutdown_Kaleidoscope(s);
    s.kaleidoscope.kaleidoscope_active = 1;
    if (!Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height)) {
        Report_Error(s.app, "Restore_All_Scope_Surfaces(): Setup_Kaleidoscope FAILED");
        return 0;
    }
    return 1;
}

int Draw_Kaleidoscope(Session& s, Surface dest, int /*width*/, int /*height*/) {
    draw_log.enter(s.app, "Entering Draw_Kaleidoscope");
    if (s.kaleidoscope.kaleidoscope_active == 0) return 1;
    if (dest == nullptr || (Is_Lost(dest) && !Restore_All_Surfaces(s.display))) {
        Report_Error(s.app, "Draw_Kaleidoscope(): NULL or LOST DEST");
        return 0;
    }
    if (!Restore_All_Scope_Surfaces(s)) {
        Report_Error(s.app, "Draw_Kaleidoscope(): Restore_All_Scope_Surfaces FAILED");
        return 0;
    }
    if (s.kaleidoscope.kaleidoscope_rebuild_pending) {
        Shutdown_Kaleidoscope(s);
        if (!Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height)) {
            Report_Error(s.app, "Draw_Kaleidoscope(): Setup_Kaleidoscope FAILED");
            return 0;
        }
        s.kaleidoscope.kaleidoscope_rebuild_pending = 0;
    }
    const int k = s.kaleidoscope.Kaleidoscope_Size;

    if (!Draw_Slides(s, dest, 0, 0) && !Draw_Plasma(s, dest, 0, 0)) {
        Report_Error(s.app, "Draw_Kaleidoscope():\n\nUnable to draw plasma");
        return 0;
    }
    if (!Masked_Clip_Blit(s.display, s.kaleidoscope.Triangle_Stamp, dest, 0, 0, 0, 0, k, k)) {
        Report_Error(s.app, "Draw_Kaleidoscope():\n\nUnable to Stamp out half the plasma");
        return 0;
    }
    const bool palette = s.display.Screen_Bpp == 8;
    if (palette && !Erase_White_Triangle(s.app, dest, 0, 0, k, k)) {
        Report_Error(s.app, "Draw_Kaleidoscope(): Erase_White_Triangle FAILED");
        return 0;
    }
    int rotated_width = 0, rotated_height = 0;
    if (!Rotate_Surface_Ex(s.display, dest, s.kaleidoscope.Scope_Rotated_90, k, k, &rotated_width, &rotated_height, Quarter_Turn, 0, 0, 0,
                           0)) {
        Report_Error(s.app, "Draw_Kaleidoscope():\n\nUnable to rotate quadrant 1 90 ");
        return 0;
    }
    // The mirrored copy lands one pixel down; at 8 bits one right and one up.
    const int mirror_x = palette ? 1 : 0;
    const int mirror_y = palette ? -1 : 1;
    if (!Masked_H_Blit(s.display, s.kaleidoscope.Scope_Rotated_90, dest, 0, 0, mirror_x, mirror_y, k + 1, k + 1)) {
        Report_Error(s.app, "Draw_Kaleidoscope():\n\nUnable to h flip rotated 90 onto quadrant 2");
        return 0;
    }
    if (!Clip_H_Blit(s.display, dest, dest, 0, 0, k, 0, k, k)) {
        Report_Error(s.app, "Draw_Kaleidoscope():\n\nUnable to h flip quadrants 1 & 2 to 3 & 4");
        return 0;
    }
    if (!Clip_V_Blit(s.display, dest, dest, 0, 0, 0, k, 2 * k, k)) {
        Report_Error(s.app, "Draw_Kaleidoscope():\n\nUnable to v flip quads 1,2,3,4 to 5,6,7,8");
        return 0;
    }
    draw_log.exit(s.app, "Exitting Draw_Kaleidoscope");
    return 1;
}

int Stretch_Kaleidoscope(Session& s, Surface source, Surface dest) {
    if (source == nullptr || dest == nullptr) {
        Report_Error(s.app, "Stretch_Kaleidoscope(): NULL source or dest");
        return 0;
    }
    if (Is_Lost(source) || (Is_Lost(dest) && !Restore_All_Surfaces(s.display))) {
        Report_Error(s.app, "Stretch_Kaleidoscope():Either source or dest is lost");
        return 0;
    }
    const int pattern = 2 * (s.kaleidoscope.Kaleidoscope_Size > 0 ? s.kaleidoscope.Kaleidoscope_Size : Kaleidoscope_Segment_Size(s));
    const auto wait_for_blank = [&s] {
        if (s.display.Wait_For_Vsync && s.display.Direct_Draw_Interface != nullptr)
            s.display.Direct_Draw_Interface->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
    };

    if (s.display.Window_Mode != WINDOWED) {
        wait_for_blank();
        if (s.Plasma_Settings.kaleidoscope_stretch != 0) {
            return Stretch_Blit(s.display, source, dest, 0, 0, 0, 0, pattern, pattern, s.display.Screen_Width, s.display.Screen_Height) ? 1 : 0;
        }
        return Clip_Blit(s.display, source, dest, 0, 0, (s.display.Screen_Width - pattern) / 2, (s.display.Screen_Height - pattern) / 2, pattern,
                         pattern)
                   ? 1
                   : 0;
    }

    RECT client;
    if (!GetClientRect(s.display.Main_Window, &client)) {
        Report_Error(s.app, "Stretch Kaleidoscope(): GetClientRect FAILED");
        return 0;
    }
    POINT corner{client.left, client.top};
    ClientToScreen(s.display.Main_Window, &corner);
    const int width = std::min(client.right - client.left, s.display.Screen_Width);
    const int height = std::min(client.bottom - client.top, s.display.Screen_Height);
    if (width >= 1 && height >= 1) {
        wait_for_blank();
        return Stretch_Blit(s.display, source, dest, 0, 0, corner.x, corner.y, pattern, pattern, width, height) ? 1 : 0;
    }
    return 1;
}
