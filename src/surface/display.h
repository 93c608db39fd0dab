// Display set-up and presentation, the frame timer and the frame-rate text.
#pragma once

#include <cstdint>
#include "session/forward.h"

#include "surface/surface.h"

constexpr int FULLSCREEN = 1;
constexpr int WINDOWED = 2;

// One display with its window: the display objects and the surfaces every frame is drawn
// on, the screen and client sizes, the frame clock and the frame-rate text. A session owns
// one; the surface layer works on it alone.
struct Display_Context {
    explicit Display_Context(App& app);
    ~Display_Context();
    Display_Context(const Display_Context&) = delete;
    Display_Context& operator=(const Display_Context&) = delete;

    App& app;
    HWND Main_Window = nullptr;  // the window the display shows in; owner of its boxes

    DDraw* Direct_Draw = nullptr;            // created first, released once the interface is had
    DDraw* Direct_Draw_Interface = nullptr;  // creates surfaces, palette, clipper; sets modes
    Surface Visible = nullptr;               // the primary surface
    Surface Hidden = nullptr;                // every frame is drawn here
    Surface Scratch_Pad = nullptr;           // transitions' work area
    DDPalette* Palette = nullptr;            // 8-bit displays only
    DDClipper* Clipper = nullptr;            // windowed displays only
    PALETTEENTRY Palette_Entries[256];       // the program's palette table
    int Pixel_Format_565 = 0;                // set by every successful lock
    DDSURFACEDESC2 Lock_Description;         // the one description record that every lock fills

    int Window_Mode = WINDOWED;
    int Screen_Width = 0, Screen_Height = 0, Screen_Bpp = 0;
    int Client_Width = 0, Client_Height = 0;
    int Wait_For_Vsync = 1;
    bool holds_objects = false;  // draws with the process's loaded object bitmaps

    // The frame clock and the frame-rate text.
    double frame_seconds = 0.0;
    int64_t last_refresh = 0;  // the refresh a saver without Vsync last waited for
    int64_t Frame_Milliseconds = 0;
    int Show_Frame_Rate = 1;
    char Frame_Rate_Text[64] = "";
    int frame_counter = 0;
    double accumulated_seconds = 0.0;
    int64_t last_frame_rate = 0;
    bool use_counter = false;
    int64_t counter_frequency = 0;
    int64_t last_counter = 0;
    uint32_t last_time = 0;
};

int Setup_Direct_Draw(Display_Context& d, int width, int height, int bpp);
int Setup_Windowed_Direct_Draw(Display_Context& d, int width, int height, int bpp, int system_memory);
int Release_Direct_Draw(Display_Context& d);
// The scratch pad: a screen-sized system-memory surface the transition draws through.
int Setup_Scratch_Pad(Display_Context& d);
void Release_Scratch_Pad(Display_Context& d);
int Display_Hidden_Surface(Display_Context& d);
int Display_Stretched_Hidden_Surface(Display_Context& d);
int Start_Frame_Timer(Display_Context& d);
void Update_Frame_Timer(Display_Context& d);
void Update_Frame_Rate(Display_Context& d);
void Draw_FPS(Display_Context& d);
int Grab_Current_Screen_Dimensions(App& app, int* width, int* height, int* bpp);
int Centre_Window(Display_Context& d, HWND window);
