#include "surface/bitmap.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "surface/bmp_file.h"
#include "surface/display.h"
#include "session/session.h"

namespace {

// Loads a bitmap file into a new surface made by `create`; `who` names the loader in its messages.
Surface Load_Into_Surface(Display_Context& d, const char* name, int* width, int* height, const char* who,
                          int (*create)(Display_Context&, Surface*, int, int)) {
    App& app = d.app;
    HBITMAP bitmap = LoadImageA(name, IMAGE_BITMAP, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!bitmap) {
        Report_Errorf(app, "%s():\nCould not load %s", who, name);
        return nullptr;
    }
    int w = 0, h = 0;
    GetObjectBitmapSize(bitmap, &w, &h);
    if (width) *width = w;
    if (height) *height = h;

    Surface surface = nullptr;
    if (!create(d, &surface, w, h)) {
        Report_Errorf(app, "%s():Unable to create destination surface", who);
        Delete_Bitmap(bitmap);
        Release_Surface(&surface);
        return nullptr;
    }
    Copy_Bitmap_To_Surface(surface, bitmap, 0, 0, 0, 0);
    Delete_Bitmap(bitmap);
    Set_Transparency(app, surface, 0);
    return surface;
}

}  // namespace

Surface Load_Bitmap(Display_Context& d, const char* name, int* width, int* height) {
    App& app = d.app;
    if (!name || !name[0]) {
        Report_Error(app, "Load_Bitmap():BAD FILENAME ERROR");
        return nullptr;
    }
    return Load_Into_Surface(d, name, width, height, "Load_Bitmap", Create_Surface);
}

Surface Load_SYSTEM_Bitmap(Display_Context& d, const char* name, int* width, int* height) {
    return Load_Into_Surface(d, name ? name : "", width, height, "Load_SYSTEM_Bitmap", Create_SYSTEM_Surface);
}

HRESULT Copy_Bitmap_To_Surface(Surface surface, HBITMAP bitmap, int x, int y, int dw, int dh) {
    if (!bitmap || !surface) return DDERR_GENERIC;
    surface->Restore();
    HDC image_dc = CreateCompatibleDC(nullptr);
    if (!image_dc) std::fputs("createcompatible dc failed\n", stderr);
    HBITMAP previous = image_dc ? SelectObject(image_dc, bitmap) : nullptr;

    int source_w = dw, source_h = dh;
    if (source_w == 0 || source_h == 0) {
        int bitmap_w = 0, bitmap_h = 0;
        GetObjectBitmapSize(bitmap, &bitmap_w, &bitmap_h);
        if (source_w == 0) source_w = bitmap_w;
        if (source_h == 0) source_h = bitmap_h;
    }
    DDSURFACEDESC2 desc{};
    surface->GetSurfaceDesc(&desc);

    HDC surface_dc = nullptr;
    const HRESULT result = surface->GetDC(&surface_dc);
    if (result == DD_OK) {
        StretchBlt(surface_dc, 0, 0, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), image_dc, x, y,
                   source_w, source_h, SRCCOPY);
        surface->ReleaseDC(surface_dc);
    }
    if (image_dc) {
        // The bitmap stays its owner's: put the context's own one back before deleting it.
        SelectObject(image_dc, previous);
        DeleteDC(image_dc);
    }
    return result;
}

int Save_Bitmap(Display_Context& d, Surface surface, const char* name) {
    static const Once_Log once;
    once.enter(d.app, "Entering Save_Bitmap");
    if (!name) {
        Report_Error(d.app, "Surface - Invalid filename passed to Save_Bitmap\n");
        return 0;
    }
    if (!surface) return 0;
    int width = 0, height = 0;
    if (!Grab_Surface_Dimensions(d.app, surface, &width, &height)) {
        Report_Error(d.app, "Save_Bitmap():Grab_Surface_Dimensions FAILED");
        return 0;
    }
    if (width % 8 != 0 || height % 8 != 0) {
        Report_Errorf(d.app, "Save_Bitmap():Width (%d) and Height (%d) Must be a multiple of 8", width, height);
        return 0;
    }
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) {
        Report_Errorf(d.app, "Surface - Could not open output file for Bitmap: %s\n", name);
        return 0;
    }
    const int saved = SaveBMPToFile(d, surface, d.Visible, file);
    if (!saved) Report_Errorf(d.app, "Save_Bitmap():An error occurred saving %s", name);
    CloseHandle(file);
    // A file that was not written completely is a failure for the caller too.
    if (!saved) return 0;
    once.exit(d.app, "Exitting Save_Bitmap");
    return 1;
}

namespace {

// The surface's rows as a 24-bit file holds them: bottom row first, blue green red. The
// 16-bit fields are shifted up, not widened, so a full field is 248 (252 for a 6-bit green).
template <Pixel_Kind K>
void Bottom_Up_Rows(const uint8_t* pixels, int pitch, int w, int h, const PALETTEENTRY* entries, uint8_t* out) {
    using L = Pixel_Layout<K>;
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        if constexpr (K == Pixel_Kind::Rgb24) {
            std::memcpy(out, row, static_cast<size_t>(w) * 3);
            out += static_cast<ptrdiff_t>(w) * 3;
            continue;
        }
        for (int x = 0; x < w; ++x, out += 3) {
            if constexpr (K == Pixel_Kind::Index8) {
                const PALETTEENTRY& e = entries[row[x]];
                out[0] = e.peBlue;
                out[1] = e.peGreen;
                out[2] = e.peRed;
            } else {
                const uint32_t p = Load_Pixel<K>(row + x * L::bytes);
                out[0] = static_cast<uint8_t>(Blue_Field<K>(p) << (8 - L::blue_bits));
                out[1] = static_cast<uint8_t>(Green_Field<K>(p) << (8 - L::green_bits));
                out[2] = static_cast<uint8_t>(Red_Field<K>(p) << (8 - L::red_bits));
            }
        }
    }
}

}  // namespace

int SaveBMPToFile(Display_Context& d, Surface surface, Surface front, HANDLE file) {
    int w = 0, h = 0;
    if (!Grab_Surface_Dimensions(d.app, surface, &w, &h)) {
        Report_Error(d.app, "SaveBMPToFile():Unable to grab surface dimensions");
        return 0;
    }
    DDSURFACEDESC2 desc{};
    surface->GetSurfaceDesc(&desc);
    const size_t pixel_bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 3;
    std::vector<uint8_t> buffer(pixel_bytes);

    // Widths are multiples of 8, so the rows need no padding.
    uint8_t header[Bmp24_Header_Size];
    Write_Bmp24_Header(header, w, h);
    uint32_t written = 0;
    if (!WriteFile(file, header, 14, &written) || written != 14) return 0;
    if (!WriteFile(file, header + 14, 40, &written) || written != 40) return 0;

    PALETTEENTRY entries[256];
    const Pixel_Kind kind = surface->pixel_format().kind;
    if (kind == Pixel_Kind::Index8) {
        if (!front) {
            Report_Error(d.app, "SaveBMPToFile():No Front Buffer for 8-bit BMP save\n");
            return 0;
        }
        DDPalette* palette = nullptr;
        if (front->GetPalette(&palette) != DD_OK || !palette) {
            Report_Error(d.app, "SaveBMPToFile():Surface - Couldn't get palette for 8-bit Bitmap Save\n");
            return 0;
        }
        palette->GetEntries(0, 0, 256, entries);
        palette->Release();
    } else if (surface->bytes_per_pixel() == 0) {
        return 0;
    }

    int pitch = 0;
    uint8_t* pixels = Lock_Surface(d, surface, &pitch);
    if (!pixels) {
        Report_Error(d.app, "SaveBMPToFile():Unable to Lock Surface");
        return 0;
    }
    switch (kind) {
    case Pixel_Kind::Index8: Bottom_Up_Rows<Pixel_Kind::Index8>(pixels, pitch, w, h, entries, buffer.data()); break;
    case Pixel_Kind::Rgb555: Bottom_Up_Rows<Pixel_Kind::Rgb555>(pixels, pitch, w, h, entries, buffer.data()); break;
    case Pixel_Kind::Rgb565: Bottom_Up_Rows<Pixel_Kind::Rgb565>(pixels, pitch, w, h, entries, buffer.data()); break;
    case Pixel_Kind::Rgb24: Bottom_Up_Rows<Pixel_Kind::Rgb24>(pixels, pitch, w, h, entries, buffer.data()); break;
    case Pixel_Kind::Rgb32: Bottom_Up_Rows<Pixel_Kind::Rgb32>(pixels, pitch, w, h, entries, buffer.data()); break;
    }
    Unlock_Surface(surface, pixels);
    if (!WriteFile(file, buffer.data(), static_cast<uint32_t>(pixel_bytes), &written) || written != pixel_bytes)
        return 0;
    return 1;
}

int File_Exists(const char* name) {
    if (!name) return 0;
    HANDLE file = CreateFileA(name, GENERIC_READ, 0, OPEN_EXISTING);
    if (!file) return 0;
    CloseHandle(file);
    return 1;
}
