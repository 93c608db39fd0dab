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
#include "shell/modes.h"
#include "shell/status.h"
#include "surface/bitmap.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/title.h"
#include "text/transition.h"

int run_logged_once = 0;
int about_picture_drawn = 0;

void Draw_Status_Message() {
    if (status_message_pending) Draw_GDI_Text(Hidden, 0, 24, 0x00C8C8C8, status_message);
    status_message_pending = 0;
}

int Run_Mirravane() {
    const Frame_Reports once_per_preset;
    if (error_logging && !run_logged_once) Report_Error("Entering Run_Mirravane");
    Update_Frame_Timer();

    const bool about_path =
        Saver_Mode == PREVIEW && (Plasma_Settings.preview_active == 0 || Plasma_Settings.random_interval != 0);
    if (about_path) {
        if (!about_picture_drawn) {
            const std::string path = Windows_Directory() + "\\Mirravane\\Data\\Bmp\\About.bmp";
            int width = 0, height = 0;
            Surface picture = Load_SYSTEM_Bitmap(path.c_str(), &width, &height);
            if (!picture) {
                Report_Error("Run_Mirravane(): Could not load about_bitmap");
                return 0;
            }
            if (!Stretch_Blit(picture, Hidden, 0, 0, 0, 0, width, height, Client_Width, Client_Height))
                Report_Error("Run_Mirravane(): Strecth_Blit of About bitmap FAILED");
            Release_Surface(&picture);
            about_picture_drawn = 1;
        }
    } else {
        Tick_Random_Preset_Timer(0);
        if (kaleidoscope_active) {
            if (!Draw_Kaleidoscope(Hidden, Client_Width, Client_Height)) {
                Report_Error("Run_Mirravane():  Draw_Kaleidoscope FAILED");
                return 0;
            }
        } else if (!Draw_Plasma(Hidden, 0, 0)) {
            Report_Error("Run_Mirravane(): Draw_Plasma() FAILED");
            return 0;
        }
        if (scope_active && !Draw_Scope(Hidden, 0, 0)) {
            Report_Error("Run_Mirravane(): Draw_Scope FAILED");
            return 0;
        }
        if (Saver_Mode != PREVIEW && !Display_Title(Hidden, 0, 0, Plasma_Settings.title_text, 9, 0)) {
            Report_Error("Mirravane(): Display_Title FAILED");
            return 0;
        }
    }

    if (Show_Frame_Rate == 1) {
        if (Screen_Bpp == 8)
            Draw_FPS();
        else if (!Draw_Text(Hidden, 0, 40, 9, Frame_Rate_Text))
            Draw_FPS();
    }
    Draw_Status_Message();
    if (!Display_Transition(384.0)) {
        Report_Error("Run_Mirravane():Display_Transition FAILED");
        return 0;
    }
    const int presented = kaleidoscope_active ? Stretch_Kaleidoscope(Hidden, Visible) : Display_Hidden_Surface();
    if (!presented) return 0;

    if (Saver_Mode == SAVER) {
        Poll_Input_Devices();
        if (Mouse_Has_Moved(0)) {
            Report_Error("Run_Mirravane(): Mouse_Has_Moved returns SUCCESS - exitting saver");
            return 0;
        }
    }
    if (error_logging && !run_logged_once) Report_Error("Exitting Run_Mirravane");
    run_logged_once = 1;
    return 1;
}
