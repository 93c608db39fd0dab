// The shell's side of a session's Shell_Link.
#pragma once

#include "session/forward.h"

// Makes the shell answer what the session's effects and presets tell it or ask of it.
void Install_Shell_Link(Session& s);
