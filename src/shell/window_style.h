// The main window's styles: windowed with menu, maximised borderless, full screen.
#pragma once

#include "session/forward.h"

int Switch_Window_Style(Session& s);
int Maximise_Window(Display_Context& d);
