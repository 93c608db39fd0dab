#include "shell/frame.h"

#include <string>

#include "diagnostics/diagnostics.h"
#include "input/mouse.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "platform/system/system.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "scope/scope.h"
#include "session/run_mode.h"
#include "surface/bitmap.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/status_line.h"
#include "text/title.h"
#include "text/transition.h"
#include "session/session.h"


int Run_Mirravane(Session& s) {
    const Frame_Reports once_per_preset(s.app);
    if (s.app.error_logging && !s.shell.run_logged_once) Report_Error(s.app, "Entering Run_Mirravane");
    Update_Frame_Timer(s.display);

    const bool about_path =
        s.app.Saver_Mode == PREVIEW && (s.Plasma_Settings.preview_active == 0 || s.Plasma_Settings.random_interval != 0);
    if (about_path) {
        if (!s.shell.about_picture_drawn) {
            const std::string path = Windows_Directory() + "\\Mirravane\\Data\\Bmp\\About.bmp";
            int width = 0, height = 0;
            Surface picture = Load_SYSTEM_Bitmap(s.display, path.c_str(), &width, &height);
            if (!picture) {
                Report_Error(s.app, "Run_Mirravane(): Could not load about_bitmap");
                return 0;
            }
            if (!Stretch_Blit(s.display, picture, s.display.Hidden, 0, 0, 0, 0, width, height, s.display.Client_Width, s.display.Client_Height))
                Report_Error(s.app, "Run_Mirravane(): Strecth_Blit of About bitmap FAILED");
            Release_Surface(&picture);
            s.shell.about_picture_drawn = 1;
        }
    } else {
        Tick_Random_Preset_Timer(s, 0);
        if (s.kaleidoscope.kaleidoscope_active) {
            if (!Draw_Kaleidoscope(s, s.display.Hidden, s.display.Client_Width, s.display.Client_Height)) {
                Report_Error(s.app, "Run_Mirravane():  Draw_Kaleidoscope FAILED");
                return 0;
            }
        } else if (!Draw_Plasma(s, s.display.Hidden, 0, 0)) {
            Report_Error(s.app, "Run_Mirravane(): Draw_Plasma() FAILED");
            return 0;
        }
        if (s.scope.scope_active && !Draw_Scope(s, s.display.Hidden, 0, 0)) {
            Report_Error(s.app, "Run_Mirravane(): Draw_Scope FAILED");
            return 0;
        }
        if (s.app.Saver_Mode != PREVIEW && !Display_Title(s, s.display.Hidden, 0, 0, s.Plasma_Settings.title_text, 9, 0)) {
            Report_Error(s.app, "Mirravane(): Display_Title FAILED");
            return 0;
        }
    }

    if (s.display.Show_Frame_Rate == 1) {
        if (s.display.Screen_Bpp == 8)
            Draw_FPS(s.display);
        else if (!Draw_Text(s, s.display.Hidden, 0, 40, 9, s.display.Frame_Rate_Text))
            Draw_FPS(s.display);
    }
    Draw_Status_Message(s);
    if (!Display_Transition(s, 384.0)) {
        Report_Error(s.app, "Run_Mirravane():Display_Transition FAILED");
        return 0;
    }
    const int presented = s.kaleidoscope.kaleidoscope_active ? Stretch_Kaleidoscope(s, s.display.Hidden, s.display.Visible) : Display_Hidden_Surface(s.display);
    if (!presented) return 0;
    // Without the vertical-blank wait a saver would draw as fast as it can, a core for
    // frames nobody sees: it still keeps to the display's refresh rate.
    if (!s.display.Wait_For_Vsync && (s.app.Saver_Mode == SAVER || s.app.Saver_Mode == PREVIEW)) Wait_For_Refresh(s.display.last_refresh);

    if (s.app.Saver_Mode == SAVER) {
        Poll_Input_Devices(s);
        if (Mouse_Has_Moved(s, 0)) {
            Report_Error(s.app, "Run_Mirravane(): Mouse_Has_Moved returns SUCCESS - exitting saver");
            return 0;
        }
    }
    if (s.app.error_logging && !s.shell.run_logged_once) Report_Error(s.app, "Exitting Run_Mirravane");
    s.shell.run_logged_once = 1;
    return 1;
}
