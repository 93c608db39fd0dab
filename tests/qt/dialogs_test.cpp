#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>
#include <cstring>
#include <deque>
#include <functional>

#include "platform/windows/commdlg.h"
#include "qt_fixture.h"
#include "support/scratch_folder.h"

namespace {

// Answers the modal windows that open next, one action each, in order.
class Modal_Answers {
public:
    explicit Modal_Answers(std::deque<std::function<void(QWidget*)>> actions) : actions_(std::move(actions)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            // A box that never closes would hold the test for ever: after a long quiet spell
            // it is rejected, and the test fails on its own checks instead.
            if (modal && ++idle_ticks_ > 500) {
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
                idle_ticks_ = 0;
                return;
            }
            if (!modal || !modal->isVisible() || modal == last_ || actions_.empty()) return;
            last_ = modal;
            idle_ticks_ = 0;
            auto action = std::move(actions_.front());
            actions_.pop_front();
            action(modal);
        });
        timer_.start();
    }
    bool all_used() const { return actions_.empty(); }

private:
    std::deque<std::function<void(QWidget*)>> actions_;
    QTimer timer_;
    QPointer<QWidget> last_;  // a new box may be built where the last one was
    int idle_ticks_ = 0;
};

void Choose(QWidget* modal, const char* name) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    // Typed into the name box, as a user would (selectFile leaves a focused box alone).
    auto* name_box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name_box, nullptr);
    name_box->setText(QString::fromLatin1(name));
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

struct Dialog_Buffers {
    char file[260] = {};
    char title[260] = {};
    OPENFILENAME ofn;
    Dialog_Buffers(const Scratch_Folder& scratch, uint32_t flags) {
        ofn.filters = {{"Data Files (*.DAT)", "*.dat"}, {"All Files (*.*)", "*.*"}};
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrFileTitle = title;
        ofn.nMaxFileTitle = sizeof title;
        ofn.lpstrInitialDir = scratch.windows("Mirravane\\");
        ofn.lpstrDefExt = "dat";
        ofn.Flags = flags;
    }
};

}  // namespace

TEST_F(Qt_Backend_Test, SaveDialogStartsInTheFolderAndAddsTheExtension) {
    Scratch_Folder scratch;
    scratch.make_folder("Mirravane");
    Dialog_Buffers buffers(scratch, OFN_OVERWRITEPROMPT);
    QString shown_folder, shown_filter, shown_title;
    Modal_Answers answers({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        shown_folder = dialog->directory().absolutePath();
        shown_filter = dialog->selectedNameFilter();
        shown_title = dialog->windowTitle();
        Choose(modal, "sunset");
    }});
    ASSERT_TRUE(GetSaveFileNameA(&buffers.ofn));
    EXPECT_TRUE(answers.all_used());
    EXPECT_EQ(shown_title, QStringLiteral("Save As"));
    EXPECT_EQ(shown_folder, QString::fromStdString(scratch.native("Mirravane")));
    EXPECT_EQ(shown_filter, QStringLiteral("Data Files (*.DAT) (*.dat)"));
    EXPECT_EQ(std::string(buffers.file), scratch.native("Mirravane/sunset.dat"));
    EXPECT_STREQ(buffers.title, "sunset.dat");
}

TEST_F(Qt_Backend_Test, OpenDialogAsksBeforeNamingAMissingFile) {
    Scratch_Folder scratch;
    scratch.make_folder("Mirravane");
    scratch.write("Mirravane/Sunset.DAT", "x");
    Dialog_Buffers buffers(scratch, OFN_CREATEPROMPT | OFN_HIDEREADONLY);

    // An existing file is taken as it is.
    Modal_Answers existing({[](QWidget* modal) { Choose(modal, "Sunset.DAT"); }});
    ASSERT_TRUE(GetOpenFileNameA(&buffers.ofn));
    EXPECT_EQ(std::string(buffers.file), scratch.native("Mirravane/Sunset.DAT"));

    // A missing one: the question, and No is a cancel.
    QString question;
    Modal_Answers refused({[](QWidget* modal) { Choose(modal, "missing.dat"); },
                           [&](QWidget* modal) {
                               auto* box = qobject_cast<QMessageBox*>(modal);
                               ASSERT_NE(box, nullptr);
                               question = box->text();
                               box->button(QMessageBox::No)->click();
                           }});
    buffers.file[0] = '\0';
    EXPECT_FALSE(GetOpenFileNameA(&buffers.ofn));
    EXPECT_TRUE(refused.all_used());
    EXPECT_EQ(question, QString::fromStdString("File " + scratch.native("Mirravane/missing.dat") +
                                               " does not exist.\nCreate the file?"));
    EXPECT_STREQ(buffers.file, "");

    // Yes names it.
    Modal_Answers accepted({[](QWidget* modal) { Choose(modal, "missing.dat"); },
                            [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click(); }});
    ASSERT_TRUE(GetOpenFileNameA(&buffers.ofn));
    EXPECT_EQ(std::string(buffers.file), scratch.native("Mirravane/missing.dat"));
}

TEST_F(Qt_Backend_Test, MessageBoxesAnswerWithTheButtonPressed) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption, text;
    Modal_Answers answers({[&](QWidget* modal) {
                               auto* box = qobject_cast<QMessageBox*>(modal);
                               icon = box->icon();
                               caption = box->windowTitle();
                               text = box->text();
                               box->button(QMessageBox::Ok)->click();
                           },
                           [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click(); },
                           [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click(); }});
    EXPECT_EQ(MessageBoxA(nullptr, "Draw_Plasma(): <b>FAILED</b>\nagain", "Error", MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(caption, QStringLiteral("Error"));
    EXPECT_EQ(text, QStringLiteral("Draw_Plasma(): <b>FAILED</b>\nagain"));
    EXPECT_EQ(MessageBoxA(nullptr, "Create?", "Open", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Create?", "Open", MB_YESNO), IDYES);
}

TEST_F(Qt_Backend_Test, HelpOpensTheHelpFileInAViewer) {
    Scratch_Folder scratch;
    scratch.make_folder("Mirravane/Data");
    scratch.write("Mirravane/Data/Help.HLP", "<html><body><h1>Keys</h1><p>Escape ends it.</p></body></html>");
    HWND window = Shown_Window(WS_OVERLAPPEDWINDOW, 10, 10, 200, 200);
    EXPECT_FALSE(WinHelpA(window, scratch.windows("Mirravane\\Data\\Missing.HLP").c_str(), HELP_CONTENTS, 0));
    EXPECT_EQ(Qt_Help_Viewer(), nullptr);
    // Spelled in other cases than on disk: the path is mapped.
    ASSERT_TRUE(WinHelpA(window, scratch.windows("Mirravane\\data\\help.hlp").c_str(), HELP_CONTENTS, 0));
    auto* viewer = qobject_cast<QTextBrowser*>(Qt_Help_Viewer());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Mirravane Help"));
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("Escape ends it.")));
}
