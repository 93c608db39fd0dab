// The preset record and its ".DAT" files: the file is the record's memory image.
#include "presets/plasma_settings.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "session/session.h"


int Save_Plasma_Settings_To_File(Session& s, const char* name) {
    if (!name || !*name) return 0;

    // The record replaces the file only once it is written whole, so a full disk never leaves
    // half a preset where a whole one was; links, permissions and read-only files are kept.
    switch (Replace_File(name, &s.Plasma_Settings, sizeof(PLASMA_SETTINGS))) {
    case File_Replace::Ok: return 1;
    case File_Replace::Not_Regular:
        Report_Errorf(s.app, "Save_Plasma_Settings_To_File():\n\n %s is not a regular file", name);
        break;
    case File_Replace::Read_Only:
        Report_Errorf(s.app, "Save_Plasma_Settings_To_File():\n\n %s is read-only", name);
        break;
    case File_Replace::Write_Failed:
        Report_Errorf(s.app, "Save_Plasma_Settings_To_File():\n\n Saved incorrect file size %d", 0);
        break;
    case File_Replace::Create_Failed:
    case File_Replace::Rename_Failed: break;
    }
    Report_Errorf(s.app, "Save_Plasma_Settings_To_File():\n\n Error saving %s", name);
    return 0;
}

Preset_Read Read_Preset_File(const char* name, PLASMA_SETTINGS* record) {
    Preset_Read result;
    if (!name || !*name) return result;
    std::vector<uint8_t> data;
    switch (Read_Regular_File(name, data, sizeof(PLASMA_SETTINGS), &result.size)) {
    case File_Read::Ok: break;
    case File_Read::Missing: return result;
    case File_Read::Not_Regular: result.outcome = Preset_Read::Not_Regular; return result;
    case File_Read::Too_Large: result.outcome = Preset_Read::Wrong_Size; return result;
    case File_Read::Failed: result.outcome = Preset_Read::Unreadable; return result;
    }
    // Every preset ever written is one whole record: any other size is some other file.
    if (data.size() != sizeof(PLASMA_SETTINGS)) {
        result.outcome = Preset_Read::Wrong_Size;
        return result;
    }
    std::memcpy(record, data.data(), sizeof(PLASMA_SETTINGS));
    result.outcome = Preset_Read::Whole;
    return result;
}

namespace {
}

int Load_Plasma_Settings(Session& s, const char* name) {
    // Read into a record of its own: the live one changes only when the whole file was a preset.
    PLASMA_SETTINGS record;
    s.app.last_load = Read_Preset_File(name, &record);
    switch (s.app.last_load.outcome) {
    case Preset_Read::Whole: std::memcpy(&s.Plasma_Settings, &record, sizeof record); return 1;
    case Preset_Read::Wrong_Size:
    case Preset_Read::Unreadable: Report_Errorf(s.app, "Load_Plamsa_Settings():\n\nError reading %s", name); return 0;
    default: return 0;  // it could not be opened: the callers say so
    }
}

const Preset_Read& Last_Preset_Read(App& app) { return app.last_load; }

std::string Preset_Problem(const Preset_Read& read) {
    char text[160] = "";
    switch (read.outcome) {
    case Preset_Read::Missing: return "The file does not exist.";
    case Preset_Read::Not_Regular: return "It is not a regular file.";
    case Preset_Read::Unreadable: return "It could not be read.";
    case Preset_Read::Wrong_Size:
        std::snprintf(text, sizeof text, "It is not a preset: a preset file holds exactly %d bytes, this one %llu.",
                      static_cast<int>(sizeof(PLASMA_SETTINGS)), static_cast<unsigned long long>(read.size));
        return text;
    case Preset_Read::Whole: break;
    }
    return "";
}
