#include <cstdint>

#include "diagnostics/diagnostics.h"
#include "slides/objects.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"

namespace {
Once_Log gradient_log;
}

int Create_Objects_Hue_Gradient(int index, int width, int height, int steps, int hue_step) {
    gradient_log.enter("Entering Create_Objects_Hue_Gradient");
    if (steps > 256) steps %= 256;
    if (steps < 1) return 0;
    if (static_cast<int64_t>(steps) * hue_step > 256 || hue_step == 0) hue_step = 256 / steps;
    if (hue_step < 1) return 0;
    if (index < 0 || index >= MAX_OBJECTS) return 0;

    OBJECTS_DATA& object = Objects_Data[index];
    const int64_t total = static_cast<int64_t>(width) * steps;

    Surface expanded = nullptr;
    if (total > INT32_MAX || !Create_SYSTEM_Surface(&expanded, width, static_cast<int>(total))) {
        Report_Errorf("Create_Objects_Hue_Gradient():Unable to create resized surface\nobjects # %d\nresized width "
                      "%d\nresized height %d",
                      index, width, static_cast<int>(total));
        return 0;
    }
    if (!Blit(object.images, expanded, 0, 0, 0, 0, width, height))
        Report_Error("Create_Objects_Hue_Gradient():First frame copy Blit failed");

    for (int k = 1; k < steps; ++k) {
        if (!Clear(Hidden)) {
            Report_Error("Create_Objects_Hue_Gradient(): Clear Hidden FAILED");
            break;
        }
        // Progress: the frame made last, in the middle of the picture.
        if (!Masked_Clip_Blit(expanded, Hidden, 0, (k - 1) * height, (Client_Width - width) / 2,
                              (Client_Height - height) / 2, width, height))
            Report_Error("Create_Objects_Hue_Gradient():First frame copy Blit failed");
        Display_Hidden_Surface();
        if (!Alter_Hue(object.images, expanded, 0, 0, 0, k * height, width, height, k * hue_step)) {
            Report_Errorf("Create_Objects_Hue_Gradient():Unable to alter hue at step %d", k);
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
    gradient_log.exit("Exitting Create_Objects_Hue_Gradient");
    return 1;
}
