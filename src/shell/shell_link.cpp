#include "shell/shell_link.h"

#include "diagnostics/diagnostics.h"
#include "platform/windows/windows.h"
#include "presets/random_presets.h"
#include "session/session.h"
#include "shell/file_dialog.h"
#include "shell/menu_marks.h"
#include "shell/session.h"
#include "shell/window_style.h"
#include "shell/window_title.h"
#include "surface/display.h"

namespace {

class Shell_Answers final : public Shell_Link {
public:
    void settings_changed(Session& s) override { Update_Menu_Check_Marks(s); }

    void title_changed(Session& s, const char* title) override { Update_Window_Title(s, title); }

    bool choose_file(Session& s, File_Choice choice, const char* folder, File_Name& name, File_Name& title) override {
        Prepare_File_Dialog(s, s.display.Main_Window, folder, 3, name, title);
        return choice == File_Choice::Save_Bitmap ? Save_File_Dialog(s) : Open_File_Dialog(s);
    }

    void next_preset(Session& s) override { Display_A_Random_Setting(s); }

    bool rebuild_display(Session& s) override {
        if (!Rebuild_Full_Screen(s, "Display_A_Random_Setting: Setup FAILED")) return false;
        Cover_Full_Screen_Mode(s);
        return true;
    }

    bool restart_display(Session& s) override {
        Shutdown(s);
        if (!Setup(s)) {
            Report_Error(s.app, "Frame_Convert(): Setup FAILED");
            PostMessageA(s.display.Main_Window, WM_DESTROY, 0, 0);
            return false;
        }
        return true;
    }
};

}  // namespace

void Install_Shell_Link(Session& s) {
    static Shell_Answers answers;
    s.link = &answers;
}
