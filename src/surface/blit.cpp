#include "surface/blit.h"

#include <cstdint>

#include "diagnostics/diagnostics.h"
#include "surface/display.h"
#include "session/session.h"

namespace {

// Outcomes of the retry loop that are not platform codes (platform codes are <= 0).
constexpr HRESULT RESTORE_FAILED = 1;
constexpr HRESULT RETRIES_EXHAUSTED = 2;

bool Is_Bad(Surface surface) { return !surface || surface->IsLost() == DDERR_SURFACELOST; }

// Step 2 of every member: dest first, then source (whose handle value is quoted).
bool Surfaces_Usable(App& app, const char* name, Surface source, Surface dest) {
    if (Is_Bad(dest)) {
        Report_Errorf(app, "%s():FAILED due to BAD dest surface (either lost or NULL)\n", name);
        return false;
    }
    if (Is_Bad(source)) {
        Report_Errorf(app, "%s():FAILED due to BAD source %ld surface (either lost or NULL)\n", name,
                      static_cast<long>(reinterpret_cast<intptr_t>(source)));
        return false;
    }
    return true;
}

RECT Make_Rect(int x, int y, int w, int h) {
    RECT r;
    r.left = x;
    r.top = y;
    r.right = x + w;
    r.bottom = y + h;
    return r;
}

// Issues the platform call until it stops asking to be repeated: busy answers are
// repeated, a loss is repaired and repeated, both at most Surface_Retry_Limit times.
template <class Call>
HRESULT Issue(Display_Context& d, Call&& call) {
    for (int attempt = 0; attempt <= Surface_Retry_Limit; ++attempt) {
        const HRESULT result = call();
        if (result == DDERR_SURFACEBUSY || result == DDERR_WASSTILLDRAWING) continue;
        if (result == DDERR_SURFACELOST) {
            if (!Restore_All_Surfaces(d)) return RESTORE_FAILED;
            continue;
        }
        return result;
    }
    return RETRIES_EXHAUSTED;
}

// The common ending of the Blt members; other codes end in the member's default message.
template <class Report_Default>
int Finish(App& app, const char* name, HRESULT result, Report_Default&& report_default) {
    if (result == DD_OK) return 1;
    if (result == RESTORE_FAILED)
        Report_Errorf(app, "%s(): DDER_SURFACELOST and can't be restored", name);
    else if (result == DDERR_LOCKEDSURFACES)
        Report_Errorf(app, "%s(): DDERR_LOCKEDSURFACES I think you need to free a surface!", name);
    else
        report_default();
    return 0;
}

HRESULT Issue_Blt(Display_Context& d, Surface source, Surface dest, const RECT& from, const RECT& to, uint32_t flags,
                  uint32_t mirror) {
    DDBLTFX fx;
    fx.dwDDFX = mirror;
    return Issue(d, [&] { return dest->Blt(&to, source, &from, flags, &fx); });
}

// The default text shared by the members that quote (sx,sy) (dx,dy) w h.
void Report_Boundary(App& app, const char* name, int sx, int sy, int dx, int dy, int w, int h) {
    Report_Errorf(app, "%s(): DEFAULTblitting from (%d,%d)\nto (%d,%d)\nwidth = %d\nheight = %dPerhaps you have "
                  "crossed the surface boundary?",
                  name, sx, sy, dx, dy, w, h);
}

// `head` is the text up to "blitting": the two keyed members differ in a blank there.
void Report_Masked_Default(App& app, const char* head, Surface source, Surface dest, int sx, int sy, int dx, int dy, int w,
                           int h) {
    int source_w = 0, source_h = 0, dest_w = 0, dest_h = 0;
    Grab_Surface_Dimensions(app, source, &source_w, &source_h);
    Grab_Surface_Dimensions(app, dest, &dest_w, &dest_h);
    Report_Errorf(app, "%s from tl(%d,%d) br (%d,%d)\nto tl (%d,%d) br (%d,%d)\nwidth = %d\nheight = %dsource "
                  "dimension w %d h %d\ndest dimensions w%d h%d",
                  head, sx, sy, sx + w, sy + h, dx, dy, dx + w, dy + h, w, h, source_w, source_h, dest_w, dest_h);
}

}  // namespace

int Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Blit", source, dest)) return 0;
    const HRESULT result = Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height),
                                     Make_Rect(dx, dy, width, height), DDBLT_DDFX, 0);
    return Finish(d.app, "Blit", result, [&] { Report_Boundary(d.app, "Blit", sx, sy, dx, dy, width, height); });
}

int Clip_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    return Clip_Blit_Within(d, source, dest, sx, sy, dx, dy, width, height, d.Screen_Width, d.Screen_Height);
}

int Clip_Blit_Within(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                     int bound_width, int bound_height) {
    if (width <= 0 || height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Clip_Blit", source, dest)) return 0;
    if (!Clip_Rectangle(sx, sy, dx, dy, width, height, bound_width, bound_height)) return 1;
    const HRESULT result =
        Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height), Make_Rect(dx, dy, width, height), 0, 0);
    return Finish(d.app, "Clip_Blit", result, [&] {
        switch (result) {
        case DDERR_INVALIDRECT:
            Report_Error(d.app, "Clip_Blit(): DDERR_INVALIDRECT ");
            break;
        case DDERR_INVALIDPARAMS:
            Report_Error(d.app, "Clip_Blit(): DDERR_INVALIDPARAMS ");
            break;
        case DDERR_UNSUPPORTED:
            Report_Error(d.app, "Clip_Blit(): DDERR_UNSUPPORTED ");
            break;
        case DDERR_INVALIDCLIPLIST:
            Report_Error(d.app, "Clip_Blit(): DDERR_INVALIDCLIPLIST");
            break;
        case DDERR_INVALIDOBJECT:
            Report_Error(d.app, "Clip_Blit(): DDERR_INVALIDOBJECT");
            break;
        case DDERR_NOCLIPLIST:
            Report_Error(d.app, "Clip_Blit(): DDERR_NOCLIPLIST ");
            break;
        case DDERR_GENERIC:
            Report_Errorf(d.app, "Clip_Blit(): GENERIC blitting from source x,y (%d,%d) to dest x,y (%d,%d) width = %d "
                          "height = %d",
                          sx, sy, dx, dy, width, height);
            break;
        default:
            Report_Errorf(d.app, "Clip_Blit(): DEFAULT blitting from source x,y (%d,%d) to dest x,y (%d,%d) width = %d "
                          "height = %d",
                          sx, sy, dx, dy, width, height);
            break;
        }
    });
}

int Masked_Clip_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Masked_Clip_Blit", source, dest)) return 0;
    if (!Clip_Rectangle(sx, sy, dx, dy, width, height, d.Screen_Width, d.Screen_Height)) return 1;
    const HRESULT result = Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height),
                                     Make_Rect(dx, dy, width, height), DDBLT_KEYSRC | DDBLT_DDFX, 0);
    return Finish(d.app, "Masked_Clip_Blit", result, [&] {
        Report_Masked_Default(d.app, "Masked_Clip_Blit(): DEFAULT blitting", source, dest, sx, sy, dx, dy, width, height);
    });
}

int Masked_Clip_Blit_Ex(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                        int clip_width, int clip_height) {
    if (width <= 0 || height <= 0 || clip_width <= 0 || clip_height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Masked_Clip_Blit_Ex", source, dest)) return 0;
    if (!Clip_Rectangle(sx, sy, dx, dy, width, height, clip_width, clip_height)) return 1;
    const HRESULT result = Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height),
                                     Make_Rect(dx, dy, width, height), DDBLT_KEYSRC | DDBLT_DDFX, 0);
    return Finish(d.app, "Masked_Clip_Blit_Ex", result, [&] {
        Report_Masked_Default(d.app, "Masked_Clip_Blit_Ex(): DEFAULTblitting", source, dest, sx, sy, dx, dy, width, height);
    });
}

int Clip_V_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Clip_V_Blit", source, dest)) return 0;
    if (!Clip_Rectangle(sx, sy, dx, dy, width, height, d.Screen_Width, d.Screen_Height)) return 1;
    const HRESULT result = Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height),
                                     Make_Rect(dx, dy, width, height), DDBLT_DDFX, DDBLTFX_MIRRORUPDOWN);
    return Finish(d.app, "Clip_V_Blit", result,
                  [&] { Report_Boundary(d.app, "Clip_V_Blit", sx, sy, dx, dy, width, height); });
}

int Clip_H_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Clip_H_Blit", source, dest)) return 0;
    if (!Clip_Rectangle(sx, sy, dx, dy, width, height, d.Screen_Width, d.Screen_Height)) return 1;
    const HRESULT result = Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height),
                                     Make_Rect(dx, dy, width, height), DDBLT_DDFX, DDBLTFX_MIRRORLEFTRIGHT);
    return Finish(d.app, "Clip_H_Blit", result,
                  [&] { Report_Boundary(d.app, "Clip_H_Blit", sx, sy, dx, dy, width, height); });
}

int Masked_H_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Masked_H_Blit", source, dest)) return 0;
    if (!Clip_Rectangle(sx, sy, dx, dy, width, height, d.Screen_Width, d.Screen_Height)) return 1;
    const HRESULT result =
        Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height), Make_Rect(dx, dy, width, height),
                  DDBLT_KEYSRC | DDBLT_DDFX, DDBLTFX_MIRRORLEFTRIGHT);
    return Finish(d.app, "Masked_H_Blit", result,
                  [&] { Report_Boundary(d.app, "Masked_H_Blit", sx, sy, dx, dy, width, height); });
}

int Stretch_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height,
                 int dest_width, int dest_height) {
    if (width <= 0 || height <= 0 || dest_width <= 0 || dest_height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Stretch_Blit", source, dest)) return 0;
    const HRESULT result = Issue_Blt(d, source, dest, Make_Rect(sx, sy, width, height),
                                     Make_Rect(dx, dy, dest_width, dest_height), DDBLT_DDFX, 0);
    return Finish(d.app, "Stretch_Blit", result, [&] {
        Report_Errorf(d.app, "Stretch_Blit(): DEFAULTblitting from tl(%d,%d); br (%d,%d)\nto lt(%d,%d); br "
                      "(%d,%d)\nsource width = %d\nsource height = %d\ndest_width = %d\ndest_height = "
                      "%dPerhaps you have crossed the surface boundary?",
                      sx, sy, sx + width, sy + height, dx, dy, dx + dest_width, dy + dest_height, width, height,
                      dest_width, dest_height);
    });
}

int Fast_Blit(Display_Context& d, Surface source, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (!Surfaces_Usable(d.app, "Fast_Blit", source, dest)) return 0;
    const RECT s = Make_Rect(sx, sy, width, height);
    const HRESULT result = Issue(d, [&] { return dest->BltFast(dx, dy, source, &s, DDBLTFAST_NOCOLORKEY); });
    switch (result) {
    case DD_OK:
        return 1;
    case RESTORE_FAILED:
        Report_Error(d.app, "Fast_Blit(): DDER_SURFACELOST \n surface can't be restored");
        break;
    case DDERR_LOCKEDSURFACES:
        Report_Error(d.app, "Fast_Blit(): DDERR_LOCKEDSURFACES \n I think you need to free a surface!");
        break;
    case DDERR_UNSUPPORTED:
        Report_Error(d.app, "Fast_Blit(): DDERR_UNSUPPORTED \n Cannot Blit to Clipped Surface");
        break;
    default:
        Report_Errorf(d.app, "Fast_Blit(): DEFAULT blitting from (%d,%d)\nto (%d,%d)\nwidth = %d\nheight = %dPerhaps "
                      "you have crossed the surface boundary?",
                      sx, sy, dx, dy, width, height);
        break;
    }
    return 0;
}

int Wait_For_Blitter(Display_Context& d, Surface surface) {
    if (!surface) return 0;
    for (int attempt = 0; attempt <= Surface_Retry_Limit; ++attempt) {
        switch (surface->GetBltStatus(DDGBS_ISBLTDONE)) {
        case DD_OK:
            return 1;
        case DDERR_INVALIDOBJECT:
            Report_Error(d.app, "Wait_For_Blitter(): DDERR_INVALIDOBJECT \n");
            return 0;
        case DDERR_UNSUPPORTED:
            Report_Error(d.app, "Wait_For_Blitter(): DDERR_UNSUPPORTED");
            return 0;
        case DDERR_INVALIDPARAMS:
            Report_Error(d.app, "Wait_For_Blitter(): DDERR_INVALIDPARAMS \n");
            return 0;
        case DDERR_NOBLTHW:
            Report_Error(d.app, "Wait_For_Blitter(): DDERR_NOBLTHW \n This system has no blitter hardware.\nWhere's the "
                         "video card?");
            return 0;
        case DDERR_SURFACELOST:
            if (!Restore_All_Surfaces(d)) {
                Report_Error(d.app, "Wait_For_Blitter(): DDER_SURFACELOST \n surface can't be restored");
                return 0;
            }
            break;
        default:
            break;
        }
    }
    Report_Error(d.app, "Wait_For_Blitter(): retry limit reached");
    return 0;
}

// Cuts the destination rectangle to bound_w x bound_h. The source origin moves only for a
// left or top cut. Returns false when nothing is left to draw.
bool Clip_Rectangle(int& sx, int& sy, int& dx, int& dy, int& w, int& h, int bound_w, int bound_h) {
    // 64-bit sums: callers may pass rectangles far outside the screen.
    if (dx < 0) {
        const int64_t left = static_cast<int64_t>(w) + dx;
        if (left <= 0) return false;
        sx = static_cast<int>(static_cast<int64_t>(sx) - dx);
        w = static_cast<int>(left);
        dx = 0;
    }
    if (static_cast<int64_t>(dx) + w >= bound_w) {
        const int64_t over = static_cast<int64_t>(dx) + w - bound_w;
        if (over >= w) return false;
        w = static_cast<int>(w - over);
    }
    if (dy < 0) {
        const int64_t left = static_cast<int64_t>(h) + dy;
        if (left <= 0) return false;
        sy = static_cast<int>(static_cast<int64_t>(sy) - dy);
        h = static_cast<int>(left);
        dy = 0;
    }
    if (static_cast<int64_t>(dy) + h >= bound_h) {
        const int64_t over = static_cast<int64_t>(dy) + h - bound_h;
        if (over >= h) return false;
        h = static_cast<int>(h - over);
    }
    return true;
}
