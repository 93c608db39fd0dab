#include "shell/session.h"

#include "diagnostics/diagnostics.h"
#include "input/mouse.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "platform/system/system.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "scope/scope.h"
#include "session/run_mode.h"
#include "shell/seed.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/title.h"
#include "session/session.h"


namespace {
const Once_Log setup_log, lumenweft_log;
}

int Setup(Session& s) {
    setup_log.enter(s.app, "Entering Setup");
    if (s.display.Window_Mode == FULLSCREEN || s.app.Saver_Mode == SAVER) {
        if (!Grab_Preferred_Plasma_Screen_Dimensions(s, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp)) {
            Report_Error(s.app, "Setup(): Grab_Preferred_Plasma_Screen_Dimensions FAILED");
            // Without a usable default.dat the display takes the record a configuration run would
            // save: in a saver the built-in defaults; going full screen, the running record,
            // whose resolution the caller has already set.
            if (s.app.Saver_Mode == SAVER)
                Decode_Resolution(s.app, Default_Resolution, &s.display.Screen_Width, &s.display.Screen_Height, &s.display.Screen_Bpp);
        }
    }
    if (s.display.Window_Mode != WINDOWED) {
        if (!Setup_Direct_Draw(s.display, s.display.Screen_Width, s.display.Screen_Height, s.display.Screen_Bpp)) {
            Report_Errorf(s.app, "Setup: \n\nSetup_Direct_Draw() Failed\nw %d h %d bpp %d", s.display.Screen_Width, s.display.Screen_Height,
                          s.display.Screen_Bpp);
            return 0;
        }
    } else if (!Setup_Windowed_Direct_Draw(s.display, s.display.Screen_Width, s.display.Screen_Height, s.display.Screen_Bpp, 1)) {
        Report_Errorf(s.app, "Setup: \n\nSetup_Windowed_Direct_Draw() Failed\nw %d h %d bpp %d", s.display.Screen_Width,
                      s.display.Screen_Height, s.display.Screen_Bpp);
        return 0;
    }
    if (s.shell.First_Setup && s.app.Saver_Mode == CONFIGURE) {
        if (s.display.Screen_Bpp != 8 && s.display.Screen_Bpp != 15 && s.display.Screen_Bpp != 16 && s.display.Screen_Bpp != 24 && s.display.Screen_Bpp != 32) {
            Report_Error(s.app, "Setup():\n\nThis application is designed to run in TRUE (32 bit) colour mode.\n16bit and 8 "
                         "bit colour modes are also supported\n\nPlease adjust your system settings and try again\n");
            return 0;
        }
    }
    if (s.display.Window_Mode == FULLSCREEN && !Clear(s.display, s.display.Visible)) {
        Report_Error(s.app, "Setup(): Clear Visible FAILED");
        return 0;
    }
    if (!Clear(s.display, s.display.Hidden)) {
        Report_Error(s.app, "Setup(): Clear Hidden FAILED");
        return 0;
    }
    if (!Set_Transparency(s.app, s.display.Hidden, 0)) {
        Report_Error(s.app, "Setup(): Set_Transparency FAILED");
        return 0;
    }
    if (s.app.Saver_Mode == SAVER) {
        if (!Setup_Direct_Input(s)) {
            Report_Error(s.app, "Setup: \n\n Setup_Direct_Input() Failed");
            return 0;
        }
        if (!Setup_Mouse(s)) {
            Report_Error(s.app, "Setup: \n\nSetup_Mouse() Failed");
            return 0;
        }
    }
    Seed_Session_Random(s.app);
    if (!Setup_Lumenweft(s)) {
        Report_Error(s.app, "Setup():\n\nCould not Setup_Lumenweft");
        return 0;
    }
    s.shell.First_Setup = 0;
    setup_log.exit(s.app, "Exitting Setup");
    return 1;
}

int Setup_Lumenweft(Session& s) {
    lumenweft_log.enter(s.app, "Entering Setup_Lumenweft");
    Start_Frame_Timer(s.display);
    if (s.app.Saver_Mode == PREVIEW && s.Plasma_Settings.preview_active == 0) return 1;
    s.mouse.Mouse_X = s.display.Screen_Width;
    s.mouse.Mouse_Y = s.display.Screen_Width;
    if (!Load_All_Objects(s.display)) {
        Report_Error(s.app, "Setup_Lumenweft(): Load_All_Objects FAILED");
        return 0;
    }
    lumenweft_log.exit(s.app, "Exitting Setup_Lumenweft");
    return 1;
}
