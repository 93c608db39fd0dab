// The kaleidoscope, slide, object, background, zone, direction, fade and sine-wave dialogs.
#include <algorithm>

#include "common/control_ids.h"
#include "dialogs/dialog_support.h"
#include "dialogs/launchers.h"
#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "slides/objects.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "session/session.h"

namespace {

int Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }
void Check(HWND dialog, int id, int on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// The largest granularity and slide speed: (H / 32) x 16.
int Slide_Maximum(Display_Context& d) { return (d.Screen_Height / 32) * 16; }

// OK and Cancel as every dialog closes: the cursor hidden again in full-screen mode.
void Close(Display_Context& d, HWND dialog, intptr_t result) {
    EndDialog(dialog, result);
    Dialog_Closing_Display(d);
}

// ---- granularity --------------------------------------------------------------------------

intptr_t Granularity_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    const int maximum = Slide_Maximum(s.display);
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        s.dialogs.granularity = std::clamp(s.Plasma_Settings.granularity, 80, std::max(80, maximum));
        Set_Bar(dialog, IDC_GRANULARITY_BAR, IDC_GRANULARITY_NUMBER, 80, maximum, s.dialogs.granularity);
        return 1;
    case WM_HSCROLL: {
        int thumb = Scroll_Thumb(wparam);
        thumb -= thumb % 4;
        s.dialogs.granularity = Scroll_Value(Scroll_Code(wparam), thumb, s.dialogs.granularity, 80, maximum, 4, 4);
        Show_Bar(dialog, IDC_GRANULARITY_BAR, IDC_GRANULARITY_NUMBER, s.dialogs.granularity);
        return 1;
    }
    case WM_MOVE: return Present_Last_Frame(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(s.display, dialog, IDOK);
            Modify_Plasma(s, Plasma_Parameter::Granularity, static_cast<float>(s.dialogs.granularity), 1);
            return 1;
        case IDCANCEL: Close(s.display, dialog, IDCANCEL); return 1;
        case IDC_DEFAULT:
            s.dialogs.granularity = (maximum / 4) * 2;
            Show_Bar(dialog, IDC_GRANULARITY_BAR, IDC_GRANULARITY_NUMBER, s.dialogs.granularity);
            return 1;
        }
    }
    return 0;
}

// ---- slide speed ---------------------------------------------------------------------------

intptr_t Slide_Speed_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    const int maximum = Slide_Maximum(s.display);
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        s.dialogs.slide_speed = std::clamp(static_cast<int>(s.Plasma_Settings.slide_speed), 0, std::max(0, maximum));
        Set_Bar(dialog, IDC_SLIDE_SPEED_BAR, IDC_SLIDE_SPEED_NUMBER, 0, maximum, s.dialogs.slide_speed);
        Check(dialog, IDC_IGNORE_FPS_BOX, s.Plasma_Settings.ignore_fps);
        return 1;
    case WM_HSCROLL:
        s.dialogs.slide_speed = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), s.dialogs.slide_speed, 0, maximum, 1, 1);
        Show_Bar(dialog, IDC_SLIDE_SPEED_BAR, IDC_SLIDE_SPEED_NUMBER, s.dialogs.slide_speed);
        return 1;
    case WM_MOVE: return Present_Last_Frame(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(s.display, dialog, IDOK);
            Modify_Plasma(s, Plasma_Parameter::Slide_Speed, static_cast<float>(s.dialogs.slide_speed), 1);
            return 1;
        case IDCANCEL: Close(s.display, dialog, IDCANCEL); return 1;
        case IDC_IGNORE_FPS:
        case IDC_IGNORE_FPS_BOX:  // the box itself counts as a press of its button
            s.Plasma_Settings.ignore_fps = s.Plasma_Settings.ignore_fps ? 0 : 1;
            Check(dialog, IDC_IGNORE_FPS_BOX, s.Plasma_Settings.ignore_fps);
            return 1;
        case IDC_DEFAULT:
            s.dialogs.slide_speed = 10;
            Show_Bar(dialog, IDC_SLIDE_SPEED_BAR, IDC_SLIDE_SPEED_NUMBER, s.dialogs.slide_speed);
            s.Plasma_Settings.ignore_fps = 1;
            Check(dialog, IDC_IGNORE_FPS_BOX, 1);
            return 1;
        }
    }
    return 0;
}

// ---- slide objects ---------------------------------------------------------------------------
int Last_Object(App& app) { return std::max(0, app.Objects_Loaded - 1); }

void Load_Current_Object(Session& s, HWND dialog) {
    const int i = s.dialogs.objects.current;
    s.dialogs.objects.count = std::clamp(s.Plasma_Settings.object_count[i], 0, 200);
    s.dialogs.objects.animation = std::clamp(static_cast<int>(s.Plasma_Settings.object_animation_speed[i]), 0, 500);
    s.dialogs.objects.speed = std::clamp(static_cast<int>(s.Plasma_Settings.object_speed[i]), 0, 100);
    Show_Bar(dialog, IDC_OBJECT_BAR, IDC_OBJECT_NUMBER, i);
    Show_Bar(dialog, IDC_OBJECT_FREQUENCY_BAR, IDC_OBJECT_FREQUENCY_NUMBER, s.dialogs.objects.count);
    Show_Bar(dialog, IDC_OBJECT_ANIMATION_BAR, IDC_OBJECT_ANIMATION_NUMBER, s.dialogs.objects.animation);
    Show_Bar(dialog, IDC_OBJECT_SPEED_BAR, IDC_OBJECT_SPEED_NUMBER, s.dialogs.objects.speed);
    Check(dialog, IDC_OBJECT_SELECTED, s.Plasma_Settings.object_selected[i] == 1);
}

void Store_Current_Object(Session& s) {
    const int i = s.dialogs.objects.current;
    s.Plasma_Settings.object_count[i] = s.dialogs.objects.count;
    s.Plasma_Settings.object_animation_speed[i] = s.dialogs.objects.animation;
    s.Plasma_Settings.object_speed[i] = s.dialogs.objects.speed;
}

// The current object's first frame stretched over the picture control. 0 when the dialog
// had to be closed.
int Draw_Object_Picture(Session& s, HWND dialog) {
    const int i = s.dialogs.objects.current;
    Surface images = Get_Object_Images(s.app, i);
    if (!images) {
        Report_Errorf(s.app, "Slide_Objects_Dialog_Box():Unable to find image for fx object #%d", i);
        Close(s.display, dialog, 0);
        return 0;
    }
    if (images->IsLost() != DD_OK && !Restore_All_Objects(s)) {
        Report_Errorf(s.app, "Slide_Objects_Dialog_Box():Image lost for fx object #%d", i);
        Close(s.display, dialog, 0);
        return 0;
    }
    int width = 0, height = 0;
    if (!Grab_Surface_Dimensions(s.app, images, &width, &height)) {
        Report_Errorf(s.app, "Slide_Objects_Dialog_Box():Grab_Surface_Dimensions FAILED #%d", i);
        Close(s.display, dialog, 0);
        return 0;
    }
    int picture_width = 0, picture_height = 0;
    HDC picture = Picture_DC(dialog, IDC_OBJECT_PICTURE, &picture_width, &picture_height);
    HDC source = nullptr;
    const bool have_source = images->GetDC(&source) == DD_OK;
    if (!picture || !have_source ||
        !StretchBlt(picture, 0, 0, picture_width, picture_height, source, 0, 0, width, width, SRCCOPY))
        Report_Error(s.app, "Slide_Objects_Dialog_Box():StretchBlt failed");
    if (have_source) images->ReleaseDC(source);
    if (picture) Release_Picture_DC(dialog, IDC_OBJECT_PICTURE, picture);
    return 1;
}

intptr_t Slide_Objects_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        s.dialogs.objects.current = 0;
        SetScrollRange(GetDlgItem(dialog, IDC_OBJECT_BAR), SB_CTL, 0, Last_Object(s.app), true);
        SetScrollRange(GetDlgItem(dialog, IDC_OBJECT_FREQUENCY_BAR), SB_CTL, 0, 200, true);
        SetScrollRange(GetDlgItem(dialog, IDC_OBJECT_ANIMATION_BAR), SB_CTL, 0, 500, true);
        SetScrollRange(GetDlgItem(dialog, IDC_OBJECT_SPEED_BAR), SB_CTL, 0, 100, true);
        Load_Current_Object(s, dialog);
        return 1;
    case WM_HSCROLL: {
        const int code = Scroll_Code(wparam), thumb = Scroll_Thumb(wparam);
        switch (Scroll_Bar_Id(lparam)) {
        case IDC_OBJECT_BAR:
            s.dialogs.objects.current = Scroll_Value(code, thumb, s.dialogs.objects.current, 0, Last_Object(s.app), 1, 1);
            Load_Current_Object(s, dialog);
            s.Plasma_Settings.object_selected[s.dialogs.objects.current] = s.dialogs.objects.count != 0 ? 1 : 0;
            Check(dialog, IDC_OBJECT_SELECTED, s.dialogs.objects.count != 0);
            return Draw_Object_Picture(s, dialog);
        case IDC_OBJECT_FREQUENCY_BAR:
            s.dialogs.objects.count = Scroll_Value(code, thumb, s.dialogs.objects.count, 0, 200, 1, 1);
            Show_Bar(dialog, IDC_OBJECT_FREQUENCY_BAR, IDC_OBJECT_FREQUENCY_NUMBER, s.dialogs.objects.count);
            break;
        case IDC_OBJECT_ANIMATION_BAR:
            s.dialogs.objects.animation = Scroll_Value(code, thumb, s.dialogs.objects.animation, 0, 500, 1, 1);
            Show_Bar(dialog, IDC_OBJECT_ANIMATION_BAR, IDC_OBJECT_ANIMATION_NUMBER, s.dialogs.objects.animation);
            break;
        case IDC_OBJECT_SPEED_BAR:
            s.dialogs.objects.speed = Scroll_Value(code, thumb, s.dialogs.objects.speed, 0, 100, 1, 10);
            Show_Bar(dialog, IDC_OBJECT_SPEED_BAR, IDC_OBJECT_SPEED_NUMBER, s.dialogs.objects.speed);
            break;
        default: return 0;
        }
        Store_Current_Object(s);
        s.Plasma_Settings.object_selected[s.dialogs.objects.current] = s.dialogs.objects.count != 0 ? 1 : 0;
        Check(dialog, IDC_OBJECT_SELECTED, s.dialogs.objects.count != 0);
        return Draw_Object_Picture(s, dialog);
    }
    case WM_MOUSEMOVE:
    case WM_PAINT: return Draw_Object_Picture(s, dialog);
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND: {
        const int i = s.dialogs.objects.current;
        switch (LOWORD(wparam)) {
        case IDOK:
            Store_Current_Object(s);
            Close(s.display, dialog, IDOK);
            return 1;
        case IDCANCEL:  // no Cancel button; closing the window keeps what the bars wrote
            Close(s.display, dialog, IDCANCEL);
            return 1;
        case IDC_OBJECT_SELECT:
            s.Plasma_Settings.object_selected[i] = 1;
            Check(dialog, IDC_OBJECT_SELECTED, 1);
            if (s.dialogs.objects.count < 1) {
                s.dialogs.objects.count = 1;
                s.Plasma_Settings.object_count[i] = 1;
                Show_Bar(dialog, IDC_OBJECT_FREQUENCY_BAR, IDC_OBJECT_FREQUENCY_NUMBER, 1);
            }
            return 1;
        case IDC_OBJECT_DESELECT:
            s.Plasma_Settings.object_selected[i] = 0;
            Check(dialog, IDC_OBJECT_SELECTED, 0);
            s.dialogs.objects.count = 0;
            s.Plasma_Settings.object_count[i] = 0;
            Show_Bar(dialog, IDC_OBJECT_FREQUENCY_BAR, IDC_OBJECT_FREQUENCY_NUMBER, 0);
            return 1;
        case IDC_OBJECT_ALL:
            for (int k = 0; k < s.app.Objects_Loaded && k < MAX_OBJECTS; ++k) {
                s.Plasma_Settings.object_selected[k] = 1;
                s.Plasma_Settings.object_count[k] = s.dialogs.objects.count;
                s.Plasma_Settings.object_animation_speed[k] = s.dialogs.objects.animation;
                s.Plasma_Settings.object_speed[k] = s.dialogs.objects.speed;
            }
            Check(dialog, IDC_OBJECT_SELECTED, 1);
            return 1;
        case IDC_OBJECT_NONE:
            s.dialogs.objects.count = s.dialogs.objects.animation = s.dialogs.objects.speed = 0;
            for (int k = 0; k < s.app.Objects_Loaded && k < MAX_OBJECTS; ++k) {
                s.Plasma_Settings.object_selected[k] = 0;
                s.Plasma_Settings.object_count[k] = 0;
                s.Plasma_Settings.object_animation_speed[k] = 0.0;
                s.Plasma_Settings.object_speed[k] = 0.0;
            }
            Load_Current_Object(s, dialog);
            return 1;
        case IDC_DEFAULT:
            for (int k = 0; k < s.app.Objects_Loaded && k < MAX_OBJECTS; ++k) {
                s.Plasma_Settings.object_count[k] = 1;
                s.Plasma_Settings.object_selected[k] = 1;
                s.Plasma_Settings.object_animation_speed[k] = 250.0;
                s.Plasma_Settings.object_speed[k] = 50.0;
            }
            s.dialogs.objects.current = 0;
            Load_Current_Object(s, dialog);
            s.dialogs.objects.count = 1;
            s.dialogs.objects.animation = 250;
            s.dialogs.objects.speed = 50;
            Show_Bar(dialog, IDC_OBJECT_FREQUENCY_BAR, IDC_OBJECT_FREQUENCY_NUMBER, 1);
            Show_Bar(dialog, IDC_OBJECT_ANIMATION_BAR, IDC_OBJECT_ANIMATION_NUMBER, 250);
            Show_Bar(dialog, IDC_OBJECT_SPEED_BAR, IDC_OBJECT_SPEED_NUMBER, 50);
            Check(dialog, IDC_OBJECT_SELECTED, 1);
            return Draw_Object_Picture(s, dialog);
        }
        return 0;
    }
    }
    return 0;
}

// ---- background ----------------------------------------------------------------------------

intptr_t Background_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    static const char* const names[] = {"No Background", "Gradual Fill",  "Colour Gradient",
                                        "Still Plasma",  "Moving Plasma", "Sine Waves"};
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        for (const char* name : names)
            SendDlgItemMessageA(dialog, IDC_BACKGROUND_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageA(dialog, IDC_BACKGROUND_LIST, LB_SETCURSEL, static_cast<WPARAM>(s.Plasma_Settings.background), 0);
        s.dialogs.brightness = std::clamp(s.Plasma_Settings.gradient_brightness, 64, 200);
        Set_Bar(dialog, IDC_GRADIENT_BAR, IDC_GRADIENT_NUMBER, 64, 200, s.dialogs.brightness);
        Check(dialog, IDC_GRADIENT_VARIABLE, s.Plasma_Settings.gradient_variable);
        return 1;
    case WM_HSCROLL:
        s.dialogs.brightness = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), s.dialogs.brightness, 64, 200, 1, 1);
        Show_Bar(dialog, IDC_GRADIENT_BAR, IDC_GRADIENT_NUMBER, s.dialogs.brightness);
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const LRESULT selection = SendDlgItemMessageA(dialog, IDC_BACKGROUND_LIST, LB_GETCURSEL, 0, 0);
            Close(s.display, dialog, IDOK);
            if (selection >= 0 && selection <= 5) Modify_Plasma(s, Plasma_Parameter::Background, static_cast<float>(selection), 0);
            Modify_Plasma(s, Plasma_Parameter::Gradient_Brightness, static_cast<float>(s.dialogs.brightness), 0);
            Modify_Plasma(s, Plasma_Parameter::Gradient_Variable, Checked(dialog, IDC_GRADIENT_VARIABLE) ? 1.0f : 0.0f, 0);
            return 1;
        }
        case IDCANCEL: Close(s.display, dialog, IDCANCEL); return 1;
        case IDC_CONFIGURE_SINE_WAVES: Show_Sine_Wave_Dialog(s); return 1;
        }
    }
    return 0;
}

// ---- zones ------------------------------------------------------------------------------------

intptr_t Zone_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        // The bar reads the other way round from the field: more frequent zones to the right.
        s.dialogs.zone_frequency_bar = std::clamp(50 - s.Plasma_Settings.zone_frequency, 0, 50);
        s.dialogs.zone_duration_bar = std::clamp(s.Plasma_Settings.zone_duration, 0, 50);
        Set_Bar(dialog, IDC_ZONE_FREQUENCY_BAR, IDC_ZONE_FREQUENCY_NUMBER, 0, 50, s.dialogs.zone_frequency_bar);
        Set_Bar(dialog, IDC_ZONE_DURATION_BAR, IDC_ZONE_DURATION_NUMBER, 0, 50, s.dialogs.zone_duration_bar);
        Check(dialog, IDC_ZONE_MULTICOLOUR, s.Plasma_Settings.zone_multicolour);
        return 1;
    case WM_HSCROLL: {
        const int code = Scroll_Code(wparam), thumb = Scroll_Thumb(wparam);
        if (Scroll_Bar_Id(lparam) == IDC_ZONE_FREQUENCY_BAR) {
            s.dialogs.zone_frequency_bar = Scroll_Value(code, thumb, s.dialogs.zone_frequency_bar, 0, 50, 1, 1);
            Show_Bar(dialog, IDC_ZONE_FREQUENCY_BAR, IDC_ZONE_FREQUENCY_NUMBER, s.dialogs.zone_frequency_bar);
        } else if (Scroll_Bar_Id(lparam) == IDC_ZONE_DURATION_BAR) {
            s.dialogs.zone_duration_bar = Scroll_Value(code, thumb, s.dialogs.zone_duration_bar, 0, 50, 1, 1);
            Show_Bar(dialog, IDC_ZONE_DURATION_BAR, IDC_ZONE_DURATION_NUMBER, s.dialogs.zone_duration_bar);
        }
        return 1;
    }
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(s.display, dialog, IDOK);
            s.Plasma_Settings.zone_frequency = 50 - s.dialogs.zone_frequency_bar;
            s.Plasma_Settings.zone_duration = s.dialogs.zone_duration_bar;
            s.Plasma_Settings.zone_multicolour = Checked(dialog, IDC_ZONE_MULTICOLOUR);
            return 1;
        case IDCANCEL: Close(s.display, dialog, IDCANCEL); return 1;
        case IDC_DEFAULT:
            s.dialogs.zone_frequency_bar = 25;
            s.dialogs.zone_duration_bar = 6;
            Show_Bar(dialog, IDC_ZONE_FREQUENCY_BAR, IDC_ZONE_FREQUENCY_NUMBER, 25);
            Show_Bar(dialog, IDC_ZONE_DURATION_BAR, IDC_ZONE_DURATION_NUMBER, 6);
            Check(dialog, IDC_ZONE_MULTICOLOUR, 1);
            return 1;
        }
    }
    return 0;
}

// ---- direction -----------------------------------------------------------------------------

intptr_t Direction_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Session& s = Window_Session(dialog);
    static const char* const names[] = {"Slide In", "Slide Out", "Alternate", "Random"};
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        s.dialogs.direction_frequency = std::clamp(s.Plasma_Settings.direction_change_frequency, 1, 1000);
        Set_Bar(dialog, IDC_DIRECTION_FREQUENCY_BAR, IDC_DIRECTION_FREQUENCY_NUMBER, 1, 1000, s.dialogs.direction_frequency);
        for (const char* name : names)
            SendDlgItemMessageA(dialog, IDC_DIRECTION_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageA(dialog, IDC_DIRECTION_LIST, LB_SETCURSEL, static_cast<WPARAM>(s.Plasma_Settings.slide_direction), 0);
        return 1;
    case WM_HSCROLL:
        s.dialogs.direction_frequency = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), s.dialogs.direction_frequency, 1, 1000, 1, 1);
        Show_Bar(dialog, IDC_DIRECTION_FREQUENCY_BAR, IDC_DIRECTION_FREQUENCY_NUMBER, s.dialogs.direction_frequency);
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const LRESULT selection = SendDlgItemMessageA(dialog, IDC_DIRECTION_LIST, LB_GETCURSEL, 0, 0);
            Close(s.display, dialog, IDOK);
            Modify_Plasma(s, Plasma_Parameter::Direction_Change_Frequency, static_cast<float>(s.dialogs.direction_frequency), 1);
            if (selection >= 0 && selection <= 3) Modify_Plasma(s, Plasma_Parameter::Slide_Direction, static_cast<float>(selection), 1);
            return 1;
        }
        case IDCANCEL: Close(s.display, dialog, IDCANCEL); return 1;
        case IDC_DEFAULT:
            s.dialogs.direction_frequency = 1000;
            Show_Bar(dialog, IDC_DIRECTION_FREQUENCY_BAR, IDC_DIRECTION_FREQUENCY_NUMBER, 1000);
            SendDlgItemMessageA(dialog, IDC_DIRECTION_LIST, LB_SETCURSEL, 3, 0);
            return 1;
        }
    }
    return 0;
}

// ---- fade -------------------------------------------------------------------------------------
intptr_t Fade_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display(s.display);
        s.dialogs.fade_bars[0].value = std::clamp(s.Plasma_Settings.fade_light, 0, 255);
        s.dialogs.fade_bars[1].value = std::clamp(s.Plasma_Settings.fade_hue, 0, 255);
        s.dialogs.fade_bars[2].value = std::clamp(s.Plasma_Settings.fade_saturation, 0, 255);
        for (Fade_Bar& b : s.dialogs.fade_bars) Set_Bar(dialog, b.bar, b.number, 0, 255, b.value);
        return 1;
    case WM_HSCROLL:
        for (Fade_Bar& b : s.dialogs.fade_bars) {
            if (b.bar != Scroll_Bar_Id(lparam)) continue;
            b.value = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), b.value, 0, 255, 1, 1);
            Show_Bar(dialog, b.bar, b.number, b.value);
        }
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(s.display, dialog, IDOK);
            s.Plasma_Settings.fade_light = s.dialogs.fade_bars[0].value;
            s.Plasma_Settings.fade_hue = s.dialogs.fade_bars[1].value;
            s.Plasma_Settings.fade_saturation = s.dialogs.fade_bars[2].value;
            return 1;
        case IDCANCEL: Close(s.display, dialog, IDCANCEL); return 1;
        }
    }
    return 0;
}

// ---- sine waves ----------------------------------------------------------------------------
intptr_t Sine_Wave_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(dialog);
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    switch (message) {
    case WM_INITDIALOG: {
        Dialog_Opening_Display(s.display);
        const int opening[5] = {p.sine_passes, p.sine_amplitude, p.sine_variance,
                                static_cast<int>(p.sine_phase_step * 5000.0), p.sine_band_width};
        for (int i = 0; i < 5; ++i) {
            Sine_Bar& b = s.dialogs.sine_bars[i];
            b.value = std::clamp(opening[i], b.minimum, b.maximum);
            Set_Bar(dialog, b.bar, b.number, b.minimum, b.maximum, b.value);
        }
        Check(dialog, IDC_SINE_MULTICOLOUR, p.sine_multicolour);
        Check(dialog, IDC_SINE_CLEAR, p.sine_clear);
        return 1;
    }
    case WM_HSCROLL:
        for (Sine_Bar& b : s.dialogs.sine_bars) {
            if (b.bar != Scroll_Bar_Id(lparam)) continue;
            b.value = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), b.value, b.minimum, b.maximum, 1, 1);
            Show_Bar(dialog, b.bar, b.number, b.value);
        }
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed(s);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(s.display, dialog, IDOK);
            s.Plasma_Settings.sine_passes = s.dialogs.sine_bars[0].value;
            s.Plasma_Settings.sine_amplitude = s.dialogs.sine_bars[1].value;
            s.Plasma_Settings.sine_variance = s.dialogs.sine_bars[2].value;
            s.Plasma_Settings.sine_phase_step = s.dialogs.sine_bars[3].value * 0.0002;
            s.Plasma_Settings.sine_band_width = s.dialogs.sine_bars[4].value;
            s.Plasma_Settings.sine_multicolour = Checked(dialog, IDC_SINE_MULTICOLOUR);
            s.Plasma_Settings.sine_clear = Checked(dialog, IDC_SINE_CLEAR);
            return 1;
        case IDCANCEL: Close(s.display, dialog, IDCANCEL); return 1;
        case IDC_SINE_MULTICOLOUR_BUTTON: Check(dialog, IDC_SINE_MULTICOLOUR, !Checked(dialog, IDC_SINE_MULTICOLOUR)); return 1;
        case IDC_SINE_CLEAR_BUTTON: Check(dialog, IDC_SINE_CLEAR, !Checked(dialog, IDC_SINE_CLEAR)); return 1;
        }
    }
    return 0;
}

}  // namespace

int Show_Granularity_Dialog(Session& s) { return Show_Dialog(s.display, "GRANULARITYBOX", Granularity_Dialog_Box); }
int Show_Slide_Speed_Dialog(Session& s) { return Show_Dialog(s.display, "SLIDESPEEDBOX", Slide_Speed_Dialog_Box); }
int Show_Slide_Objects_Dialog(Session& s) { return Show_Dialog(s.display, "SLIDEOBJECTSBOX", Slide_Objects_Dialog_Box); }
int Show_Background_Dialog(Session& s) { return Show_Dialog(s.display, "BackgroundBox", Background_Dialog_Box); }
int Show_Zone_Dialog(Session& s) { return Show_Dialog(s.display, "ZONEBOX", Zone_Dialog_Box); }
int Show_Direction_Dialog(Session& s) { return Show_Dialog(s.display, "DIRECTIONBOX", Direction_Dialog_Box); }
int Show_Fade_Dialog(Session& s) { return Show_Dialog(s.display, "FADEBOX", Fade_Dialog_Box); }
int Show_Sine_Wave_Dialog(Session& s) { return Show_Dialog(s.display, "SINEWAVEBOX", Sine_Wave_Dialog_Box); }
