// The main window's procedure: messages, keys and menu commands.
#pragma once

#include "platform/windows/windows.h"
#include "session/forward.h"

LRESULT Main_Window_Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Forgets the last applied client size (a new window, or a test's fresh start).
void Reset_Window_Procedure(Session& s);
