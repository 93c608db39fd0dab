// Shared set-up for the plasma tests: a clean record, hand-filled contexts, box capture.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "plasma/plasma.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "support/soft_display.h"
#include "support/fresh_session.h"

// A context with 2W x 2H tables filled by hand: table[y][x] = f(x, y); all phases 0.
inline void Fill_Context(Plasma_Context& c, int W, int H, const std::function<int(int, int)>& t1,
                         const std::function<int(int, int)>& t2) {
    std::free(c.table1);
    std::free(c.table2);
    c.width = W;
    c.height = H;
    c.contrast = 1;
    c.table1 = static_cast<uint8_t*>(std::malloc(4 * W * H));
    c.table2 = static_cast<uint8_t*>(std::malloc(4 * W * H));
    for (int y = 0; y < 2 * H; ++y) {
        for (int x = 0; x < 2 * W; ++x) {
            c.table1[y * 2 * W + x] = static_cast<uint8_t>(t1(x, y));
            c.table2[y * 2 * W + x] = static_cast<uint8_t>(t2(x, y));
        }
    }
    for (float& p : c.phase) p = 0.0f;
}

inline std::function<int(int, int)> Constant(int v) {
    return [v](int, int) { return v; };
}

class Plasma_Test : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        std::memset(&s.Plasma_Settings, 0, sizeof s.Plasma_Settings);
        s.app.error_logging = 0;
        Headless().boxes.clear();
    }
    void TearDown() override { Shutdown_Plasma(s); }

    static bool Box_Shown(const std::string& text) {
        for (const std::string& box : Headless().boxes)
            if (box == "[Error] " + text) return true;
        return false;
    }
};
