#include "text/title.h"

#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "presets/plasma_settings.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "surface/surface.h"
#include "text/font.h"
#include "session/session.h"


namespace {

const Once_Log create_log, display_log;

// A fade step happens on every frame that ends more than this long after the last step.
constexpr double Fade_Step_Seconds = 0.005;
constexpr double Hold_Seconds = 2.0;

struct Stage_Messages {
    const char* draw_text;
    const char* fade;
    const char* blit;
};

const Stage_Messages Fade_In_Messages = {"Display_Title(); Draw_Text %s in FADE TITLE IN FAILED",
                                         "Display_Title(): Fade (title in) FAILED",
                                         "Display_Title(): Masked_Clip_Blit (title in) FAILED"};
const Stage_Messages Hold_Messages = {"Display_Title(); Draw_Text %s in FADE TITLE DISPLAY FAILED",
                                      "Display_Title(): Fade (title display) FAILED",
                                      "Display_Title(): Masked_Clip_Blit (title display) FAILED"};
const Stage_Messages Fade_Out_Messages = {"Display_Title(); Draw_Text %s in FADE TITLE OUT FAILED",
                                          "Display_Title(): Fade (title out) FAILED",
                                          "Display_Title(): Masked_Clip_Blit (title out) FAILED"};

// Fresh glyphs into the strip, darkened, then only the glyphs laid over the frame.
int Draw_Title_Strip(Session& s, Surface dest, int x, int y, const char* text, int font, int darkening,
                     const Stage_Messages& messages) {
    if (!Draw_Text(s, s.title.Title_Strip, 0, 0, font, text)) {
        Report_Errorf(s.app, messages.draw_text, text);
        return 0;
    }
    if (!Fade(s.display, s.title.Title_Strip, 0, 0, s.title.Title_Width, s.title.Title_Height, darkening, 0, 0)) {
        Report_Error(s.app, messages.fade);
        return 0;
    }
    if (!Masked_Clip_Blit(s.display, s.title.Title_Strip, dest, 0, 0, x, y, s.title.Title_Width, s.title.Title_Height)) {
        Report_Error(s.app, messages.blit);
        return 0;
    }
    return 1;
}

int Create_Title(Session& s, const char* text, int font) {
    create_log.enter(s.app, "Entering Display_Title CREATE");
    Release_Surface(&s.title.Title_Strip);
    s.title.Title_Stage = TITLE_FADING_IN;
    s.title.Title_Level = 256;
    s.title.Title_Floor = s.display.Screen_Bpp >= 24 ? 0 : 8;
    s.title.Title_Timer = 0.0;

    int measured_width = 0, measured_height = 0;
    if (!Calculate_Message_Dimensions(s, font, text, &measured_width, &measured_height)) {
        Report_Error(s.app, "Display_Title(): Calculate_Message_Dimensions FAILED");
        return 0;
    }
    // The strip always spans the client area; the measured width is not used.
    s.title.Title_Width = std::max(0, std::min(s.display.Client_Width, s.display.Screen_Width));
    s.title.Title_Height = std::max(0, std::min(measured_height, s.display.Screen_Height));
    if (!Create_SYSTEM_Surface(s.display, &s.title.Title_Strip, s.title.Title_Width, s.title.Title_Height)) {
        Report_Error(s.app, "Display_Title(): Create_SYSTEM_Surface FAILED");
        return 0;
    }
    create_log.exit(s.app, "Exitting Display_Title CREATE");
    return 1;
}

int Display_Title_Frame(Session& s, Surface dest, int x, int y, const char* text, int font) {
    if (s.title.Title_Stage == TITLE_FINISHED) return 1;
    if (s.Plasma_Settings.titles_on == 0) return 1;
    display_log.enter(s.app, "Entering Display_Title DISPLAY");
    if (s.title.Title_Strip == nullptr) return 1;
    if (text == nullptr) {
        Report_Error(s.app, "Display_Title(): title must be a valid string");
        return 0;
    }

    s.title.Title_Timer += s.display.frame_seconds;

    if (s.title.Title_Stage == TITLE_FADING_IN) {
        if (!Draw_Title_Strip(s, dest, x, y, text, font, s.title.Title_Level, Fade_In_Messages)) return 0;
        if (s.title.Title_Timer > Fade_Step_Seconds) {
            s.title.Title_Timer = 0.0;
            s.title.Title_Level -= 2;
            if (s.title.Title_Level < s.title.Title_Floor) {
                s.title.Title_Stage = TITLE_HOLDING;
                s.title.Title_Level = 256;
            }
        }
    }
    if (s.title.Title_Stage == TITLE_HOLDING) {
        if (!Draw_Title_Strip(s, dest, x, y, text, font, s.title.Title_Floor, Hold_Messages)) return 0;
        if (s.title.Title_Timer > Hold_Seconds) {
            s.title.Title_Timer = 0.0;
            s.title.Title_Stage = TITLE_FADING_OUT;
        }
    }
    if (s.title.Title_Stage == TITLE_FADING_OUT) {
        if (!Draw_Title_Strip(s, dest, x, y, text, font, s.title.Title_Floor, Fade_Out_Messages)) return 0;
        if (s.title.Title_Timer > Fade_Step_Seconds) {
            s.title.Title_Timer = 0.0;
            s.title.Title_Floor += 2;
            if (s.title.Title_Floor > 256) {
                s.title.Title_Stage = TITLE_FINISHED;
                s.title.Title_Floor = 0;
            }
        }
    }
    display_log.exit(s.app, "Exitting Display_Title DISPLAY");
    return 1;
}

}  // namespace

int Display_Title(Session& s, Surface dest, int x, int y, const char* text, int font, int phase) {
    switch (phase) {
    case TITLE_CREATE:
        return Create_Title(s, text, font);
    case TITLE_DESTROY:
        Release_Surface(&s.title.Title_Strip);
        return 1;
    default:
        return Display_Title_Frame(s, dest, x, y, text, font);
    }
}

int Setup_Title(Session& s, const char* text, int font) {
    Destroy_Title(s);
    if (text == nullptr || text[0] == '\0') {
        Report_Errorf(s.app, "Setup_Title():strlen of title is 0 %s", text ? text : "");
        return 0;
    }
    if (!Display_Title(s, nullptr, 0, 0, text, font, TITLE_CREATE)) {
        Report_Error(s.app, "Setup_Title(): Display_Title CREATE FAILED");
        return 0;
    }
    return 1;
}

int Destroy_Title(Session& s) {
    if (!Display_Title(s, nullptr, 0, 0, nullptr, 0, TITLE_DESTROY)) {
        Report_Error(s.app, "Setup_Title(): Display_Title DESTROY FAILED");
        return 0;
    }
    return 1;
}
