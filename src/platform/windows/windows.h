// The window-system stand-in: our own message queue, windows with client rectangles and
// styles, the cursor, message boxes and system values. The message loop and the window
// procedure belong to the engine; a backend (Qt or headless) turns real window-system
// events into messages on this queue and shows what the windows hold.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/windows/wintypes.h"

// ---- messages ---------------------------------------------------------------------------
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SC_SCREENSAVE = 0xF140;

// Scroll codes of a horizontal scroll bar (low word of WM_HSCROLL's word parameter).
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_LEFT = 6;   // also SB_TOP
constexpr int SB_RIGHT = 7;  // also SB_BOTTOM
constexpr int SB_ENDSCROLL = 8;

// Virtual-key codes.
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_ADD = 0x6B;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F3 = 0x72;
constexpr WPARAM VK_F5 = 0x74;
constexpr WPARAM VK_CONTROL = 0x11;
// A bit of a key message's long parameter that the key-data layout leaves reserved; the
// backend sets it when Control was held as the key went down. The message may be handled
// after Control is let go, so this, not the key's present state, tells a Ctrl+key.
constexpr LPARAM KEY_CONTROL_HELD = LPARAM{1} << 25;

constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
    return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}
constexpr unsigned LOWORD(uintptr_t v) { return static_cast<unsigned>(v & 0xFFFF); }
constexpr unsigned HIWORD(uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(unsigned low, unsigned high) {
    return static_cast<LPARAM>(MAKEWPARAM(low, high));
}

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// ---- window styles ----------------------------------------------------------------------
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr uint32_t WS_EX_NOACTIVATE = 0x08000000;  // shown without taking the focus

// ---- message boxes ------------------------------------------------------------------------
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONSTOP = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// ---- system metrics ----------------------------------------------------------------------
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;

// A window as the engine sees it. Positions are screen coordinates.
struct Window {
    std::string caption;
    uint32_t style = 0;
    uint32_t ex_style = 0;
    RECT frame;            // outer rectangle on the screen
    RECT client_on_screen; // client area on the screen
    HMENU menu = nullptr;
    HWND parent = nullptr;
    uintptr_t native_parent = 0;  // host window id for an embedded preview
    WNDPROC proc = nullptr;
    bool visible = false;
    bool iconic = false;
    bool maximised = false;
    bool destroyed = false;
    void* backend_data = nullptr;
    void* session = nullptr;  // the engine's: the session the window belongs to
};

// ---- the backend -------------------------------------------------------------------------
// Implemented by the Qt and the headless backend; the default is headless.
class Window_Backend {
public:
    virtual ~Window_Backend() = default;
    virtual const char* name() const = 0;
    // Desktop (primary screen) size and depth.
    virtual void desktop(int& width, int& height, int& bpp) = 0;
    virtual void window_created(HWND window) = 0;
    virtual void window_changed(HWND window) = 0;  // frame, style, caption, menu or visibility
    virtual void window_destroyed(HWND window) = 0;
    // Moves native events onto the queue; waits for one when `wait` is set.
    virtual bool pump(bool wait) = 0;
    virtual int message_box(HWND owner, const std::string& text, const std::string& caption, UINT flags) = 0;
    virtual void cursor_visible(bool visible) = 0;
    virtual void play_sound(const std::string& path) = 0;
    virtual void vertical_blank() {}
    // Common dialogs: false when the dialog could not be shown; `chosen` empty on Cancel.
    virtual bool file_dialog(struct OPENFILENAME* ofn, bool save, std::string& chosen);
    virtual bool show_help(HWND owner, const std::string& help_file, uint32_t command);
    virtual void menu_changed(HMENU) {}
    // A native window of the desktop (the host of an embedded window): present with its
    // client size, missing when the window system knows no such window, unknown when the
    // backend cannot tell.
    enum class Native_State { present, missing, unknown };
    virtual Native_State native_window(uintptr_t /*native*/, int& /*width*/, int& /*height*/) {
        return Native_State::unknown;
    }
    // Modal dialogs (dialog.h): runs the dialog until EndDialog; the default runs the
    // headless script. dialog_changed tells the backend that the procedure changed a
    // control (position, text, check, list), so a real widget can follow.
    virtual intptr_t run_dialog(struct Dialog_State* dialog);
    virtual void dialog_changed(struct Dialog_State*, int /*control_id*/) {}
    // A long step's progress in a small window over the owner (shown at the first call,
    // kept painted while the step runs); total <= 0 closes it.
    virtual void progress(HWND /*owner*/, const std::string& /*text*/, int /*done*/, int /*total*/) {}
};

Window_Backend& Backend();
void Set_Backend(Window_Backend* backend);  // nullptr restores the headless backend

// ---- windows -----------------------------------------------------------------------------
HWND Create_Window(const std::string& caption, uint32_t style, uint32_t ex_style, int x, int y, int width,
                   int height, HWND parent, HMENU menu, WNDPROC proc, void* session = nullptr);
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);
bool GetClientRect(HWND window, RECT* rect);
bool GetWindowRect(HWND window, RECT* rect);
bool ClientToScreen(HWND window, POINT* point);
bool OffsetRect(RECT* rect, int dx, int dy);
bool SetWindowTextA(HWND window, const char* text);
bool ShowWindow(HWND window, int show);
bool UpdateWindow(HWND window);
bool IsIconic(HWND window);
bool IsZoomed(HWND window);
bool SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
long GetWindowLongStyle(HWND window);
void SetWindowStyle(HWND window, uint32_t style, uint32_t ex_style);
bool SetMenu(HWND window, HMENU menu);

constexpr HWND HWND_TOP = nullptr;
constexpr intptr_t HWND_TOPMOST_ID = -1;
constexpr intptr_t HWND_NOTOPMOST_ID = -2;
constexpr UINT SWP_NOSIZE = 0x1;
constexpr UINT SWP_NOMOVE = 0x2;
constexpr UINT SWP_NOZORDER = 0x4;
constexpr UINT SWP_SHOWWINDOW = 0x40;
// insert_after: 0 leaves the z-order, HWND_TOPMOST_ID or HWND_NOTOPMOST_ID change it.
bool SetWindowPos(HWND window, intptr_t insert_after, int x, int y, int width, int height, UINT flags);
// Restored placement with the given normal rectangle.
bool SetWindowPlacementRestored(HWND window, const RECT& normal);

constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_RESTORE = 9;

// Size of the frame around a client area of an overlapped window with a menu.
void Adjust_Window_Rect(RECT* rect, uint32_t style, bool has_menu);

// ---- queue -------------------------------------------------------------------------------
bool PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int code);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;
// Takes a message without waiting; false when none is waiting. `window` nullptr: any window.
bool PeekMessageA(MSG* msg, HWND window, UINT min, UINT max, UINT remove);
bool WaitMessage();
LRESULT DispatchMessageA(const MSG* msg);
bool TranslateMessage(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void Clear_Message_Queue();
// Back to a machine without windows, messages, held keys, recorded boxes or scripted answers
// (a test's fresh start).
void Reset_Window_Service();
size_t Pending_Messages();

// ---- cursor, system --------------------------------------------------------------------------
int ShowCursor(bool show);  // returns the new show count
int Cursor_Show_Count();
HCURSOR LoadCursorArrow();
HCURSOR LoadCursorWait();
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR Current_Cursor();
int GetSystemMetrics(int index);
int Desktop_Bits_Per_Pixel();
// The monitors in desktop coordinates, the primary first (never empty).
std::vector<RECT> Monitors();
// The monitor that holds most of the window (the primary when none does).
RECT Monitor_Of(HWND window);

// Keys held down now, kept by the backend (a key message carries Control's state of its own).
void Set_Key_Down(WPARAM key, bool down);
bool Key_Down(WPARAM key);
inline bool Control_Key_Down() { return Key_Down(VK_CONTROL); }
bool Native_Window_Size(uintptr_t native, int* width, int* height);
// True for id 0 and for an id that the window system knows to name no window.
bool Native_Window_Missing(uintptr_t native);
// Shows a window created hidden inside a native window of another program. Shown first, it
// would be a top-level window that a window manager takes over before it moves.
bool Embed_Window(HWND window, uintptr_t native_parent);

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT flags);
// Progress of a long step (Backend().progress); End_Progress closes the window.
void Show_Progress(HWND owner, const std::string& text, int done, int total);
void End_Progress(HWND owner);
bool PlaySoundFile(const char* path);

// ---- headless backend ---------------------------------------------------------------------
// What tests can read back and script when the headless backend is in use.
struct Headless_Record {
    std::vector<std::string> boxes;        // "[Error] text" / "[Message] text"
    std::vector<std::string> operations;   // window operations, one line each
    std::deque<int> box_answers;           // answers for boxes that ask (IDYES, IDNO, ...)
    std::vector<std::string> sounds;
    std::vector<std::string> progress;     // "text done/total" per update, "end" when closed
};
Headless_Record& Headless();
void Set_Headless_Desktop(int width, int height, int bpp);
// Monitors in desktop coordinates, the primary first; the desktop takes the primary's size.
void Set_Headless_Monitors(const std::vector<RECT>& monitors);
