// A display session that failed to build must not get in the way of the next one: after
// the caller's Shutdown every handle is gone, and a second Setup in the same process (a
// display switch) builds a whole session that draws frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "diagnostics/diagnostics.h"
#include "input/mouse.h"
#include "kaleidoscope/kaleidoscope.h"
#include "platform/display/ddraw.h"
#include "platform/input/dinput.h"
#include "platform/windows/windows.h"
#include "plasma/plasma.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "scope/scope.h"
#include "shell/frame.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "shell/startup.h"
#include "slides/object_queue.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "support/installed_program.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/title.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

// Names every part of a session that is still there after Shutdown.
::testing::AssertionResult Session_Closed(Session& s) {
    std::string left;
    auto check = [&](bool there, const char* name) {
        if (there) left += std::string(" ") + name;
    };
    check(s.display.Visible, "Visible");
    check(s.display.Hidden, "Hidden");
    check(s.display.Scratch_Pad, "Scratch_Pad");
    check(s.display.Palette, "Palette");
    check(s.display.Clipper, "Clipper");
    check(s.display.Direct_Draw, "Direct_Draw");
    check(s.display.Direct_Draw_Interface, "Direct_Draw_Interface");
    check(s.mouse.Mouse_Device, "Mouse_Device");
    check(s.mouse.Direct_Input, "Direct_Input");
    for (const OBJECTS_DATA& object : s.app.Objects_Data) check(object.images, "object images");
    check(!s.queue.Objects_Queue.empty(), "object queue");
    for (Surface slide : s.slides.Colour_Slides) check(slide, "colour slide");
    check(s.slides.Slides_Ready, "Slides_Ready");
    check(s.kaleidoscope.kaleidoscope_active, "kaleidoscope_active");
    check(s.kaleidoscope.Scope_Rotated_90 || s.kaleidoscope.Triangle_Stamp, "kaleidoscope surfaces");
    check(s.scope.scope_active, "scope_active");
    check(s.scope.Scope_Surface, "Scope_Surface");
    check(s.title.Title_Strip, "Title_Strip");
    for (const Font_Record& font : s.fonts.Font_Table) check(font.surface, "font surface");
    check(s.fonts.Fonts_Loaded, "Fonts_Loaded");
    for (const Plasma_Context* c : {&s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma})
        check(c->table1 || c->table2, "plasma tables");
    if (left.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "still there:" << left;
}

// A display switch as the window procedure makes it: the session ends, the screen values
// are the preset's full-screen mode, and Setup runs. `arm` prepares the fault.
int Switch_Display(Session& s, const std::function<void()>& arm, int mode = FULLSCREEN, int bpp = 32) {
    Store_Plasma_Settings(s);
    Shutdown(s);
    s.display.Window_Mode = mode;
    s.display.Screen_Width = s.display.Client_Width = 320;
    s.display.Screen_Height = s.display.Client_Height = 240;
    s.display.Screen_Bpp = bpp;
    if (arm) arm();
    const int result = Setup(s);
    Clear_DD_Faults();
    Reset_Input_Service();
    Set_Primary_Hook(nullptr);
    return result;
}

// After a failed Setup: the caller's Shutdown (twice, as a late destroy may repeat it),
// then a second session that applies the preset and runs frames.
void Expect_Clean_Retry(Session& s) {
    Shutdown(s);
    EXPECT_TRUE(Session_Closed(s));
    Shutdown(s);
    EXPECT_TRUE(Session_Closed(s));

    ASSERT_EQ(Setup(s), 1);
    EXPECT_EQ(s.shell.First_Setup, 0);
    ASSERT_EQ(Restore_Plasma_Settings(s), 1);
    ASSERT_EQ(Refresh_Plasma(s), 1);
    EXPECT_GT(s.app.Objects_Loaded, 0);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Run_Mirravane(s), 1) << "frame " << i;
    if (s.app.Saver_Mode == SAVER) {
        EXPECT_NE(s.mouse.Mouse_Device, nullptr);
    }
    Shutdown(s);
    EXPECT_TRUE(Session_Closed(s));
}

// A configuration run whose preset turns everything on, so that a session holds slides,
// kaleidoscope, scope, title and fonts.
void Start_Full_Session(Session& s, Installed_Program& program, const char* command = "mirravane /c", int resolution = 0) {
    program.write_preset("default.dat", [=](PLASMA_SETTINGS& s) {
        s.resolution = resolution;  // 0: 320 x 240 x 32
        s.kaleidoscope_on = 1;
        s.slides_on = 1;
        s.scope_on = 1;
        s.scope_shape = 1;
    });
    ASSERT_EQ(Start_Up(s, command), 1);
    ASSERT_EQ(Run_Mirravane(s), 1);
}

// The program's end as the destroy handling makes it, so that the next start in this
// process opens its own log.
void End_Program(Session& s) {
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    EXPECT_TRUE(Session_Closed(s));
    DestroyWindow(s.display.Main_Window);
    s.display.Main_Window = nullptr;
    Reset_Diagnostics(s.app);
}

using Setup_Retry = Fresh_Test;

TEST_F(Setup_Retry, DisplayLayerFailuresAreReleasedAndTheNextSwitchWorks) {
    const char* display = "Setup: \n\nSetup_Direct_Draw() Failed\nw 320 h 240 bpp 32";
    struct Case {
        const char* what;
        std::function<void()> arm;
        const char* report;
    } cases[] = {
        {"display object", [] { Inject_DD_Fault(DD_Call::DirectDrawCreate, DDERR_GENERIC); }, display},
        {"interface", [] { Inject_DD_Fault(DD_Call::QueryInterface, E_NOINTERFACE); }, display},
        {"cooperation", [] { Inject_DD_Fault(DD_Call::SetCooperativeLevel, DDERR_GENERIC); }, display},
        {"primary", [] { Inject_DD_Fault(DD_Call::CreateSurface, DDERR_OUTOFMEMORY); }, display},
        // The back buffer is made but cannot be cleared: the primary and a half-made
        // Hidden are both left to Shutdown.
        {"back buffer", [] { Inject_DD_Fault(DD_Call::Blt, DDERR_LOCKEDSURFACES); },
         "Setup_Direct Draw():Unable to create secondary surface"},
        // Armed once Visible is cleared, the faults land on Hidden's clear and colour key.
        {"clear hidden",
         [] {
             Set_Primary_Hook([](DDSurface*, const RECT&) { Inject_DD_Fault(DD_Call::Blt, DDERR_LOCKEDSURFACES); });
         },
         "Setup(): Clear Hidden FAILED"},
        {"colour key",
         [] {
             Set_Primary_Hook([](DDSurface*, const RECT&) { Inject_DD_Fault(DD_Call::SetColorKey, DDERR_GENERIC); });
         },
         "Setup(): Set_Transparency FAILED"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Installed_Program program(2, false, 640, 480, 32);
        Start_Full_Session(s, program);
        ASSERT_EQ(Switch_Display(s, c.arm), 0);
        EXPECT_NE(program.log().find(std::string("\r\n") + c.report), std::string::npos);
        Expect_Clean_Retry(s);
        End_Program(s);
    }
}

TEST_F(Setup_Retry, WindowedDisplayFailuresLeaveNoPaletteOrClipper) {
    struct Case {
        const char* what;
        DD_Call call;
        int bpp;
        const char* report;
    } cases[] = {
        {"palette", DD_Call::CreatePalette, 8, "Setup_Windowed_Direct Draw():Unable to create 256 colour palette"},
        {"palette on primary", DD_Call::SetPalette, 8,
         "Setup_Windowed_Direct Draw():Unable to Attack 256 colour palette to primary"},
        {"clipper", DD_Call::CreateClipper, 32, "Setup_Windowed_Direct_Draw():CreateClipper FAILED"},
        {"clipper window", DD_Call::SetHWnd, 32, "Setup_Windowed_Direct_Draw():Clipper->SetHWnd FAILED"},
        {"clipper on primary", DD_Call::SetClipper, 32, "Setup_Windowed_Direct_Draw():SetClipper FAILED"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Installed_Program program(2, false, 320, 240, c.bpp);
        Start_Full_Session(s, program);
        ASSERT_EQ(Switch_Display(s, [&] { Inject_DD_Fault(c.call, DDERR_GENERIC); }, WINDOWED, c.bpp), 0);
        EXPECT_NE(program.log().find(std::string("\r\n") + c.report), std::string::npos);
        Expect_Clean_Retry(s);
        End_Program(s);
    }
}

TEST_F(Setup_Retry, SaverMouseFailuresReleaseTheInputObjects) {
    struct Case {
        const char* what;
        DI_Call call;
        const char* report;
    } cases[] = {
        {"input system", DI_Call::DirectInputCreate, "Setup: \n\n Setup_Direct_Input() Failed"},
        {"device", DI_Call::CreateDevice, "Setup: \n\nSetup_Mouse() Failed"},
        {"data format", DI_Call::SetDataFormat, "Setup: \n\nSetup_Mouse() Failed"},
        {"cooperation", DI_Call::SetCooperativeLevel, "Setup: \n\nSetup_Mouse() Failed"},
        {"acquire", DI_Call::Acquire, "Setup: \n\nSetup_Mouse() Failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Installed_Program program(2, false, 320, 240, 32);
        Start_Full_Session(s, program, "mirravane /s");
        ASSERT_EQ(s.app.Saver_Mode, SAVER);
        ASSERT_EQ(Switch_Display(s, [&] { Inject_DI_Fault(c.call, DIERR_GENERIC); }), 0);
        EXPECT_NE(program.log().find(std::string("\r\n") + c.report), std::string::npos);
        Expect_Clean_Retry(s);
        End_Program(s);
    }
}

TEST_F(Setup_Retry, ObjectFailuresFreeWhatWasLoaded) {
    Installed_Program program(3, false, 320, 240, 32);
    Start_Full_Session(s, program);
    const std::filesystem::path first = program.home() / "Data/Bmp/Objects/0.bmp";
    const std::filesystem::path second = program.home() / "Data/Bmp/Objects/1.bmp";
    const std::filesystem::path aside = program.home() / "aside.bmp";

    // No object at all.
    std::filesystem::rename(first, aside);
    ASSERT_EQ(Switch_Display(s, nullptr), 0);
    EXPECT_NE(program.log().find("\r\nSetup():\n\nCould not Setup_Lumenweft"), std::string::npos);
    std::filesystem::rename(aside, first);
    Expect_Clean_Retry(s);

    // The second object is unreadable: it is skipped, the third takes its place, and the
    // session builds and draws.
    std::filesystem::copy_file(second, aside);
    program.folder().write("Mirravane/Data/Bmp/Objects/1.bmp", "BM not a bitmap");
    ASSERT_EQ(Switch_Display(s, nullptr), 1);
    const std::string log = program.log();
    EXPECT_NE(log.find("\r\nLoad_All_Objects():Unable to load "), std::string::npos);
    EXPECT_NE(log.find("1.bmp skipped, the objects after it still load"), std::string::npos) << log;
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    ASSERT_EQ(Restore_Plasma_Settings(s), 1);
    ASSERT_EQ(Refresh_Plasma(s), 1);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Run_Mirravane(s), 1) << "frame " << i;
    std::filesystem::copy_file(aside, second, std::filesystem::copy_options::overwrite_existing);
    Expect_Clean_Retry(s);
    EXPECT_EQ(s.app.Objects_Loaded, 3);
    End_Program(s);
}

TEST_F(Setup_Retry, FailedStartLeavesNothingForTheNextStart) {
    Installed_Program program(2, false, 320, 240, 32);
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    Headless().boxes.clear();
    Inject_DD_Fault(DD_Call::CreateSurface, DDERR_OUTOFMEMORY);
    // The failure is logged, and said on standard error too: a saver shows no box.
    testing::internal::CaptureStderr();
    ASSERT_EQ(Start_Up(s, "mirravane /s"), START_FAILED);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Error] WinMain:Could not setup application\n");
    EXPECT_TRUE(Session_Closed(s));
    HWND first = s.display.Main_Window;
    EXPECT_NE(program.log().find("\r\nWinMain:Could not setup application"), std::string::npos);
    EXPECT_TRUE(Headless().boxes.empty());
    EXPECT_FALSE(Screen_Saver_Running());

    ASSERT_EQ(Start_Up(s, "mirravane /s"), 1);
    EXPECT_NE(s.display.Main_Window, first);
    EXPECT_FALSE(IsWindow(first));
    // The second start writes a log of its own.
    EXPECT_EQ(program.log().find("WinMain:Could not setup application"), std::string::npos);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Run_Mirravane(s), 1);
    End_Program(s);

    // A configuration start that fails shows why in a box, though the log took it too,
    // and the program's exit code says it failed.
    Headless().boxes.clear();
    Inject_DD_Fault(DD_Call::CreateSurface, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Mirravane_Main(s, "mirravane /c"), START_FAILED_EXIT_CODE);
    ASSERT_EQ(Headless().boxes.size(), 1u);
    EXPECT_EQ(Headless().boxes[0], "[Error] WinMain:Could not setup application");
    EXPECT_NE(program.log().find("\r\nWinMain:Could not setup application"), std::string::npos);
    EXPECT_TRUE(Session_Closed(s));
    Headless().boxes.clear();
}

}  // namespace
