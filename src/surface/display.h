// Display set-up and presentation, the frame timer and the frame-rate text.
#pragma once

#include <cstdint>

#include "surface/surface.h"

extern int Window_Mode;       // 1 full screen, 2 windowed
constexpr int FULLSCREEN = 1;
constexpr int WINDOWED = 2;
extern int Screen_Width, Screen_Height, Screen_Bpp;
extern int Client_Width, Client_Height;
extern int Wait_For_Vsync;
extern double frame_seconds;
extern int64_t Frame_Milliseconds;
extern int Show_Frame_Rate;
extern char Frame_Rate_Text[64];

int Setup_Direct_Draw(Display& d, int width, int height, int bpp);
int Setup_Windowed_Direct_Draw(Display& d, int width, int height, int bpp, int system_memory);
int Release_Direct_Draw(Display& d);
int Display_Hidden_Surface(Display& d);
int Display_Stretched_Hidden_Surface(Display& d);
int Start_Frame_Timer(Display& d);
void Update_Frame_Timer(Display& d);
void Update_Frame_Rate(Display& d);
void Draw_FPS(Display& d);
int Grab_Current_Screen_Dimensions(App& app, int* width, int* height, int* bpp);
int Centre_Window(Display& d, HWND window);
