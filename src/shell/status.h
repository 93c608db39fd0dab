// The one-line status text that the next frame draws once.
#pragma once

