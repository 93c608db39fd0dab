// The headless tools as a user runs them: one rendered frame of the built-in defaults
// compared pixel for pixel with a plasma worked out here from its formulas, and the bench's
// report lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "presets/plasma_settings.h"
#include "support/installed_program.h"
#include "session/session.h"
#include "support/fresh_session.h"
#include "support/plasma_oracle.h"

namespace {

// The built-in defaults' colour settings: AND logic, every colour 127, brightened.
PLASMA_SETTINGS Default_Colours() {
    PLASMA_SETTINGS p{};
    p.invert_colour_logic = 1;
    p.colour_blue = p.colour_green = p.colour_red = 127;
    p.brighten = 1;
    return p;
}

// The defaults' picture after `frames` frames: three generators (blue, green, red) built in
// that order from the seed, each frame one step with divisor D, as 0x00RRGGBB per pixel.
std::vector<uint32_t> Expected_Frame(int width, int height, int bpp, uint32_t seed, int frames = 1, double D = 35.0) {
    oracle::Generator random{seed};
    oracle::Plasma channel[3];
    for (auto& p : channel) p.Build(width, height, bpp >= 24 ? 4 : 3, random);
    for (int f = 0; f < frames; ++f)
        for (auto& p : channel) p.Step(D);
    const oracle::Reads blue(channel[0]), green(channel[1]), red(channel[2]);
    const PLASMA_SETTINGS colours = Default_Colours();

    std::vector<uint32_t> out(static_cast<size_t>(width) * height);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            const int s = x / 4;  // one sample for four pixels
            uint32_t rgb;
            if (bpp >= 24) {
                rgb = oracle::Wide(colours, blue.sum(s, r), green.sum(s, r), red.sum(s, r)) & 0xFFFFFF;
            } else {
                // The 16-bit pixel as the screen read-back widens it to 8 bits a channel.
                const uint32_t v = oracle::Multi_16(colours, blue.sum(s, r), green.sum(s, r), red.sum(s, r), bpp == 16);
                const uint32_t R = bpp == 16 ? v >> 11 : (v >> 10) & 31, B = v & 31;
                const uint32_t G = bpp == 16 ? (v >> 5) & 63 : (v >> 5) & 31;
                const uint32_t G8 = bpp == 16 ? (G << 2) | (G >> 4) : (G << 3) | (G >> 2);
                rgb = ((R << 3) | (R >> 2)) << 16 | G8 << 8 | ((B << 3) | (B >> 2));
            }
            out[static_cast<size_t>(r) * width + x] = rgb;
        }
    return out;
}

// The defaults at 8 bits: every generator set-up draws its eight phases and then a palette
// (rand() % 11; scheme 10 means a shift scheme, drawn again while it repeats the last one);
// the third palette is the one on screen. Only the first generator draws.
std::vector<uint32_t> Expected_Frame_8(int width, int height, uint32_t seed) {
    oracle::Generator random{seed};
    oracle::Plasma channel[3];
    uint32_t palette[256] = {};
    int last_shift = -1;
    for (auto& p : channel) {
        p.Build(width, height, 3, random);
        const int scheme = random.Next() % 11;
        if (scheme < 10) {
            for (int i = 0; i < 256; ++i) palette[i] = oracle::Quarter_Scheme(scheme, i);
        } else {
            int shift = random.Next() % 20;
            while (shift == last_shift) shift = random.Next() % 20;
            last_shift = shift;
            for (int i = 0; i < 256; ++i) palette[i] = oracle::Shift_Scheme(shift, i);
        }
    }
    channel[0].Step(35.0);
    const oracle::Reads reads(channel[0]);
    std::vector<uint32_t> out(static_cast<size_t>(width) * height);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) out[static_cast<size_t>(r) * width + x] = palette[reads.eight(x, r, width)];
    return out;
}

struct Picture {
    int width = 0, height = 0, bpp = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

bool Read_Bmp(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
    picture.width = static_cast<int>(Le32(b, 18));
    picture.height = static_cast<int>(Le32(b, 22));
    picture.bpp = static_cast<uint8_t>(b[28]) | static_cast<uint8_t>(b[29]) << 8;
    const size_t offset = Le32(b, 10);
    const size_t row = static_cast<size_t>((picture.width * 3 + 3) & ~3);
    if (picture.bpp != 24 || picture.width <= 0 || picture.height <= 0 || b.size() < offset + row * picture.height)
        return false;
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        const size_t line = offset + static_cast<size_t>(picture.height - 1 - y) * row;  // bottom-up
        for (int x = 0; x < picture.width; ++x) {
            const size_t at = line + static_cast<size_t>(x) * 3;
            picture.pixels[static_cast<size_t>(y) * picture.width + x] = static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
                                                                       static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
                                                                       static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16;
        }
    }
    return true;
}

// Runs a command; its standard output, and the exit status in `status`.
std::string Run_Command(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return out;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

// Renders with mirravane-render: the defaults, or a preset file written from them with `edit`.
void Render_Frame(Session&, int width, int height, int bpp, uint32_t seed, int frames, Picture& picture,
                  const std::function<void(PLASMA_SETTINGS&)>& edit = {}) {
    Installed_Program program(2, false, width, height, bpp);
    const std::string out = program.folder().path() + "/frame.bmp";
    const std::string mode = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bpp);
    std::string preset;
    if (edit) {
        program.write_preset("edited.dat", edit);
        preset = " --preset '" + program.home().string() + "/edited.dat'";
    }
    int status = 0;
    const std::string output =
        Run_Command(std::string(MIRRAVANE_RENDER) + " --windows-dir '" + program.folder().path() + "'" + preset +
                        " --mode " + mode + " --seed " + std::to_string(seed) + " --frames " + std::to_string(frames) +
                        " --frame-seconds 0.02 --out '" + out + "' 2>&1",
                    status);
    ASSERT_EQ(status, 0) << mode << "\n" << output;
    ASSERT_TRUE(Read_Bmp(out, picture)) << mode;
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
}

// Renders as above and compares every pixel with `expected`.
void Check_Rendered_Frame(Session& s, int width, int height, int bpp, uint32_t seed, int frames, const std::vector<uint32_t>& expected,
                          const std::function<void(PLASMA_SETTINGS&)>& edit = {}) {
    const std::string mode = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bpp);
    Picture picture;
    Render_Frame(s, width, height, bpp, seed, frames, picture, edit);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(expected.size(), picture.pixels.size());
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(y) * width + x;
            if (picture.pixels[at] != expected[at] && ++wrong <= 5)
                ADD_FAILURE() << mode << " pixel (" << x << "," << y << "): " << std::hex << picture.pixels[at]
                              << " expected " << expected[at];
        }
    EXPECT_EQ(wrong, 0) << mode;
}

}  // namespace

TEST(Render, FirstFrameOfTheDefaultsMatchesThePlasmaFormulas) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    // The reference itself: one sample covers four pixels, and the picture is not flat.
    const std::vector<uint32_t> reference = Expected_Frame(64, 48, 32, 7);
    EXPECT_EQ(reference[0], reference[3]);
    bool varied = false;
    for (uint32_t p : reference) varied |= p != reference[0];
    EXPECT_TRUE(varied);

    EXPECT_NE(reference, Expected_Frame(64, 48, 32, 4242));

    Check_Rendered_Frame(s, 64, 48, 32, 7, 1, reference);
    Check_Rendered_Frame(s, 64, 48, 32, 4242, 1, Expected_Frame(64, 48, 32, 4242));
    Check_Rendered_Frame(s, 48, 32, 16, 7, 1, Expected_Frame(48, 32, 16, 7));
    Check_Rendered_Frame(s, 48, 32, 15, 7, 1, Expected_Frame(48, 32, 15, 7));
    Check_Rendered_Frame(s, 32, 32, 24, 5, 1, Expected_Frame(32, 32, 24, 5));
}

TEST(Render, EightBitFrameGoesThroughThePalette) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    // Seeds whose third palette is each of the ten quarter schemes (8, 0, 2, 9, 4, 6, 5, 7, 1, 3),
    // a shift scheme (12), and a shift scheme drawn again because it repeated the second (872).
    for (uint32_t seed : {1u, 2u, 3u, 5u, 9u, 10u, 19u, 25u, 43u, 54u, 12u, 872u})
        Check_Rendered_Frame(s, 64, 48, 8, seed, 1, Expected_Frame_8(64, 48, seed));
}

TEST(Render, LaterFramesFollowThePhaseSteps) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    // Sixty frames with the frame time ignored: sixty steps of sway x c / 35, enough for the
    // origins to travel several table columns.
    Check_Rendered_Frame(s, 64, 48, 32, 99, 60, Expected_Frame(64, 48, 32, 99, 60));

    // Frame time counted: D = 35 / 0.02 x 0.01 = 17.5, twice the step of the defaults. The
    // preset is the defaults with ignore_fps off (contrast set as a 32-bit display has it).
    const double seconds = 20000 / 1e6;
    const double D = 35.0 / seconds * 0.01;
    EXPECT_NEAR(D, 17.5, 1e-12);
    Check_Rendered_Frame(s, 64, 48, 32, 99, 30, Expected_Frame(64, 48, 32, 99, 30, D), [](PLASMA_SETTINGS& s) {
        s.ignore_fps = 0;
        s.contrast = 4;
    });
}

TEST(Render, GradientSlidesLookTheSameAtEveryWideDepth) {
    Fresh_Session fresh;
    Session& s = fresh.session;
    // The kaleidoscope over slides with a colour-gradient background of fixed lightness, no
    // objects and no title: the picture is the gradient alone.
    const auto gradient = [&](PLASMA_SETTINGS& s) {
        s.kaleidoscope_on = 1;
        s.slides_on = 1;
        s.background = 2;
        s.gradient_variable = 0;
        s.gradient_brightness = 150;
        s.titles_on = 0;
        for (int32_t& count : s.object_count) count = 0;
    };
    const auto mean = [](const Picture& p) {
        double sum = 0;
        for (uint32_t c : p.pixels) sum += (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF);
        return sum / (3.0 * 255.0 * static_cast<double>(p.pixels.size()));
    };
    Picture at32;
    Render_Frame(s, 320, 240, 32, 3, 10, at32, gradient);
    ASSERT_FALSE(HasFatalFailure());
    const double bright32 = mean(at32);
    EXPECT_GT(bright32, 0.3);
    for (int bpp : {24, 16, 15}) {
        Picture picture;
        Render_Frame(s, 320, 240, bpp, 3, 10, picture, gradient);
        ASSERT_FALSE(HasFatalFailure());
        // Only the channels' lowest bits may differ.
        EXPECT_NEAR(mean(picture), bright32, 0.03) << bpp;
    }
}

TEST(Render, RefusesBadArguments) {
    int status = 0;
    Run_Command(std::string(MIRRAVANE_RENDER) + " --mode 64x48x32 2>/dev/null", status);
    EXPECT_EQ(status, 2);
    Run_Command(std::string(MIRRAVANE_RENDER) +
            " --windows-dir /nonexistent --mode 64x48x12 --seed 1 --frames 1 --frame-seconds 0.02 --out /tmp/x.bmp "
            "2>/dev/null",
        status);
    EXPECT_EQ(status, 2);
    // Frame times the clock cannot hold.
    for (const char* seconds : {"nan", "inf", "1e300", "-0.5"}) {
        Run_Command(std::string(MIRRAVANE_RENDER) + " --windows-dir /nonexistent --mode 64x48x32 --seed 1 --frames 1 " +
                        "--frame-seconds " + seconds + " --out /tmp/x.bmp 2>/dev/null",
                    status);
        EXPECT_EQ(status, 2) << seconds;
    }
}

TEST(Bench, PrintsOneLinePerScenario) {
    int status = 0;
    const std::string out = Run_Command(std::string(MIRRAVANE_BENCH) + " --mode 320x240x32 --frames 5 2>&1", status);
    EXPECT_EQ(status, 0) << out;
    const std::regex line(R"([A-Za-z0-9-]+ median_ms=[0-9]+\.[0-9]{3} fps=[0-9]+ copy_ratio=[0-9]+\.[0-9]{2})"
                          R"(|objects-expand-(32|16|8) median_ms=[0-9]+\.[0-9] cpu_ms=[0-9]+\.[0-9] objects=[1-9][0-9]* rounds=3)");
    std::istringstream lines(out);
    std::string text;
    int count = 0;
    std::set<std::string> names;
    while (std::getline(lines, text)) {
        EXPECT_TRUE(std::regex_match(text, line)) << text;
        names.insert(text.substr(0, text.find(' ')));
        ++count;
    }
    // Every scenario once; the six first ones at least.
    EXPECT_GE(count, 6) << out;
    EXPECT_EQ(names.size(), static_cast<size_t>(count)) << out;
    EXPECT_EQ(names.count("plasma-asymmetric-single"), 1u);
    EXPECT_EQ(names.count("plasma-8bit"), 1u);
    EXPECT_EQ(names.count("objects-expand-8"), 1u);
}
