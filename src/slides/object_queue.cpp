#include "slides/object_queue.h"

#include <cmath>
#include <iterator>
#include <new>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "presets/plasma_settings.h"
#include "slides/objects.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"


namespace {

// Preset files may hold anything; NaN and out-of-range speeds become the nearest sane value.
double Clamp_Speed(double value, double high) {
    if (!(value >= 0.0)) return 0.0;
    return value > high ? high : value;
}

// Truncation toward zero of a double that may be far outside int range.
int Trunc_Int(double value) {
    if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(value);
}

bool Slides_Stand_Still(Session& s) { return Trunc_Int(s.Plasma_Settings.slide_speed) == 0; }

// A new direction after leaving the slide: never both zero.
void New_Direction(App& app, Object_Node* node) {
    do {
        node->dx = Random(app) % 12 - 6;
        node->dy = Random(app) % 12 - 6;
    } while (node->dx == 0 && node->dy == 0);
}

int Animation_For(double interval, int frames) {
    if (interval == 0.0) return ANIMATION_NONE;
    return frames == 32 ? ANIMATION_PING_PONG : ANIMATION_CYCLE;
}

// Gives a node of the given slide a fresh life as type t.
void Reseed_Node(Session& s, Object_Node* node, int t, int width, int height) {
    const OBJECTS_DATA& object = s.app.Objects_Data[t];
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    node->objects_type = t;
    node->frame_width = object.frame_width;
    node->total_height = object.total_height;
    node->frames = object.frames;
    node->frame_interval = Clamp_Speed(p.object_animation_speed[t], 500.0) * 0.01f;
    const int interval = Trunc_Int(node->frame_interval);
    node->frame_timer = Random(s.app) % (interval < 1 ? 1 : interval);
    node->travel_speed = Clamp_Speed(p.object_speed[t], 100.0) * 0.1;
    const int m = width - node->frame_width;
    node->x = static_cast<float>(Random(s.app) % (m > 1 ? m : 1));
    node->y = static_cast<float>(Random_Remainder(s.app, node->frame_width + height - 1) - node->frame_width + 1);
    const bool still = Slides_Stand_Still(s);
    do {
        node->dx = Random(s.app) % 4 - 2;
        node->dy = Random(s.app) % 4 - 2;
    } while (still && node->dx == 0 && node->dy == 0);
    node->animation = Animation_For(node->frame_interval, node->frames);
}

}  // namespace

int Random_Remainder(App& app, int n) {
    const int r = Random(app);
    return n > 0 ? r % n : 0;
}

int Objects_Queue_Length(Session& s) { return static_cast<int>(s.queue.Objects_Queue.size()); }

int Object_Count(Session& s, int type) {
    if (type < 0 || type >= MAX_OBJECTS) return 0;
    const int count = s.Plasma_Settings.object_count[type];
    return count < 0 ? 0 : (count > Max_Object_Count ? Max_Object_Count : count);
}

int Enqueue_Objects(Session& s, int t, Surface slide) {
    int sw = 0, sh = 0;
    Grab_Surface_Dimensions(s.app, slide, &sw, &sh);
    if (t < 0 || t >= MAX_OBJECTS) {
        Report_Errorf(s.app, "Enqueue_Objects():Invalid objects_type %d", t);
        return 0;
    }
    auto& queue = s.queue.Objects_Queue;
    bool allocated = false;
    if (queue.size() <= static_cast<size_t>(Max_Object_Nodes)) {
        try {
            queue.emplace_back();
            allocated = true;
        } catch (const std::bad_alloc&) {
        }
    }
    if (!allocated) {
        Report_Error(s.app, "Enqueue_Objects():malloc FAILED\nOut of system memory!");
        return 0;
    }
    Object_Node* const node = &queue.back();
    node->slide = slide;
    node->objects_type = t;

    const OBJECTS_DATA& object = s.app.Objects_Data[t];
    const PLASMA_SETTINGS& p = s.Plasma_Settings;
    const int m = sw - object.frame_width;
    node->x = static_cast<float>(Random(s.app) % (m > 1 ? m : 1));
    node->y = static_cast<float>(Random_Remainder(s.app, sh + object.total_height) - object.total_height);
    node->frame_interval = Clamp_Speed(p.object_animation_speed[t], 500.0) * 0.01f;
    node->travel_speed = Clamp_Speed(p.object_speed[t], 100.0) * 0.1;
    node->animation = Animation_For(node->frame_interval, object.frames);
    if (node->animation != ANIMATION_NONE) s.queue.Objects_Animate = 1;
    node->frame_width = object.frame_width;
    node->total_height = object.total_height;
    if (node->travel_speed > 0) s.queue.Objects_Move = 1;
    const bool still = Slides_Stand_Still(s);
    do {
        node->dx = Random(s.app) % 12 - 6;
        node->dy = Random(s.app) % 12 - 6;
    } while (still && node->dx == 0 && node->dy == 0);
    node->frame = Random_Remainder(s.app, object.frames);
    const int interval = Trunc_Int(node->frame_interval);
    node->frame_timer = Random(s.app) % (interval < 1 ? 1 : interval);
    node->frames = object.frames;
    node->backwards = 0;
    return 1;
}

int Empty_Objects_Queue(Session& s) {
    s.queue.Objects_Queue.clear();
    return 1;
}

int Shuffle_Objects_Queue(Session& s, int passes) {
    if (passes < 1) return 1;
    auto& queue = s.queue.Objects_Queue;
    for (int pass = 0; pass < passes; ++pass) {
        // Every node but the last may move to the end; the walk goes on over the moved ones.
        for (auto node = queue.begin(); node != queue.end() && std::next(node) != queue.end();) {
            const auto next = std::next(node);
            if (Random(s.app) % 3 == 0) {
                if (!Enqueue_Objects(s, node->objects_type, node->slide)) {
                    Report_Error(s.app, "Shuffle_Objects_Queue(): Enqueue_Objects_Ex FAILED");
                    return 0;
                }
                queue.erase(node);
            }
            node = next;
        }
    }
    return 1;
}

int Update_Object(Session& s, Object_Node* node, int width, int height) {
    if (s.queue.Objects_Animate) Animate_Object(s.display, node);
    if (s.queue.Objects_Move) Move_Object(s, node, width, height);
    return 1;
}

int Animate_Object(Display_Context& d, Object_Node* node) {
    node->frame_timer -= d.frame_seconds;
    if (node->frame_timer >= 0) return 1;
    node->frame_timer = node->frame_interval;
    if (node->frames < 2 || node->animation == ANIMATION_NONE) return 1;
    if (node->animation == ANIMATION_CYCLE) {
        if (++node->frame >= node->frames) node->frame = 0;
    } else if (!node->backwards) {
        if (++node->frame >= node->frames) {
            node->frame = node->frames - 1;
            if (Random(d.app) & 1) node->backwards = 1;
        }
    } else {
        if (--node->frame < 0) {
            node->frame = 0;
            if (Random(d.app) & 1) node->backwards = 0;
        }
    }
    return 1;
}

int Move_Object(Session& s, Object_Node* node, int width, int height) {
    const float step = s.Plasma_Settings.ignore_fps ? static_cast<float>(node->travel_speed)
                                                  : static_cast<float>(s.display.frame_seconds * node->travel_speed * 10.0);
    node->x = node->x + static_cast<float>(node->dx) * step;
    const int x = Trunc_Int(node->x);
    if ((node->dx > 0 && x >= width) || (node->dx < 0 && x <= -node->frame_width)) New_Direction(s.app, node);
    node->y = node->y + static_cast<float>(node->dy) * step;
    const int y = Trunc_Int(node->y);
    if ((node->dy > 0 && y >= height) || (node->dy < 0 && y <= -node->frame_width)) New_Direction(s.app, node);
    return 1;
}

int Draw_Objects(Session& s, Surface dest, Object_Node* node, float ox, float oy) {
    int w = 0, h = 0;
    if (!Grab_Surface_Dimensions(s.app, dest, &w, &h)) {
        Report_Error(s.app, "Draw_Objects():Could not Grab_Surface_Dimensions");
        return 0;
    }
    Update_Object(s, node, w, h);
    const OBJECTS_DATA& object = s.app.Objects_Data[node->objects_type];
    Surface images = object.images;
    if (!images) return 0;
    if (images->IsLost() == DDERR_SURFACELOST) {
        // The reload empties (and may rebuild) the queue under the caller's walk.
        ++s.queue.queue_generation;
        Restore_All_Objects(s);
        return 1;
    }
    // A bitmap less tall than wide has no whole frame to show.
    if (node->frames < 1 || object.frames < 1) return 1;
    const int size = object.frame_width;
    const int X = Trunc_Int(node->x - ox), Y = Trunc_Int(node->y - oy);
    const int sy = node->frame * size;
    int result;
    switch (s.Plasma_Settings.blend_mode) {
    case 0: result = Masked_Clip_Blit_Ex(s.display, images, dest, 0, sy, X, Y, size, size, w, h); break;
    case 1: result = Colour_Blend_Blit(s.display, images, dest, 0, sy, X, Y, size, size, w, h); break;
    case 2: result = Light_Blend_Blit(s.display, images, dest, 0, sy, X, Y, size, size, w, h); break;
    default: return 1;
    }
    if (!result) {
        Report_Errorf(s.app, "Draw_Objects():Could not blit \nframe# %d\nof objects id# %d\nto dest (%d,%d)", node->frame,
                      node->objects_type, X, Y);
        return 0;
    }
    return 1;
}

int Draw_All_Objects_Ex(Session& s, Surface slide) {
    const unsigned generation = s.queue.queue_generation;
    for (Object_Node& node : s.queue.Objects_Queue) {
        if (node.slide != slide) continue;
        if (!Draw_Objects(s, slide, &node, 0.0f, 0.0f)) return 0;
        if (generation != s.queue.queue_generation) return 1;
    }
    return 1;
}

int Scatter_Objects(Session& s, Surface slide, int width, int height) {
    const unsigned generation = s.queue.queue_generation;
    for (Object_Node& node : s.queue.Objects_Queue) {
        if (node.slide != slide) continue;
        const int m = width - node.frame_width;
        node.x = static_cast<float>(Random(s.app) % (m > 1 ? m : 1));
        node.y = static_cast<float>(Random_Remainder(s.app, node.frame_width + height - 1) - node.frame_width + 1);
        node.frame = Random_Remainder(s.app, node.frames);
        if (!Draw_Objects(s, slide, &node, 0.0f, 0.0f)) return 0;
        if (generation != s.queue.queue_generation) return 1;
    }
    return 1;
}

int Pick_Zone_Object(Session& s, int* type, int* frame) {
    const int n = Objects_Queue_Length(s);
    if (n == 0) return 0;
    const int r = Random(s.app) % n;
    int counter = 0;
    for (int t = 0; t < s.app.Objects_Loaded && t < MAX_OBJECTS; ++t) {
        if (s.Plasma_Settings.object_selected[t] != 1) continue;
        counter += Object_Count(s, t);
        if (r < counter) {
            *type = t;
            const int frames = s.app.Objects_Data[t].frames;
            *frame = Random(s.app) % (frames < 1 ? 1 : frames);
            return 1;
        }
    }
    return 0;
}

int Mix_Slide_Objects(Session& s, Surface slide, int width, int height) {
    auto node = s.queue.Objects_Queue.begin();
    for (int t = 0; t < s.app.Objects_Loaded && t < MAX_OBJECTS; ++t) {
        if (s.Plasma_Settings.object_selected[t] != 1) continue;
        for (int copy = Object_Count(s, t); copy > 0; --copy, ++node) {
            if (node == s.queue.Objects_Queue.end()) return 1;
            if (node->slide == slide) {
                Reseed_Node(s, &*node, t, width, height);
                node->frame = Random_Remainder(s.app, node->frames);
            }
        }
    }
    return 1;
}

int Zone_Slide_Objects(Session& s, Surface slide, int width, int height, int type, int frame) {
    if (type < 0 || type >= MAX_OBJECTS) return 1;
    for (Object_Node& node : s.queue.Objects_Queue) {
        if (node.slide != slide) continue;
        Reseed_Node(s, &node, type, width, height);
        if (s.queue.Objects_Animate == 0 && s.Plasma_Settings.zone_multicolour == 0) {
            node.animation = ANIMATION_NONE;
            node.frame = frame;
        } else {
            node.frame = Random_Remainder(s.app, node.frames);
        }
    }
    return 1;
}
