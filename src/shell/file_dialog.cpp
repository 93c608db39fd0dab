#include "shell/file_dialog.h"

OPENFILENAME File_Dialog;
File_Name Current_File_Name = "";
File_Name Current_File_Title = "";

void Prepare_File_Dialog(HWND owner, const char* initial_folder, int filter_index, File_Name& name, File_Name& title) {
    static const char* const extensions[] = {"dat", "asc", "bmp", "*"};
    File_Dialog = OPENFILENAME{};
    File_Dialog.hwndOwner = owner;
    File_Dialog.filters = {{"Data Files (*.DAT)", "*.dat"},
                           {"ASCII Files (*.ASC)", "*.asc"},
                           {"Bitmap Files (*.BMP)", "*.bmp"},
                           {"All Files (*.*)", "*.*"}};
    if (filter_index < 1 || filter_index > 4) filter_index = 1;
    File_Dialog.nFilterIndex = static_cast<uint32_t>(filter_index);
    File_Dialog.lpstrDefExt = extensions[filter_index - 1];
    File_Dialog.lpstrInitialDir = initial_folder ? initial_folder : "";
    File_Dialog.lpstrFile = name;
    File_Dialog.nMaxFile = sizeof name;
    File_Dialog.lpstrFileTitle = title;
    File_Dialog.nMaxFileTitle = sizeof title;
}

void Prepare_File_Dialog(HWND owner, const char* initial_folder, int filter_index) {
    Prepare_File_Dialog(owner, initial_folder, filter_index, Current_File_Name, Current_File_Title);
}

bool Open_File_Dialog() {
    File_Dialog.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&File_Dialog);
}

bool Save_File_Dialog() {
    File_Dialog.Flags = OFN_OVERWRITEPROMPT;
    return GetSaveFileNameA(&File_Dialog);
}
