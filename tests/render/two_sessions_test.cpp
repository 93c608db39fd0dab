// Two display sessions of different sizes in one process, their frames interleaved, each
// drawing exactly the picture it draws when it runs alone: nothing of one session leaks
// into the other (the ground a saver with one session per monitor stands on).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/random.h"
#include "platform/gdi/gdi.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/random_presets.h"
#include "session/session.h"
#include "shell/frame.h"
#include "session/run_mode.h"
#include "shell/seed.h"
#include "shell/session.h"
#include "support/fresh_session.h"
#include "support/installed_program.h"
#include "surface/display.h"

namespace {

LRESULT Plain_Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}

struct Placement {
    int x, y, width, height;
};

// A windowed session at `where` on the shared desktop, its generator started at `seed`,
// showing `preset` (empty: the built-in defaults).
bool Start_Session(Session& s, const Placement& where, uint32_t seed, const std::string& preset) {
    s.app.Saver_Mode = CONFIGURE;
    s.display.Window_Mode = WINDOWED;
    s.display.Screen_Width = s.display.Client_Width = where.width;
    s.display.Screen_Height = s.display.Client_Height = where.height;
    s.display.Screen_Bpp = 32;
    s.display.Show_Frame_Rate = 0;
    Attach_Window(s, Create_Window(" Mirravane", WS_POPUP | WS_VISIBLE, 0, where.x, where.y, where.width, where.height,
                                   nullptr, nullptr, Plain_Window_Proc, &s));
    Seed_Random(s.app, seed);
    if (!Setup(s)) return false;
    if (preset.empty()) {
        Default_Plasma_Settings(s);
        Refresh_Plasma(s);
    } else if (!Read_Plasma_Settings_From_File(s, preset.c_str())) {
        return false;
    }
    Copy_Random_Settings(s);
    // A preset's resolution centres the window on the desktop; keep each where it was put
    // so the two never overlap.
    SetWindowPos(s.display.Main_Window, 0, where.x, where.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

// The session's client area as it stands on the desktop.
std::vector<uint32_t> Shown(Display_Context& d) {
    std::vector<uint32_t> out;
    POINT origin{0, 0};
    ClientToScreen(d.Main_Window, &origin);
    for (int y = 0; y < d.Client_Height; ++y)
        for (int x = 0; x < d.Client_Width; ++x)
            out.push_back(static_cast<uint32_t>(Pixel_To_Colour(d.Visible, d.Visible->Pixel(origin.x + x, origin.y + y))));
    return out;
}

constexpr int frames = 12;
constexpr int64_t frame_time = 40'000;

// What a session at `where` shows after each frame when it is the only one.
std::vector<std::vector<uint32_t>> Alone(const Placement& where, uint32_t seed, const std::string& preset) {
    Fresh_Session fresh;
    Set_Headless_Desktop(1920, 1440, 32);
    Set_Fake_Clock(true, 0);
    EXPECT_TRUE(Start_Session(fresh.session, where, seed, preset)) << "alone";
    std::vector<std::vector<uint32_t>> pictures;
    for (int f = 0; f < frames; ++f) {
        Advance_Fake_Clock(frame_time);
        EXPECT_TRUE(Run_Mirravane(fresh.session));
        pictures.push_back(Shown(fresh.session.display));
    }
    Set_Fake_Clock(false);
    return pictures;
}

}  // namespace

TEST(Two_Sessions, DifferentSizesSideBySideDrawWhatEachDrawsAlone) {
    Installed_Program program(8, false, 1920, 1440, 32);
    const std::string slides = (program.home() / "fading_slides.dat").string();
    const std::string kaleidoscope = (program.home() / "kaleido_centre.dat").string();
    struct Case {
        const char* name;
        std::string preset_a, preset_b;
    };
    // The random generator is the process's, so a lone session draws the same numbers only
    // while the other session draws none in its frames: the built-in defaults draw none,
    // the slides and the kaleidoscope draw every frame.
    for (const Case& c : {Case{"slides and defaults", slides, ""}, Case{"defaults and kaleidoscope", "", kaleidoscope}}) {
        SCOPED_TRACE(c.name);
        const Placement a{0, 0, 320, 240}, b{400, 100, 480, 360};
        const uint32_t seed = 1234;

        std::vector<std::vector<uint32_t>> shown_a, shown_b;
        uint32_t seed_b = 0;
        {
            Clean_Platform clean;
            Set_Headless_Desktop(1920, 1440, 32);
            Set_Fake_Clock(true, 0);
            App app;
            auto first = std::make_unique<Session>(app);
            auto second = std::make_unique<Session>(app);
            ASSERT_TRUE(Start_Session(*first, a, seed, c.preset_a));
            // The generator is the process's: the second session starts where the first left it.
            seed_b = app.Random_State;
            ASSERT_TRUE(Start_Session(*second, b, seed_b, c.preset_b));
            ASSERT_NE(first->display.Visible, nullptr);
            for (int f = 0; f < frames; ++f) {
                Advance_Fake_Clock(frame_time);
                ASSERT_TRUE(Run_Mirravane(*first));
                ASSERT_TRUE(Run_Mirravane(*second));
                shown_a.push_back(Shown(first->display));
                shown_b.push_back(Shown(second->display));
            }
            // The session that loaded the objects ends first; the other goes on drawing with them.
            first.reset();
            Advance_Fake_Clock(frame_time);
            EXPECT_TRUE(Run_Mirravane(*second));
            second.reset();
            Set_Fake_Clock(false);
        }

        const auto alone_a = Alone(a, seed, c.preset_a);
        const auto alone_b = Alone(b, seed_b, c.preset_b);
        ASSERT_EQ(shown_a.size(), alone_a.size());
        for (int f = 0; f < frames; ++f) {
            EXPECT_EQ(shown_a[f], alone_a[f]) << "first session, frame " << f;
            EXPECT_EQ(shown_b[f], alone_b[f]) << "second session, frame " << f;
        }
        // The two pictures differ in size and in what they show.
        EXPECT_EQ(shown_a[0].size(), 320u * 240u);
        EXPECT_EQ(shown_b[0].size(), 480u * 360u);
        EXPECT_NE(shown_a[frames - 1], shown_a[0]);
    }
}
