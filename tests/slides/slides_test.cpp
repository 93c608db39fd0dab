#include "slides_support.h"

#include "kaleidoscope/kaleidoscope.h"
#include "platform/gdi/gdi.h"
#include "surface/display.h"
#include "session/session.h"

namespace {

void Expect_Order(Session& s, int a, int b, int c) {
    EXPECT_EQ(s.slides.Slide_Order[0], a);
    EXPECT_EQ(s.slides.Slide_Order[1], b);
    EXPECT_EQ(s.slides.Slide_Order[2], c);
}

}  // namespace

TEST_F(Slides_Test, SetupRefusals) {
    Make_Object(0, 8, 2);
    Defaults();
    EXPECT_EQ(Setup_Colour_Slides(s, 0, 128, 10.0), 0);
    EXPECT_EQ(Take_Reports(), std::vector<std::string>{"Setup_Colour_Slides(): INVALID width 0 height 128"});

    ASSERT_EQ(Setup_Colour_Slides(s, 64, 64, 10.0), 1);
    EXPECT_EQ(s.slides.Slides_Ready, 1);
    Expect_Order(s, 0, 1, 2);
    EXPECT_EQ(Objects_Queue_Length(s), 1);
    EXPECT_EQ(Setup_Colour_Slides(s, 64, 64, 10.0), 0);  // still set up: silent
    EXPECT_TRUE(Take_Reports().empty());
    Free_Colour_Slides(s);
    EXPECT_EQ(s.slides.Slides_Ready, 0);
    EXPECT_EQ(s.slides.Colour_Slides[0], nullptr);
    EXPECT_EQ(Objects_Queue_Length(s), 0);

    // A gradient is painted at most one slide height of columns at set-up.
    s.Plasma_Settings.background = 2;
    EXPECT_EQ(Setup_Colour_Slides(s, 64, 32, 10.0), 0);
    EXPECT_EQ(Take_Reports(), std::vector<std::string>{"Setup_Colour_Slides(): Partial_HLS_Gradient FAILED"});
}

TEST_F(Slides_Test, ObjectsAreDealtRoundTheSlidesAndClampedPerType) {
    Make_Object(0, 8, 2);
    Make_Object(1, 8, 2);
    Defaults();
    s.Plasma_Settings.object_count[0] = 4;
    s.Plasma_Settings.object_count[1] = 1000000;  // from a broken file: 200 copies
    ASSERT_EQ(Setup_Colour_Slides(s, 64, 64, 10.0), 1);
    EXPECT_EQ(Objects_Queue_Length(s), 204);
    int on[3] = {0, 0, 0};
    for (const Object_Node& node : s.queue.Objects_Queue)
        for (int k = 0; k < 3; ++k) on[k] += node.slide == s.slides.Colour_Slides[k];
    EXPECT_EQ(on[0], 68);
    EXPECT_EQ(on[1], 68);
    EXPECT_EQ(on[2], 68);

    // Still slides: every object on slide 0.
    Free_Colour_Slides(s);
    s.Plasma_Settings.slide_speed = 0.0;
    ASSERT_EQ(Setup_Colour_Slides(s, 64, 64, 0.0), 1);
    for (const Object_Node& node : s.queue.Objects_Queue) ASSERT_EQ(node.slide, s.slides.Colour_Slides[0]);
}

TEST_F(Slides_Test, ScrollFallsOnePixelPerFrameAndWrapsAtMinus129) {
    Make_Object(0, 8, 2);
    Defaults();
    s.Plasma_Settings.slide_speed = 10.0;
    s.Plasma_Settings.ignore_fps = 1;
    ASSERT_EQ(Setup_Colour_Slides(s, 128, 96, 10.0), 1);
    for (int frame = 1; frame <= 129; ++frame) {
        ASSERT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1);
        ASSERT_EQ(s.slides.Scroll_X, static_cast<float>(-frame));
    }
    Expect_Order(s, 0, 1, 2);  // trunc(-128) + 128 is not below 0
    ASSERT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1);  // starts at -129: the wrap
    Expect_Order(s, 1, 2, 0);
    EXPECT_EQ(s.slides.Scroll_X, -2.0f);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Slides_Test, AlternateTurnsAtTheFirstBoundaryTwoSecondsOn) {
    Make_Object(0, 8, 2);
    Defaults();
    s.Plasma_Settings.slide_speed = 10.0;
    s.Plasma_Settings.ignore_fps = 1;
    s.Plasma_Settings.slide_direction = 2;
    s.Plasma_Settings.direction_change_frequency = 1;
    ASSERT_EQ(Setup_Colour_Slides(s, 16, 16, 10.0), 1);
    s.display.frame_seconds = 0.0625;
    // Frame 18 reaches the boundary after 1.125 s: an ordinary wrap. Frame 34 reaches the
    // next one after 2.125 s: the turn, without a wrap.
    for (int frame = 1; frame <= 33; ++frame) ASSERT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1);
    Expect_Order(s, 1, 2, 0);
    EXPECT_EQ(s.slides.Sliding_Right, 0);
    EXPECT_EQ(s.slides.Scroll_X, -17.0f);
    ASSERT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1);
    EXPECT_EQ(s.slides.Sliding_Right, 1);
    EXPECT_EQ(s.slides.Direction_Timer, 0.0);
    Expect_Order(s, 1, 2, 0);
    EXPECT_EQ(s.slides.Scroll_X, -16.0f);
    // Moving right the boundary is trunc(Scroll_X) >= 16, 32 frames on (2.0625 s): turn again.
    for (int frame = 35; frame <= 66; ++frame) ASSERT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1);
    EXPECT_EQ(s.slides.Sliding_Right, 1);
    ASSERT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1);
    EXPECT_EQ(s.slides.Sliding_Right, 0);
    Expect_Order(s, 1, 2, 0);
}

TEST_F(Slides_Test, GradientStepsItsHueAndBoundsItsLightnessDraws) {
    Defaults();
    s.Plasma_Settings.background = 2;
    Surface slide = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &slide, 128, 8), 1);
    s.slides.Gradient_State.done = 1;
    s.slides.Gradient_State.last_end_hue = 10;
    s.Plasma_Settings.gradient_brightness = 200;
    Seed_Random(s.app, Seed_For_First(256, 200));
    EXPECT_EQ(Partial_HLS_Gradient(s, slide, 0, 0, 128, 8, 1, 0, 127), 0);  // one column short
    EXPECT_EQ(Partial_HLS_Gradient(s, slide, 0, 0, 128, 8, 1, 0, 5), 1);
    EXPECT_EQ(s.slides.Gradient_State.hue_interval, 1);  // 128 / 190
    EXPECT_EQ(s.slides.Gradient_State.hue, 138);
    EXPECT_EQ(s.slides.Gradient_State.done, 1);
    EXPECT_EQ(s.slides.Gradient_State.last_end_hue, 200);
    // Column 0: hue 10, lightness 200, saturation 100 -> red 224, green 191, blue 181.
    for (int y = 0; y < 8; ++y) EXPECT_EQ(Peek(slide, 0, y), Colour_To_Pixel(slide, 0x00B5BFE0u));

    // Not a gradient background: nothing to do, finished.
    s.Plasma_Settings.background = 0;
    EXPECT_EQ(Partial_HLS_Gradient(s, nullptr, 0, 0, 128, 8, 1, 0, 5), 1);

    // Brightness 64 from lightness 32: no value lies more than 32 away; the draws stop and
    // the farther end (0) is taken.
    s.Plasma_Settings.background = 2;
    s.Plasma_Settings.gradient_brightness = 64;
    s.slides.Gradient_State.last_end_lightness = 32;
    EXPECT_EQ(Partial_HLS_Gradient(s, slide, 0, 0, 128, 8, 1, 1, 1), 0);
    EXPECT_EQ(s.slides.Gradient_State.start_lightness, 32);
    EXPECT_EQ(s.slides.Gradient_State.end_lightness, 0);
    Release_Surface(&slide);
}

TEST_F(Slides_Test, EveryBackgroundDrawsBothDirections) {
    Make_Object(0, 8, 2);
    Make_Object(1, 4, 32);
    Defaults();
    s.Plasma_Settings.kaleidoscope_on = 1;
    s.Plasma_Settings.slide_speed = 40.0;
    s.Plasma_Settings.ignore_fps = 1;
    s.Plasma_Settings.zone_duration = 3;
    s.Plasma_Settings.zone_frequency = 0;
    s.Plasma_Settings.object_speed[0] = 20.0;
    s.Plasma_Settings.object_animation_speed[1] = 5.0;
    s.Plasma_Settings.sine_passes = 2;
    s.Plasma_Settings.sine_amplitude = 20;
    s.Plasma_Settings.sine_variance = 5;
    s.Plasma_Settings.sine_band_width = 8;
    s.Plasma_Settings.fade_light = 3;
    ASSERT_EQ(Modify_Plasma(s, Plasma_Parameter::Kaleidoscope_On, 1.0f, 0), 1);
    for (int background = 0; background <= 5; ++background) {
        for (int direction = 0; direction <= 1; ++direction) {
            s.Plasma_Settings.background = background;
            s.Plasma_Settings.slide_direction = direction;
            s.Plasma_Settings.blend_mode = (background + direction) % 3;
            Free_Colour_Slides(s);
            ASSERT_EQ(Setup_Colour_Slides(s, 48, 48, 40.0), 1) << background;
            for (int frame = 0; frame < 30; ++frame)
                ASSERT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1) << background << " " << direction << " " << frame;
        }
    }
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Slides_Test, ScrollAtTheEndOfTheIntRangeStillDraws) {
    // A damaged preset's speed can carry the scroll position past the int range in either
    // direction; the neighbouring slide's position then wraps instead of overflowing.
    Make_Object(0, 8, 2);
    Defaults();
    s.Plasma_Settings.slide_speed = 10.0;
    s.Plasma_Settings.ignore_fps = 1;
    for (int direction : {0, 1, 2}) {
        SCOPED_TRACE(direction);
        s.Plasma_Settings.slide_direction = direction;
        ASSERT_EQ(Setup_Colour_Slides(s, 32, 32, 10.0), 1);
        for (float far : {-3e9f, 3e9f, -2147483648.0f}) {
            s.slides.Scroll_X = far;
            EXPECT_EQ(Draw_Slides(s, s.display.Hidden, 0, 0), 1);
        }
        Free_Colour_Slides(s);
    }
    EXPECT_TRUE(Take_Reports().empty());
}
