#include "shell/startup.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "dialogs/launchers.h"
#include "input/mouse.h"
#include "platform/display/ddraw.h"
#include "platform/system/system.h"
#include "platform/windows/commdlg.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/file_dialog.h"
#include "shell/frame.h"
#include "shell/menu.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "shell/shell_link.h"
#include "shell/window_proc.h"
#include "shell/window_title.h"
#include "surface/display.h"
#include "session/session.h"


namespace {

bool Is_Blank(char c) { return c == ' ' || c == '\t'; }

const char* Skip_Blanks_And_Colons(const char* p) {
    while (*p && (Is_Blank(*p) || *p == ':')) ++p;
    return p;
}

// Decimal as the C library's atol, or hexadecimal after "0x" as X window ids are written.
uintptr_t Window_Handle(const char* p) {
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return static_cast<uintptr_t>(std::strtoull(p + 2, nullptr, 16));
    return static_cast<uintptr_t>(std::atol(p));
}

// The window to draw into is gone: no picture can be shown anywhere, and a window of our
// own would be a stray on the desktop.
int Host_Window_Missing(App& app, const char* what, uintptr_t id) {
    Report_Errorf(app, "WinMain(): %s 0x%lx does not exist", what, static_cast<unsigned long>(id));
    std::fprintf(stderr, "Mirravane: %s 0x%lx does not exist\n", what, static_cast<unsigned long>(id));
    Close_Error_Log(app);
    return START_FAILED;
}

int Stop_Frames_After() {
    const char* v = std::getenv("MIRRAVANE_FRAMES");
    if (!v) return -1;
    const long n = std::strtol(v, nullptr, 10);
    return n >= 0 && n < 1000000000 ? static_cast<int>(n) : -1;
}

// A start that fails ends the program, but the process may go on to start again: the
// window, the open log and the saver lock must not outlive this start.
void End_Failed_Start(Display_Context& d) {
    Close_Error_Log(d.app);
    if (d.Main_Window) DestroyWindow(d.Main_Window);
    d.Main_Window = nullptr;
    if (d.app.Saver_Mode == SAVER) Set_Screen_Saver_Running(false);
}

// A failed start is always seen: while the log takes the report, its text is shown as well
// (on standard error in saver and preview mode, which show no box).
int Fail_Start(Display_Context& d, const char* text) {
    if (Report_Error(d.app, text)) Show_Error(d.app, text);
    End_Failed_Start(d);
    return START_FAILED;
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
        if (preview_parent) *preview_parent = Window_Handle(p);
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

int Is_Saver_Running(App& app) {
    int os = 0;
    if (!Determine_Operating_System(app, &os)) {
        Report_Error(app, "IsSaverRunning(): Determine Operating System FAILED");
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

namespace {

// The sessions whose frames the loop runs: every display of the program with a window, in
// the order they were made.
void Running_Sessions(App& app, std::vector<Session*>& sessions) {
    sessions.clear();
    for (Display_Context* d : app.displays)
        if (d->Main_Window && IsWindow(d->Main_Window) && d->Main_Window->session)
            sessions.push_back(&Window_Session(d->Main_Window));
}

// One more saver session, covering `monitor`, with the preset the first one shows.
std::unique_ptr<Session> Start_Saver_Session(App& app, const RECT& monitor) {
    auto t = std::make_unique<Session>(app);
    Session& s = *t;
    Install_Shell_Link(s);
    if (!Grab_Preferred_Plasma_Screen_Dimensions(s, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp))
        Decode_Resolution(app, Default_Resolution, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp);
    // Shown without the focus: the first window keeps the keyboard, and no saver window takes
    // the focus from another (a loss of focus ends the saver).
    Attach_Window(s, Create_Window(" Mirravane", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST | WS_EX_NOACTIVATE, monitor.left, monitor.top,
                                   s.display.Screen_Width, s.display.Screen_Height, nullptr, nullptr, Main_Window_Procedure, &s));
    if (!s.display.Main_Window) {
        Report_Error(app, "WinMain():\n\nUnable to create window for app");
        return nullptr;
    }
    s.display.Client_Width = s.display.Screen_Width;
    s.display.Client_Height = s.display.Screen_Height;
    s.display.Window_Mode = FULLSCREEN;
    s.display.Show_Frame_Rate = 0;
    if (!Setup(s)) {
        Report_Error(app, "WinMain:Could not setup application");
        Shutdown(s);
        DestroyWindow(s.display.Main_Window);
        s.display.Main_Window = nullptr;
        return nullptr;
    }
    Mouse_Has_Moved(s, 1);
    Display_Default_Plasma(s);
    if (!app.Saver_Preset_File.empty() && !Read_Plasma_Settings_From_File(s, app.Saver_Preset_File.c_str()))
        Report_Errorf(app, "Unable to read file %s", app.Saver_Preset_File.c_str());
    Copy_Random_Settings(s);
    if (app.Saver_Random_Interval >= 0) s.journey.Running_Random_Interval = app.Saver_Random_Interval;
    ShowWindow(s.display.Main_Window, SW_SHOWNORMAL);
    UpdateWindow(s.display.Main_Window);
    return t;
}

}  // namespace

std::vector<std::unique_ptr<Session>> Start_Other_Monitors(Session& first) {
    std::vector<std::unique_ptr<Session>> more;
    App& app = first.app;
    // A host's window is one monitor's; xscreensaver starts a saver for each of the others.
    if (app.Saver_Mode != SAVER || app.Saver_Host_Window || !first.display.Main_Window) return more;
    const std::vector<RECT> monitors = Monitors();
    for (size_t i = 1; i < monitors.size(); ++i) {
        // A monitor whose session cannot start stays dark; the others run.
        if (auto s = Start_Saver_Session(app, monitors[i]))
            more.push_back(std::move(s));
        else
            Report_Errorf(app, "WinMain(): no saver on monitor %d", static_cast<int>(i + 1));
    }
    return more;
}

int Message_Loop(Session& s) {
    const int stop_after = Stop_Frames_After();
    std::vector<Session*> sessions;
    int frames = 0;
    if (stop_after == 0) PostMessageA(s.display.Main_Window, WM_CLOSE, 0, 0);
    for (;;) {
        // A termination signal ends the program as Escape does, default.dat saved.
        if (Take_Ending_Signal()) PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (s.app.Quit_Allowed) return static_cast<int>(msg.wParam);
                PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
            }
            if (Translate_Accelerator(s.display, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (s.app.Frames_Running) {
            // A frame for each display; a session that ends on the way takes no more frames.
            Running_Sessions(s.app, sessions);
            for (Session* each : sessions) {
                if (each->app.Quit_Allowed) break;
                if (!Run_Mirravane(*each)) PostMessageA(each->display.Main_Window, WM_DESTROY, 0, 0);
            }
            if (stop_after >= 0 && ++frames == stop_after) PostMessageA(s.display.Main_Window, WM_CLOSE, 0, 0);
            continue;
        }
        if (!WaitMessage()) {
            Report_Error(s.app, "WinMain(): WaitMessage FAILED");
            PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        }
    }
}

// Ctrl+M, the one accelerator: the toggle of the maximised window. Control counts as it
// was when M went down: by the time the message is handled it may have been let go.
bool Translate_Accelerator(Display_Context& d, const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN || msg->hwnd != d.Main_Window) return false;
    if (msg->wParam != 'M' || !(msg->lParam & KEY_CONTROL_HELD)) return false;
    SendMessageA(d.Main_Window, WM_COMMAND, MENU_VIEW_TOGGLE_MAXIMISE, 0);
    return true;
}

int Start_Up(Session& s, const char* command_line) {
    Install_Shell_Link(s);
    s.app.Saver_Mode = Parse_Command_Line(command_line, &s.app.Preview_Parent);
    const bool saver_or_preview = s.app.Saver_Mode == SAVER || s.app.Saver_Mode == PREVIEW;
    s.app.No_Modal_Reports = saver_or_preview ? 1 : 0;
    // Only a saver holds the lock, so a configuration window or a preview never keeps one
    // away; xscreensaver's savers (one per monitor) leave it alone. Testing and taking it in
    // one step refuses a second saver started at the same moment.
    if (s.app.Saver_Mode == SAVER && !s.app.Independent_Saver && (Is_Saver_Running(s.app) || Set_Screen_Saver_Running(true)))
        return START_ENDED;

    int os = 0;
    Determine_Operating_System(s.app, &os);
    if (s.app.Saver_Mode == PREVIEW && os == 5) return START_ENDED;

    const std::string folder = Windows_Directory() + "\\Mirravane";
    if (!Directory_Exists(folder)) {
        Report_Error(s.app, "WinMain(): mirravane folder doesn't exist - Please RE-INSTALL");
        End_Failed_Start(s.display);
        return START_FAILED;
    }
    // What a killed save left behind; only this program's own temporary files.
    Remove_Stale_Temporary_Files(folder);
    Remove_Stale_Temporary_Files(folder + "\\Data\\Bmp\\Objects");

    s.app.error_logging = 1;
    s.display.Show_Frame_Rate = 0;
    Build_Error_Log_Path(s.app);
    if (!Stamp_Date_And_Title_To_Saver_Error_Log_File(s.app, "Mirravane Error Log File\r\n")) {
        // A saver in a read-only or full folder still runs, without a log.
        s.app.error_logging = 0;
        if (!saver_or_preview) {
            Report_Error(s.app, "Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");
            End_Failed_Start(s.display);
            return START_FAILED;
        }
    }
    // Without a log these lines would only be noise on standard error.
    if (s.app.error_logging) switch (os) {
    case 0: Report_Error(s.app, "OS_UNKNOWN"); break;
    case 2: Report_Error(s.app, "Windows 95"); break;
    case 3: Report_Error(s.app, "Windows 98"); break;
    case 4: Report_Error(s.app, "Windows NT"); break;
    case 5: Report_Error(s.app, "Windows 2000"); break;
    default: break;
    }

    // The introduction belongs to the first configuration start: a saver or preview on a
    // fresh install draws (expanding the objects itself) instead of waiting behind a box.
    bool first_run = false;
    const std::string first_object = folder + "\\Data\\Bmp\\Objects\\0.bmp";
    if (!saver_or_preview && Get_File_Size(first_object.c_str()) == 3126) {
        first_run = true;
        s.app.Saver_Mode = CONFIGURE;
    }

    if (!Grab_Current_Screen_Dimensions(s.app, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp))
        return Fail_Start(s.display, "WinMain(): Grab_Current_Screen_Dimensions FAILED");
    s.app.System_Width = s.display.Screen_Width;
    s.app.System_Height = s.display.Screen_Height;
    s.app.System_Bpp = s.display.Screen_Bpp;
    if (s.app.error_logging)
        Report_Errorf(s.app, "System Width %d System Height %d System_Bpp %d", s.app.System_Width, s.app.System_Height, s.app.System_Bpp);

    Grab_Preferred_Plasma_Screen_Dimensions(s, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp);
    if (s.app.Saver_Mode != SAVER) {
        s.display.Screen_Bpp = s.app.System_Bpp;
        s.display.Screen_Width = GetSystemMetrics(SM_CXSCREEN);
        s.display.Screen_Height = GetSystemMetrics(SM_CYSCREEN);
    }

    if (s.app.Saver_Mode == CHANGE_PASSWORD) {
        Close_Error_Log(s.app);
        return START_ENDED;
    }
    if (s.app.error_logging) switch (s.app.Saver_Mode) {
    case PREVIEW: Report_Error(s.app, "Saver_Mode = PREVIEW"); break;
    case SAVER: Report_Error(s.app, "Saver_Mode = SAVER"); break;
    default: Report_Error(s.app, "Saver_Mode = CONFIGURE"); break;
    }

    Register_Program_Resources();
    if (s.app.Saver_Mode == CONFIGURE || s.app.Saver_Mode == 0) {
        s.shell.App_Menu = LoadMenuA(IDR_MAIN_MENU);
        s.app.Arrow_Cursor = LoadCursorArrow();
        const int side = (2 * s.display.Screen_Height) / 3;
        s.display.Client_Width = s.display.Client_Height = side;
        Attach_Window(s, Create_Window(" Mirravane", WS_OVERLAPPEDWINDOW, 0, (s.display.Screen_Width - side) / 2,
                                    (s.display.Screen_Height - side) / 2, side, side, nullptr, s.shell.App_Menu, Main_Window_Procedure, &s));
        if (s.display.Main_Window) {
            SetCursor(s.app.Arrow_Cursor);
            ShowCursor(true);
        }
    } else if (s.app.Saver_Mode == SAVER) {
        if (s.app.Saver_Host_Window && Native_Window_Missing(s.app.Saver_Host_Window))
            return Host_Window_Missing(s.app, "XSCREENSAVER_WINDOW", s.app.Saver_Host_Window);
        // Inside a host the window is shown only once it is there. Of its own, the saver's first
        // window covers the primary monitor.
        const uint32_t shown = s.app.Saver_Host_Window ? 0 : WS_VISIBLE;
        const RECT primary = s.app.Saver_Host_Window ? RECT{} : Monitors().front();
        Attach_Window(s, Create_Window(" Mirravane", WS_POPUP | shown, WS_EX_TOPMOST, primary.left, primary.top, s.display.Screen_Width,
                                    s.display.Screen_Height, nullptr, nullptr, Main_Window_Procedure, &s));
        if (s.display.Main_Window && s.app.Saver_Host_Window) Embed_Window(s.display.Main_Window, s.app.Saver_Host_Window);
        s.display.Client_Width = s.display.Screen_Width;
        s.display.Client_Height = s.display.Screen_Height;
        s.display.Window_Mode = FULLSCREEN;
        ShowCursor(false);
    } else {
        if (Native_Window_Missing(s.app.Preview_Parent)) return Host_Window_Missing(s.app, "preview window", s.app.Preview_Parent);
        // The host's window: its client size, when it can be read.
        int width = 0, height = 0;
        if (!Native_Window_Size(s.app.Preview_Parent, &width, &height)) {
            Report_Error(s.app, "Win_Main(): GetClientRect for Preview Window FAILED");
            width = 152;
            height = 112;
        }
        Attach_Window(s, Create_Window(" Mirravane", WS_CHILD, 0, 0, 0, width, height, nullptr, nullptr,
                                    Main_Window_Procedure, &s));
        if (s.display.Main_Window) Embed_Window(s.display.Main_Window, s.app.Preview_Parent);
        s.display.Client_Width = width;
        s.display.Client_Height = height;
    }
    if (!s.display.Main_Window)
        return Fail_Start(s.display, s.app.Saver_Mode == PREVIEW ? "WinMain(): Unable to create preview window"
                                                : "WinMain():\n\nUnable to create window for app");

    if (s.app.Saver_Mode == CONFIGURE) {
        if (!Centre_Window(s.display, s.display.Main_Window)) return Fail_Start(s.display, "WinMain: Centre_Window FAILED");
        if (first_run) Show_Introduction(s);
    }

    if (!Setup(s)) {
        Shutdown(s);
        return Fail_Start(s.display, "WinMain:Could not setup application");
    }
    Log_Memory_Statistics(s.display);
    if (s.app.Saver_Mode == SAVER) Mouse_Has_Moved(s, 1);
    // The saver took the lock at the start; nothing else says that a saver runs.
    Display_Default_Plasma(s);
    if (saver_or_preview && !s.app.Saver_Preset_File.empty() && !Read_Plasma_Settings_From_File(s, s.app.Saver_Preset_File.c_str()))
        Report_Errorf(s.app, "Unable to read file %s", s.app.Saver_Preset_File.c_str());
    Update_Window_Title(s, s.Plasma_Settings.title_text);
    Copy_Random_Settings(s);
    if (saver_or_preview && s.app.Saver_Random_Interval >= 0) s.journey.Running_Random_Interval = s.app.Saver_Random_Interval;
    const std::string initial = Windows_Directory() + "\\Mirravane\\";
    Prepare_File_Dialog(s, s.display.Main_Window, initial.c_str(), 1);
    ShowWindow(s.display.Main_Window, SW_SHOWNORMAL);
    UpdateWindow(s.display.Main_Window);
    return START_RUNNING;
}

int Start_Exit_Code(int started) { return started == START_FAILED ? START_FAILED_EXIT_CODE : 0; }

int Mirravane_Main(Session& s, const char* command_line) {
    const int started = Start_Up(s, command_line);
    if (started != START_RUNNING) return Start_Exit_Code(started);
    const std::vector<std::unique_ptr<Session>> more = Start_Other_Monitors(s);
    s.app.Message_Loop_Running = true;
    const int code = Message_Loop(s);
    s.app.Message_Loop_Running = false;
    return code;
}

void End_After_Lost_Display(Display_Context& d) {
    if (!d.app.Message_Loop_Running || d.app.Quit_Allowed || !d.Main_Window) return;
    d.app.Message_Loop_Running = false;
    d.app.No_Modal_Reports = 1;
    Set_Primary_Hook(nullptr);
    Set_Backend(nullptr);
    SendMessageA(d.Main_Window, WM_DESTROY, 0, 0);
}
