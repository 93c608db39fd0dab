// What every settings dialog shares: the display made visible while a dialog is open,
// the picture behind a moved dialog repaired, and the scroll-bar arithmetic.
#pragma once

#include "platform/windows/dialog.h"
#include "session/forward.h"

// Opening: the cursor shown and the desktop surface in front so the dialog can be seen.
// `every_mode` false does it only in full-screen mode.
void Dialog_Opening_Display(Display_Context& d, bool every_mode = false);
// Closing: the cursor hidden again (only in full-screen mode unless `every_mode`).
void Dialog_Closing_Display(Display_Context& d, bool every_mode = false);

// The last frame presented again: the kaleidoscope stretch when it is active, else the
// ordinary presentation. 1 / 0.
int Present_Last_Frame(Session& s);
// Only in windowed mode: the kaleidoscope stretch, falling back to the ordinary
// presentation when the stretch fails. Always 1.
int Present_Last_Frame_Windowed(Session& s);

// The value a horizontal scroll code gives: line/page steps, thumb, ends; clamped to
// minimum..maximum. Codes that move nothing (end of scroll) leave the value as it is.
int Scroll_Value(int code, int thumb, int value, int minimum, int maximum, int line_step, int page_step);
// The SB_* code and thumb position of a WM_HSCROLL word parameter.
inline int Scroll_Code(WPARAM wparam) { return static_cast<int>(LOWORD(wparam)); }
inline int Scroll_Thumb(WPARAM wparam) { return static_cast<int>(HIWORD(wparam)); }
// The control id of the scroll bar a WM_HSCROLL came from.
inline int Scroll_Bar_Id(LPARAM lparam) { return GetDlgCtrlID(reinterpret_cast<HWND>(lparam)); }

// Range, position and number of one bar in one call.
void Set_Bar(HWND dialog, int bar, int number, int minimum, int maximum, int value);
// Position and number after a change.
void Show_Bar(HWND dialog, int bar, int number, int value);

// Registers the templates once; launchers call it so they also work without the start-up.
void Ensure_Dialog_Templates();
// Opens a template modally over the main window (templates registered first); returns 1.
int Show_Dialog(Display_Context& d, const char* name, DLGPROC proc);
