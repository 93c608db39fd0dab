// The About, resolution, system-information, welcome and random-preset dialogs.
#include <algorithm>
#include <cstdio>

#include "common/control_ids.h"
#include "dialogs/dialog_support.h"
#include "dialogs/launchers.h"
#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "platform/system/system.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "slides/objects.h"
#include "surface/bitmap.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "session/session.h"

namespace {

// ---- about ------------------------------------------------------------------------------------

void Show_About_Text(App& app) { Message_Box(app, "Mirravane V 1.5: a colour plasma and kaleidoscope screen saver"); }

void Paint_About_Picture(Session& s, HWND dialog) {
    if (!s.dialogs.about_picture || s.dialogs.about_picture->IsLost() != DD_OK) return;
    HDC source = nullptr;
    if (s.dialogs.about_picture->GetDC(&source) != DD_OK) return;
    int width = 0, height = 0;
    HDC picture = Picture_DC(dialog, IDC_ABOUT_PICTURE, &width, &height);
    if (picture) {
        if (!StretchBlt(picture, 0, 0, width, height, source, 0, 0, s.dialogs.about_width, s.dialogs.about_height, SRCCOPY))
            Report_Error(s.app, "About_Dialog_Box():StrecthBlt failed");
        Release_Picture_DC(dialog, IDC_ABOUT_PICTURE, picture);
    }
    s.dialogs.about_picture->ReleaseDC(source);
}

intptr_t About_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG: return 1;
    case WM_PAINT: Paint_About_Picture(s, dialog); return 1;
    case WM_LBUTTONDOWN: EndDialog(dialog, IDOK); return 1;
    case WM_MOVE: return Present_Last_Frame(s);
    case WM_COMMAND:
        // Escape or closing the window: the only ways out besides the click.
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, static_cast<intptr_t>(LOWORD(wparam)));
            return 1;
        }
    }
    return 0;
}

// ---- resolution ----------------------------------------------------------------------------
intptr_t Resolution_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display, true);
        for (int i = 0; i < 20; ++i)
            SendDlgItemMessageA(dialog, IDC_RESOLUTION_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Resolution_Text(i)));
        SendDlgItemMessageA(dialog, IDC_RESOLUTION_LIST, LB_SETCURSEL, static_cast<WPARAM>(s.Plasma_Settings.resolution), 0);
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const LRESULT selection = SendDlgItemMessageA(dialog, IDC_RESOLUTION_LIST, LB_GETCURSEL, 0, 0);
            if (selection >= 0 && selection <= 19) Modify_Plasma(s, Plasma_Parameter::Resolution, static_cast<float>(selection), 0);
            EndDialog(dialog, IDOK);
            Dialog_Closing_Display(s.display, true);
            return 1;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            Dialog_Closing_Display(s.display, true);
            return 1;
        case IDC_DEFAULT: SendDlgItemMessageA(dialog, IDC_RESOLUTION_LIST, LB_SETCURSEL, 1, 0); return 1;
        }
    }
    return 0;
}

// ---- system information --------------------------------------------------------------------
intptr_t Info_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG: {
        Dialog_Opening_Display(s.display, true);
        MEMORYSTATUS memory;
        GlobalMemoryStatus(&memory);
        uint32_t total_video = 0, free_video = 0;
        Get_Available_Video_Memory(s.display, &total_video, &free_video);
        char text[128];
        std::snprintf(text, sizeof text, "Video ram free %.2lf Mb", free_video / 1048576.0);
        SetDlgItemTextA(dialog, IDC_INFO_VIDEO_MEMORY, text);
        std::snprintf(text, sizeof text, "Total system ram %.2lf Mb", static_cast<double>(memory.dwTotalPhys) / 1048576.0);
        SetDlgItemTextA(dialog, IDC_INFO_SYSTEM_MEMORY, text);
        std::snprintf(text, sizeof text, "Objects occupy %.2lf Mb of system ram", static_cast<double>(s.app.Objects_Memory));
        SetDlgItemTextA(dialog, IDC_INFO_OBJECT_MEMORY, text);
        return 1;
    }
    case WM_MOVE: return Present_Last_Frame(s);
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, static_cast<intptr_t>(LOWORD(wparam)));
            Dialog_Closing_Display(s.display, true);
            return 1;
        }
    }
    return 0;
}

// ---- welcome ----------------------------------------------------------------------------------
intptr_t Introduction_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG: Dialog_Opening_Display(s.display); return 1;
    case WM_MOVE: return Present_Last_Frame(s);
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, static_cast<intptr_t>(LOWORD(wparam)));
            Dialog_Closing_Display(s.display);
            return 1;
        }
    }
    return 0;
}

// ---- random presets --------------------------------------------------------------------------

intptr_t Random_Presets_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG:
        s.dialogs.journey_interval = std::clamp(s.journey.Running_Random_Interval, 0, 500);
        s.dialogs.journey_speed = std::clamp(s.journey.Running_Transition_Speed, 1, 800);
        Dialog_Opening_Display(s.display);
        Set_Bar(dialog, IDC_JOURNEY_INTERVAL_BAR, IDC_JOURNEY_INTERVAL_NUMBER, 0, 500, s.dialogs.journey_interval);
        Set_Bar(dialog, IDC_JOURNEY_SPEED_BAR, IDC_JOURNEY_SPEED_NUMBER, 1, 800, s.dialogs.journey_speed);
        return 1;
    case WM_HSCROLL: {
        const int code = Scroll_Code(wparam), thumb = Scroll_Thumb(wparam);
        if (Scroll_Bar_Id(lparam) == IDC_JOURNEY_INTERVAL_BAR) {
            s.dialogs.journey_interval = Scroll_Value(code, thumb, s.dialogs.journey_interval, 0, 500, 1, 8);
            Show_Bar(dialog, IDC_JOURNEY_INTERVAL_BAR, IDC_JOURNEY_INTERVAL_NUMBER, s.dialogs.journey_interval);
        } else if (Scroll_Bar_Id(lparam) == IDC_JOURNEY_SPEED_BAR) {
            s.dialogs.journey_speed = Scroll_Value(code, thumb, s.dialogs.journey_speed, 1, 800, 1, 16);
            Show_Bar(dialog, IDC_JOURNEY_SPEED_BAR, IDC_JOURNEY_SPEED_NUMBER, s.dialogs.journey_speed);
        }
        return 1;
    }
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            EndDialog(dialog, IDOK);
            Dialog_Closing_Display(s.display);
            s.Plasma_Settings.random_interval = s.journey.Running_Random_Interval = s.dialogs.journey_interval;
            s.Plasma_Settings.transition_speed = s.journey.Running_Transition_Speed = s.dialogs.journey_speed;
            Tick_Random_Preset_Timer(s, 1);
            return 1;
        case IDCANCEL:  // the cursor hidden again here too, so its count stays balanced
            EndDialog(dialog, IDCANCEL);
            Dialog_Closing_Display(s.display);
            return 1;
        }
    }
    return 0;
}

}  // namespace

int Show_About(Session& s) {
    Fill_Windows_Directory_Prefix(s.app);
    char path[PATH_BUFFER_SIZE];
    const int length = std::snprintf(path, sizeof path, "%sMirravane\\Data\\Bmp\\About.bmp", s.app.Windows_Directory_Prefix);
    // A path cut short names no picture of ours: the text takes its place.
    if (length < 0 || static_cast<size_t>(length) >= sizeof path || !File_Exists(path)) {
        Show_About_Text(s.app);
        return 0;
    }
    if (!s.dialogs.about_picture) {
        s.dialogs.about_picture = Load_SYSTEM_Bitmap(s.display, path, &s.dialogs.about_width, &s.dialogs.about_height);
        if (!s.dialogs.about_picture) {
            Show_About_Text(s.app);
            return 0;
        }
    }
    if (s.dialogs.about_width <= 0 || s.dialogs.about_height <= 0) {
        Release_Surface(&s.dialogs.about_picture);
        Show_About_Text(s.app);
        return 0;
    }
    Show_Dialog(s.display, "ABOUTBOX", About_Dialog_Box);
    Release_Surface(&s.dialogs.about_picture);
    return 1;
}

int Show_Resolution_Dialog(Session& s) { return Show_Dialog(s.display, "RESOLUTIONBOX", Resolution_Dialog_Box); }
int Show_System_Info(Session& s) { return Show_Dialog(s.display, "INFOBOX", Info_Dialog_Box); }
int Show_Introduction(Session& s) { return Show_Dialog(s.display, "INTRODUCTIONBOX", Introduction_Dialog_Box); }
int Show_Random_Presets_Dialog(Session& s) { return Show_Dialog(s.display, "JOURNEYBOX", Random_Presets_Dialog_Box); }
