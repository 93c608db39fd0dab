// The plasma: two tables per generator, the 8-bit palettes, the renderers for each depth,
// the plasma frame with its symmetry copies and the random colour changes.
#pragma once

#include <cstdint>
#include "session/forward.h"

#include "surface/surface.h"

// One plasma generator. The tables are 2W x 2H bytes, row stride 2W.
struct Plasma_Context {
    uint8_t* table1 = nullptr;  // distance ripple
    uint8_t* table2 = nullptr;  // sine interference
    int32_t width = 0;
    int32_t height = 0;
    int32_t contrast = 0;
    float phase[8] = {};
};

int Setup_Plasma(Session& s, Plasma_Context* context);
void Random_Plasma_Palette(Session& s);
void Shift_Palette(Session& s, int scheme);  // 0..19, or -1 for a random scheme other than the last one
void Shutdown_Plasma(Session& s);

// Renderers: advance the phases, then fill the W x H tile at (x0, y0) of a locked surface.
int Process_Plasma_8(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0);
int Process_Plasma_16(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0);
int Process_Plasma_24(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0);
int Process_Plasma_32(Session& s, Plasma_Context* context, Surface dest, double divisor, int x0, int y0);
int Multi_Colour_Plasma_16(Session& s, Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0);
int Multi_Colour_Plasma_24(Session& s, Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0);
int Multi_Colour_Plasma_32(Session& s, Plasma_Context* blue, Plasma_Context* green, Plasma_Context* red, Surface dest,
                           double divisor1, double divisor2, double divisor3, int x0, int y0);

int Draw_Plasma(Session& s, Surface dest, int x, int y);
int Random_Colour_Change(Session& s);

// What the plasma dialogs start from and return to on Cancel or Default.
struct PLASMA_DIALOG_VALUES {
    double speed;
    int contrast;
    int interference;  // x 10
    int ripple;        // x 10
    int complexity;
    uint8_t colour_blue, colour_green, colour_red;
    uint8_t saved_blue, saved_green, saved_red;  // the colour dialog's Cancel
    int colour_logic;
};

// A session's plasma generators and colour state.
struct Plasma_State {
    // Single colour (and blue in multi-colour mode), green, red.
    Plasma_Context First_Plasma, Second_Plasma, Third_Plasma;
    int Last_Palette_Scheme = -1;  // -1 until the first Shift_Palette
    // Random colour change state: 31 at 15/16 bpp, 127 at 24/32 once needed; seconds to the next change.
    int colour_level = 0;
    double Random_Colour_Countdown = 0.0;
    PLASMA_DIALOG_VALUES plasma_dialog_values = {35.0, 4, 95, 54, 50, 127, 127, 127, 0, 0, 0, 1};
};

void Reset_Plasma_Dialog_Values(Session& s);
int Copy_Plasma_Dialog_Values(Session& s);
