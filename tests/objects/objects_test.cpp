// Loading the object bitmaps, expanding single frames into hue-gradient frames and compacting them again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "objects/object_files.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "session/run_mode.h"
#include "slides/frame_converter.h"
#include "slides/objects.h"
#include "slides/slides.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "support/surface_fixture.h"
#include "surface/display.h"
#include "support/fresh_session.h"

using Reports = std::vector<std::string>;

namespace {

constexpr Rgb RED{255, 0, 0}, BLUE{0, 0, 255}, BLACK{0, 0, 0};

class Objects_Test : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    Scratch_Folder folder;
    Soft_Display display{s, 160, 120, 32};

    void SetUp() override {
        ASSERT_TRUE(display.ok());
        s.app.error_logging = 0;
        s.app.Saver_Mode = CONFIGURE;
        Take_Reports();
        folder.make_folder("Mirravane/Data/Bmp/Objects");
    }
    void TearDown() override { Free_All_Objects(s); }

    static std::string Name(int i) { return "Mirravane/Data/Bmp/Objects/" + std::to_string(i) + ".bmp"; }
    void Put(int i, const std::string& bytes) const { folder.write(Name(i), bytes); }
    // The file the program makes of a square object on its first load.
    std::string Expanded(const std::string& square) {
        Put(0, square);
        EXPECT_EQ(Load_All_Objects(s.display), 1);
        Free_All_Objects(s);
        Take_Reports();
        return folder.read(Name(0));
    }
    std::string Path(int i) const { return folder.windows("Mirravane\\data\\bmp\\objects\\" + std::to_string(i) + ".bmp"); }
};

// Frame 0 of the test object: red left half, a black column, blue right part.
Rgb Pattern(int x, int) { return x < 32 ? RED : x == 32 ? BLACK : BLUE; }

TEST_F(Objects_Test, SquareObjectExpandsIntoThirtyTwoHueFramesOnce) {
    Put(0, Make_Object_Bmp(64, 64, Pattern));
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 1);
    const OBJECTS_DATA& object = s.app.Objects_Data[0];
    EXPECT_EQ(std::tuple(object.frame_width, object.total_height, object.frames), std::tuple(64, 2048, 32));
    int w = 0, h = 0;
    ASSERT_EQ(Grab_Surface_Dimensions(s.app, object.images, &w, &h), 1);
    EXPECT_EQ(std::pair(w, h), std::pair(64, 2048));
    // 64 x 2048 pixels of 32 bits: 4 Mbit = 0.5 Mb.
    EXPECT_FLOAT_EQ(s.app.Objects_Memory, 0.5f);

    // Frame k is frame 0 turned by 8k / 256 of the circle.
    Surface images = object.images;
    EXPECT_EQ(Peek(images, 0, 0), 0x00FF0000u);
    EXPECT_EQ(Peek(images, 40, 10), 0x000000FFu);
    // k = 8: +90 degrees. Red 0 -> 90: (q, v, p) = (0.5, 1, 0); blue 240 -> 330: (v, p, q) = (1, 0, 0.5).
    EXPECT_EQ(Peek(images, 5, 8 * 64 + 3), 0x7FFF00u);
    EXPECT_EQ(Peek(images, 50, 8 * 64 + 63), 0xFF007Fu);
    // k = 16: +180 degrees, red becomes cyan.
    EXPECT_EQ(Peek(images, 0, 16 * 64) & 0xFF00FF, 0x0000FFu);
    EXPECT_GE(Channels_32(Peek(images, 0, 16 * 64)).g, 254);
    // Black stays black (transparent) in every frame.
    for (int k = 0; k < 32; ++k) EXPECT_EQ(Peek(images, 32, k * 64 + 7), 0u) << k;
    EXPECT_TRUE(Take_Reports().empty());

    // Written back expanded; the next load takes it as it is.
    const std::string written = folder.read(Name(0));
    Bmp_Size(written, &w, &h);
    EXPECT_EQ(std::pair(w, h), std::pair(64, 2048));
    EXPECT_EQ(written.size(), 54u + 3u * 64u * 2048u);
    EXPECT_FALSE(std::filesystem::exists(folder.native(Temporary_File_Name(Name(0)))));
    Free_All_Objects(s);
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Data[0].frames, 32);
    EXPECT_EQ(folder.read(Name(0)), written);
    EXPECT_FLOAT_EQ(s.app.Objects_Memory, 0.5f);
}

TEST_F(Objects_Test, ScanStopsAtTheFirstGapAndOnlySquaresExpand) {
    const std::string strip = Solid_Bmp(64, 640, RED);  // an animation of 10 frames
    Put(0, strip);
    Put(1, Solid_Bmp(16, 32, BLUE));
    Put(3, Solid_Bmp(16, 32, BLUE));
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    EXPECT_EQ(s.app.Objects_Data[0].frames, 10);
    EXPECT_EQ(s.app.Objects_Data[1].frames, 2);
    EXPECT_EQ(s.app.Objects_Data[3].images, nullptr);
    EXPECT_EQ(folder.read(Name(0)), strip);
    EXPECT_EQ(Get_Object_Images(s.app, -1), nullptr);
    EXPECT_EQ(Get_Object_Images(s.app, 2), nullptr);
    EXPECT_EQ(Get_Object_Images(s.app, 1), s.app.Objects_Data[1].images);
    // (64 * 640 + 16 * 32) * 32 bits.
    EXPECT_FLOAT_EQ(s.app.Objects_Memory, (64.0f * 640 + 16 * 32) * 32 / 8388608.0f);

    // Loading again over a table that still holds a bitmap is refused.
    EXPECT_EQ(Load_All_Objects(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Load All Objects(): Objects_Data[i].images should be NULL"});

    // A preview leaves a square object single and its file alone.
    Free_All_Objects(s);
    s.app.Saver_Mode = PREVIEW;
    const std::string square = Solid_Bmp(16, 16, RED);
    Put(0, square);
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(std::pair(s.app.Objects_Data[0].frames, s.app.Objects_Data[0].total_height), std::pair(1, 16));
    EXPECT_EQ(folder.read(Name(0)), square);
}

TEST_F(Objects_Test, OnlyTheConfigurationWindowShowsProgressWhileObjectsExpand) {
    const auto expand_all = [this](int mode) {
        Free_All_Objects(s);
        Put(0, Solid_Bmp(16, 64, RED));  // a strip: loaded as it is
        Put(1, Solid_Bmp(16, 16, RED));
        Put(2, Solid_Bmp(16, 16, BLUE));
        s.app.Saver_Mode = mode;
        Headless().progress.clear();
        EXPECT_EQ(Load_All_Objects(s.display), 1);
        EXPECT_EQ(s.app.Objects_Data[2].frames, 32);
        return Headless().progress;
    };
    EXPECT_EQ(expand_all(CONFIGURE), (Reports{"Preparing objects 2 of 3 1/3", "Preparing objects 3 of 3 2/3",
                                               "Objects prepared 3/3", "end"}));
    // Expanded already: nothing to wait for.
    Free_All_Objects(s);
    Headless().progress.clear();
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_TRUE(Headless().progress.empty());
    // A saver on a fresh install expands without a window of its own.
    EXPECT_TRUE(expand_all(SAVER).empty());
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Objects_Test, UnusableFilesAreSkippedAndTheObjectsAfterThemLoad) {
    EXPECT_EQ(Load_All_Objects(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Load_All_Objects(): No Special Effects files (Objects) Loaded"});

    Put(0, Solid_Bmp(16, 32, RED));
    Put(1, Solid_Bmp(32, 16, RED));  // wider than tall: no whole frame
    Put(2, "This is a text file, not a picture.\n");
    Put(3, "");
    folder.make_folder(Name(4));
    std::filesystem::create_symlink(folder.native("nowhere.bmp"), folder.native(Name(5)));
    Put(6, Solid_Bmp(16, 48, BLUE));
    Put(8, Solid_Bmp(16, 32, RED));  // after the gap at 7
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    // The table has no holes: the object of 6.bmp is object 1.
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    EXPECT_EQ(s.app.Objects_Data[1].frames, 3);
    EXPECT_EQ(Peek(s.app.Objects_Data[1].images, 3, 40), 0x000000FFu);
    EXPECT_EQ(s.app.Objects_Data[2].images, nullptr);
    Reports skipped;
    for (const std::string& line : Take_Reports())
        if (line.find("skipped") != std::string::npos) skipped.push_back(line);
    Reports expected;
    for (int i = 1; i <= 5; ++i)
        expected.push_back("Load_All_Objects(): " + Path(i) + " skipped, the objects after it still load");
    EXPECT_EQ(skipped, expected);
    EXPECT_EQ(folder.read(Name(2)), "This is a text file, not a picture.\n");

    // With nothing usable the load fails as if there were no files.
    Free_All_Objects(s);
    Put(0, Solid_Bmp(32, 16, RED));
    std::filesystem::remove(folder.native(Name(6)));
    EXPECT_EQ(Load_All_Objects(s.display), 0);
    EXPECT_EQ(s.app.Objects_Loaded, 0);
    const Reports reports = Take_Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), "Load_All_Objects(): No Special Effects files (Objects) Loaded");
}

TEST_F(Objects_Test, ObjectsThatCannotBeWrittenBackAreUsedFromMemory) {
    // A full disk: the old file stays whole, the hue frames are used for this run.
    const std::string square = Solid_Bmp(16, 16, RED);
    Put(0, square);
    // A side that no bitmap file may have.
    const std::string odd = Solid_Bmp(20, 20, BLUE);
    Put(1, odd);
    Set_Disk_Space_Limit(1000);  // the expanded file needs 54 + 3 * 16 * 512 bytes
    EXPECT_EQ(Load_All_Objects(s.display), 1);
    Set_Disk_Space_Limit(-1);
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(s.app.Objects_Data[i].frames, 32) << i;
        int w = 0, h = 0;
        ASSERT_EQ(Grab_Surface_Dimensions(s.app, s.app.Objects_Data[i].images, &w, &h), 1);
        EXPECT_EQ(h, 32 * w) << i;
    }
    const Reports reports = Take_Reports();
    auto has = [&reports](const std::string& line) {
        return std::find(reports.begin(), reports.end(), line) != reports.end();
    };
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(has("Load_All_Objects():Unable to save new hue gradient for object " + std::to_string(i) + "\n" +
                        Path(i)))
            << i;
        EXPECT_TRUE(has("Load_All_Objects(): object " + std::to_string(i) + " is used from memory for this run")) << i;
    }
    EXPECT_TRUE(has("Save_Bitmap():Width (20) and Height (640) Must be a multiple of 8"));
    EXPECT_EQ(folder.read(Name(0)), square);
    EXPECT_EQ(folder.read(Name(1)), odd);
    EXPECT_FALSE(std::filesystem::exists(folder.native(Temporary_File_Name(Name(0)))));
}

TEST_F(Objects_Test, HueGradientStepsAndProgressPicture) {
    Put(0, Solid_Bmp(16, 16, RED));
    s.app.Saver_Mode = PREVIEW;  // load it single, expand by hand
    ASSERT_EQ(Load_All_Objects(s.display), 1);

    // No steps, or too many steps (512 % 256 = 0): nothing happens, silently.
    EXPECT_EQ(Create_Objects_Hue_Gradient(s.display, 0, 16, 16, 0, 8), 0);
    EXPECT_EQ(Create_Objects_Hue_Gradient(s.display, 0, 16, 16, 512, 8), 0);
    EXPECT_EQ(s.app.Objects_Data[0].total_height, 16);
    EXPECT_TRUE(Take_Reports().empty());

    // 4 steps of 100 overshoot the circle: the step becomes 256 / 4 = 64, a quarter turn.
    ASSERT_EQ(Create_Objects_Hue_Gradient(s.display, 0, 16, 16, 4, 100), 1);
    EXPECT_EQ(s.app.Objects_Data[0].frames, 4);
    EXPECT_EQ(s.app.Objects_Data[0].total_height, 64);
    EXPECT_EQ(Peek(s.app.Objects_Data[0].images, 3, 16 + 3), 0x7FFF00u);  // 90 degrees
    // The last progress picture is frame 2 (180 degrees) in the middle of the 160 x 120 picture.
    EXPECT_EQ(Peek(s.display.Hidden, 72 + 5, 52 + 5) & 0xFF00FF, 0x0000FFu);
    EXPECT_EQ(Peek(s.display.Hidden, 71, 52), 0u);
    EXPECT_EQ(Peek(s.display.Hidden, 72, 51), 0u);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Objects_Test, FailedHueStepKeepsTheOldBitmapAndItsSizes) {
    Put(0, Solid_Bmp(16, 16, RED));
    s.app.Saver_Mode = PREVIEW;
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    Surface old = s.app.Objects_Data[0].images;
    Inject_DD_Fault(DD_Call::GetDC, DDERR_GENERIC);
    EXPECT_EQ(Create_Objects_Hue_Gradient(s.display, 0, 16, 16, 32, 0), 0);
    EXPECT_EQ(s.app.Objects_Data[0].images, old);
    // The sizes still describe the bitmap the entry holds, so the object stays usable.
    EXPECT_EQ(std::pair(s.app.Objects_Data[0].frames, s.app.Objects_Data[0].total_height), std::pair(1, 16));
    EXPECT_EQ(Take_Reports(), (Reports{"Alter Hue() Unable to Acquire dest device context from surface",
                                       "Create_Objects_Hue_Gradient():Unable to alter hue at step 1"}));
}

TEST_F(Objects_Test, LostBitmapsAreReadAgainAndTheSlidesRebuilt) {
    Put(0, Solid_Bmp(16, 32, RED));
    Put(1, Solid_Bmp(16, 16, BLUE));
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(Restore_All_Objects(s), 1);  // nothing lost: nothing done
    Default_Plasma_Settings(s);
    s.Plasma_Settings.slides_on = 1;
    s.Plasma_Settings.background = 0;  // black: the slides need nothing else
    s.app.Objects_Data[1].images->Mark_Lost();
    ASSERT_EQ(Restore_All_Objects(s), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    ASSERT_NE(s.app.Objects_Data[1].images, nullptr);
    EXPECT_NE(s.app.Objects_Data[1].images->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(s.app.Objects_Data[1].frames, 32);  // from the file written at the first load
    EXPECT_EQ(Peek(s.app.Objects_Data[1].images, 3, 3), 0x000000FFu);
    EXPECT_EQ(s.slides.Slides_Ready, 1);
    Free_Colour_Slides(s);
}

// Frame 0 of the test objects: red left half, blue right half.
Rgb Two_Colours(int x, int) { return x < 32 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; }
// 32 frames: frame 0 red, the others green.
Rgb Hue_Frames(int, int y) { return y < 64 ? Rgb{255, 0, 0} : Rgb{0, 255, 0}; }

TEST_F(Objects_Test, OnlyTheProgramsOwnHueFramesBecomeTheirFirstFrame) {
    const std::string square = Make_Object_Bmp(64, 64, Two_Colours);
    const std::string expanded = Expanded(square);
    ASSERT_EQ(expanded.size(), 54u + 3u * 64u * 2048u);
    // The same strip with one pixel of the last frame changed is somebody's animation.
    std::string touched = expanded;
    touched[54 + 3 * 5] = static_cast<char>(touched[54 + 3 * 5] ^ 0x40);
    const std::string animation = Make_Object_Bmp(64, 2048, Hue_Frames);
    const std::string strip = Solid_Bmp(64, 640, Rgb{0, 0, 255});
    folder.write(Name(0), expanded);
    folder.write(Name(1), animation);
    folder.write(Name(2), touched);
    folder.write(Name(3), strip);

    ASSERT_EQ(Compact_All_Objects(s), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 4);
    EXPECT_EQ(s.app.Objects_Data[0].total_height, 64);
    const int frames[] = {1, 32, 32, 10};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.app.Objects_Data[i].frames, frames[i]) << i;
    EXPECT_FLOAT_EQ(s.app.Objects_Memory, (64.0f * 64 + 2 * 64 * 2048 + 64 * 640) * 32 / 8388608.0f);
    EXPECT_EQ(folder.read(Name(0)).substr(54), square.substr(54));
    EXPECT_EQ(folder.read(Name(1)), animation);
    EXPECT_EQ(folder.read(Name(2)), touched);
    EXPECT_EQ(folder.read(Name(3)), strip);
    // The last object shown in the middle of the picture.
    EXPECT_EQ(Peek(s.display.Hidden, 48, 28), 0x000000FFu);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Objects_Test, FullDiskKeepsTheExpandedFileAndNoFilesIsAFailure) {
    EXPECT_EQ(Compact_All_Objects(s), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Load_All_Objects(): No Special Effects files (Objects) Loaded"});

    const std::string expanded = Expanded(Make_Object_Bmp(64, 64, Two_Colours));
    Set_Disk_Space_Limit(100);
    EXPECT_EQ(Compact_All_Objects(s), 0);
    Set_Disk_Space_Limit(-1);
    const Reports reports = Take_Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), "Load_All_Objects():Unable to save new hue gradient for object 0\n" +
                                  folder.windows("Mirravane\\data\\bmp\\objects\\0.bmp"));
    EXPECT_EQ(folder.read(Name(0)), expanded);
    EXPECT_FALSE(std::filesystem::exists(folder.native(Temporary_File_Name(Name(0)))));
}

}  // namespace
