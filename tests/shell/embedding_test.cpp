// Drawing into a window of another program: the preview's host and xscreensaver's window.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "session/run_mode.h"
#include "shell/startup.h"
#include "support/installed_program.h"
#include "surface/display.h"
#include "session/session.h"
#include "support/fresh_session.h"

namespace {

// Knows a few native windows and watches how the program's windows appear: a window that
// is visible before it has its host would be a top-level window for a window manager.
class Host_Backend final : public Window_Backend {
public:
    Host_Backend() { Set_Backend(this); }
    ~Host_Backend() override { Set_Backend(nullptr); }

    const char* name() const override { return "hosts"; }
    void desktop(int& width, int& height, int& bpp) override {
        width = Display_Settings().desktop_width;
        height = Display_Settings().desktop_height;
        bpp = Display_Settings().desktop_bpp;
    }
    void window_created(HWND window) override {
        ++created;
        watch(window);
    }
    void window_changed(HWND window) override { watch(window); }
    void window_destroyed(HWND) override {}
    bool pump(bool) override { return true; }
    int message_box(HWND, const std::string& text, const std::string&, UINT) override {
        boxes.push_back(text);
        return IDOK;
    }
    void cursor_visible(bool) override {}
    void play_sound(const std::string&) override {}
    Native_State native_window(uintptr_t native, int& width, int& height) override {
        auto it = hosts.find(native);
        if (it == hosts.end()) return Native_State::missing;
        width = it->second.first;
        height = it->second.second;
        return Native_State::present;
    }

    std::map<uintptr_t, std::pair<int, int>> hosts;
    std::vector<std::string> boxes;
    int created = 0;
    int shown_on_their_own = 0;
    int embedded_and_shown = 0;

private:
    void watch(HWND window) {
        if (!window->visible) return;
        if (window->native_parent)
            ++embedded_and_shown;
        else
            ++shown_on_their_own;
    }
};

// What a start leaves for the next start in this process: the saver's mode and host, the
// log switched on, and the messages of a window that was destroyed by hand.
struct Start_Reset {
    Session& s;
    explicit Start_Reset(Session& session) : s(session) { Clear(); }
    ~Start_Reset() { Clear(); }
    void Clear() {
        s.app.Saver_Host_Window = 0;
        s.display.Window_Mode = WINDOWED;
        s.app.Quit_Allowed = 0;
        Close_Error_Log(s.app);
        s.app.error_logging = 0;
        Clear_Message_Queue();
    }
};

TEST(Embedding, HostedWindowsAreShownOnlyInsideTheirHost) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    Start_Reset reset(s);
    Host_Backend backend;
    backend.hosts[0x2A] = {200, 150};
    backend.hosts[0x51] = {320, 240};

    // The preview takes its host's client size.
    ASSERT_EQ(Start_Up(s, "mirravane /p 0x2A"), 1);
    EXPECT_EQ(s.display.Main_Window->native_parent, 0x2Au);
    EXPECT_TRUE(s.display.Main_Window->visible);
    EXPECT_EQ(std::pair(s.display.Client_Width, s.display.Client_Height), std::pair(200, 150));
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);

    // The saver inside xscreensaver's window (-root with XSCREENSAVER_WINDOW).
    s.app.Saver_Host_Window = 0x51;
    ASSERT_EQ(Start_Up(s, "mirravane /s"), 1);
    EXPECT_EQ(s.display.Main_Window->native_parent, 0x51u);
    EXPECT_TRUE(s.display.Main_Window->visible);
    EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);

    EXPECT_EQ(backend.shown_on_their_own, 0);
    EXPECT_GE(backend.embedded_and_shown, 2);
    EXPECT_TRUE(backend.boxes.empty());
}

TEST(Embedding, AHostThatIsNoWindowEndsTheStartWithAMessageAndAFailure) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    Installed_Program program;
    Start_Reset reset(s);
    Host_Backend backend;

    for (const char* line : {"mirravane /p 0x2A", "mirravane /p", "mirravane /s"}) {
        s.app.Saver_Host_Window = std::string(line).find("/s") != std::string::npos ? 0x51 : 0;
        testing::internal::CaptureStderr();
        EXPECT_EQ(Mirravane_Main(s, line), 1) << line;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("does not exist"), std::string::npos) << line << ": " << said;
        EXPECT_EQ(backend.created, 0) << line;
    }
    const std::string log = program.log();
    EXPECT_NE(log.find("WinMain(): XSCREENSAVER_WINDOW 0x51 does not exist"), std::string::npos) << log;
    EXPECT_TRUE(backend.boxes.empty());

    // A start that succeeds afterwards exits as before.
    backend.hosts[0x2A] = {64, 48};
    setenv("MIRRAVANE_FRAMES", "1", 1);
    EXPECT_EQ(Mirravane_Main(s, "mirravane /p 0x2A"), 0);
}

}  // namespace
