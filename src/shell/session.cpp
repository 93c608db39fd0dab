#include "shell/session.h"

#include "diagnostics/diagnostics.h"
#include "input/mouse.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "platform/system/system.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "scope/scope.h"
#include "shell/modes.h"
#include "shell/seed.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/title.h"

int First_Setup = 1;

namespace {
Once_Log setup_log, lumenweft_log, shutdown_log;
}

int Setup() {
    setup_log.enter("Entering Setup");
    if (Window_Mode == FULLSCREEN || Saver_Mode == SAVER) {
        if (!Grab_Preferred_Plasma_Screen_Dimensions(&Screen_Width, &Screen_Height, &Screen_Bpp)) {
            Report_Error("Setup(): Grab_Preferred_Plasma_Screen_Dimensions FAILED");
            // Without a usable default.dat the display takes the record a configuration run would
            // save: in a saver the built-in defaults; going full screen, the running record,
            // whose resolution the caller has already set.
            if (Saver_Mode == SAVER)
                Decode_Resolution(Default_Resolution, &Screen_Width, &Screen_Height, &Screen_Bpp);
        }
    }
    if (Window_Mode != WINDOWED) {
        if (!Setup_Direct_Draw(Screen_Width, Screen_Height, Screen_Bpp)) {
            Report_Errorf("Setup: \n\nSetup_Direct_Draw() Failed\nw %d h %d bpp %d", Screen_Width, Screen_Height,
                          Screen_Bpp);
            return 0;
        }
    } else if (!Setup_Windowed_Direct_Draw(Screen_Width, Screen_Height, Screen_Bpp, 1)) {
        Report_Errorf("Setup: \n\nSetup_Windowed_Direct_Draw() Failed\nw %d h %d bpp %d", Screen_Width,
                      Screen_Height, Screen_Bpp);
        return 0;
    }
    if (First_Setup && Saver_Mode == CONFIGURE) {
        if (Screen_Bpp != 8 && Screen_Bpp != 15 && Screen_Bpp != 16 && Screen_Bpp != 24 && Screen_Bpp != 32) {
            Report_Error("Setup():\n\nThis application is designed to run in TRUE (32 bit) colour mode.\n16bit and 8 "
                         "bit colour modes are also supported\n\nPlease adjust your system settings and try again\n");
            return 0;
        }
    }
    if (Window_Mode == FULLSCREEN && !Clear(Visible)) {
        Report_Error("Setup(): Clear Visible FAILED");
        return 0;
    }
    if (!Clear(Hidden)) {
        Report_Error("Setup(): Clear Hidden FAILED");
        return 0;
    }
    if (!Set_Transparency(Hidden, 0)) {
        Report_Error("Setup(): Set_Transparency FAILED");
        return 0;
    }
    if (Saver_Mode == SAVER) {
        if (!Setup_Direct_Input()) {
            Report_Error("Setup: \n\n Setup_Direct_Input() Failed");
            return 0;
        }
        if (!Setup_Mouse()) {
            Report_Error("Setup: \n\nSetup_Mouse() Failed");
            return 0;
        }
    }
    Seed_Session_Random();
    if (!Setup_Lumenweft()) {
        Report_Error("Setup():\n\nCould not Setup_Lumenweft");
        return 0;
    }
    First_Setup = 0;
    setup_log.exit("Exitting Setup");
    return 1;
}

int Setup_Lumenweft() {
    lumenweft_log.enter("Entering Setup_Lumenweft");
    Start_Frame_Timer();
    if (Saver_Mode == PREVIEW && Plasma_Settings.preview_active == 0) return 1;
    Mouse_X = Screen_Width;
    Mouse_Y = Screen_Width;
    if (!Load_All_Objects()) {
        Report_Error("Setup_Lumenweft(): Load_All_Objects FAILED");
        return 0;
    }
    lumenweft_log.exit("Exitting Setup_Lumenweft");
    return 1;
}

int Setup_Scratch_Pad() {
    Release_Surface(&Scratch_Pad);
    if (!Create_SYSTEM_Surface(&Scratch_Pad, Screen_Width, Screen_Height)) {
        Report_Error("Setup_Scratch_Pad():\n\nUnable to Create Scratch Pad Surface");
        return 0;
    }
    Set_Transparency(Scratch_Pad, 0);
    Clear(Scratch_Pad);
    return 1;
}

void Release_Scratch_Pad() { Release_Surface(&Scratch_Pad); }

int Release_Display_Resources() {
    Destroy_Title();
    Release_All_Fonts();
    Free_Colour_Slides();
    Shutdown_Scope();
    Shutdown_Kaleidoscope();
    Free_All_Objects();
    Shutdown_Plasma();
    Release_Scratch_Pad();
    return 1;
}

void Shutdown() {
    shutdown_log.enter("Entering Shutdown");
    Release_Display_Resources();
    Release_All_Fonts();
    Release_Mouse();
    Release_Direct_Input();
    Release_Direct_Draw();
    shutdown_log.exit("Exitting Shutdown");
}
