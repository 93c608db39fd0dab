#include "dialogs/templates.h"

#include <string>
#include <utility>

#include "platform/windows/dialog.h"

namespace {

bool registered = false;

constexpr int Dialog_Width = 320;
constexpr int Bar_X = 20;
constexpr int Bar_Width = 200;
constexpr int Row_Height = 44;
constexpr int Button_Width = 80;
constexpr int Button_Height = 26;

// Builds one template top to bottom: rows of bars, then the buttons along the bottom.
class Layout {
public:
    Layout(std::string name, std::string caption) {
        t_.name = std::move(name);
        t_.caption = std::move(caption);
        t_.width = Dialog_Width;
    }

    Layout& add(int id, Control_Kind kind, const std::string& text, int x, int y, int width, int height) {
        t_.controls.push_back(Control_Template{id, kind, text, x, y, width, height});
        return *this;
    }
    Layout& label(const std::string& text, int x, int y, int width = 200) {
        return add(-1, Control_Kind::Text, text, x, y, width, 14);
    }
    // A caption over the bar, labels at its two ends, the bar and its number beside it.
    Layout& bar(int bar_id, int number_id, const std::string& caption, const std::string& low,
                const std::string& high) {
        int top = y_;
        if (!caption.empty()) {
            label(caption, Bar_X, top);
            top += 16;
        }
        if (!low.empty()) label(low, Bar_X, top, 60);
        // The high label ends where the bar ends (about 9 pixels a character at most).
        if (!high.empty()) {
            const int width = 9 * static_cast<int>(high.size());
            label(high, Bar_X + Bar_Width - width, top, width);
        }
        add(bar_id, Control_Kind::Scroll_Bar, "", Bar_X, top + 16, Bar_Width, 16);
        add(number_id, Control_Kind::Number, "", Bar_X + Bar_Width + 12, top + 16, 60, 16);
        y_ = top + Row_Height;
        return *this;
    }
    // A check box with its caption beside it (the box carries no text of its own).
    Layout& check(int box_id, const std::string& text, int x = Bar_X) {
        add(box_id, Control_Kind::Check_Box, "", x, y_, 16, 16);
        label(text, x + 22, y_ + 1);
        y_ += 26;
        return *this;
    }
    // A check box with a push button that toggles it.
    Layout& check_button(int box_id, int button_id, const std::string& text) {
        add(box_id, Control_Kind::Check_Box, "", Bar_X, y_ + 5, 16, 16);
        add(button_id, Control_Kind::Push_Button, text, Bar_X + 24, y_, 140, Button_Height);
        y_ += Button_Height + 8;
        return *this;
    }
    Layout& list(int id, int height) {
        add(id, Control_Kind::List_Box, "", Bar_X, y_, Bar_Width, height);
        y_ += height + 10;
        return *this;
    }
    Layout& text(int id, const std::string& text, int width = 280) {
        add(id, Control_Kind::Text, text, Bar_X, y_, width, 16);
        y_ += 20;
        return *this;
    }
    Layout& gap(int pixels) {
        y_ += pixels;
        return *this;
    }
    int y() const { return y_; }
    void set_y(int y) { y_ = y; }

    // Buttons by id and text along the bottom, then the template is registered.
    void buttons(const std::vector<std::pair<int, std::string>>& row) {
        int x = Bar_X;
        const int top = y_ + 6;
        for (const auto& [id, caption] : row) {
            add(id, Control_Kind::Push_Button, caption, x, top, Button_Width, Button_Height);
            x += Button_Width + 10;
        }
        t_.height = top + Button_Height + 14;
        Register_Dialog_Template(t_);
    }
    void finish(int height) {
        t_.height = height;
        Register_Dialog_Template(t_);
    }

private:
    Dialog_Template t_;
    int y_ = 14;
};

const std::vector<std::pair<int, std::string>> OK_Cancel_Default = {{1, "OK"}, {2, "Cancel"}, {3, "Default"}};
const std::vector<std::pair<int, std::string>> OK_Cancel = {{1, "OK"}, {2, "Cancel"}};

void Plasma_Templates() {
    // Speed and contrast are stored as divisors: the small values at the left are the fast
    // motion and the strong contrast, and the labels say so.
    Layout("SPEEDBOX", "Plasma Speed").bar(1000, 1001, "", "Fast", "Slow").check_button(1056, 4, "Ignore fps")
        .buttons(OK_Cancel_Default);
    Layout("CONTRASTBOX", "Plasma Contrast").bar(1004, 1003, "", "High", "Low").buttons(OK_Cancel_Default);
    Layout("SWAYBOX", "Plasma Sway").bar(1005, 1006, "", "Min", "Max").buttons(OK_Cancel_Default);
    Layout("ANGLE_BBOX", "Plasma Interference").bar(1007, 1008, "", "Min", "Max").buttons(OK_Cancel_Default);
    Layout("ANGLE_ABOX", "Plasma Ripple Frequency").bar(1010, 1009, "", "Min", "Max").buttons(OK_Cancel_Default);
    Layout("CONSTANT_ABOX", "Plasma Complexity").bar(1020, 1019, "", "Min", "Max").buttons(OK_Cancel_Default);

    Layout interval("RANDOMCOLOURBOX", "Random Colour Interval");
    interval.bar(1062, 1061, "", "Min", "Max");
    interval.text(1063, "change every 0.00 seconds");
    interval.buttons(OK_Cancel_Default);

    // Each colour row: the bar, then its "darken" box to the right of the number.
    Layout colours("COLOURBOX", "Plasma Colours");
    const struct {
        const char* name;
        int bar, number, darken;
    } rows[] = {{"Blue", 1012, 1014, 1019}, {"Green", 1011, 1016, 1020}, {"Red", 1013, 1015, 1021}};
    for (const auto& row : rows) {
        const int top = colours.y();
        colours.bar(row.bar, row.number, row.name, "Min", "Max");
        colours.add(row.darken, Control_Kind::Check_Box, "", 20, top + 58, 16, 16);
        colours.label("darken", 42, top + 59, 60);
        colours.set_y(top + 84);
    }
    colours.check(1018, "invert colour logic").buttons(OK_Cancel);
}

void Slide_Templates() {
    Layout("GRANULARITYBOX", "Kaleidoscope Granularity").bar(1026, 1027, "", "low", "high")
        .buttons(OK_Cancel_Default);
    Layout("SLIDESPEEDBOX", "Slide Speed").bar(1028, 1029, "", "min", "max").check_button(1056, 4, "Ignore fps")
        .buttons(OK_Cancel_Default);

    Layout objects("SLIDEOBJECTSBOX", "Select Slide Objects");
    objects.add(1032, Control_Kind::Picture, "", 20, 14, 96, 96);
    objects.add(1035, Control_Kind::Check_Box, "", 130, 20, 16, 16);
    objects.label("selected", 152, 21, 100);
    objects.add(4, Control_Kind::Push_Button, "Select", 130, 46, 80, 24);
    objects.add(5, Control_Kind::Push_Button, "De-Select", 220, 46, 80, 24);
    objects.add(6, Control_Kind::Push_Button, "All", 130, 78, 80, 24);
    objects.add(7, Control_Kind::Push_Button, "None", 220, 78, 80, 24);
    objects.set_y(120);
    objects.bar(1033, 1034, "Object", "", "");
    objects.bar(1030, 1031, "Object Frequency", "", "");
    objects.bar(1036, 1037, "Animation Speed", "slow", "fast");
    objects.bar(1038, 1039, "Speed", "fast", "slow");
    objects.buttons({{1, "OK"}, {3, "Default"}});

    Layout background("BACKGROUNDBOX", "Kaleidoscope Background");
    background.list(1036, 110);
    const int group_top = background.y();
    background.add(-1, Control_Kind::Group, "Colour Gradient  Brightness", 10, group_top, 300, 96);
    background.set_y(group_top + 8);
    background.bar(1037, 1038, "", "", "");
    background.check(1039, "variable", 30);
    background.gap(12);
    background.add(1079, Control_Kind::Push_Button, "Configure Sine Waves", 20, background.y(), 170, 26);
    background.gap(34);
    background.buttons(OK_Cancel);

    Layout("ZONEBOX", "Homogenous Zones").bar(1041, 1042, "Frequency ", "Min", "Max")
        .bar(1043, 1044, "Duration", "Min", "Max").check(1046, "Multicolour Zones").buttons(OK_Cancel_Default);

    Layout("DIRECTIONBOX", "Slide Direction").bar(1054, 1055, "Frequency of Direction Change", "Min", "Max")
        .list(1058, 76).buttons(OK_Cancel_Default);

    Layout("FADEBOX", "Fade").bar(1064, 1065, "Light", "Min", "Max").bar(1066, 1067, "Hue", "Min", "Max")
        .bar(1068, 1069, "Saturation", "Min", "Max").buttons(OK_Cancel);

    Layout("SINEWAVEBOX", "Sine Wave Configuration").bar(1069, 1070, "Pixels Plotted Per Frame", "Min", "Max")
        .bar(1071, 1072, "Wave Amplitude", "Min", "Max").bar(1073, 1074, "Wave Variance", "Min", "Max")
        .bar(1075, 1076, "Wave Density", "Min", "Max").bar(1081, 1082, "Band Width", "Min", "Max")
        .check_button(1077, 1078, "Multicolour Waves").check_button(1079, 1080, "Clear Screen ")
        .buttons(OK_Cancel);
}

void View_Templates() {
    Layout about("ABOUTBOX", "");
    about.add(1023, Control_Kind::Picture, "", 0, 0, 320, 240);
    about.finish(240);

    Layout("RESOLUTIONBOX", "Fullscreen Resolution").list(1040, 200).buttons(OK_Cancel_Default);

    Layout info("INFOBOX", "System Information");
    info.text(-1, "Mirravane V 1.5").gap(6).text(1051, "").text(1052, "").text(1053, "");
    info.buttons({{1, "OK"}});

    Layout welcome("INTRODUCTIONBOX", "Welcome to Mirravane");
    welcome.text(-1, "Welcome to Mirravane").gap(6);
    welcome.text(-1, "Please be patient whilst Mirravane expands").text(-1, "the kaleidoscope object set.").gap(8);
    const int group_top = welcome.y();
    welcome.add(-1, Control_Kind::Group, "24-bit viideo cards", 10, group_top, 300, 70);
    welcome.set_y(group_top + 20);
    welcome.text(-1, "Some 24-bit video cards draw slowly:").text(-1, "choose a 16 or 32-bit mode for smooth frames.");
    welcome.gap(14);
    welcome.buttons({{1, "OK"}});

    Layout journey("JOURNEYBOX", "Random Presets");
    journey.add(-1, Control_Kind::Group, "Interval", 10, 10, 300, 56);
    journey.set_y(14);
    journey.bar(1066, 1068, "", "", "");
    journey.add(-1, Control_Kind::Group, "Transition Speed", 10, 72, 300, 56);
    journey.set_y(76);
    journey.bar(1067, 1069, "", "", "");
    journey.gap(12);
    journey.buttons(OK_Cancel);
}

}  // namespace

void Register_Dialog_Templates() {
    Plasma_Templates();
    Slide_Templates();
    View_Templates();
    registered = true;
}

bool Dialog_Templates_Registered() { return registered; }
