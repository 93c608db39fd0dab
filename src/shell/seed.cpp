#include "shell/seed.h"

#include "common/random.h"
#include "platform/system/system.h"

namespace {
bool fixed_seed = false;
uint32_t seed_value = 0;
}  // namespace

void Set_Fixed_Session_Seed(bool fixed, uint32_t seed) {
    fixed_seed = fixed;
    seed_value = seed;
}

void Seed_Session_Random() { Seed_Random(fixed_seed ? seed_value : GetTickCount()); }
