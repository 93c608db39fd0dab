// The program's one random generator: the classic C library generator of the original
// platform (seed * 214013 + 2531011, result bits 16..30). Every "rand()" of the engine is
// this generator, and the order of the draws is part of the behaviour.
#pragma once

#include <cstdint>
#include "session/forward.h"

void Seed_Random(App& app, uint32_t seed);
int Random(App& app);  // 0..32767
uint32_t Random_State(App& app);
