// Every stock preset the program installs loads, applies and runs frames at its own depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "presets/plasma_settings.h"
#include "support/installed_program.h"

namespace fs = std::filesystem;

namespace {

int Run_Tool(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int raw = ::pclose(pipe);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The depth of a resolution index: five sizes for each of 32, 24, 16 and 8 bits.
int Depth_Of(int resolution) {
    static const int depths[] = {32, 24, 16, 8};
    return resolution >= 0 && resolution < 20 ? depths[resolution / 5] : -1;
}

}  // namespace

TEST(Stock_Presets, EachRendersThirtyFramesAtItsOwnDepth) {
    Installed_Program program(8);
    std::vector<fs::path> presets;
    for (const auto& entry : fs::directory_iterator(program.home()))
        if (entry.path().extension() == ".dat") presets.push_back(entry.path());
    std::sort(presets.begin(), presets.end());
    ASSERT_GE(presets.size(), 30u);

    std::vector<int> depths_seen;
    for (const auto& preset : presets) {
        SCOPED_TRACE(preset.filename().string());
        PLASMA_SETTINGS record{};
        std::ifstream in(preset, std::ios::binary);
        ASSERT_TRUE(in.read(reinterpret_cast<char*>(&record), sizeof record));
        // Each file's title is its own name.
        EXPECT_NE(record.title_text[0], '\0');
        const int depth = Depth_Of(record.resolution);
        ASSERT_GT(depth, 0);
        depths_seen.push_back(depth);

        fs::remove(program.home() / "error_log.txt");
        const std::string out = program.folder().path() + "/frame.bmp";
        std::string output;
        const int status =
            Run_Tool(std::string(MIRRAVANE_RENDER) + " --windows-dir '" + program.folder().path() + "' --preset '" +
                    preset.string() + "' --mode 320x240x" + std::to_string(depth) +
                    " --seed 5 --frames 30 --frame-seconds 0.04 --out '" + out + "' 2>&1",
                output);
        EXPECT_EQ(status, 0) << output;
        const std::string log = program.log();
        EXPECT_EQ(log.find("FAILED"), std::string::npos) << log;
        EXPECT_EQ(log.find("Unable"), std::string::npos) << log;
        EXPECT_TRUE(fs::exists(out));
    }
    // Together they show the program at 32, 16 and 8 bits (and 24).
    for (int depth : {32, 24, 16, 8})
        EXPECT_NE(std::find(depths_seen.begin(), depths_seen.end(), depth), depths_seen.end()) << depth;
}
