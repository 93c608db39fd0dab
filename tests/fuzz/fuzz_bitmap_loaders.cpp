// Any bytes as every bitmap the program loads from a user's folder: an object (scanned as
// 0.bmp in preview mode, so nothing is written back), the title font, the custom overlay and
// the About picture. The first byte picks the display depth. Each load either refuses with
// its message or gives surfaces that the following draws stay inside.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_session.h"
#include "presets/plasma_settings.h"
#include "scope/scope.h"
#include "session/run_mode.h"
#include "slides/objects.h"
#include "surface/bitmap.h"
#include "surface/display.h"
#include "text/font.h"
#include "session/session.h"

namespace {

// Run-length files may claim pictures up to the decoder's limit in a few bytes; loading one
// as an object is correct but takes seconds (the object's surfaces are that large too). The
// decoder's tests cover the limit; the fuzzer stays with smaller claims.
bool Claims_Huge_Picture(const uint8_t* data, size_t size) {
    if (size < 26) return false;
    auto read_32 = [&](size_t at) {
        return static_cast<int32_t>(static_cast<uint32_t>(data[at]) | (static_cast<uint32_t>(data[at + 1]) << 8) |
                                    (static_cast<uint32_t>(data[at + 2]) << 16) |
                                    (static_cast<uint32_t>(data[at + 3]) << 24));
    };
    if (read_32(14) == 12) return false;  // the old header's sizes are 16-bit
    const int64_t width = std::llabs(static_cast<int64_t>(read_32(18)));
    const int64_t height = std::llabs(static_cast<int64_t>(read_32(22)));
    return width * height > (1 << 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session& s = Fuzz_The_Session();
    if (size < 1 || Claims_Huge_Picture(data + 1, size - 1)) return 0;
    static const int depths[4] = {8, 16, 24, 32};
    if (!Fuzz_Session(s, depths[data[0] & 3])) return 0;
    ++data;
    --size;
    const std::string& home = Fuzz_Program_Folder();
    // The next session at another depth loads the objects again: it gets a good 0.bmp.
    static const std::string good_object = [&] {
        std::ifstream in(home + "/Data/Bmp/Objects/0.bmp", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();

    const int saved_mode = s.app.Saver_Mode;
    s.app.Saver_Mode = PREVIEW;
    Fuzz_Write_File(home + "/Data/Bmp/Objects/0.bmp", data, size);
    {
        Fuzz_Deadline deadline("Load_All_Objects");
        Free_All_Objects(s);
        Load_All_Objects(s.display);
        Free_All_Objects(s);
    }
    s.app.Saver_Mode = saved_mode;
    Fuzz_Write_File(home + "/Data/Bmp/Objects/0.bmp", good_object.data(), good_object.size());

    Fuzz_Write_File(home + "/Data/Bmp/Font.bmp", data, size);
    {
        Fuzz_Deadline deadline("Load_Font");
        if (Load_Font(s, 9)) Draw_Text(s, s.display.Hidden, 4, 4, 9, "Mirravane ~!09");
        Release_All_Fonts(s);
    }

    Fuzz_Write_File(home + "/Data/Bmp/Overlays/fuzz.bmp", data, size);
    std::snprintf(s.Plasma_Settings.custom_overlay_path, sizeof s.Plasma_Settings.custom_overlay_path, "%s",
                  (home + "/Data/Bmp/Overlays/fuzz.bmp").c_str());
    {
        Fuzz_Deadline deadline("Setup_Scope");
        Shutdown_Scope(s);
        if (Setup_Scope(s, s.display.Client_Width, s.display.Client_Height, SCOPE_CUSTOM)) Draw_Scope(s, s.display.Hidden);
        Shutdown_Scope(s);
    }

    Fuzz_Write_File(home + "/Data/Bmp/About.bmp", data, size);
    {
        Fuzz_Deadline deadline("Load_SYSTEM_Bitmap");
        int width = 0, height = 0;
        Surface picture = Load_SYSTEM_Bitmap(s.display, (home + "/Data/Bmp/About.bmp").c_str(), &width, &height);
        if (picture) Release_Surface(&picture);
    }
    return 0;
}
