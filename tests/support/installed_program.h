// The program as installed below a scratch Windows directory: the source tree's data/
// copied as Mirravane/, the working folder moved into it (the fonts and the error sound are
// found relative to it), the saver lock kept inside the scratch folder, a small desktop.
#pragma once

#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/display/ddraw.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "objects/object_files.h"
#include "session/session.h"
#include "support/scratch_folder.h"
#include "surface/display.h"

// A 24-bit bottom-up BMP of one colour.
inline std::string Make_Bmp_24(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    return Make_Object_Bmp(width, height, [=](int, int) { return Rgb{r, g, b}; });
}

class Installed_Program {
public:
    // `objects`: how many of the shipped object bitmaps to keep (the scan stops at the first
    // missing number). The shipped 0.bmp is 3126 bytes, which marks a first run;
    // `first_run` false replaces it with a two-frame 16-pixel strip.
    explicit Installed_Program(int objects = 2, bool first_run = false, int desktop_width = 320,
                               int desktop_height = 240, int desktop_bpp = 32) {
        namespace fs = std::filesystem;
        const fs::path data = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";
        fs::copy(data, home(), fs::copy_options::recursive);
        for (int i = objects; fs::exists(home() / object_name(i)); ++i) fs::remove(home() / object_name(i));
        if (!first_run) folder_.write("Mirravane/" + object_name(0), Make_Bmp_24(16, 32, 200, 40, 40));
        old_cwd_ = fs::current_path();
        fs::current_path(home());
        Set_Saver_Lock_Path(folder_.native("saver.lock"));
        Reset_Display_Service();
        Set_Headless_Desktop(desktop_width, desktop_height, desktop_bpp);
    }
    ~Installed_Program() {
        std::error_code ignored;
        std::filesystem::current_path(old_cwd_, ignored);
        unsetenv("MIRRAVANE_FRAMES");
    }
    Installed_Program(const Installed_Program&) = delete;
    Installed_Program& operator=(const Installed_Program&) = delete;

    const Scratch_Folder& folder() const { return folder_; }
    std::filesystem::path home() const { return std::filesystem::path(folder_.path()) / "Mirravane"; }
    std::string log() const { return folder_.read("Mirravane/error_log.txt"); }

    // Removes the stock presets (and default.dat) from the program folder.
    void remove_presets() const {
        for (const auto& entry : std::filesystem::directory_iterator(home())) {
            std::string ext = entry.path().extension().string();
            for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (entry.is_regular_file() && ext == ".dat") std::filesystem::remove(entry.path());
        }
    }

    // Writes a preset file into the program folder: the defaults, changed by `edit`.
    void write_preset(const std::string& name, const std::function<void(PLASMA_SETTINGS&)>& edit = {}) const {
        App app;
        Session s(app);
        Default_Plasma_Settings(s);
        if (edit) edit(s.Plasma_Settings);
        Save_Plasma_Settings_To_File(s, (folder_.path() + "/Mirravane/" + name).c_str());
    }

private:
    static std::string object_name(int i) { return "Data/Bmp/Objects/" + std::to_string(i) + ".bmp"; }

    Scratch_Folder folder_;
    std::filesystem::path old_cwd_;
};
