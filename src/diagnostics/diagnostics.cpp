// The one reporting call, the error log, memory and OS information, the resolution table.
#include "diagnostics/diagnostics.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "session/app.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "session/session.h"


namespace {

constexpr uint32_t Max_Error_Log_Size = 32000;
constexpr uint32_t Share_Read_Write = 3;

const char Month_Names[13][64] = {"dummy month", "January", "February", "March",     "April",   "May",     "June",
                                   "July",        "August",  "September", "October", "November", "December"};
const char Day_Names[7][64] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

const int Resolution_Widths[5] = {320, 640, 800, 1024, 1280};
const int Resolution_Heights[5] = {240, 480, 600, 768, 1024};
const int Resolution_Depths[4] = {32, 24, 16, 8};
const char* const Resolution_Texts[20] = {
    "320  x 240  x 32", "640  x 480  x 32", "800  x 600  x 32", "1024 x 768  x 32", "1280 x 1024 x 32",
    "320  x 240  x 24", "640  x 480  x 24", "800  x 600  x 24", "1024 x 768  x 24", "1280 x 1024 x 24",
    "320  x 240  x 16", "640  x 480  x 16", "800  x 600  x 16", "1024 x 768  x 16", "1280 x 1024 x 16",
    "320  x 240  x 8",  "640  x 480  x 8",  "800  x 600  x 8",  "1024 x 768  x 8",  "1280 x 1024 x 8"};

const Once_Log memory_statistics_log;

// A box is only seen over a full-screen display once the desktop surface is in front.
void Show_Desktop_Surface(App& app) {
    for (Display_Context* d : app.displays)
        if (d->Window_Mode == FULLSCREEN && d->Direct_Draw_Interface) d->Direct_Draw_Interface->FlipToGDISurface();
}

// Boxes belong to the first display's window.
HWND Box_Owner(const App& app) { return app.displays.empty() ? nullptr : app.displays.front()->Main_Window; }

// A full or unwritable log ends the program: every window is told.
void End_Program(const App& app) {
    for (Display_Context* d : app.displays) PostMessageA(d->Main_Window, WM_DESTROY, 0, 0);
}

// Reports logged while frames were drawn since the last preset: formats, or texts that are
// not formats. Bounded, so a run of ever-new failures cannot grow it without end.
constexpr size_t Max_Frame_Failures = 64;

bool Logged_In_Earlier_Frame(App& app, const char* key) {
    for (const std::string& seen : app.frame_failures)
        if (seen == key) return true;
    return false;
}

int Report(App& app, const char* text, const char* key) {
    if (!text) text = "";
    if (app.error_logging && app.frames_drawing > 0 && Logged_In_Earlier_Frame(app, key)) return 1;
    if (app.error_logging && Save_Error_Log_To_File(app, app.Error_Log_Path, text, 0) == 1) {
        if (app.frames_drawing > 0 && app.frame_failures.size() < Max_Frame_Failures) app.frame_failures.emplace_back(key);
        return 1;
    }
    Show_Error(app, text);
    return 0;
}

}  // namespace

void Show_Error(App& app, const char* text) {
    if (!text) text = "";
    if (app.No_Modal_Reports) {
        std::fprintf(stderr, "[Error] %s\n", text);
        std::fflush(stderr);
        return;
    }
    ShowCursor(true);
    Show_Desktop_Surface(app);
    // Copied, never used as a format: a '%' in a path must come out as written.
    char buffer[MESSAGE_BUFFER_SIZE];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    PlaySoundFile("Include/Error.wav");
    MessageBoxA(Box_Owner(app), buffer, "Error", MB_ICONSTOP);
}

void Report_Error_To_User(App& app, const char* text) {
    if (!text) text = "";
    if (app.error_logging) Save_Error_Log_To_File(app, app.Error_Log_Path, text, 0);
    Show_Error(app, text);
}

int Report_Error(App& app, const char* text) { return Report(app, text, text ? text : ""); }

int Report_Errorf(App& app, const char* format, ...) {
    if (!format) format = "";
    va_list args;
    va_start(args, format);
    std::vsnprintf(app.Message_Buffer, sizeof app.Message_Buffer, format, args);
    va_end(args);
    return Report(app, app.Message_Buffer, format);
}

void Message_Box(App& app, const char* format, ...) {
    if (!format) format = "";
    char buffer[MESSAGE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (app.No_Modal_Reports) {
        std::fprintf(stderr, "[Message] %s\n", buffer);
        std::fflush(stderr);
        return;
    }
    Show_Desktop_Surface(app);
    ShowCursor(true);
    MessageBoxA(Box_Owner(app), buffer, "Message", MB_OK);
}

int Save_Error_Log_To_File(App& app, const char* path, const char* text, int mode) {
    if (!path || !*path) return 0;

    // Room for any message of the shared buffer; a longer text is cut.
    char entry[MESSAGE_BUFFER_SIZE + 2];
    std::snprintf(entry, sizeof entry, "\r\n%s", text ? text : "");

    if (!app.error_log) {
        if (mode == 1) {
            // Never through a link: the log must not truncate whatever file a link names.
            app.error_log = CreateFileA(path, GENERIC_WRITE, Share_Read_Write, CREATE_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT);
            if (!app.error_log) {
                app.error_logging = 0;
                Report_Error(app, "Save_Error_Log_To_File() CreateFile FILE FAILED");
                return 0;
            }
        } else {
            app.error_log = CreateFileA(path, GENERIC_WRITE, Share_Read_Write, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
            if (!app.error_log) {
                app.error_logging = 0;
                Report_Error(app, "Save_Error_Log_To_File() CreateFile APPEND TO FILE FAILED");
                return 0;
            }
            // Reopened after a close: add to the log rather than write over its start.
            SetFilePointerToEnd(app.error_log);
        }
    }

    uint32_t size = GetFileSize(app.error_log);
    if (size != 0xFFFFFFFFu && size > Max_Error_Log_Size) {
        app.error_logging = 0;
        Report_Error(app, "Save_Error_Log_To_File() Max Error log file size EXCEEDED");
        End_Program(app);
        return 0;
    }

    uint32_t length = static_cast<uint32_t>(std::strlen(entry));
    uint32_t written = 0;
    if (!WriteFile(app.error_log, entry, length, &written) || written != length) {
        app.error_logging = 0;
        Report_Error(app, "Save_Error_Log_To_File() WriteFile FAILED");
        End_Program(app);
        return 0;
    }
    return 1;
}

int Stamp_Date_And_Title_To_Saver_Error_Log_File(App& app, const char* title) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    // The clock never gives these out of range; a faked one must not read past the tables.
    const char* day = now.wDayOfWeek < 7 ? Day_Names[now.wDayOfWeek] : "";
    const char* month = now.wMonth < 13 ? Month_Names[now.wMonth] : Month_Names[0];

    char text[512];
    int n = std::snprintf(text, sizeof text, "\r\n%d:%d:%d, %s %s %d, %d\r\n", now.wHour, now.wMinute, now.wSecond,
                          day, month, now.wDay, now.wYear);
    if (n < 0) n = 0;
    std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "%s", title ? title : "");

    if (!Save_Error_Log_To_File(app, app.Error_Log_Path, text, 1)) {
        app.error_logging = 0;
        return 0;
    }
    return 1;
}

int Close_Error_Log(App& app) {
    if (app.error_log) {
        CloseHandle(app.error_log);
        app.error_log = nullptr;
    }
    return 1;
}

void Log_Memory_Statistics(Display_Context& d) {
    App& app = d.app;
    memory_statistics_log.enter(app, "Enter Log_Memory_Statistics");

    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    uint32_t total_video = 0, free_video = 0;
    Get_Available_Video_Memory(d, &total_video, &free_video);

    if (app.error_logging && !memory_statistics_log.done(app)) {
        Report_Errorf(app, "VIDEO RAM: TOTAL %.2lf FREE %.2lf Mb", total_video / 1048576.0, free_video / 1048576.0);
        Report_Errorf(app, "SYSTEM RAM: TOTAL %.2lf Mb", static_cast<double>(memory.dwTotalPhys) / 1048576.0);
    }
    memory_statistics_log.exit(app, "Exitting Log_Memory_Statistics");
}

int Determine_Operating_System(App& app, int* code) {
    int result = 0;
    if (code) *code = 0;
    OSVERSIONINFO version;
    if (!GetVersionExA(&version)) {
        Report_Error(app, "Determine_Operating_System(): GetVersionEx FAILED");
        return 0;
    }
    switch (version.dwPlatformId) {
        case VER_PLATFORM_WIN32s: result = 1; break;
        case VER_PLATFORM_WIN32_WINDOWS: result = version.dwMinorVersion != 0 ? 3 : 2; break;
        case VER_PLATFORM_WIN32_NT: result = version.dwMajorVersion > 4 ? 5 : 4; break;
        default: result = 0; break;
    }
    if (code) *code = result;
    return 1;
}

int Decode_Resolution(App& app, int index, int* width, int* height, int* depth) {
    if (index < 0 || index > 19) {
        Report_Errorf(app, "Decode_Resolution(): Invalid resolution %d", index);
        return 0;
    }
    if (width) *width = Resolution_Widths[index % 5];
    if (height) *height = Resolution_Heights[index % 5];
    if (depth) *depth = Resolution_Depths[index / 5];
    return 1;
}

const char* Resolution_Text(int index) { return index >= 0 && index < 20 ? Resolution_Texts[index] : nullptr; }

uint32_t Get_File_Size(const char* name) {
    HANDLE file = CreateFileA(name, GENERIC_READ, Share_Read_Write, OPEN_EXISTING);
    if (!file) return 0;
    uint32_t size = GetFileSize(file);
    CloseHandle(file);
    return size == 0xFFFFFFFFu ? 0 : size;
}

void Build_Error_Log_Path(App& app) {
    std::string dir = Windows_Directory();
    int n = std::snprintf(app.Error_Log_Path, sizeof app.Error_Log_Path, "%s\\Mirravane\\error_log.txt", dir.c_str());
    // A cut path would name some other file; no path keeps the log off and boxes shown.
    if (n < 0 || static_cast<size_t>(n) >= sizeof app.Error_Log_Path) app.Error_Log_Path[0] = '\0';
}

void Once_Log::enter(App& app, const char* line) const {
    if (app.error_logging && !app.once_logs_done.count(this)) Report_Error(app, line);
}

void Once_Log::exit(App& app, const char* line) const {
    if (app.once_logs_done.count(this)) return;
    if (app.error_logging) Report_Error(app, line);
    app.once_logs_done.insert(this);
}

bool Once_Log::done(const App& app) const { return app.once_logs_done.count(this) != 0; }

Frame_Reports::Frame_Reports(App& app) : app_(app) { ++app_.frames_drawing; }
Frame_Reports::~Frame_Reports() { --app_.frames_drawing; }

void Forget_Frame_Reports(App& app) { app.frame_failures.clear(); }

void Reset_Diagnostics(App& app) {
    app.once_logs_done.clear();
    Forget_Frame_Reports(app);
}
