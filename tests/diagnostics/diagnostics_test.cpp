#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "support/scratch_folder.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

// A log folder under a scratch Windows directory, a main window to receive WM_DESTROY,
// and a fixed local time: Tuesday 5 December 2000, 9:05:07.
class Error_Log : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        Headless().boxes.clear();
        Headless().sounds.clear();
        root.make_folder("Mirravane");
        Build_Error_Log_Path(s.app);
        s.display.Main_Window = Create_Window("Mirravane", WS_OVERLAPPEDWINDOW, 0, 0, 0, 640, 480, nullptr, nullptr, nullptr);
        const SYSTEMTIME now{2000, 12, 2, 5, 9, 5, 7};
        Set_Fake_Local_Time(&now);
    }
    void TearDown() override {
        Close_Error_Log(s.app);
        s.app.error_logging = 0;
        Set_Fake_Local_Time(nullptr);
        Set_Disk_Space_Limit(-1);
    }
    std::string log() const { return root.read("Mirravane/error_log.txt"); }
    void start_log() {
        s.app.error_logging = 1;
        ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File(s.app, "Mirravane Error Log File\r\n"), 1);
    }
    bool destroy_posted() {
        MSG msg;
        return PeekMessageA(&msg, s.display.Main_Window, WM_DESTROY, WM_DESTROY, PM_REMOVE) && msg.hwnd == s.display.Main_Window;
    }

    Scratch_Folder root;
    const std::string header = "\r\n\r\n9:5:7, Tuesday December 5, 2000\r\nMirravane Error Log File\r\n";
};

}  // namespace

TEST_F(Error_Log, HeaderThenEntriesEachOnANewLine) {
    EXPECT_EQ(std::string(s.app.Error_Log_Path), root.path() + "\\Mirravane\\error_log.txt");
    start_log();
    Report_Error(s.app, "Setup(): one");
    Report_Errorf(s.app, "Decode %d of %s", 7, "x");
    EXPECT_EQ(log(), header + "\r\nSetup(): one\r\nDecode 7 of x");
    EXPECT_STREQ(s.app.Message_Buffer, "Decode 7 of x");
    EXPECT_TRUE(Headless().boxes.empty());
    EXPECT_TRUE(Headless().sounds.empty());
    EXPECT_EQ(Get_File_Size(s.app.Error_Log_Path), header.size() + 29);
    EXPECT_EQ(Get_File_Size(root.windows("Mirravane\\missing.txt").c_str()), 0u);

    // A new header replaces the old log; another day and month come from the tables.
    Close_Error_Log(s.app);
    const SYSTEMTIME later{2023, 1, 0, 1, 23, 59};
    Set_Fake_Local_Time(&later);
    ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File(s.app, "T"), 1);
    EXPECT_EQ(log(), "\r\n\r\n23:59:0, Sunday January 1, 2023\r\nT");

    // Written again after the log was closed: added at the end, the header kept.
    Close_Error_Log(s.app);
    Report_Error(s.app, "late");
    EXPECT_EQ(log(), "\r\n\r\n23:59:0, Sunday January 1, 2023\r\nT\r\nlate");
}

TEST_F(Error_Log, WithTheLogOffReportsShowBoxes) {
    int cursor = Cursor_Show_Count();
    // Never a format: "%s" and "%n" here would read or write through missing arguments.
    Report_Error(s.app, "C:\\100%s\\%n%d.dat");
    Report_Errorf(s.app, "Load_Plamsa_Settings():\n\nError reading %s", "C:\\50%\\x.dat");
    Message_Box(s.app, "Frames %d", 3);
    std::vector<std::string> expected = {"[Error] C:\\100%s\\%n%d.dat",
                                         "[Error] Load_Plamsa_Settings():\n\nError reading C:\\50%\\x.dat",
                                         "[Message] Frames 3"};
    EXPECT_EQ(Headless().boxes, expected);
    EXPECT_EQ(Headless().sounds, std::vector<std::string>(2, "Include/Error.wav"));
    EXPECT_EQ(Cursor_Show_Count(), cursor + 3);

    // With the log on, the same text goes to the file as written and no box appears.
    start_log();
    Report_Error(s.app, "C:\\100%s\\%n%d.dat");
    EXPECT_EQ(log(), header + "\r\nC:\\100%s\\%n%d.dat");
    EXPECT_EQ(Headless().boxes.size(), 3u);
}

TEST_F(Error_Log, FailuresRepeatedInFramesAreLoggedOncePerPreset) {
    start_log();
    const auto frame = [&](int scroll) {
        const Frame_Reports drawing(s.app);
        Report_Error(s.app, "Draw_Plasma(): Clip_H_Blit FAILED");
        Report_Errorf(s.app, "Clip_Blit(): DEFAULT blitting from source x,y (%d,%d)", scroll, 0);
    };
    for (int i = 0; i < 50; ++i) frame(i);
    // Outside frames (set-up, menu commands) every report is logged.
    Report_Error(s.app, "Draw_Plasma(): Clip_H_Blit FAILED");
    EXPECT_EQ(log(), header + "\r\nDraw_Plasma(): Clip_H_Blit FAILED\r\nClip_Blit(): DEFAULT blitting from source x,y (0,0)"
                              "\r\nDraw_Plasma(): Clip_H_Blit FAILED");
    // Another failure in frames is still news; a new preset logs the old ones once again.
    frame(7);
    {
        const Frame_Reports drawing(s.app);
        Report_Error(s.app, "Draw_Slides_Left(): Paint On Slide FAILED");
    }
    Forget_Frame_Reports(s.app);
    frame(9);
    frame(10);
    EXPECT_EQ(log(), header + "\r\nDraw_Plasma(): Clip_H_Blit FAILED\r\nClip_Blit(): DEFAULT blitting from source x,y (0,0)"
                              "\r\nDraw_Plasma(): Clip_H_Blit FAILED\r\nDraw_Slides_Left(): Paint On Slide FAILED"
                              "\r\nDraw_Plasma(): Clip_H_Blit FAILED\r\nClip_Blit(): DEFAULT blitting from source x,y (9,0)");
    // With the log off, a failure in a frame is a box every time, as before.
    Close_Error_Log(s.app);
    s.app.error_logging = 0;
    frame(1);
    frame(2);
    EXPECT_EQ(Headless().boxes.size(), 4u);
    Forget_Frame_Reports(s.app);
}

TEST_F(Error_Log, EntriesHoldAnyMessageOfTheSharedBuffer) {
    start_log();
    // A message naming a long path comes out whole; only text past what the shared
    // buffer holds is cut.
    const std::string path_message = "Unable to read file /" + std::string(4000, 'p') + "/x.dat";
    std::string text(MESSAGE_BUFFER_SIZE + 100, 'x');
    text[MESSAGE_BUFFER_SIZE - 2] = 'L';  // the last character that fits
    text[MESSAGE_BUFFER_SIZE - 1] = 'C';
    Report_Error(s.app, path_message.c_str());
    Report_Error(s.app, text.c_str());
    Report_Error(s.app, "next");
    EXPECT_EQ(log(), header + "\r\n" + path_message + "\r\n" + text.substr(0, MESSAGE_BUFFER_SIZE - 1) + "\r\nnext");
}

TEST_F(Error_Log, GrowingPastTheLimitEndsTheProgram) {
    start_log();
    // The header is 63 bytes and each entry 2 + 257: after 124 entries the file holds
    // 63 + 124 x 259 = 32179 bytes, the first size above 32000, so the 125th is refused.
    const std::string text(257, 'e');
    for (int i = 0; i < 124; ++i) Report_Error(s.app, text.c_str());
    EXPECT_EQ(log().size(), 32179u);
    EXPECT_TRUE(Headless().boxes.empty());
    EXPECT_FALSE(destroy_posted());

    Report_Error(s.app, "one too many");
    EXPECT_EQ(log().size(), 32179u);
    EXPECT_EQ(s.app.error_logging, 0);
    ASSERT_FALSE(Headless().boxes.empty());
    EXPECT_EQ(Headless().boxes[0], "[Error] Save_Error_Log_To_File() Max Error log file size EXCEEDED");
    EXPECT_TRUE(destroy_posted());
    EXPECT_FALSE(destroy_posted());  // posted once

    // The log stays off: later reports are boxes.
    size_t boxes = Headless().boxes.size();
    Report_Error(s.app, "after");
    EXPECT_EQ(Headless().boxes.size(), boxes + 1);
    EXPECT_EQ(Headless().boxes.back(), "[Error] after");
    EXPECT_EQ(log().size(), 32179u);
}

TEST_F(Error_Log, FailuresSwitchTheLogOffForGood) {
    // No log file yet: appending cannot open it.
    s.app.error_logging = 1;
    Report_Error(s.app, "lost");
    EXPECT_EQ(s.app.error_logging, 0);
    std::vector<std::string> expected = {"[Error] Save_Error_Log_To_File() CreateFile APPEND TO FILE FAILED",
                                         "[Error] lost"};
    EXPECT_EQ(Headless().boxes, expected);
    EXPECT_FALSE(destroy_posted());

    // A full disk: the write fails and the program is ended.
    Headless().boxes.clear();
    start_log();
    Set_Disk_Space_Limit(0);
    Report_Error(s.app, "no room");
    EXPECT_EQ(s.app.error_logging, 0);
    ASSERT_FALSE(Headless().boxes.empty());
    EXPECT_EQ(Headless().boxes[0], "[Error] Save_Error_Log_To_File() WriteFile FAILED");
    EXPECT_TRUE(destroy_posted());
    Set_Disk_Space_Limit(-1);

    // The header cannot be created when the program folder is missing.
    Close_Error_Log(s.app);
    Headless().boxes.clear();
    Set_Windows_Directory_Override(root.native("nowhere"));
    Build_Error_Log_Path(s.app);
    s.app.error_logging = 1;
    EXPECT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File(s.app, "T"), 0);
    EXPECT_EQ(s.app.error_logging, 0);
    EXPECT_EQ(Headless().boxes, std::vector<std::string>{"[Error] Save_Error_Log_To_File() CreateFile FILE FAILED"});

    // Nothing to write to without a path.
    EXPECT_EQ(Save_Error_Log_To_File(s.app, "", "x", 1), 0);
    EXPECT_EQ(Save_Error_Log_To_File(s.app, nullptr, "x", 0), 0);
}

TEST_F(Error_Log, EntryAndExitLinesAreWrittenOnce) {
    static const Once_Log setup_log;
    start_log();
    setup_log.enter(s.app, "Entering Setup");  // a call that fails early leaves its flag clear
    setup_log.enter(s.app, "Entering Setup");
    setup_log.exit(s.app, "Exitting Setup");
    setup_log.enter(s.app, "Entering Setup");
    setup_log.exit(s.app, "Exitting Setup");
    EXPECT_EQ(log(), header + "\r\nEntering Setup\r\nEntering Setup\r\nExitting Setup");

    Reset_Diagnostics(s.app);
    EXPECT_FALSE(setup_log.done(s.app));
    setup_log.enter(s.app, "Entering Setup");
    EXPECT_EQ(log(), header + "\r\nEntering Setup\r\nEntering Setup\r\nExitting Setup\r\nEntering Setup");

    // With the log off nothing is written, but a completed call still counts.
    static const Once_Log quiet;
    s.app.error_logging = 0;
    quiet.exit(s.app, "Exitting Quiet");
    EXPECT_TRUE(quiet.done(s.app));
    s.app.error_logging = 1;
    quiet.enter(s.app, "Entering Quiet");
    EXPECT_EQ(log().find("Quiet"), std::string::npos);
}

TEST_F(Error_Log, MemoryStatisticsAreLoggedOnce) {
    start_log();
    Log_Memory_Statistics(s.display);
    std::string first = log();
    Log_Memory_Statistics(s.display);
    EXPECT_EQ(log(), first);

    // The lines in this order, each found after the one before.
    size_t at = 0;
    for (const char* line : {"\r\nEnter Log_Memory_Statistics\r\n", "\r\nVIDEO RAM: TOTAL ", " Mb\r\n",
                             "\r\nSYSTEM RAM: TOTAL ", "\r\nExitting Log_Memory_Statistics"}) {
        at = first.find(line, at);
        ASSERT_NE(at, std::string::npos) << line;
    }

    // System memory in megabytes with two decimals.
    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    char line[128];
    std::snprintf(line, sizeof line, "SYSTEM RAM: TOTAL %.2f Mb", memory.dwTotalPhys / 1048576.0);
    EXPECT_NE(first.find(line), std::string::npos);
}

using Diagnostics = Fresh_Test;

TEST_F(Diagnostics, OperatingSystemCodes) {
    Headless().boxes.clear();
    struct Case {
        uint32_t platform, major, minor;
        int code;
    };
    const Case cases[] = {
        {VER_PLATFORM_UNKNOWN, 0, 0, 0},       {VER_PLATFORM_WIN32s, 3, 1, 1},   {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 2},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 3}, {VER_PLATFORM_WIN32_NT, 4, 0, 4}, {VER_PLATFORM_WIN32_NT, 5, 0, 5},
    };
    for (const Case& c : cases) {
        OSVERSIONINFO version;
        version.dwPlatformId = c.platform;
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        Set_Fake_Version(&version);
        int code = -1;
        EXPECT_EQ(Determine_Operating_System(s.app, &code), 1);
        EXPECT_EQ(code, c.code) << "platform " << c.platform << " " << c.major << "." << c.minor;
    }
    Set_Fake_Version(nullptr);
    int code = -1;
    EXPECT_EQ(Determine_Operating_System(s.app, &code), 1);
    EXPECT_EQ(code, 0);  // this platform is unknown

    Set_Fake_Version(nullptr, true);
    code = -1;
    EXPECT_EQ(Determine_Operating_System(s.app, &code), 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Headless().boxes, std::vector<std::string>{"[Error] Determine_Operating_System(): GetVersionEx FAILED"});
}

TEST_F(Diagnostics, ResolutionsAndTheirTexts) {
    Headless().boxes.clear();
    int w = -1, h = -1, d = -1;
    EXPECT_EQ(Decode_Resolution(s.app, 20, &w, &h, &d), 0);
    EXPECT_EQ(Decode_Resolution(s.app, -1, &w, &h, &d), 0);
    EXPECT_EQ(std::tuple(w, h, d), std::tuple(-1, -1, -1));
    std::vector<std::string> expected = {"[Error] Decode_Resolution(): Invalid resolution 20",
                                         "[Error] Decode_Resolution(): Invalid resolution -1"};
    EXPECT_EQ(Headless().boxes, expected);

    EXPECT_STREQ(Resolution_Text(0), "320  x 240  x 32");
    EXPECT_STREQ(Resolution_Text(3), "1024 x 768  x 32");
    EXPECT_STREQ(Resolution_Text(6), "640  x 480  x 24");
    EXPECT_STREQ(Resolution_Text(12), "800  x 600  x 16");
    EXPECT_STREQ(Resolution_Text(19), "1280 x 1024 x 8");
    EXPECT_STREQ(Resolution_Text(13), "1024 x 768  x 16");
    EXPECT_EQ(Resolution_Text(20), nullptr);
    EXPECT_EQ(Resolution_Text(-1), nullptr);
    // Every text names the mode that the same index decodes to, so the texts pin the table.
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Decode_Resolution(s.app, i, &w, &h, &d), 1);
        int tw = 0, th = 0, td = 0;
        ASSERT_EQ(std::sscanf(Resolution_Text(i), "%d x %d x %d", &tw, &th, &td), 3);
        EXPECT_EQ(tw * 10000 + th, w * 10000 + h) << i;
        EXPECT_EQ(td, d) << i;
    }
}
