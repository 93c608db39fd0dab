#include "shell/window_title.h"

#include <cstring>
#include <string>

#include "diagnostics/diagnostics.h"
#include "platform/windows/windows.h"
#include "presets/plasma_settings.h"
#include "session/session.h"

int Update_Window_Title(Session& s, const char* text) {
    if (text == nullptr) text = "";
    std::string name = text;
    // Paths come with either separator: the file dialogs here give '/' ones.
    const char* back = std::strrchr(text, '\\');
    const char* forward = std::strrchr(text, '/');
    const char* slash = back == nullptr || (forward != nullptr && forward > back) ? forward : back;
    if (slash != nullptr && slash - text > 1) {
        name = slash + 1;
        name = name.substr(0, name.find('.'));
        if (name.size() < 128) {
            std::memcpy(s.Plasma_Settings.title_text, name.c_str(), name.size() + 1);
        }
    }
    const std::string caption = " Mirravane:   " + name;
    if (!SetWindowTextA(s.display.Main_Window, caption.c_str())) {
        Report_Errorf(s.app, "Update Window Title(): SetWindowText %s FAILED", caption.c_str());
        SetWindowTextA(s.display.Main_Window, "Mirravane");
        return 0;
    }
    return 1;
}
