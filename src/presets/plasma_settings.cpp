// The preset record and its ".DAT" files: the file is the record's memory image.
#include "presets/plasma_settings.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"

PLASMA_SETTINGS Plasma_Settings;
PLASMA_SETTINGS Backup_Plasma_Settings;

int Save_Plasma_Settings_To_File(const char* name) {
    if (!name || !*name) return 0;

    // The record goes to a temporary file that replaces the preset only once it is whole, so a
    // full disk never leaves half a preset where a whole one was.
    const std::string temporary = std::string(name) + ".tmp";
    std::error_code ignored;
    Std_File* file = Open_File(temporary.c_str(), "wb");
    if (!file) {
        Report_Errorf("Save_Plasma_Settings_To_File():\n\n Error saving %s", name);
        return 0;
    }
    size_t records = Write_File(&Plasma_Settings, sizeof(PLASMA_SETTINGS), 1, file);
    const bool closed = Close_File(file) == 0;
    if (records != 1 || !closed) {
        std::filesystem::remove(Map_Path(temporary), ignored);
        Report_Errorf("Save_Plasma_Settings_To_File():\n\n Saved incorrect file size %d", static_cast<int>(records));
        Report_Errorf("Save_Plasma_Settings_To_File():\n\n Error saving %s", name);
        return 0;
    }
    std::error_code renamed;
    std::filesystem::rename(Map_Path(temporary), Map_Path(name), renamed);
    if (renamed) {
        std::filesystem::remove(Map_Path(temporary), ignored);
        Report_Errorf("Save_Plasma_Settings_To_File():\n\n Error saving %s", name);
        return 0;
    }
    return 1;
}

int Load_Plasma_Settings(const char* name) {
    if (!name || !*name) return 0;

    Std_File* file = Open_File(name, "rb");
    if (!file) return 0;

    std::memset(&Plasma_Settings, 0, sizeof(PLASMA_SETTINGS));
    // A short file leaves what it held followed by zeros; a longer one gives its first record.
    size_t records = Read_File(&Plasma_Settings, sizeof(PLASMA_SETTINGS), 1, file);
    Close_File(file);
    if (records != 1) {
        Report_Errorf("Load_Plamsa_Settings():\n\nError reading %s", name);
        return 0;
    }
    return 1;
}
