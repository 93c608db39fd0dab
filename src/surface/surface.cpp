#include "surface/surface.h"

#include <cstring>

#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "surface/display.h"
#include "session/session.h"


namespace {


// The one description record that every lock fills.

constexpr uint32_t SYSTEM_CAPS = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
constexpr uint32_t VIDEO_CAPS = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;

// The figure the creation messages quote: bits x 2 held in 32 bits, scaled to "megabytes".
double Megabytes_For(Display_Context& d, int width, int height) {
    const int64_t bits = static_cast<int64_t>(d.Screen_Bpp) * width * height * 2;
    const int32_t as_int = static_cast<int32_t>(static_cast<uint32_t>(bits));
    return as_int * 0.0001220703125 * 0.001;
}

// Reports a failed creation; `name` is "Create_Surface" or "Create_SYSTEM_Surface".
void Report_Create_Failure(App& app, const char* name, HRESULT code, int width, int height, double megabytes) {
    switch (code) {
    case DDERR_NOCOOPERATIVELEVELSET:
        Report_Errorf(app, "%s()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without the \n"
                      "IDirectDraw4::SetCooperativeLevel method being called. ",
                      name);
        break;
    case DDERR_OUTOFMEMORY:
        Report_Errorf(app, "%s()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to perform the "
                      "operation\nat least %.3lf MB required",
                      name, megabytes);
        break;
    case DDERR_INVALIDPARAMS:
        Report_Errorf(app, "%s()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the method are "
                      "incorrect.",
                      name);
        break;
    case DDERR_INVALIDCAPS:
        Report_Errorf(app, "%s()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to the callback "
                      "function are incorrect.",
                      name);
        break;
    case DDERR_OUTOFVIDEOMEMORY:
        Report_Errorf(app, "%s()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display memory\n to "
                      "perform the operation. Cannot create surface\nwidth = %d\nheight = %dN.B. Some video "
                      "cards do not support\nVIDEOMEMORY surfaces\nthat are wider than the primary "
                      "surface\nat least %.3lf MB required",
                      name, width, height, megabytes);
        break;
    default:
        Report_Errorf(app, "%s():DEFAULT\nCannot create surface\nwidth = %d\nheight = %dN.B. Some video cards do "
                      "not support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least "
                      "%.3lf MB required",
                      name, width, height, megabytes);
        break;
    }
}

HRESULT Request_Surface(Display_Context& d, Surface* out, uint32_t caps, int width, int height) {
    DDSURFACEDESC2 desc{};
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwCaps = caps;
    desc.dwWidth = static_cast<uint32_t>(width);
    desc.dwHeight = static_cast<uint32_t>(height);
    return d.Direct_Draw_Interface->CreateSurface(&desc, out);
}

}  // namespace

int Create_Surface(Display_Context& d, Surface* out, int width, int height) {
    static const Once_Log once;
    once.enter(d.app, "Entering Create_Surface");

    uint32_t total = 0, free = 0;
    if (!Get_Available_Video_Memory(d, &total, &free)) {
        Report_Error(d.app, "Create_Surface():Unable to determine available video memory");
        return 0;
    }
    const double megabytes = Megabytes_For(d, width, height);
    const int64_t needed = (static_cast<int64_t>(d.Screen_Bpp) * width * height) / 8;

    uint32_t caps = VIDEO_CAPS;
    if ((width > d.Screen_Width && !Supports_Wide_Surfaces(d)) || static_cast<int64_t>(free) < needed) {
        Report_Error(d.app, "Create Surface(): Out of VIDEOMEM: Loading surface to SYSTEM");
        caps = SYSTEM_CAPS;
    }

    const HRESULT result = Request_Surface(d, out, caps, width, height);
    if (result != DD_OK) {
        Report_Create_Failure(d.app, "Create_Surface", result, width, height, megabytes);
        return 0;
    }
    if (!Clear(d, *out)) {
        Report_Error(d.app, "Create_Surface(): Clear FAILED");
        return 0;
    }
    if (!Set_Transparency(d.app, *out, 0)) {
        Report_Error(d.app, "Create_Surface(): Set Transparency FAILED");
        return 0;
    }
    once.exit(d.app, "Exitting Create_Surface");
    return 1;
}

int Create_SYSTEM_Surface(Display_Context& d, Surface* out, int width, int height) {
    static const Once_Log once;
    once.enter(d.app, "Entering Create_SYSTEM_Surface");

    if (*out) {
        Report_Error(d.app, "Create_SYSTEM_Surface(): surface_to_create should be NULL");
        return 0;
    }
    const double megabytes = Megabytes_For(d, width, height);
    if (!d.Direct_Draw_Interface) {
        Report_Create_Failure(d.app, "Create_SYSTEM_Surface", DDERR_GENERIC, width, height, megabytes);
        return 0;
    }
    const HRESULT result = Request_Surface(d, out, SYSTEM_CAPS, width, height);
    if (result != DD_OK) {
        Report_Create_Failure(d.app, "Create_SYSTEM_Surface", result, width, height, megabytes);
        return 0;
    }
    if (!Clear(d, *out)) {
        Report_Error(d.app, "Create_SYSTEM_Surface(): Clear FAILED");
        return 0;
    }
    if (!Set_Transparency(d.app, *out, 0)) {
        Report_Error(d.app, "Create_SYSTEM_Surface(): Set Transparency FAILED");
        return 0;
    }
    once.exit(d.app, "Exitting Create_SYSTEM_Surface");
    return 1;
}

int Set_Transparency(App& app, Surface surface, uint32_t key) {
    if (!surface || surface->SetColorKey(DDCKEY_SRCBLT, key, key) != DD_OK) {
        Report_Error(app, "Set_Transparency(): SetColorKey FAILED");
        return 0;
    }
    return 1;
}

int Clear(Display_Context& d, Surface surface) {
    if (!surface) return 0;
    // Retried while the blitter is busy, bounded so that a surface that never recovers
    // cannot hold the program.
    for (int attempt = 0; attempt <= Surface_Retry_Limit; ++attempt) {
        DDBLTFX fx;
        fx.dwFillColor = 0;
        const HRESULT result = surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
        if (result == DD_OK) return 1;
        if (result == DDERR_LOCKEDSURFACES) {
            Report_Error(d.app, "Clear(): DDERR_LOCKEDSURFACES I think you need to free a surface!");
            return 0;
        }
        if (result == DDERR_SURFACELOST && !Restore_All_Surfaces(d)) return 0;
    }
    Report_Error(d.app, "Clear(): retry limit reached");
    return 0;
}

uint8_t* Lock_Surface(Display_Context& d, Surface surface, int* pitch) {
    if (!surface) return nullptr;
    for (int attempt = 0;; ++attempt) {
        d.Lock_Description = DDSURFACEDESC2{};
        const HRESULT result = surface->Lock(nullptr, &d.Lock_Description, DDLOCK_WAIT, nullptr);
        switch (result) {
        case DDERR_SURFACELOST:
            if (attempt >= Surface_Retry_Limit || !Restore_All_Surfaces(d)) {
                Report_Error(d.app, "Lock_Surface():DDERR_SURFACELOST");
                return nullptr;
            }
            continue;
        case DDERR_SURFACEBUSY:
            Report_Error(d.app, "Lock_Surface():DDERR_SURFACEBUSY");
            return nullptr;
        case DDERR_OUTOFMEMORY:
            Report_Error(d.app, "Lock_Surface():DDERR_OUTOFMEMORY");
            return nullptr;
        case DDERR_INVALIDPARAMS:
            Report_Error(d.app, "Lock_Surface():DDERR_INVALIDPARAMS");
            return nullptr;
        case DDERR_INVALIDOBJECT:
            Report_Error(d.app, "Lock_Surface():DDERR_INVALIDOBJECT");
            return nullptr;
        case DDERR_WASSTILLDRAWING:
            Report_Error(d.app, "Lock_Surface():DDERR_WASSTILLDRAWING");
            return nullptr;
        default:
            break;
        }
        d.Pixel_Format_565 = d.Lock_Description.ddpfPixelFormat.dwGBitMask == 0x07E0 ? 1 : 0;
        if (pitch) *pitch = d.Lock_Description.lPitch;
        return static_cast<uint8_t*>(d.Lock_Description.lpSurface);
    }
}

void Unlock_Surface(Surface surface, void* /*pointer*/) {
    if (surface) surface->Unlock(nullptr);
}

int Grab_Surface_Dimensions(App& app, Surface surface, int* width, int* height) {
    if (!surface) {
        *width = 0;
        *height = 0;
        Report_Error(app, " Grab_Surface_Dimensions(): Surface NULL");
        return 0;
    }
    if (surface->IsLost() == DDERR_SURFACELOST) {
        Report_Error(app, " Grab_Surface_Dimensions(): Surface LOST");
        return 0;
    }
    DDSURFACEDESC2 desc{};
    if (surface->GetSurfaceDesc(&desc) != DD_OK) {
        Report_Error(app, "Grab_Surface_Dimensions():Get Surface Description FAILED");
        *width = 0;
        *height = 0;
        return 0;
    }
    *width = static_cast<int>(desc.dwWidth);
    *height = static_cast<int>(desc.dwHeight);
    return 1;
}

int Restore_All_Surfaces(Display_Context& d) {
    if (d.Visible && d.Visible->IsLost() == DDERR_SURFACELOST && d.Visible->Restore() != DD_OK) {
        Report_Error(d.app, "Restore_All_Surfaces():Unable to restore Visible Surface");
        return 0;
    }
    if (d.Hidden && d.Hidden->IsLost() == DDERR_SURFACELOST && d.Hidden->Restore() != DD_OK) {
        Report_Error(d.app, "Restore_All_Surfaces():Unable to restore Hidden Surface");
        return 0;
    }
    if (d.Scratch_Pad && d.Scratch_Pad->IsLost() == DDERR_SURFACELOST && d.Scratch_Pad->Restore() != DD_OK) {
        Report_Error(d.app, "Restore_All_Surfaces():Unable to restore Scratch_Pad");
        return 0;
    }
    return 1;
}

int Get_Available_Video_Memory(Display_Context& d, uint32_t* total, uint32_t* free) {
    static const Once_Log once;
    if (!d.Direct_Draw_Interface) return 0;
    once.enter(d.app, "Entering Get_Available_Video_Memory");
    uint32_t total_bytes = 0, free_bytes = 0;
    if (d.Direct_Draw_Interface->GetAvailableVidMem(DDSCAPS_VIDEOMEMORY, &total_bytes, &free_bytes) != DD_OK)
        return 0;
    if (total) *total = total_bytes;
    if (free) *free = free_bytes;
    once.exit(d.app, "Exitting Get_Available_Video_Memory");
    return 1;
}

int Supports_Wide_Surfaces(Display_Context& d) {
    if (!d.Direct_Draw_Interface) return 0;
    uint32_t caps2 = 0;
    if (d.Direct_Draw_Interface->GetCaps(&caps2) != DD_OK) return 0;
    return (caps2 & DDCAPS2_WIDESURFACES) ? 1 : 0;
}

int Draw_GDI_Text(Surface surface, int x, int y, uint32_t colour, const char* text) {
    if (!surface || !text) return 0;
    HDC dc = nullptr;
    if (surface->GetDC(&dc) != DD_OK) return 0;
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
    surface->ReleaseDC(dc);
    return 1;
}

Pixel_Format Format_Of(const Display_Context& d, Surface surface) {
    if (surface) return surface->pixel_format();
    const DDPIXELFORMAT screen = Pixel_Format_For(d.Screen_Bpp);
    return Describe_Pixel_Format(d.Screen_Bpp, screen.dwRBitMask, screen.dwGBitMask, screen.dwBBitMask);
}

void Release_Surface(Surface* surface) {
    if (surface && *surface) {
        (*surface)->Release();
        *surface = nullptr;
    }
}
