// The main window's caption.
#pragma once

#include "session/forward.h"

// Sets " Mirravane:   <name>"; a path's base name (after its last '/' or '\', up to the first
// '.') is the name and also becomes the preset's title_text.
int Update_Window_Title(Session& s, const char* text);
