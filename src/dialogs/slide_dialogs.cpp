// The kaleidoscope, slide, object, background, zone, direction, fade and sine-wave dialogs.
#include <algorithm>

#include "dialogs/dialog_support.h"
#include "dialogs/launchers.h"
#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "slides/objects.h"
#include "surface/display.h"
#include "surface/surface.h"

namespace {

int Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }
void Check(HWND dialog, int id, int on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// The largest granularity and slide speed: (H / 32) x 16.
int Slide_Maximum() { return (Screen_Height / 32) * 16; }

// OK and Cancel as every dialog closes: the cursor hidden again in full-screen mode.
void Close(HWND dialog, intptr_t result) {
    EndDialog(dialog, result);
    Dialog_Closing_Display();
}

// ---- granularity --------------------------------------------------------------------------
int granularity = 0;

intptr_t Granularity_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    const int maximum = Slide_Maximum();
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display();
        granularity = std::clamp(Plasma_Settings.granularity, 80, std::max(80, maximum));
        Set_Bar(dialog, 1026, 1027, 80, maximum, granularity);
        return 1;
    case WM_HSCROLL: {
        int thumb = Scroll_Thumb(wparam);
        thumb -= thumb % 4;
        granularity = Scroll_Value(Scroll_Code(wparam), thumb, granularity, 80, maximum, 4, 4);
        Show_Bar(dialog, 1026, 1027, granularity);
        return 1;
    }
    case WM_MOVE: return Present_Last_Frame();
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(dialog, IDOK);
            Modify_Plasma(24, static_cast<float>(granularity), 1);
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        case 3:
            granularity = (maximum / 4) * 2;
            Show_Bar(dialog, 1026, 1027, granularity);
            return 1;
        }
    }
    return 0;
}

// ---- slide speed ---------------------------------------------------------------------------
int slide_speed = 0;

intptr_t Slide_Speed_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    const int maximum = Slide_Maximum();
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display();
        slide_speed = std::clamp(static_cast<int>(Plasma_Settings.slide_speed), 0, std::max(0, maximum));
        Set_Bar(dialog, 1028, 1029, 0, maximum, slide_speed);
        Check(dialog, 1056, Plasma_Settings.ignore_fps);
        return 1;
    case WM_HSCROLL:
        slide_speed = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), slide_speed, 0, maximum, 1, 1);
        Show_Bar(dialog, 1028, 1029, slide_speed);
        return 1;
    case WM_MOVE: return Present_Last_Frame();
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(dialog, IDOK);
            Modify_Plasma(26, static_cast<float>(slide_speed), 1);
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        case 4:
        case 1056:  // the box itself counts as a press of its button
            Plasma_Settings.ignore_fps = Plasma_Settings.ignore_fps ? 0 : 1;
            Check(dialog, 1056, Plasma_Settings.ignore_fps);
            return 1;
        case 3:
            slide_speed = 10;
            Show_Bar(dialog, 1028, 1029, slide_speed);
            Plasma_Settings.ignore_fps = 1;
            Check(dialog, 1056, 1);
            return 1;
        }
    }
    return 0;
}

// ---- slide objects ---------------------------------------------------------------------------
struct Object_Values {
    int current = 0;
    int count = 0, animation = 0, speed = 0;
} objects;

int Last_Object() { return std::max(0, Objects_Loaded - 1); }

void Load_Current_Object(HWND dialog) {
    const int i = objects.current;
    objects.count = std::clamp(Plasma_Settings.object_count[i], 0, 200);
    objects.animation = std::clamp(static_cast<int>(Plasma_Settings.object_animation_speed[i]), 0, 500);
    objects.speed = std::clamp(static_cast<int>(Plasma_Settings.object_speed[i]), 0, 100);
    Show_Bar(dialog, 1033, 1034, i);
    Show_Bar(dialog, 1030, 1031, objects.count);
    Show_Bar(dialog, 1036, 1037, objects.animation);
    Show_Bar(dialog, 1038, 1039, objects.speed);
    Check(dialog, 1035, Plasma_Settings.object_selected[i] == 1);
}

void Store_Current_Object() {
    const int i = objects.current;
    Plasma_Settings.object_count[i] = objects.count;
    Plasma_Settings.object_animation_speed[i] = objects.animation;
    Plasma_Settings.object_speed[i] = objects.speed;
}

// The current object's first frame stretched over the picture control. 0 when the dialog
// had to be closed.
int Draw_Object_Picture(HWND dialog) {
    const int i = objects.current;
    Surface images = Get_Object_Images(i);
    if (!images) {
        Report_Errorf("Slide_Objects_Dialog_Box():Unable to find image for fx object #%d", i);
        Close(dialog, 0);
        return 0;
    }
    if (images->IsLost() != DD_OK && !Restore_All_Objects()) {
        Report_Errorf("Slide_Objects_Dialog_Box():Image lost for fx object #%d", i);
        Close(dialog, 0);
        return 0;
    }
    int width = 0, height = 0;
    if (!Grab_Surface_Dimensions(images, &width, &height)) {
        Report_Errorf("Slide_Objects_Dialog_Box():Grab_Surface_Dimensions FAILED #%d", i);
        Close(dialog, 0);
        return 0;
    }
    int picture_width = 0, picture_height = 0;
    HDC picture = Picture_DC(dialog, 1032, &picture_width, &picture_height);
    HDC source = nullptr;
    const bool have_source = images->GetDC(&source) == DD_OK;
    if (!picture || !have_source ||
        !StretchBlt(picture, 0, 0, picture_width, picture_height, source, 0, 0, width, width, SRCCOPY))
        Report_Error("Slide_Objects_Dialog_Box():StretchBlt failed");
    if (have_source) images->ReleaseDC(source);
    if (picture) Release_Picture_DC(dialog, 1032, picture);
    return 1;
}

intptr_t Slide_Objects_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display();
        objects.current = 0;
        SetScrollRange(GetDlgItem(dialog, 1033), SB_CTL, 0, Last_Object(), true);
        SetScrollRange(GetDlgItem(dialog, 1030), SB_CTL, 0, 200, true);
        SetScrollRange(GetDlgItem(dialog, 1036), SB_CTL, 0, 500, true);
        SetScrollRange(GetDlgItem(dialog, 1038), SB_CTL, 0, 100, true);
        Load_Current_Object(dialog);
        return 1;
    case WM_HSCROLL: {
        const int code = Scroll_Code(wparam), thumb = Scroll_Thumb(wparam);
        switch (Scroll_Bar_Id(lparam)) {
        case 1033:
            objects.current = Scroll_Value(code, thumb, objects.current, 0, Last_Object(), 1, 1);
            Load_Current_Object(dialog);
            Plasma_Settings.object_selected[objects.current] = objects.count != 0 ? 1 : 0;
            Check(dialog, 1035, objects.count != 0);
            return Draw_Object_Picture(dialog);
        case 1030:
            objects.count = Scroll_Value(code, thumb, objects.count, 0, 200, 1, 1);
            Show_Bar(dialog, 1030, 1031, objects.count);
            break;
        case 1036:
            objects.animation = Scroll_Value(code, thumb, objects.animation, 0, 500, 1, 1);
            Show_Bar(dialog, 1036, 1037, objects.animation);
            break;
        case 1038:
            objects.speed = Scroll_Value(code, thumb, objects.speed, 0, 100, 1, 10);
            Show_Bar(dialog, 1038, 1039, objects.speed);
            break;
        default: return 0;
        }
        Store_Current_Object();
        Plasma_Settings.object_selected[objects.current] = objects.count != 0 ? 1 : 0;
        Check(dialog, 1035, objects.count != 0);
        return Draw_Object_Picture(dialog);
    }
    case WM_MOUSEMOVE:
    case WM_PAINT: return Draw_Object_Picture(dialog);
    case WM_MOVE: return Present_Last_Frame_Windowed();
    case WM_COMMAND: {
        const int i = objects.current;
        switch (LOWORD(wparam)) {
        case IDOK:
            Store_Current_Object();
            Close(dialog, IDOK);
            return 1;
        case IDCANCEL:  // no Cancel button; closing the window keeps what the bars wrote
            Close(dialog, IDCANCEL);
            return 1;
        case 4:
            Plasma_Settings.object_selected[i] = 1;
            Check(dialog, 1035, 1);
            if (objects.count < 1) {
                objects.count = 1;
                Plasma_Settings.object_count[i] = 1;
                Show_Bar(dialog, 1030, 1031, 1);
            }
            return 1;
        case 5:
            Plasma_Settings.object_selected[i] = 0;
            Check(dialog, 1035, 0);
            objects.count = 0;
            Plasma_Settings.object_count[i] = 0;
            Show_Bar(dialog, 1030, 1031, 0);
            return 1;
        case 6:
            for (int k = 0; k < Objects_Loaded && k < MAX_OBJECTS; ++k) {
                Plasma_Settings.object_selected[k] = 1;
                Plasma_Settings.object_count[k] = objects.count;
                Plasma_Settings.object_animation_speed[k] = objects.animation;
                Plasma_Settings.object_speed[k] = objects.speed;
            }
            Check(dialog, 1035, 1);
            return 1;
        case 7:
            objects.count = objects.animation = objects.speed = 0;
            for (int k = 0; k < Objects_Loaded && k < MAX_OBJECTS; ++k) {
                Plasma_Settings.object_selected[k] = 0;
                Plasma_Settings.object_count[k] = 0;
                Plasma_Settings.object_animation_speed[k] = 0.0;
                Plasma_Settings.object_speed[k] = 0.0;
            }
            Load_Current_Object(dialog);
            return 1;
        case 3:
            for (int k = 0; k < Objects_Loaded && k < MAX_OBJECTS; ++k) {
                Plasma_Settings.object_count[k] = 1;
                Plasma_Settings.object_selected[k] = 1;
                Plasma_Settings.object_animation_speed[k] = 250.0;
                Plasma_Settings.object_speed[k] = 50.0;
            }
            objects.current = 0;
            Load_Current_Object(dialog);
            objects.count = 1;
            objects.animation = 250;
            objects.speed = 50;
            Show_Bar(dialog, 1030, 1031, 1);
            Show_Bar(dialog, 1036, 1037, 250);
            Show_Bar(dialog, 1038, 1039, 50);
            Check(dialog, 1035, 1);
            return Draw_Object_Picture(dialog);
        }
        return 0;
    }
    }
    return 0;
}

// ---- background ----------------------------------------------------------------------------
int brightness = 0;

intptr_t Background_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    static const char* const names[] = {"No Background", "Gradual Fill",  "Colour Gradient",
                                        "Still Plasma",  "Moving Plasma", "Sine Waves"};
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display();
        for (const char* name : names)
            SendDlgItemMessageA(dialog, 1036, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageA(dialog, 1036, LB_SETCURSEL, static_cast<WPARAM>(Plasma_Settings.background), 0);
        brightness = std::clamp(Plasma_Settings.gradient_brightness, 64, 200);
        Set_Bar(dialog, 1037, 1038, 64, 200, brightness);
        Check(dialog, 1039, Plasma_Settings.gradient_variable);
        return 1;
    case WM_HSCROLL:
        brightness = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), brightness, 64, 200, 1, 1);
        Show_Bar(dialog, 1037, 1038, brightness);
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed();
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const LRESULT selection = SendDlgItemMessageA(dialog, 1036, LB_GETCURSEL, 0, 0);
            Close(dialog, IDOK);
            if (selection >= 0 && selection <= 5) Modify_Plasma(29, static_cast<float>(selection), 0);
            Modify_Plasma(31, static_cast<float>(brightness), 0);
            Modify_Plasma(30, Checked(dialog, 1039) ? 1.0f : 0.0f, 0);
            return 1;
        }
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        case 1079: Show_Sine_Wave_Dialog(); return 1;
        }
    }
    return 0;
}

// ---- zones ------------------------------------------------------------------------------------
int zone_frequency_bar = 0, zone_duration_bar = 0;

intptr_t Zone_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display();
        // The bar reads the other way round from the field: more frequent zones to the right.
        zone_frequency_bar = std::clamp(50 - Plasma_Settings.zone_frequency, 0, 50);
        zone_duration_bar = std::clamp(Plasma_Settings.zone_duration, 0, 50);
        Set_Bar(dialog, 1041, 1042, 0, 50, zone_frequency_bar);
        Set_Bar(dialog, 1043, 1044, 0, 50, zone_duration_bar);
        Check(dialog, 1046, Plasma_Settings.zone_multicolour);
        return 1;
    case WM_HSCROLL: {
        const int code = Scroll_Code(wparam), thumb = Scroll_Thumb(wparam);
        if (Scroll_Bar_Id(lparam) == 1041) {
            zone_frequency_bar = Scroll_Value(code, thumb, zone_frequency_bar, 0, 50, 1, 1);
            Show_Bar(dialog, 1041, 1042, zone_frequency_bar);
        } else if (Scroll_Bar_Id(lparam) == 1043) {
            zone_duration_bar = Scroll_Value(code, thumb, zone_duration_bar, 0, 50, 1, 1);
            Show_Bar(dialog, 1043, 1044, zone_duration_bar);
        }
        return 1;
    }
    case WM_MOVE: return Present_Last_Frame_Windowed();
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(dialog, IDOK);
            Plasma_Settings.zone_frequency = 50 - zone_frequency_bar;
            Plasma_Settings.zone_duration = zone_duration_bar;
            Plasma_Settings.zone_multicolour = Checked(dialog, 1046);
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        case 3:
            zone_frequency_bar = 25;
            zone_duration_bar = 6;
            Show_Bar(dialog, 1041, 1042, 25);
            Show_Bar(dialog, 1043, 1044, 6);
            Check(dialog, 1046, 1);
            return 1;
        }
    }
    return 0;
}

// ---- direction -----------------------------------------------------------------------------
int direction_frequency = 0;

intptr_t Direction_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    static const char* const names[] = {"Slide In", "Slide Out", "Alternate", "Random"};
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display();
        direction_frequency = std::clamp(Plasma_Settings.direction_change_frequency, 1, 1000);
        Set_Bar(dialog, 1054, 1055, 1, 1000, direction_frequency);
        for (const char* name : names)
            SendDlgItemMessageA(dialog, 1058, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageA(dialog, 1058, LB_SETCURSEL, static_cast<WPARAM>(Plasma_Settings.slide_direction), 0);
        return 1;
    case WM_HSCROLL:
        direction_frequency = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), direction_frequency, 1, 1000, 1, 1);
        Show_Bar(dialog, 1054, 1055, direction_frequency);
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed();
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const LRESULT selection = SendDlgItemMessageA(dialog, 1058, LB_GETCURSEL, 0, 0);
            Close(dialog, IDOK);
            Modify_Plasma(41, static_cast<float>(direction_frequency), 1);
            if (selection >= 0 && selection <= 3) Modify_Plasma(40, static_cast<float>(selection), 1);
            return 1;
        }
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        case 3:
            direction_frequency = 1000;
            Show_Bar(dialog, 1054, 1055, 1000);
            SendDlgItemMessageA(dialog, 1058, LB_SETCURSEL, 3, 0);
            return 1;
        }
    }
    return 0;
}

// ---- fade -------------------------------------------------------------------------------------
struct Fade_Bar {
    int bar, number;
    int value;
} fade_bars[3] = {{1064, 1065, 0}, {1066, 1067, 0}, {1068, 1069, 0}};

intptr_t Fade_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opening_Display();
        fade_bars[0].value = std::clamp(Plasma_Settings.fade_light, 0, 255);
        fade_bars[1].value = std::clamp(Plasma_Settings.fade_hue, 0, 255);
        fade_bars[2].value = std::clamp(Plasma_Settings.fade_saturation, 0, 255);
        for (Fade_Bar& b : fade_bars) Set_Bar(dialog, b.bar, b.number, 0, 255, b.value);
        return 1;
    case WM_HSCROLL:
        for (Fade_Bar& b : fade_bars) {
            if (b.bar != Scroll_Bar_Id(lparam)) continue;
            b.value = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), b.value, 0, 255, 1, 1);
            Show_Bar(dialog, b.bar, b.number, b.value);
        }
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed();
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(dialog, IDOK);
            Plasma_Settings.fade_light = fade_bars[0].value;
            Plasma_Settings.fade_hue = fade_bars[1].value;
            Plasma_Settings.fade_saturation = fade_bars[2].value;
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        }
    }
    return 0;
}

// ---- sine waves ----------------------------------------------------------------------------
struct Sine_Bar {
    int bar, number, minimum, maximum;
    int value;
} sine_bars[5] = {{1069, 1070, 1, 256, 0},
                  {1071, 1072, 0, 500, 0},
                  {1073, 1074, 1, 100, 0},
                  {1075, 1076, 1, 1000, 0},
                  {1081, 1082, 1, 256, 0}};

intptr_t Sine_Wave_Dialog_Box(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    const PLASMA_SETTINGS& s = Plasma_Settings;
    switch (message) {
    case WM_INITDIALOG: {
        Dialog_Opening_Display();
        const int opening[5] = {s.sine_passes, s.sine_amplitude, s.sine_variance,
                                static_cast<int>(s.sine_phase_step * 5000.0), s.sine_band_width};
        for (int i = 0; i < 5; ++i) {
            Sine_Bar& b = sine_bars[i];
            b.value = std::clamp(opening[i], b.minimum, b.maximum);
            Set_Bar(dialog, b.bar, b.number, b.minimum, b.maximum, b.value);
        }
        Check(dialog, 1077, s.sine_multicolour);
        Check(dialog, 1079, s.sine_clear);
        return 1;
    }
    case WM_HSCROLL:
        for (Sine_Bar& b : sine_bars) {
            if (b.bar != Scroll_Bar_Id(lparam)) continue;
            b.value = Scroll_Value(Scroll_Code(wparam), Scroll_Thumb(wparam), b.value, b.minimum, b.maximum, 1, 1);
            Show_Bar(dialog, b.bar, b.number, b.value);
        }
        return 1;
    case WM_MOVE: return Present_Last_Frame_Windowed();
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            Close(dialog, IDOK);
            Plasma_Settings.sine_passes = sine_bars[0].value;
            Plasma_Settings.sine_amplitude = sine_bars[1].value;
            Plasma_Settings.sine_variance = sine_bars[2].value;
            Plasma_Settings.sine_phase_step = sine_bars[3].value * 0.0002;
            Plasma_Settings.sine_band_width = sine_bars[4].value;
            Plasma_Settings.sine_multicolour = Checked(dialog, 1077);
            Plasma_Settings.sine_clear = Checked(dialog, 1079);
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        case 1078: Check(dialog, 1077, !Checked(dialog, 1077)); return 1;
        case 1080: Check(dialog, 1079, !Checked(dialog, 1079)); return 1;
        }
    }
    return 0;
}

}  // namespace

int Show_Granularity_Dialog() { return Show_Dialog("GRANULARITYBOX", Granularity_Dialog_Box); }
int Show_Slide_Speed_Dialog() { return Show_Dialog("SLIDESPEEDBOX", Slide_Speed_Dialog_Box); }
int Show_Slide_Objects_Dialog() { return Show_Dialog("SLIDEOBJECTSBOX", Slide_Objects_Dialog_Box); }
int Show_Background_Dialog() { return Show_Dialog("BackgroundBox", Background_Dialog_Box); }
int Show_Zone_Dialog() { return Show_Dialog("ZONEBOX", Zone_Dialog_Box); }
int Show_Direction_Dialog() { return Show_Dialog("DIRECTIONBOX", Direction_Dialog_Box); }
int Show_Fade_Dialog() { return Show_Dialog("FADEBOX", Fade_Dialog_Box); }
int Show_Sine_Wave_Dialog() { return Show_Dialog("SINEWAVEBOX", Sine_Wave_Dialog_Box); }
