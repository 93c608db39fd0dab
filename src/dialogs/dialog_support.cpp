#include "dialogs/dialog_support.h"

#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "dialogs/templates.h"
#include "kaleidoscope/kaleidoscope.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "session/session.h"

void Dialog_Opening_Display(Display_Context& d, bool every_mode) {
    if (!every_mode && d.Window_Mode != FULLSCREEN) return;
    ShowCursor(true);
    if (d.Direct_Draw_Interface) d.Direct_Draw_Interface->FlipToGDISurface();
}

void Dialog_Closing_Display(Display_Context& d, bool every_mode) {
    if (every_mode || d.Window_Mode == FULLSCREEN) ShowCursor(false);
}

int Present_Last_Frame(Session& s) {
    return s.kaleidoscope.kaleidoscope_active ? Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible) : Display_Hidden_Surface(s.display);
}

int Present_Last_Frame_Windowed(Session& s) {
    if (s.display.Window_Mode != WINDOWED) return 1;
    if (!Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible)) Display_Hidden_Surface(s.display);
    return 1;
}

int Scroll_Value(int code, int thumb, int value, int minimum, int maximum, int line_step, int page_step) {
    switch (code) {
    case SB_LINELEFT: value -= line_step; break;
    case SB_LINERIGHT: value += line_step; break;
    case SB_PAGELEFT: value -= page_step; break;
    case SB_PAGERIGHT: value += page_step; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: value = thumb; break;
    case SB_LEFT: value = minimum; break;
    case SB_RIGHT: value = maximum; break;
    default: return value;
    }
    return std::clamp(value, minimum, std::max(minimum, maximum));
}

void Set_Bar(HWND dialog, int bar, int number, int minimum, int maximum, int value) {
    SetScrollRange(GetDlgItem(dialog, bar), SB_CTL, minimum, maximum, true);
    Show_Bar(dialog, bar, number, value);
}

void Show_Bar(HWND dialog, int bar, int number, int value) {
    SetScrollPos(GetDlgItem(dialog, bar), SB_CTL, value, true);
    SetDlgItemInt(dialog, number, static_cast<unsigned>(value), true);
}

void Ensure_Dialog_Templates() {
    if (!Dialog_Templates_Registered()) Register_Dialog_Templates();
}

int Show_Dialog(Display_Context& d, const char* name, DLGPROC proc) {
    Ensure_Dialog_Templates();
    DialogBoxA(name, d.Main_Window, proc);
    return 1;
}
