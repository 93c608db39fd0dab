#include "slides_support.h"

#include "surface/display.h"
#include "session/session.h"

namespace {

class Queue_Test : public Slides_Test {
protected:
    void SetUp() override {
        Slides_Test::SetUp();
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &slide_, 128, 96), 1);
    }
    void TearDown() override {
        Empty_Objects_Queue(s);
        Release_Surface(&slide_);
        Slides_Test::TearDown();
    }
    Surface slide_ = nullptr;
};

}  // namespace

TEST_F(Queue_Test, EnqueueRefusesBadTypesAndDrawsInOrder) {
    Make_Object(0, 16, 2);
    Defaults();
    s.Plasma_Settings.slide_speed = 10.0;
    s.Plasma_Settings.object_animation_speed[0] = 250.0;  // 2.5 s

    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    Object_Node* const first = &s.queue.Objects_Queue.front();
    EXPECT_EQ(Enqueue_Objects(s, 250, slide_), 0);
    EXPECT_EQ(Enqueue_Objects(s, -1, slide_), 0);
    EXPECT_EQ(Take_Reports(), (std::vector<std::string>{"Enqueue_Objects():Invalid objects_type 250",
                                                        "Enqueue_Objects():Invalid objects_type -1"}));
    EXPECT_EQ(&s.queue.Objects_Queue.front(), first);
    EXPECT_EQ(&s.queue.Objects_Queue.back(), first);
    EXPECT_EQ(Objects_Queue_Length(s), 1);

    // x, y, dx, dy, frame, timer: one draw each while the slides scroll.
    Seed_Random(s.app, 1234);
    Lcg lcg{1234};
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    const Object_Node* node = &s.queue.Objects_Queue.back();
    EXPECT_EQ(node->x, static_cast<float>(lcg.next() % (128 - 16)));
    EXPECT_EQ(node->y, static_cast<float>(lcg.next() % (96 + 32) - 32));
    EXPECT_EQ(node->dx, lcg.next() % 12 - 6);
    EXPECT_EQ(node->dy, lcg.next() % 12 - 6);
    EXPECT_EQ(node->frame, lcg.next() % 2);
    EXPECT_EQ(node->frame_timer, lcg.next() % 2);
    EXPECT_EQ(Random_State(s.app), lcg.state);
    EXPECT_NEAR(node->frame_interval, 2.5, 1e-6);
    EXPECT_EQ(node->animation, ANIMATION_CYCLE);
    EXPECT_EQ(node->slide, slide_);
    EXPECT_EQ(s.queue.Objects_Animate, 1);
    EXPECT_EQ(s.queue.Objects_Move, 0);

    // An object as wide as the slide always starts at x = 0.
    Make_Object(1, 128, 1);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Enqueue_Objects(s, 1, slide_), 1);
        EXPECT_EQ(s.queue.Objects_Queue.back().x, 0.0f);
    }
}

TEST_F(Queue_Test, StillSlidesNeverGetStandingObjects) {
    Make_Object(0, 8, 4);
    Defaults();
    s.Plasma_Settings.slide_speed = 0.5;  // truncates to 0
    Seed_Random(s.app, 99);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    int standing = 0;
    for (const Object_Node& node : s.queue.Objects_Queue) {
        standing += node.dx == 0 && node.dy == 0;
        EXPECT_TRUE(node.dx >= -6 && node.dx <= 5);
    }
    EXPECT_EQ(standing, 0);

    // Scrolling slides carry objects that may stand (1 in 144 pairs).
    Empty_Objects_Queue(s);
    s.Plasma_Settings.slide_speed = 10.0;
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    standing = 0;
    for (const Object_Node& node : s.queue.Objects_Queue) standing += node.dx == 0 && node.dy == 0;
    EXPECT_GT(standing, 0);
}

TEST_F(Queue_Test, MovementTurnsOnlyWhenTheSlideIsLeft) {
    Make_Object(0, 16, 1);
    Defaults();
    s.Plasma_Settings.ignore_fps = 1;
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    Object_Node* node = &s.queue.Objects_Queue.front();
    node->travel_speed = 0.0;
    node->dx = 1;
    node->dy = 0;
    node->y = 10.0f;

    node->x = 127.9f;  // trunc 127 < 128: still on the slide
    const uint32_t before = Random_State(s.app);
    Move_Object(s, node, 128, 96);
    EXPECT_EQ(node->dx, 1);
    EXPECT_EQ(Random_State(s.app), before);

    node->x = 128.0f;  // left on the right: a new direction, never both 0
    Lcg lcg{Random_State(s.app)};
    int dx, dy;
    do {
        dx = lcg.next() % 12 - 6;
        dy = lcg.next() % 12 - 6;
    } while (dx == 0 && dy == 0);
    Move_Object(s, node, 128, 96);
    EXPECT_EQ(node->dx, dx);
    EXPECT_EQ(node->dy, dy);

    // Per-frame steps: travel 0.5 with dx -2 moves one pixel left; at -16 it has left.
    node->travel_speed = 0.5;
    node->dx = -2;
    node->dy = 0;
    node->x = -14.0f;
    Move_Object(s, node, 128, 96);
    EXPECT_EQ(node->x, -15.0f);
    EXPECT_EQ(node->dx, -2);
    Move_Object(s, node, 128, 96);
    EXPECT_EQ(node->x, -16.0f);
    EXPECT_NE(Random_State(s.app), lcg.state);  // turned
}

TEST_F(Queue_Test, PingPongRestsOnTheLastFrame) {
    Make_Object(0, 4, 32);
    Defaults();
    s.Plasma_Settings.object_animation_speed[0] = 1.0;
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    Object_Node* node = &s.queue.Objects_Queue.front();
    ASSERT_EQ(node->animation, ANIMATION_PING_PONG);
    node->frame = 0;
    node->backwards = 0;
    s.display.frame_seconds = 1.0;  // every call steps

    for (int expected = 1; expected <= 31; ++expected) {
        Animate_Object(s.display, node);
        ASSERT_EQ(node->frame, expected);
    }
    // At the end each step tosses a coin: it rests on 31 until a draw is odd.
    Lcg lcg{Random_State(s.app)};
    int rests = 1;
    while ((lcg.next() & 1) == 0) ++rests;
    for (int i = 0; i < rests; ++i) {
        Animate_Object(s.display, node);
        ASSERT_EQ(node->frame, 31);
    }
    EXPECT_EQ(node->backwards, 1);
    Animate_Object(s.display, node);
    EXPECT_EQ(node->frame, 30);
    EXPECT_EQ(node->frame_timer, node->frame_interval);
}

TEST_F(Queue_Test, ZonePickIsWeightedByCounts) {
    Make_Object(0, 8, 2);
    Make_Object(1, 8, 3);
    Defaults();
    s.Plasma_Settings.object_count[0] = 3;
    s.Plasma_Settings.object_count[1] = 1;
    for (int i = 0; i < 4; ++i) ASSERT_EQ(Enqueue_Objects(s, i == 3, slide_), 1);
    const int expected_type[4] = {0, 0, 0, 1};
    for (int r = 0; r < 4; ++r) {
        const uint32_t seed = Seed_For_First(4, r);
        Seed_Random(s.app, seed);
        Lcg lcg{seed};
        lcg.next();
        int type = -1, frame = -1;
        ASSERT_EQ(Pick_Zone_Object(s, &type, &frame), 1);
        EXPECT_EQ(type, expected_type[r]) << r;
        EXPECT_EQ(frame, lcg.next() % (type == 0 ? 2 : 3));
    }
    // Nothing selected: no pick.
    s.Plasma_Settings.object_selected[0] = s.Plasma_Settings.object_selected[1] = 0;
    int type = -1, frame = -1;
    EXPECT_EQ(Pick_Zone_Object(s, &type, &frame), 0);
    Empty_Objects_Queue(s);
    EXPECT_EQ(Pick_Zone_Object(s, &type, &frame), 0);
}

TEST_F(Queue_Test, ShuffleKeepsCountsAndLeavesASingleNode) {
    Make_Object(0, 8, 2);
    Defaults();
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    Object_Node* const only = &s.queue.Objects_Queue.front();
    const float x = only->x;
    const uint32_t before = Random_State(s.app);
    EXPECT_EQ(Shuffle_Objects_Queue(s, 25), 1);
    EXPECT_EQ(&s.queue.Objects_Queue.front(), only);
    EXPECT_EQ(&s.queue.Objects_Queue.back(), only);
    EXPECT_EQ(only->x, x);
    EXPECT_EQ(Random_State(s.app), before);

    for (int i = 0; i < 9; ++i) ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    EXPECT_EQ(Shuffle_Objects_Queue(s, 25), 1);
    EXPECT_EQ(Objects_Queue_Length(s), 10);
}

TEST_F(Queue_Test, BlendModesAndFramelessObjects) {
    Make_Object(0, 8, 2);
    Make_Object(1, 8, 0, 4);  // less tall than wide: no whole frame
    Defaults();
    ASSERT_EQ(Clear(s.display, slide_), 1);
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    Object_Node* node = &s.queue.Objects_Queue.front();
    node->x = 10.0f;
    node->y = 20.0f;
    node->frame = 1;
    node->dx = node->dy = 0;

    s.Plasma_Settings.blend_mode = 3;  // draws nothing, succeeds
    EXPECT_EQ(Draw_All_Objects_Ex(s, slide_), 1);
    EXPECT_EQ(Peek(slide_, 10, 20), 0u);
    s.Plasma_Settings.blend_mode = 0;  // keyed copy of frame 1 (rows 8..15)
    EXPECT_EQ(Draw_All_Objects_Ex(s, slide_), 1);
    EXPECT_EQ(Peek(slide_, 10, 20), 0x00102030u + 8);
    EXPECT_EQ(Peek(slide_, 17, 27), 0x00102030u + 15);
    EXPECT_EQ(Peek(slide_, 18, 27), 0u);

    // Frameless type: enqueue, animate, scatter, pick and draw all survive.
    s.Plasma_Settings.object_animation_speed[1] = 100.0;
    ASSERT_EQ(Enqueue_Objects(s, 1, slide_), 1);
    EXPECT_EQ(s.queue.Objects_Queue.back().frame, 0);
    s.display.frame_seconds = 5.0;
    EXPECT_EQ(Scatter_Objects(s, slide_, 128, 96), 1);
    EXPECT_EQ(Zone_Slide_Objects(s, slide_, 128, 96, 1, 0), 1);
    EXPECT_EQ(Draw_All_Objects_Ex(s, slide_), 1);
    int type = -1, frame = -1;
    s.Plasma_Settings.object_selected[0] = 0;
    s.Plasma_Settings.object_count[1] = 2;  // owns both values of rand() % 2
    EXPECT_EQ(Pick_Zone_Object(s, &type, &frame), 1);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(frame, 0);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Queue_Test, MixStopsAtTheQueueEndAndPresetValuesAreBounded) {
    Make_Object(0, 8, 2);
    Defaults();
    s.Plasma_Settings.object_count[0] = 5;  // the queue holds only two
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    EXPECT_EQ(Mix_Slide_Objects(s, slide_, 128, 96), 1);
    EXPECT_EQ(Objects_Queue_Length(s), 2);

    // Values a preset file may hold: counts and speeds far outside their ranges.
    s.Plasma_Settings.object_count[0] = 2000000000;
    s.Plasma_Settings.object_speed[0] = 1e300;
    s.Plasma_Settings.object_animation_speed[0] = -5.0;
    EXPECT_EQ(Object_Count(s, 0), 200);
    s.Plasma_Settings.object_count[0] = -7;
    EXPECT_EQ(Object_Count(s, 0), 0);
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    EXPECT_DOUBLE_EQ(s.queue.Objects_Queue.back().travel_speed, 10.0);
    EXPECT_EQ(s.queue.Objects_Queue.back().frame_interval, 0.0);
    EXPECT_EQ(s.queue.Objects_Queue.back().animation, ANIMATION_NONE);
    s.Plasma_Settings.object_animation_speed[0] = 1e300;
    ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    EXPECT_NEAR(s.queue.Objects_Queue.back().frame_interval, 5.0, 1e-6);
}

TEST_F(Queue_Test, LostObjectBitmapEndsTheWalk) {
    Scratch_Folder empty_windows;  // the reload finds no object files
    Make_Object(0, 8, 2);
    Defaults();
    s.Plasma_Settings.slides_on = 0;
    for (int i = 0; i < 5; ++i) ASSERT_EQ(Enqueue_Objects(s, 0, slide_), 1);
    s.app.Objects_Data[0].images->Mark_Lost();
    EXPECT_EQ(Draw_All_Objects_Ex(s, slide_), 1);
    EXPECT_TRUE(s.queue.Objects_Queue.empty());
    EXPECT_EQ(Objects_Queue_Length(s), 0);
    const std::vector<std::string> reports = Take_Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), "Restore_All_Objects(): Load_All_Objects FAILED");
}
