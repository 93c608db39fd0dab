#include "common/random.h"
#include "session/session.h"

namespace {
}

void Seed_Random(App& app, uint32_t seed) { app.Random_State = seed; }

int Random(App& app) {
    app.Random_State = app.Random_State * 214013u + 2531011u;
    return static_cast<int>((app.Random_State >> 16) & 0x7FFF);
}

uint32_t Random_State(App& app) { return app.Random_State; }
