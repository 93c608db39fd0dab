// Random scroll codes and thumb positions, clicks, commands and list selections sent to
// every settings dialog through the headless dialog scripts, then two frames with whatever
// the dialog left in the preset. Byte 0 picks the dialog, byte 1 the display depth, every
// following five bytes one step (kind, control, code, position low, position high).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/harness.h"
#include "dialogs/launchers.h"
#include "dialogs/templates.h"
#include "fuzz_session.h"
#include "platform/windows/dialog.h"
#include "presets/lifecycle.h"
#include "session/session.h"

namespace {

struct Dialog_Entry {
    const char* name;
    int (*show)(Session&);
};

const Dialog_Entry Dialogs[] = {
    {"SPEEDBOX", Show_Speed_Dialog},
    {"CONTRASTBOX", Show_Contrast_Dialog},
    {"SWAYBOX", Show_Sway_Dialog},
    {"ANGLE_BBOX", Show_Interference_Dialog},
    {"ANGLE_ABOX", Show_Ripple_Dialog},
    {"COLOURBOX", Show_Colour_Dialog},
    {"CONSTANT_ABOX", Show_Complexity_Dialog},
    {"RANDOMCOLOURBOX", Show_Random_Colour_Dialog},
    {"GRANULARITYBOX", Show_Granularity_Dialog},
    {"SLIDESPEEDBOX", Show_Slide_Speed_Dialog},
    {"SLIDEOBJECTSBOX", Show_Slide_Objects_Dialog},
    {"BACKGROUNDBOX", Show_Background_Dialog},
    {"ZONEBOX", Show_Zone_Dialog},
    {"DIRECTIONBOX", Show_Direction_Dialog},
    {"FADEBOX", Show_Fade_Dialog},
    {"SINEWAVEBOX", Show_Sine_Wave_Dialog},
    {"ABOUTBOX", Show_About},
    {"RESOLUTIONBOX", Show_Resolution_Dialog},
    {"INFOBOX", Show_System_Info},
    {"INTRODUCTIONBOX", Show_Introduction},
    {"JOURNEYBOX", Show_Random_Presets_Dialog},
};
constexpr size_t Dialog_Count = sizeof Dialogs / sizeof Dialogs[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session& s = Fuzz_The_Session();
    if (size < 2) return 0;
    static const int depths[4] = {8, 16, 24, 32};
    if (!Fuzz_Session(s, depths[data[1] & 3])) return 0;
    if (!Dialog_Templates_Registered()) Register_Dialog_Templates();
    const Dialog_Entry& entry = Dialogs[data[0] % Dialog_Count];
    const Dialog_Template* dialog = Find_Dialog_Template(entry.name);
    if (!dialog || dialog->controls.empty()) __builtin_trap();

    std::vector<Dialog_Step> steps;
    for (size_t at = 2; at + 5 <= size && steps.size() < 64; at += 5) {
        Dialog_Step step;
        step.kind = static_cast<Dialog_Step::Kind>(data[at] % 7);
        step.control = dialog->controls[data[at + 1] % dialog->controls.size()].id;
        step.code = static_cast<int8_t>(data[at + 2]);
        step.position = static_cast<int16_t>(data[at + 3] | (data[at + 4] << 8));
        steps.push_back(step);
    }
    // An odd length ends with OK, an even one is cancelled when the script runs out.
    if (size % 2) steps.push_back(Dialog_Step{Dialog_Step::Command, 1, 0, 0});

    Default_Plasma_Settings(s);
    Refresh_Plasma(s);
    Headless_Dialog_Scripts().clear();
    Headless_Dialog_Scripts().push_back(steps);
    {
        Fuzz_Deadline deadline(entry.name);
        entry.show(s);
    }
    Headless_Dialog_Scripts().clear();
    for (int frame = 0; frame < 2; ++frame) {
        Fuzz_Deadline deadline("a frame after a dialog");
        if (!Harness_Frame(s, 0.04)) break;
    }
    return 0;
}
