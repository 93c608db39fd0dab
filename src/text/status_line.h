// The one-line status text that the next frame draws once.
#pragma once

#include "session/forward.h"

struct Status_Line {
    char message[256] = "";
    int pending = 0;  // set by the writer, cleared by the frame that draws it
};

void Show_Status_Message(Session& s, const char* text);
// Draws a pending message on the hidden surface.
void Draw_Status_Message(Session& s);
