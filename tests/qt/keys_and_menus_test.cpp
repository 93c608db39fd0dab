#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "shell/menu.h"
#include "platform/input/dinput.h"
#include "platform/qt/qt_keys.h"
#include "diagnostics/diagnostics.h"
#include "platform/windows/commdlg.h"
#include "shell/startup.h"
#include "qt_fixture.h"

namespace {

constexpr int Test_Menu = 501;

Menu Test_Menu_Template() {
    Menu m;
    m.items = {
        Menu_Item{0, "&Presets", false, false,
                  {Menu_Item{MENU_PRESETS_OPEN, "&Open...", false, false, {}}, Menu_Item{}, Menu_Item{MENU_PRESETS_EXIT, "E&xit", false, false, {}}}},
        Menu_Item{0, "&View", false, false,
                  {Menu_Item{MENU_VIEW_FPS, "&FPS", false, false, {}},
                   Menu_Item{0, "&Overlay", false, false, {Menu_Item{MENU_OVERLAY_CIRCLE, "&Circle", false, false, {}}}},
                   Menu_Item{MENU_VIEW_TOGGLE_MAXIMISE, "Toggle &Maximise Window\tCtrl+M", false, false, {}}}},
    };
    return m;
}

}  // namespace

TEST(Qt_Keys, VirtualKeyCodesFollowTheKeyNotTheCharacter) {
    EXPECT_EQ(Virtual_Key_For(Qt::Key_0, Qt::NoModifier), 0x30u);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_9, Qt::NoModifier), 0x39u);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_R, Qt::NoModifier), 0x52u);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_F1, Qt::NoModifier), 0x70u);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_F12, Qt::NoModifier), 0x7Bu);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_Plus, Qt::KeypadModifier), VK_ADD);
    // '+' above '=' is a different key from the number block's.
    EXPECT_EQ(Virtual_Key_For(Qt::Key_Plus, Qt::NoModifier), 0xBBu);
    // Number-block digits have their own codes, so they are not the digit keys 1..9.
    EXPECT_EQ(Virtual_Key_For(Qt::Key_5, Qt::KeypadModifier), 0x65u);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_Enter, Qt::KeypadModifier), VK_RETURN);
    // Shift+1 is still the key '1'.
    EXPECT_EQ(Virtual_Key_For(Qt::Key_Exclam, Qt::ShiftModifier), 0x31u);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_Control, Qt::ControlModifier), VK_CONTROL);
    EXPECT_EQ(Virtual_Key_For(Qt::Key_VolumeUp, Qt::NoModifier), 0u);
}

TEST_F(Qt_Backend_Test, KeyPressesReachTheQueueAsKeyDownMessages) {
    HWND window = Shown_Window(WS_OVERLAPPEDWINDOW, 50, 50, 320, 240);
    QWidget* picture = Qt_Picture_Widget(window);
    ASSERT_NE(picture, nullptr);

    QTest::keyClick(picture, Qt::Key_3);
    QTest::keyClick(picture, Qt::Key_T);
    QTest::keyClick(picture, Qt::Key_F3);
    QTest::keyClick(picture, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(picture, Qt::Key_Escape);
    QTest::keyClick(picture, Qt::Key_Space);
    QTest::keyClick(picture, Qt::Key_Return);
    const auto downs = Take(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 7u);
    const WPARAM expected[] = {0x33, 0x54, 0x72, 0x6B, 0x1B, 0x20, 0x0D};
    for (size_t i = 0; i < downs.size(); ++i) {
        EXPECT_EQ(downs[i].wParam, expected[i]) << i;
        EXPECT_EQ(downs[i].hwnd, window);
    }

    // Keys that reach the window itself (nothing inside has the focus) count the same.
    QTest::keyClick(Qt_Host_Widget(window), Qt::Key_5);
    const auto at_window = Take(WM_KEYDOWN);
    ASSERT_EQ(at_window.size(), 1u);
    EXPECT_EQ(at_window[0].wParam, 0x35u);

    // The accelerator asks whether Control is held.
    QTest::keyPress(picture, Qt::Key_Control);
    EXPECT_TRUE(Control_Key_Down());
    QTest::keyRelease(picture, Qt::Key_Control);
    EXPECT_FALSE(Control_Key_Down());
}

TEST_F(Qt_Backend_Test, PointerAndCloseBecomeMessages) {
    HWND window = Shown_Window(WS_POPUP, 10, 20, 200, 100);
    QWidget* picture = Qt_Picture_Widget(window);
    ASSERT_NE(picture, nullptr);

    QTest::mouseClick(picture, Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
    const auto rights = Take(WM_RBUTTONDOWN);
    ASSERT_EQ(rights.size(), 1u);
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(rights[0].lParam)), 30u);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(rights[0].lParam)), 40u);
    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseClick(picture, Qt::MiddleButton, Qt::NoModifier, QPoint(1, 1));
    EXPECT_EQ(Take(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Take(WM_MBUTTONDOWN).size(), 1u);

    // Pointer motion: a mouse-move message in client coordinates, and the motion since the
    // last event for the relative mouse device.
    DInput* input = nullptr;
    DInput_Device* mouse = nullptr;
    ASSERT_EQ(DirectInputCreate(nullptr, 0x0700, &input), DI_OK);
    ASSERT_EQ(input->CreateDevice(&mouse), DI_OK);
    ASSERT_EQ(mouse->SetDataFormat(), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    QTest::mouseMove(picture, QPoint(10, 10));
    QCoreApplication::processEvents();
    DIMOUSESTATE state;
    mouse->GetDeviceState(sizeof state, &state);  // forget whatever came before
    QTest::mouseMove(picture, QPoint(25, 17));
    QCoreApplication::processEvents();
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 15);
    EXPECT_EQ(state.lY, 7);
    const auto moves = Take(WM_MOUSEMOVE);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(moves.back().lParam)), 25u);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(moves.back().lParam)), 17u);
    mouse->Release();
    input->Release();

    Qt_Host_Widget(window)->close();
    const auto closes = Take(WM_CLOSE);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].hwnd, window);
    // The engine decides about closing: the window stays until it is destroyed.
    EXPECT_TRUE(Qt_Host_Widget(window)->isVisible());
    DestroyWindow(window);
    EXPECT_EQ(Qt_Host_Widget(window), nullptr);
}

TEST_F(Qt_Backend_Test, MenuBarFollowsTheMenuAndPostsCommands) {
    Register_Menu_Template(Test_Menu, Test_Menu_Template());
    HMENU menu = LoadMenuA(Test_Menu);
    HWND window = Shown_Window(WS_OVERLAPPEDWINDOW, 40, 40, 400, 300, menu);
    QMenuBar* bar = Qt_Menu_Bar(window);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("&Presets"));
    QMenu* presets = bar->actions()[0]->menu();
    ASSERT_NE(presets, nullptr);
    ASSERT_EQ(presets->actions().size(), 3);
    EXPECT_TRUE(presets->actions()[1]->isSeparator());
    QMenu* view = bar->actions()[1]->menu();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->actions()[1]->menu(), nullptr);  // the Overlay submenu

    QAction* maximise = Qt_Menu_Action(window, MENU_VIEW_TOGGLE_MAXIMISE);
    ASSERT_NE(maximise, nullptr);
    EXPECT_EQ(maximise->text(), QStringLiteral("Toggle &Maximise Window"));
    EXPECT_EQ(maximise->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));

    Qt_Menu_Action(window, MENU_PRESETS_OPEN)->trigger();
    Qt_Menu_Action(window, MENU_OVERLAY_CIRCLE)->trigger();
    const auto commands = Take(WM_COMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 40001u);
    EXPECT_EQ(LOWORD(commands[1].wParam), 40059u);
    EXPECT_EQ(commands[1].hwnd, window);

    QAction* fps = Qt_Menu_Action(window, MENU_VIEW_FPS);
    EXPECT_FALSE(fps->isChecked());
    CheckMenuItem(menu, MENU_VIEW_FPS, MF_CHECKED);
    EXPECT_TRUE(fps->isChecked());
    // A click does not change the mark by itself: the engine answers with CheckMenuItem.
    fps->trigger();
    EXPECT_TRUE(fps->isChecked());
    CheckMenuItem(menu, MENU_VIEW_FPS, MF_UNCHECKED);
    EXPECT_FALSE(fps->isChecked());
    EnableMenuItem(menu, MENU_PRESETS_OPEN, MF_GRAYED);
    EXPECT_FALSE(Qt_Menu_Action(window, MENU_PRESETS_OPEN)->isEnabled());
    EnableMenuItem(menu, MENU_PRESETS_OPEN, MF_ENABLED);
    EXPECT_TRUE(Qt_Menu_Action(window, MENU_PRESETS_OPEN)->isEnabled());

    // A new caption is only a title: the window is not hidden and shown again for it.
    struct Hide_Counter : QObject {
        int hides = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Hide) ++hides;
            return false;
        }
    } counter;
    Qt_Host_Widget(window)->installEventFilter(&counter);
    SetWindowTextA(window, " Mirravane:   Sunset");
    EXPECT_EQ(Qt_Host_Widget(window)->windowTitle(), QStringLiteral(" Mirravane:   Sunset"));
    EXPECT_EQ(counter.hides, 0);
    Qt_Host_Widget(window)->removeEventFilter(&counter);

    // Without the menu (maximised, full screen) the bar goes and the client grows into it.
    SetMenu(window, nullptr);
    EXPECT_EQ(Qt_Menu_Bar(window), nullptr);
}

TEST_F(Qt_Backend_Test, CtrlMInAWindowWithAMenuIsTheMaximiseCommand) {
    Register_Menu_Template(Test_Menu, Test_Menu_Template());
    HWND window = Shown_Window(WS_OVERLAPPEDWINDOW, 40, 40, 400, 300, LoadMenuA(Test_Menu));
    QWidget* host = Qt_Host_Widget(window);
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host));
    QTest::keyClick(Qt_Picture_Widget(window), Qt::Key_M, Qt::ControlModifier);
    const auto commands = Take(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 40074u);
    // Not also as a key 'M': the engine's accelerator would toggle a second time.
    for (const MSG& down : Take(WM_KEYDOWN)) EXPECT_NE(down.wParam, WPARAM('M'));
}

TEST_F(Qt_Backend_Test, CtrlMWithoutAMenuIsAKeyWithControlHeld) {
    // Maximised and full screen have no menu: the window procedure's accelerator sees 'M'
    // with Control held.
    HWND window = Shown_Window(WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    QWidget* picture = Qt_Picture_Widget(window);
    QTest::keyPress(picture, Qt::Key_M, Qt::ControlModifier);  // presses Control first
    EXPECT_TRUE(Control_Key_Down());
    const auto downs = Take(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].wParam, VK_CONTROL);
    EXPECT_EQ(downs[1].wParam, WPARAM('M'));
    EXPECT_TRUE(Take(WM_COMMAND).empty());
    QTest::keyRelease(picture, Qt::Key_M, Qt::ControlModifier);  // releases Control after
    EXPECT_FALSE(Control_Key_Down());
    Take(WM_KEYUP);

    // Ten quick presses, all of them over before the queue is read: each one still toggles,
    // and M alone does not.
    static int toggles;
    toggles = 0;
    const WNDPROC count = [](HWND, UINT message, WPARAM wparam, LPARAM) -> LRESULT {
        if (message == WM_COMMAND && LOWORD(wparam) == MENU_VIEW_TOGGLE_MAXIMISE) ++toggles;
        return 0;
    };
    HWND previous = s.display.Main_Window;
    s.display.Main_Window = Create_Window(" Counting", WS_POPUP | WS_VISIBLE, 0, 0, 0, 300, 200, nullptr, nullptr, count);
    ShowWindow(s.display.Main_Window, SW_SHOWNORMAL);
    QCoreApplication::processEvents();
    picture = Qt_Picture_Widget(s.display.Main_Window);
    for (int i = 0; i < 10; ++i) {
        QTest::keyPress(picture, Qt::Key_Control, Qt::ControlModifier);
        QTest::keyClick(picture, Qt::Key_M, Qt::ControlModifier);
        QTest::keyRelease(picture, Qt::Key_Control, Qt::NoModifier);
    }
    QTest::keyClick(picture, Qt::Key_M);
    EXPECT_FALSE(Control_Key_Down());
    int accelerated = 0;
    for (const MSG& down : Take(WM_KEYDOWN)) accelerated += Translate_Accelerator(s.display, &down);
    EXPECT_EQ(accelerated, 10);
    EXPECT_EQ(toggles, 10);
    DestroyWindow(s.display.Main_Window);
    s.display.Main_Window = previous;
}

TEST_F(Qt_Backend_Test, ActivationAndFocusLossBecomeMessages) {
    HWND window = Shown_Window(WS_OVERLAPPEDWINDOW, 20, 20, 300, 200);
    QWidget* host = Qt_Host_Widget(window);
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host));
    QCoreApplication::processEvents();
    auto activations = Take(WM_ACTIVATEAPP);
    ASSERT_FALSE(activations.empty());
    EXPECT_EQ(activations.back().wParam, 1u);
    EXPECT_EQ(activations.back().hwnd, window);
    QTest::qWait(350);  // past the moment when the window's own changes may move the focus
    Take(WM_KILLFOCUS);

    // Another window of ours takes the focus (a saver's window on another monitor, which the
    // window manager may activate): no loss, the saver must not end by itself.
    HWND second = Shown_Window(WS_OVERLAPPEDWINDOW, 340, 20, 200, 150);
    QWidget* second_host = Qt_Host_Widget(second);
    second_host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(second_host));
    QTest::qWait(200);
    EXPECT_TRUE(Take(WM_KILLFOCUS).empty());
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host));
    QTest::qWait(350);
    Take(WM_KILLFOCUS);

    // A focus that comes straight back (a window manager settling the saver's windows) was
    // never lost.
    QWidget other;
    other.setGeometry(400, 300, 100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host));
    QTest::qWait(200);
    EXPECT_TRUE(Take(WM_KILLFOCUS).empty());
    QTest::qWait(350);

    // Another program's window takes the focus: the program's window hears of it.
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    std::vector<MSG> losses;
    (void)QTest::qWaitFor([&] {
        for (const MSG& m : Take(WM_KILLFOCUS)) losses.push_back(m);
        return !losses.empty();
    });
    QTest::qWait(100);
    for (const MSG& m : Take(WM_KILLFOCUS)) losses.push_back(m);
    ASSERT_EQ(losses.size(), 1u);
    EXPECT_EQ(losses[0].hwnd, window);
}
