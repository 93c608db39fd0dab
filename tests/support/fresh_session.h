// One test's program: an App and a Session of its own on a platform cleared of what earlier
// tests left (windows, messages, boxes, scripted answers, display faults), so no test leans on
// another's leftovers.
#pragma once

#include "platform/display/ddraw.h"
#include "platform/input/dinput.h"
#include "platform/windows/windows.h"
#include "session/session.h"
#include "shell/shell_link.h"

class Clean_Platform {
public:
    Clean_Platform() {
        Reset_Window_Service();
        Reset_Display_Service();
        Reset_Input_Service();
    }
};

class Fresh_Session {
public:
    // The tests drive the shell as the program does; a test of an effect without a shell puts
    // Quiet_Shell_Link() back.
    Fresh_Session() { Install_Shell_Link(session); }
    Fresh_Session(const Fresh_Session&) = delete;
    Fresh_Session& operator=(const Fresh_Session&) = delete;

private:
    Clean_Platform clean_;

public:
    App app;
    Session session{app};};
