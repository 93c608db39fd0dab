#include "slides/slides.h"

#include <cmath>
#include <cstdlib>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "plasma/plasma.h"
#include "presets/plasma_settings.h"
#include "slides/object_queue.h"
#include "slides/objects.h"
#include "slides/sine_wave.h"
#include "surface/blit.h"
#include "surface/colour.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"


namespace {

const Once_Log setup_log;
const Once_Log draw_log;

// Truncation toward zero of a double that may be far outside int range (preset files).
int Trunc_Int(double value) {
    if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(value);
}

// A position one slide away from the scroll position. A damaged preset can drive the scroll
// position to the end of the int range; the sum then wraps as the processor's add does.
int Slide_Away(int position, int width) {
    return static_cast<int>(static_cast<uint32_t>(position) + static_cast<uint32_t>(width));
}

bool Lost(Surface surface) { return surface->IsLost() == DDERR_SURFACELOST; }

// Restores a lost surface; false when it stays lost.
bool Restored(Surface surface) { return !Lost(surface) || surface->Restore() == DD_OK; }

uint8_t Step_Towards(uint8_t value, uint8_t target) {
    if (value < target) return static_cast<uint8_t>(value + 1);
    if (value > target) return static_cast<uint8_t>(value - 1);
    return value;
}

// The end lightness of a variable gradient: far enough from the start, and the farthest
// reachable value when the draws keep missing (small brightness, start near its middle).
uint8_t Draw_End_Lightness(App& app, uint8_t start, int brightness) {
    const int range = brightness < 0 ? 0 : (brightness > 32767 ? 32768 : brightness + 1);
    for (int draw = 0; draw < Max_Lightness_Draws; ++draw) {
        const uint8_t end = static_cast<uint8_t>(Random_Remainder(app, range));
        if (std::abs(end - start) > 32) return end;
    }
    const int top = brightness < 0 ? 0 : (brightness > 255 ? 255 : brightness);
    return static_cast<uint8_t>(start >= top - start ? 0 : top);
}

void Begin_Gradient(Session& s, int x, int width, int carry, int variable) {
    GRADIENT_STATE& g = s.slides.Gradient_State;
    const int brightness = s.Plasma_Settings.gradient_brightness;
    g.start_hue = carry ? g.last_end_hue : static_cast<uint8_t>(Random(s.app) % 256);
    do {
        g.end_hue = static_cast<uint8_t>(Random(s.app) % 256);
    } while (std::abs(g.end_hue - g.start_hue) < 32);
    if (variable == 1) {
        g.start_lightness = g.last_end_lightness;
        g.end_lightness = Draw_End_Lightness(s.app, g.start_lightness, brightness);
    } else if (variable == 0) {
        g.start_lightness = static_cast<uint8_t>(brightness & 0xFF);
        g.end_lightness = g.start_lightness;
    }
    const int hue_distance = std::abs(g.start_hue - g.end_hue);
    g.hue_interval = width / hue_distance;
    if (g.hue_interval < 1) g.hue_interval = 1;
    const int light_distance = std::abs(g.start_lightness - g.end_lightness);
    g.lightness_interval = light_distance ? width / light_distance : width;
    if (g.lightness_interval < 1) g.lightness_interval = 1;
    g.hue = g.start_hue;
    g.saturation = 100;
    g.lightness = g.start_lightness;
    g.column = x;
    g.done = 0;
}

// Objects of the slide at this place in the order, after its background.
int Draw_Slide_Objects(Session& s, int order_first, int order_second, bool second, const char* failed) {
    if (!Draw_All_Objects_Ex(s, s.slides.Colour_Slides[s.slides.Slide_Order[order_first]]) ||
        (second && !Draw_All_Objects_Ex(s, s.slides.Colour_Slides[s.slides.Slide_Order[order_second]]))) {
        Report_Error(s.app, failed);
        return 0;
    }
    return 1;
}

double Scroll_Step(Session& s) {
    return s.Plasma_Settings.ignore_fps ? s.slides.Setup_Slide_Speed * 0.1f : s.slides.Setup_Slide_Speed * s.display.frame_seconds;
}

int Frame_Budget(Session& s) { return Trunc_Int(s.display.frame_seconds * s.Plasma_Settings.slide_speed + 2.0); }

}  // namespace

int Setup_Colour_Slides(Session& s, int w, int h, double speed) {
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    setup_log.enter(s.app, "Entering Setup_Colour_Slides");
    s.queue.Objects_Animate = 0;
    s.queue.Objects_Move = 0;
    s.slides.Gradient_State.done = 1;
    if (s.slides.Slides_Ready || s.slides.Colour_Slides[0] || s.slides.Colour_Slides[1] || s.slides.Colour_Slides[2]) return 0;
    if (w < 1 || h < 1) {
        Report_Errorf(s.app, "Setup_Colour_Slides(): INVALID width %d height %d", w, h);
        return 0;
    }
    if (s.app.Objects_Loaded == 0 && !Load_All_Objects(s.display)) {
        Report_Errorf(s.app, "Setup_Colour_Slides(): INVALID Number of Objects Loaded %d", s.app.Objects_Loaded);
        return 0;
    }
    s.slides.Slide_Width = w;
    s.slides.Slide_Height = h;
    s.slides.Setup_Slide_Speed = speed;
    s.slides.Scroll_X = s.slides.Scroll_Y = 0.0f;
    for (int slide = 0; slide < 3; ++slide) {
        s.slides.Slide_Order[slide] = slide;
        if (!Create_SYSTEM_Surface(s.display, &s.slides.Colour_Slides[slide], w, h)) {
            Report_Errorf(s.app, "Setup_Colour_Slides():Error Creating slide # %d\nwidth %d height %d", slide, w, h);
            return 0;
        }
        if (p.background == 2 && !Partial_HLS_Gradient(s, s.slides.Colour_Slides[slide], 0, 0, w, h, 1, p.gradient_variable, h)) {
            Report_Error(s.app, "Setup_Colour_Slides(): Partial_HLS_Gradient FAILED");
            return 0;
        }
    }
    int j = 0;
    for (int t = 0; t < s.app.Objects_Loaded && t < MAX_OBJECTS; ++t) {
        if (p.object_selected[t] != 1) continue;
        const int count = Object_Count(s, t);
        for (int copy = 0; copy < count; ++copy) {
            if (!Enqueue_Objects(s, t, s.slides.Colour_Slides[j])) {
                Report_Errorf(s.app, "Setup_Colour_Slides(): Enqueue_Objects_Ex FAILED i %d j %d", t, copy);
                return 0;
            }
            if (p.slide_speed > 0) j = (j + 1) % 3;
        }
    }
    if (!Shuffle_Objects_Queue(s, 25)) {
        Report_Error(s.app, "Setup_Colour_Slides(): Shuffle_Objects_Queue FAILED");
        return 0;
    }
    for (int slide = 0; slide < 3; ++slide)
        if (!Paint_On_Slide(s, slide)) Report_Errorf(s.app, "Setup_Colour_Slides():Paint_On_Slide(%d) FAILED", slide);
    s.slides.Zone_Countdown = 0;
    s.slides.Slides_Ready = 1;
    setup_log.exit(s.app, "Exitting Setup_Colour_Slides");
    return 1;
}

int Free_Colour_Slides(Session& s) {
    Empty_Objects_Queue(s);
    for (Surface& slide : s.slides.Colour_Slides) Release_Surface(&slide);
    s.slides.Slides_Ready = 0;
    return 1;
}

int Paint_On_Slide(Session& s, int index) {
    if (index < 0 || index > 2) return 0;
    Surface slide = s.slides.Colour_Slides[index];
    if (!slide || !Restored(slide)) return 0;
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    const int W = s.slides.Slide_Width, H = s.slides.Slide_Height;
    switch (p.background) {
    case 0: Clear(s.display, slide); break;
    case 2:
        if (s.slides.Gradient_State.done == 0 && !Partial_HLS_Gradient(s, slide, 0, 0, W, H, 1, p.gradient_variable, H)) return 0;
        break;
    case 3:
        if (!Draw_Plasma(s, slide, 0, 0)) {
            Report_Error(s.app, "Draw_Kaleidoscope():Unable to draw plasma");
            return 0;
        }
        break;
    default: break;
    }
    if (p.slide_speed != 0 && p.zone_duration != 0) {
        --s.slides.Zone_Countdown;
        if (s.slides.Zone_Countdown > 0) {
            Zone_Slide_Objects(s, slide, W, H, s.slides.Zone_Type, s.slides.Zone_Frame);
        } else {
            Mix_Slide_Objects(s, slide, W, H);
            const int frequency = p.zone_frequency;
            const int range = frequency < 0 ? 0 : (frequency > 32767 ? 32768 : frequency + 1);
            if (Random_Remainder(s.app, range) == 0 && Pick_Zone_Object(s, &s.slides.Zone_Type, &s.slides.Zone_Frame)) {
                s.slides.Zone_Countdown = Random(s.app) % (p.zone_duration > 1 ? p.zone_duration : 1);
                Zone_Slide_Objects(s, slide, W, H, s.slides.Zone_Type, s.slides.Zone_Frame);
            }
        }
        Draw_All_Objects_Ex(s, slide);
        return 1;
    }
    Scatter_Objects(s, slide, W, H);
    return 1;
}

int Restore_All_Lost_Slides(Session& s) {
    for (int slide = 0; slide < 3; ++slide) {
        if (!s.slides.Colour_Slides[slide] || !Lost(s.slides.Colour_Slides[slide])) continue;
        if (s.slides.Colour_Slides[slide]->Restore() != DD_OK) return 0;
        if (!Paint_On_Slide(s, slide)) {
            Report_Errorf(s.app, "Restore_All_Lost_Slides(): Paint_On_Slide %d FAILED", slide);
            return 0;
        }
    }
    return 1;
}

int Partial_HLS_Gradient(Session& s, Surface surface, int x, int y, int width, int height, int carry, int variable,
                         int budget) {
    if (s.Plasma_Settings.background != 2) return 1;
    if (!surface) return 0;
    GRADIENT_STATE& g = s.slides.Gradient_State;
    if (g.done == 1) Begin_Gradient(s, x, width, carry, variable);
    HDC dc = nullptr;
    if (surface->GetDC(&dc) != DD_OK) {
        Report_Error(s.app, "Partial_HLS_Gradient() Unable to Acquire device context from surface");
        return 0;
    }
    for (int step = 0; step < budget; ++step) {
        const COLORREF colour = HLS_To_RGB(g.hue, g.lightness, 100);
        for (int row = y; row < y + height; ++row) {
            if (SetPixel(dc, g.column, row, colour) == static_cast<COLORREF>(-1)) {
                Report_Errorf(s.app, "Partial_HLS_Gradient:set pixel failed at x%d y%d\nwidth = %d height = %d", g.column, row,
                              width, height);
                surface->ReleaseDC(dc);
                return 0;
            }
        }
        if (g.column % g.hue_interval == 0) g.hue = Step_Towards(g.hue, g.end_hue);
        if (variable == 1 && g.column % g.lightness_interval == 0) g.lightness = Step_Towards(g.lightness, g.end_lightness);
        if (++g.column >= x + width) {
            surface->ReleaseDC(dc);
            g.done = 1;
            g.last_end_hue = g.end_hue;
            g.last_end_lightness = g.end_lightness;
            return 1;
        }
    }
    surface->ReleaseDC(dc);
    return 0;
}

int Rotate_Slides_Left(Session& s) {
    const int first = s.slides.Slide_Order[0];
    s.slides.Slide_Order[0] = s.slides.Slide_Order[1];
    s.slides.Slide_Order[1] = s.slides.Slide_Order[2];
    s.slides.Slide_Order[2] = first;
    return 1;
}

int Rotate_Slides_Right(Session& s) {
    const int last = s.slides.Slide_Order[2];
    s.slides.Slide_Order[2] = s.slides.Slide_Order[1];
    s.slides.Slide_Order[1] = s.slides.Slide_Order[0];
    s.slides.Slide_Order[0] = last;
    return 1;
}

int Draw_Slides(Session& s, Surface dest, int x0, int y0) {
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    int mode = p.slide_speed <= 0 ? 0 : p.slide_direction;
    if (!s.slides.Slides_Ready) return 0;
    draw_log.enter(s.app, "Entering Draw_Slides");
    const int W = s.slides.Slide_Width;
    if (mode == 2 || mode == 3) {
        s.slides.Direction_Timer += s.display.frame_seconds;
        if (std::trunc(s.slides.Direction_Timer) > p.direction_change_frequency) {
            const int scroll = Trunc_Int(s.slides.Scroll_X);
            const bool boundary = s.slides.Sliding_Right ? scroll >= W + x0 : Slide_Away(scroll, W) < x0;
            if (boundary) {
                s.slides.Sliding_Right = !s.slides.Sliding_Right;
                if (mode == 2) {
                    s.slides.Direction_Timer = 0.0;
                } else {
                    const int half = p.direction_change_frequency / 2;
                    s.slides.Direction_Timer = Random(s.app) % (half > 1 ? half : 1);
                }
            }
        }
        mode = s.slides.Sliding_Right ? 1 : 0;
    } else if (mode != 1) {
        mode = 0;  // directions outside the list slide in
    }
    if (mode == 1) {
        if (!Draw_Slides_Right(s, dest, x0, y0)) {
            Report_Error(s.app, "Draw_Slides(): Draw_Slides_Right FAILED");
            return 0;
        }
    } else if (!Draw_Slides_Left(s, dest, x0, y0)) {
        Report_Error(s.app, "Draw_Slides(): Draw_Slides_Left FAILED");
        return 0;
    }
    draw_log.exit(s.app, "Exitting Draw_Slides");
    return 1;
}

int Draw_Slides_Left(Session& s, Surface dest, int x0, int y0) {
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    if (!s.slides.Slides_Ready || !Restore_All_Lost_Slides(s) || !dest || !Restored(dest)) return 0;
    const int W = s.slides.Slide_Width, H = s.slides.Slide_Height;
    if (s.slides.Gradient_State.done == 0)
        Partial_HLS_Gradient(s, s.slides.Colour_Slides[s.slides.Slide_Order[2]], 0, 0, W, H, 1, p.gradient_variable, Frame_Budget(s));

    switch (p.background) {
    case 4:
        if (!Draw_Plasma(s, s.slides.Colour_Slides[s.slides.Slide_Order[0]], 0, 0)) {
            Report_Error(s.app, "Draw_Slides_LeftUnable to draw plasma");
            return 0;
        }
        if (p.slide_speed != 0 && !Draw_Plasma(s, s.slides.Colour_Slides[s.slides.Slide_Order[1]], 0, 0)) {
            Report_Error(s.app, "Draw_Slides_Left:Unable to draw plasma");
            return 0;
        }
        if (!Draw_Slide_Objects(s, 0, 1, p.slide_speed != 0, "Draw_Slides_Left: Draw_All_Objects_Ex FAILED")) return 0;
        break;
    case 5:
        if (!Sine_Wave(s, s.slides.Colour_Slides[s.slides.Slide_Order[0]], W, H)) {
            Report_Error(s.app, "Draw_Slides_Left SIN WAVE to slide 0 FAILED");
            return 0;
        }
        if (p.slide_speed != 0 && !Sine_Wave(s, s.slides.Colour_Slides[s.slides.Slide_Order[1]], W, H)) {
            Report_Error(s.app, "Draw_Slides_Left SIN WAVE to slide 1 FAILED");
            return 0;
        }
        if (!Draw_Slide_Objects(s, 0, 1, p.slide_speed != 0, "Draw_Slides_Left: Draw_All_Objects_Ex FAILED")) return 0;
        break;
    default:
        if (s.queue.Objects_Move || s.queue.Objects_Animate) {
            if (p.background == 0) {
                Clear(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[0]]);
                Clear(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[1]]);
            }
            if (!Draw_Slide_Objects(s, 0, 1, p.slide_speed > 0, "Draw_Slides_Left: Draw_All_Objects_Ex FAILED")) return 0;
        }
        break;
    }

    if (Slide_Away(Trunc_Int(s.slides.Scroll_X), W) < x0) {
        s.slides.Scroll_X = static_cast<float>(s.slides.Scroll_X + W);
        if (!Paint_On_Slide(s, s.slides.Slide_Order[2])) {
            Report_Error(s.app, "Draw_Slides_Left(): Paint On Slide FAILED");
            return 0;
        }
        Rotate_Slides_Left(s);
        Partial_HLS_Gradient(s, s.slides.Colour_Slides[s.slides.Slide_Order[2]], 0, 0, W, H, 1, p.gradient_variable, 1);
    }
    if ((p.fade_light || p.fade_hue || p.fade_saturation) &&
        !Fade(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[0]], x0, y0, W, H, p.fade_light, p.fade_hue, p.fade_saturation)) {
        Report_Error(s.app, "Draw_Slides_Left(): Fade FAILED");
        return 0;
    }
    if (!Clip_Blit(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[0]], dest, 0, 0, Trunc_Int(s.slides.Scroll_X), Trunc_Int(s.slides.Scroll_Y), W, H)) {
        Report_Error(s.app, "Draw_Slides_Left(): Clip Blit 1 FAILED");
        return 0;
    }
    if (p.slide_speed > 0 &&
        !Clip_Blit(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[1]], dest, 0, 0, Slide_Away(Trunc_Int(s.slides.Scroll_X), W), Trunc_Int(s.slides.Scroll_Y), W, H)) {
        Report_Error(s.app, "Draw_Slides_Left(): Clip Blit 2 FAILED");
        return 0;
    }
    s.slides.Scroll_X = static_cast<float>(s.slides.Scroll_X - Scroll_Step(s));
    return 1;
}

int Draw_Slides_Right(Session& s, Surface dest, int x0, int y0) {
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    if (!s.slides.Slides_Ready || !Restore_All_Lost_Slides(s) || !dest || !Restored(dest)) return 0;
    const int W = s.slides.Slide_Width, H = s.slides.Slide_Height;
    if (s.slides.Gradient_State.done == 0)
        Partial_HLS_Gradient(s, s.slides.Colour_Slides[s.slides.Slide_Order[0]], 0, 0, W, H, 1, p.gradient_variable, Frame_Budget(s));

    switch (p.background) {
    case 4:
        if (!Draw_Plasma(s, s.slides.Colour_Slides[s.slides.Slide_Order[1]], 0, 0) ||
            (p.slide_speed != 0 && !Draw_Plasma(s, s.slides.Colour_Slides[s.slides.Slide_Order[2]], 0, 0))) {
            Report_Error(s.app, "Draw_Kaleidoscope():Unable to draw plasma");
            return 0;
        }
        if (!Draw_Slide_Objects(s, 1, 2, p.slide_speed != 0, "Draw_Slides_Right: Draw_All_Objects_Ex FAILED")) return 0;
        break;
    case 5:
        if (!Sine_Wave(s, s.slides.Colour_Slides[s.slides.Slide_Order[1]], W, H)) {
            Report_Error(s.app, "Draw_Slides_Right SIN WAVE to slide 1 FAILED");
            return 0;
        }
        if (p.slide_speed != 0 && !Sine_Wave(s, s.slides.Colour_Slides[s.slides.Slide_Order[2]], W, H)) {
            Report_Error(s.app, "Draw_Slides_Right SIN WAVE to slide 2 FAILED");
            return 0;
        }
        if (!Draw_Slide_Objects(s, 1, 2, p.slide_speed != 0, "Draw_Slides_Right: Draw_All_Objects_Ex FAILED")) return 0;
        break;
    default:
        if (s.queue.Objects_Move || s.queue.Objects_Animate) {
            if (p.background == 0) {
                Clear(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[1]]);
                Clear(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[2]]);
            }
            if (!Draw_Slide_Objects(s, 1, 2, p.slide_speed != 0, "Draw_Slides_Right: Draw_All_Objects_Ex FAILED")) return 0;
        }
        break;
    }

    if (Trunc_Int(s.slides.Scroll_X) >= W + x0) {
        s.slides.Scroll_X = static_cast<float>(s.slides.Scroll_X - W);
        Paint_On_Slide(s, s.slides.Slide_Order[0]);
        Rotate_Slides_Right(s);
        Partial_HLS_Gradient(s, s.slides.Colour_Slides[s.slides.Slide_Order[0]], 0, 0, W, H, 1, p.gradient_variable, 1);
    }
    if ((p.fade_light || p.fade_hue || p.fade_saturation) &&
        !Fade(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[2]], x0, y0, W, H, p.fade_light, p.fade_hue, p.fade_saturation)) {
        Report_Error(s.app, "Draw_Slides_Right(): Fade FAILED");
        return 0;
    }
    if (!Clip_Blit(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[2]], dest, 0, 0, Trunc_Int(s.slides.Scroll_X), Trunc_Int(s.slides.Scroll_Y), W, H) ||
        !Clip_Blit(s.display, s.slides.Colour_Slides[s.slides.Slide_Order[1]], dest, 0, 0, Slide_Away(Trunc_Int(s.slides.Scroll_X), -W), Trunc_Int(s.slides.Scroll_Y), W, H))
        return 0;
    s.slides.Scroll_X = static_cast<float>(s.slides.Scroll_X + Scroll_Step(s));
    return 1;
}
