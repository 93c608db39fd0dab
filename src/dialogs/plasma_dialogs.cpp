// The plasma dialogs: one setting each, edited on a scroll bar and applied on OK.
#include <cmath>
#include <cstdio>

#include "common/control_ids.h"
#include "dialogs/dialog_support.h"
#include "dialogs/launchers.h"
#include "diagnostics/diagnostics.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "session/session.h"

namespace {

// What differs between the six one-bar plasma dialogs.
struct Bar_Dialog {
    int bar, number;
    int minimum, maximum;
    int default_value;
    int line_step, page_step;
    int (*opening)(Session& s);                // the working value shown on opening
    void (*store)(Session& s, int value);      // keeps the working value between messages
    void (*apply)(Session& s, int value);      // OK
    void (*cancel)(Session& s);                // Cancel
};

int Clamped(int value, const Bar_Dialog& d) { return value < d.minimum ? d.minimum : value > d.maximum ? d.maximum : value; }

// The one-bar dialogs keep their working value here while open (or in plasma_dialog_values).

intptr_t Run_Bar_Dialog(Session& s, const Bar_Dialog& d, HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        s.dialogs.working = Clamped(d.opening(s), d);
        d.store(s, s.dialogs.working);
        Set_Bar(dialog, d.bar, d.number, d.minimum, d.maximum, s.dialogs.working);
        return 1;
    case WM_HSCROLL:
        if (Scroll_Bar_Id(lparam) != d.bar) return 0;
        s.dialogs.working = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), s.dialogs.working, d.minimum, d.maximum, d.line_step,
                               d.page_step);
        d.store(s, s.dialogs.working);
        Show_Bar(dialog, d.bar, d.number, s.dialogs.working);
        return 1;
    case WM_MOVE: return Present_Last_Frame(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            EndDialog(dialog, IDOK);
            Dialog_Closing_Display(s.display);
            d.apply(s, s.dialogs.working);
            return 1;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            Dialog_Closing_Display(s.display);
            d.cancel(s);
            return 1;
        case IDC_DEFAULT:
            s.dialogs.working = d.default_value;
            d.store(s, s.dialogs.working);
            Show_Bar(dialog, d.bar, d.number, s.dialogs.working);
            return 1;
        }
        return 0;
    }
    return 0;
}

void Nothing(Session&) {}
void Keep_Local(Session&, int) {}

// ---- speed ------------------------------------------------------------------------------------
const Bar_Dialog speed_dialog{
    IDC_SPEED_BAR, IDC_SPEED_NUMBER, 1, 499, 35, 1, 1,
    [](Session& s) { return static_cast<int>(s.plasma.plasma_dialog_values.speed); },
    [](Session& s, int value) { s.plasma.plasma_dialog_values.speed = value; },
    [](Session& s, int value) { s.Plasma_Settings.speed = value; },
    [](Session& s) { s.plasma.plasma_dialog_values.speed = s.Plasma_Settings.speed; }};

intptr_t Speed_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    if (message == WM_INITDIALOG)
        CheckDlgButton(dialog, IDC_IGNORE_FPS_BOX, s.Plasma_Settings.plasma_ignore_fps ? BST_CHECKED : BST_UNCHECKED);
    // The indicator box counts as a press of its button, so box and flag never disagree.
    if (message == WM_COMMAND && (LOWORD(wparam) == IDC_IGNORE_FPS || LOWORD(wparam) == IDC_IGNORE_FPS_BOX)) {
        s.Plasma_Settings.plasma_ignore_fps = s.Plasma_Settings.plasma_ignore_fps ? 0 : 1;
        CheckDlgButton(dialog, IDC_IGNORE_FPS_BOX, s.Plasma_Settings.plasma_ignore_fps ? BST_CHECKED : BST_UNCHECKED);
        return 1;
    }
    return Run_Bar_Dialog(s, speed_dialog, dialog, message, wparam, lparam);
}

// ---- contrast ---------------------------------------------------------------------------------
const Bar_Dialog contrast_dialog{
    IDC_CONTRAST_BAR, IDC_CONTRAST_NUMBER, 1, 60, 4, 1, 1,
    [](Session& s) { return s.plasma.plasma_dialog_values.contrast; },
    [](Session& s, int value) { s.plasma.plasma_dialog_values.contrast = value; },
    [](Session& s, int value) { Modify_Plasma(s, Plasma_Parameter::Contrast, static_cast<float>(value), 1); },
    [](Session& s) { s.plasma.plasma_dialog_values.contrast = s.Plasma_Settings.contrast; }};

intptr_t Contrast_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    return Run_Bar_Dialog(s, contrast_dialog, dialog, message, wparam, lparam);
}

// ---- sway ---------------------------------------------------------------------------------------
const Bar_Dialog sway_dialog{
    IDC_SWAY_BAR, IDC_SWAY_NUMBER, 1, 1000, 16, 1, 1,
    [](Session& s) { return static_cast<int>(s.Plasma_Settings.sway * 10.0f); },
    Keep_Local,
    [](Session& s, int value) { Modify_Plasma(s, Plasma_Parameter::Sway, static_cast<float>(value * 0.1), 0); },
    Nothing};

intptr_t Sway_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    return Run_Bar_Dialog(s, sway_dialog, dialog, message, wparam, lparam);
}

// ---- interference ---------------------------------------------------------------------------
const Bar_Dialog interference_dialog{
    IDC_INTERFERENCE_BAR, IDC_INTERFERENCE_NUMBER, 10, 120, 95, 1, 1,
    [](Session& s) { return s.plasma.plasma_dialog_values.interference; },
    [](Session& s, int value) { s.plasma.plasma_dialog_values.interference = value; },
    [](Session& s, int value) { Modify_Plasma(s, Plasma_Parameter::Interference, static_cast<float>(value / 10.0), 1); },
    [](Session& s) { s.plasma.plasma_dialog_values.interference = static_cast<int>(s.Plasma_Settings.interference * 10.0f); }};

intptr_t Interference_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    return Run_Bar_Dialog(s, interference_dialog, dialog, message, wparam, lparam);
}

// ---- ripple -------------------------------------------------------------------------------------
const Bar_Dialog ripple_dialog{
    IDC_RIPPLE_BAR, IDC_RIPPLE_NUMBER, 1, 1000, 54, 1, 1,
    [](Session& s) { return s.plasma.plasma_dialog_values.ripple; },
    [](Session& s, int value) { s.plasma.plasma_dialog_values.ripple = value; },
    [](Session& s, int value) { Modify_Plasma(s, Plasma_Parameter::Ripple, static_cast<float>(value / 10.0), 1); },
    [](Session& s) { s.plasma.plasma_dialog_values.ripple = static_cast<int>(s.Plasma_Settings.ripple * 10.0f); }};

intptr_t Ripple_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    return Run_Bar_Dialog(s, ripple_dialog, dialog, message, wparam, lparam);
}

// ---- complexity ---------------------------------------------------------------------------
const Bar_Dialog complexity_dialog{
    IDC_COMPLEXITY_BAR, IDC_COMPLEXITY_NUMBER, 1, 999, 50, 1, 1,
    [](Session& s) { return s.plasma.plasma_dialog_values.complexity; },
    [](Session& s, int value) { s.plasma.plasma_dialog_values.complexity = value; },
    [](Session& s, int value) { Modify_Plasma(s, Plasma_Parameter::Complexity, static_cast<float>(value), 1); },
    [](Session& s) { s.plasma.plasma_dialog_values.complexity = s.Plasma_Settings.complexity; }};

intptr_t Complexity_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    return Run_Bar_Dialog(s, complexity_dialog, dialog, message, wparam, lparam);
}

// ---- random colour interval ---------------------------------------------------------------
void Show_Interval_Text(HWND dialog, int hundredths) {
    char text[64];
    std::snprintf(text, sizeof text, "change every %.2f seconds", hundredths * 0.01);
    SetDlgItemTextA(dialog, IDC_COLOUR_INTERVAL_TEXT, text);
}

const Bar_Dialog random_colour_dialog{
    IDC_COLOUR_INTERVAL_BAR, IDC_COLOUR_INTERVAL_NUMBER, 0, 60000, 0, 100, 1,
    [](Session& s) { return static_cast<int>(s.Plasma_Settings.random_colour_interval * 100.0); },
    Keep_Local,
    [](Session& s, int value) { s.Plasma_Settings.random_colour_interval = value * 0.01; },
    Nothing};

intptr_t Random_Colour_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    const intptr_t result = Run_Bar_Dialog(s, random_colour_dialog, dialog, message, wparam, lparam);
    if (message == WM_INITDIALOG || message == WM_HSCROLL || (message == WM_COMMAND && LOWORD(wparam) == IDC_DEFAULT))
        Show_Interval_Text(dialog, s.dialogs.working);
    return result;
}

// ---- colours ------------------------------------------------------------------------------------

int Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

void Apply_Colour_Boxes(Session& s, HWND dialog) {
    s.Plasma_Settings.invert_colour_logic = Checked(dialog, IDC_INVERT_COLOUR_LOGIC);
    s.plasma.plasma_dialog_values.colour_logic = s.Plasma_Settings.invert_colour_logic;
    s.Plasma_Settings.darken_red = Checked(dialog, IDC_RED_DARKEN);
    s.Plasma_Settings.darken_green = Checked(dialog, IDC_GREEN_DARKEN);
    s.Plasma_Settings.darken_blue = Checked(dialog, IDC_BLUE_DARKEN);
}

void Apply_Colour_Bytes(Session& s) {
    Modify_Plasma(s, Plasma_Parameter::Colour_Blue, s.plasma.plasma_dialog_values.colour_blue, 0);
    Modify_Plasma(s, Plasma_Parameter::Colour_Green, s.plasma.plasma_dialog_values.colour_green, 0);
    Modify_Plasma(s, Plasma_Parameter::Colour_Red, s.plasma.plasma_dialog_values.colour_red, 0);
}

// The live preview: the frame drawn again with the new colours and presented.
int Redraw_Preview(Session& s) {
    const int drawn = s.kaleidoscope.kaleidoscope_active ? Draw_Kaleidoscope(s, s.display.Hidden, s.display.Client_Width, s.display.Client_Height)
                                          : Draw_Plasma(s, s.display.Hidden, 0, 0);
    if (!drawn) return 0;
    return Present_Last_Frame(s);
}

intptr_t Colour_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    PLASMA_DIALOG_VALUES& v = s.plasma.plasma_dialog_values;
    struct Channel {
        int bar, number;
        uint8_t& value;
    } channels[] = {{IDC_BLUE_BAR, IDC_BLUE_NUMBER, v.colour_blue},
                    {IDC_GREEN_BAR, IDC_GREEN_NUMBER, v.colour_green},
                    {IDC_RED_BAR, IDC_RED_NUMBER, v.colour_red}};
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        v.saved_blue = s.Plasma_Settings.colour_blue;
        v.saved_green = s.Plasma_Settings.colour_green;
        v.saved_red = s.Plasma_Settings.colour_red;
        s.dialogs.saved_darken_red = s.Plasma_Settings.darken_red;
        s.dialogs.saved_darken_green = s.Plasma_Settings.darken_green;
        s.dialogs.saved_darken_blue = s.Plasma_Settings.darken_blue;
        s.dialogs.saved_logic = s.Plasma_Settings.invert_colour_logic;
        v.colour_logic = s.Plasma_Settings.invert_colour_logic;
        for (Channel& c : channels) {
            if (c.value > 127) c.value = 127;
            Set_Bar(dialog, c.bar, c.number, 0, 127, c.value);
        }
        CheckDlgButton(dialog, IDC_INVERT_COLOUR_LOGIC, v.colour_logic == 1 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_RED_DARKEN, s.Plasma_Settings.darken_red == 1 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_GREEN_DARKEN, s.Plasma_Settings.darken_green == 1 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_BLUE_DARKEN, s.Plasma_Settings.darken_blue == 1 ? BST_CHECKED : BST_UNCHECKED);
        return 1;
    case WM_HSCROLL: {
        const int id = Scroll_Bar_Id(lparam);
        for (Channel& c : channels) {
            if (c.bar != id) continue;
            c.value = static_cast<uint8_t>(
                Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), c.value, 0, 127, 1, 1));
            Show_Bar(dialog, c.bar, c.number, c.value);
        }
        Apply_Colour_Bytes(s);
        Apply_Colour_Boxes(s, dialog);
        return Redraw_Preview(s);
    }
    case WM_MOUSEMOVE:
        Apply_Colour_Boxes(s, dialog);
        return Redraw_Preview(s);
    case WM_MOVE: return Present_Last_Frame(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Apply_Colour_Bytes(s);
            Apply_Colour_Boxes(s, dialog);
            EndDialog(dialog, IDOK);
            Dialog_Closing_Display(s.display);
            return 1;
        case IDCANCEL:
            v.colour_blue = v.saved_blue;
            v.colour_green = v.saved_green;
            v.colour_red = v.saved_red;
            Apply_Colour_Bytes(s);
            s.Plasma_Settings.darken_red = s.dialogs.saved_darken_red;
            s.Plasma_Settings.darken_green = s.dialogs.saved_darken_green;
            s.Plasma_Settings.darken_blue = s.dialogs.saved_darken_blue;
            // The live preview also changed the colour logic: Cancel takes that back too.
            s.Plasma_Settings.invert_colour_logic = s.dialogs.saved_logic;
            v.colour_logic = s.dialogs.saved_logic;
            EndDialog(dialog, IDCANCEL);
            Dialog_Closing_Display(s.display);
            return 1;
        }
        return 0;
    }
    return 0;
}

}  // namespace

int Show_Speed_Dialog(Session& s) { return Show_Dialog(s.display, "SPEEDBOX", Speed_Dialog_Box); }
int Show_Contrast_Dialog(Session& s) { return Show_Dialog(s.display, "CONTRASTBOX", Contrast_Dialog_Box); }
int Show_Sway_Dialog(Session& s) { return Show_Dialog(s.display, "SWAYBOX", Sway_Dialog_Box); }
int Show_Interference_Dialog(Session& s) { return Show_Dialog(s.display, "ANGLE_BBOX", Interference_Dialog_Box); }
int Show_Ripple_Dialog(Session& s) { return Show_Dialog(s.display, "ANGLE_ABOX", Ripple_Dialog_Box); }
int Show_Colour_Dialog(Session& s) { return Show_Dialog(s.display, "COLOURBOX", Colour_Dialog_Box); }
int Show_Complexity_Dialog(Session& s) { return Show_Dialog(s.display, "CONSTANT_ABOX", Complexity_Dialog_Box); }
int Show_Random_Colour_Dialog(Session& s) { return Show_Dialog(s.display, "RANDOMCOLOURBOX", Random_Colour_Dialog_Box); }
