#include "surface/display.h"

#include <cmath>
#include <cstdio>

#include "diagnostics/diagnostics.h"
#include "session/app.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "surface/blit.h"
#include "session/session.h"


Display_Context::Display_Context(App& owner) : app(owner) {
    // Until the plasma chooses its first palette the table holds a spread of colours: a
    // 6 x 6 x 6 cube (black first) and eight greys in each step between the cube's greys.
    // Objects and fonts are loaded before that first palette, and GDI maps their colours
    // through this one.
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
    app.displays.push_back(this);
}

Display_Context::~Display_Context() { std::erase(app.displays, this); }

namespace {

const Once_Log setup_log, windowed_log, screen_log;

// Frame-rate accounting.

// Frame timer.

double Megabytes(int width, int height, int bpp) {
    const int32_t product = static_cast<int32_t>(static_cast<int64_t>(bpp) * width * height * 2);
    return static_cast<double>(product) * 0.0001220703125 * 0.001;
}

// DirectDrawCreate's answers, with the prefix of the set-up that asked.
void Report_Create_Failure(App& app, HRESULT code, const char* prefix, bool windowed) {
    switch (code) {
    case DDERR_INVALIDPARAMS:
        Report_Errorf(app, "%sDDERR_INVALIDPARAMS\nOne or more of the parameters passed to the method are incorrect.", prefix);
        break;
    case DDERR_OUTOFMEMORY:
        Report_Errorf(app, "%sDDERR_OUTOFMEMORY\n DirectDraw does not have enough memory to perform the operation.", prefix);
        break;
    case DDERR_GENERIC:
        Report_Errorf(app, "%sDDERR_GENERIC\nThere is an undefined error condition.", prefix);
        break;
    case DDERR_INVALIDDIRECTDRAWGUID:
        Report_Errorf(app, "%sDDERR_INVALIDDIRECTDRAWGUID\nThe globally unique identifier (GUID) passed to the "
                      "DirectDrawCreate function is not a valid DirectDraw driver identifier.",
                      prefix);
        break;
    case DDERR_DIRECTDRAWALREADYCREATED:
        Report_Errorf(app, "%sDDERR_DIRECTDRAWALREADYCREATED\nA DirectDraw object representing this driver has already "
                      "been created for this process.",
                      prefix);
        break;
    case DDERR_NODIRECTDRAWHW:
        Report_Errorf(app, "%sDDERR_NODIRECTDRAWHW\nHardware-only DirectDraw object creation is not possible; the driver "
                      "does not support any hardware.",
                      prefix);
        break;
    default:
        if (windowed)
            Report_Errorf(app, "%sDEFAULT", prefix);
        else
            Report_Errorf(app, "%sDEFAULT\nRaise your eyebrows if you read this\nas this error is undocumented", prefix);
        break;
    }
}

// The primary surface, with the messages of the set-up that asked.
int Create_Primary(Display_Context& d, const char* prefix, int width, int height) {
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS;
    desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
    const HRESULT result = d.Direct_Draw_Interface->CreateSurface(&desc, &d.Visible);
    if (result == DD_OK) return 1;
    const double mb = Megabytes(width, height, d.Screen_Bpp);
    switch (result) {
    case DDERR_INVALIDCAPS:
        Report_Errorf(d.app, "%sCreate_Primary_Surface()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to "
                      "the callback function are incorrect.",
                      prefix);
        break;
    case DDERR_INVALIDPARAMS:
        Report_Errorf(d.app, "%sCreate_Primary_Surface()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the "
                      "method are incorrect.",
                      prefix);
        break;
    case DDERR_OUTOFMEMORY:
        Report_Errorf(d.app, "%sCreate_Primary_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to "
                      "perform the operation\nat least %.3lf MB required",
                      prefix, mb);
        break;
    case DDERR_NOCOOPERATIVELEVELSET:
        Report_Errorf(d.app, "%sCreate_Primary_Surface()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without the "
                      "\nIDirectDraw4::SetCooperativeLevel method being called. ",
                      prefix);
        break;
    case DDERR_OUTOFVIDEOMEMORY:
        Report_Errorf(d.app, "%sCreate_Primary_Surface()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display "
                      "memory\n to perform the operation. Cannot create surface\nwidth = %d\nheight = %dN.B. Some video "
                      "cards do not support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least "
                      "%.3lf MB required",
                      prefix, width, height, mb);
        break;
    default:
        Report_Errorf(d.app, "%sCreate_Primary_Surface():DEFAULT\nCannot create surface\nwidth = %d\nheight = %d", prefix,
                      width, height);
        break;
    }
    return 0;
}

int Create_Palette(Display_Context& d) {
    if (d.Direct_Draw_Interface->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, d.Palette_Entries, &d.Palette) != DD_OK) {
        Report_Error(d.app, "Setup_Windowed_Direct Draw():Unable to create 256 colour palette");
        return 0;
    }
    if (d.Visible->SetPalette(d.Palette) != DD_OK) {
        Report_Error(d.app, "Setup_Windowed_Direct Draw():Unable to Attack 256 colour palette to primary");
        return 0;
    }
    return 1;
}

bool Client_On_Screen(Display_Context& d, RECT* rect) {
    if (!GetClientRect(d.Main_Window, rect)) return false;
    POINT origin{0, 0};
    ClientToScreen(d.Main_Window, &origin);
    OffsetRect(rect, origin.x, origin.y);
    return true;
}

}  // namespace

int Setup_Direct_Draw(Display_Context& d, int width, int height, int bpp) {
    setup_log.enter(d.app, "Entering Setup_Direct_Draw");
    if (d.Direct_Draw) {
        Report_Error(d.app, "Setup_Direct_Draw(): Direct_Draw should be NULL");
        return 0;
    }
    const HRESULT created = DirectDrawCreate(nullptr, &d.Direct_Draw, nullptr);
    if (created != DD_OK) {
        Report_Create_Failure(d.app, created, "Setup_Direct_Draw():", false);
        return 0;
    }
    if (d.Direct_Draw->QueryInterface(&d.Direct_Draw_Interface) != DD_OK) {
        Report_Error(d.app, "Setup_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
        return 0;
    }
    d.Direct_Draw->Release();
    d.Direct_Draw = nullptr;

    if (d.Direct_Draw_Interface->SetCooperativeLevel(
            d.Main_Window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES | DDSCL_EXCLUSIVE) != DD_OK) {
        Report_Error(d.app, "Setup_Direct_Draw():SetCooperativeLevel Failed");
        return 0;
    }

    auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    if (d.Direct_Draw_Interface->SetDisplayMode(w, h, static_cast<uint32_t>(bpp), 0, 0) != DD_OK) {
        // Near depths, in the order the display is most likely to offer them.
        static const int after_15[] = {16, 0};
        static const int after_16[] = {15, 0};
        static const int after_24[] = {32, 16, 15, 0};
        static const int after_32[] = {24, 16, 15, 0};
        const int* tries = bpp == 15 ? after_15 : bpp == 16 ? after_16 : bpp == 24 ? after_24 : bpp == 32 ? after_32 : nullptr;
        bool set = false;
        for (const int* t = tries; t && *t; ++t) {
            if (d.Direct_Draw_Interface->SetDisplayMode(w, h, static_cast<uint32_t>(*t), 0, 0) == DD_OK) {
                d.Screen_Bpp = *t;
                set = true;
                break;
            }
        }
        if (!set) {
            Report_Errorf(d.app, "Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = %d,%d,%d", width, height, bpp);
            return 0;
        }
    }

    if (!Create_Primary(d, "Setup_Direct_Draw():", width, height)) return 0;
    if (!Create_SYSTEM_Surface(d, &d.Hidden, width, height)) {
        Report_Error(d.app, "Setup_Direct Draw():Unable to create secondary surface");
        return 0;
    }
    if (d.Screen_Bpp == 8 && !Create_Palette(d)) return 0;
    d.Window_Mode = FULLSCREEN;
    setup_log.exit(d.app, "Exitting Setup_Direct_Draw");
    return 1;
}

int Setup_Windowed_Direct_Draw(Display_Context& d, int width, int height, int bpp, int) {
    windowed_log.enter(d.app, "Entering Setup_Windowed_Direct_Draw");
    if (d.Direct_Draw) {
        Report_Error(d.app, "Setup_Windowed_Direct_Draw(): direct draw should be NULL");
        return 0;
    }
    const HRESULT created = DirectDrawCreate(nullptr, &d.Direct_Draw, nullptr);
    if (created != DD_OK) {
        Report_Create_Failure(d.app, created, "Setup_Windowed_Direct_Draw():", true);
        return 0;
    }
    if (d.Direct_Draw->QueryInterface(&d.Direct_Draw_Interface) != DD_OK) {
        Report_Error(d.app, "Setup_Windowed_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
        return 0;
    }
    if (d.app.error_logging && !windowed_log.done(d.app))
        Report_Error(d.app, "Setup_Windowed_Direct_Draw(): Direct_Draw->QueryInterface SUCCESS");
    d.Direct_Draw->Release();
    d.Direct_Draw = nullptr;

    if (d.Direct_Draw_Interface->SetCooperativeLevel(d.Main_Window, DDSCL_NORMAL) != DD_OK) {
        Report_Error(d.app, "Setup_Windowed_Direct_Draw():SetCooperativeLevel Failed");
        return 0;
    }
    if (d.app.error_logging && !windowed_log.done(d.app))
        Report_Error(d.app, "Setup_Windowed_Direct_Draw(): Direct_Draw_Interface->SetCooperativeLevel SUCCESS");

    if (!Create_Primary(d, "Setup_Windowed_Direct_Draw():", width, height)) return 0;
    if (!Create_SYSTEM_Surface(d, &d.Hidden, width, height)) {
        Report_Error(d.app, "Setup_Windowed_Direct Draw():Unable to create secondary surface");
        return 0;
    }
    (void)bpp;
    if (d.Screen_Bpp == 8 && !Create_Palette(d)) return 0;
    d.Window_Mode = WINDOWED;

    if (d.Direct_Draw_Interface->CreateClipper(0, &d.Clipper) != DD_OK) {
        Report_Error(d.app, "Setup_Windowed_Direct_Draw():CreateClipper FAILED");
        return 0;
    }
    if (d.Clipper->SetHWnd(0, d.Main_Window) != DD_OK) {
        Report_Error(d.app, "Setup_Windowed_Direct_Draw():Clipper->SetHWnd FAILED");
        return 0;
    }
    if (d.Visible->SetClipper(d.Clipper) != DD_OK) {
        Report_Error(d.app, "Setup_Windowed_Direct_Draw():SetClipper FAILED");
        return 0;
    }
    windowed_log.exit(d.app, "Exitting Setup_Windowed_Direct_Draw");
    return 1;
}

int Release_Direct_Draw(Display_Context& d) {
    if (d.Window_Mode == FULLSCREEN && d.Direct_Draw_Interface) d.Direct_Draw_Interface->RestoreDisplayMode();
    if (d.Clipper) {
        d.Clipper->Release();
        d.Clipper = nullptr;
    }
    if (d.Palette) {
        d.Palette->Release();
        d.Palette = nullptr;
    }
    Release_Surface(&d.Hidden);
    Release_Surface(&d.Visible);
    if (d.Direct_Draw_Interface) {
        d.Direct_Draw_Interface->Release();
        d.Direct_Draw_Interface = nullptr;
    }
    if (d.Direct_Draw) {
        d.Direct_Draw->Release();
        d.Direct_Draw = nullptr;
    }
    return 1;
}

int Setup_Scratch_Pad(Display_Context& d) {
    Release_Surface(&d.Scratch_Pad);
    if (!Create_SYSTEM_Surface(d, &d.Scratch_Pad, d.Screen_Width, d.Screen_Height)) {
        Report_Error(d.app, "Setup_Scratch_Pad():\n\nUnable to Create Scratch Pad Surface");
        return 0;
    }
    Set_Transparency(d.app, d.Scratch_Pad, 0);
    Clear(d, d.Scratch_Pad);
    return 1;
}

void Release_Scratch_Pad(Display_Context& d) { Release_Surface(&d.Scratch_Pad); }

int Display_Hidden_Surface(Display_Context& d) {
    if (!d.Hidden || !d.Visible) {
        Report_Error(d.app, "Display_Hidden_Surface(): Hidden or Visible is NULL");
        return 0;
    }
    if (!Restore_All_Surfaces(d)) {
        Report_Error(d.app, "Display_Hidden_Surface(): Restore_All_Surfaces FAILED");
        return 0;
    }
    if (d.Window_Mode == WINDOWED) {
        RECT client;
        if (!Client_On_Screen(d, &client)) return 1;
        int w = client.right - client.left, h = client.bottom - client.top;
        if (w > d.Screen_Width) w = d.Screen_Width;
        if (h > d.Screen_Height) h = d.Screen_Height;
        // A client with no rows has no area either: copying nothing is not a failure.
        if (w >= 1 && h >= 1) {
            if (d.Wait_For_Vsync && d.Direct_Draw_Interface) d.Direct_Draw_Interface->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
            if (!Clip_Blit_Within(d, d.Hidden, d.Visible, 0, 0, client.left, client.top, w, h, d.Visible->width(), d.Visible->height())) {
                Report_Error(d.app, "Display_Hidden_Surface(): Fast_Blit FAILED");
                return 0;
            }
        }
        return 1;
    }
    if (d.Wait_For_Vsync && d.Direct_Draw_Interface) d.Direct_Draw_Interface->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
    if (!Fast_Blit(d, d.Hidden, d.Visible, 0, 0, 0, 0, d.Screen_Width, d.Screen_Height)) {
        Report_Error(d.app, "Display_Hidden_Screen(): Fast Blit FAILED");
        return 0;
    }
    return 1;
}

int Display_Stretched_Hidden_Surface(Display_Context& d) {
    if (!d.Hidden || !d.Visible) {
        Report_Error(d.app, "Display_Stretched_Hidden_Surface():Either source or dest is NULL");
        return 0;
    }
    if (d.Hidden->IsLost() == DDERR_SURFACELOST) {
        Report_Error(d.app, "Display_Stretched_Hidden_Surface():Either source or dest is lost");
        return 0;
    }
    if (d.Visible->IsLost() == DDERR_SURFACELOST && !Restore_All_Surfaces(d)) {
        Report_Error(d.app, "Display_Stretched_Hidden_Surface():Either source or dest is lost");
        return 0;
    }
    if (d.Window_Mode == FULLSCREEN) {
        Display_Hidden_Surface(d);
        return 1;
    }
    RECT client;
    if (!Client_On_Screen(d, &client)) {
        Report_Error(d.app, "Display_Stretched_Hidden_Surface(): GetClientRect FAILED");
        return 0;
    }
    int w = client.right - client.left, h = client.bottom - client.top;
    if (w > d.Screen_Width) w = d.Screen_Width;
    if (h > d.Screen_Height) h = d.Screen_Height;
    if (w > 0 && h > 0) {
        if (d.Wait_For_Vsync && d.Direct_Draw_Interface) d.Direct_Draw_Interface->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
        if (!Stretch_Blit(d, d.Hidden, d.Visible, 0, 0, client.left, client.top, d.Screen_Width, d.Screen_Height, w, h)) {
            Report_Error(d.app, "Display_Stretched_Hidden_Surface():Stretch_Blit FAILED");
            return 0;
        }
        return 1;
    }
    if (IsIconic(d.Main_Window)) return 1;
    Report_Errorf(d.app, "Display_Stretched_Hidden_Surface(): Invalid width %d height %d", w, h);
    return 0;
}

int Start_Frame_Timer(Display_Context& d) {
    int64_t frequency = 0;
    if (QueryPerformanceFrequency(&frequency) && frequency > 0) {
        d.use_counter = true;
        d.counter_frequency = frequency;
        QueryPerformanceCounter(&d.last_counter);
    } else {
        d.use_counter = false;
        d.last_time = timeGetTime();
    }
    return 1;
}

void Update_Frame_Timer(Display_Context& d) {
    if (d.use_counter) {
        int64_t now = 0;
        QueryPerformanceCounter(&now);
        d.frame_seconds = static_cast<double>(now - d.last_counter) / static_cast<double>(d.counter_frequency);
        d.Frame_Milliseconds = static_cast<int64_t>(d.frame_seconds * 1000.0);
        Update_Frame_Rate(d);
        QueryPerformanceCounter(&d.last_counter);
    } else {
        d.Frame_Milliseconds = static_cast<int64_t>(static_cast<uint32_t>(timeGetTime() - d.last_time));
        d.frame_seconds = static_cast<double>(d.Frame_Milliseconds) * 0.001;
        Update_Frame_Rate(d);
        d.last_time = timeGetTime();
    }
}

void Update_Frame_Rate(Display_Context& d) {
    if (d.Show_Frame_Rate != 1) return;
    // Sixteen frames over the time all sixteen took, at the timer's own resolution: whole
    // milliseconds over fifteen of them read 66 on a 59.7 Hz display.
    d.accumulated_seconds += d.frame_seconds;
    if (++d.frame_counter >= 16) {
        if (d.accumulated_seconds > 0.0) d.last_frame_rate = std::llround(d.frame_counter / d.accumulated_seconds);
        d.frame_counter = 0;
        d.accumulated_seconds = 0.0;
    }
    const auto rate = static_cast<int16_t>(d.last_frame_rate & 0xFFFF);
    if (d.last_frame_rate < 10)
        std::snprintf(d.Frame_Rate_Text, sizeof d.Frame_Rate_Text, "fps   %d", rate);
    else if (d.last_frame_rate < 100)
        std::snprintf(d.Frame_Rate_Text, sizeof d.Frame_Rate_Text, "fps  %d", rate);
    else
        std::snprintf(d.Frame_Rate_Text, sizeof d.Frame_Rate_Text, "fps %d", rate);
}

void Draw_FPS(Display_Context& d) {
    if (d.Show_Frame_Rate) Draw_GDI_Text(d.Hidden, 0, 0, 0x00C8C8C8, d.Frame_Rate_Text);
}

int Grab_Current_Screen_Dimensions(App& app, int* width, int* height, int* bpp) {
    screen_log.enter(app, "Entering Grab_Current_Screen_Dimensions");
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    const int depth = Desktop_Bits_Per_Pixel();
    if (depth <= 0) {
        Report_Error(app, "Grab_Current_Screen_Dimensions(): FAILED");
        return 0;
    }
    *bpp = depth;
    screen_log.exit(app, "Exitting Grab_Current_Screen_Dimensions");
    return 1;
}

int Centre_Window(Display_Context& d, HWND window) {
    // On the monitor the window is on: one that went full screen there comes back there.
    const RECT monitor = Monitor_Of(d.Main_Window);
    const int s = (2 * d.Screen_Height) / 3;
    const int x = monitor.left + (d.Screen_Width - s) / 2;
    const int y = monitor.top + (d.Screen_Height - s) / 2;
    const int right = monitor.left + (s + d.Screen_Width) / 2;
    const int bottom = monitor.top + (s + d.Screen_Height) / 2;
    SetWindowPos(d.Main_Window, HWND_NOTOPMOST_ID, x, y, right - x, bottom - y, 0);
    SetWindowPlacementRestored(window, RECT{x, y, right, bottom});
    RECT client;
    if (!GetClientRect(d.Main_Window, &client)) {
        Report_Error(d.app, "Centre_Window: GetClientRect FAILED");
        return 0;
    }
    d.Client_Width = client.right - client.left;
    d.Client_Height = client.bottom - client.top;
    return 1;
}
