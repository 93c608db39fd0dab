// Menu check marks, refreshed whenever a setting changes behind the menu's back.
#pragma once

#include "session/forward.h"

int Update_Menu_Check_Marks(Session& s);
