#include "shell/menu.h"

#include "platform/windows/commdlg.h"
#include "presets/plasma_settings.h"
#include "kaleidoscope/kaleidoscope.h"
#include "session/run_mode.h"
#include "shell/menu_marks.h"
#include "surface/display.h"
#include "dialogs/templates.h"
#include "session/session.h"

namespace {

Menu_Item Item(int id, const char* text) { return Menu_Item{id, text, false, false, {}}; }
Menu_Item Sub(const char* text, std::vector<Menu_Item> items) { return Menu_Item{0, text, false, false, std::move(items)}; }
Menu_Item Separator() { return Menu_Item{}; }

Menu Main_Menu_Template() {
    Menu m;
    m.items = {
        Sub("&Presets", {Item(MENU_PRESETS_OPEN, "&Open..."), Item(MENU_PRESETS_SAVE, "&Save"),
                         Item(MENU_PRESETS_SAVE_AS, "Save &As..."), Separator(),
                         Item(MENU_PRESETS_RANDOM, "&Random..."), Separator(), Item(MENU_PRESETS_EXIT, "E&xit")}),
        Sub("&View",
            {Item(MENU_VIEW_VSYNC, "&Vsync"), Item(MENU_VIEW_FPS, "&FPS"), Item(MENU_VIEW_FULLSCREEN, "F&ull Screen"),
             Sub("&Overlay", {Item(MENU_OVERLAY_CIRCLE, "&Circle"), Item(MENU_OVERLAY_ELLIPSE, "&Ellipse"),
                              Item(MENU_OVERLAY_DIAMOND, "&Diamond"), Item(MENU_OVERLAY_STAR, "&Star"),
                              Item(MENU_OVERLAY_CUSTOM, "C&ustom..."), Item(MENU_OVERLAY_OFF, "&Off")}),
             Item(MENU_VIEW_RESOLUTION, "&Resolution..."), Item(MENU_VIEW_PREVIEW_ACTIVE, "&Preview Active"),
             Item(MENU_VIEW_TITLES, "&Titles"), Separator(),
             Item(MENU_VIEW_TOGGLE_MAXIMISE, "Toggle &Maximise Window\tCtrl+M")}),
        Sub("P&lasma", {Item(MENU_PLASMA_SPEED, "&Speed..."), Item(MENU_PLASMA_CONTRAST, "C&ontrast..."),
                        Item(MENU_PLASMA_RIPPLES, "&Ripples..."), Item(MENU_PLASMA_INTERFERENCE, "&Interference..."),
                        Item(MENU_PLASMA_SWAY, "S&way..."),
                        Sub("&Colour", {Item(MENU_PLASMA_COLOUR_SELECT, "&Select..."),
                                        Item(MENU_PLASMA_COLOUR_RANDOM, "&Random...")}),
                        Item(MENU_PLASMA_COMPLEXITY, "Co&mplexity..."), Separator(),
                        Item(MENU_PLASMA_BRIGHTEN, "&Brighten"), Item(MENU_PLASMA_MULTI_COLOUR, "M&ulti-Colour"),
                        Separator(), Item(MENU_PLASMA_DEFAULT, "&Default")}),
        Sub("&Symmetry", {Item(MENU_SYMMETRY_ASYMMETRIC, "&Asymmetric"), Item(MENU_SYMMETRY_BIPOLAR, "&Bipolar"),
                          Item(MENU_SYMMETRY_FOURFOLD, "&Four-Fold"), Item(MENU_SYMMETRY_EIGHTFOLD, "&Eight-Fold")}),
        Sub("&Kaleidoscope",
            {Item(MENU_KALEIDOSCOPE_ON, "&On"), Item(MENU_KALEIDOSCOPE_STRETCH, "&Stretch"),
             Item(MENU_KALEIDOSCOPE_GRANULARITY, "&Granularity..."),
             Sub("S&lides",
                 {Item(MENU_SLIDES_ON, "&On"), Item(MENU_SLIDES_SPEED, "&Speed..."), Item(MENU_SLIDES_FADE, "&Fade..."),
                  Item(MENU_SLIDES_ZONES, "&Zones..."), Item(MENU_SLIDES_DIRECTION, "&Direction..."),
                  Item(MENU_SLIDES_BACKGROUND, "&Background..."), Item(MENU_SLIDES_DEFAULT, "D&efault"),
                  Sub("&Objects", {Item(MENU_SLIDES_OBJECTS_SELECT, "&Select..."),
                                   Sub("&Blend Mode", {Item(MENU_BLEND_HUE, "&Hue"), Item(MENU_BLEND_LIGHT, "&Light"),
                                                       Item(MENU_BLEND_OFF, "&Off")}),
                                   Sub("&Advanced", {Item(MENU_SLIDES_COMPACT, "&Compact Objects"),
                                                     Item(MENU_SLIDES_FRAME_CONVERT, "&Frame Convert")})})})}),
        Sub("&Help", {Item(MENU_HELP_INSTRUCTIONS, "&Instructions"), Item(MENU_HELP_SYSTEM_INFO, "&System Info..."),
                      Item(MENU_HELP_ABOUT, "&About...")}),
    };
    return m;
}

void Check(Session& s, int id, bool on) { CheckMenuItem(s.shell.App_Menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); }
void Enable(Session& s, int id, bool on) { EnableMenuItem(s.shell.App_Menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); }

}  // namespace

void Register_Program_Resources() {
    Register_Menu_Template(IDR_MAIN_MENU, Main_Menu_Template());
    Register_Dialog_Templates();
}

int Update_Menu_Check_Marks(Session& s) {
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    Check(s, MENU_VIEW_FPS, s.display.Show_Frame_Rate != 0);
    Check(s, MENU_VIEW_VSYNC, s.display.Wait_For_Vsync == 1);

    for (int id = MENU_SYMMETRY_ASYMMETRIC; id <= MENU_SYMMETRY_EIGHTFOLD; ++id) {
        Enable(s, id, true);
        Check(s, id, false);
    }
    // A preset file may hold any number here; only the four symmetry items may be checked.
    if (p.symmetry >= 0 && p.symmetry <= 3) Check(s, MENU_SYMMETRY_ASYMMETRIC + p.symmetry, true);

    for (int id = MENU_OVERLAY_CIRCLE; id <= MENU_OVERLAY_OFF; ++id) {
        Check(s, id, false);
        Enable(s, id, s.display.Screen_Bpp != 8);
    }
    if (p.scope_on && p.scope_shape >= 0 && p.scope_shape <= 4)
        Check(s, MENU_OVERLAY_CIRCLE + p.scope_shape, true);
    else
        Check(s, MENU_OVERLAY_OFF, true);

    static const int slide_items[] = {MENU_SLIDES_SPEED, MENU_SLIDES_BACKGROUND, MENU_SLIDES_ZONES,
                                      MENU_SLIDES_DEFAULT, MENU_SLIDES_OBJECTS_SELECT, MENU_SLIDES_DIRECTION};
    if (p.kaleidoscope_on) {
        Check(s, MENU_KALEIDOSCOPE_ON, true);
        Enable(s, MENU_SLIDES_ON, true);
        for (int id : slide_items) Enable(s, id, p.slides_on != 0);
        Enable(s, MENU_SLIDES_COMPACT, p.slides_on != 0);
    } else {
        Check(s, MENU_KALEIDOSCOPE_ON, false);
        Enable(s, MENU_SLIDES_ON, false);
        for (int id : slide_items) Enable(s, id, false);
    }

    Check(s, MENU_PLASMA_BRIGHTEN, p.brighten != 0);
    Enable(s, MENU_KALEIDOSCOPE_GRANULARITY, true);
    Check(s, MENU_SLIDES_ON, p.slides_on == 1);
    Check(s, MENU_PLASMA_MULTI_COLOUR, p.multi_colour != 0);
    Check(s, MENU_VIEW_PREVIEW_ACTIVE, p.preview_active != 0);

    Check(s, MENU_BLEND_OFF, false);
    Check(s, MENU_BLEND_HUE, false);
    Check(s, MENU_BLEND_LIGHT, false);
    if (p.blend_mode == 0) Check(s, MENU_BLEND_OFF, true);
    if (p.blend_mode == 1) Check(s, MENU_BLEND_HUE, true);
    if (p.blend_mode == 2) Check(s, MENU_BLEND_LIGHT, true);

    Check(s, MENU_KALEIDOSCOPE_STRETCH, p.kaleidoscope_stretch != 0);
    Check(s, MENU_VIEW_TITLES, p.titles_on != 0);
    if (s.display.Screen_Bpp <= 16) Enable(s, MENU_PLASMA_BRIGHTEN, false);
    if (s.display.Screen_Bpp == 24) Enable(s, MENU_SLIDES_FADE, false);
    return 1;
}
