// Any bytes as a preset record, applied to a running headless display and shown for 20
// frames. The first byte picks the display depth; the rest, cut or padded with the defaults
// to a whole record, is the preset. A frame must end within a second.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/harness.h"
#include "fuzz_session.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "shell/frame.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session& s = Fuzz_The_Session();
    if (size < 1) return 0;
    static const int depths[4] = {8, 16, 24, 32};
    if (!Fuzz_Session(s, depths[data[0] & 3])) return 0;
    ++data;
    --size;

    Default_Plasma_Settings(s);
    std::memcpy(&s.Plasma_Settings, data, size < sizeof(PLASMA_SETTINGS) ? size : sizeof(PLASMA_SETTINGS));
    {
        Fuzz_Deadline deadline("Refresh_Plasma");
        Refresh_Plasma(s);
    }
    Copy_Random_Settings(s);
    for (int frame = 0; frame < 20; ++frame) {
        Fuzz_Deadline deadline("a frame");
        if (!Harness_Frame(s, 0.04)) break;
    }
    return 0;
}
