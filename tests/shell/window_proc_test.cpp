#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "diagnostics/diagnostics.h"
#include "kaleidoscope/kaleidoscope.h"
#include "platform/windows/commdlg.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "scope/scope.h"
#include "shell/file_dialog.h"
#include "shell/frame.h"
#include "shell/menu.h"
#include "session/run_mode.h"
#include "shell/session.h"
#include "shell/startup.h"
#include "support/installed_program.h"
#include "support/rect.h"
#include "surface/display.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

// Takes every waiting message; true when one of them was WM_DESTROY.
bool Destroy_Posted() {
    bool destroy = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_DESTROY) destroy = true;
    return destroy;
}

LRESULT Send(Display_Context& d, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendMessageA(d.Main_Window, message, wparam, lparam);
}

bool Checked(Session& s, int id) { return Find_Menu_Item(s.shell.App_Menu, id)->checked; }
bool Grey(Session& s, int id) { return Find_Menu_Item(s.shell.App_Menu, id)->grayed; }

using Window_Procedure = Fresh_Test;

TEST_F(Window_Procedure, SaverEndsOnInputButNotOnItsOwnKeys) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 0; });
    ASSERT_EQ(Start_Up(s, "mirravane /s"), 1);
    ASSERT_EQ(s.app.Saver_Mode, SAVER);

    struct Input {
        UINT message;
        WPARAM wparam;
        bool ends;
    } inputs[] = {
        {WM_KEYDOWN, '1', false},       {WM_KEYDOWN, '2', false},      {WM_KEYDOWN, '3', false},
        {WM_KEYDOWN, '5', false},       {WM_KEYDOWN, '7', false},      {WM_KEYDOWN, '9', false},
        {WM_KEYDOWN, '0', false},       {WM_KEYDOWN, 'R', false},      {WM_KEYDOWN, VK_F3, false},
        {WM_KEYDOWN, 'T', false},       {WM_KEYDOWN, VK_F5, false},    {WM_KEYDOWN, VK_ADD, false},
        {WM_COMMAND, SC_SCREENSAVE, false},
        {WM_KEYDOWN, VK_ESCAPE, true},  {WM_KEYDOWN, VK_SPACE, true},  {WM_KEYDOWN, VK_RETURN, true},
        {WM_KEYDOWN, 'A', true},        {WM_KEYDOWN, 'M', true},       {WM_KEYDOWN, VK_F1, true},
        {WM_KEYDOWN, VK_CONTROL, true}, {WM_LBUTTONDOWN, 0, true},     {WM_RBUTTONDOWN, 0, true},
        {WM_MBUTTONDOWN, 0, true},      {WM_KILLFOCUS, 0, true},
    };
    Destroy_Posted();
    for (const Input& in : inputs) {
        EXPECT_EQ(Send(s.display, in.message, in.wparam), 0);
        EXPECT_EQ(Destroy_Posted(), in.ends) << "message " << in.message << " key " << in.wparam;
    }
    EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
}

TEST_F(Window_Procedure, PreviewIgnoresKeysFollowsItsHostsSizeAndKeepsRunning) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /p 42"), 1);
    ASSERT_EQ(s.app.Saver_Mode, PREVIEW);
    // The headless desktop knows no host window: reported, and the start goes on.
    EXPECT_NE(program.log().find("Win_Main(): GetClientRect for Preview Window FAILED"), std::string::npos);
    const int symmetry = s.Plasma_Settings.symmetry;
    Destroy_Posted();

    for (WPARAM key : {WPARAM('8'), WPARAM('A'), VK_ESCAPE, VK_SPACE}) {
        Send(s.display, WM_KEYDOWN, key);
        EXPECT_FALSE(Destroy_Posted()) << key;
    }
    EXPECT_EQ(s.Plasma_Settings.symmetry, symmetry);

    // The host was resized: the preview draws at the new size, the plasma rebuilt for it.
    ASSERT_EQ(s.Plasma_Settings.symmetry, 0);
    SetWindowPos(s.display.Main_Window, 0, 0, 0, 64, 40, 0);
    Send(s.display, WM_SIZE, SIZE_RESTORED, MAKELPARAM(64, 40));
    EXPECT_EQ(s.display.Client_Width, 64);
    EXPECT_EQ(s.display.Client_Height, 40);
    EXPECT_EQ(s.Plasma_Settings.plasma_width, 64);
    EXPECT_EQ(s.Plasma_Settings.plasma_height, 40);
    // A host larger than the desktop: the frame surface is the desktop's size.
    SetWindowPos(s.display.Main_Window, 0, 0, 0, 5000, 3000, 0);
    Send(s.display, WM_SIZE, SIZE_RESTORED, MAKELPARAM(5000, 3000));
    EXPECT_EQ(s.display.Client_Width, s.display.Screen_Width);
    EXPECT_EQ(s.display.Client_Height, s.display.Screen_Height);
    EXPECT_EQ(Run_Mirravane(s), 1);

    Send(s.display, WM_ACTIVATEAPP, 0);
    EXPECT_EQ(s.app.Frames_Running, 1);
    Send(s.display, WM_LBUTTONDOWN);
    Send(s.display, WM_KILLFOCUS);
    EXPECT_FALSE(Destroy_Posted());
}

TEST_F(Window_Procedure, ConfigurationFocusAndActivation) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    Destroy_Posted();
    Send(s.display, WM_ACTIVATEAPP, 0);
    EXPECT_EQ(s.app.Frames_Running, 0);
    Send(s.display, WM_ACTIVATEAPP, 1);
    EXPECT_EQ(s.app.Frames_Running, 1);
    // Windowed configuration: losing the focus, clicks and other keys change nothing.
    Send(s.display, WM_KILLFOCUS);
    Send(s.display, WM_LBUTTONDOWN);
    Send(s.display, WM_KEYDOWN, 'A');
    Send(s.display, WM_KEYDOWN, VK_SPACE);
    EXPECT_FALSE(Destroy_Posted());
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);
    Send(s.display, WM_CLOSE);
    EXPECT_TRUE(Destroy_Posted());
    Send(s.display, WM_COMMAND, MENU_PRESETS_EXIT);
    EXPECT_TRUE(Destroy_Posted());
    Send(s.display, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(Destroy_Posted());
}

TEST_F(Window_Procedure, MenuCommandsChangeTheRecordAndTheMarks) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);

    for (int id = MENU_SYMMETRY_ASYMMETRIC; id <= MENU_SYMMETRY_EIGHTFOLD; ++id) {
        Send(s.display, WM_COMMAND, static_cast<WPARAM>(id));
        EXPECT_EQ(s.Plasma_Settings.symmetry, id - MENU_SYMMETRY_ASYMMETRIC);
        for (int other = MENU_SYMMETRY_ASYMMETRIC; other <= MENU_SYMMETRY_EIGHTFOLD; ++other)
            EXPECT_EQ(Checked(s, other), other == id) << id << " " << other;
    }

    // Kaleidoscope on resets the symmetry; off gives the plasma the client size again.
    Send(s.display, WM_COMMAND, MENU_KALEIDOSCOPE_ON);
    EXPECT_EQ(s.kaleidoscope.kaleidoscope_active, 1);
    EXPECT_EQ(s.Plasma_Settings.kaleidoscope_on, 1);
    EXPECT_EQ(s.Plasma_Settings.symmetry, 0);
    EXPECT_TRUE(Checked(s, MENU_KALEIDOSCOPE_ON));
    EXPECT_FALSE(Grey(s, MENU_SLIDES_ON));
    Send(s.display, WM_COMMAND, MENU_KALEIDOSCOPE_ON);
    EXPECT_EQ(s.kaleidoscope.kaleidoscope_active, 0);
    EXPECT_EQ(s.Plasma_Settings.kaleidoscope_on, 0);
    EXPECT_FALSE(Checked(s, MENU_KALEIDOSCOPE_ON));
    EXPECT_TRUE(Grey(s, MENU_SLIDES_ON));
    EXPECT_TRUE(Grey(s, MENU_SLIDES_SPEED));

    struct Toggle {
        int id;
        const int32_t* field;
    } toggles[] = {
        {MENU_PLASMA_BRIGHTEN, &s.Plasma_Settings.brighten},
        {MENU_PLASMA_MULTI_COLOUR, &s.Plasma_Settings.multi_colour},
        {MENU_VIEW_TITLES, &s.Plasma_Settings.titles_on},
        {MENU_VIEW_PREVIEW_ACTIVE, &s.Plasma_Settings.preview_active},
        {MENU_KALEIDOSCOPE_STRETCH, &s.Plasma_Settings.kaleidoscope_stretch},
    };
    for (const Toggle& t : toggles) {
        const bool was = *t.field != 0;
        Send(s.display, WM_COMMAND, static_cast<WPARAM>(t.id));
        EXPECT_EQ(*t.field != 0, !was) << t.id;
        EXPECT_EQ(Checked(s, t.id), !was) << t.id;
        Send(s.display, WM_COMMAND, static_cast<WPARAM>(t.id));
        EXPECT_EQ(*t.field != 0, was) << t.id;
        EXPECT_EQ(Checked(s, t.id), was) << t.id;
    }

    for (int id : {MENU_BLEND_HUE, MENU_BLEND_LIGHT, MENU_BLEND_OFF}) {
        Send(s.display, WM_COMMAND, static_cast<WPARAM>(id));
        EXPECT_EQ(s.Plasma_Settings.blend_mode, id == MENU_BLEND_HUE ? 1 : id == MENU_BLEND_LIGHT ? 2 : 0);
        EXPECT_TRUE(Checked(s, id));
        EXPECT_EQ(Checked(s, MENU_BLEND_HUE) + Checked(s, MENU_BLEND_LIGHT) + Checked(s, MENU_BLEND_OFF), 1);
    }

    s.display.Show_Frame_Rate = 0;
    Send(s.display, WM_COMMAND, MENU_VIEW_FPS);
    EXPECT_TRUE(s.display.Show_Frame_Rate && Checked(s, MENU_VIEW_FPS));

    const int vsync = s.display.Wait_For_Vsync;
    Send(s.display, WM_COMMAND, MENU_VIEW_VSYNC);
    EXPECT_EQ(s.display.Wait_For_Vsync, vsync ? 0 : 1);
    EXPECT_EQ(s.Plasma_Settings.vsync, s.display.Wait_For_Vsync);
    EXPECT_EQ(Checked(s, MENU_VIEW_VSYNC), s.display.Wait_For_Vsync == 1);

    // Keys 1 and 2 and the overlay at 32 bits.
    Send(s.display, WM_KEYDOWN, '1');
    EXPECT_TRUE(Checked(s, MENU_VIEW_FPS));
    Send(s.display, WM_KEYDOWN, '2');
    EXPECT_FALSE(Checked(s, MENU_VIEW_FPS));
    Send(s.display, WM_KEYDOWN, '3');
    EXPECT_EQ(s.scope.scope_active, 1);
    EXPECT_FALSE(Grey(s, MENU_OVERLAY_CIRCLE));
    Send(s.display, WM_KEYDOWN, '5');
    EXPECT_EQ(s.scope.scope_active, 0);
    Send(s.display, WM_COMMAND, MENU_OVERLAY_STAR);
    EXPECT_EQ(s.scope.scope_active, 1);
    Send(s.display, WM_COMMAND, MENU_OVERLAY_OFF);
    EXPECT_EQ(s.scope.scope_active, 0);
    EXPECT_TRUE(Checked(s, MENU_OVERLAY_OFF));
    EXPECT_FALSE(Grey(s, MENU_PLASMA_BRIGHTEN));
    EXPECT_FALSE(Grey(s, MENU_SLIDES_FADE));

    // A symmetry out of range (a hand-made preset file) checks no other item.
    s.Plasma_Settings.symmetry = 4;
    Update_Menu_Check_Marks(s);
    EXPECT_FALSE(Checked(s, MENU_VIEW_FULLSCREEN));
    for (int id = MENU_SYMMETRY_ASYMMETRIC; id <= MENU_SYMMETRY_EIGHTFOLD; ++id) EXPECT_FALSE(Checked(s, id));
    s.Plasma_Settings.symmetry = 0;

    // Unknown command ids go to the default procedure and change nothing.
    EXPECT_EQ(Send(s.display, WM_COMMAND, 40099), 0);
    EXPECT_TRUE(Headless().boxes.empty());
}

TEST_F(Window_Procedure, DepthsGreyTheirItemsAndEightBitsRefusesTheScope) {
    for (int bpp : {8, 16, 24}) {
        Installed_Program program(2, false, 320, 240, bpp);
        ASSERT_EQ(Start_Up(s, "mirravane /c"), 1) << bpp;
        EXPECT_EQ(s.display.Screen_Bpp, bpp);
        Update_Menu_Check_Marks(s);
        EXPECT_EQ(Grey(s, MENU_OVERLAY_CIRCLE), bpp == 8) << bpp;
        EXPECT_EQ(Grey(s, MENU_OVERLAY_OFF), bpp == 8) << bpp;
        EXPECT_EQ(Grey(s, MENU_PLASMA_BRIGHTEN), bpp <= 16) << bpp;
        EXPECT_EQ(Grey(s, MENU_SLIDES_FADE), bpp == 24) << bpp;
        if (bpp == 8) {
            Send(s.display, WM_KEYDOWN, '3');
            EXPECT_EQ(s.scope.scope_active, 0);
            Send(s.display, WM_KEYDOWN, '4');
            EXPECT_EQ(s.scope.scope_active, 0);
            EXPECT_EQ(program.log().find("Setup_Scope"), std::string::npos);
        }
        Send(s.display, WM_DESTROY);
        Clear_Message_Queue();
        s.display.Main_Window = nullptr;
    }
}

TEST_F(Window_Procedure, SaveWithoutANameIsSaveAsAndOpenSetsTheTitle) {
    Installed_Program program;
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    ASSERT_EQ(s.shell.Current_File_Name[0], '\0');

    Headless_File_Answers().clear();
    Headless_File_Answers().push_back(program.folder().windows("Mirravane\\Mine.dat"));
    Send(s.display, WM_COMMAND, MENU_PRESETS_SAVE);
    EXPECT_EQ(std::filesystem::file_size(program.home() / "Mine.dat"), 10136u);
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   Mine");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Mine");

    // With a name, Save writes without asking (an empty script would cancel a dialog).
    std::filesystem::remove(program.home() / "Mine.dat");
    Send(s.display, WM_COMMAND, MENU_PRESETS_SAVE);
    EXPECT_TRUE(std::filesystem::exists(program.home() / "Mine.dat"));

    // A cancelled Open changes nothing.
    Send(s.display, WM_COMMAND, MENU_PRESETS_OPEN);
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   Mine");

    program.folder().make_folder("Mirravane/Presets");
    program.write_preset("Presets/Sunset.dat", [&](PLASMA_SETTINGS& s) {
        s.symmetry = 2;
        std::strcpy(s.title_text, "Dusk");
    });
    Headless_File_Answers().push_back(program.folder().windows("Mirravane\\Presets\\Sunset.dat"));
    Send(s.display, WM_COMMAND, MENU_PRESETS_OPEN);
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   Sunset");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Sunset");
    EXPECT_EQ(s.Plasma_Settings.symmetry, 2);
    EXPECT_TRUE(Checked(s, MENU_SYMMETRY_FOURFOLD));
    EXPECT_TRUE(Headless().boxes.empty());
}

TEST_F(Window_Procedure, FilesChosenForOtherPurposesNeverBecomeThePreset) {
    // Whatever an earlier run in this process left open ends first.
    Shutdown(s);
    Close_Error_Log(s.app);
    Clear_Message_Queue();
    s.display.Main_Window = nullptr;
    Installed_Program program(2, false, 640, 480, 32);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1) << program.log();
    ASSERT_EQ(s.app.error_logging, 1);
    Headless().boxes.clear();
    Headless_File_Answers().clear();
    const auto record = [&] { return std::string(reinterpret_cast<const char*>(&s.Plasma_Settings), sizeof s.Plasma_Settings); };
    const std::filesystem::path home = program.home();
    const std::string mine = (home / "Mine.dat").string();
    const std::string heart = (home / "Data/Bmp/Overlays/heart.bmp").string();
    const std::string heart_bytes = program.folder().read("Mirravane/Data/Bmp/Overlays/heart.bmp");
    alarm(60);  // a FIFO that blocked an open would end the test here

    // Saved under a name of the user's, given as the file dialogs here give it.
    Headless_File_Answers().push_back(mine);
    Send(s.display, WM_COMMAND, MENU_PRESETS_SAVE_AS);
    EXPECT_EQ(s.display.Main_Window->caption, " Mirravane:   Mine");
    EXPECT_STREQ(s.Plasma_Settings.title_text, "Mine");

    // A custom overlay and a converted object keep names of their own: Save still writes the preset.
    Headless_File_Answers().push_back(heart);
    Send(s.display, WM_COMMAND, MENU_OVERLAY_CUSTOM);
    ASSERT_EQ(s.scope.scope_active, 1);
    program.folder().write("Mirravane/Data/Frame Converter/a.bmp", Make_Bmp_24(16, 16, 10, 200, 10));
    Headless_File_Answers().push_back((home / "Data/Bmp/Objects/2.bmp").string());
    Send(s.display, WM_COMMAND, MENU_SLIDES_FRAME_CONVERT);
    const std::string object = program.folder().read("Mirravane/Data/Bmp/Objects/2.bmp");
    ASSERT_FALSE(object.empty());
    Send(s.display, WM_COMMAND, MENU_PRESETS_SAVE);
    EXPECT_EQ(program.folder().read("Mirravane/Data/Bmp/Overlays/heart.bmp"), heart_bytes);
    EXPECT_EQ(program.folder().read("Mirravane/Data/Bmp/Objects/2.bmp"), object);
    EXPECT_EQ(program.folder().read("Mirravane/Mine.dat"), record());

    // A bitmap and a FIFO opened as presets: a box naming each although the log is on, and the
    // running preset, the caption and the preset's file stay as they were.
    ASSERT_EQ(mkfifo((home / "pipe.dat").c_str(), 0644), 0);
    const std::string running = record(), caption = s.display.Main_Window->caption;
    for (const std::string& path : {heart, (home / "pipe.dat").string()}) {
        Headless().boxes.clear();
        Headless_File_Answers().push_back(path);
        Send(s.display, WM_COMMAND, MENU_PRESETS_OPEN);
        ASSERT_EQ(Headless().boxes.size(), 1u) << path;
        EXPECT_EQ(Headless().boxes[0].rfind("[Error] Unable to read file " + path + "\n\n", 0), 0u) << Headless().boxes[0];
        EXPECT_TRUE(record() == running) << path;
        EXPECT_EQ(s.display.Main_Window->caption, caption);
        EXPECT_STREQ(s.shell.Current_File_Name, mine.c_str());
    }
    EXPECT_NE(Headless().boxes[0].find("not a regular file"), std::string::npos);

    // An overlay that is no bitmap: a box, and the overlay shown before stays with its path.
    program.folder().write("Mirravane/notes.bmp", "not a picture");
    Headless().boxes.clear();
    Headless_File_Answers().push_back((home / "notes.bmp").string());
    Send(s.display, WM_COMMAND, MENU_OVERLAY_CUSTOM);
    ASSERT_EQ(Headless().boxes.size(), 1u);
    EXPECT_EQ(Headless().boxes[0].rfind("[Error] Unable to use " + (home / "notes.bmp").string(), 0), 0u);
    EXPECT_EQ(s.scope.scope_active, 1);
    EXPECT_EQ(s.Plasma_Settings.scope_shape, 4);
    EXPECT_STREQ(s.Plasma_Settings.custom_overlay_path, heart.c_str());
    alarm(0);

    // The end of the run saves what was running.
    const std::string at_exit = record();
    Send(s.display, WM_DESTROY);
    EXPECT_TRUE(program.folder().read("Mirravane/default.dat") == at_exit);
    Clear_Message_Queue();
    s.display.Main_Window = nullptr;
}

TEST_F(Window_Procedure, FullScreenAndBackToTheWindow) {
    Installed_Program program(2, false, 640, 480, 32);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    s.Plasma_Settings.resolution = 0;  // 320 x 240 x 32
    const RECT windowed = s.display.Main_Window->frame;
    EXPECT_EQ((RECT{160, 80, 480, 400}), windowed);

    Send(s.display, WM_COMMAND, MENU_VIEW_FULLSCREEN);
    EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
    EXPECT_EQ(s.display.Screen_Width * 10000 + s.display.Screen_Height, 3200240);
    EXPECT_EQ(s.display.Client_Width * 10000 + s.display.Client_Height, 3200240);
    EXPECT_EQ(s.display.Main_Window->menu, nullptr);
    EXPECT_EQ(s.display.Main_Window->style, WS_POPUP | WS_VISIBLE);
    EXPECT_NE(s.display.Main_Window->ex_style & WS_EX_TOPMOST, 0u);
    EXPECT_LT(Cursor_Show_Count(), 0);
    ASSERT_NE(s.display.Visible, nullptr);
    EXPECT_FALSE(Destroy_Posted());

    Send(s.display, WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);
    EXPECT_EQ(s.display.Screen_Width * 10000 + s.display.Screen_Height, 6400480);
    EXPECT_EQ(s.display.Main_Window->menu, s.shell.App_Menu);
    EXPECT_EQ(s.display.Main_Window->style, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_EQ(s.display.Main_Window->ex_style & WS_EX_TOPMOST, 0u);
    EXPECT_GE(Cursor_Show_Count(), 0);
    EXPECT_EQ(Current_Cursor(), s.app.Arrow_Cursor);
    EXPECT_EQ(s.display.Main_Window->frame, windowed);
    EXPECT_EQ(s.app.Frames_Running, 1);
    EXPECT_FALSE(Destroy_Posted());
    EXPECT_TRUE(Headless().boxes.empty());

    // Full screen again; losing the focus returns to the window as Space does.
    Send(s.display, WM_COMMAND, MENU_VIEW_FULLSCREEN);
    ASSERT_EQ(s.display.Window_Mode, FULLSCREEN);
    Send(s.display, WM_KILLFOCUS);
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);
    EXPECT_EQ(s.display.Main_Window->menu, s.shell.App_Menu);
    EXPECT_FALSE(Destroy_Posted());
}

// On a second monitor the window shows its picture there, and full screen and back stay there.
TEST_F(Window_Procedure, TheWindowOnASecondMonitor) {
    Installed_Program program(2, false, 640, 480, 32);
    Set_Headless_Monitors({RECT{0, 0, 640, 480}, RECT{640, 0, 1440, 600}});
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    s.Plasma_Settings.resolution = 0;
    SetWindowPos(s.display.Main_Window, 0, 900, 100, 320, 320, SWP_NOZORDER);
    Send(s.display, WM_SIZE, SIZE_RESTORED);
    ASSERT_EQ(Run_Mirravane(s), 1);
    RECT client{};
    GetClientRect(s.display.Main_Window, &client);
    POINT origin{};
    ClientToScreen(s.display.Main_Window, &origin);
    ASSERT_GE(origin.x, 640);
    ASSERT_GE(s.display.Visible->width(), origin.x + client.right);  // the primary spans both monitors
    int lit = 0;
    for (int y = 0; y < client.bottom; y += 7)
        for (int x = 0; x < client.right; x += 7) lit += s.display.Visible->Pixel(origin.x + x, origin.y + y) != 0;
    EXPECT_GT(lit, 0);

    Send(s.display, WM_COMMAND, MENU_VIEW_FULLSCREEN);
    ASSERT_EQ(s.display.Window_Mode, FULLSCREEN);
    EXPECT_EQ(s.display.Main_Window->frame.left, 640);
    EXPECT_EQ(s.display.Main_Window->frame.top, 0);
    Send(s.display, WM_KEYDOWN, VK_SPACE);
    ASSERT_EQ(s.display.Window_Mode, WINDOWED);
    EXPECT_EQ(Monitor_Of(s.display.Main_Window).left, 640);
    EXPECT_EQ(s.display.Main_Window->frame.left, 640 + 160);
    EXPECT_FALSE(Destroy_Posted());
    EXPECT_TRUE(Headless().boxes.empty());
}

TEST_F(Window_Procedure, ControlMTwiceReturnsToTheSameWindow) {
    Installed_Program program(2, false, 640, 480, 32);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    const RECT before = s.display.Main_Window->frame;
    const int width = s.display.Client_Width, height = s.display.Client_Height;

    // Control counts as it was when M went down, not as it is now.
    MSG m{s.display.Main_Window, WM_KEYDOWN, 'M', 1};
    Set_Key_Down(VK_CONTROL, true);
    EXPECT_FALSE(Translate_Accelerator(s.display, &m));
    Set_Key_Down(VK_CONTROL, false);
    m.lParam = 1 | KEY_CONTROL_HELD;
    ASSERT_TRUE(Translate_Accelerator(s.display, &m));
    EXPECT_EQ(s.display.Client_Width * 10000 + s.display.Client_Height, 6400480);
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);
    EXPECT_EQ(s.display.Main_Window->menu, nullptr);
    EXPECT_EQ(s.display.Main_Window->style & WS_POPUP, WS_POPUP);
    EXPECT_EQ((RECT{0, 0, 640, 480}), s.display.Main_Window->frame);
    EXPECT_LT(Cursor_Show_Count(), 0);

    ASSERT_TRUE(Translate_Accelerator(s.display, &m));
    EXPECT_EQ(s.display.Main_Window->frame, before);
    EXPECT_EQ(s.display.Client_Width * 10000 + s.display.Client_Height, width * 10000 + height);
    EXPECT_EQ(s.display.Main_Window->menu, s.shell.App_Menu);
    EXPECT_GE(Cursor_Show_Count(), 0);

    // The menu command does the same.
    Send(s.display, WM_COMMAND, MENU_VIEW_TOGGLE_MAXIMISE);
    EXPECT_EQ(s.display.Client_Width, 640);
    Send(s.display, WM_COMMAND, MENU_VIEW_TOGGLE_MAXIMISE);
    EXPECT_EQ(s.display.Client_Width, width);
}

TEST_F(Window_Procedure, SizeChangeRebuildsOnlyForANewSize) {
    Installed_Program program(2, false, 640, 480, 32);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    Send(s.display, WM_SIZE, SIZE_RESTORED);  // the first size message of the run
    const int width = s.display.Client_Width;

    s.Plasma_Settings.plasma_width = 77;
    Send(s.display, WM_SIZE, SIZE_RESTORED);
    EXPECT_EQ(s.display.Client_Width, width);
    EXPECT_EQ(s.Plasma_Settings.plasma_width, 77);  // nothing rebuilt

    // A larger frame: the plasma takes the new client size.
    SetWindowPos(s.display.Main_Window, 0, 0, 0, 400, 400, SWP_NOMOVE);
    Send(s.display, WM_SIZE, SIZE_RESTORED);
    RECT client{};
    GetClientRect(s.display.Main_Window, &client);
    EXPECT_EQ(s.display.Client_Width, client.right);
    EXPECT_EQ(s.display.Client_Height, client.bottom);
    EXPECT_NE(s.display.Client_Width, width);
    EXPECT_EQ(s.Plasma_Settings.plasma_width, s.display.Client_Width);
    EXPECT_EQ(s.Plasma_Settings.plasma_height, s.display.Client_Height);

    // A minimised size message measures but does not rebuild.
    s.Plasma_Settings.plasma_width = 77;
    SetWindowPos(s.display.Main_Window, 0, 0, 0, 300, 300, SWP_NOMOVE);
    Send(s.display, WM_SIZE, SIZE_MINIMIZED);
    EXPECT_EQ(s.Plasma_Settings.plasma_width, 77);
    Send(s.display, WM_EXITSIZEMOVE);
    EXPECT_EQ(s.Plasma_Settings.plasma_width, s.display.Client_Width);
}

}  // namespace

namespace {

bool Log_Has(const Installed_Program& program, const char* line) {
    return program.log().find(std::string("\r\n") + line) != std::string::npos;
}

TEST_F(Window_Procedure, FailedDisplaySwitchesEndTheProgramCleanly) {
    Installed_Program program(2, false, 640, 480, 32);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    s.Plasma_Settings.resolution = 0;
    Destroy_Posted();
    Inject_DD_Fault(DD_Call::DirectDrawCreate, DDERR_GENERIC);
    Send(s.display, WM_COMMAND, MENU_VIEW_FULLSCREEN);
    EXPECT_TRUE(Log_Has(program, "MENU_VIEW_FULLSCREEN: Setup FAILED"));
    // The rest of the switch survives the half-built display, and the program ends.
    EXPECT_TRUE(Destroy_Posted());
    Send(s.display, WM_DESTROY);
    EXPECT_EQ(s.display.Hidden, nullptr);
    EXPECT_EQ(s.app.Quit_Allowed, 1);
}

TEST_F(Window_Procedure, FailedReturnToTheWindowEndsTheProgramCleanly) {
    Installed_Program program(2, false, 640, 480, 32);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    s.Plasma_Settings.resolution = 0;
    Send(s.display, WM_COMMAND, MENU_VIEW_FULLSCREEN);
    Destroy_Posted();
    Inject_DD_Fault(DD_Call::DirectDrawCreate, DDERR_GENERIC);
    Send(s.display, WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(Log_Has(program, "VK_SPACE/VK_RETURN: Setup FAILED"));
    EXPECT_EQ(s.display.Window_Mode, WINDOWED);
    EXPECT_TRUE(Destroy_Posted());
}

}  // namespace
