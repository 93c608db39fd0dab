// The main window's caption.
#pragma once

// Sets " Mirravane:   <name>"; a path's base name (up to the first '.') also becomes the
// preset's title_text.
int Update_Window_Title(const char* text);
