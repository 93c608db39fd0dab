// The overlay scope: a mask laid over every frame.
#pragma once

#include "platform/system/system.h"
#include "surface/surface.h"
#include "session/forward.h"


// Shapes; the View > Overlay menu ids are 40059 + shape.
constexpr int SCOPE_CIRCLE = 0;
constexpr int SCOPE_ELLIPSE = 1;
constexpr int SCOPE_DIAMOND = 2;
constexpr int SCOPE_STAR = 3;
constexpr int SCOPE_CUSTOM = 4;

// A session's overlay.
struct Scope_State {
    int scope_active = 0;                  // set up and drawn each frame
    Surface Scope_Surface = nullptr;       // black with a white opening; keyed on white
    int last_scope_shape = SCOPE_ELLIPSE;  // shape of the last successful set-up
    int Scope_Width = 0, Scope_Height = 0;
    // The custom overlay's chooser fills these in, names of its own: choosing a bitmap never
    // changes the preset file that Save writes to.
    File_Name overlay_name = "", overlay_title = "";
};

// shape 0..4, or -1 for the shape of the last successful set-up.
int Setup_Scope(Session& s, int width, int height, int shape);
int Shutdown_Scope(Session& s);
int Draw_Scope(Session& s, Surface dest, int x = 0, int y = 0);
int Draw_GDI_Scope(Session& s, int width, int height, int shape);
int Load_Custom_Scope(Session& s, Surface surface, int width, int height);
// Asks for a bitmap under the overlays folder; 1 when one was chosen.
int Choose_Custom_Overlay(Session& s);
