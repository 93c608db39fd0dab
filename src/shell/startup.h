// Start-up: the command line, the screen-saver modes, the main window, the message loop.
#pragma once

#include <cstdint>

#include "platform/windows/windows.h"

extern uintptr_t Preview_Parent;     // the host's window in preview mode
extern uintptr_t Saver_Host_Window;  // a window the saver draws into instead of its own (-root)
extern int Start_Up_Exit_Code;       // the exit code of a start that ended early (0 unless it failed)

// The whole command line, program name included; returns the Saver_Mode value.
int Parse_Command_Line(const char* line, uintptr_t* preview_parent);
int Is_Saver_Running();
bool Translate_Accelerator(const MSG* msg);
int Message_Loop();
// Everything before the message loop: 1 when the loop is to run, 0 on an early exit
// (whose exit code is 0).
int Start_Up(const char* command_line);
// The program: returns the exit code.
int Mirravane_Main(const char* command_line);
