#include "shell/modes.h"

int Saver_Mode = 0;
HINSTANCE App_Instance = nullptr;
HMENU App_Menu = nullptr;
HCURSOR Arrow_Cursor = nullptr;
int System_Width = 0, System_Height = 0, System_Bpp = 0;
int Frames_Running = 1;
int Quit_Allowed = 0;
