// Common dialogs (open and save a file), the help viewer and menus: the shapes the
// engine calls; the backend shows them (the headless one answers from a script).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/windows/wintypes.h"

// ---- file dialogs -------------------------------------------------------------------------
constexpr uint32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr uint32_t OFN_HIDEREADONLY = 0x4;
constexpr uint32_t OFN_CREATEPROMPT = 0x2000;

struct OPENFILENAME {
    HWND hwndOwner = nullptr;
    // Filters as (description, pattern) pairs; nFilterIndex is 1-based.
    std::vector<std::pair<std::string, std::string>> filters;
    uint32_t nFilterIndex = 1;
    char* lpstrFile = nullptr;       // in: initial name; out: full path (Windows directory based)
    uint32_t nMaxFile = 0;
    char* lpstrFileTitle = nullptr;  // out: the file's name without its folder
    uint32_t nMaxFileTitle = 0;
    std::string lpstrInitialDir;
    std::string lpstrDefExt;
    uint32_t Flags = 0;
};

bool GetOpenFileNameA(OPENFILENAME* ofn);
bool GetSaveFileNameA(OPENFILENAME* ofn);

// The headless backend answers file dialogs from this script: each entry is the chosen
// path, or an empty text for Cancel. With an empty script every dialog is cancelled.
std::deque<std::string>& Headless_File_Answers();

// ---- help -----------------------------------------------------------------------------------
constexpr uint32_t HELP_CONTENTS = 0x3;
bool WinHelpA(HWND window, const char* help_file, uint32_t command, uintptr_t data);

// ---- menus -----------------------------------------------------------------------------------
constexpr UINT MF_BYCOMMAND = 0x0;
constexpr UINT MF_ENABLED = 0x0;
constexpr UINT MF_UNCHECKED = 0x0;
constexpr UINT MF_GRAYED = 0x1;
constexpr UINT MF_CHECKED = 0x8;

struct Menu_Item {
    int id = 0;                     // command id; 0 for a submenu or a separator
    std::string text;               // "&Open", "Toggle Maximise Window\tCtrl+M"; empty: separator
    bool checked = false;
    bool grayed = false;
    std::vector<Menu_Item> items;   // a submenu's items
};

struct Menu {
    std::vector<Menu_Item> items;   // the menu bar
};

// Menus are built from templates the program registers by resource number.
void Register_Menu_Template(int resource, const Menu& menu);
HMENU LoadMenuA(int resource);
int CheckMenuItem(HMENU menu, int id, UINT flags);   // previous state, -1 if no such item
int EnableMenuItem(HMENU menu, int id, UINT flags);  // previous state, -1 if no such item
Menu_Item* Find_Menu_Item(HMENU menu, int id);
bool DrawMenuBar(HWND window);
