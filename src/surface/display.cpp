#include "surface/display.h"

#include <cstdio>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "surface/blit.h"

int Window_Mode = WINDOWED;
int Screen_Width = 0, Screen_Height = 0, Screen_Bpp = 0;
int Client_Width = 0, Client_Height = 0;
int Wait_For_Vsync = 1;
double frame_seconds = 0.0;
int64_t Frame_Milliseconds = 0;
int Show_Frame_Rate = 1;
char Frame_Rate_Text[64] = "";

namespace {

Once_Log setup_log, windowed_log, screen_log;

// Frame-rate accounting.
int frame_counter = 0;
int64_t accumulated_ms = 0;
int64_t last_frame_rate = 0;

// Frame timer.
bool use_counter = false;
int64_t counter_frequency = 0;
int64_t last_counter = 0;
uint32_t last_time = 0;

double Megabytes(int width, int height, int bpp) {
    const int32_t product = static_cast<int32_t>(static_cast<int64_t>(bpp) * width * height * 2);
    return static_cast<double>(product) * 0.0001220703125 * 0.001;
}

// DirectDrawCreate's answers, with the prefix of the set-up that asked.
void Report_Create_Failure(HRESULT code, const char* prefix, bool windowed) {
    switch (code) {
    case DDERR_INVALIDPARAMS:
        Report_Errorf("%sDDERR_INVALIDPARAMS\nOne or more of the parameters passed to the method are incorrect.", prefix);
        break;
    case DDERR_OUTOFMEMORY:
        Report_Errorf("%sDDERR_OUTOFMEMORY\n DirectDraw does not have enough memory to perform the operation.", prefix);
        break;
    case DDERR_GENERIC:
        Report_Errorf("%sDDERR_GENERIC\nThere is an undefined error condition.", prefix);
        break;
    case DDERR_INVALIDDIRECTDRAWGUID:
        Report_Errorf("%sDDERR_INVALIDDIRECTDRAWGUID\nThe globally unique identifier (GUID) passed to the "
                      "DirectDrawCreate function is not a valid DirectDraw driver identifier.",
                      prefix);
        break;
    case DDERR_DIRECTDRAWALREADYCREATED:
        Report_Errorf("%sDDERR_DIRECTDRAWALREADYCREATED\nA DirectDraw object representing this driver has already "
                      "been created for this process.",
                      prefix);
        break;
    case DDERR_NODIRECTDRAWHW:
        Report_Errorf("%sDDERR_NODIRECTDRAWHW\nHardware-only DirectDraw object creation is not possible; the driver "
                      "does not support any hardware.",
                      prefix);
        break;
    default:
        if (windowed)
            Report_Errorf("%sDEFAULT", prefix);
        else
            Report_Errorf("%sDEFAULT\nRaise your eyebrows if you read this\nas this error is undocumented", prefix);
        break;
    }
}

// The primary surface, with the messages of the set-up that asked.
int Create_Primary(const char* prefix, int width, int height) {
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS;
    desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
    const HRESULT result = Direct_Draw_Interface->CreateSurface(&desc, &Visible);
    if (result == DD_OK) return 1;
    const double mb = Megabytes(width, height, Screen_Bpp);
    switch (result) {
    case DDERR_INVALIDCAPS:
        Report_Errorf("%sCreate_Primary_Surface()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to "
                      "the callback function are incorrect.",
                      prefix);
        break;
    case DDERR_INVALIDPARAMS:
        Report_Errorf("%sCreate_Primary_Surface()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the "
                      "method are incorrect.",
                      prefix);
        break;
    case DDERR_OUTOFMEMORY:
        Report_Errorf("%sCreate_Primary_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to "
                      "perform the operation\nat least %.3lf MB required",
                      prefix, mb);
        break;
    case DDERR_NOCOOPERATIVELEVELSET:
        Report_Errorf("%sCreate_Primary_Surface()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without the "
                      "\nIDirectDraw4::SetCooperativeLevel method being called. ",
                      prefix);
        break;
    case DDERR_OUTOFVIDEOMEMORY:
        Report_Errorf("%sCreate_Primary_Surface()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display "
                      "memory\n to perform the operation. Cannot create surface\nwidth = %d\nheight = %dN.B. Some video "
                      "cards do not support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least "
                      "%.3lf MB required",
                      prefix, width, height, mb);
        break;
    default:
        Report_Errorf("%sCreate_Primary_Surface():DEFAULT\nCannot create surface\nwidth = %d\nheight = %d", prefix,
                      width, height);
        break;
    }
    return 0;
}

int Create_Palette() {
    if (Direct_Draw_Interface->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, Palette_Entries, &Palette) != DD_OK) {
        Report_Error("Setup_Windowed_Direct Draw():Unable to create 256 colour palette");
        return 0;
    }
    if (Visible->SetPalette(Palette) != DD_OK) {
        Report_Error("Setup_Windowed_Direct Draw():Unable to Attack 256 colour palette to primary");
        return 0;
    }
    return 1;
}

bool Client_On_Screen(RECT* rect) {
    if (!GetClientRect(Main_Window, rect)) return false;
    POINT origin{0, 0};
    ClientToScreen(Main_Window, &origin);
    OffsetRect(rect, origin.x, origin.y);
    return true;
}

}  // namespace

int Setup_Direct_Draw(int width, int height, int bpp) {
    setup_log.enter("Entering Setup_Direct_Draw");
    if (Direct_Draw) {
        Report_Error("Setup_Direct_Draw(): Direct_Draw should be NULL");
        return 0;
    }
    const HRESULT created = DirectDrawCreate(nullptr, &Direct_Draw, nullptr);
    if (created != DD_OK) {
        Report_Create_Failure(created, "Setup_Direct_Draw():", false);
        return 0;
    }
    if (Direct_Draw->QueryInterface(&Direct_Draw_Interface) != DD_OK) {
        Report_Error("Setup_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
        return 0;
    }
    Direct_Draw->Release();
    Direct_Draw = nullptr;

    if (Direct_Draw_Interface->SetCooperativeLevel(
            Main_Window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES | DDSCL_EXCLUSIVE) != DD_OK) {
        Report_Error("Setup_Direct_Draw():SetCooperativeLevel Failed");
        return 0;
    }

    auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    if (Direct_Draw_Interface->SetDisplayMode(w, h, static_cast<uint32_t>(bpp), 0, 0) != DD_OK) {
        // Near depths, in the order the display is most likely to offer them.
        static const int after_15[] = {16, 0};
        static const int after_16[] = {15, 0};
        static const int after_24[] = {32, 16, 15, 0};
        static const int after_32[] = {24, 16, 15, 0};
        const int* tries = bpp == 15 ? after_15 : bpp == 16 ? after_16 : bpp == 24 ? after_24 : bpp == 32 ? after_32 : nullptr;
        bool set = false;
        for (const int* t = tries; t && *t; ++t) {
            if (Direct_Draw_Interface->SetDisplayMode(w, h, static_cast<uint32_t>(*t), 0, 0) == DD_OK) {
                Screen_Bpp = *t;
                set = true;
                break;
            }
        }
        if (!set) {
            Report_Errorf("Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = %d,%d,%d", width, height, bpp);
            return 0;
        }
    }

    if (!Create_Primary("Setup_Direct_Draw():", width, height)) return 0;
    if (!Create_SYSTEM_Surface(&Hidden, width, height)) {
        Report_Error("Setup_Direct Draw():Unable to create secondary surface");
        return 0;
    }
    if (Screen_Bpp == 8 && !Create_Palette()) return 0;
    Window_Mode = FULLSCREEN;
    setup_log.exit("Exitting Setup_Direct_Draw");
    return 1;
}

int Setup_Windowed_Direct_Draw(int width, int height, int bpp, int) {
    windowed_log.enter("Entering Setup_Windowed_Direct_Draw");
    if (Direct_Draw) {
        Report_Error("Setup_Windowed_Direct_Draw(): direct draw should be NULL");
        return 0;
    }
    const HRESULT created = DirectDrawCreate(nullptr, &Direct_Draw, nullptr);
    if (created != DD_OK) {
        Report_Create_Failure(created, "Setup_Windowed_Direct_Draw():", true);
        return 0;
    }
    if (Direct_Draw->QueryInterface(&Direct_Draw_Interface) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
        return 0;
    }
    if (error_logging && !windowed_log.done)
        Report_Error("Setup_Windowed_Direct_Draw(): Direct_Draw->QueryInterface SUCCESS");
    Direct_Draw->Release();
    Direct_Draw = nullptr;

    if (Direct_Draw_Interface->SetCooperativeLevel(Main_Window, DDSCL_NORMAL) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():SetCooperativeLevel Failed");
        return 0;
    }
    if (error_logging && !windowed_log.done)
        Report_Error("Setup_Windowed_Direct_Draw(): Direct_Draw_Interface->SetCooperativeLevel SUCCESS");

    if (!Create_Primary("Setup_Windowed_Direct_Draw():", width, height)) return 0;
    if (!Create_SYSTEM_Surface(&Hidden, width, height)) {
        Report_Error("Setup_Windowed_Direct Draw():Unable to create secondary surface");
        return 0;
    }
    (void)bpp;
    if (Screen_Bpp == 8 && !Create_Palette()) return 0;
    Window_Mode = WINDOWED;

    if (Direct_Draw_Interface->CreateClipper(0, &Clipper) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():CreateClipper FAILED");
        return 0;
    }
    if (Clipper->SetHWnd(0, Main_Window) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():Clipper->SetHWnd FAILED");
        return 0;
    }
    if (Visible->SetClipper(Clipper) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():SetClipper FAILED");
        return 0;
    }
    windowed_log.exit("Exitting Setup_Windowed_Direct_Draw");
    return 1;
}

int Release_Direct_Draw() {
    if (Window_Mode == FULLSCREEN && Direct_Draw_Interface) Direct_Draw_Interface->RestoreDisplayMode();
    if (Clipper) {
        Clipper->Release();
        Clipper = nullptr;
    }
    if (Palette) {
        Palette->Release();
        Palette = nullptr;
    }
    Release_Surface(&Hidden);
    Release_Surface(&Visible);
    if (Direct_Draw_Interface) {
        Direct_Draw_Interface->Release();
        Direct_Draw_Interface = nullptr;
    }
    if (Direct_Draw) {
        Direct_Draw->Release();
        Direct_Draw = nullptr;
    }
    return 1;
}

int Display_Hidden_Surface() {
    if (!Hidden || !Visible) {
        Report_Error("Display_Hidden_Surface(): Hidden or Visible is NULL");
        return 0;
    }
    if (!Restore_All_Surfaces()) {
        Report_Error("Display_Hidden_Surface(): Restore_All_Surfaces FAILED");
        return 0;
    }
    if (Window_Mode == WINDOWED) {
        RECT client;
        if (!Client_On_Screen(&client)) return 1;
        int w = client.right - client.left, h = client.bottom - client.top;
        if (w > Screen_Width) w = Screen_Width;
        if (h > Screen_Height) h = Screen_Height;
        // A client with no rows has no area either: copying nothing is not a failure.
        if (w >= 1 && h >= 1) {
            if (Wait_For_Vsync && Direct_Draw_Interface) Direct_Draw_Interface->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
            if (!Clip_Blit(Hidden, Visible, 0, 0, client.left, client.top, w, h)) {
                Report_Error("Display_Hidden_Surface(): Fast_Blit FAILED");
                return 0;
            }
        }
        return 1;
    }
    if (Wait_For_Vsync && Direct_Draw_Interface) Direct_Draw_Interface->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
    if (!Fast_Blit(Hidden, Visible, 0, 0, 0, 0, Screen_Width, Screen_Height)) {
        Report_Error("Display_Hidden_Screen(): Fast Blit FAILED");
        return 0;
    }
    return 1;
}

int Display_Stretched_Hidden_Surface() {
    if (!Hidden || !Visible) {
        Report_Error("Display_Stretched_Hidden_Surface():Either source or dest is NULL");
        return 0;
    }
    if (Hidden->IsLost() == DDERR_SURFACELOST) {
        Report_Error("Display_Stretched_Hidden_Surface():Either source or dest is lost");
        return 0;
    }
    if (Visible->IsLost() == DDERR_SURFACELOST && !Restore_All_Surfaces()) {
        Report_Error("Display_Stretched_Hidden_Surface():Either source or dest is lost");
        return 0;
    }
    if (Window_Mode == FULLSCREEN) {
        Display_Hidden_Surface();
        return 1;
    }
    RECT client;
    if (!Client_On_Screen(&client)) {
        Report_Error("Display_Stretched_Hidden_Surface(): GetClientRect FAILED");
        return 0;
    }
    int w = client.right - client.left, h = client.bottom - client.top;
    if (w > Screen_Width) w = Screen_Width;
    if (h > Screen_Height) h = Screen_Height;
    if (w > 0 && h > 0) {
        if (Wait_For_Vsync && Direct_Draw_Interface) Direct_Draw_Interface->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
        if (!Stretch_Blit(Hidden, Visible, 0, 0, client.left, client.top, Screen_Width, Screen_Height, w, h)) {
            Report_Error("Display_Stretched_Hidden_Surface():Stretch_Blit FAILED");
            return 0;
        }
        return 1;
    }
    if (IsIconic(Main_Window)) return 1;
    Report_Errorf("Display_Stretched_Hidden_Surface(): Invalid width %d height %d", w, h);
    return 0;
}

int Start_Frame_Timer() {
    int64_t frequency = 0;
    if (QueryPerformanceFrequency(&frequency) && frequency > 0) {
        use_counter = true;
        counter_frequency = frequency;
        QueryPerformanceCounter(&last_counter);
    } else {
        use_counter = false;
        last_time = timeGetTime();
    }
    return 1;
}

void Update_Frame_Timer() {
    if (use_counter) {
        int64_t now = 0;
        QueryPerformanceCounter(&now);
        frame_seconds = static_cast<double>(now - last_counter) / static_cast<double>(counter_frequency);
        Frame_Milliseconds = static_cast<int64_t>(frame_seconds * 1000.0);
        Update_Frame_Rate();
        QueryPerformanceCounter(&last_counter);
    } else {
        Frame_Milliseconds = static_cast<int64_t>(static_cast<uint32_t>(timeGetTime() - last_time));
        frame_seconds = static_cast<double>(Frame_Milliseconds) * 0.001;
        Update_Frame_Rate();
        last_time = timeGetTime();
    }
}

void Update_Frame_Rate() {
    if (Show_Frame_Rate != 1) return;
    ++frame_counter;
    if (frame_counter < 16) {
        accumulated_ms += Frame_Milliseconds;
    } else {
        frame_counter = 0;
        if (accumulated_ms != 0) last_frame_rate = 16000 / accumulated_ms;
        accumulated_ms = 0;
    }
    const auto rate = static_cast<int16_t>(last_frame_rate & 0xFFFF);
    if (last_frame_rate < 10)
        std::snprintf(Frame_Rate_Text, sizeof Frame_Rate_Text, "fps   %d", rate);
    else if (last_frame_rate < 100)
        std::snprintf(Frame_Rate_Text, sizeof Frame_Rate_Text, "fps  %d", rate);
    else
        std::snprintf(Frame_Rate_Text, sizeof Frame_Rate_Text, "fps %d", rate);
}

void Draw_FPS() {
    if (Show_Frame_Rate) Draw_GDI_Text(Hidden, 0, 0, 0x00C8C8C8, Frame_Rate_Text);
}

int Grab_Current_Screen_Dimensions(int* width, int* height, int* bpp) {
    screen_log.enter("Entering Grab_Current_Screen_Dimensions");
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    const int depth = Desktop_Bits_Per_Pixel();
    if (depth <= 0) {
        Report_Error("Grab_Current_Screen_Dimensions(): FAILED");
        return 0;
    }
    *bpp = depth;
    screen_log.exit("Exitting Grab_Current_Screen_Dimensions");
    return 1;
}

int Centre_Window(HWND window) {
    const int s = (2 * Screen_Height) / 3;
    const int x = (Screen_Width - s) / 2;
    const int y = (Screen_Height - s) / 2;
    const int right = (s + Screen_Width) / 2;
    const int bottom = (s + Screen_Height) / 2;
    SetWindowPos(Main_Window, HWND_NOTOPMOST_ID, x, y, right - x, bottom - y, 0);
    SetWindowPlacementRestored(window, RECT{x, y, right, bottom});
    RECT client;
    if (!GetClientRect(Main_Window, &client)) {
        Report_Error("Centre_Window: GetClientRect FAILED");
        return 0;
    }
    Client_Width = client.right - client.left;
    Client_Height = client.bottom - client.top;
    return 1;
}
