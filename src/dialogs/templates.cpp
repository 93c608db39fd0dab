#include "dialogs/templates.h"

#include <string>
#include <utility>

#include "common/control_ids.h"
#include "platform/windows/dialog.h"
#include "platform/windows/windows.h"

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

const std::vector<std::pair<int, std::string>> OK_Cancel_Default = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDC_DEFAULT, "Default"}};
const std::vector<std::pair<int, std::string>> OK_Cancel = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};

void Plasma_Templates() {
    // Speed and contrast are stored as divisors: the small values at the left are the fast
    // motion and the strong contrast, and the labels say so.
    Layout("SPEEDBOX", "Plasma Speed").bar(IDC_SPEED_BAR, IDC_SPEED_NUMBER, "", "Fast", "Slow")
        .check_button(IDC_IGNORE_FPS_BOX, IDC_IGNORE_FPS, "Ignore fps")
        .buttons(OK_Cancel_Default);
    Layout("CONTRASTBOX", "Plasma Contrast").bar(IDC_CONTRAST_BAR, IDC_CONTRAST_NUMBER, "", "High", "Low").buttons(OK_Cancel_Default);
    Layout("SWAYBOX", "Plasma Sway").bar(IDC_SWAY_BAR, IDC_SWAY_NUMBER, "", "Min", "Max").buttons(OK_Cancel_Default);
    Layout("ANGLE_BBOX", "Plasma Interference").bar(IDC_INTERFERENCE_BAR, IDC_INTERFERENCE_NUMBER, "", "Min", "Max").buttons(OK_Cancel_Default);
    Layout("ANGLE_ABOX", "Plasma Ripple Frequency").bar(IDC_RIPPLE_BAR, IDC_RIPPLE_NUMBER, "", "Min", "Max").buttons(OK_Cancel_Default);
    Layout("CONSTANT_ABOX", "Plasma Complexity").bar(IDC_COMPLEXITY_BAR, IDC_COMPLEXITY_NUMBER, "", "Min", "Max").buttons(OK_Cancel_Default);

    Layout interval("RANDOMCOLOURBOX", "Random Colour Interval");
    interval.bar(IDC_COLOUR_INTERVAL_BAR, IDC_COLOUR_INTERVAL_NUMBER, "", "Min", "Max");
    interval.text(IDC_COLOUR_INTERVAL_TEXT, "change every 0.00 seconds");
    interval.buttons(OK_Cancel_Default);

    // Each colour row: the bar, then its "darken" box to the right of the number.
    Layout colours("COLOURBOX", "Plasma Colours");
    const struct {
        const char* name;
        int bar, number, darken;
    } rows[] = {{"Blue", IDC_BLUE_BAR, IDC_BLUE_NUMBER, IDC_BLUE_DARKEN},
                {"Green", IDC_GREEN_BAR, IDC_GREEN_NUMBER, IDC_GREEN_DARKEN},
                {"Red", IDC_RED_BAR, IDC_RED_NUMBER, IDC_RED_DARKEN}};
    for (const auto& row : rows) {
        const int top = colours.y();
        colours.bar(row.bar, row.number, row.name, "Min", "Max");
        colours.add(row.darken, Control_Kind::Check_Box, "", 20, top + 58, 16, 16);
        colours.label("darken", 42, top + 59, 60);
        colours.set_y(top + 84);
    }
    colours.check(IDC_INVERT_COLOUR_LOGIC, "invert colour logic").buttons(OK_Cancel);
}

void Slide_Templates() {
    Layout("GRANULARITYBOX", "Kaleidoscope Granularity").bar(IDC_GRANULARITY_BAR, IDC_GRANULARITY_NUMBER, "", "low", "high")
        .buttons(OK_Cancel_Default);
    Layout("SLIDESPEEDBOX", "Slide Speed").bar(IDC_SLIDE_SPEED_BAR, IDC_SLIDE_SPEED_NUMBER, "", "min", "max")
        .check_button(IDC_IGNORE_FPS_BOX, IDC_IGNORE_FPS, "Ignore fps")
        .buttons(OK_Cancel_Default);

    Layout objects("SLIDEOBJECTSBOX", "Select Slide Objects");
    objects.add(IDC_OBJECT_PICTURE, Control_Kind::Picture, "", 20, 14, 96, 96);
    objects.add(IDC_OBJECT_SELECTED, Control_Kind::Check_Box, "", 130, 20, 16, 16);
    objects.label("selected", 152, 21, 100);
    objects.add(IDC_OBJECT_SELECT, Control_Kind::Push_Button, "Select", 130, 46, 80, 24);
    objects.add(IDC_OBJECT_DESELECT, Control_Kind::Push_Button, "De-Select", 220, 46, 80, 24);
    objects.add(IDC_OBJECT_ALL, Control_Kind::Push_Button, "All", 130, 78, 80, 24);
    objects.add(IDC_OBJECT_NONE, Control_Kind::Push_Button, "None", 220, 78, 80, 24);
    objects.set_y(120);
    objects.bar(IDC_OBJECT_BAR, IDC_OBJECT_NUMBER, "Object", "", "");
    objects.bar(IDC_OBJECT_FREQUENCY_BAR, IDC_OBJECT_FREQUENCY_NUMBER, "Object Frequency", "", "");
    objects.bar(IDC_OBJECT_ANIMATION_BAR, IDC_OBJECT_ANIMATION_NUMBER, "Animation Speed", "slow", "fast");
    objects.bar(IDC_OBJECT_SPEED_BAR, IDC_OBJECT_SPEED_NUMBER, "Speed", "fast", "slow");
    objects.buttons({{IDOK, "OK"}, {IDC_DEFAULT, "Default"}});

    Layout background("BACKGROUNDBOX", "Kaleidoscope Background");
    background.list(IDC_BACKGROUND_LIST, 110);
    const int group_top = background.y();
    background.add(-1, Control_Kind::Group, "Colour Gradient  Brightness", 10, group_top, 300, 96);
    background.set_y(group_top + 8);
    background.bar(IDC_GRADIENT_BAR, IDC_GRADIENT_NUMBER, "", "", "");
    background.check(IDC_GRADIENT_VARIABLE, "variable", 30);
    background.gap(12);
    background.add(IDC_CONFIGURE_SINE_WAVES, Control_Kind::Push_Button, "Configure Sine Waves", 20, background.y(), 170, 26);
    background.gap(34);
    background.buttons(OK_Cancel);

    Layout("ZONEBOX", "Homogenous Zones").bar(IDC_ZONE_FREQUENCY_BAR, IDC_ZONE_FREQUENCY_NUMBER, "Frequency ", "Min", "Max")
        .bar(IDC_ZONE_DURATION_BAR, IDC_ZONE_DURATION_NUMBER, "Duration", "Min", "Max")
        .check(IDC_ZONE_MULTICOLOUR, "Multicolour Zones").buttons(OK_Cancel_Default);

    Layout("DIRECTIONBOX", "Slide Direction").bar(IDC_DIRECTION_FREQUENCY_BAR, IDC_DIRECTION_FREQUENCY_NUMBER, "Frequency of Direction Change", "Min", "Max")
        .list(IDC_DIRECTION_LIST, 76).buttons(OK_Cancel_Default);

    Layout("FADEBOX", "Fade").bar(IDC_FADE_LIGHT_BAR, IDC_FADE_LIGHT_NUMBER, "Light", "Min", "Max")
        .bar(IDC_FADE_HUE_BAR, IDC_FADE_HUE_NUMBER, "Hue", "Min", "Max")
        .bar(IDC_FADE_SATURATION_BAR, IDC_FADE_SATURATION_NUMBER, "Saturation", "Min", "Max").buttons(OK_Cancel);

    Layout("SINEWAVEBOX", "Sine Wave Configuration").bar(IDC_SINE_PASSES_BAR, IDC_SINE_PASSES_NUMBER, "Pixels Plotted Per Frame", "Min", "Max")
        .bar(IDC_SINE_AMPLITUDE_BAR, IDC_SINE_AMPLITUDE_NUMBER, "Wave Amplitude", "Min", "Max")
        .bar(IDC_SINE_VARIANCE_BAR, IDC_SINE_VARIANCE_NUMBER, "Wave Variance", "Min", "Max")
        .bar(IDC_SINE_DENSITY_BAR, IDC_SINE_DENSITY_NUMBER, "Wave Density", "Min", "Max")
        .bar(IDC_SINE_BAND_WIDTH_BAR, IDC_SINE_BAND_WIDTH_NUMBER, "Band Width", "Min", "Max")
        .check_button(IDC_SINE_MULTICOLOUR, IDC_SINE_MULTICOLOUR_BUTTON, "Multicolour Waves")
        .check_button(IDC_SINE_CLEAR, IDC_SINE_CLEAR_BUTTON, "Clear Screen ")
        .buttons(OK_Cancel);
}

void View_Templates() {
    Layout about("ABOUTBOX", "");
    about.add(IDC_ABOUT_PICTURE, Control_Kind::Picture, "", 0, 0, 320, 240);
    about.finish(240);

    Layout("RESOLUTIONBOX", "Fullscreen Resolution").list(IDC_RESOLUTION_LIST, 200).buttons(OK_Cancel_Default);

    Layout info("INFOBOX", "System Information");
    info.text(-1, "Mirravane V 1.5").gap(6).text(IDC_INFO_VIDEO_MEMORY, "").text(IDC_INFO_SYSTEM_MEMORY, "")
        .text(IDC_INFO_OBJECT_MEMORY, "");
    info.buttons({{IDOK, "OK"}});

    Layout welcome("INTRODUCTIONBOX", "Welcome to Mirravane");
    welcome.text(-1, "Welcome to Mirravane").gap(6);
    welcome.text(-1, "Please be patient whilst Mirravane expands").text(-1, "the kaleidoscope object set.").gap(8);
    const int group_top = welcome.y();
    welcome.add(-1, Control_Kind::Group, "24-bit viideo cards", 10, group_top, 300, 70);
    welcome.set_y(group_top + 20);
    welcome.text(-1, "Some 24-bit video cards draw slowly:").text(-1, "choose a 16 or 32-bit mode for smooth frames.");
    welcome.gap(14);
    welcome.buttons({{IDOK, "OK"}});

    Layout journey("JOURNEYBOX", "Random Presets");
    journey.add(-1, Control_Kind::Group, "Interval", 10, 10, 300, 56);
    journey.set_y(14);
    journey.bar(IDC_JOURNEY_INTERVAL_BAR, IDC_JOURNEY_INTERVAL_NUMBER, "", "", "");
    journey.add(-1, Control_Kind::Group, "Transition Speed", 10, 72, 300, 56);
    journey.set_y(76);
    journey.bar(IDC_JOURNEY_SPEED_BAR, IDC_JOURNEY_SPEED_NUMBER, "", "", "");
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
