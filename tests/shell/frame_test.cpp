#include <gtest/gtest.h>

#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/input/dinput.h"
#include "platform/system/system.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/frame.h"
#include "session/run_mode.h"
#include "shell/startup.h"
#include "text/status_line.h"
#include "slides/slides.h"
#include "support/installed_program.h"
#include "support/surface_fixture.h"
#include "surface/bitmap.h"
#include "surface/display.h"
#include "text/transition.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

using Frame = Fresh_Test;

TEST_F(Frame, PreviewWithoutActivePreviewShowsTheStretchedAboutPicture) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.preview_active = 0; });
    Set_Fake_Clock(true, 0);
    ASSERT_EQ(Start_Up(s, "mirravane /p 42"), 1) << program.log();
    ASSERT_EQ(s.Plasma_Settings.preview_active, 0);
    // The host's size is unknown to the headless desktop: the preview is 152 x 112.
    ASSERT_EQ(s.display.Client_Width, 152);
    ASSERT_EQ(s.display.Client_Height, 112);
    s.journey.Running_Random_Interval = 1;

    ASSERT_EQ(Run_Mirravane(s), 1);
    EXPECT_EQ(s.shell.about_picture_drawn, 1);
    int width = 0, height = 0;
    Surface about = Load_SYSTEM_Bitmap(s.display, program.folder().windows("Mirravane\\Data\\Bmp\\About.bmp").c_str(), &width,
                                       &height);
    ASSERT_NE(about, nullptr);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 240);
    // 320 / 152 and 240 / 112 map these client pixels onto whole picture pixels.
    EXPECT_EQ(Peek(s.display.Hidden, 0, 0), Peek(about, 0, 0));
    EXPECT_EQ(Peek(s.display.Hidden, 19, 14), Peek(about, 40, 30));
    EXPECT_EQ(Peek(s.display.Hidden, 76, 56), Peek(about, 160, 120));
    EXPECT_EQ(Peek(s.display.Hidden, 133, 98), Peek(about, 280, 210));

    // The host grows: the picture is stretched again over the new size.
    SetWindowPos(s.display.Main_Window, 0, 0, 0, 160, 120, 0);
    SendMessageA(s.display.Main_Window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(160, 120));
    ASSERT_EQ(Run_Mirravane(s), 1);
    EXPECT_EQ(Peek(s.display.Hidden, 80, 60), Peek(about, 160, 120));
    EXPECT_EQ(Peek(s.display.Hidden, 159, 119), Peek(about, 318, 238));
    Release_Surface(&about);

    // Later frames keep the picture without loading it again, and the random-preset
    // countdown never runs however much time passes.
    std::filesystem::remove(program.home() / "Data/Bmp/About.bmp");
    for (int i = 0; i < 3; ++i) {
        Advance_Fake_Clock(2000000);
        ASSERT_EQ(Run_Mirravane(s), 1);
    }
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    EXPECT_EQ(program.log().find("Run_Mirravane():"), std::string::npos) << program.log();
    Set_Fake_Clock(false);
}

TEST_F(Frame, MissingAboutPictureEndsThePreview) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.preview_active = 0; });
    ASSERT_EQ(Start_Up(s, "mirravane /p 42"), 1);
    std::filesystem::remove(program.home() / "Data/Bmp/About.bmp");
    EXPECT_EQ(Run_Mirravane(s), 0);
    EXPECT_EQ(s.shell.about_picture_drawn, 0);
    const std::string log = program.log();
    EXPECT_NE(log.find("\r\nRun_Mirravane(): Could not load about_bitmap"), std::string::npos);
    EXPECT_EQ(Count(log, "Entering Run_Mirravane"), 1u);
    EXPECT_EQ(Count(log, "Exitting Run_Mirravane"), 0u);
}

TEST_F(Frame, ConfigurationFramesRunTheCountdownAndLogOnce) {
    Installed_Program program;
    program.write_preset("default.dat");
    Set_Fake_Clock(true, 0);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    s.journey.Running_Random_Interval = 1;
    s.transition.Transition_Mode = NO_TRANSITION;
    Show_Status_Message(s, "status");
    for (int i = 0; i < 3; ++i) {
        Advance_Fake_Clock(100000);
        ASSERT_EQ(Run_Mirravane(s), 1);
    }
    EXPECT_EQ(s.status.pending, 0);
    EXPECT_EQ(s.transition.Transition_Mode, NO_TRANSITION);
    // Past the one-second interval the shrink begins.
    Advance_Fake_Clock(800000);
    ASSERT_EQ(Run_Mirravane(s), 1);
    EXPECT_EQ(s.transition.Transition_Mode, TRANSITION_SHRINK);

    const std::string log = program.log();
    EXPECT_EQ(Count(log, "\r\nEntering Run_Mirravane"), 1u);
    EXPECT_EQ(Count(log, "\r\nExitting Run_Mirravane"), 1u);
    EXPECT_LT(log.find("Entering Run_Mirravane"), log.find("Exitting Run_Mirravane"));
    // A configuration run has no mouse device: moving the pointer ends nothing.
    Feed_Mouse_Motion(-1000, -1000);
    EXPECT_EQ(Run_Mirravane(s), 1);
    Set_Fake_Clock(false);
}

TEST_F(Frame, AFailureRepeatedEveryFrameIsLoggedOncePerPreset) {
    Installed_Program program;
    program.write_preset("default.dat", [&](PLASMA_SETTINGS& s) {
        s.kaleidoscope_on = 1;
        s.slides_on = 1;
    });
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    ASSERT_EQ(s.slides.Slides_Ready, 1);
    const std::string failure = "\r\nDraw_Slides(): Draw_Slides_Left FAILED";
    // A slide that cannot be restored: the slides fail every frame, and the kaleidoscope
    // shows the plasma instead.
    const auto lose_a_slide = [&] {
        s.slides.Colour_Slides[0]->Mark_Lost();
        Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC, 1 << 30);
    };
    lose_a_slide();
    for (int i = 0; i < 30; ++i) ASSERT_EQ(Run_Mirravane(s), 1);
    EXPECT_EQ(Count(program.log(), failure), 1u);

    // Applying a preset again: the same failure is news once more.
    Clear_DD_Faults();
    ASSERT_EQ(Refresh_Plasma(s), 1);
    lose_a_slide();
    for (int i = 0; i < 30; ++i) ASSERT_EQ(Run_Mirravane(s), 1);
    Clear_DD_Faults();
    EXPECT_EQ(Count(program.log(), failure), 2u);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);  // the session ends as the program's does
}

TEST_F(Frame, SaverEndsWhenTheMouseMoves) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    ASSERT_EQ(Start_Up(s, "mirravane /s"), 1);
    ASSERT_EQ(Run_Mirravane(s), 1);
    // 320 / 16 = 20: eleven counts are 22 pixels.
    Feed_Mouse_Motion(-11, 0);
    EXPECT_EQ(Run_Mirravane(s), 0);
    EXPECT_NE(program.log().find("\r\nRun_Mirravane(): Mouse_Has_Moved returns SUCCESS - exitting saver"),
              std::string::npos);
    EXPECT_TRUE(Headless().boxes.empty());
}

}  // namespace
