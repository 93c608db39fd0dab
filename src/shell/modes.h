// The run mode chosen by the command line, and the shell's process-wide values.
#pragma once

#include "platform/windows/wintypes.h"

constexpr int CONFIGURE = 1;
constexpr int CHANGE_PASSWORD = 2;
constexpr int PREVIEW = 3;
constexpr int SAVER = 4;

extern int Saver_Mode;  // 0 behaves as CONFIGURE
extern HINSTANCE App_Instance;
extern HMENU App_Menu;
extern HCURSOR Arrow_Cursor;
extern int System_Width, System_Height, System_Bpp;  // the desktop as measured at start
extern int Frames_Running;                             // the loop runs frames while set
extern int Quit_Allowed;                               // set once the destroy handling ran
