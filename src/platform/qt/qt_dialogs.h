// Modal dialogs from templates on Qt widgets: the template becomes a QDialog, widget
// actions become the messages the dialog procedure expects, and what the procedure sets
// through the dialog calls is mirrored back into the widgets.
#pragma once

#include <cstdint>

class QWidget;
class QDialog;
struct Dialog_State;

// Builds the dialog, sends WM_INITDIALOG and runs a local event loop until EndDialog;
// returns what EndDialog was given.
intptr_t Run_Qt_Dialog(Dialog_State* dialog, QWidget* owner);
// The procedure changed a control (position, range, text, check, list, picture).
void Qt_Dialog_Changed(Dialog_State* dialog, int control_id);
// The QDialog of a dialog that is open (nullptr otherwise). Its control widgets are
// named by their ids ("1000").
QDialog* Qt_Dialog_Widget(Dialog_State* dialog);
