// The software display service: Windows-shaped display objects (a display, surfaces,
// a palette and a clipper) implemented in plain memory. Pixel formats, result codes and
// call shapes follow the 2-D display interface the engine was written against, so the
// engine's error handling (lost surfaces, busy blitter, locked surfaces) runs for real.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/display/pixel_format.h"
#include "platform/windows/wintypes.h"

// ---- result codes ---------------------------------------------------------------------
using HRESULT = int32_t;
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = -1001;
constexpr HRESULT DDERR_INVALIDPARAMS = -1002;
constexpr HRESULT DDERR_OUTOFMEMORY = -1003;
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = -1004;
constexpr HRESULT DDERR_INVALIDCAPS = -1005;
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = -1006;
constexpr HRESULT DDERR_SURFACELOST = -1007;
constexpr HRESULT DDERR_SURFACEBUSY = -1008;
constexpr HRESULT DDERR_WASSTILLDRAWING = -1009;
constexpr HRESULT DDERR_LOCKEDSURFACES = -1010;
constexpr HRESULT DDERR_INVALIDOBJECT = -1011;
constexpr HRESULT DDERR_INVALIDRECT = -1012;
constexpr HRESULT DDERR_UNSUPPORTED = -1013;
constexpr HRESULT DDERR_INVALIDCLIPLIST = -1014;
constexpr HRESULT DDERR_NOCLIPLIST = -1015;
constexpr HRESULT DDERR_NOBLTHW = -1016;
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = -1017;
constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = -1018;
constexpr HRESULT DDERR_NODIRECTDRAWHW = -1019;
constexpr HRESULT DDERR_INVALIDMODE = -1020;
constexpr HRESULT DDERR_NOPALETTEATTACHED = -1021;
constexpr HRESULT DDERR_CANTCREATEDC = -1022;
constexpr HRESULT DDERR_NOTLOCKED = -1023;
constexpr HRESULT DDERR_DCALREADYCREATED = -1024;
constexpr HRESULT E_NOINTERFACE = -1025;

// Name of a code ("DDERR_SURFACELOST"), for diagnostics and tests.
const char* DD_Error_Name(HRESULT code);

// ---- flags ------------------------------------------------------------------------------
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

constexpr uint32_t DDSD_CAPS = 0x1;
constexpr uint32_t DDSD_HEIGHT = 0x2;
constexpr uint32_t DDSD_WIDTH = 0x4;

constexpr uint32_t DDBLT_COLORFILL = 0x400;
constexpr uint32_t DDBLT_DDFX = 0x800;
constexpr uint32_t DDBLT_KEYSRC = 0x8000;
constexpr uint32_t DDBLT_WAIT = 0x1000000;
constexpr uint32_t DDBLTFX_MIRRORLEFTRIGHT = 0x2;
constexpr uint32_t DDBLTFX_MIRRORUPDOWN = 0x4;
constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x0;
constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr uint32_t DDCKEY_SRCBLT = 0x8;
constexpr uint32_t DDLOCK_WAIT = 0x1;
constexpr uint32_t DDGBS_ISBLTDONE = 0x2;
constexpr uint32_t DDWAITVB_BLOCKBEGIN = 0x1;

constexpr uint32_t DDSCL_FULLSCREEN = 0x1;
constexpr uint32_t DDSCL_ALLOWREBOOT = 0x2;
constexpr uint32_t DDSCL_NOWINDOWCHANGES = 0x4;
constexpr uint32_t DDSCL_NORMAL = 0x8;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x10;

constexpr uint32_t DDPCAPS_8BIT = 0x4;
constexpr uint32_t DDPCAPS_ALLOW256 = 0x40;
constexpr uint32_t DDCAPS2_WIDESURFACES = 0x1000;

// ---- records ----------------------------------------------------------------------------
struct DDBLTFX {
    uint32_t dwSize = sizeof(DDBLTFX);
    uint32_t dwDDFX = 0;
    uint32_t dwFillColor = 0;
};

struct DDPIXELFORMAT {
    uint32_t dwRGBBitCount = 0;
    uint32_t dwRBitMask = 0;
    uint32_t dwGBitMask = 0;
    uint32_t dwBBitMask = 0;
};

struct DDSURFACEDESC2 {
    uint32_t dwSize = sizeof(DDSURFACEDESC2);
    uint32_t dwFlags = 0;
    uint32_t dwWidth = 0;
    uint32_t dwHeight = 0;
    int32_t lPitch = 0;
    void* lpSurface = nullptr;
    uint32_t dwCaps = 0;
    DDPIXELFORMAT ddpfPixelFormat;
};

struct PALETTEENTRY {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};

// ---- objects ----------------------------------------------------------------------------
class DDraw;
class DDSurface;

// A surface's pixel memory: zeroed memory of its own, or a block a backend lends (a primary
// surface's memory can be shared with the display server, which then reads it in place).
class Pixel_Memory {
public:
    using Release = std::function<void(uint8_t* data, size_t size)>;
    Pixel_Memory() = default;
    // Zeroed memory of `size` bytes.
    explicit Pixel_Memory(size_t size);
    // `size` bytes at `data`, zeroed here, handed back to `release` when no longer used.
    Pixel_Memory(uint8_t* data, size_t size, Release release);
    Pixel_Memory(Pixel_Memory&& other) noexcept;
    Pixel_Memory& operator=(Pixel_Memory&& other) noexcept;
    Pixel_Memory(const Pixel_Memory&) = delete;
    Pixel_Memory& operator=(const Pixel_Memory&) = delete;
    ~Pixel_Memory();

    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    void Free();
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    Release release_;
};

class DDPalette {
public:
    HRESULT SetEntries(uint32_t flags, uint32_t start, uint32_t count, const PALETTEENTRY* entries);
    HRESULT GetEntries(uint32_t flags, uint32_t start, uint32_t count, PALETTEENTRY* entries) const;
    uint32_t AddRef() { return ++refs_; }
    uint32_t Release();
    const PALETTEENTRY* entries() const { return entries_; }
    // Changes with every SetEntries, so colour lookups can tell a changed palette.
    uint64_t generation() const { return generation_; }

private:
    friend class DDraw;
    DDPalette();
    ~DDPalette();
    PALETTEENTRY entries_[256]{};
    uint32_t refs_ = 1;
    uint64_t generation_ = 0;
};

class DDClipper {
public:
    HRESULT SetHWnd(uint32_t flags, HWND window);
    HWND window() const { return window_; }
    uint32_t AddRef() { return ++refs_; }
    uint32_t Release();

private:
    friend class DDraw;
    DDClipper() = default;
    HWND window_ = nullptr;
    uint32_t refs_ = 1;
};

class DDSurface {
public:
    // The display-interface calls.
    HRESULT Lock(const RECT* rect, DDSURFACEDESC2* desc, uint32_t flags, void* event);
    HRESULT Unlock(const RECT* rect);
    HRESULT IsLost() const;
    HRESULT Restore();
    HRESULT SetColorKey(uint32_t flags, uint32_t low, uint32_t high);
    HRESULT Blt(const RECT* dest_rect, DDSurface* source, const RECT* source_rect, uint32_t flags,
                const DDBLTFX* fx);
    HRESULT BltFast(int32_t x, int32_t y, DDSurface* source, const RECT* source_rect, uint32_t flags);
    HRESULT GetBltStatus(uint32_t flags) const;
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) const;
    HRESULT SetClipper(DDClipper* clipper);
    HRESULT SetPalette(DDPalette* palette);
    HRESULT GetPalette(DDPalette** palette);
    HRESULT GetDC(HDC* dc);
    HRESULT ReleaseDC(HDC dc);
    uint32_t AddRef() { return ++refs_; }
    uint32_t Release();

    // Direct access for the platform layer, backends and tests (no result codes).
    int width() const { return width_; }
    int height() const { return height_; }
    int bpp() const { return pixel_format_.bits_per_pixel; }
    int bytes_per_pixel() const { return pixel_format_.bytes_per_pixel; }
    // What the pixels hold, fixed when the surface is made.
    const Pixel_Format& pixel_format() const { return pixel_format_; }
    int pitch() const { return pitch_; }
    uint8_t* bits() { return pixels_.data(); }
    const uint8_t* bits() const { return pixels_.data(); }
    bool is_primary() const { return primary_; }
    bool in_video_memory() const { return video_; }
    bool is_locked() const { return locked_; }
    bool has_dc() const { return dc_ != nullptr; }
    uint32_t color_key() const { return key_; }
    DDClipper* clipper() const { return clipper_; }
    DDPalette* palette() const { return palette_; }
    DDraw* owner() const { return owner_; }
    const DDPIXELFORMAT& format() const { return format_; }
    // Marks the surface lost, as a display-mode change would; its pixels are gone.
    void Mark_Lost() { lost_ = true; }
    // Reads and writes one pixel value (the surface's own encoding), unchecked for locks.
    uint32_t Pixel(int x, int y) const;
    void Set_Pixel(int x, int y, uint32_t value);

private:
    friend class DDraw;
    DDSurface() = default;
    ~DDSurface();

    DDraw* owner_ = nullptr;
    int width_ = 0, height_ = 0, pitch_ = 0;
    Pixel_Format pixel_format_;
    bool primary_ = false, video_ = false, lost_ = false, locked_ = false;
    uint32_t key_ = 0;
    bool key_set_ = false;
    DDPIXELFORMAT format_;
    Pixel_Memory pixels_;
    DDClipper* clipper_ = nullptr;
    DDPalette* palette_ = nullptr;
    HDC dc_ = nullptr;
    uint32_t refs_ = 1;
};

class DDraw {
public:
    HRESULT QueryInterface(DDraw** out);
    HRESULT SetCooperativeLevel(HWND window, uint32_t flags);
    HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bpp, uint32_t refresh, uint32_t flags);
    HRESULT RestoreDisplayMode();
    HRESULT CreateSurface(const DDSURFACEDESC2* desc, DDSurface** out);
    HRESULT CreatePalette(uint32_t flags, const PALETTEENTRY* entries, DDPalette** out);
    HRESULT CreateClipper(uint32_t flags, DDClipper** out);
    HRESULT GetAvailableVidMem(uint32_t caps, uint32_t* total, uint32_t* free) const;
    HRESULT GetCaps(uint32_t* caps2) const;
    HRESULT WaitForVerticalBlank(uint32_t flags);
    HRESULT FlipToGDISurface();
    uint32_t AddRef() { return ++refs_; }
    uint32_t Release();

    int mode_width() const { return mode_w_; }
    int mode_height() const { return mode_h_; }
    int mode_bpp() const { return mode_bpp_; }
    bool exclusive() const { return exclusive_; }
    // The window of the last SetCooperativeLevel: where this display's picture is shown.
    HWND window() const { return window_; }
    uint32_t video_memory_used() const { return video_used_; }

private:
    friend HRESULT DirectDrawCreate(const void* guid, DDraw** out, void* outer);
    friend class DDSurface;
    DDraw() = default;
    uint32_t refs_ = 1;
    bool cooperative_ = false, exclusive_ = false, mode_set_ = false;
    HWND window_ = nullptr;
    int mode_w_ = 0, mode_h_ = 0, mode_bpp_ = 0;
    int64_t last_refresh_ = 0;
    uint32_t video_used_ = 0;
};

HRESULT DirectDrawCreate(const void* guid, DDraw** out, void* outer);

// ---- the machine the service pretends to be -----------------------------------------------
struct Display_Config {
    int desktop_width = 1024;
    int desktop_height = 768;
    int desktop_bpp = 32;
    bool format_16_is_565 = true;          // 16-bit modes are 5-6-5 unless a test says otherwise
    uint32_t video_memory_bytes = 64u << 20;
    bool wide_surfaces = true;
    std::vector<int> withheld_depths;      // depths SetDisplayMode refuses (depth fallback tests)
    int pitch_alignment = 32;              // rows are padded to this many bytes (pitch > width * bytes)
    bool vsync_sleeps = false;             // WaitForVerticalBlank paces to the refresh rate
    int refresh_hz = 60;
    // The monitors in desktop coordinates, the primary first; empty: one monitor at the desktop
    // size. Headless runs may name them: MIRRAVANE_HEADLESS_MONITORS=800x600+0+0,1024x768+800+0.
    std::vector<RECT> monitors;
};

Display_Config& Display_Settings();

// The monitors (at least one), the primary first.
std::vector<RECT> Desktop_Monitors();

// Waits for the display's next refresh where the backend paces frames (a real screen);
// returns at once otherwise. `last_refresh` is the caller's own record of the refresh it last
// waited for: several displays driven by one loop each present once per refresh, rather than
// taking turns at one refresh each.
void Wait_For_Refresh(int64_t& last_refresh);
void Reset_Display_Service();  // back to the default configuration; clears injected faults

// Pixel format of a depth on this display.
DDPIXELFORMAT Pixel_Format_For(int bpp);

// The palette attached to the primary surface (what 8-bit pixels mean on the screen), or
// nullptr while there is none.
const DDPalette* Display_Palette();

// Fault injection: the next `times` calls of a kind return `code` instead of running.
enum class DD_Call {
    DirectDrawCreate, QueryInterface, SetCooperativeLevel, SetDisplayMode, CreateSurface,
    CreatePalette, CreateClipper, SetClipper, SetHWnd, SetPalette, GetPalette, Lock, Blt, BltFast,
    SetColorKey, GetSurfaceDesc, Restore, GetBltStatus, GetAvailableVidMem, GetCaps, GetDC,
    WaitForVerticalBlank, GetEntries, Count
};
void Inject_DD_Fault(DD_Call call, HRESULT code, int times = 1);
void Clear_DD_Faults();
// Number of calls of a kind made since the last reset (tests count retries with it).
int DD_Call_Count(DD_Call call);

// Called after every write into the primary surface (presentation), with the rectangle
// written; backends hook it to show the picture.
using Primary_Hook = std::function<void(DDSurface* primary, const RECT& area)>;
void Set_Primary_Hook(Primary_Hook hook);
// Called when a primary surface goes away, before its pixel memory does (a picture that
// shows that memory without copying it must let go of it).
using Primary_Release_Hook = std::function<void(const DDSurface* primary)>;
void Set_Primary_Release_Hook(Primary_Release_Hook hook);
// Lends the memory of primary surfaces made from now on; a hook that returns empty memory
// (or no hook) leaves the surface its own.
using Primary_Memory_Hook = std::function<Pixel_Memory(size_t bytes)>;
void Set_Primary_Memory_Hook(Primary_Memory_Hook hook);
