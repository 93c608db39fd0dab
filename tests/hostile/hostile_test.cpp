// The program in a hostile environment: folders it cannot write, a full disk, damaged or
// absurd preset and bitmap files. Each case ends in a message, never a crash, and never
// leaves half a user file where a whole one was.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "shell/menu.h"
#include "session/run_mode.h"
#include "shell/startup.h"
#include "slides/objects.h"
#include "support/installed_program.h"
#include "surface/bitmap.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace fs = std::filesystem;

namespace {

std::string Record_Bytes(const PLASMA_SETTINGS& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

bool Box_Contains(const std::string& text) {
    for (const std::string& box : Headless().boxes)
        if (box.find(text) != std::string::npos) return true;
    return false;
}

// Every field of the record at one extreme; both texts without their terminator.
PLASMA_SETTINGS Extreme_Record(int32_t whole, float single, double real) {
    PLASMA_SETTINGS s;
    std::memset(&s, 0xFF, sizeof s);
    for (int32_t* field : {&s.multi_colour, &s.resolution, &s.plasma_width, &s.plasma_height, &s.contrast,
                           &s.complexity, &s.blend_mode, &s.preview_active, &s.symmetry, &s.invert_colour_logic,
                           &s.scope_on, &s.scope_shape, &s.kaleidoscope_on, &s.kaleidoscope_stretch, &s.granularity,
                           &s.brighten, &s.darken_red, &s.darken_green, &s.darken_blue, &s.slides_on, &s.background,
                           &s.gradient_variable, &s.gradient_brightness, &s.zone_frequency, &s.zone_duration,
                           &s.zone_multicolour, &s.slide_direction, &s.direction_change_frequency, &s.vsync,
                           &s.ignore_fps, &s.plasma_ignore_fps, &s.fade_light, &s.fade_hue, &s.fade_saturation,
                           &s.random_interval, &s.transition_speed, &s.titles_on, &s.sine_passes, &s.sine_variance,
                           &s.sine_amplitude, &s.sine_clear, &s.sine_multicolour, &s.sine_band_width})
        *field = whole;
    for (int i = 0; i < 250; ++i) {
        s.object_count[i] = whole;
        s.object_selected[i] = whole;
        s.object_animation_speed[i] = real;
        s.object_speed[i] = real;
    }
    s.ripple = s.interference = s.sway = single;
    s.speed = s.slide_speed = s.random_colour_interval = s.sine_phase_step = real;
    std::memset(s.title_text, 'W', sizeof s.title_text);
    std::memset(s.custom_overlay_path, 'o', sizeof s.custom_overlay_path);
    return s;
}

bool Has_Temporary_Files(const fs::path& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".tmp") return true;
    return false;
}

// Root reads and writes any file; without these two capabilities it meets file permissions as
// any user does. For a user nothing changes.
class As_A_User {
public:
    As_A_User() {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header_, reduced);
    }
    ~As_A_User() { syscall(SYS_capset, &header_, saved_); }
    As_A_User(const As_A_User&) = delete;
    As_A_User& operator=(const As_A_User&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

// A configuration run of a few frames on the installed program; the exit code.
int Configuration_Run(Session& s, int frames) {
    setenv("MIRRAVANE_FRAMES", std::to_string(frames).c_str(), 1);
    return Mirravane_Main(s, "mirravane /c");
}

using Hostile = Fresh_Test;

TEST_F(Hostile, FullDiskKeepsTheOldPresetWhole) {
    Installed_Program program;
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.contrast = 77; });
    const std::string before = program.folder().read("Mirravane/default.dat");
    ASSERT_EQ(before.size(), sizeof(PLASMA_SETTINGS));

    Default_Plasma_Settings(s);
    s.Plasma_Settings.contrast = 12;
    const std::string path = program.folder().windows("Mirravane\\default.dat");
    // The disk fills up in the middle of the record, and again before its first byte.
    for (long long room : {5000LL, 0LL}) {
        Headless().boxes.clear();
        Set_Disk_Space_Limit(room);
        EXPECT_EQ(Save_Plasma_Settings_To_File(s, path.c_str()), 0);
        Set_Disk_Space_Limit(-1);
        EXPECT_TRUE(Box_Contains("Save_Plasma_Settings_To_File():\n\n Error saving " + path));
        EXPECT_TRUE(program.folder().read("Mirravane/default.dat") == before);
        EXPECT_FALSE(Has_Temporary_Files(program.home()));
    }
    // With room again the new record replaces the old one whole.
    EXPECT_EQ(Save_Plasma_Settings_To_File(s, path.c_str()), 1);
    EXPECT_TRUE(program.folder().read("Mirravane/default.dat") == Record_Bytes(s.Plasma_Settings));

    // The end of a configuration run on a full disk: the message, and the old file.
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.contrast = 77; });
    s.app.Saver_Mode = CONFIGURE;
    Headless().boxes.clear();
    Set_Disk_Space_Limit(100);
    Store_Plasma_Settings(s);
    Set_Disk_Space_Limit(-1);
    EXPECT_TRUE(Box_Contains("Unable to write file"));
    EXPECT_TRUE(program.folder().read("Mirravane/default.dat") == before);
}

TEST_F(Hostile, UnwritableProgramFolder) {
    Headless().boxes.clear();
    // A file where the program folder should be.
    {
        Scratch_Folder windows;
        Set_Saver_Lock_Path(windows.native("saver.lock"));
        windows.write("Mirravane", "not a folder");
        EXPECT_EQ(Configuration_Run(s, 3), START_FAILED_EXIT_CODE);
        ASSERT_EQ(Headless().boxes.size(), 1u);
        EXPECT_EQ(Headless().boxes[0], "[Error] WinMain(): mirravane folder doesn't exist - Please RE-INSTALL");
        EXPECT_EQ(windows.read("Mirravane"), "not a folder");
        unsetenv("MIRRAVANE_FRAMES");
    }
    // A folder where default.dat should be: the preset cannot be saved, and says so.
    Installed_Program program;
    fs::create_directory(program.home() / "default.dat");
    Headless().boxes.clear();
    Configuration_Run(s, 3);
    EXPECT_TRUE(fs::is_directory(program.home() / "default.dat"));
    const std::string log = program.log();
    EXPECT_NE(log.find("Error saving"), std::string::npos) << log;
    EXPECT_FALSE(Has_Temporary_Files(program.home()));
}

TEST_F(Hostile, FullDiskDuringARunLeavesEveryFileWhole) {
    // The shipped first object is a square picture that a first run turns into a hue
    // gradient and writes back, and the run ends by writing default.dat. The disk fills up
    // at several points of the run: before the log, during it, during the object's write-back.
    for (long long room : {0LL, 3000LL, 20000LL, 60000LL, 150000LL, 400000LL}) {
        Installed_Program program(2, true);
        program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.contrast = 9; });
        const std::string preset = program.folder().read("Mirravane/default.dat");
        const std::string object = program.folder().read("Mirravane/Data/Bmp/Objects/0.bmp");
        Set_Disk_Space_Limit(room);
        Configuration_Run(s, 3);
        Set_Disk_Space_Limit(-1);
        const std::string preset_after = program.folder().read("Mirravane/default.dat");
        EXPECT_TRUE(preset_after == preset || preset_after.size() == sizeof(PLASMA_SETTINGS)) << room;
        const std::string object_after = program.folder().read("Mirravane/Data/Bmp/Objects/0.bmp");
        EXPECT_TRUE(object_after == object || object_after.size() > object.size()) << room;
        for (const auto& entry : fs::recursive_directory_iterator(program.home()))
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
        Headless().boxes.clear();
    }
}

TEST_F(Hostile, MissingOrTruncatedDefaultsStillRun) {
    // Missing: the built-in defaults, and a whole default.dat at the end.
    {
        Installed_Program program;
        EXPECT_EQ(Configuration_Run(s, 5), 0);
        EXPECT_EQ(program.log().find("FAILED"), std::string::npos) << program.log();
        EXPECT_EQ(fs::file_size(program.home() / "default.dat"), sizeof(PLASMA_SETTINGS));
    }
    // Truncated to 100 bytes, and empty: the reader's message, then a normal run that writes
    // a whole file back.
    for (size_t keep : {size_t{100}, size_t{0}}) {
        Installed_Program program;
        Default_Plasma_Settings(s);
        program.folder().write("Mirravane/default.dat", Record_Bytes(s.Plasma_Settings).substr(0, keep));
        EXPECT_EQ(Configuration_Run(s, 5), 0);
        const std::string log = program.log();
        EXPECT_NE(log.find("Load_Plamsa_Settings():\n\nError reading"), std::string::npos) << keep << log;
        EXPECT_EQ(fs::file_size(program.home() / "default.dat"), sizeof(PLASMA_SETTINGS));
        Headless().boxes.clear();
    }
}

TEST_F(Hostile, ExtremeFieldsInDefaultsRunWithoutFault) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Extreme {
        int32_t whole;
        float single;
        double real;
        int bpp;
        bool titles;
    } cases[] = {
        {INT_MIN, nan, std::nan(""), 32, true},
        {INT_MIN, nan, std::nan(""), 32, false},
        {INT_MAX, inf, HUGE_VAL, 8, false},
        {-1, -inf, -HUGE_VAL, 16, false},
        {INT_MAX, -0.0f, 1e300, 24, false},
    };
    for (const Extreme& e : cases) {
        Installed_Program program(3, false, 320, 240, e.bpp);
        PLASMA_SETTINGS record = Extreme_Record(e.whole, e.single, e.real);
        if (!e.titles) record.titles_on = 0;
        program.folder().write("Mirravane/default.dat", Record_Bytes(record));
        const auto start = std::chrono::steady_clock::now();
        Configuration_Run(s, 10);
        // A title without its end is cut off by the text's length check, which ends the run.
        if (e.titles) {
            EXPECT_NE(program.log().find("Draw_Text():Illegal Message Length"), std::string::npos);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << e.whole;
        // Whatever was read, what was written back is a whole record.
        EXPECT_EQ(fs::file_size(program.home() / "default.dat"), sizeof(PLASMA_SETTINGS));
        Headless().boxes.clear();
    }
}

TEST_F(Hostile, SymmetryOnPlasmaSlidesDrawsWithoutFailures) {
    // The menus never combine them, but a damaged preset may: slides with a still or a
    // moving plasma background, and a symmetry whose mirrored copies fall outside the slide.
    for (int background : {3, 4})
        for (int symmetry : {1, 2, 3}) {
            Installed_Program program(3);
            program.write_preset("default.dat", [&](PLASMA_SETTINGS& s) {
                s.kaleidoscope_on = 1;
                s.slides_on = 1;
                s.slide_speed = 200;
                s.background = background;
                s.symmetry = symmetry;
            });
            EXPECT_EQ(Configuration_Run(s, 40), 0);
            const std::string log = program.log();
            EXPECT_EQ(log.find("FAILED"), std::string::npos) << background << " " << symmetry << log;
            Headless().boxes.clear();
        }
}

TEST_F(Hostile, DamagedAndAbsurdBitmaps) {
    Installed_Program program(6);
    // Not a bitmap at 5.bmp: skipped with the loader's message, and the run goes on with the
    // object after it.
    program.folder().write("Mirravane/Data/Bmp/Objects/5.bmp", "This is a text file, not a picture.\n");
    program.folder().write("Mirravane/Data/Bmp/Objects/6.bmp", Make_Bmp_24(16, 32, 40, 200, 40));
    EXPECT_EQ(Configuration_Run(s, 3), 0);
    std::string log = program.log();
    EXPECT_NE(log.find("Load_All_Objects():Unable to load"), std::string::npos) << log;
    EXPECT_NE(log.find("5.bmp skipped, the objects after it still load"), std::string::npos) << log;
    EXPECT_EQ(log.find("Could not setup application"), std::string::npos) << log;
    EXPECT_EQ(s.app.Objects_Loaded, 6);

    // A header claiming 20000 x 20000 pixels at 24 bits, and nothing behind it: refused at
    // once, without reserving memory for the claim.
    std::string huge = Make_Bmp_24(1, 1, 0, 0, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) huge[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put32(18, 20000);
    put32(22, 20000);
    program.folder().write("Mirravane/Data/Bmp/About.bmp", huge);
    Headless().boxes.clear();
    int width = -1, height = -1;
    const auto start = std::chrono::steady_clock::now();
    Surface picture = Load_SYSTEM_Bitmap(s.display, program.folder().windows("Mirravane\\Data\\Bmp\\About.bmp").c_str(), &width,
                                         &height);
    EXPECT_EQ(picture, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // The run before left the messages going to the log.
    EXPECT_NE(program.log().find("Load_SYSTEM_Bitmap()"), std::string::npos) << program.log();
    if (picture) Release_Surface(&picture);

    // The same header as an object: skipped with the message, and the run goes on.
    program.folder().write("Mirravane/Data/Bmp/Objects/5.bmp", huge);
    EXPECT_EQ(Configuration_Run(s, 3), 0);
    log = program.log();
    EXPECT_NE(log.find("Load_All_Objects():Unable to load"), std::string::npos) << log;
    EXPECT_EQ(log.find("Could not setup application"), std::string::npos) << log;
    EXPECT_EQ(s.app.Objects_Loaded, 6);
}

TEST_F(Hostile, DefaultsThatCannotBeReadAreKeptAndTheSaverStillStarts) {
    alarm(120);  // an open that waited on a FIFO would end the test here
    // There but unreadable: the run shows the defaults and leaves the user's file as it was.
    {
        Installed_Program program;
        program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.contrast = 33; });
        const std::string before = program.folder().read("Mirravane/default.dat");
        fs::permissions(program.home() / "default.dat", fs::perms::owner_write);
        {
            As_A_User user;
            EXPECT_EQ(Configuration_Run(s, 3), 0);
        }
        EXPECT_TRUE(program.folder().read("Mirravane/default.dat") == before);
        EXPECT_EQ(fs::status(program.home() / "default.dat").permissions(), fs::perms::owner_write);
        EXPECT_NE(program.log().find("could not be read, so it is kept as it is"), std::string::npos) << program.log();
        unsetenv("MIRRAVANE_FRAMES");
    }
    // A FIFO, nothing, a short file, a resolution outside the table: the saver starts full
    // screen at the defaults' 640 x 480 x 32, and a configuration run ends as usual.
    for (const std::string kind : {"fifo", "missing", "short", "resolution"}) {
        Installed_Program program(2, false, 800, 600, 32);
        const fs::path file = program.home() / "default.dat";
        if (kind == "fifo") {
            ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
        }
        if (kind == "short") program.folder().write("Mirravane/default.dat", std::string(100, 'x'));
        if (kind == "resolution") program.write_preset("default.dat", [](PLASMA_SETTINGS& s) { s.resolution = 25; });
        ASSERT_EQ(Start_Up(s, "mirravane /s"), 1) << kind;
        EXPECT_EQ(s.app.Saver_Mode, SAVER);
        EXPECT_EQ(s.display.Window_Mode, FULLSCREEN);
        EXPECT_EQ(s.display.Screen_Width, 640) << kind;
        EXPECT_EQ(s.display.Screen_Height, 480) << kind;
        EXPECT_EQ(s.display.Screen_Bpp, 32) << kind;
        SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
        Clear_Message_Queue();
        s.display.Main_Window = nullptr;
        s.display.Window_Mode = WINDOWED;  // as a new process starts
        EXPECT_EQ(Configuration_Run(s, 3), 0) << kind;
        if (kind == "fifo") {
            EXPECT_EQ(fs::status(file).type(), fs::file_type::fifo);
        }
        unsetenv("MIRRAVANE_FRAMES");
        Headless().boxes.clear();
    }
    alarm(0);
}

TEST_F(Hostile, ReadOnlyDefaultsKeepTheRunningPresetThroughFullScreen) {
    Installed_Program program(2, false, 640, 480, 32);
    program.write_preset("default.dat", [](PLASMA_SETTINGS& s) {
        s.contrast = 33;
        s.resolution = 0;
    });
    const std::string before = program.folder().read("Mirravane/default.dat");
    fs::permissions(program.home() / "default.dat", fs::perms(0444));
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    EXPECT_EQ(s.Plasma_Settings.contrast, 33);

    // The display is rebuilt twice; each time default.dat cannot take the running preset.
    Modify_Plasma(s, Plasma_Parameter::Contrast, 21.0f, 0);
    SendMessageA(s.display.Main_Window, WM_COMMAND, MENU_VIEW_FULLSCREEN, 0);
    ASSERT_EQ(s.display.Window_Mode, FULLSCREEN);
    EXPECT_EQ(s.Plasma_Settings.contrast, 21);
    SendMessageA(s.display.Main_Window, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_EQ(s.display.Window_Mode, WINDOWED);
    EXPECT_EQ(s.Plasma_Settings.contrast, 21);
    SendMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
    Clear_Message_Queue();
    s.display.Main_Window = nullptr;

    EXPECT_TRUE(program.folder().read("Mirravane/default.dat") == before);
    EXPECT_EQ(fs::status(program.home() / "default.dat").permissions(), fs::perms(0444));
    EXPECT_NE(program.log().find("default.dat is read-only"), std::string::npos) << program.log();
}

TEST_F(Hostile, TheLogNeverWritesThroughALinkOrWaitsOnAFifo) {
    Installed_Program program;
    program.folder().write("precious.txt", "keep me");
    const fs::path log = program.home() / "error_log.txt";
    fs::create_symlink(program.folder().native("precious.txt"), log);
    alarm(60);
    Headless().boxes.clear();
    Configuration_Run(s, 3);
    EXPECT_EQ(program.folder().read("precious.txt"), "keep me");
    EXPECT_TRUE(fs::is_symlink(log));
    EXPECT_TRUE(Box_Contains("Save_Error_Log_To_File() CreateFile FILE FAILED"));

    fs::remove(log);
    ASSERT_EQ(mkfifo(log.c_str(), 0644), 0);
    Headless().boxes.clear();
    Configuration_Run(s, 3);
    EXPECT_EQ(fs::status(log).type(), fs::file_type::fifo);
    alarm(0);
    unsetenv("MIRRAVANE_FRAMES");
}

TEST_F(Hostile, AStartRemovesTheTemporaryFilesAKilledRunLeft) {
    Installed_Program program;
    const pid_t killed = fork();
    if (killed == 0) _exit(0);
    waitpid(killed, nullptr, 0);
    const std::string ours = ".mirravane-" + std::to_string(killed) + ".tmp";
    for (const char* name : {"default.dat", "Data/Bmp/Objects/1.bmp"}) {
        program.folder().write(std::string("Mirravane/") + name + ours, "left");
        program.folder().write(std::string("Mirravane/") + name + ".tmp", "mine");
    }
    EXPECT_EQ(Configuration_Run(s, 3), 0);
    for (const char* name : {"default.dat", "Data/Bmp/Objects/1.bmp"}) {
        EXPECT_FALSE(fs::exists(program.home() / (name + ours))) << name;
        EXPECT_EQ(program.folder().read(std::string("Mirravane/") + name + ".tmp"), "mine") << name;
    }
    unsetenv("MIRRAVANE_FRAMES");
}

}  // namespace
