// The frame converter (loose frames into one object) and the compaction of hue-frame objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "objects/object_files.h"
#include "platform/system/system.h"
#include "platform/windows/commdlg.h"
#include "shell/file_dialog.h"
#include "shell/modes.h"
#include "shell/startup.h"
#include "slides/frame_converter.h"
#include "slides/objects.h"
#include "support/installed_program.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "support/surface_fixture.h"
#include "surface/bitmap.h"

using Reports = std::vector<std::string>;

namespace {

const std::string Converter = "Mirravane/Data/Frame Converter/";

// The converter's folder in the order the directory search gives it.
std::vector<std::string> Search_Order(const Scratch_Folder& folder) {
    std::vector<std::string> names;
    Find_Data found;
    HFIND search = FindFirstFileA(folder.windows("Mirravane\\Data\\Frame Converter\\*.BMP").c_str(), &found);
    if (!search) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// A test's own colour per loose frame file.
uint32_t Colour_Of(const std::string& name) {
    if (name == "a.bmp") return 0x00FF0000;
    if (name == "b.bmp") return 0x0000FF00;
    return 0x000000FF;
}
Rgb Rgb_Of(const std::string& name) { return Channels_32(Colour_Of(name)); }

class Converter_Test : public ::testing::Test {
protected:
    Installed_Program program{1};  // 0.bmp only: a two-frame strip, nothing to expand

    void SetUp() override {
        ASSERT_EQ(Start_Up("mirravane /c"), 1);
        ASSERT_EQ(Objects_Loaded, 1);
        Headless_File_Answers().clear();
    }
    const Scratch_Folder& folder() const { return program.folder(); }
    bool Log_Has(const std::string& line) const { return program.log().find(line) != std::string::npos; }
    bool Any_Loose_Frames() const { return !Search_Order(folder()).empty(); }
};

TEST_F(Converter_Test, StacksFramesInSearchOrderDeletesThemAndReloads) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) folder().write(Converter + name, Solid_Bmp(48, 48, Rgb_Of(name)));
    const std::vector<std::string> order = Search_Order(folder());
    ASSERT_EQ(order.size(), 3u);
    const std::string target = folder().windows("Mirravane\\Data\\Bmp\\Objects\\1.bmp");
    Headless_File_Answers().push_back(target);

    ASSERT_EQ(Frame_Convert(), 1);
    EXPECT_FALSE(Any_Loose_Frames());
    EXPECT_EQ(File_Dialog.lpstrInitialDir, folder().windows("Mirravane\\Data\\Bmp\\Objects\\"));
    int w = 0, h = 0;
    Bmp_Size(folder().read("Mirravane/Data/Bmp/Objects/1.bmp"), &w, &h);
    EXPECT_EQ(w, 48);
    EXPECT_EQ(h, 144);

    // The rebuilt session loaded the new object too: three frames, not expanded.
    ASSERT_NE(Hidden, nullptr);
    ASSERT_EQ(Objects_Loaded, 2);
    EXPECT_EQ(Objects_Data[1].frames, 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Peek(Objects_Data[1].images, 0, k * 48), Colour_Of(order[static_cast<size_t>(k)])) << k;
        EXPECT_EQ(Peek(Objects_Data[1].images, 47, k * 48 + 47), Colour_Of(order[static_cast<size_t>(k)])) << k;
    }
}

TEST_F(Converter_Test, CancelledSaveStillDeletesFramesAndRebuilds) {
    folder().write(Converter + "a.bmp", Solid_Bmp(48, 48, Rgb_Of("a.bmp")));
    folder().write(Converter + "b.bmp", Solid_Bmp(48, 48, Rgb_Of("b.bmp")));
    Headless_File_Answers().push_back("");
    const Surface old_hidden = Hidden;
    ASSERT_NE(old_hidden, nullptr);

    EXPECT_EQ(Frame_Convert(), 1);
    EXPECT_STREQ(File_Dialog.lpstrFile, "1.bmp");  // proposed: the next object number
    EXPECT_FALSE(Any_Loose_Frames());
    EXPECT_FALSE(std::filesystem::exists(folder().native("Mirravane/Data/Bmp/Objects/1.bmp")));
    EXPECT_NE(Hidden, nullptr);
    EXPECT_EQ(Objects_Loaded, 1);
}

TEST_F(Converter_Test, FramesOfOtherSizesAreCutOrPaddedToTheFirst) {
    folder().write(Converter + "a.bmp", Solid_Bmp(32, 32, Rgb_Of("a.bmp")));
    folder().write(Converter + "b.bmp", Solid_Bmp(48, 48, Rgb_Of("b.bmp")));
    folder().write(Converter + "c.bmp", Solid_Bmp(64, 64, Rgb_Of("c.bmp")));
    const std::vector<std::string> order = Search_Order(folder());
    ASSERT_EQ(order.size(), 3u);
    const int side = order[0] == "a.bmp" ? 32 : order[0] == "b.bmp" ? 48 : 64;
    Headless_File_Answers().push_back(folder().windows("Mirravane\\Data\\Bmp\\Objects\\1.bmp"));

    ASSERT_EQ(Frame_Convert(), 1);
    ASSERT_EQ(Objects_Loaded, 2);
    ASSERT_EQ(Objects_Data[1].frame_width, side);
    ASSERT_EQ(Objects_Data[1].total_height, 3 * side);
    for (int k = 0; k < 3; ++k) {
        const std::string& name = order[static_cast<size_t>(k)];
        const int own = name == "a.bmp" ? 32 : name == "b.bmp" ? 48 : 64;
        const int inside = std::min(own, side) - 1;
        EXPECT_EQ(Peek(Objects_Data[1].images, inside, k * side + inside), Colour_Of(name)) << name;
        if (own < side) {
            EXPECT_EQ(Peek(Objects_Data[1].images, own, k * side + own), 0u) << name;
        }
    }
}

TEST_F(Converter_Test, EmptyFolderAndUnreadableFirstFrameChangeNothing) {
    const Surface hidden = Hidden;
    EXPECT_EQ(Frame_Convert(), 0);
    EXPECT_TRUE(Log_Has("FindFirstFile returned INVALID_HANDLE_VALUE"));
    EXPECT_EQ(Hidden, hidden);

    folder().write(Converter + "broken.bmp", "BM not a bitmap");
    EXPECT_EQ(Frame_Convert(), 0);
    EXPECT_TRUE(Log_Has("Frame_Convert(): Unable to load " +
                        folder().windows("Mirravane\\Data\\Frame Converter\\broken.bmp")));
    EXPECT_EQ(Hidden, hidden);
    EXPECT_TRUE(Any_Loose_Frames());
}

// Compaction needs only a display to show its progress on.
class Compaction_Test : public ::testing::Test {
protected:
    Scratch_Folder folder;
    Soft_Display display{160, 120, 32};
    void SetUp() override {
        ASSERT_TRUE(display.ok());
        error_logging = 0;
        Saver_Mode = CONFIGURE;
        Take_Reports();
        folder.make_folder("Mirravane/Data/Bmp/Objects");
    }
    void TearDown() override { Free_All_Objects(); }
    static std::string Name(int i) { return "Mirravane/Data/Bmp/Objects/" + std::to_string(i) + ".bmp"; }
};

// 32 frames: frame 0 red, the others green.
Rgb Hue_Frames(int, int y) { return y < 64 ? Rgb{255, 0, 0} : Rgb{0, 255, 0}; }

TEST_F(Compaction_Test, ThirtyTwoFrameObjectsBecomeTheirFirstFrame) {
    folder.write(Name(0), Make_Object_Bmp(64, 2048, Hue_Frames));
    const std::string animation = Solid_Bmp(64, 640, Rgb{0, 0, 255});
    folder.write(Name(1), animation);

    ASSERT_EQ(Compact_All_Objects(), 1);
    EXPECT_EQ(Objects_Loaded, 2);
    EXPECT_EQ(Objects_Data[0].frames, 1);
    EXPECT_EQ(Objects_Data[0].total_height, 64);
    EXPECT_EQ(Objects_Data[1].frames, 10);
    EXPECT_FLOAT_EQ(Objects_Memory, (64.0f * 64 + 64 * 640) * 32 / 8388608.0f);
    const std::string compacted = folder.read(Name(0));
    int w = 0, h = 0;
    Bmp_Size(compacted, &w, &h);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 64);
    EXPECT_EQ(compacted.substr(54), Solid_Bmp(64, 64, Rgb{255, 0, 0}).substr(54));
    EXPECT_EQ(folder.read(Name(1)), animation);
    // The last object shown in the middle of the picture.
    EXPECT_EQ(Peek(Hidden, 48, 28), 0x000000FFu);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Compaction_Test, FullDiskKeepsTheExpandedFileAndNoFilesIsAFailure) {
    EXPECT_EQ(Compact_All_Objects(), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Load_All_Objects(): No Special Effects files (Objects) Loaded"});

    const std::string expanded = Make_Object_Bmp(64, 2048, Hue_Frames);
    folder.write(Name(0), expanded);
    Set_Disk_Space_Limit(100);
    EXPECT_EQ(Compact_All_Objects(), 0);
    Set_Disk_Space_Limit(-1);
    const Reports reports = Take_Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), "Load_All_Objects():Unable to save new hue gradient for object 0\n" +
                                  folder.windows("Mirravane\\data\\bmp\\objects\\0.bmp"));
    EXPECT_EQ(folder.read(Name(0)), expanded);
    EXPECT_FALSE(std::filesystem::exists(folder.native(Temporary_File_Name(Name(0)))));
}

}  // namespace
