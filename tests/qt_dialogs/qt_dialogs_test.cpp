// Real widget actions reach the dialog procedure as the messages it expects, and what the
// procedure sets shows in the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/windows/dialog.h"
#include "support/fresh_session.h"

namespace {

// The Qt dialogs name each control widget by its id.
QString Control(int id) { return QString::number(id); }

// A window system that shows dialogs through the Qt runtime and nothing else.
class Dialog_Backend : public Window_Backend {
public:
    const char* name() const override { return "qt dialogs"; }
    void desktop(int& width, int& height, int& bpp) override { width = 640, height = 480, bpp = 32; }
    void window_created(HWND) override {}
    void window_changed(HWND) override {}
    void window_destroyed(HWND) override {}
    bool pump(bool) override { return false; }
    int message_box(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
    void cursor_visible(bool) override {}
    void play_sound(const std::string&) override {}
    intptr_t run_dialog(Dialog_State* dialog) override { return Run_Qt_Dialog(dialog, nullptr); }
    void dialog_changed(Dialog_State* dialog, int id) override { Qt_Dialog_Changed(dialog, id); }
};

struct Message {
    UINT message;
    int code;      // WM_HSCROLL: SB_* code; WM_COMMAND: control id
    int position;  // WM_HSCROLL: thumb position
    int control;   // WM_HSCROLL: the bar's id
};
std::vector<Message> seen;
HWND open_dialog = nullptr;

constexpr int BAR = 100, NUMBER = 101, BOX = 200, BUTTON = 300, LIST = 400, PICTURE = 500;

// Moves its bar like the program's dialogs: one per line, five per page, thumb followed.
intptr_t Probe_Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        open_dialog = dialog;
        SetScrollRange(GetDlgItem(dialog, BAR), SB_CTL, 0, 50, true);
        SetScrollPos(GetDlgItem(dialog, BAR), SB_CTL, 10, true);
        for (const char* item : {"one", "two", "three"})
            SendDlgItemMessageA(dialog, LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendDlgItemMessageA(dialog, LIST, LB_SETCURSEL, 0, 0);
        seen.clear();
        return 1;
    case WM_HSCROLL: {
        const int code = static_cast<int>(LOWORD(wparam)), thumb = static_cast<int>(HIWORD(wparam));
        HWND bar = reinterpret_cast<HWND>(lparam);
        seen.push_back({message, code, thumb, GetDlgCtrlID(bar)});
        int position = GetScrollPos(bar, SB_CTL);
        if (code == SB_LINERIGHT) position += 1;
        if (code == SB_PAGELEFT) position -= 5;
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) position = thumb;
        if (code == SB_RIGHT) position = 50;
        SetScrollPos(bar, SB_CTL, position, true);  // SB_PAGERIGHT deliberately moves nothing
        SetDlgItemInt(dialog, NUMBER, static_cast<unsigned>(GetScrollPos(bar, SB_CTL)), false);
        return 1;
    }
    case WM_COMMAND: {
        const int id = static_cast<int>(LOWORD(wparam));
        seen.push_back({message, id, 0, 0});
        if (id == BOX) seen.back().position = static_cast<int>(IsDlgButtonChecked(dialog, BOX));
        if (id == LIST) seen.back().position = static_cast<int>(SendDlgItemMessageA(dialog, LIST, LB_GETCURSEL, 0, 0));
        if (id == BUTTON) CheckDlgButton(dialog, BOX, BST_UNCHECKED);
        if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
        return 1;
    }
    case WM_PAINT: {
        seen.push_back({message, 0, 0, 0});
        int width = 0, height = 0;
        HDC dc = Picture_DC(dialog, PICTURE, &width, &height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) SetPixel(dc, x, y, RGB(255, 0, 0));
        Release_Picture_DC(dialog, PICTURE, dc);
        return 1;
    }
    case WM_MOUSEMOVE:
    case WM_MOVE:
    case WM_LBUTTONDOWN: seen.push_back({message, 0, 0, 0}); return 1;
    }
    return 0;
}

class Qt_Dialogs : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    static void SetUpTestSuite() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "test_qt_dialogs";
        static char* argv[] = {name, nullptr};
        // Kept to the end of the process: destroying it among the statics crashes at exit.
        if (!QApplication::instance()) new QApplication(argc, argv);
        Dialog_Template probe;
        probe.name = "PROBEBOX";
        probe.caption = "Probe";
        probe.width = 320;
        probe.height = 260;
        probe.controls = {{BAR, Control_Kind::Scroll_Bar, "", 10, 10, 200, 16},
                          {NUMBER, Control_Kind::Number, "", 220, 10, 60, 16},
                          {BOX, Control_Kind::Check_Box, "", 10, 40, 16, 16},
                          {BUTTON, Control_Kind::Push_Button, "Press", 40, 36, 80, 24},
                          {LIST, Control_Kind::List_Box, "", 10, 70, 120, 80},
                          {PICTURE, Control_Kind::Picture, "", 150, 70, 40, 30},
                          {IDOK, Control_Kind::Push_Button, "OK", 10, 220, 80, 24},
                          {IDCANCEL, Control_Kind::Push_Button, "Cancel", 100, 220, 80, 24}};
        Register_Dialog_Template(probe);
    }
    void SetUp() override { Set_Backend(&backend); }
    void TearDown() override { Set_Backend(nullptr); }

    // Opens the probe dialog, runs `actions` on its widgets once it shows, then closes it
    // with its OK button (unless the actions closed it).
    intptr_t Run(const std::function<void(QDialog*)>& actions) {
        QTimer::singleShot(0, [&] {
            QDialog* view = Qt_Dialog_Widget(Dialog_Of(open_dialog));
            ASSERT_NE(view, nullptr);
            actions(view);
            if (Dialog_State* d = Dialog_Of(open_dialog); d && !d->ended) view->findChild<QPushButton*>(Control(IDOK))->click();
        });
        return DialogBoxA("PROBEBOX", nullptr, Probe_Procedure);
    }

    Dialog_Backend backend;
};

TEST_F(Qt_Dialogs, ScrollBarActionsArriveAsScrollCodesAndTheProcedurePlacesTheThumb) {
    int value_after_page = -1, value_after_drag = -1;
    QString number;
    Run([&](QDialog* view) {
        auto* bar = view->findChild<QScrollBar*>(QString::number(BAR));
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 50);
        EXPECT_EQ(bar->value(), 10);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // 11
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);    // the procedure keeps 11
        value_after_page = bar->value();
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);  // 6
        bar->triggerAction(QAbstractSlider::SliderToMaximum);    // 50
        bar->triggerAction(QAbstractSlider::SliderToMinimum);    // the procedure ignores SB_LEFT: 50
        bar->setSliderDown(true);
        bar->setSliderPosition(23);
        bar->setSliderDown(false);
        value_after_drag = bar->value();
        number = view->findChild<QLabel*>(QString::number(NUMBER))->text();
    });
    const int expected[][2] = {{SB_LINERIGHT, 10}, {SB_PAGERIGHT, 11}, {SB_PAGELEFT, 11},   {SB_RIGHT, 6},
                               {SB_LEFT, 50},      {SB_THUMBTRACK, 23}, {SB_THUMBPOSITION, 23}, {SB_ENDSCROLL, 0}};
    ASSERT_GE(seen.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(seen[i].message, WM_HSCROLL) << i;
        EXPECT_EQ(seen[i].code, expected[i][0]) << i;
        EXPECT_EQ(seen[i].control, BAR) << i;
        if (expected[i][0] == SB_THUMBTRACK || expected[i][0] == SB_THUMBPOSITION) {
            EXPECT_EQ(seen[i].position, expected[i][1]) << i;
        }
    }
    EXPECT_EQ(value_after_page, 11);
    EXPECT_EQ(value_after_drag, 23);
    EXPECT_EQ(number, QStringLiteral("23"));
}

TEST_F(Qt_Dialogs, ButtonsCheckBoxesAndListsArriveAsCommands) {
    bool box_after_button = true;
    QString list_row;
    const intptr_t result = Run([&](QDialog* view) {
        auto* box = view->findChild<QCheckBox*>(QString::number(BOX));
        box->click();  // toggles, then its id
        view->findChild<QPushButton*>(QString::number(BUTTON))->click();
        box_after_button = box->isChecked();  // the procedure cleared it
        auto* list = view->findChild<QListWidget*>(QString::number(LIST));
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->currentRow(), 0);
        list->setCurrentRow(2);
        list_row = list->currentItem()->text();
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].code, BOX);
    EXPECT_EQ(seen[0].position, static_cast<int>(BST_CHECKED));
    EXPECT_EQ(seen[1].code, BUTTON);
    EXPECT_FALSE(box_after_button);
    EXPECT_EQ(seen[2].code, LIST);
    EXPECT_EQ(seen[2].position, 2);
    EXPECT_EQ(list_row, QStringLiteral("three"));
    EXPECT_EQ(seen[3].code, IDOK);
    EXPECT_EQ(Last_Headless_Dialog().form, nullptr);  // the headless runner was not used
}

TEST_F(Qt_Dialogs, PointerMovesPaintAndEscapeArriveAsMessages) {
    QColor painted;
    const intptr_t result = Run([&](QDialog* view) {
        seen.clear();
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 200), view->mapToGlobal(QPointF(5, 200)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        view->move(view->x() + 17, view->y() + 5);
        QWidget* picture = view->findChild<QWidget*>(QString::number(PICTURE));
        painted = picture->grab().toImage().pixelColor(20, 15);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 200), view->mapToGlobal(QPointF(5, 200)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &press);
        view->reject();  // Escape or the close button
    });
    EXPECT_EQ(result, IDCANCEL);
    auto count = [](UINT message) {
        return std::count_if(seen.begin(), seen.end(), [&](const Message& m) { return m.message == message; });
    };
    EXPECT_EQ(count(WM_MOUSEMOVE), 1);
    EXPECT_GE(count(WM_MOVE), 1);
    EXPECT_GE(count(WM_PAINT), 1);
    EXPECT_EQ(count(WM_LBUTTONDOWN), 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().message, WM_COMMAND);
    EXPECT_EQ(seen.back().code, IDCANCEL);
    EXPECT_EQ(painted, QColor(255, 0, 0));
}

}  // namespace

#include "dialogs/templates.h"

namespace {

intptr_t Close_At_Once(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) open_dialog = dialog;
    return 0;
}

const char* const program_dialogs[] = {
    "SPEEDBOX",        "CONTRASTBOX",   "SWAYBOX",       "ANGLE_BBOX", "ANGLE_ABOX",    "COLOURBOX",
    "CONSTANT_ABOX",   "RANDOMCOLOURBOX", "GRANULARITYBOX", "SLIDESPEEDBOX", "SLIDEOBJECTSBOX",
    "BACKGROUNDBOX",   "ZONEBOX",       "DIRECTIONBOX",  "FADEBOX",    "SINEWAVEBOX",   "ABOUTBOX",
    "RESOLUTIONBOX",   "INFOBOX",       "INTRODUCTIONBOX", "JOURNEYBOX"};

TEST_F(Qt_Dialogs, EveryProgramDialogLaysItsControlsOutInsideWithoutOverlaps) {
    Register_Dialog_Templates();
    for (const char* name : program_dialogs) {
        const Dialog_Template* t = Find_Dialog_Template(name);
        ASSERT_NE(t, nullptr) << name;
        const QRect inside(0, 0, t->width, t->height);
        std::vector<QRect> placed;
        for (const Control_Template& c : t->controls) {
            const QRect r(c.x, c.y, c.width, c.height);
            EXPECT_TRUE(inside.contains(r)) << name << " control " << c.id;
            if (c.kind == Control_Kind::Group) continue;  // a group frames others
            for (const QRect& other : placed) EXPECT_FALSE(r.intersects(other)) << name << " control " << c.id;
            placed.push_back(r);
        }
        // Every control becomes a widget of the same place.
        QTimer::singleShot(0, [&] {
            QDialog* view = Qt_Dialog_Widget(Dialog_Of(open_dialog));
            ASSERT_NE(view, nullptr);
            for (const Control_Template& c : t->controls) {
                if (c.id == -1) continue;
                QWidget* w = view->findChild<QWidget*>(QString::number(c.id));
                ASSERT_NE(w, nullptr) << name << " control " << c.id;
                EXPECT_EQ(w->geometry(), QRect(c.x, c.y, c.width, c.height)) << name << " control " << c.id;
            }
            if (const char* folder = std::getenv("MIRRAVANE_DIALOG_SHOTS"))
                view->grab().save(QString::fromLatin1(folder) + "/" + QString::fromLatin1(name) + ".png");
            view->reject();
        });
        EXPECT_EQ(DialogBoxA(name, nullptr, Close_At_Once), IDCANCEL) << name;
    }
}

}  // namespace

#include "common/control_ids.h"
#include "dialogs/launchers.h"
#include "presets/plasma_settings.h"
#include "shell/startup.h"
#include "support/installed_program.h"

namespace {

TEST_F(Qt_Dialogs, SlideObjectsDialogShowsTheObjectAndTakesClicks) {
    Set_Backend(nullptr);
    Installed_Program program(2);
    ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
    Set_Backend(&backend);
    s.Plasma_Settings.object_count[0] = 4;

    QColor painted;
    QString count_after_deselect;
    QTimer::singleShot(0, [&] {
        auto* view = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Select Slide Objects"));
        EXPECT_EQ(view->findChild<QLabel*>(Control(IDC_OBJECT_FREQUENCY_NUMBER))->text(), QStringLiteral("4"));
        painted = view->findChild<QWidget*>(Control(IDC_OBJECT_PICTURE))->grab().toImage().pixelColor(48, 48);
        view->findChild<QPushButton*>(Control(IDC_OBJECT_DESELECT))->click();
        count_after_deselect = view->findChild<QLabel*>(Control(IDC_OBJECT_FREQUENCY_NUMBER))->text();
        view->findChild<QPushButton*>(Control(IDC_OBJECT_SELECT))->click();
        view->findChild<QPushButton*>(Control(IDOK))->click();
    });
    EXPECT_EQ(Show_Slide_Objects_Dialog(s), 1);
    EXPECT_EQ(count_after_deselect, QStringLiteral("0"));
    EXPECT_EQ(s.Plasma_Settings.object_count[0], 1);
    EXPECT_EQ(s.Plasma_Settings.object_selected[0], 1);
    EXPECT_EQ(painted, QColor(200, 40, 40));  // the installed object 0 is one colour
    Set_Backend(nullptr);
}

}  // namespace
