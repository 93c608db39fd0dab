#include "presets/random_presets.h"

