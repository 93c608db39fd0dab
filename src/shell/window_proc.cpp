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
#include "shell/modes.h"
#include "shell/session.h"
#include "shell/window_style.h"
#include "shell/window_title.h"
#include "slides/frame_converter.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "text/title.h"

namespace {

int last_client_width = -1, last_client_height = -1;

void Rebuild_For_Size() {
    if (kaleidoscope_active && !Slides_Ready) {
        Shutdown_Kaleidoscope();
        if (!Setup_Kaleidoscope(Client_Width, Client_Height)) {
            Report_Error("WM_SIZE: Setup_Kaleidoscope FAILED");
            return;
        }
        return;
    }
    if (Slides_Ready) {
        Restore_All_Objects();
        Modify_Plasma(25, 0, 0);
        Modify_Plasma(25, 1, 0);
    } else {
        Modify_Plasma(1, static_cast<float>(Client_Width), 1);
        Modify_Plasma(2, static_cast<float>(Client_Height), 1);
    }
    if (scope_active) {
        Shutdown_Scope();
        if (!Setup_Scope(Client_Width, Client_Height, -1)) Report_Error("WM_SIZE: Setup_Scope FAILED");
    }
}

void Recreate_Scope(const char* failure) {
    if (!scope_active) return;
    Shutdown_Scope();
    if (!Setup_Scope(Client_Width, Client_Height, -1)) Report_Error(failure);
}

std::string Program_Folder_Prefix() { return Windows_Directory() + "\\Mirravane\\"; }

void Save_As() {
    Prepare_File_Dialog(Main_Window, Program_Folder_Prefix().c_str(), 1);
    if (!Save_File_Dialog()) return;
    if (!Save_Plasma_Settings_To_File(Current_File_Name)) Report_Errorf("Unable to write file %s", Current_File_Name);
    Update_Window_Title(Current_File_Name);
}

// The record was replaced or a field written behind Modify_Plasma's back.
void Symmetry(int symmetry) {
    if (Plasma_Settings.slides_on) Modify_Plasma(25, 0, 0);
    if (kaleidoscope_active) Modify_Plasma(23, 0, 0);
    Modify_Plasma(11, static_cast<float>(symmetry), 0);
    Refresh_Plasma();
}

LRESULT Command(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const int id = static_cast<int>(LOWORD(wparam));
    switch (id) {
    case MENU_PRESETS_OPEN: {
        // The chosen name becomes the preset's file only once it was read as a preset, so a
        // file that is not one never becomes what Save writes to.
        static File_Name chosen, chosen_title;
        std::memcpy(chosen, Current_File_Name, sizeof chosen);
        Prepare_File_Dialog(Main_Window, Program_Folder_Prefix().c_str(), 1, chosen, chosen_title);
        if (!Open_File_Dialog()) return 0;
        if (!Read_Plasma_Settings_From_File(chosen)) {
            std::string text = std::string("Unable to read file ") + chosen;
            const std::string why = Preset_Problem(Last_Preset_Read());
            if (!why.empty()) text += "\n\n" + why;
            Report_Error_To_User(text.c_str());
            return 0;
        }
        std::memcpy(Current_File_Name, chosen, sizeof chosen);
        std::memcpy(Current_File_Title, chosen_title, sizeof chosen_title);
        Update_Window_Title(Current_File_Name);
        Update_Menu_Check_Marks();
        Copy_Plasma_Dialog_Values();
        return 0;
    }
    case MENU_PRESETS_SAVE:
        if (Current_File_Name[0] == '\0') {
            Save_As();
            return 0;
        }
        if (Save_Plasma_Settings_To_File(Current_File_Name)) return DefWindowProcA(window, message, wparam, lparam);
        Report_Errorf("Unable to write file %s", Current_File_Name);
        Save_As();
        return 0;
    case MENU_PRESETS_SAVE_AS:
        Save_As();
        return 0;
    case MENU_PRESETS_RANDOM:
        Show_Random_Presets_Dialog();
        return 0;
    case MENU_PRESETS_EXIT:
        PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        return 0;
    case MENU_VIEW_VSYNC:
        Wait_For_Vsync = Wait_For_Vsync ? 0 : 1;
        Plasma_Settings.vsync = Wait_For_Vsync;
        break;
    case MENU_VIEW_FPS:
        Show_Frame_Rate = Show_Frame_Rate != 1 ? 1 : 0;
        break;
    case MENU_VIEW_FULLSCREEN:
        if (!Decode_Resolution(Plasma_Settings.resolution, &Screen_Width, &Screen_Height, &Screen_Bpp))
            Report_Error("MENU_VIEW_FULLSCREEN: Decode_Resolution FAILED");
        Store_Plasma_Settings();
        Shutdown();
        Window_Mode = FULLSCREEN;
        Client_Width = Screen_Width;
        Client_Height = Screen_Height;
        Switch_Window_Style();
        if (!Setup()) {
            Report_Error("MENU_VIEW_FULLSCREEN: Setup FAILED");
            PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        }
        if (Screen_Width > System_Width) {
            if (IsZoomed(Main_Window)) Centre_Window(Main_Window);
            SetWindowPos(Main_Window, HWND_TOPMOST_ID, 0, 0, Screen_Width, Screen_Height, 0);
        }
        if (!Restore_Plasma_Settings()) Report_Error("MENU_VIEW_FULLSCREEN: Restore_Plasma_Settings FAILED");
        Refresh_Plasma();
        break;
    case MENU_OVERLAY_CIRCLE:
    case MENU_OVERLAY_ELLIPSE:
    case MENU_OVERLAY_DIAMOND:
    case MENU_OVERLAY_STAR:
        Shutdown_Scope();
        if (!Setup_Scope(Client_Width, Client_Height, id - MENU_OVERLAY_CIRCLE))
            Report_Error("MENU_VIEW_SCOPE_OFF: Setup Scope FAILED");
        break;
    case MENU_OVERLAY_CUSTOM: {
        // A bitmap that cannot serve leaves the overlay that was shown, and its path, in place.
        char previous_path[sizeof Plasma_Settings.custom_overlay_path];
        std::memcpy(previous_path, Plasma_Settings.custom_overlay_path, sizeof previous_path);
        const int previous_shape = scope_active ? last_scope_shape : -1;
        if (!Choose_Custom_Overlay()) return 0;
        Shutdown_Scope();
        if (!Setup_Scope(Client_Width, Client_Height, id - MENU_OVERLAY_CIRCLE)) {
            Report_Error("MENU_VIEW_SCOPE_OFF: Setup Scope FAILED");
            const std::string text = std::string("Unable to use ") + Plasma_Settings.custom_overlay_path +
                                     " as an overlay\n\nIt could not be loaded as a bitmap.";
            Report_Error_To_User(text.c_str());
            std::memcpy(Plasma_Settings.custom_overlay_path, previous_path, sizeof previous_path);
            Shutdown_Scope();  // a failed set-up may leave its surface behind
            if (previous_shape >= 0) Setup_Scope(Client_Width, Client_Height, previous_shape);
        }
        break;
    }
    case MENU_OVERLAY_OFF:
        Shutdown_Scope();
        break;
    case MENU_VIEW_RESOLUTION:
        Show_Resolution_Dialog();
        break;
    case MENU_VIEW_PREVIEW_ACTIVE:
        Plasma_Settings.preview_active = Plasma_Settings.preview_active ? 0 : 1;
        break;
    case MENU_VIEW_TITLES:
        Plasma_Settings.titles_on = Plasma_Settings.titles_on ? 0 : 1;
        break;
    case MENU_VIEW_TOGGLE_MAXIMISE:
        if (Client_Width == Screen_Width && Client_Height == Screen_Height && Window_Mode == WINDOWED)
            Switch_Window_Style();
        else
            Maximise_Window();
        break;
    case MENU_PLASMA_SPEED: Show_Speed_Dialog(); break;
    case MENU_PLASMA_CONTRAST: Show_Contrast_Dialog(); break;
    case MENU_PLASMA_RIPPLES: Show_Ripple_Dialog(); break;
    case MENU_PLASMA_INTERFERENCE: Show_Interference_Dialog(); break;
    case MENU_PLASMA_SWAY: Show_Sway_Dialog(); break;
    case MENU_PLASMA_COLOUR_SELECT: Show_Colour_Dialog(); break;
    case MENU_PLASMA_COLOUR_RANDOM: Show_Random_Colour_Dialog(); break;
    case MENU_PLASMA_COMPLEXITY: Show_Complexity_Dialog(); break;
    case MENU_PLASMA_BRIGHTEN:
        Modify_Plasma(19, Plasma_Settings.brighten ? 0.0f : 1.0f, 0);
        CheckMenuItem(App_Menu, MENU_PLASMA_BRIGHTEN, Plasma_Settings.brighten ? MF_CHECKED : MF_UNCHECKED);
        break;
    case MENU_PLASMA_MULTI_COLOUR:
        if (Plasma_Settings.multi_colour == 0) {
            Modify_Plasma(0, 1, 0);
        } else {
            Modify_Plasma(0, 0, 0);
            Copy_Plasma_Dialog_Values();
        }
        break;
    case MENU_PLASMA_DEFAULT:
        Default_Plasma_Settings();
        Reset_Plasma_Dialog_Values();
        Refresh_Plasma();
        break;
    case MENU_SYMMETRY_ASYMMETRIC:
    case MENU_SYMMETRY_BIPOLAR:
    case MENU_SYMMETRY_FOURFOLD:
    case MENU_SYMMETRY_EIGHTFOLD:
        Symmetry(id - MENU_SYMMETRY_ASYMMETRIC);
        break;
    case MENU_KALEIDOSCOPE_ON:
        if (!kaleidoscope_active) {
            if (Plasma_Settings.symmetry != 0) Modify_Plasma(11, 0, 0);
            Modify_Plasma(18, 1, 1);
        } else {
            Shutdown_Kaleidoscope();
            if (Slides_Ready) Modify_Plasma(25, 0, 0);
            Modify_Plasma(18, 0, 0);
            Modify_Plasma(1, static_cast<float>(Client_Width), 0);
            Modify_Plasma(2, static_cast<float>(Client_Height), 1);
        }
        Recreate_Scope("MENU_SCOPE_GRANULARITY: Setup Scope FAILED");
        break;
    case MENU_KALEIDOSCOPE_STRETCH:
        Plasma_Settings.kaleidoscope_stretch = Plasma_Settings.kaleidoscope_stretch ? 0 : 1;
        break;
    case MENU_KALEIDOSCOPE_GRANULARITY:
        Show_Granularity_Dialog();
        Shutdown_Kaleidoscope();
        Setup_Kaleidoscope(Client_Width, Client_Height);
        if (Slides_Ready) Modify_Plasma(25, 1, 0);
        Recreate_Scope("MENU_SCOPE_GRANULARITY: Setup Scope FAILED");
        break;
    case MENU_SLIDES_ON:
        if (Slides_Ready) {
            Modify_Plasma(25, 0, 0);
        } else {
            Modify_Plasma(25, 1, 0);
            Reset_Plasma_Dialog_Values();
            Refresh_Plasma();
        }
        break;
    case MENU_SLIDES_SPEED:
        Show_Slide_Speed_Dialog();
        Modify_Plasma(25, 1, 0);
        break;
    case MENU_SLIDES_OBJECTS_SELECT:
        Show_Slide_Objects_Dialog();
        Modify_Plasma(25, 1, 0);
        break;
    case MENU_SLIDES_BACKGROUND:
        Show_Background_Dialog();
        Modify_Plasma(25, 1, 0);
        break;
    case MENU_SLIDES_FADE: Show_Fade_Dialog(); break;
    case MENU_SLIDES_ZONES: Show_Zone_Dialog(); break;
    case MENU_SLIDES_DIRECTION: Show_Direction_Dialog(); break;
    case MENU_BLEND_HUE: Plasma_Settings.blend_mode = 1; break;
    case MENU_BLEND_LIGHT: Plasma_Settings.blend_mode = 2; break;
    case MENU_BLEND_OFF: Plasma_Settings.blend_mode = 0; break;
    case MENU_SLIDES_COMPACT:
        if (!Compact_All_Objects()) {
            Report_Error("MENU_SCOPE_SLIDES_COMPACT: Compact_All_Objects() FAILED");
        } else {
            Message_Box("All objects have been compacted into their single frame equivalents\nMirravane will now "
                        "exit. The next time Mirravane is run,\nall object files will be (re)expanded.");
            PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        }
        break;
    case MENU_SLIDES_FRAME_CONVERT:
        if (Frame_Convert()) return DefWindowProcA(window, message, wparam, lparam);
        Report_Error("MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT: Frame Convert FAILED");
        break;
    case MENU_SLIDES_DEFAULT:
        Default_Plasma_Settings();
        Modify_Plasma(25, 1, 0);
        Reset_Plasma_Dialog_Values();
        Refresh_Plasma();
        break;
    case MENU_HELP_INSTRUCTIONS: {
        const std::string help = Windows_Directory() + "\\Mirravane\\Data\\Help.HLP";
        if (!WinHelpA(Main_Window, help.c_str(), HELP_CONTENTS, 0))
            Report_Error("MENU_HELP_INFORMATION: Win Help() FAILED");
        return 0;
    }
    case MENU_HELP_SYSTEM_INFO: Show_System_Info(); return 0;
    case MENU_HELP_ABOUT: Show_About(); return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
    Update_Menu_Check_Marks();
    return 0;
}

void Return_To_Windowed() {
    Store_Plasma_Settings();
    Shutdown();
    Screen_Width = System_Width;
    Screen_Height = System_Height;
    Screen_Bpp = System_Bpp;
    Window_Mode = WINDOWED;
    Switch_Window_Style();
    SetForegroundWindow(Main_Window);
    Frames_Running = 1;
    if (!Setup()) {
        Report_Error("VK_SPACE/VK_RETURN: Setup FAILED");
        PostMessageA(Main_Window, WM_DESTROY, 0, 0);
    }
    if (!Restore_Plasma_Settings()) {
        Report_Error("VK_SPACE/VK_RETURN: Restore_Plasma_Settings FAILED");
        PostMessageA(Main_Window, WM_DESTROY, 0, 0);
    }
    Update_Menu_Check_Marks();
    SetCursor(Arrow_Cursor);
    ShowCursor(true);
    RECT client{};
    GetClientRect(Main_Window, &client);
    SendMessageA(Main_Window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    Update_Menu_Check_Marks();
}

LRESULT Key(WPARAM key) {
    const bool fullscreen = Window_Mode == FULLSCREEN;
    switch (key) {
    case '1': Show_Frame_Rate = 1; break;
    case '2': Show_Frame_Rate = 0; break;
    case '3':
        Shutdown_Scope();
        if (Screen_Bpp != 8 && !Setup_Scope(Client_Width, Client_Height, 0)) {
            Report_Error("WM_KEYDOWN: '3' Setup_Scope FAILED");
            return 0;
        }
        break;
    case '4':
        Shutdown_Scope();
        if (Screen_Bpp != 8 && !Setup_Scope(Client_Width, Client_Height, 1))
            Report_Error("WM_KEYDOWN: '4' Setup_Scope_FAILED");
        break;
    case '5':
        if (scope_active) Shutdown_Scope();
        break;
    case '6':
    case '7':
    case '8':
        Symmetry(static_cast<int>(key - '6'));
        break;
    case '9':
        if (!kaleidoscope_active) {
            Clear(Visible);
            Clear(Hidden);
            Modify_Plasma(11, 0, 0);
            Modify_Plasma(18, 1, 0);
            Refresh_Plasma();
        }
        break;
    case '0':
        if (kaleidoscope_active) {
            Shutdown_Kaleidoscope();
            Modify_Plasma(1, static_cast<float>(Client_Width), 0);
            Modify_Plasma(18, 0, 0);
            Modify_Plasma(2, static_cast<float>(Client_Height), 0);
            Refresh_Plasma();
        }
        break;
    case 'R':
    case VK_F3:
        Running_Random_Interval = 60;
        Running_Transition_Speed = 4;
        Tick_Random_Preset_Timer(1);
        Refresh_Plasma();
        break;
    case VK_ADD:
        Clear(Hidden);
        Display_A_Random_Setting();
        Clear(Visible);
        break;
    case 'T':
    case VK_F5:
        if (!Setup_Title(Plasma_Settings.title_text, 9))
            Report_Errorf("Setup_Title() %s FAILED", Plasma_Settings.title_text);
        return 0;
    case VK_RETURN:
    case VK_SPACE:
        if (fullscreen) {
            if (Saver_Mode == SAVER)
                PostMessageA(Main_Window, WM_DESTROY, 0, 0);
            else
                Return_To_Windowed();
        }
        break;
    case VK_ESCAPE:
        PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        break;
    default:
        if (Saver_Mode == SAVER) PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        break;
    }
    Update_Menu_Check_Marks();
    return 0;
}

}  // namespace

void Reset_Window_Procedure() { last_client_width = last_client_height = -1; }

LRESULT Main_Window_Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (last_client_width < 0) {
        last_client_width = Client_Width;
        last_client_height = Client_Height;
    }
    switch (message) {
    case WM_DESTROY: {
        if (Saver_Mode != PREVIEW) Set_Screen_Saver_Running(false);
        // The preset's own file name stays as it is: default.dat is built in a buffer of its own.
        if (Saver_Mode == CONFIGURE) Save_Default_Plasma_File();
        Shutdown();
        Close_Error_Log();
        PostQuitMessage(0);
        Quit_Allowed = 1;
        return 0;
    }
    case WM_SIZE: {
        if (Window_Mode == FULLSCREEN || Saver_Mode == SAVER) {
            Client_Width = Screen_Width;
            Client_Height = Screen_Height;
        } else {
            RECT client;
            if (!GetClientRect(window, &client)) {
                Report_Error("WM_SIZE: GetClientRect FAILED");
                return 0;
            }
            Client_Width = client.right - client.left;
            Client_Height = client.bottom - client.top;
            if (Saver_Mode == PREVIEW) {
                // The preview follows its host's size, within the frame surface it draws on.
                if (Client_Width > Screen_Width) Client_Width = Screen_Width;
                if (Client_Height > Screen_Height) Client_Height = Screen_Height;
            }
        }
        if (wparam == SIZE_MAXIMIZED || wparam == SIZE_RESTORED) SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
        return 0;
    }
    case WM_EXITSIZEMOVE:
        if (Client_Width != last_client_width || Client_Height != last_client_height) {
            last_client_width = Client_Width;
            last_client_height = Client_Height;
            about_picture_drawn = 0;  // stretched to the old size
            Rebuild_For_Size();
        }
        return 0;
    case WM_KILLFOCUS:
        if (Saver_Mode == SAVER)
            PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        else if (Window_Mode == FULLSCREEN)
            Return_To_Windowed();
        return 0;
    case WM_CLOSE:
        PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        return 0;
    case WM_ACTIVATEAPP:
        Frames_Running = Saver_Mode == PREVIEW ? 1 : (wparam ? 1 : 0);
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
        if (Saver_Mode == SAVER) PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        return 0;
    case WM_KEYDOWN:
        if (Saver_Mode == PREVIEW) return 0;
        return Key(wparam);
    case WM_COMMAND:
        if (Saver_Mode == SAVER && wparam == SC_SCREENSAVE) return 0;
        return Command(window, message, wparam, lparam);
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
