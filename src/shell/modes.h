// The run mode chosen by the command line, and the shell's process-wide values.
#pragma once

#include "platform/windows/wintypes.h"

constexpr int CONFIGURE = 1;
constexpr int CHANGE_PASSWORD = 2;
constexpr int PREVIEW = 3;
constexpr int SAVER = 4;

