#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "support/scratch_folder.h"

namespace {

constexpr size_t Record_Size = 10136;

unsigned char* bytes() { return reinterpret_cast<unsigned char*>(&Plasma_Settings); }

// Every byte different from its neighbours and non-zero, padding included.
std::string pattern() {
    std::string image(Record_Size, '\0');
    for (size_t i = 0; i < Record_Size; ++i) image[i] = static_cast<char>((i * 7 + 3) % 251 + 1);
    return image;
}

std::string record_image() { return std::string(reinterpret_cast<const char*>(bytes()), Record_Size); }

class Record_File : public ::testing::Test {
protected:
    void SetUp() override {
        Headless().boxes.clear();
        root.make_folder("Mirravane");
    }
    void TearDown() override { Set_Disk_Space_Limit(-1); }
    Scratch_Folder root;
};

}  // namespace

TEST_F(Record_File, SavedAndLoadedByteForByte) {
    const std::string image = pattern();
    std::memcpy(bytes(), image.data(), Record_Size);
    ASSERT_EQ(Save_Plasma_Settings_To_File(root.windows("Mirravane/default.dat").c_str()), 1);
    EXPECT_EQ(root.read("Mirravane/default.dat"), image);

    // The padding after `contrast` and after `colour_red` lands in the file unchanged.
    std::string file = root.read("Mirravane/default.dat");
    EXPECT_EQ(static_cast<unsigned char>(file[20]), (20 * 7 + 3) % 251 + 1);
    EXPECT_EQ(static_cast<unsigned char>(file[63]), (63 * 7 + 3) % 251 + 1);

    std::memset(bytes(), 0, Record_Size);
    ASSERT_EQ(Load_Plasma_Settings(root.windows("Mirravane\\default.dat").c_str()), 1);
    EXPECT_EQ(record_image(), image);

    EXPECT_TRUE(Headless().boxes.empty());
}

TEST_F(Record_File, ShortLongEmptyAndMissingFiles) {
    const std::string image = pattern();
    const std::string short_name = root.windows("Mirravane\\short.dat");

    // Short: what the file held, then zeros, and the reader's message.
    root.write("Mirravane/short.dat", image.substr(0, 100));
    std::memset(bytes(), 0x55, Record_Size);
    EXPECT_EQ(Load_Plasma_Settings(short_name.c_str()), 0);
    EXPECT_EQ(record_image(), image.substr(0, 100) + std::string(Record_Size - 100, '\0'));
    EXPECT_EQ(Headless().boxes,
              std::vector<std::string>{"[Error] Load_Plamsa_Settings():\n\nError reading " + short_name});

    // Empty: all zero.
    root.write("Mirravane/empty.dat", "");
    std::memset(bytes(), 0x55, Record_Size);
    EXPECT_EQ(Load_Plasma_Settings(root.windows("Mirravane\\empty.dat").c_str()), 0);
    EXPECT_EQ(record_image(), std::string(Record_Size, '\0'));
    EXPECT_EQ(Headless().boxes.size(), 2u);

    // Longer: its first record, and success.
    root.write("Mirravane/long.dat", image + std::string(50, 'z'));
    EXPECT_EQ(Load_Plasma_Settings(root.windows("Mirravane\\long.dat").c_str()), 1);
    EXPECT_EQ(record_image(), image);

    // Missing: silent, the record untouched.
    EXPECT_EQ(Load_Plasma_Settings(root.windows("Mirravane\\none.dat").c_str()), 0);
    EXPECT_EQ(Load_Plasma_Settings(""), 0);
    EXPECT_EQ(record_image(), image);
    EXPECT_EQ(Headless().boxes.size(), 2u);
}

TEST_F(Record_File, FailedSavesReportAndKeepTheRecord) {
    const std::string image = pattern();
    std::memcpy(bytes(), image.data(), Record_Size);

    EXPECT_EQ(Save_Plasma_Settings_To_File(""), 0);
    EXPECT_EQ(Save_Plasma_Settings_To_File(nullptr), 0);
    EXPECT_TRUE(Headless().boxes.empty());

    // A full disk: no whole record written, two messages.
    const std::string full = root.windows("Mirravane\\full.dat");
    Set_Disk_Space_Limit(4096);
    EXPECT_EQ(Save_Plasma_Settings_To_File(full.c_str()), 0);
    std::vector<std::string> expected = {"[Error] Save_Plasma_Settings_To_File():\n\n Saved incorrect file size 0",
                                         "[Error] Save_Plasma_Settings_To_File():\n\n Error saving " + full};
    EXPECT_EQ(Headless().boxes, expected);
    EXPECT_EQ(record_image(), image);
    Set_Disk_Space_Limit(-1);

    // A folder that does not exist: only the second message.
    Headless().boxes.clear();
    const std::string nowhere = root.windows("Missing\\x.dat");
    EXPECT_EQ(Save_Plasma_Settings_To_File(nowhere.c_str()), 0);
    EXPECT_EQ(Headless().boxes,
              std::vector<std::string>{"[Error] Save_Plasma_Settings_To_File():\n\n Error saving " + nowhere});

    // With the log on the messages go to the log instead, and '%' in a name is kept.
    Headless().boxes.clear();
    Build_Error_Log_Path();
    error_logging = 1;
    ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File("T"), 1);
    const std::string odd = root.windows("Missing\\100%d.dat");
    EXPECT_EQ(Save_Plasma_Settings_To_File(odd.c_str()), 0);
    EXPECT_TRUE(Headless().boxes.empty());
    std::string log = root.read("Mirravane/error_log.txt");
    EXPECT_NE(log.find("\r\nSave_Plasma_Settings_To_File():\n\n Error saving " + odd), std::string::npos);
    Close_Error_Log();
    error_logging = 0;
}
