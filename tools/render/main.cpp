// mirravane-render: runs frames headless and writes what the screen shows.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/harness.h"
#include "session/session.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: mirravane-render --windows-dir DIR [--preset FILE] --mode WxHxBPP --seed N --frames N "
                 "--frame-seconds S --out FILE.bmp|FILE.png\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Harness_Options options;
    std::string preset, out, mode;
    long frames = -1;
    double frame_seconds = -1.0;
    bool have_seed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--windows-dir" && value(v)) options.windows_dir = v;
        else if (arg == "--preset" && value(v)) preset = v;
        else if (arg == "--mode" && value(v)) mode = v;
        else if (arg == "--seed" && value(v)) { options.seed = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 10)); have_seed = true; }
        else if (arg == "--frames" && value(v)) frames = std::strtol(v.c_str(), nullptr, 10);
        else if (arg == "--frame-seconds" && value(v)) frame_seconds = std::strtod(v.c_str(), nullptr);
        else if (arg == "--out" && value(v)) out = v;
        else return Usage();
    }
    // The frame time becomes whole microseconds on the clock: NaN, infinities and times past a
    // day are refused rather than overflowing it.
    const bool frame_time_ok = frame_seconds >= 0.0 && frame_seconds <= 86400.0;
    if (options.windows_dir.empty() || mode.empty() || out.empty() || frames < 0 || !frame_time_ok || !have_seed)
        return Usage();
    if (!Parse_Mode(mode, options.width, options.height, options.bpp)) {
        std::fprintf(stderr, "mirravane-render: bad mode %s (WxHxBPP, BPP 8/15/16/24/32)\n", mode.c_str());
        return 2;
    }
    // The run takes place in the program folder: a relative preset name means this folder.
    if (!preset.empty()) preset = std::filesystem::absolute(preset).string();
    App app;
    Session s(app);
    if (!Harness_Start(s, options)) return 1;
    if (!Harness_Apply_Preset(s, preset)) {
        Harness_Stop(s);
        return 1;
    }
    for (long f = 0; f < frames; ++f) {
        if (!Harness_Frame(s, frame_seconds)) {
            Harness_Stop(s);
            return 1;
        }
    }
    int width = 0, height = 0;
    const auto pixels = Harness_Screen(s.display, width, height);
    const bool written = !pixels.empty() && Write_Picture(out, pixels, width, height);
    Harness_Stop(s);
    if (!written) {
        std::fprintf(stderr, "mirravane-render: could not write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
