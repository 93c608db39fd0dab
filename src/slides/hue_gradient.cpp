#include <cstdint>
#include <cstring>

#include "diagnostics/diagnostics.h"
#include "slides/objects.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"
#include "session/session.h"

namespace {
const Once_Log gradient_log;
}

int Create_Objects_Hue_Gradient(Display_Context& d, int index, int width, int height, int steps, int hue_step) {
    gradient_log.enter(d.app, "Entering Create_Objects_Hue_Gradient");
    if (steps > 256) steps %= 256;
    if (steps < 1) return 0;
    if (static_cast<int64_t>(steps) * hue_step > 256 || hue_step == 0) hue_step = 256 / steps;
    if (hue_step < 1) return 0;
    if (index < 0 || index >= MAX_OBJECTS) return 0;

    OBJECTS_DATA& object = d.app.Objects_Data[index];
    const int64_t total = static_cast<int64_t>(width) * steps;

    Surface expanded = nullptr;
    if (total > INT32_MAX || !Create_SYSTEM_Surface(d, &expanded, width, static_cast<int>(total))) {
        Report_Errorf(d.app, "Create_Objects_Hue_Gradient():Unable to create resized surface\nobjects # %d\nresized width "
                      "%d\nresized height %d",
                      index, width, static_cast<int>(total));
        return 0;
    }
    if (!Blit(d, object.images, expanded, 0, 0, 0, 0, width, height))
        Report_Error(d.app, "Create_Objects_Hue_Gradient():First frame copy Blit failed");

    for (int k = 1; k < steps; ++k) {
        // Progress: the frame made last, in the middle of the picture, once per object and
        // without waiting for the display (a picture per frame, each paced to the refresh
        // rate, made a first start last many seconds).
        if (k == steps - 1) {
            if (!Clear(d, d.Hidden)) {
                Report_Error(d.app, "Create_Objects_Hue_Gradient(): Clear Hidden FAILED");
                break;
            }
            if (!Masked_Clip_Blit(d, expanded, d.Hidden, 0, (k - 1) * height, (d.Client_Width - width) / 2,
                                  (d.Client_Height - height) / 2, width, height))
                Report_Error(d.app, "Create_Objects_Hue_Gradient():First frame copy Blit failed");
            const int paced = d.Wait_For_Vsync;
            d.Wait_For_Vsync = 0;
            Display_Hidden_Surface(d);
            d.Wait_For_Vsync = paced;
        }
        if (!Alter_Hue(d, object.images, expanded, 0, 0, 0, k * height, width, height, k * hue_step)) {
            Report_Errorf(d.app, "Create_Objects_Hue_Gradient():Unable to alter hue at step %d", k);
            // The entry keeps its old bitmap and sizes; the half-made one is of no use to anyone.
            Release_Surface(&expanded);
            return 0;
        }
    }
    // The sizes change with the bitmap, so a failure above leaves a whole, usable entry.
    Release_Surface(&object.images);
    object.images = expanded;
    object.frame_width = width;
    object.total_height = static_cast<int32_t>(total);
    object.frames = steps;
    gradient_log.exit(d.app, "Exitting Create_Objects_Hue_Gradient");
    return 1;
}

int Is_Hue_Expansion(Display_Context& d, Surface images, int width) {
    constexpr int steps = 32, hue_step = 256 / steps;
    int w = 0, h = 0;
    if (width < 1 || !Grab_Surface_Dimensions(d.app, images, &w, &h) || w != width || h != width * steps) return 0;
    Surface turned = nullptr;
    if (!Create_SYSTEM_Surface(d, &turned, width, width)) return 0;
    int same = 1;
    for (int k = 1; k < steps && same; ++k) {
        // Made the way the expansion makes frame k, then compared pixel for pixel.
        if (!Alter_Hue(d, images, turned, 0, 0, 0, 0, width, width, k * hue_step)) {
            same = 0;
            break;
        }
        int strip_pitch = 0, turned_pitch = 0;
        uint8_t* strip = Lock_Surface(d, images, &strip_pitch);
        if (!strip) {
            same = 0;
            break;
        }
        uint8_t* frame = Lock_Surface(d, turned, &turned_pitch);
        if (frame) {
            const size_t row = static_cast<size_t>(width) * static_cast<size_t>(images->bytes_per_pixel());
            for (int y = 0; y < width && same; ++y)
                same = std::memcmp(strip + static_cast<size_t>(k * width + y) * static_cast<size_t>(strip_pitch),
                                   frame + static_cast<size_t>(y) * static_cast<size_t>(turned_pitch), row) == 0;
            Unlock_Surface(turned, frame);
        } else {
            same = 0;
        }
        Unlock_Surface(images, strip);
    }
    Release_Surface(&turned);
    return same;
}
