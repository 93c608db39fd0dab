#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "support/scratch_folder.h"
#include "session/session.h"
#include "support/fresh_session.h"

namespace {

constexpr size_t Record_Size = 10136;

unsigned char* bytes(Session& s) { return reinterpret_cast<unsigned char*>(&s.Plasma_Settings); }

// Every byte different from its neighbours and non-zero, padding included.
std::string pattern() {
    std::string image(Record_Size, '\0');
    for (size_t i = 0; i < Record_Size; ++i) image[i] = static_cast<char>((i * 7 + 3) % 251 + 1);
    return image;
}

std::string record_image(Session& s) { return std::string(reinterpret_cast<const char*>(bytes(s)), Record_Size); }

class Record_File : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
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
    std::memcpy(bytes(s), image.data(), Record_Size);
    ASSERT_EQ(Save_Plasma_Settings_To_File(s, root.windows("Mirravane/default.dat").c_str()), 1);
    EXPECT_EQ(root.read("Mirravane/default.dat"), image);  // the padding bytes too

    std::memset(bytes(s), 0, Record_Size);
    ASSERT_EQ(Load_Plasma_Settings(s, root.windows("Mirravane\\default.dat").c_str()), 1);
    EXPECT_EQ(record_image(s), image);

    EXPECT_TRUE(Headless().boxes.empty());
}

TEST_F(Record_File, OnlyAWholeRecordChangesTheRecord) {
    const std::string image = pattern();
    std::memset(bytes(s), 0x55, Record_Size);
    const std::string untouched = record_image(s);
    alarm(20);  // a FIFO that blocked the reader would end the test here

    // Short, empty and longer files, a FIFO and a folder: refused, and the record stays as it
    // was. Only the files that were read say so; the others cannot be opened, silently.
    root.write("Mirravane/short.dat", image.substr(0, 100));
    root.write("Mirravane/empty.dat", "");
    root.write("Mirravane/long.dat", image + std::string(50, 'z'));
    ASSERT_EQ(mkfifo(root.native("Mirravane/fifo.dat").c_str(), 0644), 0);
    root.make_folder("Mirravane/folder.dat");
    const struct {
        const char* name;
        bool read;
    } files[] = {{"short.dat", true}, {"empty.dat", true},   {"long.dat", true},
                 {"fifo.dat", false}, {"folder.dat", false}, {"none.dat", false}};
    std::vector<std::string> expected;
    for (const auto& file : files) {
        const std::string path = root.windows(std::string("Mirravane\\") + file.name);
        EXPECT_EQ(Load_Plasma_Settings(s, path.c_str()), 0) << file.name;
        EXPECT_EQ(record_image(s), untouched) << file.name;
        if (file.read) expected.push_back("[Error] Load_Plamsa_Settings():\n\nError reading " + path);
    }
    EXPECT_EQ(Headless().boxes, expected);
    EXPECT_EQ(Last_Preset_Read(s.app).outcome, Preset_Read::Missing);
    EXPECT_EQ(Load_Plasma_Settings(s, ""), 0);
    alarm(0);
}

TEST_F(Record_File, FailedSavesReportAndKeepTheRecord) {
    const std::string image = pattern();
    std::memcpy(bytes(s), image.data(), Record_Size);

    EXPECT_EQ(Save_Plasma_Settings_To_File(s, ""), 0);
    EXPECT_EQ(Save_Plasma_Settings_To_File(s, nullptr), 0);
    EXPECT_TRUE(Headless().boxes.empty());

    // A full disk: no whole record written, two messages.
    const std::string full = root.windows("Mirravane\\full.dat");
    Set_Disk_Space_Limit(4096);
    EXPECT_EQ(Save_Plasma_Settings_To_File(s, full.c_str()), 0);
    std::vector<std::string> expected = {"[Error] Save_Plasma_Settings_To_File():\n\n Saved incorrect file size 0",
                                         "[Error] Save_Plasma_Settings_To_File():\n\n Error saving " + full};
    EXPECT_EQ(Headless().boxes, expected);
    EXPECT_EQ(record_image(s), image);
    Set_Disk_Space_Limit(-1);

    // A folder that does not exist: only the second message.
    Headless().boxes.clear();
    const std::string nowhere = root.windows("Missing\\x.dat");
    EXPECT_EQ(Save_Plasma_Settings_To_File(s, nowhere.c_str()), 0);
    EXPECT_EQ(Headless().boxes,
              std::vector<std::string>{"[Error] Save_Plasma_Settings_To_File():\n\n Error saving " + nowhere});

    // With the log on the messages go to the log instead, and '%' in a name is kept.
    Headless().boxes.clear();
    Build_Error_Log_Path(s.app);
    s.app.error_logging = 1;
    ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File(s.app, "T"), 1);
    const std::string odd = root.windows("Missing\\100%d.dat");
    EXPECT_EQ(Save_Plasma_Settings_To_File(s, odd.c_str()), 0);
    EXPECT_TRUE(Headless().boxes.empty());
    std::string log = root.read("Mirravane/error_log.txt");
    EXPECT_NE(log.find("\r\nSave_Plasma_Settings_To_File():\n\n Error saving " + odd), std::string::npos);
    Close_Error_Log(s.app);
    s.app.error_logging = 0;
}

TEST_F(Record_File, SavingKeepsWhatTheUserSetOnTheFile) {
    namespace fs = std::filesystem;
    const std::string image = pattern();
    std::memcpy(bytes(s), image.data(), Record_Size);
    const auto save = [this](const char* name) { return Save_Plasma_Settings_To_File(s, root.windows(name).c_str()); };
    const auto mode = [this](const char* name) { return fs::status(root.native(name)).permissions(); };
    alarm(20);

    // Through links, also a dangling one, to their targets; the links stay and so does the mode.
    root.make_folder("Mirravane/Presets");
    root.write("Mirravane/Presets/real.dat", "old");
    fs::permissions(root.native("Mirravane/Presets/real.dat"), fs::perms(0640));
    fs::create_symlink("Presets/real.dat", root.native("Mirravane/linked.dat"));
    fs::create_symlink("Presets/fresh.dat", root.native("Mirravane/new.dat"));
    EXPECT_EQ(save("Mirravane\\linked.dat"), 1);
    EXPECT_EQ(save("Mirravane\\new.dat"), 1);
    EXPECT_TRUE(fs::is_symlink(root.native("Mirravane/linked.dat")));
    EXPECT_TRUE(fs::is_symlink(root.native("Mirravane/new.dat")));
    EXPECT_EQ(root.read("Mirravane/Presets/real.dat"), image);
    EXPECT_EQ(root.read("Mirravane/Presets/fresh.dat"), image);
    EXPECT_EQ(mode("Mirravane/Presets/real.dat"), fs::perms(0640));
    EXPECT_TRUE(Headless().boxes.empty());

    // A read-only file, a FIFO and a folder are refused as they are, and say why.
    root.write("Mirravane/locked.dat", "mine");
    fs::permissions(root.native("Mirravane/locked.dat"), fs::perms(0444));
    ASSERT_EQ(mkfifo(root.native("Mirravane/fifo.dat").c_str(), 0644), 0);
    root.make_folder("Mirravane/folder.dat");
    EXPECT_EQ(save("Mirravane\\locked.dat"), 0);
    EXPECT_EQ(save("Mirravane\\fifo.dat"), 0);
    EXPECT_EQ(save("Mirravane\\folder.dat"), 0);
    alarm(0);
    EXPECT_EQ(root.read("Mirravane/locked.dat"), "mine");
    EXPECT_EQ(mode("Mirravane/locked.dat"), fs::perms(0444));
    EXPECT_EQ(fs::status(root.native("Mirravane/fifo.dat")).type(), fs::file_type::fifo);
    ASSERT_EQ(Headless().boxes.size(), 6u);
    const char* const why[] = {"locked.dat is read-only", "fifo.dat is not a regular file",
                               "folder.dat is not a regular file"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(Headless().boxes[2 * i].find(why[i]), std::string::npos) << Headless().boxes[2 * i];
        EXPECT_NE(Headless().boxes[2 * i + 1].find("Error saving"), std::string::npos);
    }

    // Nothing of the writes is left behind.
    for (const auto& entry : fs::recursive_directory_iterator(root.native("Mirravane")))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}
