#include "text/status_line.h"

#include <cstdio>

#include "surface/surface.h"
#include "session/session.h"

void Show_Status_Message(Session& s, const char* text) {
    std::snprintf(s.status.message, sizeof s.status.message, "%s", text);
    s.status.pending = 1;
}

void Draw_Status_Message(Session& s) {
    if (s.status.pending) Draw_GDI_Text(s.display.Hidden, 0, 24, 0x00C8C8C8, s.status.message);
    s.status.pending = 0;
}
