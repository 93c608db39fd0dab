// Modal dialogs built from templates: the template is data (control ids, kinds, texts,
// places), the dialog procedure is the engine's, and the backend shows the dialog and
// turns widget actions into messages for the procedure (WM_INITDIALOG, WM_HSCROLL with
// its SB_* code and thumb position, WM_COMMAND with a control id, WM_MOVE, WM_MOUSEMOVE,
// WM_PAINT for picture controls). The headless backend runs a dialog from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/windows/windows.h"

enum class Control_Kind {
    Scroll_Bar,   // horizontal scroll bar
    Number,       // static text that shows a number (set with SetDlgItemInt)
    Text,         // static text (label)
    Group,        // group box with a caption
    Check_Box,    // a box alone; its text button is a separate Push_Button
    Push_Button,  // OK (1), Cancel (2), Default (3) and the others
    List_Box,
    Picture,      // owner-drawn picture area (painted in WM_PAINT by the procedure)
};

struct Control_Template {
    int id = 0;  // -1 for labels nobody addresses
    Control_Kind kind = Control_Kind::Text;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units: pixels of the dialog's client area
};

struct Dialog_Template {
    std::string name;     // "SPEEDBOX"; looked up without regard to case
    std::string caption;  // empty: no caption bar
    int width = 0, height = 0;
    std::vector<Control_Template> controls;
};

using DLGPROC = intptr_t (*)(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

void Register_Dialog_Template(const Dialog_Template& dialog);
const Dialog_Template* Find_Dialog_Template(const std::string& name);

// Runs the dialog modally over the owner; returns what EndDialog was given, or -1 when
// the template does not exist.
intptr_t DialogBoxA(const char* template_name, HWND owner, DLGPROC proc);
bool EndDialog(HWND dialog, intptr_t result);

// ---- controls --------------------------------------------------------------------------------
constexpr int SB_CTL = 2;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr intptr_t LB_ERR = -1;

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
bool SetScrollRange(HWND control, int bar, int minimum, int maximum, bool redraw);
int SetScrollPos(HWND control, int bar, int position, bool redraw);  // previous position
int GetScrollPos(HWND control, int bar);
bool SetDlgItemInt(HWND dialog, int id, unsigned value, bool is_signed);
bool SetDlgItemTextA(HWND dialog, int id, const char* text);
std::string Dlg_Item_Text(HWND dialog, int id);
bool CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam);
// The device context of a picture control (GDI calls draw into the backend's image of it).
HDC Picture_DC(HWND dialog, int id, int* width, int* height);
void Release_Picture_DC(HWND dialog, int id, HDC dc);
// The image a picture control shows (0x00RRGGBB pixels), for the backend to paint.
const struct Bitmap* Picture_Bitmap(struct Dialog_State* dialog, int id);

// A control's state, shared by both backends (the Qt widgets mirror it).
struct Control_State {
    Control_Template form;
    Window* window = nullptr;  // the control's HWND
    int minimum = 0, maximum = 0, position = 0;
    bool checked = false;
    std::string text;
    std::vector<std::string> items;
    int selection = -1;
};

struct Dialog_State {
    const Dialog_Template* form = nullptr;
    Window* window = nullptr;  // the dialog's HWND
    DLGPROC proc = nullptr;
    std::vector<Control_State> controls;
    bool ended = false;
    intptr_t result = 0;
    Control_State* control(int id);
};
Dialog_State* Dialog_Of(HWND dialog);

// ---- backend side ---------------------------------------------------------------------------
// Delivers a message to the dialog's procedure (backends call it for widget actions).
intptr_t Send_To_Dialog(Dialog_State* dialog, UINT message, WPARAM wparam, LPARAM lparam);
// Helpers that build the exact messages of widget actions.
void Dialog_Scroll(Dialog_State* dialog, int control_id, int code, int thumb_position = 0);
void Dialog_Command(Dialog_State* dialog, int control_id);
// A click: a check box toggles first, then WM_COMMAND with the control's id.
void Dialog_Click(Dialog_State* dialog, int control_id);

// A scripted step for the headless backend: a message to send, by control id.
struct Dialog_Step {
    enum Kind { Scroll, Command, Mouse_Move, Move, Paint, Select, Click } kind = Command;
    int control = 0;
    int code = 0;      // Scroll: SB_* code; Select: list index
    int position = 0;  // Scroll: thumb position
};
// Scripts for the next dialogs the headless backend runs, one per DialogBoxA call: the
// steps are sent after WM_INITDIALOG; a dialog that is still open after its script ends
// is closed with Cancel (id 2) — put Command 1 at the end for OK. With no script the
// dialog is opened, initialised and cancelled.
std::deque<std::vector<Dialog_Step>>& Headless_Dialog_Scripts();
// What the last headless dialog showed when it closed (tests read numbers and texts).
Dialog_State& Last_Headless_Dialog();
