// Interim: the mask itself is not built yet, so the scope never becomes active.
#include "scope/scope.h"

#include <cstdio>

#include "presets/plasma_settings.h"
#include "shell/status.h"
#include "surface/display.h"

int scope_active = 0;

int Setup_Scope(int width, int height, int shape) {
    if (Screen_Bpp == 8) {
        std::snprintf(status_message, sizeof status_message, "%s",
                      "The scope does not function in 256 colour mode");
        status_message_pending = 1;
        return 0;
    }
    return 1;
}

int Shutdown_Scope() {
    scope_active = 0;
    Plasma_Settings.scope_on = 0;
    return 1;
}

int Draw_Scope(Surface dest, int x, int y) { return 1; }
