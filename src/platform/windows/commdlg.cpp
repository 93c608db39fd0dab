#include "platform/windows/commdlg.h"

#include <cstring>
#include <map>
#include <memory>

#include "platform/windows/windows.h"

namespace {

std::deque<std::string> file_answers;
std::map<int, Menu> templates;
std::vector<std::unique_ptr<Menu>> menus;

Menu_Item* Find_In(std::vector<Menu_Item>& items, int id) {
    for (auto& item : items) {
        if (item.id == id && item.items.empty()) return &item;
        if (Menu_Item* found = Find_In(item.items, id)) return found;
    }
    return nullptr;
}

void Copy_Text(char* into, uint32_t size, const std::string& text) {
    if (!into || size == 0) return;
    std::strncpy(into, text.c_str(), size - 1);
    into[size - 1] = '\0';
}

bool Answer(OPENFILENAME* ofn, bool save) {
    std::string chosen;
    if (!Backend().file_dialog(ofn, save, chosen)) return false;
    if (chosen.empty()) return false;
    Copy_Text(ofn->lpstrFile, ofn->nMaxFile, chosen);
    const auto slash = chosen.find_last_of("\\/");
    Copy_Text(ofn->lpstrFileTitle, ofn->nMaxFileTitle, slash == std::string::npos ? chosen : chosen.substr(slash + 1));
    return true;
}

}  // namespace

std::deque<std::string>& Headless_File_Answers() { return file_answers; }

bool GetOpenFileNameA(OPENFILENAME* ofn) { return ofn && Answer(ofn, false); }
bool GetSaveFileNameA(OPENFILENAME* ofn) { return ofn && Answer(ofn, true); }

bool WinHelpA(HWND window, const char* help_file, uint32_t command, uintptr_t) {
    if (!help_file) return false;
    return Backend().show_help(window, help_file, command);
}

void Register_Menu_Template(int resource, const Menu& menu) { templates[resource] = menu; }

HMENU LoadMenuA(int resource) {
    auto it = templates.find(resource);
    if (it == templates.end()) return nullptr;
    menus.push_back(std::make_unique<Menu>(it->second));
    return menus.back().get();
}

Menu_Item* Find_Menu_Item(HMENU menu, int id) { return menu ? Find_In(menu->items, id) : nullptr; }

int CheckMenuItem(HMENU menu, int id, UINT flags) {
    Menu_Item* item = Find_Menu_Item(menu, id);
    if (!item) return -1;
    const int previous = item->checked ? static_cast<int>(MF_CHECKED) : 0;
    item->checked = (flags & MF_CHECKED) != 0;
    Backend().menu_changed(menu);
    return previous;
}

int EnableMenuItem(HMENU menu, int id, UINT flags) {
    Menu_Item* item = Find_Menu_Item(menu, id);
    if (!item) return -1;
    const int previous = item->grayed ? static_cast<int>(MF_GRAYED) : 0;
    item->grayed = (flags & MF_GRAYED) != 0;
    Backend().menu_changed(menu);
    return previous;
}

bool DrawMenuBar(HWND window) { return IsWindow(window); }
