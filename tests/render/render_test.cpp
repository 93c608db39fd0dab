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

namespace {

// The program's generator, written out again: seed x 214013 + 2531011, bits 16..30.
struct Generator {
    uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// One plasma generator: its two 2W x 2H tables and eight phases.
struct Reference_Plasma {
    int W = 0, H = 0;
    std::vector<uint8_t> ripple_table, wave_table;
    float phase[8] = {};
    int X[4] = {}, Y[4] = {};

    void Build(int width, int height, int contrast, Generator& random) {
        W = width;
        H = height;
        for (int k = 0; k < 8; ++k) {
            const float start = static_cast<float>(random.Next()) / 16384.0f;
            phase[k] = (k % 2) ? -start : start;
        }
        const double ripple = 5.4f, interference = 9.5f, complexity = 50;
        ripple_table.assign(static_cast<size_t>(4 * W * H), 0);
        wave_table.assign(static_cast<size_t>(4 * W * H), 0);
        for (int y = 0; y < 2 * H; ++y)
            for (int x = 0; x < 2 * W; ++x) {
                // Mirrored about the centre lines: fold back into the top-left quadrant.
                const int qx = x < W ? x : 2 * W - 1 - x;
                const int qy = y < H ? y : 2 * H - 1 - y;
                const double dx = W - qx, dy = H - qy;
                const double d = std::sqrt(dx * dx + dy * dy + 16.0) - 4.0;
                const size_t at = static_cast<size_t>(y) * 2 * W + x;
                ripple_table[at] = static_cast<uint8_t>(static_cast<int32_t>(d * ripple / contrast) & 0xFF);
                wave_table[at] =
                    static_cast<uint8_t>(static_cast<int32_t>((std::sin(d / interference) + 1.0) * complexity / contrast) & 0xFF);
            }
    }

    // One frame's step with divisor D and the default sway 1.6, then the four read origins.
    void Step(double D) {
        static const double c[8] = {0.0425, 0.05, 0.15, 0.1, 0.2, 0.075, 0.175, 0.025};
        const double sway = 1.6f;
        for (int k = 0; k < 8; ++k) {
            const double step = sway * c[k] / D;
            phase[k] = static_cast<float>(k % 2 ? phase[k] - step : phase[k] + step);
        }
        const int hw = W / 2, hh = H / 2;
        X[0] = static_cast<int>(std::sin(phase[0]) * hw) + hw;
        Y[0] = static_cast<int>(std::cos(phase[1]) * hh) + hh;
        X[1] = static_cast<int>(std::cos(phase[2]) * hw) + hw;
        Y[1] = static_cast<int>(std::sin(phase[3]) * hh) + hh;
        X[2] = static_cast<int>(std::cos(phase[4]) * hw) + hw;
        Y[2] = static_cast<int>(std::sin(phase[5]) * hh) + hh;
        X[3] = static_cast<int>(std::cos(phase[6]) * hw) + hw;
        Y[3] = static_cast<int>(std::sin(phase[7]) * hh) + hh;
    }

    // Sum of the four table bytes of sample s in tile row r: origin 1 reads the ripple table.
    int Sum(int s, int r) const {
        auto at = [&](int i) { return static_cast<size_t>(X[i] + s) + static_cast<size_t>(Y[i] + r) * 2 * W; };
        return ripple_table[at(1)] + wave_table[at(0)] + wave_table[at(2)] + wave_table[at(3)];
    }
};

// The defaults' picture after `frames` frames: three generators (blue, green, red) built in
// that order from the seed, each frame one step with divisor D, as 0x00RRGGBB per pixel.
std::vector<uint32_t> Expected_Frame(int width, int height, int bpp, uint32_t seed, int frames = 1, double D = 35.0) {
    Generator random{seed};
    Reference_Plasma channel[3];
    for (auto& p : channel) p.Build(width, height, bpp >= 24 ? 4 : 3, random);
    for (int f = 0; f < frames; ++f)
        for (auto& p : channel) p.Step(D);

    std::vector<uint32_t> out(static_cast<size_t>(width) * height);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            const int s = x / 4;  // one sample for four pixels
            uint32_t rgb = 0;
            if (bpp >= 24) {
                // Byte sum, folded at bit 7, AND 127, then the whole pixel doubled; 24 bits
                // keep the same three bytes.
                uint32_t value[3];
                for (int c = 0; c < 3; ++c) {
                    uint32_t v = static_cast<uint32_t>(channel[c].Sum(s, r)) & 0xFF;
                    if (v & 0x80) v = ~v & 0xFF;
                    value[c] = v & 127;
                }
                rgb = ((value[2] << 16) | (value[1] << 8) | value[0]) << 1;
            } else {
                // A quarter of the sum folded at bit 5, colour 127 reduced to 31; on 5-6-5 green
                // takes half the sum folded at bit 6, colour reduced to 63.
                auto five = [](int sum) {
                    uint32_t v = static_cast<uint32_t>(sum >> 2) & 0xFF;
                    if (v & 0x20) v = ~v & 0xFF;
                    return v & 31;
                };
                const uint32_t blue = five(channel[0].Sum(s, r)), red = five(channel[2].Sum(s, r));
                uint32_t R = (red << 3) | (red >> 2), B = (blue << 3) | (blue >> 2), G;
                if (bpp == 16) {
                    uint32_t green = static_cast<uint32_t>(channel[1].Sum(s, r) >> 1) & 0xFF;
                    if (green & 0x40) green = ~green & 0xFF;
                    green &= 63;
                    G = (green << 2) | (green >> 4);  // what the screen read-back makes of 6 bits
                } else {
                    const uint32_t green = five(channel[1].Sum(s, r));
                    G = (green << 3) | (green >> 2);
                }
                rgb = (R << 16) | (G << 8) | B;
            }
            out[static_cast<size_t>(r) * width + x] = rgb;
        }
    return out;
}

// One entry of the ten quarter schemes of the 8-bit palette, as 0x00RRGGBB.
uint32_t Quarter_Scheme(int scheme, int i) {
    const int q = i / 64, k = i % 64, n = 63 - k;
    int r = 0, g = 0, b = 0;
    switch (scheme * 4 + q) {
    case 0: r = k; break;
    case 1: r = n; g = k; break;
    case 2: g = n; b = k; break;
    case 3: b = n; break;
    case 4: g = k / 4; break;
    case 5: g = k; b = 64 + k; break;
    case 6: g = n; b = k; break;
    case 7: b = n; break;
    case 8: b = k; break;
    case 9: g = k; b = n; break;
    case 10: r = k; g = n; b = k; break;
    case 11: r = n; b = n; break;
    case 12: r = 2 * k; break;
    case 13: r = 126 - 2 * k; g = 2 * k; break;
    case 14: g = 126 - 2 * k; b = 2 * k; break;
    case 15: b = 126 - 2 * k; break;
    case 16: r = 2 * k; break;
    case 17: r = 126 - 2 * k; b = 126 - 2 * k; break;
    case 18: r = k; b = k; break;
    case 19: r = n; b = n; break;
    case 20: r = k; b = k / 2; break;
    case 21: r = n / 2; b = n; break;
    case 22: r = n; b = n / 2; break;
    case 23: r = n / 2; b = n; break;
    case 24: r = 2 * k; break;
    case 25: r = 126 - 2 * k; b = k; break;
    case 26: r = g = b = n / 2; break;
    case 27: b = n; break;
    case 28: r = g = 2 * k; break;
    case 29: r = g = 128 + 2 * k; break;
    case 30: r = g = 252 - 4 * k; break;
    case 31: b = 126 - 2 * k; break;
    case 32: g = b = 2 * k; break;
    case 33: g = b = 128 + 2 * k; break;
    case 34: g = b = 252 - 4 * k; break;
    case 35: r = 126 - 2 * k; break;
    case 36: b = 2 * k; break;
    case 37: g = 2 * k; b = 126 - 2 * k; break;
    case 38: r = 2 * k; g = 126 - 2 * k; b = 2 * k; break;
    case 39: r = 126 - 2 * k; b = 126 - 2 * k; break;
    }
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

// One entry of the twenty shift schemes: each channel is i shifted right, 0 for no shift.
uint32_t Shift_Scheme(int scheme, int i) {
    static const int shifts[20][6] = {
        {2, 0, 0, 2, 1, 0}, {2, 0, 0, 2, 0, 1}, {0, 0, 2, 1, 0, 2}, {3, 0, 2, 0, 1, 2}, {0, 2, 0, 1, 2, 0},
        {2, 2, 0, 1, 2, 0}, {2, 0, 2, 2, 5, 0}, {0, 0, 2, 0, 1, 2}, {0, 0, 2, 1, 0, 2}, {3, 3, 2, 1, 1, 1},
        {2, 2, 2, 1, 1, 0}, {2, 2, 3, 1, 2, 3}, {2, 3, 2, 1, 3, 2}, {3, 2, 1, 1, 2, 3}, {3, 2, 3, 2, 2, 2},
        {2, 2, 2, 2, 2, 2}, {3, 0, 1, 2, 1, 0}, {2, 0, 2, 1, 1, 2}, {2, 3, 3, 2, 3, 1}, {3, 2, 3, 2, 3, 1}};
    const int* t = shifts[scheme] + (i < 128 ? 0 : 3);
    auto channel = [&](int shift) { return shift == 0 ? 0u : static_cast<uint32_t>(i >> shift) & 0xFF; };
    return channel(t[0]) << 16 | channel(t[1]) << 8 | channel(t[2]);
}

// The defaults at 8 bits: every generator set-up draws its eight phases and then a palette
// (rand() % 11; scheme 10 means a shift scheme, drawn again while it repeats the last one);
// the third palette is the one on screen. Only the first generator draws, one sample a pixel,
// four pixels added as one little-endian word.
std::vector<uint32_t> Expected_Frame_8(int width, int height, uint32_t seed) {
    Generator random{seed};
    Reference_Plasma channel[3];
    uint32_t palette[256] = {};
    int last_shift = -1;
    for (auto& p : channel) {
        p.Build(width, height, 3, random);
        const int scheme = random.Next() % 11;
        if (scheme < 10) {
            for (int i = 0; i < 256; ++i) palette[i] = Quarter_Scheme(scheme, i);
        } else {
            int shift = random.Next() % 20;
            while (shift == last_shift) shift = random.Next() % 20;
            last_shift = shift;
            for (int i = 0; i < 256; ++i) palette[i] = Shift_Scheme(shift, i);
        }
    }
    Reference_Plasma& p = channel[0];
    p.Step(35.0);

    std::vector<uint32_t> out(static_cast<size_t>(width) * height);
    auto word = [&](const std::vector<uint8_t>& table, int i, int x, int r) {
        const size_t at = static_cast<size_t>(p.X[i] + x) + static_cast<size_t>(p.Y[i] + r) * 2 * p.W;
        return static_cast<uint32_t>(table[at]) | static_cast<uint32_t>(table[at + 1]) << 8 |
               static_cast<uint32_t>(table[at + 2]) << 16 | static_cast<uint32_t>(table[at + 3]) << 24;
    };
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; x += 4) {
            const uint32_t sum = word(p.wave_table, 0, x, r) + word(p.ripple_table, 1, x, r) + word(p.wave_table, 2, x, r) +
                                 word(p.wave_table, 3, x, r);
            for (int b = 0; b < 4; ++b) {
                uint32_t v = (sum >> (8 * b)) & 0xFF;
                if (v & 0x80) v = ~v & 0xFF;
                out[static_cast<size_t>(r) * width + x + b] = palette[(v << 1) & 0xFF];
            }
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
void Render_Frame(Session& s, int width, int height, int bpp, uint32_t seed, int frames, Picture& picture,
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
