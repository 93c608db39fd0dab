// Object files too large for a sprite, and the memory all objects may take together.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <memory>

#include "objects/object_files.h"
#include "session/run_mode.h"
#include "slides/objects.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "support/surface_fixture.h"
#include "support/fresh_session.h"

using Reports = std::vector<std::string>;

namespace {

constexpr Rgb RED{255, 0, 0};

// An 8-bit run-length file claiming width x height whose data ends the picture at once:
// 60 bytes, whatever the claim.
std::string Rle8_Claim(int width, int height) {
    std::string out(60, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 60);
    put32(10, 58);  // file header, info header, one palette entry
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 8;
    put32(30, 1);  // run-length, 8 bits
    put32(34, 2);
    put32(46, 1);  // one colour
    out[58] = 0;
    out[59] = 1;  // end of picture
    return out;
}

long Peak_Rss_Kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class Object_Cap_Test : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    Scratch_Folder folder;
    std::unique_ptr<Soft_Display> display;

    void SetUp() override {
        display = std::make_unique<Soft_Display>(s, 160, 120, bpp());
        ASSERT_TRUE(display->ok());
        s.app.error_logging = 0;
        s.app.Saver_Mode = CONFIGURE;
        Take_Reports();
        folder.make_folder("Mirravane/Data/Bmp/Objects");
    }
    void TearDown() override {
        Free_All_Objects(s);
        s.app.Objects_Memory_Budget = 512LL * 1024 * 1024;
        display.reset();
    }
    virtual int bpp() const { return 32; }

    static std::string Name(int i) { return "Mirravane/Data/Bmp/Objects/" + std::to_string(i) + ".bmp"; }
    void Put(int i, const std::string& bytes) const { folder.write(Name(i), bytes); }
    std::string Path(int i) const { return folder.windows("Mirravane\\data\\bmp\\objects\\" + std::to_string(i) + ".bmp"); }
    std::string Too_Large(int i, int w, int h) const {
        return "Load_All_Objects(): " + Path(i) + " is too large to use as an object (" + std::to_string(w) + " x " +
               std::to_string(h) + ") - ignored";
    }
    std::string Skipped(int i) const {
        return "Load_All_Objects(): " + Path(i) + " skipped, the objects after it still load";
    }
    std::string Over_Budget(int i, const char* mb) const {
        return "Load_All_Objects(): " + Path(i) + " would take the objects past the " + mb +
               " Mb kept for them - ignored";
    }
};

class Object_Cap_Test_16 : public Object_Cap_Test {
protected:
    int bpp() const override { return 16; }
};

TEST_F(Object_Cap_Test, HugeRunLengthClaimIsRefusedWithoutDecoding) {
    // 516 x 65526 would take 135 MB decoded and as many again as a surface.
    Put(0, Solid_Bmp(16, 32, RED));
    Put(1, Rle8_Claim(516, 65526));
    Put(2, Solid_Bmp(16, 32, RED));
    const long before = Peak_Rss_Kb();
    EXPECT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_LT(Peak_Rss_Kb() - before, 32 * 1024);
    // Skipped: the object after it takes its place.
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    EXPECT_EQ(s.app.Objects_Data[1].frames, 2);
    EXPECT_EQ(s.app.Objects_Data[2].images, nullptr);
    EXPECT_EQ(Take_Reports(), (Reports{Too_Large(1, 516, 65526), Skipped(1)}));

    // As the only file it leaves nothing loaded.
    Free_All_Objects(s);
    Put(0, Rle8_Claim(516, 65526));
    std::filesystem::remove(folder.native(Name(1)));
    EXPECT_EQ(Load_All_Objects(s.display), 0);
    EXPECT_EQ(s.app.Objects_Loaded, 0);
    EXPECT_EQ(Take_Reports(), (Reports{Too_Large(0, 516, 65526), Skipped(0),
                                       "Load_All_Objects(): No Special Effects files (Objects) Loaded"}));

    // A claim past what any bitmap may hold stays the loader's to refuse, as before.
    Put(0, Rle8_Claim(20000, 20000));
    EXPECT_EQ(Load_All_Objects(s.display), 0);
    const Reports reports = Take_Reports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[reports.size() - 3], "Load_All_Objects():Unable to load " + Path(0));
}

TEST_F(Object_Cap_Test, PictureLimitsAtTheirEdges) {
    // 2048 x 8192 = 4096 * 4096 pixels: four frames, just inside.
    Put(0, Rle8_Claim(2048, 8192));
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 1);
    EXPECT_EQ(s.app.Objects_Data[0].frames, 4);
    EXPECT_TRUE(Take_Reports().empty());
    Free_All_Objects(s);

    // One row more is 2048 pixels too many.
    Put(0, Solid_Bmp(16, 32, RED));
    Put(1, Rle8_Claim(2048, 8193));
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 1);
    EXPECT_EQ(Take_Reports(), (Reports{Too_Large(1, 2048, 8193), Skipped(1)}));
    Free_All_Objects(s);

    // A square frame is judged on its 32 hue frames: 1025 * 1025 * 32 = 33620000 pixels,
    // past 1024 * 32768 = 33554432; the file is left as it was.
    const std::string square = Rle8_Claim(1025, 1025);
    Put(1, square);
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 1);
    EXPECT_EQ(Take_Reports(), (Reports{Too_Large(1, 1025, 1025), Skipped(1)}));
    EXPECT_EQ(folder.read(Name(1)), square);
    Free_All_Objects(s);

    // A preview does not expand, so the same square is a small object there.
    s.app.Saver_Mode = PREVIEW;
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    EXPECT_EQ(std::pair(s.app.Objects_Data[1].frames, s.app.Objects_Data[1].total_height), std::pair(1, 1025));
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Object_Cap_Test, BudgetSkipsTheObjectsPastIt) {
    // 512 x 1024 pixels of 4 bytes: 2 MiB each.
    Put(0, Solid_Bmp(512, 1024, RED));
    Put(1, Solid_Bmp(512, 1024, RED));
    Put(2, Solid_Bmp(16, 32, RED));
    s.app.Objects_Memory_Budget = 4LL * 1024 * 1024 - 1;
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    // The second does not fit; the small third one still does.
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    EXPECT_EQ(s.app.Objects_Data[1].frames, 2);
    EXPECT_EQ(s.app.Objects_Data[2].images, nullptr);
    EXPECT_EQ(Take_Reports(), (Reports{Over_Budget(1, "4.00"), Skipped(1)}));
    // Objects_Memory counts what was loaded: 512 * 1024 * 32 bits = 2 Mb, and 16 * 32 * 32 bits.
    EXPECT_FLOAT_EQ(s.app.Objects_Memory, 2.0f + 16 * 32 * 32 / 8388608.0f);
    Free_All_Objects(s);

    // Exactly full: both fit, and the 2048-byte third one is past it.
    s.app.Objects_Memory_Budget = 4LL * 1024 * 1024;
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 2);
    EXPECT_EQ(Take_Reports(), (Reports{Over_Budget(2, "4.00"), Skipped(2)}));
    Free_All_Objects(s);

    // A square counts as its 32 expanded frames: 16 * 512 * 4 = 32768 bytes, checked before
    // the expansion is made and written.
    const std::string square = Solid_Bmp(16, 16, RED);
    Put(0, square);
    std::filesystem::remove(folder.native(Name(1)));
    std::filesystem::remove(folder.native(Name(2)));
    s.app.Objects_Memory_Budget = 32767;
    EXPECT_EQ(Load_All_Objects(s.display), 0);
    EXPECT_EQ(Take_Reports(), (Reports{Over_Budget(0, "0.03"), Skipped(0),
                                       "Load_All_Objects(): No Special Effects files (Objects) Loaded"}));
    EXPECT_EQ(folder.read(Name(0)), square);
    s.app.Objects_Memory_Budget = 32768;
    Put(1, Solid_Bmp(16, 32, RED));
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 1);
    EXPECT_EQ(s.app.Objects_Data[0].frames, 32);
    EXPECT_EQ(Take_Reports(), (Reports{Over_Budget(1, "0.03"), Skipped(1)}));
}

TEST_F(Object_Cap_Test_16, BudgetCountsTheDisplaysDepth) {
    // At 16 bits 512 x 1024 pixels take 1 MiB: three fit in 3 MiB, the fourth does not.
    for (int i = 0; i < 4; ++i) Put(i, Solid_Bmp(512, 1024, RED));
    s.app.Objects_Memory_Budget = 3LL * 1024 * 1024;
    ASSERT_EQ(Load_All_Objects(s.display), 1);
    EXPECT_EQ(s.app.Objects_Loaded, 3);
    EXPECT_EQ(Take_Reports(), (Reports{Over_Budget(3, "3.00"), Skipped(3)}));
}

}  // namespace
