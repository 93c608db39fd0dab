#include "surface/surface.h"

#include <cstring>

#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "surface/display.h"

DDraw* Direct_Draw = nullptr;
DDraw* Direct_Draw_Interface = nullptr;
Surface Visible = nullptr;
Surface Hidden = nullptr;
Surface Scratch_Pad = nullptr;
DDPalette* Palette = nullptr;
DDClipper* Clipper = nullptr;
PALETTEENTRY Palette_Entries[256];
int Pixel_Format_565 = 0;

namespace {

// Until the plasma chooses its first palette the table holds a spread of colours: a
// 6 x 6 x 6 cube (black first) and eight greys in each step between the cube's greys.
// Objects and fonts are loaded before that first palette, and GDI maps their colours
// through this one.
struct Starting_Palette {
    Starting_Palette() {
        int i = 0;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    Palette_Entries[i++] = PALETTEENTRY{static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                                        static_cast<uint8_t>(b * 51), 0};
        for (int step = 0; step < 5; ++step)
            for (int j = 1; j <= 8; ++j) {
                const auto grey = static_cast<uint8_t>(step * 51 + (51 * j + 4) / 9);
                Palette_Entries[i++] = PALETTEENTRY{grey, grey, grey, 0};
            }
    }
} starting_palette;

// The one description record that every lock fills.
DDSURFACEDESC2 Lock_Description;

constexpr uint32_t SYSTEM_CAPS = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
constexpr uint32_t VIDEO_CAPS = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;

// The figure the creation messages quote: bits x 2 held in 32 bits, scaled to "megabytes".
double Megabytes_For(int width, int height) {
    const int64_t bits = static_cast<int64_t>(Screen_Bpp) * width * height * 2;
    const int32_t as_int = static_cast<int32_t>(static_cast<uint32_t>(bits));
    return as_int * 0.0001220703125 * 0.001;
}

// Reports a failed creation; `name` is "Create_Surface" or "Create_SYSTEM_Surface".
void Report_Create_Failure(const char* name, HRESULT code, int width, int height, double megabytes) {
    switch (code) {
    case DDERR_NOCOOPERATIVELEVELSET:
        Report_Errorf("%s()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without the \n"
                      "IDirectDraw4::SetCooperativeLevel method being called. ",
                      name);
        break;
    case DDERR_OUTOFMEMORY:
        Report_Errorf("%s()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to perform the "
                      "operation\nat least %.3lf MB required",
                      name, megabytes);
        break;
    case DDERR_INVALIDPARAMS:
        Report_Errorf("%s()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the method are "
                      "incorrect.",
                      name);
        break;
    case DDERR_INVALIDCAPS:
        Report_Errorf("%s()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to the callback "
                      "function are incorrect.",
                      name);
        break;
    case DDERR_OUTOFVIDEOMEMORY:
        Report_Errorf("%s()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display memory\n to "
                      "perform the operation. Cannot create surface\nwidth = %d\nheight = %dN.B. Some video "
                      "cards do not support\nVIDEOMEMORY surfaces\nthat are wider than the primary "
                      "surface\nat least %.3lf MB required",
                      name, width, height, megabytes);
        break;
    default:
        Report_Errorf("%s():DEFAULT\nCannot create surface\nwidth = %d\nheight = %dN.B. Some video cards do "
                      "not support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least "
                      "%.3lf MB required",
                      name, width, height, megabytes);
        break;
    }
}

HRESULT Request_Surface(Surface* out, uint32_t caps, int width, int height) {
    DDSURFACEDESC2 desc{};
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwCaps = caps;
    desc.dwWidth = static_cast<uint32_t>(width);
    desc.dwHeight = static_cast<uint32_t>(height);
    return Direct_Draw_Interface->CreateSurface(&desc, out);
}

}  // namespace

int Create_Surface(Surface* out, int width, int height) {
    static Once_Log once;
    once.enter("Entering Create_Surface");

    uint32_t total = 0, free = 0;
    if (!Get_Available_Video_Memory(&total, &free)) {
        Report_Error("Create_Surface():Unable to determine available video memory");
        return 0;
    }
    const double megabytes = Megabytes_For(width, height);
    const int64_t needed = (static_cast<int64_t>(Screen_Bpp) * width * height) / 8;

    uint32_t caps = VIDEO_CAPS;
    if ((width > Screen_Width && !Supports_Wide_Surfaces()) || static_cast<int64_t>(free) < needed) {
        Report_Error("Create Surface(): Out of VIDEOMEM: Loading surface to SYSTEM");
        caps = SYSTEM_CAPS;
    }

    const HRESULT result = Request_Surface(out, caps, width, height);
    if (result != DD_OK) {
        Report_Create_Failure("Create_Surface", result, width, height, megabytes);
        return 0;
    }
    if (!Clear(*out)) {
        Report_Error("Create_Surface(): Clear FAILED");
        return 0;
    }
    if (!Set_Transparency(*out, 0)) {
        Report_Error("Create_Surface(): Set Transparency FAILED");
        return 0;
    }
    once.exit("Exitting Create_Surface");
    return 1;
}

int Create_SYSTEM_Surface(Surface* out, int width, int height) {
    static Once_Log once;
    once.enter("Entering Create_SYSTEM_Surface");

    if (*out) {
        Report_Error("Create_SYSTEM_Surface(): surface_to_create should be NULL");
        return 0;
    }
    const double megabytes = Megabytes_For(width, height);
    if (!Direct_Draw_Interface) {
        Report_Create_Failure("Create_SYSTEM_Surface", DDERR_GENERIC, width, height, megabytes);
        return 0;
    }
    const HRESULT result = Request_Surface(out, SYSTEM_CAPS, width, height);
    if (result != DD_OK) {
        Report_Create_Failure("Create_SYSTEM_Surface", result, width, height, megabytes);
        return 0;
    }
    if (!Clear(*out)) {
        Report_Error("Create_SYSTEM_Surface(): Clear FAILED");
        return 0;
    }
    if (!Set_Transparency(*out, 0)) {
        Report_Error("Create_SYSTEM_Surface(): Set Transparency FAILED");
        return 0;
    }
    once.exit("Exitting Create_SYSTEM_Surface");
    return 1;
}

int Set_Transparency(Surface surface, uint32_t key) {
    if (!surface || surface->SetColorKey(DDCKEY_SRCBLT, key, key) != DD_OK) {
        Report_Error("Set_Transparency(): SetColorKey FAILED");
        return 0;
    }
    return 1;
}

int Clear(Surface surface) {
    if (!surface) return 0;
    // Retried while the blitter is busy, bounded so that a surface that never recovers
    // cannot hold the program.
    for (int attempt = 0; attempt <= Surface_Retry_Limit; ++attempt) {
        DDBLTFX fx;
        fx.dwFillColor = 0;
        const HRESULT result = surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
        if (result == DD_OK) return 1;
        if (result == DDERR_LOCKEDSURFACES) {
            Report_Error("Clear(): DDERR_LOCKEDSURFACES I think you need to free a surface!");
            return 0;
        }
        if (result == DDERR_SURFACELOST && !Restore_All_Surfaces()) return 0;
    }
    Report_Error("Clear(): retry limit reached");
    return 0;
}

uint8_t* Lock_Surface(Surface surface, int* pitch) {
    if (!surface) return nullptr;
    for (int attempt = 0;; ++attempt) {
        Lock_Description = DDSURFACEDESC2{};
        const HRESULT result = surface->Lock(nullptr, &Lock_Description, DDLOCK_WAIT, nullptr);
        switch (result) {
        case DDERR_SURFACELOST:
            if (attempt >= Surface_Retry_Limit || !Restore_All_Surfaces()) {
                Report_Error("Lock_Surface():DDERR_SURFACELOST");
                return nullptr;
            }
            continue;
        case DDERR_SURFACEBUSY:
            Report_Error("Lock_Surface():DDERR_SURFACEBUSY");
            return nullptr;
        case DDERR_OUTOFMEMORY:
            Report_Error("Lock_Surface():DDERR_OUTOFMEMORY");
            return nullptr;
        case DDERR_INVALIDPARAMS:
            Report_Error("Lock_Surface():DDERR_INVALIDPARAMS");
            return nullptr;
        case DDERR_INVALIDOBJECT:
            Report_Error("Lock_Surface():DDERR_INVALIDOBJECT");
            return nullptr;
        case DDERR_WASSTILLDRAWING:
            Report_Error("Lock_Surface():DDERR_WASSTILLDRAWING");
            return nullptr;
        default:
            break;
        }
        Pixel_Format_565 = Lock_Description.ddpfPixelFormat.dwGBitMask == 0x07E0 ? 1 : 0;
        if (pitch) *pitch = Lock_Description.lPitch;
        return static_cast<uint8_t*>(Lock_Description.lpSurface);
    }
}

void Unlock_Surface(Surface surface, void* /*pointer*/) {
    if (surface) surface->Unlock(nullptr);
}

int Grab_Surface_Dimensions(Surface surface, int* width, int* height) {
    if (!surface) {
        *width = 0;
        *height = 0;
        Report_Error(" Grab_Surface_Dimensions(): Surface NULL");
        return 0;
    }
    if (surface->IsLost() == DDERR_SURFACELOST) {
        Report_Error(" Grab_Surface_Dimensions(): Surface LOST");
        return 0;
    }
    DDSURFACEDESC2 desc{};
    if (surface->GetSurfaceDesc(&desc) != DD_OK) {
        Report_Error("Grab_Surface_Dimensions():Get Surface Description FAILED");
        *width = 0;
        *height = 0;
        return 0;
    }
    *width = static_cast<int>(desc.dwWidth);
    *height = static_cast<int>(desc.dwHeight);
    return 1;
}

int Restore_All_Surfaces() {
    if (Visible && Visible->IsLost() == DDERR_SURFACELOST && Visible->Restore() != DD_OK) {
        Report_Error("Restore_All_Surfaces():Unable to restore Visible Surface");
        return 0;
    }
    if (Hidden && Hidden->IsLost() == DDERR_SURFACELOST && Hidden->Restore() != DD_OK) {
        Report_Error("Restore_All_Surfaces():Unable to restore Hidden Surface");
        return 0;
    }
    if (Scratch_Pad && Scratch_Pad->IsLost() == DDERR_SURFACELOST && Scratch_Pad->Restore() != DD_OK) {
        Report_Error("Restore_All_Surfaces():Unable to restore Scratch_Pad");
        return 0;
    }
    return 1;
}

int Get_Available_Video_Memory(uint32_t* total, uint32_t* free) {
    static Once_Log once;
    if (!Direct_Draw_Interface) return 0;
    once.enter("Entering Get_Available_Video_Memory");
    uint32_t total_bytes = 0, free_bytes = 0;
    if (Direct_Draw_Interface->GetAvailableVidMem(DDSCAPS_VIDEOMEMORY, &total_bytes, &free_bytes) != DD_OK)
        return 0;
    if (total) *total = total_bytes;
    if (free) *free = free_bytes;
    once.exit("Exitting Get_Available_Video_Memory");
    return 1;
}

int Supports_Wide_Surfaces() {
    if (!Direct_Draw_Interface) return 0;
    uint32_t caps2 = 0;
    if (Direct_Draw_Interface->GetCaps(&caps2) != DD_OK) return 0;
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

void Release_Surface(Surface* surface) {
    if (surface && *surface) {
        (*surface)->Release();
        *surface = nullptr;
    }
}
