// The main window's styles: windowed with menu, maximised borderless, full screen.
#pragma once

#include "session/forward.h"

int Switch_Window_Style(Session& s);
int Maximise_Window(Display_Context& d);

// Rebuilds the display full screen at the session's screen size; `failure` is reported (and the
// program ended) when its set-up fails. 0 then.
int Rebuild_Full_Screen(Session& s, const char* failure);
// A full-screen mode wider than the desktop: the window covers the whole mode.
void Cover_Full_Screen_Mode(Session& s);
