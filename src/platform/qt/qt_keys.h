// Qt key codes to the virtual-key codes the window procedure expects.
#pragma once

#include <Qt>

#include "platform/windows/wintypes.h"

// Virtual-key code of a key; 0 when the key has none.
WPARAM Virtual_Key_For(int qt_key, Qt::KeyboardModifiers modifiers);
