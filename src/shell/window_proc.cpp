#include "shell/window_proc.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "diagnostics/diagnostics.h"
#include "dialogs/launchers.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "platform/system/system.h"
#include "platform/windows/commdlg.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "scope/scope.h"
#include "shell/file_dialog.h"
#include "shell/frame.h"
#include "shell/menu.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "shell/window_style.h"
#include "shell/window_title.h"
#include "slides/frame_converter.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "text/title.h"
#include "session/session.h"

namespace {


void Rebuild_For_Size(Session& s) {
    if (s.kaleidoscope.kaleidoscope_active && !s.slides.Slides_Ready) {
        Shutdown_Kaleidoscope(s);
        if (!Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height)) {
            Report_Error(s.app, "WM_SIZE: Setup_Kaleidoscope FAILED");
            return;
        }
        return;
    }
    if (s.slides.Slides_Ready) {
        Restore_All_Objects(s);
        Modify_Plasma(s, Plasma_Parameter::Slides_On, 0, 0);
        Modify_Plasma(s, Plasma_Parameter::Slides_On, 1, 0);
    } else {
        Modify_Plasma(s, Plasma_Parameter::Plasma_Width, static_cast<float>(s.display.Client_Width), 1);
        Modify_Plasma(s, Plasma_Parameter::Plasma_Height, static_cast<float>(s.display.Client_Height), 1);
    }
    if (s.scope.scope_active) {
        Shutdown_Scope(s);
        if (!Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, -1)) Report_Error(s.app, "WM_SIZE: Setup_Scope FAILED");
    }
}

void Recreate_Scope(Session& s, const char* failure) {
    if (!s.scope.scope_active) return;
    Shutdown_Scope(s);
    if (!Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, -1)) Report_Error(s.app, failure);
}

std::string Program_Folder_Prefix() { return Windows_Directory() + "\\Mirravane\\"; }

void Save_As(Session& s) {
    Prepare_File_Dialog(s, s.display.Main_Window, Program_Folder_Prefix().c_str(), 1);
    if (!Save_File_Dialog(s)) return;
    if (!Save_Plasma_Settings_To_File(s, s.shell.Current_File_Name)) Report_Errorf(s.app, "Unable to write file %s", s.shell.Current_File_Name);
    Update_Window_Title(s, s.shell.Current_File_Name);
}

// The record was replaced or a field written behind Modify_Plasma's back.
void Symmetry(Session& s, int symmetry) {
    if (s.Plasma_Settings.slides_on) Modify_Plasma(s, Plasma_Parameter::Slides_On, 0, 0);
    if (s.kaleidoscope.kaleidoscope_active) Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On_Alias, 0, 0);
    Modify_Plasma(s, Plasma_Parameter::Symmetry, static_cast<float>(symmetry), 0);
    Refresh_Plasma(s);
}

LRESULT Command(Session& s, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const int id = static_cast<int>(LOWORD(wparam));
    switch (id) {
    case MENU_PRESETS_OPEN: {
        // The chosen name becomes the preset's file only once it was read as a preset, so a
        // file that is not one never becomes what Save writes to.
        std::memcpy(s.shell.open_name, s.shell.Current_File_Name, sizeof s.shell.open_name);
        Prepare_File_Dialog(s, s.display.Main_Window, Program_Folder_Prefix().c_str(), 1, s.shell.open_name, s.shell.open_title);
        if (!Open_File_Dialog(s)) return 0;
        if (!Read_Plasma_Settings_From_File(s, s.shell.open_name)) {
            std::string text = std::string("Unable to read file ") + s.shell.open_name;
            const std::string why = Preset_Problem(Last_Preset_Read(s.app));
            if (!why.empty()) text += "\n\n" + why;
            Report_Error_To_User(s.app, text.c_str());
            return 0;
        }
        std::memcpy(s.shell.Current_File_Name, s.shell.open_name, sizeof s.shell.open_name);
        std::memcpy(s.shell.Current_File_Title, s.shell.open_title, sizeof s.shell.open_title);
        Update_Window_Title(s, s.shell.Current_File_Name);
        Update_Menu_Check_Marks(s);
        Copy_Plasma_Dialog_Values(s);
        return 0;
    }
    case MENU_PRESETS_SAVE:
        if (s.shell.Current_File_Name[0] == '\0') {
            Save_As(s);
            return 0;
        }
        if (Save_Plasma_Settings_To_File(s, s.shell.Current_File_Name)) return DefWindowProcA(window, message, wparam, lparam);
        Report_Errorf(s.app, "Unable to write file %s", s.shell.Current_File_Name);
        Save_As(s);
        return 0;
    case MENU_PRESETS_SAVE_AS:
        Save_As(s);
        return 0;
    case MENU_PRESETS_RANDOM:
        Show_Random_Presets_Dialog(s);
        return 0;
    case MENU_PRESETS_EXIT:
        PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        return 0;
    case MENU_VIEW_VSYNC:
        s.display.Wait_For_Vsync = s.display.Wait_For_Vsync ? 0 : 1;
        s.Plasma_Settings.vsync = s.display.Wait_For_Vsync;
        break;
    case MENU_VIEW_FPS:
        s.display.Show_Frame_Rate = s.display.Show_Frame_Rate != 1 ? 1 : 0;
        break;
    case MENU_VIEW_FULLSCREEN:
        if (!Decode_Resolution(s.app, s.Plasma_Settings.resolution, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp))
            Report_Error(s.app, "MENU_VIEW_FULLSCREEN: Decode_Resolution FAILED");
        Store_Plasma_Settings(s);
        Rebuild_Full_Screen(s, "MENU_VIEW_FULLSCREEN: Setup FAILED");
        Cover_Full_Screen_Mode(s);
        if (!Restore_Plasma_Settings(s)) Report_Error(s.app, "MENU_VIEW_FULLSCREEN: Restore_Plasma_Settings FAILED");
        Refresh_Plasma(s);
        break;
    case MENU_OVERLAY_CIRCLE:
    case MENU_OVERLAY_ELLIPSE:
    case MENU_OVERLAY_DIAMOND:
    case MENU_OVERLAY_STAR:
        Shutdown_Scope(s);
        if (!Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, id - MENU_OVERLAY_CIRCLE))
            Report_Error(s.app, "MENU_VIEW_SCOPE_OFF: Setup Scope FAILED");
        break;
    case MENU_OVERLAY_CUSTOM: {
        // A bitmap that cannot serve leaves the overlay that was shown, and its path, in place.
        char previous_path[sizeof s.Plasma_Settings.custom_overlay_path];
        std::memcpy(previous_path, s.Plasma_Settings.custom_overlay_path, sizeof previous_path);
        const int previous_shape = s.scope.scope_active ? s.scope.last_scope_shape : -1;
        if (!Choose_Custom_Overlay(s)) return 0;
        Shutdown_Scope(s);
        if (!Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, id - MENU_OVERLAY_CIRCLE)) {
            Report_Error(s.app, "MENU_VIEW_SCOPE_OFF: Setup Scope FAILED");
            const std::string text = std::string("Unable to use ") + s.Plasma_Settings.custom_overlay_path +
                                     " as an overlay\n\nIt could not be loaded as a bitmap.";
            Report_Error_To_User(s.app, text.c_str());
            std::memcpy(s.Plasma_Settings.custom_overlay_path, previous_path, sizeof previous_path);
            Shutdown_Scope(s);  // a failed set-up may leave its surface behind
            if (previous_shape >= 0) Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, previous_shape);
        }
        break;
    }
    case MENU_OVERLAY_OFF:
        Shutdown_Scope(s);
        break;
    case MENU_VIEW_RESOLUTION:
        Show_Resolution_Dialog(s);
        break;
    case MENU_VIEW_PREVIEW_ACTIVE:
        s.Plasma_Settings.preview_active = s.Plasma_Settings.preview_active ? 0 : 1;
        break;
    case MENU_VIEW_TITLES:
        s.Plasma_Settings.titles_on = s.Plasma_Settings.titles_on ? 0 : 1;
        break;
    case MENU_VIEW_TOGGLE_MAXIMISE:
        if (s.display.Client_Width == s.display.Screen_Width && s.display.Client_Height == s.display.Screen_Height && s.display.Window_Mode == WINDOWED)
            Switch_Window_Style(s);
        else
            Maximise_Window(s.display);
        break;
    case MENU_PLASMA_SPEED: Show_Speed_Dialog(s); break;
    case MENU_PLASMA_CONTRAST: Show_Contrast_Dialog(s); break;
    case MENU_PLASMA_RIPPLES: Show_Ripple_Dialog(s); break;
    case MENU_PLASMA_INTERFERENCE: Show_Interference_Dialog(s); break;
    case MENU_PLASMA_SWAY: Show_Sway_Dialog(s); break;
    case MENU_PLASMA_COLOUR_SELECT: Show_Colour_Dialog(s); break;
    case MENU_PLASMA_COLOUR_RANDOM: Show_Random_Colour_Dialog(s); break;
    case MENU_PLASMA_COMPLEXITY: Show_Complexity_Dialog(s); break;
    case MENU_PLASMA_BRIGHTEN:
        Modify_Plasma(s, Plasma_Parameter::Brighten, s.Plasma_Settings.brighten ? 0.0f : 1.0f, 0);
        CheckMenuItem(s.shell.App_Menu, MENU_PLASMA_BRIGHTEN, s.Plasma_Settings.brighten ? MF_CHECKED : MF_UNCHECKED);
        break;
    case MENU_PLASMA_MULTI_COLOUR:
        if (s.Plasma_Settings.multi_colour == 0) {
            Modify_Plasma(s, Plasma_Parameter::Multi_Colour, 1, 0);
        } else {
            Modify_Plasma(s, Plasma_Parameter::Multi_Colour, 0, 0);
            Copy_Plasma_Dialog_Values(s);
        }
        break;
    case MENU_PLASMA_DEFAULT:
        Default_Plasma_Settings(s);
        Reset_Plasma_Dialog_Values(s);
        Refresh_Plasma(s);
        break;
    case MENU_SYMMETRY_ASYMMETRIC:
    case MENU_SYMMETRY_BIPOLAR:
    case MENU_SYMMETRY_FOURFOLD:
    case MENU_SYMMETRY_EIGHTFOLD:
        Symmetry(s, id - MENU_SYMMETRY_ASYMMETRIC);
        break;
    case MENU_KALEIDOSCOPE_ON:
        if (!s.kaleidoscope.kaleidoscope_active) {
            if (s.Plasma_Settings.symmetry != 0) Modify_Plasma(s, Plasma_Parameter::Symmetry, 0, 0);
            Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 1, 1);
        } else {
            Shutdown_Kaleidoscope(s);
            if (s.slides.Slides_Ready) Modify_Plasma(s, Plasma_Parameter::Slides_On, 0, 0);
            Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 0, 0);
            Modify_Plasma(s, Plasma_Parameter::Plasma_Width, static_cast<float>(s.display.Client_Width), 0);
            Modify_Plasma(s, Plasma_Parameter::Plasma_Height, static_cast<float>(s.display.Client_Height), 1);
        }
        Recreate_Scope(s, "MENU_SCOPE_GRANULARITY: Setup Scope FAILED");
        break;
    case MENU_KALEIDOSCOPE_STRETCH:
        s.Plasma_Settings.kaleidoscope_stretch = s.Plasma_Settings.kaleidoscope_stretch ? 0 : 1;
        break;
    case MENU_KALEIDOSCOPE_GRANULARITY:
        Show_Granularity_Dialog(s);
        Shutdown_Kaleidoscope(s);
        Setup_Kaleidoscope(s, s.display.Client_Width, s.display.Client_Height);
        if (s.slides.Slides_Ready) Modify_Plasma(s, Plasma_Parameter::Slides_On, 1, 0);
        Recreate_Scope(s, "MENU_SCOPE_GRANULARITY: Setup Scope FAILED");
        break;
    case MENU_SLIDES_ON:
        if (s.slides.Slides_Ready) {
            Modify_Plasma(s, Plasma_Parameter::Slides_On, 0, 0);
        } else {
            Modify_Plasma(s, Plasma_Parameter::Slides_On, 1, 0);
            Reset_Plasma_Dialog_Values(s);
            Refresh_Plasma(s);
        }
        break;
    case MENU_SLIDES_SPEED:
        Show_Slide_Speed_Dialog(s);
        Modify_Plasma(s, Plasma_Parameter::Slides_On, 1, 0);
        break;
    case MENU_SLIDES_OBJECTS_SELECT:
        Show_Slide_Objects_Dialog(s);
        Modify_Plasma(s, Plasma_Parameter::Slides_On, 1, 0);
        break;
    case MENU_SLIDES_BACKGROUND:
        Show_Background_Dialog(s);
        Modify_Plasma(s, Plasma_Parameter::Slides_On, 1, 0);
        break;
    case MENU_SLIDES_FADE: Show_Fade_Dialog(s); break;
    case MENU_SLIDES_ZONES: Show_Zone_Dialog(s); break;
    case MENU_SLIDES_DIRECTION: Show_Direction_Dialog(s); break;
    case MENU_BLEND_HUE: s.Plasma_Settings.blend_mode = 1; break;
    case MENU_BLEND_LIGHT: s.Plasma_Settings.blend_mode = 2; break;
    case MENU_BLEND_OFF: s.Plasma_Settings.blend_mode = 0; break;
    case MENU_SLIDES_COMPACT:
        if (!Compact_All_Objects(s)) {
            Report_Error(s.app, "MENU_SCOPE_SLIDES_COMPACT: Compact_All_Objects() FAILED");
        } else {
            Message_Box(s.app, "All objects have been compacted into their single frame equivalents\nMirravane will now "
                        "exit. The next time Mirravane is run,\nall object files will be (re)expanded.");
            PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        }
        break;
    case MENU_SLIDES_FRAME_CONVERT:
        if (Frame_Convert(s)) return DefWindowProcA(window, message, wparam, lparam);
        Report_Error(s.app, "MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT: Frame Convert FAILED");
        break;
    case MENU_SLIDES_DEFAULT:
        Default_Plasma_Settings(s);
        Modify_Plasma(s, Plasma_Parameter::Slides_On, 1, 0);
        Reset_Plasma_Dialog_Values(s);
        Refresh_Plasma(s);
        break;
    case MENU_HELP_INSTRUCTIONS: {
        const std::string help = Windows_Directory() + "\\Mirravane\\Data\\Help.HLP";
        if (!WinHelpA(s.display.Main_Window, help.c_str(), HELP_CONTENTS, 0))
            Report_Error(s.app, "MENU_HELP_INFORMATION: Win Help() FAILED");
        return 0;
    }
    case MENU_HELP_SYSTEM_INFO: Show_System_Info(s); return 0;
    case MENU_HELP_ABOUT: Show_About(s); return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
    Update_Menu_Check_Marks(s);
    return 0;
}

void Return_To_Windowed(Session& s) {
    Store_Plasma_Settings(s);
    Shutdown(s);
    s.display.Screen_Width = s.app.System_Width;
    s.display.Screen_Height = s.app.System_Height;
    s.display.Screen_Bpp = s.app.System_Bpp;
    s.display.Window_Mode = WINDOWED;
    Switch_Window_Style(s);
    SetForegroundWindow(s.display.Main_Window);
    s.app.Frames_Running = 1;
    if (!Setup(s)) {
        Report_Error(s.app, "VK_SPACE/VK_RETURN: Setup FAILED");
        PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    }
    if (!Restore_Plasma_Settings(s)) {
        Report_Error(s.app, "VK_SPACE/VK_RETURN: Restore_Plasma_Settings FAILED");
        PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    }
    Update_Menu_Check_Marks(s);
    SetCursor(s.app.Arrow_Cursor);
    ShowCursor(true);
    RECT client{};
    GetClientRect(s.display.Main_Window, &client);
    SendMessageA(s.display.Main_Window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    Update_Menu_Check_Marks(s);
}

LRESULT Key(Session& s, WPARAM key) {
    const bool fullscreen = s.display.Window_Mode == FULLSCREEN;
    switch (key) {
    case '1': s.display.Show_Frame_Rate = 1; break;
    case '2': s.display.Show_Frame_Rate = 0; break;
    case '3':
        Shutdown_Scope(s);
        if (s.display.Screen_Bpp != 8 && !Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, 0)) {
            Report_Error(s.app, "WM_KEYDOWN: '3' Setup_Scope FAILED");
            return 0;
        }
        break;
    case '4':
        Shutdown_Scope(s);
        if (s.display.Screen_Bpp != 8 && !Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, 1))
            Report_Error(s.app, "WM_KEYDOWN: '4' Setup_Scope_FAILED");
        break;
    case '5':
        if (s.scope.scope_active) Shutdown_Scope(s);
        break;
    case '6':
    case '7':
    case '8':
        Symmetry(s, static_cast<int>(key - '6'));
        break;
    case '9':
        if (!s.kaleidoscope.kaleidoscope_active) {
            Clear(s.display, s.display.Visible);
            Clear(s.display, s.display.Hidden);
            Modify_Plasma(s, Plasma_Parameter::Symmetry, 0, 0);
            Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 1, 0);
            Refresh_Plasma(s);
        }
        break;
    case '0':
        if (s.kaleidoscope.kaleidoscope_active) {
            Shutdown_Kaleidoscope(s);
            Modify_Plasma(s, Plasma_Parameter::Plasma_Width, static_cast<float>(s.display.Client_Width), 0);
            Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 0, 0);
            Modify_Plasma(s, Plasma_Parameter::Plasma_Height, static_cast<float>(s.display.Client_Height), 0);
            Refresh_Plasma(s);
        }
        break;
    case 'R':
    case VK_F3:
        s.journey.Running_Random_Interval = 60;
        s.journey.Running_Transition_Speed = 4;
        Tick_Random_Preset_Timer(s, 1);
        Refresh_Plasma(s);
        break;
    case VK_ADD:
        Clear(s.display, s.display.Hidden);
        Display_A_Random_Setting(s);
        Clear(s.display, s.display.Visible);
        break;
    case 'T':
    case VK_F5:
        if (!Setup_Title(s, s.Plasma_Settings.title_text, 9))
            Report_Errorf(s.app, "Setup_Title() %s FAILED", s.Plasma_Settings.title_text);
        return 0;
    case VK_RETURN:
    case VK_SPACE:
        if (fullscreen) {
            if (s.app.Saver_Mode == SAVER)
                PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
            else
                Return_To_Windowed(s);
        }
        break;
    case VK_ESCAPE:
        PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        break;
    default:
        if (s.app.Saver_Mode == SAVER) PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        break;
    }
    Update_Menu_Check_Marks(s);
    return 0;
}

}  // namespace

void Reset_Window_Procedure(Session& s) { s.shell.last_client_width = s.shell.last_client_height = -1; }

LRESULT Main_Window_Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Session& s = Window_Session(window);
    if (s.shell.last_client_width < 0) {
        s.shell.last_client_width = s.display.Client_Width;
        s.shell.last_client_height = s.display.Client_Height;
    }
    switch (message) {
    case WM_DESTROY: {
        if (s.app.Saver_Mode != PREVIEW) Set_Screen_Saver_Running(false);
        // The preset's own file name stays as it is: default.dat is built in a buffer of its own.
        if (s.app.Saver_Mode == CONFIGURE) Save_Default_Plasma_File(s);
        Shutdown(s);
        // A saver on several monitors ends on all of them at once.
        if (s.app.Saver_Mode == SAVER)
            for (Display_Context* d : s.app.displays)
                if (d != &s.display && d->Main_Window && d->Main_Window->session)
                    Shutdown(Window_Session(d->Main_Window));
        Close_Error_Log(s.app);
        PostQuitMessage(0);
        s.app.Quit_Allowed = 1;
        return 0;
    }
    case WM_SIZE: {
        if (s.display.Window_Mode == FULLSCREEN || s.app.Saver_Mode == SAVER) {
            s.display.Client_Width = s.display.Screen_Width;
            s.display.Client_Height = s.display.Screen_Height;
        } else {
            RECT client;
            if (!GetClientRect(window, &client)) {
                Report_Error(s.app, "WM_SIZE: GetClientRect FAILED");
                return 0;
            }
            s.display.Client_Width = client.right - client.left;
            s.display.Client_Height = client.bottom - client.top;
            if (s.app.Saver_Mode == PREVIEW) {
                // The preview follows its host's size, within the frame surface it draws on.
                if (s.display.Client_Width > s.display.Screen_Width) s.display.Client_Width = s.display.Screen_Width;
                if (s.display.Client_Height > s.display.Screen_Height) s.display.Client_Height = s.display.Screen_Height;
            }
        }
        if (wparam == SIZE_MAXIMIZED || wparam == SIZE_RESTORED) SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
        return 0;
    }
    case WM_EXITSIZEMOVE:
        if (s.display.Client_Width != s.shell.last_client_width || s.display.Client_Height != s.shell.last_client_height) {
            s.shell.last_client_width = s.display.Client_Width;
            s.shell.last_client_height = s.display.Client_Height;
            s.shell.about_picture_drawn = 0;  // stretched to the old size
            Rebuild_For_Size(s);
        }
        return 0;
    case WM_KILLFOCUS:
        if (s.app.Saver_Mode == SAVER)
            PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        else if (s.display.Window_Mode == FULLSCREEN)
            Return_To_Windowed(s);
        return 0;
    case WM_CLOSE:
        PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        return 0;
    case WM_ACTIVATEAPP:
        s.app.Frames_Running = s.app.Saver_Mode == PREVIEW ? 1 : (wparam ? 1 : 0);
        return 0;
    case WM_GETMINMAXINFO: {
        if (lparam) {
            auto* info = reinterpret_cast<POINT*>(lparam);
            info->x = 2 * GetSystemMetrics(SM_CXFRAME) + 200;
            info->y = 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION) + 256;
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (s.app.Saver_Mode == SAVER) PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        return 0;
    case WM_KEYDOWN:
        if (s.app.Saver_Mode == PREVIEW) return 0;
        return Key(s, wparam);
    case WM_COMMAND:
        if (s.app.Saver_Mode == SAVER && wparam == SC_SCREENSAVE) return 0;
        return Command(s, window, message, wparam, lparam);
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
