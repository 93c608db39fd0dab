// What the shell keeps for one session: its menu, the file dialog and the preset's file name,
// and the frame driver's and window procedure's memory.
#pragma once

#include "platform/system/system.h"
#include "platform/windows/commdlg.h"

struct Shell_State {
    HMENU App_Menu = nullptr;
    OPENFILENAME File_Dialog;
    // The preset's file: what Presets > Save writes to. Other choices (an overlay, a converted
    // object) keep names of their own, so they never become the preset's file.
    File_Name Current_File_Name = "";
    File_Name Current_File_Title = "";
    // A preset being opened, until it has been read as one (the file dialog keeps pointing at
    // it after it closes).
    File_Name open_name = "", open_title = "";
    int run_logged_once = 0;
    int about_picture_drawn = 0;
    int First_Setup = 1;  // the colour-depth check runs only on the first set-up
    int last_client_width = -1, last_client_height = -1;
};
