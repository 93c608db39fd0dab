// A fixture with a program of its own per test: `using Suite = Fresh_Test;`, then TEST_F(Suite, ...).
#pragma once

#include <gtest/gtest.h>

#include "support/fresh_session.h"

class Fresh_Test : public ::testing::Test {
protected:
    Fresh_Session fresh;
    Session& s = fresh.session;
};
