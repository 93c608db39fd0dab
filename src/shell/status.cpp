#include "shell/status.h"

