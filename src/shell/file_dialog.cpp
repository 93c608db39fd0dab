#include "shell/file_dialog.h"

OPENFILENAME File_Dialog;
char Current_File_Name[PATH_BUFFER_SIZE] = "";
char Current_File_Title[PATH_BUFFER_SIZE] = "";

void Prepare_File_Dialog(HWND owner, const char* initial_folder, int filter_index) {
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
    File_Dialog.lpstrFile = Current_File_Name;
    File_Dialog.nMaxFile = sizeof Current_File_Name;
    File_Dialog.lpstrFileTitle = Current_File_Title;
    File_Dialog.nMaxFileTitle = sizeof Current_File_Title;
}

bool Open_File_Dialog() {
    File_Dialog.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&File_Dialog);
}

bool Save_File_Dialog() {
    File_Dialog.Flags = OFN_OVERWRITEPROMPT;
    return GetSaveFileNameA(&File_Dialog);
}
