// Opening and closing the display: full screen with its depth fallback, windowed with its
// clipper, the palette at 8 bits, and every failure text on the way.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/windows/windows.h"
#include "support/scratch_folder.h"
#include "support/surface_fixture.h"
#include "surface/display.h"
#include "surface/surface.h"
#include "support/fresh_session.h"

using Reports = std::vector<std::string>;

namespace {

class Display_Setup : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        Reset_Display_Service();
        Reset_Diagnostics(s.app);
        s.app.error_logging = 0;
        Headless().boxes.clear();
        Set_Headless_Desktop(640, 480, 32);
        s.display.Main_Window = Create_Window("Mirravane", WS_POPUP | WS_VISIBLE, 0, 0, 0, 640, 480, nullptr, nullptr, nullptr);
        s.display.Screen_Width = 640;
        s.display.Screen_Height = 480;
        s.display.Screen_Bpp = 32;
        s.display.Window_Mode = WINDOWED;
    }
    void TearDown() override {
        Release_Direct_Draw(s.display);
        DestroyWindow(s.display.Main_Window);
        s.display.Main_Window = nullptr;
        Clear_DD_Faults();
    }

    // Full-screen set-up at 640 x 480 with some depths withheld: the depth it settled on, or 0.
    int Settle(int asked, std::vector<int> withheld) {
        Display_Settings().withheld_depths = std::move(withheld);
        s.display.Screen_Bpp = asked;
        s.display.Window_Mode = WINDOWED;
        const int ok = Setup_Direct_Draw(s.display, 640, 480, asked);
        int got = 0;
        if (ok) {
            got = s.display.Screen_Bpp;
            EXPECT_EQ(s.display.Direct_Draw_Interface->mode_bpp(), got);
            EXPECT_EQ(s.display.Visible->bpp(), got);
            EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
        } else {
            EXPECT_EQ(s.display.Window_Mode, WINDOWED);
        }
        Release_Direct_Draw(s.display);
        return got;
    }
};

}  // namespace

TEST_F(Display_Setup, FullScreenFallsBackToNearDepthsInOrder) {
    EXPECT_EQ(Settle(24, {24}), 32);
    EXPECT_EQ(Settle(24, {24, 32}), 16);
    EXPECT_EQ(Settle(24, {24, 32, 16}), 15);
    EXPECT_EQ(Settle(32, {32}), 24);
    EXPECT_EQ(Settle(32, {32, 24}), 16);
    EXPECT_EQ(Settle(32, {32, 24, 16}), 15);
    EXPECT_EQ(Settle(15, {15}), 16);
    EXPECT_EQ(Settle(16, {16}), 15);
    EXPECT_EQ(Settle(16, {15}), 16);
    EXPECT_TRUE(Take_Reports().empty());

    // 8 bits has no fallback: one attempt, then the message naming what was asked.
    const int before = DD_Call_Count(DD_Call::SetDisplayMode);
    EXPECT_EQ(Settle(8, {8}), 0);
    EXPECT_EQ(DD_Call_Count(DD_Call::SetDisplayMode) - before, 1);
    EXPECT_EQ(Take_Reports(), Reports{"Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = 640,480,8"});

    // Nothing offered at all: the asked depth is named, not the last one tried.
    const int tries = DD_Call_Count(DD_Call::SetDisplayMode);
    EXPECT_EQ(Settle(24, {24, 32, 16, 15}), 0);
    EXPECT_EQ(DD_Call_Count(DD_Call::SetDisplayMode) - tries, 4);
    EXPECT_EQ(Take_Reports(), Reports{"Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = 640,480,24"});
    EXPECT_EQ(Settle(15, {15, 16}), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = 640,480,15"});
}

TEST_F(Display_Setup, SuccessfulSetupsBuildWhatTheirModeNeeds) {
    // Full screen, 32 bits: exclusive, no palette, no clipper, Hidden in system memory.
    ASSERT_EQ(Setup_Direct_Draw(s.display, 320, 200, 32), 1);
    EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
    EXPECT_EQ(s.display.Direct_Draw, nullptr);
    ASSERT_NE(s.display.Direct_Draw_Interface, nullptr);
    EXPECT_TRUE(s.display.Direct_Draw_Interface->exclusive());
    EXPECT_EQ(s.display.Direct_Draw_Interface->mode_width() * 10000 + s.display.Direct_Draw_Interface->mode_height(),
              3200200);
    ASSERT_NE(s.display.Visible, nullptr);
    ASSERT_NE(s.display.Hidden, nullptr);
    EXPECT_TRUE(s.display.Visible->is_primary());
    EXPECT_EQ(s.display.Visible->width(), 320);
    EXPECT_EQ(std::pair(s.display.Hidden->width(), s.display.Hidden->height()), std::pair(320, 200));
    EXPECT_FALSE(s.display.Hidden->in_video_memory());
    EXPECT_EQ(s.display.Palette, nullptr);
    EXPECT_EQ(s.display.Clipper, nullptr);
    EXPECT_EQ(DD_Call_Count(DD_Call::CreatePalette), 0);
    EXPECT_EQ(Release_Direct_Draw(s.display), 1);

    // Full screen, 8 bits: the palette is made from the program's table and attached.
    s.display.Palette_Entries[5] = PALETTEENTRY{10, 20, 30, 0};
    s.display.Screen_Bpp = 8;
    ASSERT_EQ(Setup_Direct_Draw(s.display, 320, 200, 8), 1);
    ASSERT_NE(s.display.Palette, nullptr);
    EXPECT_EQ(s.display.Visible->palette(), s.display.Palette);
    const PALETTEENTRY fifth = s.display.Palette->entries()[5];
    EXPECT_EQ(std::tuple(fifth.peRed, fifth.peGreen, fifth.peBlue), std::tuple(10, 20, 30));
    EXPECT_EQ(Release_Direct_Draw(s.display), 1);
    EXPECT_EQ(s.display.Palette, nullptr);

    // Windowed: normal cooperation, primary of the desktop's size, a clipper bound to the window.
    s.display.Screen_Bpp = 32;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 32, 1), 1);
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);
    EXPECT_FALSE(s.display.Direct_Draw_Interface->exclusive());
    EXPECT_EQ(s.display.Direct_Draw_Interface->mode_bpp(), 0);
    EXPECT_EQ(std::pair(s.display.Visible->width(), s.display.Visible->height()), std::pair(640, 480));
    ASSERT_NE(s.display.Clipper, nullptr);
    EXPECT_EQ(s.display.Clipper->window(), s.display.Main_Window);
    EXPECT_EQ(s.display.Visible->clipper(), s.display.Clipper);
    EXPECT_EQ(s.display.Palette, nullptr);
    EXPECT_EQ(Release_Direct_Draw(s.display), 1);

    // Windowed on an 8-bit desktop: a palette too.
    Display_Settings().desktop_bpp = 8;
    s.display.Screen_Bpp = 8;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 8, 1), 1);
    ASSERT_NE(s.display.Palette, nullptr);
    EXPECT_EQ(s.display.Visible->palette(), s.display.Palette);
    EXPECT_EQ(s.display.Visible->bpp(), 8);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Display_Setup, DisplayCreationCodesHaveTheirOwnTexts) {
    const std::vector<std::pair<HRESULT, std::string>> codes = {
        {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS\nOne or more of the parameters passed to the method are incorrect."},
        {DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY\n DirectDraw does not have enough memory to perform the operation."},
        {DDERR_GENERIC, "DDERR_GENERIC\nThere is an undefined error condition."},
        {DDERR_INVALIDDIRECTDRAWGUID,
         "DDERR_INVALIDDIRECTDRAWGUID\nThe globally unique identifier (GUID) passed to the DirectDrawCreate function is "
         "not a valid DirectDraw driver identifier."},
        {DDERR_DIRECTDRAWALREADYCREATED,
         "DDERR_DIRECTDRAWALREADYCREATED\nA DirectDraw object representing this driver has already been created for "
         "this process."},
        {DDERR_NODIRECTDRAWHW,
         "DDERR_NODIRECTDRAWHW\nHardware-only DirectDraw object creation is not possible; the driver does not support "
         "any hardware."},
    };
    for (const auto& [code, text] : codes) {
        Inject_DD_Fault(DD_Call::DirectDrawCreate, code);
        EXPECT_EQ(Setup_Direct_Draw(s.display, 640, 480, 32), 0);
        EXPECT_EQ(Take_Reports(), Reports{"Setup_Direct_Draw():" + text});
        Inject_DD_Fault(DD_Call::DirectDrawCreate, code);
        EXPECT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 32, 1), 0);
        EXPECT_EQ(Take_Reports(), Reports{"Setup_Windowed_Direct_Draw():" + text});
        EXPECT_EQ(s.display.Direct_Draw, nullptr);
    }
    // Codes nobody expects: the two set-ups word it differently.
    Inject_DD_Fault(DD_Call::DirectDrawCreate, DDERR_UNSUPPORTED);
    EXPECT_EQ(Setup_Direct_Draw(s.display, 640, 480, 32), 0);
    EXPECT_EQ(Take_Reports(),
              Reports{"Setup_Direct_Draw():DEFAULT\nRaise your eyebrows if you read this\nas this error is undocumented"});
    Inject_DD_Fault(DD_Call::DirectDrawCreate, DDERR_SURFACELOST);
    EXPECT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 32, 1), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Setup_Windowed_Direct_Draw():DEFAULT"});

    // A display object left over refuses both set-ups.
    ASSERT_EQ(DirectDrawCreate(nullptr, &s.display.Direct_Draw, nullptr), DD_OK);
    EXPECT_EQ(Setup_Direct_Draw(s.display, 640, 480, 32), 0);
    EXPECT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 32, 1), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Setup_Direct_Draw(): Direct_Draw should be NULL",
                                       "Setup_Windowed_Direct_Draw(): direct draw should be NULL"}));
}

TEST_F(Display_Setup, FullScreenStepFailuresStopWithTheirTexts) {
    auto fails_with = [&](DD_Call call, HRESULT code, int bpp = 32) {
        Release_Direct_Draw(s.display);
        s.display.Screen_Bpp = bpp;
        Inject_DD_Fault(call, code);
        EXPECT_EQ(Setup_Direct_Draw(s.display, 640, 480, bpp), 0);
        Clear_DD_Faults();
        const Reports reports = Take_Reports();
        return reports.empty() ? std::string("(none)") : reports.back();
    };
    EXPECT_EQ(fails_with(DD_Call::QueryInterface, E_NOINTERFACE),
              "Setup_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
    EXPECT_EQ(fails_with(DD_Call::SetCooperativeLevel, DDERR_GENERIC), "Setup_Direct_Draw():SetCooperativeLevel Failed");

    // 32 x 640 x 480 x 2 = 19660800; x 0.0001220703125 = 2400; x 0.001 = 2.400 MB.
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_INVALIDCAPS),
              "Setup_Direct_Draw():Create_Primary_Surface()DDERR_INVALIDCAPS\nOne or more of the capability bits\n "
              "passed to the callback function are incorrect.");
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_INVALIDPARAMS),
              "Setup_Direct_Draw():Create_Primary_Surface()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed "
              "to the method are incorrect.");
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_OUTOFMEMORY),
              "Setup_Direct_Draw():Create_Primary_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n "
              "to perform the operation\nat least 2.400 MB required");
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_NOCOOPERATIVELEVELSET),
              "Setup_Direct_Draw():Create_Primary_Surface()DDERR_NOCOOPERATIVELEVELSET\nA create function is called "
              "without the \nIDirectDraw4::SetCooperativeLevel method being called. ");
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_OUTOFVIDEOMEMORY),
              "Setup_Direct_Draw():Create_Primary_Surface()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough "
              "display memory\n to perform the operation. Cannot create surface\nwidth = 640\nheight = 480N.B. Some "
              "video cards do not support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least "
              "2.400 MB required");
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_GENERIC),
              "Setup_Direct_Draw():Create_Primary_Surface():DEFAULT\nCannot create surface\nwidth = 640\nheight = 480");
    // At 16 bits the figure halves: 16 x 640 x 480 x 2 x 0.0001220703125 x 0.001 = 1.2.
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_OUTOFMEMORY, 16),
              "Setup_Direct_Draw():Create_Primary_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n "
              "to perform the operation\nat least 1.200 MB required");

    // The frame surface fails after the primary exists (its colour key cannot be set).
    EXPECT_EQ(fails_with(DD_Call::SetColorKey, DDERR_GENERIC), "Setup_Direct Draw():Unable to create secondary surface");
    EXPECT_NE(s.display.Visible, nullptr);

    // The palette steps name the windowed set-up even in full screen.
    EXPECT_EQ(fails_with(DD_Call::CreatePalette, DDERR_OUTOFMEMORY, 8),
              "Setup_Windowed_Direct Draw():Unable to create 256 colour palette");
    EXPECT_EQ(fails_with(DD_Call::SetPalette, DDERR_GENERIC, 8),
              "Setup_Windowed_Direct Draw():Unable to Attack 256 colour palette to primary");
}

TEST_F(Display_Setup, WindowedStepFailuresStopWithTheirTexts) {
    auto fails_with = [&](DD_Call call, HRESULT code, int bpp = 32) {
        Release_Direct_Draw(s.display);
        Display_Settings().desktop_bpp = bpp;
        s.display.Screen_Bpp = bpp;
        Inject_DD_Fault(call, code);
        EXPECT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, bpp, 1), 0);
        Clear_DD_Faults();
        const Reports reports = Take_Reports();
        return reports.empty() ? std::string("(none)") : reports.back();
    };
    EXPECT_EQ(fails_with(DD_Call::QueryInterface, E_NOINTERFACE),
              "Setup_Windowed_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
    EXPECT_EQ(fails_with(DD_Call::SetCooperativeLevel, DDERR_GENERIC),
              "Setup_Windowed_Direct_Draw():SetCooperativeLevel Failed");
    EXPECT_EQ(fails_with(DD_Call::CreateSurface, DDERR_INVALIDOBJECT),
              "Setup_Windowed_Direct_Draw():Create_Primary_Surface():DEFAULT\nCannot create surface\nwidth = "
              "640\nheight = 480");
    EXPECT_EQ(fails_with(DD_Call::SetColorKey, DDERR_GENERIC),
              "Setup_Windowed_Direct Draw():Unable to create secondary surface");
    // The palette and clipper steps' texts: Setup_Retry.WindowedDisplayFailuresLeaveNoPaletteOrClipper.
    EXPECT_EQ(fails_with(DD_Call::CreateClipper, DDERR_OUTOFMEMORY), "Setup_Windowed_Direct_Draw():CreateClipper FAILED");
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);  // set before the clipper is made
}

TEST_F(Display_Setup, ReleaseTakesDownWhatExistsOfAPartlyBuiltDisplay) {
    // Nothing at all.
    EXPECT_EQ(Release_Direct_Draw(s.display), 1);

    // Full screen, stopped at the primary: the mode was set and is given back.
    s.display.Window_Mode = FULLSCREEN;  // the session sets it before asking for full screen
    Inject_DD_Fault(DD_Call::CreateSurface, DDERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(Setup_Direct_Draw(s.display, 640, 480, 32), 0);
    DDraw* display = s.display.Direct_Draw_Interface;
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->mode_bpp(), 32);
    display->AddRef();
    EXPECT_EQ(Release_Direct_Draw(s.display), 1);
    EXPECT_EQ(display->mode_bpp(), 0);
    EXPECT_EQ(display->mode_width(), 0);
    display->Release();
    EXPECT_EQ(s.display.Direct_Draw_Interface, nullptr);
    EXPECT_EQ(s.display.Visible, nullptr);
    EXPECT_EQ(s.display.Hidden, nullptr);

    // Stopped before the interface was had: only the display object exists.
    Inject_DD_Fault(DD_Call::QueryInterface, E_NOINTERFACE);
    ASSERT_EQ(Setup_Direct_Draw(s.display, 640, 480, 32), 0);
    EXPECT_NE(s.display.Direct_Draw, nullptr);
    EXPECT_EQ(Release_Direct_Draw(s.display), 1);
    EXPECT_EQ(s.display.Direct_Draw, nullptr);

    // Windowed, stopped at binding the clipper: clipper, surfaces and interface all go.
    s.display.Window_Mode = WINDOWED;
    Inject_DD_Fault(DD_Call::SetHWnd, DDERR_GENERIC);
    ASSERT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 32, 1), 0);
    EXPECT_NE(s.display.Clipper, nullptr);
    EXPECT_NE(s.display.Visible, nullptr);
    EXPECT_NE(s.display.Hidden, nullptr);
    EXPECT_EQ(Release_Direct_Draw(s.display), 1);
    EXPECT_EQ(s.display.Clipper, nullptr);
    EXPECT_EQ(s.display.Visible, nullptr);
    EXPECT_EQ(s.display.Hidden, nullptr);
    EXPECT_EQ(s.display.Direct_Draw_Interface, nullptr);

    // A released display can be built again.
    Take_Reports();
    EXPECT_EQ(Setup_Windowed_Direct_Draw(s.display, 640, 480, 32, 1), 1);
    EXPECT_TRUE(Take_Reports().empty());
}

