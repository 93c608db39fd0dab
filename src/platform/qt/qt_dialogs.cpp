#include "platform/qt/qt_dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <map>

#include "platform/gdi/gdi.h"
#include "platform/windows/dialog.h"

namespace {

class Dialog_View;
std::map<Dialog_State*, Dialog_View*> views;

// A picture control: asks the procedure to paint, then shows the bitmap it drew.
class Picture_Widget : public QWidget {
public:
    Picture_Widget(Dialog_State* dialog, int id, QWidget* parent) : QWidget(parent), dialog_(dialog), id_(id) {}
    bool painting = false;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Dialog_State* dialog_;
    int id_;
    QImage image_;
};

class Dialog_View : public QDialog {
public:
    Dialog_View(Dialog_State* dialog, QWidget* owner) : QDialog(owner), dialog_(dialog) {}

    // Sends one message; closes the dialog once the procedure has ended it.
    void send(UINT message, WPARAM wparam, LPARAM lparam) {
        Send_To_Dialog(dialog_, message, wparam, lparam);
        finish_if_ended();
    }
    void command(int id) {
        Dialog_Command(dialog_, id);
        finish_if_ended();
    }
    void scroll(int id, int code, int thumb) {
        Dialog_Scroll(dialog_, id, code, thumb);
        finish_if_ended();
    }
    void finish_if_ended() {
        if (dialog_->ended && isVisible()) done(static_cast<int>(dialog_->result));
    }

    void reject() override {
        // Escape and the close button are Cancel; a procedure that ignores Cancel still
        // lets the window close rather than trapping the user.
        command(IDCANCEL);
        if (!dialog_->ended) {
            dialog_->ended = true;
            dialog_->result = IDCANCEL;
            done(IDCANCEL);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            // A move a control ignores reaches the dialog as well: one message per move.
            const auto* move = static_cast<QMouseEvent*>(event);
            if (move != last_move_ || move->timestamp() != last_move_time_) send(WM_MOUSEMOVE, 0, 0);
            last_move_ = move;
            last_move_time_ = move->timestamp();
        } else if (event->type() == QEvent::MouseButtonPress &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                   (watched == this || qobject_cast<QLabel*>(watched) || dynamic_cast<Picture_Widget*>(watched))) {
            send(WM_LBUTTONDOWN, 0, 0);
        }
        return QDialog::eventFilter(watched, event);
    }

    std::map<int, QWidget*> widgets;

protected:
    // The placement while the dialog first shows is no move of the user's.
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        shown_ = true;
    }
    void moveEvent(QMoveEvent* event) override {
        QDialog::moveEvent(event);
        if (shown_) send(WM_MOVE, 0, MAKELPARAM(static_cast<unsigned>(x()), static_cast<unsigned>(y())));
    }

private:
    Dialog_State* dialog_;
    bool shown_ = false;
    const QMouseEvent* last_move_ = nullptr;
    quint64 last_move_time_ = 0;
};

void Picture_Widget::paintEvent(QPaintEvent*) {
    painting = true;
    if (auto it = views.find(dialog_); it != views.end()) it->second->send(WM_PAINT, 0, 0);
    painting = false;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const Bitmap* bitmap = views.count(dialog_) ? Picture_Bitmap(dialog_, id_) : nullptr;
    if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0) return;
    // The bitmap's top byte is 0; Qt wants it 0xFF in an opaque image.
    if (image_.width() != bitmap->width || image_.height() != bitmap->height)
        image_ = QImage(bitmap->width, bitmap->height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap->height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image_.scanLine(y));
        const uint32_t* source = bitmap->pixels.data() + static_cast<size_t>(y) * bitmap->width;
        for (int x = 0; x < bitmap->width; ++x) row[x] = 0xFF000000u | source[x];
    }
    painter.drawImage(rect(), image_);
}

// The SB_* code of a scroll-bar action; -1 for none.
int Scroll_Code_Of(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINERIGHT;
    case QAbstractSlider::SliderSingleStepSub: return SB_LINELEFT;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGERIGHT;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGELEFT;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    case QAbstractSlider::SliderToMinimum: return SB_LEFT;
    case QAbstractSlider::SliderToMaximum: return SB_RIGHT;
    default: return -1;
    }
}

void Sync(Dialog_View* view, Control_State& c) {
    auto it = view->widgets.find(c.form.id);
    if (it == view->widgets.end()) return;
    QWidget* w = it->second;
    const QSignalBlocker block(w);
    switch (c.form.kind) {
    case Control_Kind::Scroll_Bar: {
        auto* bar = static_cast<QScrollBar*>(w);
        bar->setRange(std::min(c.minimum, c.maximum), std::max(c.minimum, c.maximum));
        bar->setSliderPosition(c.position);
        bar->setValue(c.position);
        break;
    }
    case Control_Kind::Number:
    case Control_Kind::Text: static_cast<QLabel*>(w)->setText(QString::fromLatin1(c.text.c_str())); break;
    case Control_Kind::Group: static_cast<QGroupBox*>(w)->setTitle(QString::fromLatin1(c.text.c_str())); break;
    case Control_Kind::Check_Box: static_cast<QCheckBox*>(w)->setChecked(c.checked); break;
    case Control_Kind::Push_Button: static_cast<QPushButton*>(w)->setText(QString::fromLatin1(c.text.c_str())); break;
    case Control_Kind::List_Box: {
        auto* list = static_cast<QListWidget*>(w);
        bool same = list->count() == static_cast<int>(c.items.size());
        for (int i = 0; same && i < list->count(); ++i)
            same = list->item(i)->text() == QString::fromLatin1(c.items[static_cast<size_t>(i)].c_str());
        if (!same) {
            list->clear();
            for (const auto& item : c.items) list->addItem(QString::fromLatin1(item.c_str()));
        }
        list->setCurrentRow(c.selection);
        break;
    }
    case Control_Kind::Picture: {
        auto* picture = static_cast<Picture_Widget*>(w);
        if (!picture->painting) picture->update();
        break;
    }
    }
}

QWidget* Build_Control(Dialog_View* view, Dialog_State* dialog, Control_State& c) {
    const int id = c.form.id;
    const QString text = QString::fromLatin1(c.form.text.c_str());
    QWidget* w = nullptr;
    switch (c.form.kind) {
    case Control_Kind::Scroll_Bar: {
        auto* bar = new QScrollBar(Qt::Horizontal, view);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        QObject::connect(bar, &QAbstractSlider::actionTriggered, view, [view, dialog, bar, id](int action) {
            const int code = Scroll_Code_Of(action);
            if (code >= 0) view->scroll(id, code, bar->sliderPosition());
            // The procedure's SetScrollPos decides where the thumb stands.
            if (Control_State* now = dialog->control(id)) bar->setSliderPosition(now->position);
        });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, view, [view, dialog, bar, id] {
            view->scroll(id, SB_THUMBPOSITION, bar->sliderPosition());
            view->scroll(id, SB_ENDSCROLL, 0);
            if (Control_State* now = dialog->control(id)) {
                const QSignalBlocker block(bar);
                bar->setSliderPosition(now->position);
                bar->setValue(now->position);
            }
        });
        w = bar;
        break;
    }
    case Control_Kind::Number:
    case Control_Kind::Text: w = new QLabel(text, view); break;
    case Control_Kind::Group: {
        auto* group = new QGroupBox(text, view);
        w = group;
        break;
    }
    case Control_Kind::Check_Box: {
        auto* box = new QCheckBox(view);
        QObject::connect(box, &QAbstractButton::clicked, view, [view, dialog, box, id] {
            if (Control_State* now = dialog->control(id)) now->checked = box->isChecked();
            view->command(id);
        });
        w = box;
        break;
    }
    case Control_Kind::Push_Button: {
        auto* button = new QPushButton(text, view);
        button->setAutoDefault(false);
        button->setDefault(id == IDOK);
        QObject::connect(button, &QAbstractButton::clicked, view, [view, id] { view->command(id); });
        w = button;
        break;
    }
    case Control_Kind::List_Box: {
        auto* list = new QListWidget(view);
        QObject::connect(list, &QListWidget::currentRowChanged, view, [view, dialog, id](int row) {
            if (Control_State* now = dialog->control(id)) now->selection = row;
            view->command(id);
        });
        w = list;
        break;
    }
    case Control_Kind::Picture: w = new Picture_Widget(dialog, id, view); break;
    }
    w->setGeometry(c.form.x, c.form.y, c.form.width, c.form.height);
    w->setObjectName(QString::number(id));
    w->setMouseTracking(true);
    w->installEventFilter(view);
    if (c.form.kind == Control_Kind::Group) w->lower();
    return w;
}

}  // namespace

intptr_t Run_Qt_Dialog(Dialog_State* dialog, QWidget* owner) {
    if (!dialog || !dialog->form) return -1;
    Dialog_View view(dialog, owner);
    view.setModal(true);
    view.setWindowTitle(QString::fromLatin1(dialog->form->caption.c_str()));
    if (dialog->form->caption.empty()) view.setWindowFlags(view.windowFlags() | Qt::FramelessWindowHint);
    view.setFixedSize(dialog->form->width, dialog->form->height);
    view.setMouseTracking(true);
    view.installEventFilter(&view);
    for (Control_State& c : dialog->controls)
        if (c.form.id != -1 || c.form.kind == Control_Kind::Text || c.form.kind == Control_Kind::Group) {
            QWidget* w = Build_Control(&view, dialog, c);
            if (c.form.id != -1) view.widgets[c.form.id] = w;
        }
    views[dialog] = &view;
    for (Control_State& c : dialog->controls) Sync(&view, c);

    Send_To_Dialog(dialog, WM_INITDIALOG, 0, 0);
    if (!dialog->ended) view.exec();
    views.erase(dialog);
    return dialog->result;
}

void Qt_Dialog_Changed(Dialog_State* dialog, int control_id) {
    auto it = views.find(dialog);
    if (it == views.end()) return;
    if (Control_State* c = dialog->control(control_id)) Sync(it->second, *c);
}

QDialog* Qt_Dialog_Widget(Dialog_State* dialog) {
    auto it = views.find(dialog);
    return it == views.end() ? nullptr : it->second;
}
