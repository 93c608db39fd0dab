#include "surface/display.h"

int Window_Mode = WINDOWED;
int Screen_Width = 0, Screen_Height = 0, Screen_Bpp = 0;
int Client_Width = 0, Client_Height = 0;
int Wait_For_Vsync = 1;
double frame_seconds = 0.0;
int64_t Frame_Milliseconds = 0;
int Show_Frame_Rate = 1;
char Frame_Rate_Text[64] = "";
