#include "shell/file_dialog.h"
#include "session/session.h"


void Prepare_File_Dialog(Session& s, HWND owner, const char* initial_folder, int filter_index, File_Name& name, File_Name& title) {
    static const char* const extensions[] = {"dat", "asc", "bmp", "*"};
    s.shell.File_Dialog = OPENFILENAME{};
    s.shell.File_Dialog.hwndOwner = owner;
    s.shell.File_Dialog.filters = {{"Data Files (*.DAT)", "*.dat"},
                           {"ASCII Files (*.ASC)", "*.asc"},
                           {"Bitmap Files (*.BMP)", "*.bmp"},
                           {"All Files (*.*)", "*.*"}};
    if (filter_index < 1 || filter_index > 4) filter_index = 1;
    s.shell.File_Dialog.nFilterIndex = static_cast<uint32_t>(filter_index);
    s.shell.File_Dialog.lpstrDefExt = extensions[filter_index - 1];
    s.shell.File_Dialog.lpstrInitialDir = initial_folder ? initial_folder : "";
    s.shell.File_Dialog.lpstrFile = name;
    s.shell.File_Dialog.nMaxFile = sizeof name;
    s.shell.File_Dialog.lpstrFileTitle = title;
    s.shell.File_Dialog.nMaxFileTitle = sizeof title;
}

void Prepare_File_Dialog(Session& s, HWND owner, const char* initial_folder, int filter_index) {
    Prepare_File_Dialog(s, owner, initial_folder, filter_index, s.shell.Current_File_Name, s.shell.Current_File_Title);
}

bool Open_File_Dialog(Session& s) {
    s.shell.File_Dialog.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&s.shell.File_Dialog);
}

bool Save_File_Dialog(Session& s) {
    s.shell.File_Dialog.Flags = OFN_OVERWRITEPROMPT;
    return GetSaveFileNameA(&s.shell.File_Dialog);
}
