// Shared set-up for the slide tests: a small display, object types made in memory, and an
// independent copy of the random generator to predict draws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "slides/object_queue.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "support/surface_fixture.h"
#include "support/fresh_session.h"

struct Lcg {
    uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// A seed whose first draw has the given remainder.
inline uint32_t Seed_For_First(int modulus, int remainder) {
    for (uint32_t seed = 1;; ++seed) {
        Lcg lcg{seed};
        if (lcg.next() % modulus == remainder) return seed;
    }
}

class Slides_Test : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        display_ = std::make_unique<Soft_Display>(s, 320, 240, bpp());
        ASSERT_TRUE(display_->ok());
        s.app.error_logging = 0;
        Headless().boxes.clear();
        s.display.frame_seconds = 0.02;
    }
    void TearDown() override {
        Free_Colour_Slides(s);
        Free_All_Objects(s);
        s.app.Objects_Loaded = 0;
        display_.reset();
    }
    virtual int bpp() const { return 32; }

    // Object type t: `frames` square frames of side `side`, every pixel non-zero.
    void Make_Object(int t, int side, int frames, int height = -1) {
        OBJECTS_DATA& object = s.app.Objects_Data[t];
        const int total = height < 0 ? side * frames : height;
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &object.images, side, total), 1);
        for (int y = 0; y < total; ++y)
            for (int x = 0; x < side; ++x) Poke(object.images, x, y, 0x00102030u + static_cast<uint32_t>(y));
        object.frame_width = side;
        object.total_height = total;
        object.frames = total / side;
        if (t + 1 > s.app.Objects_Loaded) s.app.Objects_Loaded = t + 1;
    }

    // Defaults with the given objects selected once each, no zones, plain black slides.
    void Defaults() {
        Default_Plasma_Settings(s);
        s.Plasma_Settings.background = 0;
        s.Plasma_Settings.zone_duration = 0;
        s.Plasma_Settings.slide_direction = 0;
        s.Plasma_Settings.fade_light = s.Plasma_Settings.fade_hue = s.Plasma_Settings.fade_saturation = 0;
    }

    std::unique_ptr<Soft_Display> display_;
};
