#include "text/transition.h"

#include "diagnostics/diagnostics.h"
#include "kaleidoscope/kaleidoscope.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/session.h"
#include "surface/blit.h"
#include "surface/display.h"

int Transition_Mode = NO_TRANSITION;
double Transition_Width = 0.0, Transition_Height = 0.0;
int Grow_Pending = 0;

int Set_Transition_Mode(int mode) {
    if (mode == Transition_Mode) return 1;
    switch (mode) {
    case NO_TRANSITION:
        Transition_Mode = NO_TRANSITION;
        return 1;
    case TRANSITION_GROW:
        if (Transition_Mode != TRANSITION_SHRINK) Transition_Width = Transition_Height = 1.0;
        Transition_Mode = TRANSITION_GROW;
        return 1;
    case TRANSITION_SHRINK:
        if (Transition_Mode != TRANSITION_GROW) {
            Transition_Width = Client_Width;
            Transition_Height = Client_Height;
        }
        Transition_Mode = TRANSITION_SHRINK;
        return 1;
    default:
        Report_Errorf("Set_Transition_Mode(): INVALID mode %d", mode);
        Transition_Mode = NO_TRANSITION;
        return 0;
    }
}

int Display_Transition(double rate) {
    if (Transition_Mode == NO_TRANSITION) {
        if (!Grow_Pending) return 1;
        Grow_Pending = 0;
        Transition_Mode = TRANSITION_GROW;
        if (!Clear(Hidden)) {
            Report_Error("Display_Transition(): Clear in NO_TRANSITION FAILED");
            return 0;
        }
        if (Plasma_Settings.kaleidoscope_on && !Plasma_Settings.kaleidoscope_stretch && !Clear(Visible)) {
            Report_Error("Display_Transition(): Clear Visible in NO_TRANSITION FAILED");
            return 0;
        }
        return 1;
    }

    // The view: the drawing area, or the kaleidoscope's 2K x 2K pattern.
    const bool kaleidoscope = Plasma_Settings.kaleidoscope_on != 0;
    const int k = Kaleidoscope_Segment_Size();
    const double full_width = kaleidoscope ? 2.0 * k : Client_Width;
    const double full_height = kaleidoscope ? 2.0 * k : Client_Height;
    const double aspect = kaleidoscope ? 1.0 : (Client_Height ? static_cast<double>(Client_Width) / Client_Height : 1.0);
    double step = Plasma_Settings.ignore_fps ? static_cast<double>(Running_Transition_Speed) : frame_seconds * rate;

    if (Transition_Mode == TRANSITION_SHRINK) {
        if (Plasma_Settings.ignore_fps && Transition_Width < 16.0 && Transition_Height < 16.0) step = 2.0;
        Transition_Width -= aspect * step;
        Transition_Height -= step;
        if (Transition_Width < 1.0 && Transition_Height < 1.0) {
            Transition_Width = Transition_Height = 1.0;
            Grow_Pending = 1;
            Transition_Mode = NO_TRANSITION;
            Display_A_Random_Setting();
        }
        if (Transition_Width < 1.0) Transition_Width = 1.0;
        if (Transition_Height < 1.0) Transition_Height = 1.0;
    } else if (Transition_Mode == TRANSITION_GROW) {
        Transition_Width += aspect * step;
        Transition_Height += step;
        if (Transition_Width > full_width && Transition_Height > full_height) {
            Transition_Width = full_width;
            Transition_Height = full_height;
            Transition_Mode = NO_TRANSITION;
        }
        if (Transition_Width > full_width) Transition_Width = full_width;
        if (Transition_Height > full_height) Transition_Height = full_height;
    }

    if (!Scratch_Pad && !Setup_Scratch_Pad()) {
        Report_Error("Display_Transition(): Setup_Scratch_Pad() FAILED");
        return 0;
    }
    if (!Clear(Scratch_Pad)) {
        Report_Error("Display_Transition(): Setup_Scratch_Pad() FAILED");
        return 0;
    }
    const int w = static_cast<int>(Transition_Width);
    const int h = static_cast<int>(Transition_Height);
    const int x0 = static_cast<int>((full_width - w) / 2);
    const int y0 = static_cast<int>((full_height - h) / 2);
    if (!kaleidoscope) {
        if (!Fast_Blit(Hidden, Scratch_Pad, x0, y0, x0, y0, w, h)) {
            Report_Error("Display_Transition(): Fast_Blit 1 () FAILED");
            return 0;
        }
        if (!Fast_Blit(Scratch_Pad, Hidden, 0, 0, 0, 0, Client_Width, Client_Height)) {
            Report_Error("Display_Transition(): Fast_Blit 2 () FAILED");
            return 0;
        }
    } else {
        if (!Clip_Blit(Hidden, Scratch_Pad, x0, y0, x0, y0, w, h)) {
            Report_Error("Display_Transition(): Clip_Blit 1 () FAILED");
            return 0;
        }
        if (!Clip_Blit(Scratch_Pad, Hidden, 0, 0, 0, 0, 2 * k, 2 * k)) {
            Report_Error("Display_Transition(): Clip_Blit 2 () FAILED");
            return 0;
        }
    }
    if (Transition_Mode == NO_TRANSITION) Release_Scratch_Pad();
    return 1;
}
