// Setting up a display session: the display at the run mode's size, input, the objects.
// Its counterpart, Shutdown, is the session's own (session/session.h).
#pragma once

#include "session/forward.h"

int Setup(Session& s);
int Setup_Lumenweft(Session& s);
