// The one reusable file dialog description of the main window (presets, bitmaps).
#pragma once

#include "platform/system/system.h"
#include "platform/windows/commdlg.h"

extern OPENFILENAME File_Dialog;
extern char Current_File_Name[PATH_BUFFER_SIZE];
extern char Current_File_Title[PATH_BUFFER_SIZE];

// Prepares the dialog for an owner, an initial folder and a filter (1 "*.dat",
// 2 "*.asc", 3 "*.bmp", 4 "*.*"); the default extension follows the filter.
void Prepare_File_Dialog(HWND owner, const char* initial_folder, int filter_index);
bool Open_File_Dialog();   // asks to create a missing file; hides the read-only box
bool Save_File_Dialog();   // asks before overwriting
