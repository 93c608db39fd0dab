#include "platform/qt/qt_backend.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QSocketNotifier>
#include <QTextBrowser>
#include <QUrl>
#include <QWindow>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#ifdef MIRRAVANE_HAVE_MULTIMEDIA
#include <QSoundEffect>
#endif

#include "platform/display/ddraw.h"
#include "platform/input/dinput.h"
#include "platform/qt/qt_access.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_scale.h"
#include "platform/qt/qt_window.h"
#include "platform/system/system.h"
#include "platform/windows/commdlg.h"
#include "platform/windows/dialog.h"

namespace {

const char* const No_Display_Line = "Mirravane: no display available (set DISPLAY or use MIRRAVANE_BACKEND=headless)";
const char* const No_X_Display_Line =
    "Mirravane: cannot draw into the given window: windows are named by X11 ids and no X display could be opened "
    "(DISPLAY is not set or cannot be reached)";

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

QString Local(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

class Qt_Backend final : public Window_Backend {
public:
    const char* name() const override { return "qt"; }

    void desktop(int& width, int& height, int& bpp) override {
        width = Display_Settings().desktop_width;
        height = Display_Settings().desktop_height;
        bpp = Display_Settings().desktop_bpp;
    }

    // Hosts are made when a window is first shown, and only for top-level windows of the
    // program: dialogs and their controls are drawn by the dialog widgets.
    void window_created(HWND window) override {
        if (window->visible) Ensure_Host(window);
    }

    void window_changed(HWND window) override {
        if (Host_Window* host = Host(window))
            host->Apply();
        else if (window->visible)
            Ensure_Host(window);
    }

    void window_destroyed(HWND window) override {
        auto it = hosts_.find(window);
        if (it == hosts_.end()) return;
        Host_Window* host = it->second.release();
        hosts_.erase(it);
        Window_Pictures().erase(window);
        window->backend_data = nullptr;
        host->hide();
        host->deleteLater();  // it may be inside one of its own event handlers
    }

    bool pump(bool wait) override {
        // While a saver watches the mouse, the pointer counts wherever it is: over a monitor
        // without a window of ours no window hears of it.
        if (Mouse_Motion_Wanted()) {
            const QPoint at = QCursor::pos();
            const QScreen* screen = QGuiApplication::screenAt(at);
            Pointer_At(Pixel_Scale{screen ? screen->devicePixelRatio() : qGuiApp->devicePixelRatio()}.Pixel(QPointF(at)));
        }
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
        return true;
    }

    int message_box(HWND owner, const std::string& text, const std::string& caption, UINT flags) override {
        QMessageBox box(Host(owner));
        box.setWindowTitle(Local(caption));
        box.setTextFormat(Qt::PlainText);
        box.setText(Local(text));
        switch (flags & 0xF0) {
        case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case 0x30: box.setIcon(QMessageBox::Warning); break;
        case 0x40: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        switch (flags & 0xF) {
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            box.exec();
            return IDOK;
        }
    }

    void cursor_visible(bool visible) override {
        if (visible == !cursor_hidden_) return;
        if (visible)
            QGuiApplication::restoreOverrideCursor();
        else
            QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        cursor_hidden_ = !visible;
    }

    void play_sound(const std::string& path) override {
#ifdef MIRRAVANE_HAVE_MULTIMEDIA
        auto& effect = sounds_[path];
        if (!effect) {
            effect = std::make_unique<QSoundEffect>();
            effect->setSource(QUrl::fromLocalFile(Local(Map_Path(path))));
        }
        effect->play();
#else
        (void)path;
#endif
    }

    bool file_dialog(OPENFILENAME* ofn, bool save, std::string& chosen) override;
    bool show_help(HWND owner, const std::string& help_file, uint32_t command) override;

    void menu_changed(HMENU menu) override {
        for (auto& [window, host] : hosts_)
            if (host->menu() == menu) host->Refresh_Menu();
    }

    Native_State native_window(uintptr_t native, int& width, int& height) override {
        QSize size;
        const Native_State state = Native_Window_State(native, &size);
        width = size.width();
        height = size.height();
        return state;
    }

    intptr_t run_dialog(Dialog_State* dialog) override {
        QWidget* owner = dialog && dialog->window ? Host(dialog->window->parent) : nullptr;
        return Run_Qt_Dialog(dialog, owner);
    }

    void dialog_changed(Dialog_State* dialog, int control_id) override { Qt_Dialog_Changed(dialog, control_id); }

    Host_Window* Ensure_Host(HWND window) {
        if (window->parent || Dialog_Of(window)) return nullptr;
        auto host = std::make_unique<Host_Window>(window);
        Host_Window* made = host.get();
        window->backend_data = made;
        hosts_[window] = std::move(host);
        made->Apply();
        return made;
    }

    Host_Window* Host(HWND window) const {
        auto it = hosts_.find(window);
        return it == hosts_.end() ? nullptr : it->second.get();
    }

    void Primary_Written(DDSurface* primary, const RECT& area) {
        Picture_State& state = Picture();
        ++state.presented;
        // The display's own window shows it; a display without a window of ours shows in all.
        const HWND target = primary->owner() ? primary->owner()->window() : nullptr;
        Host_Window* only = Host(target);
        if (frame_stats_ && frame_clock_.elapsed() - stats_printed_ >= 1000) {
            // Once a second, so that a measuring script can take the rate over any stretch.
            stats_printed_ = frame_clock_.elapsed();
            std::fprintf(stderr, "Mirravane frames: presented %llu painted %llu at %lld ms\n",
                         static_cast<unsigned long long>(state.presented), static_cast<unsigned long long>(state.painted),
                         static_cast<long long>(stats_printed_));
        }
        last_shown_ = only ? target : nullptr;
        Picture_State& shown = Picture(last_shown_);
        Convert_Primary(*primary, area, shown.image);
        shown.exclusive = primary->owner() && primary->owner()->exclusive();
        const QRect written(area.left, area.top, area.right - area.left, area.bottom - area.top);
        for (auto& [window, host] : hosts_) {
            if (!host->isVisible() || (only && host.get() != only)) continue;
            Picture_Widget* picture = host->picture();
            if (picture->Show_Directly(*primary, shown.exclusive, host->Client_Rect().topLeft())) continue;
            if (shown.exclusive) {
                picture->update();
                continue;
            }
            const QRect local = written.translated(-host->Client_Rect().topLeft());
            const QRect logical = Pixel_Scale{picture->devicePixelRatioF()}.Logical_Cover(local) & picture->rect();
            if (!logical.isEmpty()) picture->update(logical);
        }
    }

    void progress(HWND owner, const std::string& text, int done, int total) override {
        if (total <= 0) {
            progress_.reset();
            return;
        }
        if (!progress_) {
            // Free-standing: at a first start the owner is not shown yet. Placed where the
            // owner is (or will be), like the dialogs.
            progress_ = std::make_unique<QProgressDialog>();
            progress_->setWindowTitle(QStringLiteral("Mirravane"));
            progress_->setCancelButton(nullptr);
            progress_->setAutoClose(false);
            progress_->setAutoReset(false);
            progress_->setMinimumDuration(0);
            progress_->setMinimumWidth(320);
            RECT frame{};
            if (owner && GetWindowRect(owner, &frame)) {
                const QSize size = progress_->sizeHint().expandedTo(QSize(320, 0));
                const Pixel_Scale scale{qGuiApp->devicePixelRatio()};  // the frame is in device pixels
                progress_->move(scale.Logical((frame.left + frame.right) / 2) - size.width() / 2,
                                scale.Logical((frame.top + frame.bottom) / 2) - size.height() / 2);
            }
            progress_->show();
        }
        progress_->setRange(0, total);
        progress_->setValue(done);
        progress_->setLabelText(Local(text));
        // Painted and moved while the step runs; clicks and keys wait for the message loop,
        // so nothing of the program runs half-way through the step.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    void Close_All() {
        for (auto& [window, host] : hosts_) window->backend_data = nullptr;
        hosts_.clear();
        help_.reset();
        progress_.reset();
#ifdef MIRRAVANE_HAVE_MULTIMEDIA
        sounds_.clear();
#endif
        if (cursor_hidden_) cursor_visible(true);
    }

    QTextBrowser* help() const { return help_.get(); }

    std::vector<HWND> Windows() const {
        std::vector<HWND> list;
        for (auto& [window, host] : hosts_) list.push_back(window);
        return list;
    }

    HWND last_shown() const { return last_shown_; }

private:
    std::unordered_map<HWND, std::unique_ptr<Host_Window>> hosts_;
    HWND last_shown_ = nullptr;
    const bool frame_stats_ = Set("MIRRAVANE_FRAME_STATS");
    QElapsedTimer frame_clock_ = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
    qint64 stats_printed_ = 0;
    std::unique_ptr<QTextBrowser> help_;
    std::unique_ptr<QProgressDialog> progress_;
    bool cursor_hidden_ = false;
#ifdef MIRRAVANE_HAVE_MULTIMEDIA
    std::map<std::string, std::unique_ptr<QSoundEffect>> sounds_;
#endif
};

// "*.*" means every file to the original system; here it would need a dot in the name.
QString Pattern(const std::string& pattern) { return pattern == "*.*" ? QStringLiteral("*") : Local(pattern); }

bool Qt_Backend::file_dialog(OPENFILENAME* ofn, bool save, std::string& chosen) {
    chosen.clear();
    if (!ofn) return false;
    QFileDialog dialog(Host(ofn->hwndOwner), save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool create_prompt = !save && (ofn->Flags & OFN_CREATEPROMPT);
    dialog.setFileMode(save || create_prompt ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && (ofn->Flags & OFN_OVERWRITEPROMPT)));

    QStringList filters;
    for (const auto& [description, pattern] : ofn->filters) filters << Local(description) + " (" + Pattern(pattern) + ")";
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype index = ofn->nFilterIndex >= 1 ? qsizetype(ofn->nFilterIndex) - 1 : 0;
        if (index < filters.size()) dialog.selectNameFilter(filters[index]);
    }
    if (!ofn->lpstrDefExt.empty() && ofn->lpstrDefExt != "*") dialog.setDefaultSuffix(Local(ofn->lpstrDefExt));
    if (!ofn->lpstrInitialDir.empty()) dialog.setDirectory(Local(Map_Path(ofn->lpstrInitialDir)));
    if (ofn->lpstrFile && *ofn->lpstrFile) {
        const std::string initial = ofn->lpstrFile;
        if (initial.find_first_of("\\/") != std::string::npos) {
            const QFileInfo info(Local(Map_Path(initial)));
            if (info.dir().exists()) dialog.setDirectory(info.dir());
            dialog.selectFile(info.fileName());
        } else {
            dialog.selectFile(Local(initial));
        }
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return true;  // cancelled
    const QString path = QDir::toNativeSeparators(dialog.selectedFiles().first());
    if (create_prompt && !QFileInfo::exists(path)) {
        const std::string text = "File " + path.toLocal8Bit().toStdString() + " does not exist.\nCreate the file?";
        if (message_box(ofn->hwndOwner, text, "Open", MB_YESNO | MB_ICONQUESTION) != IDYES) return true;
    }
    chosen = path.toLocal8Bit().toStdString();
    return true;
}

bool Qt_Backend::show_help(HWND owner, const std::string& help_file, uint32_t) {
    QFile file(Local(Map_Path(help_file)));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray html = file.readAll();
    if (!help_) {
        help_ = std::make_unique<QTextBrowser>();
        help_->setWindowTitle(QStringLiteral("Mirravane Help"));
        help_->setOpenExternalLinks(true);
        help_->resize(640, 480);
    }
    help_->setSearchPaths({QFileInfo(file).absolutePath()});
    help_->setHtml(QString::fromUtf8(html));
    (void)owner;  // modeless and free-standing, so it stays when the owner goes full screen
    help_->show();
    help_->raise();
    help_->activateWindow();
    return true;
}

std::unique_ptr<QApplication> application;
std::unique_ptr<Qt_Backend> backend;

// The monitors in desktop coordinates, the primary first, for the display service.
void Follow_Screens() {
    std::vector<RECT> monitors;
    QScreen* primary = QGuiApplication::primaryScreen();
    auto add = [&](QScreen* screen) {
        // Device pixels, as the engine counts them everywhere.
        const QPoint corner = Pixel_Scale{screen->devicePixelRatio()}.Device(screen->geometry()).topLeft();
        const QSize size = Screen_Device_Size(screen);
        monitors.push_back(RECT{corner.x(), corner.y(), corner.x() + size.width(), corner.y() + size.height()});
    };
    if (primary) add(primary);
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary) add(screen);
    Display_Settings().monitors = monitors;
}

int Desktop_Depth() {
    if (const char* asked = std::getenv("MIRRAVANE_DESKTOP_BPP")) {
        const int bpp = std::atoi(asked);
        if (bpp == 8 || bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32) return bpp;
    }
    return 32;
}

}  // namespace

bool Install_Qt_Backend(int& argc, char** argv, bool embeds) {
    if (backend) return true;
    // Qt ends the process when its display cannot be opened; ask the environment first and
    // give Qt a fallback that it can always open, so that a failure is ours to report.
    const bool platform_given = Set("QT_QPA_PLATFORM") && !embeds;
    const char* asked_platform = std::getenv("QT_QPA_PLATFORM");
    const bool had_platform = asked_platform != nullptr;
    const std::string user_platform = had_platform ? asked_platform : "";
    if (embeds) {
        if (!Set("DISPLAY")) {
            std::fprintf(stderr, "%s\n", No_X_Display_Line);
            return false;
        }
        setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
    } else if (!platform_given) {
        if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) {
            std::fprintf(stderr, "%s\n", No_Display_Line);
            return false;
        }
        setenv("QT_QPA_PLATFORM", Set("WAYLAND_DISPLAY") ? "wayland;xcb;offscreen" : "xcb;offscreen", 1);
    }
    application = std::make_unique<QApplication>(argc, argv);
    if (!platform_given) {
        // Child processes see the platform the user chose, not ours.
        if (had_platform)
            setenv("QT_QPA_PLATFORM", user_platform.c_str(), 1);
        else
            unsetenv("QT_QPA_PLATFORM");
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const bool opened = embeds ? QGuiApplication::platformName() == QLatin1String("xcb")
                               : platform_given || QGuiApplication::platformName() != QLatin1String("offscreen");
    if (!opened || !screen) {
        std::fprintf(stderr, "%s\n", embeds ? No_X_Display_Line : No_Display_Line);
        application.reset();
        return false;
    }
    QApplication::setApplicationName(QStringLiteral("Mirravane"));
    QApplication::setQuitOnLastWindowClosed(false);

    Display_Config& display = Display_Settings();
    // Device pixels: the picture is not scaled with the menus and dialogs.
    const QSize desktop = Screen_Device_Size(screen);
    display.desktop_width = desktop.width();
    display.desktop_height = desktop.height();
    display.desktop_bpp = Desktop_Depth();
    display.vsync_sleeps = true;
    const double hz = screen->refreshRate();
    display.refresh_hz = hz >= 1.0 ? static_cast<int>(std::lround(hz)) : 60;

    backend = std::make_unique<Qt_Backend>();
    Set_Backend(backend.get());
    Set_Primary_Hook([](DDSurface* primary, const RECT& area) {
        if (backend && primary) backend->Primary_Written(primary, area);
    });
    Set_Primary_Release_Hook([](const DDSurface* primary) {
        // The windows keep the last picture until the next display shows its own.
        if (!primary) return;
        X_Picture::Forget(primary);
        for (auto& [window, shown] : Window_Pictures())
            if (Wraps(shown.image, *primary)) shown.image = shown.image.copy();
    });
    // Primary surfaces in memory the X server reads (nothing changes where it cannot).
    if (X_Present::Available()) Set_Primary_Memory_Hook([](size_t bytes) { return X_Present::Shared_Memory(bytes); });
    Follow_Screens();
    // Monitors come and go; a display made later uses the monitors as they are then.
    QObject::connect(application.get(), &QGuiApplication::screenAdded, [] { Follow_Screens(); });
    QObject::connect(application.get(), &QGuiApplication::screenRemoved, [] { Follow_Screens(); });
    QObject::connect(application.get(), &QGuiApplication::primaryScreenChanged, [] { Follow_Screens(); });
    // A termination signal wakes the loop, even while it waits, and closes every modal
    // dialog as its Cancel would, so that the message loop ends the program the orderly way.
    if (Ending_Signal_Fd() >= 0) {
        auto* notifier = new QSocketNotifier(Ending_Signal_Fd(), QSocketNotifier::Read, application.get());
        QObject::connect(notifier, &QSocketNotifier::activated, [] {
            Drain_Ending_Signal_Wakeups();
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->isVisible() && widget->isModal()) widget->close();
        });
    }
    QObject::connect(application.get(), &QGuiApplication::applicationStateChanged, [](Qt::ApplicationState state) {
        if (!backend) return;
        const WPARAM active = state == Qt::ApplicationActive ? 1 : 0;
        // A window inside another program's window is never active; its host decides.
        for (HWND window : backend->Windows())
            if (!window->native_parent) PostMessageA(window, WM_ACTIVATEAPP, active, 0);
    });
    return true;
}

void Shutdown_Qt_Backend() {
    Set_Primary_Hook(nullptr);
    Set_Primary_Memory_Hook(nullptr);
    Set_Primary_Release_Hook(nullptr);
    if (backend) {
        Set_Backend(nullptr);
        backend->Close_All();
        backend.reset();
    }
    if (application) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        application.reset();
    }
    Picture() = Picture_State{};
    Window_Pictures().clear();
}

// ---- access -------------------------------------------------------------------------------

QWidget* Qt_Host_Widget(HWND window) { return backend ? backend->Host(window) : nullptr; }

QWidget* Qt_Picture_Widget(HWND window) {
    Host_Window* host = backend ? backend->Host(window) : nullptr;
    return host ? host->picture() : nullptr;
}

QMenuBar* Qt_Menu_Bar(HWND window) {
    Host_Window* host = backend ? backend->Host(window) : nullptr;
    return host ? host->menu_bar() : nullptr;
}

QAction* Qt_Menu_Action(HWND window, int id) {
    Host_Window* host = backend ? backend->Host(window) : nullptr;
    return host ? host->action(id) : nullptr;
}

const QImage& Qt_Picture() { return Picture(backend ? backend->last_shown() : nullptr).image; }

QWidget* Qt_Help_Viewer() { return backend ? backend->help() : nullptr; }
