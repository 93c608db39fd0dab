#include "platform/windows/windows.h"

#include "platform/display/ddraw.h"
#include "platform/windows/commdlg.h"
#include "platform/windows/dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// ---- the headless backend ---------------------------------------------------------------------
class Headless_Backend final : public Window_Backend {
public:
    const char* name() const override { return "headless"; }
    // The headless desktop is the display service's idea of the desktop.
    void desktop(int& width, int& height, int& bpp) override {
        width = Display_Settings().desktop_width;
        height = Display_Settings().desktop_height;
        bpp = Display_Settings().desktop_bpp;
    }
    void window_created(HWND window) override { note("create", window); }
    void window_changed(HWND window) override { note("change", window); }
    void window_destroyed(HWND window) override { note("destroy", window); }
    bool pump(bool) override { return true; }
    int message_box(HWND, const std::string& text, const std::string& caption, UINT flags) override {
        const std::string line = "[" + caption + "] " + text;
        record.boxes.push_back(line);
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
        if (!record.box_answers.empty()) {
            const int answer = record.box_answers.front();
            record.box_answers.pop_front();
            return answer;
        }
        if ((flags & 0xF) == MB_YESNO) return IDYES;
        return IDOK;
    }
    void cursor_visible(bool) override {}
    void play_sound(const std::string& path) override { record.sounds.push_back(path); }
    void progress(HWND, const std::string& text, int done, int total) override {
        record.progress.push_back(total > 0 ? text + " " + std::to_string(done) + "/" + std::to_string(total) : "end");
    }

    Headless_Record record;

private:
    void note(const char* what, HWND window) {
        char line[512];
        std::snprintf(line, sizeof line, "%s \"%s\" style %08x ex %08x frame %d,%d,%d,%d visible %d", what,
                      window->caption.c_str(), window->style, window->ex_style, window->frame.left, window->frame.top,
                      window->frame.right, window->frame.bottom, window->visible ? 1 : 0);
        record.operations.emplace_back(line);
    }

};

Headless_Backend& Headless_Instance() {
    static Headless_Backend backend;
    return backend;
}

Window_Backend* current = nullptr;

std::deque<MSG> queue;
std::vector<std::unique_ptr<Window>> windows;
HWND foreground = nullptr;
int cursor_count = 0;
HCURSOR cursor = nullptr;
int arrow_cursor_tag = 1;
int wait_cursor_tag = 2;

Window* Live(HWND window) {
    if (!window) return nullptr;
    for (auto& w : windows)
        if (w.get() == window && !w->destroyed) return w.get();
    return nullptr;
}

// Frame sizes of the stand-in window decorations.
constexpr int Frame_Width = 4;
constexpr int Caption_Height = 20;
constexpr int Menu_Height = 20;

bool Has_Frame(uint32_t style) { return (style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW && !(style & WS_POPUP); }

void Update_Client(Window* w) {
    RECT c = w->frame;
    if (Has_Frame(w->style)) {
        c.left += Frame_Width;
        c.right -= Frame_Width;
        c.bottom -= Frame_Width;
        c.top += Frame_Width + Caption_Height + (w->menu ? Menu_Height : 0);
    }
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    w->client_on_screen = c;
}

}  // namespace

bool Window_Backend::file_dialog(OPENFILENAME*, bool, std::string& chosen) {
    auto& answers = Headless_File_Answers();
    chosen.clear();
    if (!answers.empty()) {
        chosen = answers.front();
        answers.pop_front();
    }
    return true;
}

bool Window_Backend::show_help(HWND, const std::string& help_file, uint32_t) {
    Headless().operations.push_back("help " + help_file);
    return true;
}

Window_Backend& Backend() { return current ? *current : Headless_Instance(); }
void Set_Backend(Window_Backend* backend) { current = backend; }
Headless_Record& Headless() { return Headless_Instance().record; }
void Set_Headless_Desktop(int width, int height, int bpp) {
    Display_Settings().desktop_width = width;
    Display_Settings().desktop_height = height;
    Display_Settings().desktop_bpp = bpp;
}

void Set_Headless_Monitors(const std::vector<RECT>& monitors) {
    Display_Settings().monitors = monitors;
    if (!monitors.empty()) {
        Display_Settings().desktop_width = monitors[0].right - monitors[0].left;
        Display_Settings().desktop_height = monitors[0].bottom - monitors[0].top;
    }
}

std::vector<RECT> Monitors() { return Desktop_Monitors(); }

RECT Monitor_Of(HWND window) {
    const std::vector<RECT> monitors = Monitors();
    RECT best = monitors.front();
    if (!Live(window)) return best;
    const RECT& f = window->frame;
    int64_t most = 0;
    for (const RECT& m : monitors) {
        const int64_t w = std::min(f.right, m.right) - std::max(f.left, m.left);
        const int64_t h = std::min(f.bottom, m.bottom) - std::max(f.top, m.top);
        if (w > 0 && h > 0 && w * h > most) {
            most = w * h;
            best = m;
        }
    }
    return best;
}

void Adjust_Window_Rect(RECT* rect, uint32_t style, bool has_menu) {
    if (!rect || !Has_Frame(style)) return;
    rect->left -= Frame_Width;
    rect->right += Frame_Width;
    rect->bottom += Frame_Width;
    rect->top -= Frame_Width + Caption_Height + (has_menu ? Menu_Height : 0);
}

HWND Create_Window(const std::string& caption, uint32_t style, uint32_t ex_style, int x, int y, int width, int height,
                   HWND parent, HMENU menu, WNDPROC proc, void* session) {
    auto w = std::make_unique<Window>();
    w->session = session;
    w->caption = caption;
    w->style = style;
    w->ex_style = ex_style;
    w->frame = RECT{x, y, x + width, y + height};
    w->menu = menu;
    w->parent = parent;
    w->proc = proc;
    w->visible = (style & WS_VISIBLE) != 0;
    if (Window* p = Live(parent)) {
        // Child windows sit inside the parent's client area.
        w->frame = RECT{p->client_on_screen.left + x, p->client_on_screen.top + y, p->client_on_screen.left + x + width,
                        p->client_on_screen.top + y + height};
    }
    Update_Client(w.get());
    HWND handle = w.get();
    windows.push_back(std::move(w));
    Backend().window_created(handle);
    if (proc) proc(handle, WM_CREATE, 0, 0);
    return handle;
}

bool DestroyWindow(HWND window) {
    Window* w = Live(window);
    if (!w) return false;
    w->destroyed = true;
    Backend().window_destroyed(w);
    if (foreground == w) foreground = nullptr;
    return true;
}

bool IsWindow(HWND window) { return Live(window) != nullptr; }

bool GetClientRect(HWND window, RECT* rect) {
    Window* w = Live(window);
    if (!w || !rect) return false;
    *rect = RECT{0, 0, w->client_on_screen.right - w->client_on_screen.left,
                 w->client_on_screen.bottom - w->client_on_screen.top};
    return true;
}

bool GetWindowRect(HWND window, RECT* rect) {
    Window* w = Live(window);
    if (!w || !rect) return false;
    *rect = w->frame;
    return true;
}

bool ClientToScreen(HWND window, POINT* point) {
    Window* w = Live(window);
    if (!w || !point) return false;
    point->x += w->client_on_screen.left;
    point->y += w->client_on_screen.top;
    return true;
}

bool OffsetRect(RECT* rect, int dx, int dy) {
    if (!rect) return false;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return true;
}

bool SetWindowTextA(HWND window, const char* text) {
    Window* w = Live(window);
    if (!w || !text) return false;
    w->caption = text;
    Backend().window_changed(w);
    return true;
}

bool ShowWindow(HWND window, int show) {
    Window* w = Live(window);
    if (!w) return false;
    const bool was = w->visible;
    w->visible = show != 0;
    if (show == SW_RESTORE) {
        w->iconic = false;
        w->maximised = false;
    }
    Backend().window_changed(w);
    return was;
}

bool UpdateWindow(HWND window) { return Live(window) != nullptr; }
bool IsIconic(HWND window) {
    Window* w = Live(window);
    return w && w->iconic;
}
bool IsZoomed(HWND window) {
    Window* w = Live(window);
    return w && w->maximised;
}

bool SetForegroundWindow(HWND window) {
    Window* w = Live(window);
    if (!w) return false;
    foreground = w;
    return true;
}
HWND GetForegroundWindow() { return Live(foreground); }

long GetWindowLongStyle(HWND window) {
    Window* w = Live(window);
    return w ? static_cast<long>(w->style) : 0;
}

void SetWindowStyle(HWND window, uint32_t style, uint32_t ex_style) {
    Window* w = Live(window);
    if (!w) return;
    w->style = style;
    w->ex_style = ex_style;
    w->visible = (style & WS_VISIBLE) != 0;
    Update_Client(w);
    Backend().window_changed(w);
}

bool SetMenu(HWND window, HMENU menu) {
    Window* w = Live(window);
    if (!w) return false;
    w->menu = menu;
    Update_Client(w);
    Backend().window_changed(w);
    return true;
}

bool SetWindowPos(HWND window, intptr_t insert_after, int x, int y, int width, int height, UINT flags) {
    Window* w = Live(window);
    if (!w) return false;
    if (insert_after == HWND_TOPMOST_ID) w->ex_style |= WS_EX_TOPMOST;
    if (insert_after == HWND_NOTOPMOST_ID) w->ex_style &= ~WS_EX_TOPMOST;
    RECT f = w->frame;
    if (!(flags & SWP_NOMOVE)) {
        const int fw = f.right - f.left, fh = f.bottom - f.top;
        f = RECT{x, y, x + fw, y + fh};
    }
    if (!(flags & SWP_NOSIZE)) {
        f.right = f.left + width;
        f.bottom = f.top + height;
    }
    w->frame = f;
    if (flags & SWP_SHOWWINDOW) w->visible = true;
    Update_Client(w);
    Backend().window_changed(w);
    return true;
}

bool SetWindowPlacementRestored(HWND window, const RECT& normal) {
    Window* w = Live(window);
    if (!w) return false;
    w->iconic = false;
    w->maximised = false;
    w->frame = normal;
    Update_Client(w);
    Backend().window_changed(w);
    return true;
}

// ---- queue -----------------------------------------------------------------------------------

bool PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window && !Live(window)) return false;
    queue.push_back(MSG{window, message, wparam, lparam});
    return true;
}

void PostQuitMessage(int code) { queue.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(code), 0}); }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* w = Live(window);
    if (!w || !w->proc) return 0;
    return w->proc(w, message, wparam, lparam);
}

bool PeekMessageA(MSG* msg, HWND window, UINT min, UINT max, UINT remove) {
    Backend().pump(false);
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (window && it->hwnd != window) continue;
        if ((min || max) && (it->message < min || it->message > max)) continue;
        if (msg) *msg = *it;
        if (remove & PM_REMOVE) queue.erase(it);
        return true;
    }
    return false;
}

bool WaitMessage() {
    if (!queue.empty()) return true;
    return Backend().pump(true);
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    Window* w = Live(msg->hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(w, msg->message, msg->wParam, msg->lParam);
}

bool TranslateMessage(const MSG*) { return false; }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

void Clear_Message_Queue() { queue.clear(); }
size_t Pending_Messages() { return queue.size(); }

// ---- cursor and system ---------------------------------------------------------------------------

int ShowCursor(bool show) {
    cursor_count += show ? 1 : -1;
    Backend().cursor_visible(cursor_count >= 0);
    return cursor_count;
}
int Cursor_Show_Count() { return cursor_count; }
HCURSOR LoadCursorArrow() { return &arrow_cursor_tag; }
HCURSOR LoadCursorWait() { return &wait_cursor_tag; }
HCURSOR SetCursor(HCURSOR c) {
    HCURSOR old = cursor;
    cursor = c;
    return old;
}
HCURSOR Current_Cursor() { return cursor; }

int GetSystemMetrics(int index) {
    int w = 0, h = 0, bpp = 0;
    Backend().desktop(w, h, bpp);
    switch (index) {
    case SM_CXSCREEN: return w;
    case SM_CYSCREEN: return h;
    case SM_CYCAPTION: return Caption_Height;
    case SM_CYMENU: return Menu_Height;
    case SM_CXFRAME:
    case SM_CYFRAME: return Frame_Width;
    default: return 0;
    }
}

int Desktop_Bits_Per_Pixel() {
    int w = 0, h = 0, bpp = 0;
    Backend().desktop(w, h, bpp);
    return bpp;
}

namespace {
bool keys_down[256] = {};
}

void Set_Key_Down(WPARAM key, bool down) {
    if (key < 256) keys_down[key] = down;
}

bool Key_Down(WPARAM key) { return key < 256 && keys_down[key]; }

void Reset_Window_Service() {
    for (auto& w : windows)
        if (!w->destroyed) DestroyWindow(w.get());
    queue.clear();
    foreground = nullptr;
    cursor_count = 0;
    cursor = nullptr;
    for (bool& key : keys_down) key = false;
    Headless() = Headless_Record{};
    Headless_Dialog_Scripts().clear();
    Headless_File_Answers().clear();
}

bool Native_Window_Size(uintptr_t native, int* width, int* height) {
    int w = 0, h = 0;
    if (!native || Backend().native_window(native, w, h) != Window_Backend::Native_State::present) return false;
    if (width) *width = w;
    if (height) *height = h;
    return true;
}

bool Native_Window_Missing(uintptr_t native) {
    int w = 0, h = 0;
    return !native || Backend().native_window(native, w, h) == Window_Backend::Native_State::missing;
}

bool Embed_Window(HWND window, uintptr_t native_parent) {
    Window* w = Live(window);
    if (!w || !native_parent) return false;
    w->native_parent = native_parent;
    w->style |= WS_VISIBLE;
    w->visible = true;
    Backend().window_changed(w);
    return true;
}

void Show_Progress(HWND owner, const std::string& text, int done, int total) {
    if (total > 0) Backend().progress(owner, text, done, total);
}

void End_Progress(HWND owner) { Backend().progress(owner, std::string(), 0, 0); }

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT flags) {
    return Backend().message_box(owner, text ? text : "", caption ? caption : "", flags);
}

bool PlaySoundFile(const char* path) {
    if (!path) return false;
    Backend().play_sound(path);
    return true;
}
