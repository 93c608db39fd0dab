#include "platform/windows/dialog.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "platform/gdi/gdi.h"

namespace {

std::map<std::string, Dialog_Template> templates;  // by upper-case name
std::vector<Dialog_State*> open_dialogs;
std::deque<std::vector<Dialog_Step>> scripts;
Dialog_State last_headless;

std::string Upper(const std::string& text) {
    std::string out = text;
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

struct Control_Lookup {
    Dialog_State* dialog = nullptr;
    Control_State* control = nullptr;
};

Control_Lookup Find_Control(HWND control) {
    for (Dialog_State* d : open_dialogs)
        for (auto& c : d->controls)
            if (c.window == control) return {d, &c};
    return {};
}

void Changed(Dialog_State* dialog, int id) { Backend().dialog_changed(dialog, id); }

// Picture controls draw into an off-screen bitmap the backend shows.
struct Picture {
    Bitmap bitmap;
    HDC dc = nullptr;
};
std::map<std::pair<Dialog_State*, int>, Picture> pictures;

}  // namespace

Control_State* Dialog_State::control(int id) {
    for (auto& c : controls)
        if (c.form.id == id) return &c;
    return nullptr;
}

void Register_Dialog_Template(const Dialog_Template& dialog) { templates[Upper(dialog.name)] = dialog; }

const Dialog_Template* Find_Dialog_Template(const std::string& name) {
    auto it = templates.find(Upper(name));
    return it == templates.end() ? nullptr : &it->second;
}

Dialog_State* Dialog_Of(HWND dialog) {
    for (Dialog_State* d : open_dialogs)
        if (d->window == dialog) return d;
    return nullptr;
}

intptr_t Send_To_Dialog(Dialog_State* dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!dialog || !dialog->proc || dialog->ended) return 0;
    return dialog->proc(dialog->window, message, wparam, lparam);
}

void Dialog_Scroll(Dialog_State* dialog, int control_id, int code, int thumb_position) {
    Control_State* c = dialog ? dialog->control(control_id) : nullptr;
    if (!c) return;
    Send_To_Dialog(dialog, WM_HSCROLL, MAKEWPARAM(static_cast<unsigned>(code), static_cast<unsigned>(thumb_position)),
                   reinterpret_cast<LPARAM>(c->window));
}

void Dialog_Command(Dialog_State* dialog, int control_id) {
    Control_State* c = dialog ? dialog->control(control_id) : nullptr;
    Send_To_Dialog(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(control_id), 0),
                   reinterpret_cast<LPARAM>(c ? c->window : nullptr));
}

void Dialog_Click(Dialog_State* dialog, int control_id) {
    Control_State* c = dialog ? dialog->control(control_id) : nullptr;
    if (c && c->form.kind == Control_Kind::Check_Box) {
        c->checked = !c->checked;
        Changed(dialog, control_id);
    }
    Dialog_Command(dialog, control_id);
}

intptr_t DialogBoxA(const char* template_name, HWND owner, DLGPROC proc) {
    const Dialog_Template* form = template_name ? Find_Dialog_Template(template_name) : nullptr;
    if (!form || !proc) return -1;
    auto state = std::make_unique<Dialog_State>();
    state->form = form;
    state->proc = proc;
    RECT owner_frame{0, 0, form->width, form->height};
    if (owner) GetWindowRect(owner, &owner_frame);
    const int x = owner_frame.left + ((owner_frame.right - owner_frame.left) - form->width) / 2;
    const int y = owner_frame.top + ((owner_frame.bottom - owner_frame.top) - form->height) / 2;
    state->window = Create_Window(form->caption, WS_POPUP, 0, x, y, form->width, form->height, owner, nullptr, nullptr);
    for (const auto& c : form->controls) {
        Control_State control;
        control.form = c;
        control.text = c.text;
        control.window = Create_Window(c.text, WS_CHILD, 0, c.x, c.y, c.width, c.height, state->window, nullptr, nullptr);
        state->controls.push_back(std::move(control));
    }
    open_dialogs.push_back(state.get());
    const intptr_t result = Backend().run_dialog(state.get());
    open_dialogs.erase(std::find(open_dialogs.begin(), open_dialogs.end(), state.get()));
    for (auto it = pictures.begin(); it != pictures.end();) {
        if (it->first.first == state.get()) {
            if (it->second.dc) DeleteDC(it->second.dc);
            it = pictures.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& c : state->controls) DestroyWindow(c.window);
    DestroyWindow(state->window);
    return result;
}

bool EndDialog(HWND dialog, intptr_t result) {
    Dialog_State* d = Dialog_Of(dialog);
    if (!d) return false;
    d->ended = true;
    d->result = result;
    return true;
}

// The headless backend's modal loop: the script's messages, then Cancel.
intptr_t Window_Backend::run_dialog(Dialog_State* dialog) {
    Send_To_Dialog(dialog, WM_INITDIALOG, 0, 0);
    std::vector<Dialog_Step> script;
    if (!scripts.empty()) {
        script = std::move(scripts.front());
        scripts.pop_front();
    }
    for (const auto& step : script) {
        if (dialog->ended) break;
        switch (step.kind) {
        case Dialog_Step::Scroll: Dialog_Scroll(dialog, step.control, step.code, step.position); break;
        case Dialog_Step::Command: Dialog_Command(dialog, step.control); break;
        case Dialog_Step::Click: Dialog_Click(dialog, step.control); break;
        case Dialog_Step::Mouse_Move: Send_To_Dialog(dialog, WM_MOUSEMOVE, 0, 0); break;
        case Dialog_Step::Move: Send_To_Dialog(dialog, WM_MOVE, 0, 0); break;
        case Dialog_Step::Paint: Send_To_Dialog(dialog, WM_PAINT, 0, 0); break;
        case Dialog_Step::Select:
            if (Control_State* c = dialog->control(step.control)) c->selection = step.code;
            break;
        }
    }
    if (!dialog->ended) Dialog_Command(dialog, IDCANCEL);
    last_headless = *dialog;
    last_headless.proc = nullptr;
    return dialog->result;
}

std::deque<std::vector<Dialog_Step>>& Headless_Dialog_Scripts() { return scripts; }
Dialog_State& Last_Headless_Dialog() { return last_headless; }

HWND GetDlgItem(HWND dialog, int id) {
    Dialog_State* d = Dialog_Of(dialog);
    Control_State* c = d ? d->control(id) : nullptr;
    return c ? c->window : nullptr;
}

int GetDlgCtrlID(HWND control) {
    const Control_Lookup found = Find_Control(control);
    return found.control ? found.control->form.id : 0;
}

bool SetScrollRange(HWND control, int, int minimum, int maximum, bool) {
    const Control_Lookup found = Find_Control(control);
    if (!found.control) return false;
    found.control->minimum = minimum;
    found.control->maximum = maximum;
    Changed(found.dialog, found.control->form.id);
    return true;
}

int SetScrollPos(HWND control, int, int position, bool) {
    const Control_Lookup found = Find_Control(control);
    if (!found.control) return 0;
    const int previous = found.control->position;
    found.control->position = std::clamp(position, std::min(found.control->minimum, found.control->maximum),
                                         std::max(found.control->minimum, found.control->maximum));
    Changed(found.dialog, found.control->form.id);
    return previous;
}

int GetScrollPos(HWND control, int) {
    const Control_Lookup found = Find_Control(control);
    return found.control ? found.control->position : 0;
}

bool SetDlgItemInt(HWND dialog, int id, unsigned value, bool is_signed) {
    return SetDlgItemTextA(dialog, id,
                           is_signed ? std::to_string(static_cast<int>(value)).c_str() : std::to_string(value).c_str());
}

bool SetDlgItemTextA(HWND dialog, int id, const char* text) {
    Dialog_State* d = Dialog_Of(dialog);
    Control_State* c = d ? d->control(id) : nullptr;
    if (!c) return false;
    c->text = text ? text : "";
    Changed(d, id);
    return true;
}

std::string Dlg_Item_Text(HWND dialog, int id) {
    Dialog_State* d = Dialog_Of(dialog);
    Control_State* c = d ? d->control(id) : nullptr;
    return c ? c->text : std::string();
}

bool CheckDlgButton(HWND dialog, int id, UINT check) {
    Dialog_State* d = Dialog_Of(dialog);
    Control_State* c = d ? d->control(id) : nullptr;
    if (!c) return false;
    c->checked = check == BST_CHECKED;
    Changed(d, id);
    return true;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    Dialog_State* d = Dialog_Of(dialog);
    Control_State* c = d ? d->control(id) : nullptr;
    return c && c->checked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam) {
    Dialog_State* d = Dialog_Of(dialog);
    Control_State* c = d ? d->control(id) : nullptr;
    if (!c) return LB_ERR;
    switch (message) {
    case LB_ADDSTRING:
        c->items.emplace_back(lparam ? reinterpret_cast<const char*>(lparam) : "");
        Changed(d, id);
        return static_cast<LRESULT>(c->items.size() - 1);
    case LB_RESETCONTENT:
        c->items.clear();
        c->selection = -1;
        Changed(d, id);
        return 0;
    case LB_SETCURSEL: {
        const auto index = static_cast<intptr_t>(static_cast<int>(wparam));
        if (index < 0 || index >= static_cast<intptr_t>(c->items.size())) {
            c->selection = -1;
            Changed(d, id);
            return LB_ERR;
        }
        c->selection = static_cast<int>(index);
        Changed(d, id);
        return index;
    }
    case LB_GETCURSEL: return c->selection < 0 ? LB_ERR : c->selection;
    case LB_GETCOUNT: return static_cast<LRESULT>(c->items.size());
    default: return 0;
    }
}

HDC Picture_DC(HWND dialog, int id, int* width, int* height) {
    Dialog_State* d = Dialog_Of(dialog);
    Control_State* c = d ? d->control(id) : nullptr;
    if (!c || c->form.width <= 0 || c->form.height <= 0) return nullptr;
    Picture& p = pictures[{d, id}];
    if (p.bitmap.width != c->form.width || p.bitmap.height != c->form.height) {
        p.bitmap.width = c->form.width;
        p.bitmap.height = c->form.height;
        p.bitmap.pixels.assign(static_cast<size_t>(c->form.width) * c->form.height, 0);
    }
    if (!p.dc) {
        p.dc = CreateCompatibleDC(nullptr);
        SelectObject(p.dc, &p.bitmap);
    }
    if (width) *width = c->form.width;
    if (height) *height = c->form.height;
    return p.dc;
}

void Release_Picture_DC(HWND dialog, int id, HDC) {
    Dialog_State* d = Dialog_Of(dialog);
    if (d) Changed(d, id);
}

const Bitmap* Picture_Bitmap(Dialog_State* dialog, int id) {
    auto it = pictures.find({dialog, id});
    return it == pictures.end() ? nullptr : &it->second.bitmap;
}
