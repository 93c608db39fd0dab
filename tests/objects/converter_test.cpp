// The frame converter: loose frames into one object.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "objects/object_files.h"
#include "platform/system/system.h"
#include "platform/windows/commdlg.h"
#include "platform/windows/windows.h"
#include "shell/file_dialog.h"
#include "shell/menu.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "shell/startup.h"
#include "slides/frame_converter.h"
#include "slides/objects.h"
#include "support/installed_program.h"
#include "support/scratch_folder.h"
#include "support/soft_display.h"
#include "support/surface_fixture.h"
#include "surface/bitmap.h"
#include "support/fresh_session.h"

using Reports = std::vector<std::string>;

namespace {

const std::string Converter = "Mirravane/Data/Frame Converter/";

// The converter's folder as the directory search lists it.
std::vector<std::string> Loose_Frames(const Scratch_Folder& folder) {
    std::vector<std::string> names;
    Find_Data found;
    HFIND search = FindFirstFileA(folder.windows("Mirravane\\Data\\Frame Converter\\*.BMP").c_str(), &found);
    if (!search) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// A colour of its own for frame n: red counts up, green down.
Rgb Frame_Colour(int n) { return Rgb{static_cast<uint8_t>(20 * n), static_cast<uint8_t>(250 - 20 * n), 9}; }
uint32_t Pixel_Of(Rgb c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

class Converter_Test : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    Installed_Program program{1};  // 0.bmp only: a two-frame strip, nothing to expand

    void SetUp() override {
        s.display.Window_Mode = WINDOWED;  // as a new process starts, whatever a test before left
        ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
        ASSERT_EQ(s.app.Objects_Loaded, 1);
        Headless_File_Answers().clear();
        Headless().boxes.clear();
    }
    // The run ends here, so the next test starts one of its own.
    void TearDown() override {
        Shutdown(s);
        Close_Error_Log(s.app);
        DestroyWindow(s.display.Main_Window);
        s.display.Main_Window = nullptr;
    }
    const Scratch_Folder& folder() const { return program.folder(); }
    bool Log_Has(const std::string& line) const { return program.log().find(line) != std::string::npos; }
    // What a user does: Slides > Objects > Advanced > Frame Convert.
    void Choose_Frame_Convert() { SendMessageA(s.display.Main_Window, WM_COMMAND, MENU_SLIDES_FRAME_CONVERT, 0); }
    std::string Object_Path(int i) const {
        return folder().windows("Mirravane\\Data\\Bmp\\Objects\\" + std::to_string(i) + ".bmp");
    }
};

TEST_F(Converter_Test, StacksFramesInNameOrderInWholeBlocksAndDeletesThemOnceSaved) {
    // frame1 ... frame12 of 20 x 20: the object is 24 wide, each frame in a 24-row block with a
    // transparent margin. frame5 is larger (cut to 20 x 20), frame7 smaller (the rest stays clear).
    for (int n = 1; n <= 12; ++n) {
        const int side = n == 5 ? 40 : n == 7 ? 10 : 20;
        folder().write(Converter + "frame" + std::to_string(n) + ".bmp", Solid_Bmp(side, side, Frame_Colour(n)));
    }
    Headless_File_Answers().push_back(Object_Path(1));

    Choose_Frame_Convert();
    EXPECT_EQ(s.shell.File_Dialog.lpstrInitialDir, folder().windows("Mirravane\\Data\\Bmp\\Objects\\"));
    EXPECT_TRUE(Loose_Frames(folder()).empty());
    EXPECT_FALSE(Log_Has("Frame Convert FAILED")) << program.log();
    const std::string saved = folder().read("Mirravane/Data/Bmp/Objects/1.bmp");
    int w = 0, h = 0;
    Bmp_Size(saved, &w, &h);
    EXPECT_EQ(std::pair(w, h), std::pair(24, 12 * 24));
    EXPECT_EQ(saved.size(), 54u + 3u * 24u * 12u * 24u);

    // The rebuilt session loaded the new object: twelve frames in the order 1, 2, ..., 12.
    ASSERT_EQ(s.app.Objects_Loaded, 2);
    const Surface images = s.app.Objects_Data[1].images;
    EXPECT_EQ(s.app.Objects_Data[1].frames, 12);
    for (int k = 0; k < 12; ++k) {
        const int n = k + 1, y = k * 24;
        const int last = n == 7 ? 9 : 19;
        EXPECT_EQ(Peek(images, 0, y), Pixel_Of(Frame_Colour(n))) << n;
        EXPECT_EQ(Peek(images, last, y + last), Pixel_Of(Frame_Colour(n))) << n;
        EXPECT_EQ(Peek(images, last + 1, y), 0u) << n;
        EXPECT_EQ(Peek(images, 0, y + last + 1), 0u) << n;
        EXPECT_EQ(Peek(images, 23, y + 23), 0u) << n;
    }
}

TEST_F(Converter_Test, CancelOrAFailedSaveKeepsEveryFrame) {
    const std::string a = Solid_Bmp(16, 16, Frame_Colour(1)), b = Solid_Bmp(16, 16, Frame_Colour(2));
    folder().write(Converter + "a.bmp", a);
    folder().write(Converter + "b.bmp", b);
    const std::string strip = folder().read("Mirravane/Data/Bmp/Objects/0.bmp");
    auto frames_kept = [&] {
        return folder().read(Converter + "a.bmp") == a && folder().read(Converter + "b.bmp") == b &&
               Loose_Frames(folder()).size() == 2;
    };

    // A damaged 1.bmp is skipped by the loader but is still somebody's file.
    folder().write("Mirravane/Data/Bmp/Objects/1.bmp", "damaged");

    // Cancel: nothing saved, nothing deleted, the session rebuilt.
    Headless_File_Answers().push_back("");
    Choose_Frame_Convert();
    EXPECT_STREQ(s.shell.File_Dialog.lpstrFile, "2.bmp");  // proposed: the first number without a file
    EXPECT_TRUE(frames_kept());
    EXPECT_FALSE(std::filesystem::exists(folder().native("Mirravane/Data/Bmp/Objects/2.bmp")));
    EXPECT_EQ(folder().read("Mirravane/Data/Bmp/Objects/1.bmp"), "damaged");
    EXPECT_NE(s.display.Hidden, nullptr);
    EXPECT_EQ(s.app.Objects_Loaded, 1);

    // A folder that does not exist, then a full disk over an existing object: both fail and
    // say so, the frames stay, the old object stays whole.
    Headless_File_Answers().push_back(folder().windows("Mirravane\\No Such Folder\\1.bmp"));
    Choose_Frame_Convert();
    EXPECT_TRUE(frames_kept());
    EXPECT_TRUE(Log_Has("Frame_Convert(): Save_Bitmap FAILED " + folder().windows("Mirravane\\No Such Folder\\1.bmp")));
    EXPECT_TRUE(Log_Has("MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT: Frame Convert FAILED"));

    Headless_File_Answers().push_back(Object_Path(0));
    Set_Disk_Space_Limit(500);
    Choose_Frame_Convert();
    Set_Disk_Space_Limit(-1);
    EXPECT_TRUE(frames_kept());
    EXPECT_EQ(folder().read("Mirravane/Data/Bmp/Objects/0.bmp"), strip);
    EXPECT_FALSE(std::filesystem::exists(folder().native(Temporary_File_Name("Mirravane/Data/Bmp/Objects/0.bmp"))));
    EXPECT_EQ(s.app.Objects_Loaded, 1);
}

TEST_F(Converter_Test, NothingToConvertIsShownAndAnUnreadableFirstFrameChangesNothing) {
    const Surface hidden = s.display.Hidden;
    Choose_Frame_Convert();
    EXPECT_TRUE(Log_Has("FindFirstFile returned INVALID_HANDLE_VALUE"));
    EXPECT_TRUE(Log_Has("MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT: Frame Convert FAILED"));
    // The log is on, and still the user is told where the frames go.
    ASSERT_EQ(Headless().boxes.size(), 1u);
    EXPECT_EQ(Headless().boxes[0].rfind("[Message] There are no frames to convert.", 0), 0u) << Headless().boxes[0];
    EXPECT_NE(Headless().boxes[0].find("/Mirravane/Data/Frame Converter"), std::string::npos) << Headless().boxes[0];
    EXPECT_EQ(s.display.Hidden, hidden);

    Headless().boxes.clear();
    folder().write(Converter + "broken.bmp", "BM not a bitmap");
    Choose_Frame_Convert();
    EXPECT_TRUE(Log_Has("Frame_Convert(): Unable to load " +
                        folder().windows("Mirravane\\Data\\Frame Converter\\broken.bmp")));
    EXPECT_TRUE(Headless().boxes.empty());
    EXPECT_EQ(s.display.Hidden, hidden);
    EXPECT_EQ(Loose_Frames(folder()), std::vector<std::string>{"broken.bmp"});
}

}  // namespace
