#include "shell/seed.h"

#include "common/random.h"
#include "platform/system/system.h"
#include "session/session.h"

namespace {
}  // namespace

void Set_Fixed_Session_Seed(App& app, bool fixed, uint32_t seed) {
    app.fixed_seed = fixed;
    app.seed_value = seed;
}

void Seed_Session_Random(App& app) { Seed_Random(app, app.fixed_seed ? app.seed_value : GetTickCount()); }
