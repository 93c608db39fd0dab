// The plasma frame: random colour changes, the renderer for the depth, the symmetry copies.
#include <cstdlib>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "plasma/plasma.h"
#include "plasma/plasma_math.h"
#include "presets/plasma_settings.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "session/session.h"



namespace {
const Once_Log draw_plasma_log;
const Once_Log shutdown_plasma_log;

bool Is_Wide_Depth(int bpp) { return bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32; }

void Release_Tables(Plasma_Context& c) {
    std::free(c.table1);
    std::free(c.table2);
    c.table1 = nullptr;
    c.table2 = nullptr;
}

// Runs the renderer for the depth and colour mode; 0 after reporting a failure.
int Render(Session& s, Surface dest, double divisor, int x, int y) {
    const int multi = s.Plasma_Settings.multi_colour;
    switch (s.display.Screen_Bpp) {
        case 8:
            if (!Process_Plasma_8(s, &s.plasma.First_Plasma, dest, divisor, x, y)) {
                Report_Error(s.app, "Draw_Plasma(): Process_Plasma_8 FAILED");
                return 0;
            }
            return 1;
        case 15:
        case 16:
            if (multi == 0 && !Process_Plasma_16(s, &s.plasma.First_Plasma, dest, divisor, x, y)) {
                Report_Error(s.app, "Draw_Plasma(): Process_Plasma_16 FAILED");
                return 0;
            }
            if (multi == 1 && !Multi_Colour_Plasma_16(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, dest, divisor,
                                                      divisor, divisor, x, y)) {
                Report_Error(s.app, "Draw_Plasma(): Multi_Colour_Plasma_16 FAILED");
                return 0;
            }
            return 1;
        case 24:
            if (multi == 0 && !Process_Plasma_24(s, &s.plasma.First_Plasma, dest, divisor, x, y)) {
                Report_Error(s.app, "Draw_Plasma(): Process_Plasma_24 FAILED");
                return 0;
            }
            if (multi == 1 && !Multi_Colour_Plasma_24(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, dest, divisor,
                                                      divisor, divisor, x, y)) {
                Report_Error(s.app, "Draw_Plasma(): Multi_Colour_Plasma_24 FAILED");
                return 0;
            }
            return 1;
        case 32:
            if (multi == 0 && !Process_Plasma_32(s, &s.plasma.First_Plasma, dest, divisor, x, y)) {
                Report_Error(s.app, "Draw_Plasma(): Process_Plasma_32 FAILED");
                return 0;
            }
            if (multi == 1 && !Multi_Colour_Plasma_32(s, &s.plasma.First_Plasma, &s.plasma.Second_Plasma, &s.plasma.Third_Plasma, dest, divisor,
                                                      divisor, divisor, x, y)) {
                Report_Error(s.app, "Draw_Plasma(): Multi_Colour_Plasma_32 FAILED");
                return 0;
            }
            return 1;
        default:
            return 1;
    }
}

// The mirroring blits cut a copy at the screen's edges; a slide is smaller than the screen
// (it holds one tile), so a copy is first cut at the destination's own edges the same way.
// Without it a damaged preset that asks for symmetry on a plasma slide background fails
// every frame. On Hidden, the size of the screen, nothing changes.
bool Fits_Destination(Surface dest, int& sx, int& sy, int& dx, int& dy, int& width, int& height) {
    if (width <= 0 || height <= 0) return true;  // the blit refuses it as before
    return Clip_Rectangle(sx, sy, dx, dy, width, height, dest->width(), dest->height());
}

int Mirror_H(Display_Context& d, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (!Fits_Destination(dest, sx, sy, dx, dy, width, height)) return 1;
    if (Clip_H_Blit(d, dest, dest, sx, sy, dx, dy, width, height)) return 1;
    Report_Error(d.app, "Draw_Plasma(): Clip_H_Blit FAILED");
    return 0;
}

int Mirror_V(Display_Context& d, Surface dest, int sx, int sy, int dx, int dy, int width, int height) {
    if (!Fits_Destination(dest, sx, sy, dx, dy, width, height)) return 1;
    if (Clip_V_Blit(d, dest, dest, sx, sy, dx, dy, width, height)) return 1;
    Report_Error(d.app, "Draw_Plasma(): Clip_V_Blit FAILED");
    return 0;
}

// Each copy reads what the ones before it wrote.
int Symmetry_Copies(Session& s, Surface dest, int x, int y, int W, int H) {
    switch (s.Plasma_Settings.symmetry) {
        case 1:
            return Mirror_H(s.display, dest, x, y, x + W, y, W, H);
        case 2:
            return Mirror_H(s.display, dest, x, y, x + W, y, W, H) && Mirror_V(s.display, dest, x, y, x, y + H, 2 * W, H);
        case 3:
            return Mirror_H(s.display, dest, x, y, x + W, y, W, H) && Mirror_V(s.display, dest, x, y, x, y + H, 2 * W, H) &&
                   Mirror_H(s.display, dest, x, y, x + 2 * W, y, 2 * W, 2 * H) &&
                   Mirror_V(s.display, dest, x, y, x, y + 2 * H, 4 * W, 2 * H);
        default:
            return 1;
    }
}

}  // namespace

int Draw_Plasma(Session& s, Surface dest, int x, int y) {
    draw_plasma_log.enter(s.app, "Entering Draw_Plasma");

    if (!dest) {
        Report_Error(s.app, "Draw_Plasma() NULL OR LOST DEST");
        return 0;
    }
    if (dest->IsLost() != DD_OK) {
        const int restored = dest == s.display.Hidden ? Restore_All_Surfaces(s.display) : dest->Restore() == DD_OK;
        if (!restored) {
            Report_Error(s.app, "Draw_Plasma() NULL OR LOST DEST");
            return 0;
        }
    }

    Random_Colour_Change(s);

    // Steps are scaled by the frame time so the motion per second stays the same; a zero
    // frame time gives an infinite divisor and a still frame.
    const double divisor =
        s.Plasma_Settings.ignore_fps ? s.Plasma_Settings.speed : s.Plasma_Settings.speed / s.display.frame_seconds * 0.01;

    const int W = s.Plasma_Settings.plasma_width;
    const int H = s.Plasma_Settings.plasma_height;
    if (x + W > s.display.Screen_Width) x = s.display.Screen_Width - W;
    if (y + H > s.display.Screen_Height) y = s.display.Screen_Height - H;

    if (!Render(s, dest, divisor, x, y)) return 0;
    if (!Symmetry_Copies(s, dest, x, y, W, H)) return 0;

    draw_plasma_log.exit(s.app, "Exitting Draw_Plasma");
    return 1;
}

int Random_Colour_Change(Session& s) {
    PLASMA_SETTINGS& p = s.Plasma_Settings;
    if (p.random_colour_interval <= 0) return 1;

    if (s.plasma.colour_level == 0) {
        if (s.display.Screen_Bpp == 15 || s.display.Screen_Bpp == 16) s.plasma.colour_level = 31;
        if (s.display.Screen_Bpp == 24 || s.display.Screen_Bpp == 32) s.plasma.colour_level = 127;
    }

    s.plasma.Random_Colour_Countdown -= s.display.frame_seconds;
    if (!(s.plasma.Random_Colour_Countdown < 0)) return 1;

    do {
        if (s.display.Screen_Bpp == 8) Random_Plasma_Palette(s);
        p.colour_blue = static_cast<uint8_t>(s.plasma.colour_level * (Random(s.app) & 1));
        p.colour_green = static_cast<uint8_t>(s.plasma.colour_level * (Random(s.app) & 1));
        p.colour_red = static_cast<uint8_t>(s.plasma.colour_level * (Random(s.app) & 1));
        p.darken_red = Random(s.app) & 1;
        p.darken_green = Random(s.app) & 1;
        p.darken_blue = Random(s.app) & 1;
        p.brighten = Random(s.app) & 1;
        s.link->settings_changed(s);
        Copy_Plasma_Dialog_Values(s);
        s.plasma.Random_Colour_Countdown = p.random_colour_interval;
    } while (Is_Wide_Depth(s.display.Screen_Bpp) && p.colour_blue == 0 && p.colour_green == 0 &&
             p.colour_red == 0);
    return 1;
}

void Shutdown_Plasma(Session& s) {
    shutdown_plasma_log.enter(s.app, "Entering Shutdown_Plasma");
    Release_Tables(s.plasma.First_Plasma);
    Release_Tables(s.plasma.Second_Plasma);
    Release_Tables(s.plasma.Third_Plasma);
    shutdown_plasma_log.exit(s.app, "Exitting Shutdown_Plasma");
}

void Reset_Plasma_Dialog_Values(Session& s) {
    PLASMA_DIALOG_VALUES& v = s.plasma.plasma_dialog_values;
    v.speed = 35.0;
    v.contrast = 4;
    v.interference = 95;
    v.ripple = 54;
    v.complexity = 50;
    v.colour_blue = v.colour_green = v.colour_red = 127;
    v.colour_logic = 1;
}

int Copy_Plasma_Dialog_Values(Session& s) {
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    PLASMA_DIALOG_VALUES& v = s.plasma.plasma_dialog_values;
    v.speed = p.speed;
    v.contrast = p.contrast;
    // f32 times 10 in f32, so a slider's 0.7 comes back as 7.
    v.interference = Trunc_To_Int32(p.interference * 10.0f);
    v.ripple = Trunc_To_Int32(p.ripple * 10.0f);
    v.colour_blue = p.colour_blue;
    v.colour_green = p.colour_green;
    v.colour_red = p.colour_red;
    v.colour_logic = p.invert_colour_logic;
    v.complexity = p.complexity;
    return 1;
}
