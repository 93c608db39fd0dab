// Read access to the Qt backend's widgets and picture, for tests and tools.
#pragma once

#include <QImage>

#include "platform/windows/windows.h"

class QWidget;
class QMenuBar;
class QAction;

QWidget* Qt_Host_Widget(HWND window);      // the top-level window
QWidget* Qt_Picture_Widget(HWND window);   // the area under the menu bar
QMenuBar* Qt_Menu_Bar(HWND window);        // nullptr when the window has no menu bar
QAction* Qt_Menu_Action(HWND window, int id);
const QImage& Qt_Picture();                // the primary surface as last converted
QWidget* Qt_Help_Viewer();                 // nullptr until help was shown
