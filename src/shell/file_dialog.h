// The one reusable file dialog description of the main window (presets, bitmaps).
#pragma once

#include "platform/system/system.h"
#include "platform/windows/commdlg.h"
#include "session/forward.h"

// Prepares the dialog for an owner, an initial folder and a filter (1 "*.dat",
// 2 "*.asc", 3 "*.bmp", 4 "*.*"); the default extension follows the filter. `name` holds the
// initial name and receives the chosen path, `title` the chosen name without its folder.
void Prepare_File_Dialog(Session& s, HWND owner, const char* initial_folder, int filter_index, File_Name& name, File_Name& title);
// The same for the preset's file.
void Prepare_File_Dialog(Session& s, HWND owner, const char* initial_folder, int filter_index);
bool Open_File_Dialog(Session& s);   // asks to create a missing file; hides the read-only box
bool Save_File_Dialog(Session& s);   // asks before overwriting
