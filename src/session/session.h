// One display session: a display with its window, the live preset and everything drawn from
// it. The process's App holds the sessions' shared parts; a session holds the rest, so two
// sessions (two monitors) run side by side without touching each other.
#pragma once

#include "input/mouse.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma.h"
#include "presets/plasma_settings.h"
#include "presets/random_presets.h"
#include "scope/scope.h"
#include "session/app.h"
#include "session/dialog_values.h"
#include "session/shell_link.h"
#include "session/shell_state.h"
#include "slides/object_queue.h"
#include "slides/slides.h"
#include "surface/display.h"
#include "text/font.h"
#include "text/status_line.h"
#include "text/title.h"
#include "text/transition.h"

struct Session {
    explicit Session(App& app);
    // Releases whatever the session still holds.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    App& app;
    Display_Context display;
    Shell_Link* link = &Quiet_Shell_Link();  // the shell's own once a shell drives the session

    PLASMA_SETTINGS Plasma_Settings{};         // the live record
    PLASMA_SETTINGS Backup_Plasma_Settings{};  // copy kept while the display is rebuilt
    bool backup_in_default_file = true;        // default.dat holds the backup as well

    Shell_State shell;
    Plasma_State plasma;
    Kaleidoscope_State kaleidoscope;
    Scope_State scope;
    Slides_State slides;
    Queue_State queue;
    Font_State fonts;
    Title_State title;
    Status_Line status;
    Transition_State transition;
    Journey_State journey;
    Mouse_Input mouse;
    Dialog_Values dialogs;
};

// Releases the display's resources: what the effects hold, then the input devices and the
// display itself. The session can be set up again afterwards.
void Shutdown(Session& s);
// Releases what the effects hold on the display's surfaces.
int Release_Display_Resources(Session& s);

// The session a window (or a dialog over it) belongs to.
Session& Window_Session(HWND window);
// Makes `window` belong to the session.
void Attach_Window(Session& s, HWND window);
