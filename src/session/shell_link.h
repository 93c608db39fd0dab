// What effects and presets tell the shell, or ask of it, without knowing it: the shell
// installs its own link in a session it drives (menu marks, caption, file dialogs, the
// display's set-up). The default link is quiet, so effects also run without a shell (a
// test, a tool): it does nothing and refuses what it is asked for.
#pragma once

#include "platform/system/system.h"
#include "session/forward.h"

enum class File_Choice {
    Open_Bitmap,  // an existing bitmap to read
    Save_Bitmap,  // where to write a bitmap (asks before overwriting)
};

class Shell_Link {
public:
    virtual ~Shell_Link() = default;

    // The live preset changed behind the menu's back: its check marks follow.
    virtual void settings_changed(Session&) {}
    // The preset's title changed: the window's caption follows.
    virtual void title_changed(Session&, const char* /*title*/) {}
    // Asks the user for a bitmap under `folder`. `name` holds the initial name and receives
    // the chosen path, `title` the name without its folder. False: cancelled or refused.
    virtual bool choose_file(Session&, File_Choice, const char* /*folder*/, File_Name& /*name*/, File_Name& /*title*/) {
        return false;
    }
    // The transition has shrunk the picture away: the next preset of the random journey.
    virtual void next_preset(Session&) {}
    // The journey's preset wants another full-screen resolution (already in the display's
    // screen size): the display is set up again at it. False when that failed.
    virtual bool rebuild_display(Session&) { return false; }
    // The objects on disk changed: the display is set up again, which loads them anew.
    // False when that failed.
    virtual bool restart_display(Session&) { return false; }
};

// The link of a session that no shell drives.
Shell_Link& Quiet_Shell_Link();
