#include "shell/modes.h"

