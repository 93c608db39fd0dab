// mirravane-bench: times named scenarios through the real frame driver.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "common/harness.h"
#include "platform/display/ddraw.h"
#include "platform/system/system.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "slides/objects.h"
#include "session/session.h"

namespace fs = std::filesystem;

namespace {

struct Scenario {
    const char* name;
    int bpp;  // 0: the mode's depth
    std::function<void(Session&)> configure;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double Copy_Milliseconds(int width, int height, int bpp) {
    const size_t bytes = static_cast<size_t>(width) * height * (bpp == 8 ? 1 : bpp <= 16 ? 2 : bpp == 24 ? 3 : 4);
    std::vector<uint8_t> a(bytes, 1), b(bytes, 2);
    std::vector<double> times;
    for (int i = 0; i < 60; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(b.data(), a.data(), bytes);
        const auto t1 = std::chrono::steady_clock::now();
        a[static_cast<size_t>(i) % bytes] = b[(static_cast<size_t>(i) * 7) % bytes];
        times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return Median(times);
}

void Apply(Session& s, const std::function<void(PLASMA_SETTINGS&)>& change) {
    change(s.Plasma_Settings);
    s.Plasma_Settings.vsync = 0;
    Refresh_Plasma(s);
}

// A private copy of the installed data: loading objects may rewrite their files.
std::string Prepare_Windows_Dir(const std::string& requested) {
    if (!requested.empty()) return requested;
    const fs::path dir = fs::temp_directory_path() / ("mirravane-bench-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::create_directories(dir / "Mirravane", ec);
    fs::copy(MIRRAVANE_SOURCE_DATA, dir / "Mirravane", fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    return dir.string();
}

// CPU time of this process: on a busy machine the wall time says little.
double Cpu_Milliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The first start's work: every stock object expanded into its hue frames and written back,
// timed from fresh copies of the installed (single-frame) objects. The session's own start
// expands them once first, so caches and the page cache are warm for every round. Presenting
// waits for the vertical blank as it does in the real window at a first start.
bool Bench_Object_Expansion(const Harness_Options& options, int bpp, int rounds) {
    Harness_Options o = options;
    o.bpp = bpp;
    App app;
    Session s(app);
    const std::string name = "objects-expand-" + std::to_string(bpp);
    Display_Settings().vsync_sleeps = true;  // the display takes it when it is made
    if (!Harness_Start(s, o)) {
        std::fprintf(stderr, "%s: could not set up\n", name.c_str());
        return false;
    }
    const fs::path installed = fs::path(MIRRAVANE_SOURCE_DATA) / "Data" / "Bmp" / "Objects";
    const fs::path objects = fs::path(o.windows_dir) / "Mirravane" / "Data" / "Bmp" / "Objects";
    std::vector<double> times, cpu;
    bool ok = true;
    s.display.Wait_For_Vsync = 1;
    for (int r = 0; r < rounds && ok; ++r) {
        Free_All_Objects(s);
        std::error_code ec;
        for (const auto& file : fs::directory_iterator(installed, ec))
            if (!ec) fs::copy_file(file.path(), objects / file.path().filename(), fs::copy_options::overwrite_existing, ec);
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = Cpu_Milliseconds();
        ok = !ec && fs::file_size(objects / "0.bmp", ec) == 3126 && Load_All_Objects(s.display) &&
             s.app.Objects_Data[0].frames == 32;
        cpu.push_back(Cpu_Milliseconds() - c0);
        const auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    Display_Settings().vsync_sleeps = false;
    const int loaded = s.app.Objects_Loaded;
    Harness_Stop(s);
    if (!ok) {
        std::fprintf(stderr, "%s: the objects were not expanded\n", name.c_str());
        return false;
    }
    std::printf("%s median_ms=%.1f cpu_ms=%.1f objects=%d rounds=%d\n", name.c_str(), Median(times), Median(cpu), loaded,
                rounds);
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = "1280x1024x32", windows_dir, only;
    int frames = 200, rounds = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mode" && i + 1 < argc) mode = argv[++i];
        else if (arg == "--frames" && i + 1 < argc) frames = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--windows-dir" && i + 1 < argc) windows_dir = argv[++i];
        else if (arg == "--only" && i + 1 < argc) only = argv[++i];
        else if (arg == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: mirravane-bench [--mode WxHxBPP] [--frames N] [--windows-dir DIR] [--only NAME] "
                         "[--rounds N]\n");
            return 2;
        }
    }
    Harness_Options options;
    if (!Parse_Mode(mode, options.width, options.height, options.bpp)) {
        std::fprintf(stderr, "mirravane-bench: bad mode %s\n", mode.c_str());
        return 2;
    }
    options.windows_dir = Prepare_Windows_Dir(windows_dir);
    options.log_to_file = false;

    const std::vector<Scenario> scenarios = {
        {"plasma-asymmetric-single", 0, [](Session& s) { Apply(s, [](PLASMA_SETTINGS& p) { p.symmetry = 0; p.multi_colour = 0; }); }},
        {"plasma-eightfold-multi", 0, [](Session& s) { Apply(s, [](PLASMA_SETTINGS& p) { p.symmetry = 3; p.multi_colour = 1; }); }},
        {"plasma-multi-16bit", 16, [](Session& s) { Apply(s, [](PLASMA_SETTINGS& p) { p.symmetry = 0; p.multi_colour = 1; }); }},
        {"plasma-8bit", 8, [](Session& s) { Apply(s, [](PLASMA_SETTINGS& p) { p.symmetry = 0; p.multi_colour = 0; }); }},
        {"kaleidoscope-stretched", 0, [](Session& s) {
             Apply(s, [](PLASMA_SETTINGS& p) { p.kaleidoscope_on = 1; p.kaleidoscope_stretch = 1; p.multi_colour = 1; });
         }},
        {"plasma-scope-title", 0, [](Session& s) {
             Apply(s, [](PLASMA_SETTINGS& p) {
                 p.symmetry = 0;
                 p.multi_colour = 0;
                 p.scope_on = 1;
                 p.scope_shape = 0;
                 p.titles_on = 1;
                 std::snprintf(p.title_text, sizeof p.title_text, "%s", "Mirravane");
             });
         }},
        {"kaleidoscope-slides-gradient", 0, [](Session& s) {
             Apply(s, [](PLASMA_SETTINGS& p) {
                 p.kaleidoscope_on = 1;
                 p.slides_on = 1;
                 p.background = 2;
                 p.blend_mode = 0;
             });
         }},
        {"kaleidoscope-slides-light", 0, [](Session& s) {
             Apply(s, [&s](PLASMA_SETTINGS& p) {
                 p.kaleidoscope_on = 1;
                 p.slides_on = 1;
                 p.background = 4;
                 p.blend_mode = 2;
                 for (int t = 0; t < s.app.Objects_Loaded; ++t) {
                     p.object_selected[t] = 1;
                     p.object_count[t] = 1;
                 }
             });
         }},
    };

    int failures = 0;
    // The expansion rewrites the objects, so it runs only in the bench's own copy of the data.
    for (const int bpp : {32, 16, 8}) {
        const std::string name = "objects-expand-" + std::to_string(bpp);
        if (!only.empty() && only != name) continue;
        if (!windows_dir.empty())
            std::fprintf(stderr, "%s: skipped, it needs the bench's own copy of the data\n", name.c_str());
        else if (!Bench_Object_Expansion(options, bpp, rounds))
            ++failures;
    }
    for (const auto& scenario : scenarios) {
        if (!only.empty() && only != scenario.name) continue;
        Harness_Options o = options;
        if (scenario.bpp) o.bpp = scenario.bpp;
        App app;
        Session s(app);
        if (!Harness_Start(s, o) || !Harness_Apply_Preset(s, "")) {
            std::fprintf(stderr, "%s: could not set up\n", scenario.name);
            ++failures;
            continue;
        }
        scenario.configure(s);
        std::vector<double> times;
        bool ok = true;
        for (int f = 0; f < frames + 10 && ok; ++f) {
            const auto t0 = std::chrono::steady_clock::now();
            ok = Harness_Frame(s, -1.0);
            const auto t1 = std::chrono::steady_clock::now();
            if (f >= 10) times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        Harness_Stop(s);
        if (!ok) {
            std::fprintf(stderr, "%s: a frame failed\n", scenario.name);
            ++failures;
            continue;
        }
        const double median = Median(times);
        const double copy = Copy_Milliseconds(o.width, o.height, o.bpp);
        std::printf("%s median_ms=%.3f fps=%.0f copy_ratio=%.2f\n", scenario.name, median,
                    median > 0 ? 1000.0 / median : 0.0, copy > 0 ? median / copy : 0.0);
        std::fflush(stdout);
    }
    if (windows_dir.empty()) {
        std::error_code ec;
        fs::remove_all(options.windows_dir, ec);
    }
    return failures ? 1 : 0;
}
