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

// The defaults' first frame: three generators (blue, green, red) built in that order from the
// seed, one step with divisor 35, as 0x00RRGGBB per pixel.
std::vector<uint32_t> Expected_Frame(int width, int height, int bpp, uint32_t seed) {
    oracle::Generator random{seed};
    oracle::Plasma channel[3];
    for (auto& p : channel) p.Build(width, height, bpp >= 24 ? 4 : 3, random);
    for (auto& p : channel) p.Step(35.0);
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
void Render_Frame(int width, int height, int bpp, uint32_t seed, int frames, Picture& picture,
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

// Renders the defaults' first frame as above and compares every pixel with the formulas'.
void Check_First_Frame(int width, int height, int bpp, uint32_t seed) {
    const std::string mode = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bpp);
    const std::vector<uint32_t> expected = Expected_Frame(width, height, bpp, seed);
    Picture picture;
    Render_Frame(width, height, bpp, seed, 1, picture);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(expected.size(), picture.pixels.size());
    int wrong = 0;
    for (size_t at = 0; at < expected.size(); ++at)
        if (picture.pixels[at] != expected[at] && ++wrong <= 5)
            ADD_FAILURE() << mode << " pixel (" << at % width << "," << at / width << "): " << std::hex
                          << picture.pixels[at] << " expected " << expected[at];
    EXPECT_EQ(wrong, 0) << mode;
}

}  // namespace

TEST(Render, FirstFrameOfTheDefaultsMatchesThePlasmaFormulas) {
    // The reference itself: one sample covers four pixels, and the picture is not flat.
    const std::vector<uint32_t> reference = Expected_Frame(64, 48, 32, 7);
    EXPECT_EQ(reference[0], reference[3]);
    bool varied = false;
    for (uint32_t p : reference) varied |= p != reference[0];
    EXPECT_TRUE(varied);

    EXPECT_NE(reference, Expected_Frame(64, 48, 32, 4242));

    Check_First_Frame(64, 48, 32, 7);
    Check_First_Frame(64, 48, 32, 4242);
    Check_First_Frame(48, 32, 16, 7);
    Check_First_Frame(48, 32, 15, 7);
    Check_First_Frame(32, 32, 24, 5);
}

TEST(Render, GradientSlidesLookTheSameAtEveryWideDepth) {
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
    Render_Frame(320, 240, 32, 3, 10, at32, gradient);
    ASSERT_FALSE(HasFatalFailure());
    const double bright32 = mean(at32);
    EXPECT_GT(bright32, 0.3);
    for (int bpp : {24, 16, 15}) {
        Picture picture;
        Render_Frame(320, 240, bpp, 3, 10, picture, gradient);
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
