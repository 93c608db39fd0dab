#include "text/transition.h"

#include "diagnostics/diagnostics.h"
#include "kaleidoscope/kaleidoscope.h"
#include "presets/plasma_settings.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "session/session.h"


int Set_Transition_Mode(Session& s, int mode) {
    if (mode == s.transition.Transition_Mode) return 1;
    switch (mode) {
    case NO_TRANSITION:
        s.transition.Transition_Mode = NO_TRANSITION;
        return 1;
    case TRANSITION_GROW:
        if (s.transition.Transition_Mode != TRANSITION_SHRINK) s.transition.Transition_Width = s.transition.Transition_Height = 1.0;
        s.transition.Transition_Mode = TRANSITION_GROW;
        return 1;
    case TRANSITION_SHRINK:
        if (s.transition.Transition_Mode != TRANSITION_GROW) {
            s.transition.Transition_Width = s.display.Client_Width;
            s.transition.Transition_Height = s.display.Client_Height;
        }
        s.transition.Transition_Mode = TRANSITION_SHRINK;
        return 1;
    default:
        Report_Errorf(s.app, "Set_Transition_Mode(): INVALID mode %d", mode);
        s.transition.Transition_Mode = NO_TRANSITION;
        return 0;
    }
}

int Display_Transition(Session& s, double rate) {
    if (s.transition.Transition_Mode == NO_TRANSITION) {
        if (!s.transition.Grow_Pending) return 1;
        s.transition.Grow_Pending = 0;
        s.transition.Transition_Mode = TRANSITION_GROW;
        if (!Clear(s.display, s.display.Hidden)) {
            Report_Error(s.app, "Display_Transition(): Clear in NO_TRANSITION FAILED");
            return 0;
        }
        if (s.Plasma_Settings.kaleidoscope_on && !s.Plasma_Settings.kaleidoscope_stretch && !Clear(s.display, s.display.Visible)) {
            Report_Error(s.app, "Display_Transition(): Clear Visible in NO_TRANSITION FAILED");
            return 0;
        }
        return 1;
    }

    // The view: the drawing area, or the kaleidoscope's 2K x 2K pattern.
    const bool kaleidoscope = s.Plasma_Settings.kaleidoscope_on != 0;
    const int k = Kaleidoscope_Segment_Size(s);
    const double full_width = kaleidoscope ? 2.0 * k : s.display.Client_Width;
    const double full_height = kaleidoscope ? 2.0 * k : s.display.Client_Height;
    const double aspect = kaleidoscope ? 1.0 : (s.display.Client_Height ? static_cast<double>(s.display.Client_Width) / s.display.Client_Height : 1.0);
    double step = s.Plasma_Settings.ignore_fps ? static_cast<double>(s.journey.Running_Transition_Speed) : s.display.frame_seconds * rate;

    if (s.transition.Transition_Mode == TRANSITION_SHRINK) {
        if (s.Plasma_Settings.ignore_fps && s.transition.Transition_Width < 16.0 && s.transition.Transition_Height < 16.0) step = 2.0;
        s.transition.Transition_Width -= aspect * step;
        s.transition.Transition_Height -= step;
        if (s.transition.Transition_Width < 1.0 && s.transition.Transition_Height < 1.0) {
            s.transition.Transition_Width = s.transition.Transition_Height = 1.0;
            s.transition.Grow_Pending = 1;
            s.transition.Transition_Mode = NO_TRANSITION;
            s.link->next_preset(s);
        }
        if (s.transition.Transition_Width < 1.0) s.transition.Transition_Width = 1.0;
        if (s.transition.Transition_Height < 1.0) s.transition.Transition_Height = 1.0;
    } else if (s.transition.Transition_Mode == TRANSITION_GROW) {
        s.transition.Transition_Width += aspect * step;
        s.transition.Transition_Height += step;
        if (s.transition.Transition_Width > full_width && s.transition.Transition_Height > full_height) {
            s.transition.Transition_Width = full_width;
            s.transition.Transition_Height = full_height;
            s.transition.Transition_Mode = NO_TRANSITION;
        }
        if (s.transition.Transition_Width > full_width) s.transition.Transition_Width = full_width;
        if (s.transition.Transition_Height > full_height) s.transition.Transition_Height = full_height;
    }

    if (!s.display.Scratch_Pad && !Setup_Scratch_Pad(s.display)) {
        Report_Error(s.app, "Display_Transition(): Setup_Scratch_Pad() FAILED");
        return 0;
    }
    if (!Clear(s.display, s.display.Scratch_Pad)) {
        Report_Error(s.app, "Display_Transition(): Setup_Scratch_Pad() FAILED");
        return 0;
    }
    const int w = static_cast<int>(s.transition.Transition_Width);
    const int h = static_cast<int>(s.transition.Transition_Height);
    const int x0 = static_cast<int>((full_width - w) / 2);
    const int y0 = static_cast<int>((full_height - h) / 2);
    if (!kaleidoscope) {
        if (!Fast_Blit(s.display, s.display.Hidden, s.display.Scratch_Pad, x0, y0, x0, y0, w, h)) {
            Report_Error(s.app, "Display_Transition(): Fast_Blit 1 () FAILED");
            return 0;
        }
        if (!Fast_Blit(s.display, s.display.Scratch_Pad, s.display.Hidden, 0, 0, 0, 0, s.display.Client_Width, s.display.Client_Height)) {
            Report_Error(s.app, "Display_Transition(): Fast_Blit 2 () FAILED");
            return 0;
        }
    } else {
        if (!Clip_Blit(s.display, s.display.Hidden, s.display.Scratch_Pad, x0, y0, x0, y0, w, h)) {
            Report_Error(s.app, "Display_Transition(): Clip_Blit 1 () FAILED");
            return 0;
        }
        if (!Clip_Blit(s.display, s.display.Scratch_Pad, s.display.Hidden, 0, 0, 0, 0, 2 * k, 2 * k)) {
            Report_Error(s.app, "Display_Transition(): Clip_Blit 2 () FAILED");
            return 0;
        }
    }
    if (s.transition.Transition_Mode == NO_TRANSITION) Release_Scratch_Pad(s.display);
    return 1;
}
