// The queue of objects travelling over the slides: one node per object, drawn in queue
// order, so later nodes appear on top of earlier ones.
#pragma once

#include <cstdint>
#include <list>
#include "session/forward.h"

#include "surface/surface.h"

constexpr int ANIMATION_NONE = 0;
constexpr int ANIMATION_PING_PONG = 1;
constexpr int ANIMATION_CYCLE = 2;

// Copies of one type a preset may ask for, and the most nodes the queue ever holds (one
// more appears for a moment while a shuffle replaces a node).
constexpr int Max_Object_Count = 200;
constexpr int Max_Object_Nodes = 250 * Max_Object_Count;

struct Object_Node {
    int32_t objects_type;
    int32_t animation;
    int32_t frames;
    int32_t frame;
    float x, y;
    int32_t dx, dy;
    double frame_timer;
    double frame_interval;  // seconds; 0: not animated
    double travel_speed;
    int32_t backwards;      // ping-pong counting down
    int32_t frame_width;
    int32_t total_height;
    Surface slide;          // not owned
};

// A session's travelling objects.
struct Queue_State {
    // A list, because walks hold on to a node while others are appended (the shuffle) or
    // removed around it.
    std::list<Object_Node> Objects_Queue;
    int Objects_Animate = 0;  // some node animates
    int Objects_Move = 0;     // some node travels
    // Bumped when a lost object bitmap made Restore_All_Objects rebuild the queue: a walk in
    // progress holds nodes that may be gone and must stop.
    unsigned queue_generation = 0;
};


int Enqueue_Objects(Session& s, int type, Surface slide);
int Empty_Objects_Queue(Session& s);
int Shuffle_Objects_Queue(Session& s, int passes);
int Update_Object(Session& s, Object_Node* node, int width, int height);
int Animate_Object(Display_Context& d, Object_Node* node);
int Move_Object(Session& s, Object_Node* node, int width, int height);
int Draw_Objects(Session& s, Surface dest, Object_Node* node, float ox, float oy);
int Draw_All_Objects_Ex(Session& s, Surface slide);
int Scatter_Objects(Session& s, Surface slide, int width, int height);
int Pick_Zone_Object(Session& s, int* type, int* frame);
int Mix_Slide_Objects(Session& s, Surface slide, int width, int height);
int Zone_Slide_Objects(Session& s, Surface slide, int width, int height, int type, int frame);

// Nodes in the queue.
int Objects_Queue_Length(Session& s);
// A preset's copies of a type, kept within 0..Max_Object_Count.
int Object_Count(Session& s, int type);
// rand() % n with a non-positive n taken as a remainder of 0 (the draw still happens).
int Random_Remainder(App& app, int n);
