#include "platform/display/ddraw.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/windows/windows.h"

namespace {

bool Valid_Side(int v) { return v >= 16 && v <= 16384; }

// "WxH+X+Y,..."; nothing when any entry is malformed.
std::vector<RECT> Parse_Monitors(const char* text) {
    std::vector<RECT> list;
    for (const char* p = text; *p;) {
        int w = 0, h = 0, x = 0, y = 0, used = 0;
        if (std::sscanf(p, "%dx%d+%d+%d%n", &w, &h, &x, &y, &used) != 4 || !Valid_Side(w) || !Valid_Side(h) || x < 0 ||
            y < 0 || x > 65536 || y > 65536 || list.size() >= 16)
            return {};
        list.push_back(RECT{x, y, x + w, y + h});
        p += used;
        if (*p == ',') ++p;
        else if (*p) return {};
    }
    return list;
}

// The desktop a headless run pretends to have: MIRRAVANE_DESKTOP=WxH, MIRRAVANE_DESKTOP_BPP,
// MIRRAVANE_HEADLESS_MONITORS (whose first monitor then gives the desktop size).
Display_Config Default_Config() {
    Display_Config c;
    if (const char* v = std::getenv("MIRRAVANE_DESKTOP")) {
        int w = 0, h = 0;
        if (std::sscanf(v, "%dx%d", &w, &h) == 2 && w >= 16 && h >= 16 && w <= 16384 && h <= 16384) {
            c.desktop_width = w;
            c.desktop_height = h;
        }
    }
    if (const char* v = std::getenv("MIRRAVANE_DESKTOP_BPP")) {
        const int b = std::atoi(v);
        if (b == 8 || b == 15 || b == 16 || b == 24 || b == 32) c.desktop_bpp = b;
    }
    if (const char* v = std::getenv("MIRRAVANE_HEADLESS_MONITORS")) {
        c.monitors = Parse_Monitors(v);
        if (!c.monitors.empty()) {
            c.desktop_width = c.monitors[0].right - c.monitors[0].left;
            c.desktop_height = c.monitors[0].bottom - c.monitors[0].top;
        }
    }
    return c;
}


Display_Config config = Default_Config();

// A windowed display's primary covers every monitor, so that a window on any of them has
// its picture under it.
void Desktop_Extent(int& width, int& height) {
    width = config.desktop_width;
    height = config.desktop_height;
    for (const RECT& m : config.monitors) {
        width = std::max<int>(width, m.right);
        height = std::max<int>(height, m.bottom);
    }
}

struct Fault {
    HRESULT code = DD_OK;
    int times = 0;
};
std::array<Fault, static_cast<size_t>(DD_Call::Count)> faults;
std::array<int, static_cast<size_t>(DD_Call::Count)> call_counts{};
Primary_Hook primary_hook;
Primary_Release_Hook primary_release_hook;
Primary_Memory_Hook primary_memory_hook;
// The palette the primary surface holds; the primary's reference keeps it alive.
const DDPalette* display_palette = nullptr;
// Every palette gets its own generations, so a new palette at an old address is never
// taken for the one before.
uint64_t next_palette_generation = 1;

// Counts the call and answers with an injected fault when one is pending.
HRESULT Take_Fault(DD_Call call) {
    const auto i = static_cast<size_t>(call);
    ++call_counts[i];
    Fault& f = faults[i];
    if (f.times > 0) {
        --f.times;
        return f.code;
    }
    return DD_OK;
}

bool Valid_Depth(int bpp) { return bpp == 8 || bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32; }

uint32_t Colour_Mask(int bpp) {
    switch (bpp) {
    case 8: return 0xFF;
    case 15: return 0x7FFF;
    case 16: return 0xFFFF;
    default: return 0xFFFFFF;
    }
}

inline uint32_t Read_Pixel(const uint8_t* p, int bytes) {
    switch (bytes) {
    case 1: return p[0];
    case 2: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case 3: return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16);
    default: { uint32_t v; std::memcpy(&v, p, 4); return v; }
    }
}

inline void Write_Pixel(uint8_t* p, int bytes, uint32_t v) {
    switch (bytes) {
    case 1: p[0] = static_cast<uint8_t>(v); break;
    case 2: { const auto w = static_cast<uint16_t>(v); std::memcpy(p, &w, 2); break; }
    case 3: p[0] = static_cast<uint8_t>(v); p[1] = static_cast<uint8_t>(v >> 8); p[2] = static_cast<uint8_t>(v >> 16); break;
    default: std::memcpy(p, &v, 4); break;
    }
}

bool Rect_Inside(const RECT& r, int w, int h) {
    return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h && r.left < r.right && r.top < r.bottom;
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return r;
}

// Source rows of a same-surface copy are staged here when the rectangles overlap.
std::vector<uint8_t>& Staging() {
    static std::vector<uint8_t> buffer;
    return buffer;
}

// One row copied right to left: destination pixel i takes source pixel last - i.
template <typename T>
void Copy_Reversed_Row(uint8_t* dest, const uint8_t* source, int last, int count) {
    T* __restrict d = reinterpret_cast<T*>(dest);
    const T* __restrict s = reinterpret_cast<const T*>(source);
    for (int i = 0; i < count; ++i) d[i] = s[last - i];
}

std::vector<int>& Column_Map() {
    static std::vector<int> map;
    return map;
}

// One row of a mapped copy: destination pixel i takes source pixel map[i].
template <typename T>
void Copy_Row(uint8_t* dest, const uint8_t* source, const int* map, int count, bool keyed, uint32_t key, uint32_t mask) {
    T* d = reinterpret_cast<T*>(dest);
    const T* s = reinterpret_cast<const T*>(source);
    if (!keyed) {
        for (int i = 0; i < count; ++i) d[i] = s[map[i]];
        return;
    }
    for (int i = 0; i < count; ++i) {
        const T v = s[map[i]];
        if ((static_cast<uint32_t>(v) & mask) != key) d[i] = v;
    }
}

template <typename T>
void Copy_Keyed_Row(uint8_t* dest, const uint8_t* source, int count, uint32_t key, uint32_t mask) {
    T* d = reinterpret_cast<T*>(dest);
    const T* s = reinterpret_cast<const T*>(source);
    const T k = static_cast<T>(key), m = static_cast<T>(mask);
    for (int i = 0; i < count; ++i) {
        const T v = s[i];
        d[i] = (v & m) == k ? d[i] : v;
    }
}

}  // namespace

const char* DD_Error_Name(HRESULT code) {
    switch (code) {
    case DD_OK: return "DD_OK";
    case DDERR_GENERIC: return "DDERR_GENERIC";
    case DDERR_INVALIDPARAMS: return "DDERR_INVALIDPARAMS";
    case DDERR_OUTOFMEMORY: return "DDERR_OUTOFMEMORY";
    case DDERR_OUTOFVIDEOMEMORY: return "DDERR_OUTOFVIDEOMEMORY";
    case DDERR_INVALIDCAPS: return "DDERR_INVALIDCAPS";
    case DDERR_NOCOOPERATIVELEVELSET: return "DDERR_NOCOOPERATIVELEVELSET";
    case DDERR_SURFACELOST: return "DDERR_SURFACELOST";
    case DDERR_SURFACEBUSY: return "DDERR_SURFACEBUSY";
    case DDERR_WASSTILLDRAWING: return "DDERR_WASSTILLDRAWING";
    case DDERR_LOCKEDSURFACES: return "DDERR_LOCKEDSURFACES";
    case DDERR_INVALIDOBJECT: return "DDERR_INVALIDOBJECT";
    case DDERR_INVALIDRECT: return "DDERR_INVALIDRECT";
    case DDERR_UNSUPPORTED: return "DDERR_UNSUPPORTED";
    case DDERR_INVALIDCLIPLIST: return "DDERR_INVALIDCLIPLIST";
    case DDERR_NOCLIPLIST: return "DDERR_NOCLIPLIST";
    case DDERR_NOBLTHW: return "DDERR_NOBLTHW";
    case DDERR_INVALIDDIRECTDRAWGUID: return "DDERR_INVALIDDIRECTDRAWGUID";
    case DDERR_DIRECTDRAWALREADYCREATED: return "DDERR_DIRECTDRAWALREADYCREATED";
    case DDERR_NODIRECTDRAWHW: return "DDERR_NODIRECTDRAWHW";
    case DDERR_INVALIDMODE: return "DDERR_INVALIDMODE";
    case DDERR_NOPALETTEATTACHED: return "DDERR_NOPALETTEATTACHED";
    case DDERR_CANTCREATEDC: return "DDERR_CANTCREATEDC";
    case DDERR_NOTLOCKED: return "DDERR_NOTLOCKED";
    case DDERR_DCALREADYCREATED: return "DDERR_DCALREADYCREATED";
    case E_NOINTERFACE: return "E_NOINTERFACE";
    default: return "DDERR_UNKNOWN";
    }
}

Display_Config& Display_Settings() { return config; }

void Reset_Display_Service() {
    config = Default_Config();
    Clear_DD_Faults();
    call_counts.fill(0);
    primary_hook = nullptr;
    primary_release_hook = nullptr;
    primary_memory_hook = nullptr;
}

DDPIXELFORMAT Pixel_Format_For(int bpp) {
    DDPIXELFORMAT f;
    f.dwRGBBitCount = static_cast<uint32_t>(bpp == 15 ? 16 : bpp);
    switch (bpp) {
    case 15:
        f.dwRBitMask = 0x7C00; f.dwGBitMask = 0x03E0; f.dwBBitMask = 0x001F;
        break;
    case 16:
        if (config.format_16_is_565) {
            f.dwRBitMask = 0xF800; f.dwGBitMask = 0x07E0; f.dwBBitMask = 0x001F;
        } else {
            f.dwRBitMask = 0x7C00; f.dwGBitMask = 0x03E0; f.dwBBitMask = 0x001F;
        }
        break;
    case 24:
    case 32:
        f.dwRBitMask = 0xFF0000; f.dwGBitMask = 0x00FF00; f.dwBBitMask = 0x0000FF;
        break;
    default:
        break;
    }
    return f;
}

namespace {
int Lowest_Bit(uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}
int Bit_Count(uint32_t mask) {
    int n = 0;
    for (; mask; mask &= mask - 1) ++n;
    return n;
}
}  // namespace

Pixel_Format Describe_Pixel_Format(int bpp, uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask) {
    Pixel_Format f;
    f.bits_per_pixel = bpp;
    switch (bpp) {
    case 8: f.kind = Pixel_Kind::Index8; f.bytes_per_pixel = 1; return f;
    case 15:
    case 16: f.kind = green_mask == 0x07E0 ? Pixel_Kind::Rgb565 : Pixel_Kind::Rgb555; f.bytes_per_pixel = 2; break;
    case 24: f.kind = Pixel_Kind::Rgb24; f.bytes_per_pixel = 3; break;
    case 32: f.kind = Pixel_Kind::Rgb32; f.bytes_per_pixel = 4; break;
    default: f.bytes_per_pixel = 0; return f;
    }
    f.red_mask = red_mask;
    f.green_mask = green_mask;
    f.blue_mask = blue_mask;
    f.red_shift = Lowest_Bit(red_mask);
    f.green_shift = Lowest_Bit(green_mask);
    f.blue_shift = Lowest_Bit(blue_mask);
    f.red_loss = 8 - Bit_Count(red_mask);
    f.green_loss = 8 - Bit_Count(green_mask);
    f.blue_loss = 8 - Bit_Count(blue_mask);
    return f;
}

void Inject_DD_Fault(DD_Call call, HRESULT code, int times) {
    faults[static_cast<size_t>(call)] = Fault{code, times};
}

void Clear_DD_Faults() {
    for (auto& f : faults) f = Fault{};
}

int DD_Call_Count(DD_Call call) { return call_counts[static_cast<size_t>(call)]; }

void Set_Primary_Hook(Primary_Hook hook) { primary_hook = std::move(hook); }

void Set_Primary_Release_Hook(Primary_Release_Hook hook) { primary_release_hook = std::move(hook); }

void Set_Primary_Memory_Hook(Primary_Memory_Hook hook) { primary_memory_hook = std::move(hook); }

Pixel_Memory::Pixel_Memory(size_t size) : data_(size ? new uint8_t[size]() : nullptr), size_(size) {}

Pixel_Memory::Pixel_Memory(uint8_t* data, size_t size, Release release)
    : data_(data), size_(data ? size : 0), release_(std::move(release)) {
    if (data_) std::memset(data_, 0, size_);
}

Pixel_Memory::Pixel_Memory(Pixel_Memory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)), release_(std::move(other.release_)) {
    other.release_ = nullptr;
}

Pixel_Memory& Pixel_Memory::operator=(Pixel_Memory&& other) noexcept {
    if (this != &other) {
        Free();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        release_ = std::move(other.release_);
        other.release_ = nullptr;
    }
    return *this;
}

Pixel_Memory::~Pixel_Memory() { Free(); }

void Pixel_Memory::Free() {
    if (!data_) return;
    if (release_)
        release_(data_, size_);
    else
        delete[] data_;
    data_ = nullptr;
    size_ = 0;
    release_ = nullptr;
}

const DDPalette* Display_Palette() { return display_palette; }

// ---- palette and clipper ------------------------------------------------------------------

DDPalette::DDPalette() : generation_(next_palette_generation++) {}

DDPalette::~DDPalette() {
    if (display_palette == this) display_palette = nullptr;
}

HRESULT DDPalette::SetEntries(uint32_t, uint32_t start, uint32_t count, const PALETTEENTRY* entries) {
    if (!entries || start >= 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
    std::copy(entries, entries + count, entries_ + start);
    generation_ = next_palette_generation++;
    return DD_OK;
}

HRESULT DDPalette::GetEntries(uint32_t, uint32_t start, uint32_t count, PALETTEENTRY* entries) const {
    if (const HRESULT f = Take_Fault(DD_Call::GetEntries)) return f;
    if (!entries || start >= 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
    std::copy(entries_ + start, entries_ + start + count, entries);
    return DD_OK;
}

uint32_t DDPalette::Release() {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT DDClipper::SetHWnd(uint32_t, HWND window) {
    if (const HRESULT f = Take_Fault(DD_Call::SetHWnd)) return f;
    window_ = window;
    return DD_OK;
}

uint32_t DDClipper::Release() {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

// ---- surfaces -------------------------------------------------------------------------------

DDSurface::~DDSurface() {
    if (primary_ && primary_release_hook) primary_release_hook(this);
    if (dc_) Destroy_Surface_DC(dc_);
    if (clipper_) clipper_->Release();
    if (primary_ && palette_ == display_palette) display_palette = nullptr;
    if (palette_) palette_->Release();
}

uint32_t DDSurface::Release() {
    const uint32_t left = --refs_;
    if (left == 0) {
        if (video_ && owner_) owner_->video_used_ -= static_cast<uint32_t>(pixels_.size());
        delete this;
    }
    return left;
}

uint32_t DDSurface::Pixel(int x, int y) const {
    return Read_Pixel(pixels_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * bytes_per_pixel(), bytes_per_pixel());
}

void DDSurface::Set_Pixel(int x, int y, uint32_t value) {
    Write_Pixel(pixels_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * bytes_per_pixel(), bytes_per_pixel(), value);
}

HRESULT DDSurface::Lock(const RECT*, DDSURFACEDESC2* desc, uint32_t, void*) {
    if (const HRESULT f = Take_Fault(DD_Call::Lock)) return f;
    if (!desc) return DDERR_INVALIDPARAMS;
    if (lost_) return DDERR_SURFACELOST;
    if (locked_ || dc_) return DDERR_SURFACEBUSY;
    locked_ = true;
    desc->dwWidth = static_cast<uint32_t>(width_);
    desc->dwHeight = static_cast<uint32_t>(height_);
    desc->lPitch = pitch_;
    desc->lpSurface = pixels_.data();
    desc->ddpfPixelFormat = format_;
    desc->dwCaps = (primary_ ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN) |
                   (video_ ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    return DD_OK;
}

HRESULT DDSurface::Unlock(const RECT*) {
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    if (primary_ && primary_hook) primary_hook(this, RECT{0, 0, width_, height_});
    return DD_OK;
}

HRESULT DDSurface::IsLost() const { return lost_ ? DDERR_SURFACELOST : DD_OK; }

HRESULT DDSurface::Restore() {
    if (const HRESULT f = Take_Fault(DD_Call::Restore)) return f;
    if (lost_) {
        lost_ = false;
        std::memset(pixels_.data(), 0, pixels_.size());  // the memory comes back, not the picture
    }
    return DD_OK;
}

HRESULT DDSurface::SetColorKey(uint32_t, uint32_t low, uint32_t) {
    if (const HRESULT f = Take_Fault(DD_Call::SetColorKey)) return f;
    if (lost_) return DDERR_SURFACELOST;
    key_ = low;
    key_set_ = true;
    return DD_OK;
}

HRESULT DDSurface::GetSurfaceDesc(DDSURFACEDESC2* desc) const {
    if (const HRESULT f = Take_Fault(DD_Call::GetSurfaceDesc)) return f;
    if (!desc) return DDERR_INVALIDPARAMS;
    desc->dwWidth = static_cast<uint32_t>(width_);
    desc->dwHeight = static_cast<uint32_t>(height_);
    desc->lPitch = pitch_;
    desc->lpSurface = nullptr;
    desc->ddpfPixelFormat = format_;
    desc->dwCaps = (primary_ ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN) |
                   (video_ ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    return DD_OK;
}

HRESULT DDSurface::GetBltStatus(uint32_t) const {
    if (const HRESULT f = Take_Fault(DD_Call::GetBltStatus)) return f;
    return lost_ ? DDERR_SURFACELOST : DD_OK;
}

HRESULT DDSurface::SetClipper(DDClipper* clipper) {
    if (const HRESULT f = Take_Fault(DD_Call::SetClipper)) return f;
    if (clipper) clipper->AddRef();
    if (clipper_) clipper_->Release();
    clipper_ = clipper;
    return DD_OK;
}

HRESULT DDSurface::SetPalette(DDPalette* palette) {
    if (const HRESULT f = Take_Fault(DD_Call::SetPalette)) return f;
    if (palette) palette->AddRef();
    if (primary_ && palette_ == display_palette) display_palette = nullptr;
    if (palette_) palette_->Release();
    palette_ = palette;
    if (primary_) display_palette = palette;
    return DD_OK;
}

HRESULT DDSurface::GetPalette(DDPalette** palette) {
    if (const HRESULT f = Take_Fault(DD_Call::GetPalette)) return f;
    if (!palette) return DDERR_INVALIDPARAMS;
    if (!palette_) return DDERR_NOPALETTEATTACHED;
    palette_->AddRef();
    *palette = palette_;
    return DD_OK;
}

HRESULT DDSurface::GetDC(HDC* dc) {
    if (const HRESULT f = Take_Fault(DD_Call::GetDC)) return f;
    if (!dc) return DDERR_INVALIDPARAMS;
    if (lost_) return DDERR_SURFACELOST;
    if (dc_) return DDERR_DCALREADYCREATED;
    if (locked_) return DDERR_SURFACEBUSY;
    dc_ = Create_Surface_DC(this);
    if (!dc_) return DDERR_CANTCREATEDC;
    *dc = dc_;
    return DD_OK;
}

HRESULT DDSurface::ReleaseDC(HDC dc) {
    if (!dc_ || dc != dc_) return DDERR_INVALIDPARAMS;
    Destroy_Surface_DC(dc_);
    dc_ = nullptr;
    if (primary_ && primary_hook) primary_hook(this, RECT{0, 0, width_, height_});
    return DD_OK;
}

HRESULT DDSurface::Blt(const RECT* dest_rect, DDSurface* source, const RECT* source_rect, uint32_t flags,
                       const DDBLTFX* fx) {
    if (const HRESULT f = Take_Fault(DD_Call::Blt)) return f;
    if (lost_ || (source && source->lost_)) return DDERR_SURFACELOST;
    if (locked_ || dc_ || (source && (source->locked_ || source->dc_))) return DDERR_LOCKEDSURFACES;

    RECT dr = dest_rect ? *dest_rect : RECT{0, 0, width_, height_};
    if (flags & DDBLT_COLORFILL) {
        if (!fx) return DDERR_INVALIDPARAMS;
        if (!Rect_Inside(dr, width_, height_)) return DDERR_INVALIDRECT;
        const uint32_t value = fx->dwFillColor & (bpp() == 32 ? 0xFFFFFFFFu : Colour_Mask(bpp()));
        for (int y = dr.top; y < dr.bottom; ++y) {
            uint8_t* row = pixels_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(dr.left) * bytes_per_pixel();
            if (value == 0) {
                std::memset(row, 0, static_cast<size_t>(dr.right - dr.left) * bytes_per_pixel());
            } else {
                for (int x = dr.left; x < dr.right; ++x, row += bytes_per_pixel()) Write_Pixel(row, bytes_per_pixel(), value);
            }
        }
        if (primary_ && primary_hook) primary_hook(this, dr);
        return DD_OK;
    }

    if (!source) return DDERR_INVALIDPARAMS;
    if (source->bpp() != bpp()) return DDERR_UNSUPPORTED;
    const RECT sr = source_rect ? *source_rect : RECT{0, 0, source->width_, source->height_};
    if (!Rect_Inside(sr, source->width_, source->height_)) return DDERR_INVALIDRECT;
    if (dr.left >= dr.right || dr.top >= dr.bottom) return DDERR_INVALIDRECT;

    // The area actually written: the destination rectangle, cut to the clipper's window
    // when one is attached; without a clipper it must lie inside the surface.
    RECT area = dr;
    if (clipper_) {
        RECT bounds{0, 0, width_, height_};
        if (clipper_->window()) bounds = Intersect(bounds, clipper_->window()->client_on_screen);
        area = Intersect(dr, bounds);
        if (area.left >= area.right || area.top >= area.bottom) return DD_OK;
    } else if (!Rect_Inside(dr, width_, height_)) {
        return DDERR_INVALIDRECT;
    }

    const bool mirror_lr = (flags & DDBLT_DDFX) && fx && (fx->dwDDFX & DDBLTFX_MIRRORLEFTRIGHT);
    const bool mirror_ud = (flags & DDBLT_DDFX) && fx && (fx->dwDDFX & DDBLTFX_MIRRORUPDOWN);
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    const uint32_t mask = Colour_Mask(bpp());
    const uint32_t key = source->key_ & mask;
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    const int sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    const bool stretch = dw != sw || dh != sh;

    // Same surface: stage the source rectangle when the two overlap.
    const uint8_t* src_base = source->pixels_.data();
    int src_pitch = source->pitch_;
    int src_x0 = sr.left, src_y0 = sr.top;
    if (source == this && sr.left < dr.right && dr.left < sr.right && sr.top < dr.bottom && dr.top < sr.bottom) {
        auto& stage = Staging();
        const size_t row_bytes = static_cast<size_t>(sw) * bytes_per_pixel();
        stage.resize(row_bytes * static_cast<size_t>(sh));
        for (int y = 0; y < sh; ++y)
            std::memcpy(stage.data() + row_bytes * y,
                        pixels_.data() + static_cast<size_t>(sr.top + y) * pitch_ + static_cast<size_t>(sr.left) * bytes_per_pixel(),
                        row_bytes);
        src_base = stage.data();
        src_pitch = static_cast<int>(row_bytes);
        src_x0 = 0;
        src_y0 = 0;
    }

    // Source column of every destination column, worked out once per call.
    auto& columns = Column_Map();
    const int area_w = area.right - area.left;
    columns.resize(static_cast<size_t>(area_w));
    for (int x = area.left; x < area.right; ++x) {
        const int i = x - dr.left;
        int si = stretch ? static_cast<int>((static_cast<int64_t>(i) * sw) / dw) : i;
        if (mirror_lr) si = sw - 1 - si;
        columns[static_cast<size_t>(x - area.left)] = si;
    }
    const int* map = columns.data();
    int previous_sj = -1;
    const uint8_t* previous_drow = nullptr;
    for (int y = area.top; y < area.bottom; ++y) {
        const int j = y - dr.top;
        int sj = stretch ? static_cast<int>((static_cast<int64_t>(j) * sh) / dh) : j;
        if (mirror_ud) sj = sh - 1 - sj;
        const uint8_t* srow = src_base + static_cast<size_t>(src_y0 + sj) * src_pitch + static_cast<size_t>(src_x0) * bytes_per_pixel();
        uint8_t* drow = pixels_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(area.left) * bytes_per_pixel();
        // A stretch that repeats a source row repeats the row it has just written (not when
        // keyed: there the row underneath shows through). The source is staged when it
        // overlaps, so the row just written cannot have changed it.
        if (stretch && !keyed && sj == previous_sj) {
            std::memcpy(drow, previous_drow, static_cast<size_t>(area_w) * bytes_per_pixel());
            continue;
        }
        previous_sj = sj;
        previous_drow = drow;
        if (!stretch && !mirror_lr) {
            const uint8_t* from = srow + static_cast<size_t>(area.left - dr.left) * bytes_per_pixel();
            if (!keyed) {
                std::memcpy(drow, from, static_cast<size_t>(area_w) * bytes_per_pixel());
                continue;
            }
            // A keyed 1:1 copy (masks, glyphs, objects): contiguous rows, no column map.
            switch (bytes_per_pixel()) {
            case 4: Copy_Keyed_Row<uint32_t>(drow, from, area_w, key, mask); continue;
            case 2: Copy_Keyed_Row<uint16_t>(drow, from, area_w, key, mask); continue;
            case 1: Copy_Keyed_Row<uint8_t>(drow, from, area_w, key, mask); continue;
            default: break;
            }
        }
        if (!stretch && !keyed && bytes_per_pixel() != 3) {
            // A plain mirrored copy (the plasma's symmetry copies): one row read backwards.
            const int last = sw - 1 - (area.left - dr.left);
            switch (bytes_per_pixel()) {
            case 4: Copy_Reversed_Row<uint32_t>(drow, srow, last, area_w); continue;
            case 2: Copy_Reversed_Row<uint16_t>(drow, srow, last, area_w); continue;
            default: Copy_Reversed_Row<uint8_t>(drow, srow, last, area_w); continue;
            }
        }
        switch (bytes_per_pixel()) {
        case 4: Copy_Row<uint32_t>(drow, srow, map, area_w, keyed, key, mask); break;
        case 2: Copy_Row<uint16_t>(drow, srow, map, area_w, keyed, key, mask); break;
        case 1: Copy_Row<uint8_t>(drow, srow, map, area_w, keyed, key, mask); break;
        default:
            for (int i = 0; i < area_w; ++i) {
                const uint32_t v = Read_Pixel(srow + static_cast<size_t>(map[i]) * 3, 3);
                if (keyed && (v & mask) == key) continue;
                Write_Pixel(drow + static_cast<size_t>(i) * 3, 3, v);
            }
            break;
        }
    }
    if (primary_ && primary_hook) primary_hook(this, area);
    return DD_OK;
}

HRESULT DDSurface::BltFast(int32_t x, int32_t y, DDSurface* source, const RECT* source_rect, uint32_t flags) {
    if (const HRESULT f = Take_Fault(DD_Call::BltFast)) return f;
    if (!source) return DDERR_INVALIDPARAMS;
    if (lost_ || source->lost_) return DDERR_SURFACELOST;
    if (locked_ || dc_ || source->locked_ || source->dc_) return DDERR_LOCKEDSURFACES;
    if (clipper_) return DDERR_UNSUPPORTED;
    if (source->bpp() != bpp()) return DDERR_UNSUPPORTED;
    const RECT sr = source_rect ? *source_rect : RECT{0, 0, source->width_, source->height_};
    if (!Rect_Inside(sr, source->width_, source->height_)) return DDERR_INVALIDRECT;
    const RECT dr{x, y, x + (sr.right - sr.left), y + (sr.bottom - sr.top)};
    if (!Rect_Inside(dr, width_, height_)) return DDERR_INVALIDRECT;
    RECT full = sr;
    return Blt(&dr, source, &full, (flags & DDBLTFAST_SRCCOLORKEY) ? DDBLT_KEYSRC : 0, nullptr);
}

// ---- the display object --------------------------------------------------------------------

HRESULT DirectDrawCreate(const void*, DDraw** out, void*) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (const HRESULT f = Take_Fault(DD_Call::DirectDrawCreate)) return f;
    *out = new DDraw();
    return DD_OK;
}

HRESULT DDraw::QueryInterface(DDraw** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (const HRESULT f = Take_Fault(DD_Call::QueryInterface)) return f;
    AddRef();
    *out = this;
    return DD_OK;
}

uint32_t DDraw::Release() {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT DDraw::SetCooperativeLevel(HWND window, uint32_t flags) {
    if (const HRESULT f = Take_Fault(DD_Call::SetCooperativeLevel)) return f;
    cooperative_ = true;
    window_ = window;
    exclusive_ = (flags & DDSCL_EXCLUSIVE) != 0;
    return DD_OK;
}

HRESULT DDraw::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bpp, uint32_t, uint32_t) {
    if (const HRESULT f = Take_Fault(DD_Call::SetDisplayMode)) return f;
    if (!cooperative_) return DDERR_NOCOOPERATIVELEVELSET;
    const int depth = static_cast<int>(bpp);
    if (!Valid_Depth(depth) || width == 0 || height == 0 || width > 16384 || height > 16384) return DDERR_INVALIDMODE;
    if (std::find(config.withheld_depths.begin(), config.withheld_depths.end(), depth) != config.withheld_depths.end())
        return DDERR_INVALIDMODE;
    mode_set_ = true;
    mode_w_ = static_cast<int>(width);
    mode_h_ = static_cast<int>(height);
    mode_bpp_ = depth;
    return DD_OK;
}

HRESULT DDraw::RestoreDisplayMode() {
    mode_set_ = false;
    mode_w_ = mode_h_ = mode_bpp_ = 0;
    return DD_OK;
}

HRESULT DDraw::CreateSurface(const DDSURFACEDESC2* desc, DDSurface** out) {
    if (!desc || !out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (const HRESULT f = Take_Fault(DD_Call::CreateSurface)) return f;
    if (!cooperative_) return DDERR_NOCOOPERATIVELEVELSET;

    const int depth = mode_set_ ? mode_bpp_ : config.desktop_bpp;
    if (!Valid_Depth(depth)) return DDERR_INVALIDCAPS;
    const bool primary = (desc->dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
    int w, h;
    if (primary) {
        if (mode_set_) {
            w = mode_w_;
            h = mode_h_;
        } else {
            Desktop_Extent(w, h);
        }
    } else {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
        if (desc->dwWidth == 0 || desc->dwHeight == 0) return DDERR_INVALIDPARAMS;
        if (desc->dwWidth > 32768 || desc->dwHeight > 65536) return DDERR_INVALIDPARAMS;
        w = static_cast<int>(desc->dwWidth);
        h = static_cast<int>(desc->dwHeight);
    }
    const DDPIXELFORMAT format = Pixel_Format_For(depth);
    const Pixel_Format pixel_format = Describe_Pixel_Format(depth, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask);
    const int bytes = pixel_format.bytes_per_pixel;
    const int align = std::max(1, config.pitch_alignment);
    const int pitch = ((w * bytes + align - 1) / align) * align;
    const uint64_t size = static_cast<uint64_t>(pitch) * static_cast<uint64_t>(h);
    if (size > (1ull << 31)) return DDERR_OUTOFMEMORY;

    const bool video = !primary && (desc->dwCaps & DDSCAPS_VIDEOMEMORY) != 0;
    if (video) {
        const int primary_width = mode_set_ ? mode_w_ : config.desktop_width;
        if (w > primary_width && !config.wide_surfaces) return DDERR_OUTOFVIDEOMEMORY;
        if (video_used_ + size > config.video_memory_bytes) return DDERR_OUTOFVIDEOMEMORY;
    }

    auto* s = new DDSurface();
    s->owner_ = this;
    s->width_ = w;
    s->height_ = h;
    s->pitch_ = pitch;
    s->primary_ = primary;
    s->video_ = video;
    s->format_ = format;
    s->pixel_format_ = pixel_format;
    if (primary && primary_memory_hook) s->pixels_ = primary_memory_hook(static_cast<size_t>(size));
    if (s->pixels_.size() < static_cast<size_t>(size)) s->pixels_ = Pixel_Memory(static_cast<size_t>(size));
    if (video) video_used_ += static_cast<uint32_t>(size);
    *out = s;
    return DD_OK;
}

HRESULT DDraw::CreatePalette(uint32_t, const PALETTEENTRY* entries, DDPalette** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (const HRESULT f = Take_Fault(DD_Call::CreatePalette)) return f;
    auto* p = new DDPalette();
    if (entries) std::copy(entries, entries + 256, p->entries_);
    *out = p;
    return DD_OK;
}

HRESULT DDraw::CreateClipper(uint32_t, DDClipper** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (const HRESULT f = Take_Fault(DD_Call::CreateClipper)) return f;
    *out = new DDClipper();
    return DD_OK;
}

HRESULT DDraw::GetAvailableVidMem(uint32_t, uint32_t* total, uint32_t* free) const {
    if (const HRESULT f = Take_Fault(DD_Call::GetAvailableVidMem)) return f;
    if (total) *total = config.video_memory_bytes;
    if (free) *free = config.video_memory_bytes > video_used_ ? config.video_memory_bytes - video_used_ : 0;
    return DD_OK;
}

HRESULT DDraw::GetCaps(uint32_t* caps2) const {
    if (const HRESULT f = Take_Fault(DD_Call::GetCaps)) return f;
    if (caps2) *caps2 = config.wide_surfaces ? DDCAPS2_WIDESURFACES : 0;
    return DD_OK;
}

std::vector<RECT> Desktop_Monitors() {
    if (!config.monitors.empty()) return config.monitors;
    return {RECT{0, 0, config.desktop_width, config.desktop_height}};
}

void Wait_For_Refresh(int64_t& last_refresh) {
    if (!config.vsync_sleeps || config.refresh_hz <= 0) return;
    // Sleep to the next refresh boundary of a steady clock: a running saver idles between
    // frames instead of spinning a core. A caller already past the refresh it last waited for
    // (another display took this one's wait, or the frame was slow) goes on at once.
    using namespace std::chrono;
    const auto period = nanoseconds(1000000000LL / config.refresh_hz);
    const auto now = steady_clock::now().time_since_epoch();
    const int64_t current = now / period;
    if (current > last_refresh) {
        last_refresh = current;
        return;
    }
    std::this_thread::sleep_for((current + 1) * period - now);
    last_refresh = current + 1;
}

HRESULT DDraw::WaitForVerticalBlank(uint32_t) {
    if (const HRESULT f = Take_Fault(DD_Call::WaitForVerticalBlank)) return f;
    Wait_For_Refresh(last_refresh_);
    Backend().vertical_blank();
    return DD_OK;
}

HRESULT DDraw::FlipToGDISurface() { return DD_OK; }
