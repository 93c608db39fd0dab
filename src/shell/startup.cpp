#include "shell/startup.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "diagnostics/diagnostics.h"
#include "dialogs/launchers.h"
#include "input/mouse.h"
#include "platform/system/system.h"
#include "platform/windows/commdlg.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/file_dialog.h"
#include "shell/frame.h"
#include "shell/menu.h"
#include "shell/modes.h"
#include "shell/session.h"
#include "shell/window_proc.h"
#include "shell/window_title.h"
#include "surface/display.h"

uintptr_t Preview_Parent = 0;
uintptr_t Saver_Host_Window = 0;

namespace {

bool Is_Blank(char c) { return c == ' ' || c == '\t'; }

const char* Skip_Blanks_And_Colons(const char* p) {
    while (*p && (Is_Blank(*p) || *p == ':')) ++p;
    return p;
}

int Stop_Frames_After() {
    const char* v = std::getenv("MIRRAVANE_FRAMES");
    if (!v) return -1;
    const long n = std::strtol(v, nullptr, 10);
    return n >= 0 && n < 1000000000 ? static_cast<int>(n) : -1;
}

// A start that fails ends the program, but the process may go on to start again: the
// window and the open log must not outlive this start.
void End_Failed_Start() {
    Close_Error_Log();
    DestroyWindow(Main_Window);
    Main_Window = nullptr;
}

}  // namespace

int Parse_Command_Line(const char* line, uintptr_t* preview_parent) {
    const char* p = line ? line : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
    } else {
        while (*p && !Is_Blank(*p)) ++p;
    }
    if (*p) ++p;
    while (Is_Blank(*p)) ++p;
    if (!*p) return CONFIGURE;
    if (*p == '-' || *p == '/') ++p;
    switch (*p) {
    case 'p':
    case 'P':
    case 'l':
    case 'L': {
        p = Skip_Blanks_And_Colons(p + 1);
        if (preview_parent) *preview_parent = static_cast<uintptr_t>(std::atol(p));
        return PREVIEW;
    }
    case 's':
    case 'S':
        return SAVER;
    case 'c':
    case 'C':
        return CONFIGURE;
    case 'a':
    case 'A':
        return CHANGE_PASSWORD;
    default:
        return 0;
    }
}

int Is_Saver_Running() {
    int os = 0;
    if (!Determine_Operating_System(&os)) {
        Report_Error("IsSaverRunning(): Determine Operating System FAILED");
        return 0;
    }
    if (os != 4) {
        const bool previous = Set_Screen_Saver_Running(false);
        Set_Screen_Saver_Running(previous);
        return previous ? 1 : 0;
    }
    HWND foreground = GetForegroundWindow();
    if (!foreground) return 1;
    RECT r{};
    GetWindowRect(foreground, &r);
    return (static_cast<uint32_t>(GetWindowLongStyle(foreground)) & 0xF0000000u) == 0x90000000u &&
                   r.right - r.left == GetSystemMetrics(SM_CXSCREEN) && r.bottom - r.top == GetSystemMetrics(SM_CYSCREEN)
               ? 1
               : 0;
}

int Message_Loop() {
    const int stop_after = Stop_Frames_After();
    int frames = 0;
    if (stop_after == 0) PostMessageA(Main_Window, WM_CLOSE, 0, 0);
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (Quit_Allowed) return static_cast<int>(msg.wParam);
                PostMessageA(Main_Window, WM_DESTROY, 0, 0);
            }
            if (Translate_Accelerator(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (Frames_Running) {
            if (!Run_Mirravane()) PostMessageA(Main_Window, WM_DESTROY, 0, 0);
            if (stop_after >= 0 && ++frames == stop_after) PostMessageA(Main_Window, WM_CLOSE, 0, 0);
            continue;
        }
        if (!WaitMessage()) {
            Report_Error("WinMain(): WaitMessage FAILED");
            PostMessageA(Main_Window, WM_DESTROY, 0, 0);
        }
    }
}

// Ctrl+M, the one accelerator: the toggle of the maximised window. Control counts as it
// was when M went down: by the time the message is handled it may have been let go.
bool Translate_Accelerator(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN || msg->hwnd != Main_Window) return false;
    if (msg->wParam != 'M' || !(msg->lParam & KEY_CONTROL_HELD)) return false;
    SendMessageA(Main_Window, WM_COMMAND, MENU_VIEW_TOGGLE_MAXIMISE, 0);
    return true;
}

int Start_Up(const char* command_line) {
    Saver_Mode = Parse_Command_Line(command_line, &Preview_Parent);
    if (Saver_Mode == SAVER && Is_Saver_Running()) return 0;

    int os = 0;
    Determine_Operating_System(&os);
    if (Saver_Mode == PREVIEW && os == 5) return 0;

    const std::string folder = Windows_Directory() + "\\Mirravane";
    if (!Directory_Exists(folder)) {
        if (Saver_Mode != SAVER && Saver_Mode != PREVIEW)
            Report_Error("WinMain(): mirravane folder doesn't exist - Please RE-INSTALL");
        return 0;
    }

    error_logging = 1;
    Show_Frame_Rate = 0;
    Build_Error_Log_Path();
    if (!Stamp_Date_And_Title_To_Saver_Error_Log_File("Mirravane Error Log File\r\n")) {
        if (Saver_Mode != SAVER && Saver_Mode != PREVIEW)
            Report_Error("Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");
        return 0;
    }
    switch (os) {
    case 0: Report_Error("OS_UNKNOWN"); break;
    case 2: Report_Error("Windows 95"); break;
    case 3: Report_Error("Windows 98"); break;
    case 4: Report_Error("Windows NT"); break;
    case 5: Report_Error("Windows 2000"); break;
    default: break;
    }

    bool first_run = false;
    const std::string first_object = folder + "\\Data\\Bmp\\Objects\\0.bmp";
    if (Get_File_Size(first_object.c_str()) == 3126) {
        first_run = true;
        Saver_Mode = CONFIGURE;
    }

    if (!Grab_Current_Screen_Dimensions(&Screen_Width, &Screen_Height, &Screen_Bpp)) {
        Report_Error("WinMain(): Grab_Current_Screen_Dimensions FAILED");
        return 0;
    }
    System_Width = Screen_Width;
    System_Height = Screen_Height;
    System_Bpp = Screen_Bpp;
    Report_Errorf("System Width %d System Height %d System_Bpp %d", System_Width, System_Height, System_Bpp);

    Grab_Preferred_Plasma_Screen_Dimensions(&Screen_Width, &Screen_Height, &Screen_Bpp);
    if (Saver_Mode != SAVER) {
        Screen_Bpp = System_Bpp;
        Screen_Width = GetSystemMetrics(SM_CXSCREEN);
        Screen_Height = GetSystemMetrics(SM_CYSCREEN);
    }

    switch (Saver_Mode) {
    case 0:
    case CONFIGURE: Report_Error("Saver_Mode = CONFIGURE"); break;
    case PREVIEW: Report_Error("Saver_Mode = PREVIEW"); break;
    case SAVER: Report_Error("Saver_Mode = SAVER"); break;
    default: return 0;  // CHANGE_PASSWORD
    }

    Register_Program_Resources();
    if (Saver_Mode == CONFIGURE || Saver_Mode == 0) {
        App_Menu = LoadMenuA(IDR_MAIN_MENU);
        Arrow_Cursor = LoadCursorArrow();
        const int side = (2 * Screen_Height) / 3;
        Client_Width = Client_Height = side;
        Main_Window = Create_Window(" Mirravane", WS_OVERLAPPEDWINDOW, 0, (Screen_Width - side) / 2,
                                    (Screen_Height - side) / 2, side, side, nullptr, App_Menu, Main_Window_Procedure);
        if (Main_Window) {
            SetCursor(Arrow_Cursor);
            ShowCursor(true);
        }
    } else if (Saver_Mode == SAVER) {
        Main_Window = Create_Window(" Mirravane", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, 0, 0, Screen_Width,
                                    Screen_Height, nullptr, nullptr, Main_Window_Procedure);
        if (Main_Window && Saver_Host_Window) {
            Main_Window->native_parent = Saver_Host_Window;
            Backend().window_changed(Main_Window);
        }
        Client_Width = Screen_Width;
        Client_Height = Screen_Height;
        Window_Mode = FULLSCREEN;
        ShowCursor(false);
    } else {
        // The host's window: its client size, when it can be read.
        int width = 0, height = 0;
        if (!Native_Window_Size(Preview_Parent, &width, &height)) {
            Report_Error("Win_Main(): GetClientRect for Preview Window FAILED");
            width = 152;
            height = 112;
        }
        Main_Window = Create_Window(" Mirravane", WS_CHILD | WS_VISIBLE, 0, 0, 0, width, height, nullptr, nullptr,
                                    Main_Window_Procedure);
        if (Main_Window) {
            Main_Window->native_parent = Preview_Parent;
            Backend().window_changed(Main_Window);
        }
        Client_Width = width;
        Client_Height = height;
    }
    if (!Main_Window) {
        Report_Error(Saver_Mode == PREVIEW ? "WinMain(): Unable to create preview window"
                                           : "WinMain():\n\nUnable to create window for app");
        return 0;
    }

    if (Saver_Mode == CONFIGURE) {
        if (!Centre_Window(Main_Window)) {
            Report_Error("WinMain: Centre_Window FAILED");
            End_Failed_Start();
            return 0;
        }
        if (first_run) Show_Introduction();
    }

    if (!Setup()) {
        Report_Error("WinMain:Could not setup application");
        Shutdown();
        End_Failed_Start();
        return 0;
    }
    Log_Memory_Statistics();
    if (Saver_Mode == SAVER) Mouse_Has_Moved(1);
    if (Saver_Mode != PREVIEW) Set_Screen_Saver_Running(true);
    Display_Default_Plasma();
    Update_Window_Title(Plasma_Settings.title_text);
    Copy_Random_Settings();
    const std::string initial = Windows_Directory() + "\\Mirravane\\";
    Prepare_File_Dialog(Main_Window, initial.c_str(), 1);
    ShowWindow(Main_Window, SW_SHOWNORMAL);
    UpdateWindow(Main_Window);
    return 1;
}

int Mirravane_Main(const char* command_line) { return Start_Up(command_line) ? Message_Loop() : 0; }
