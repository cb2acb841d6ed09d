#pragma once
// A fixture for tests that put a player of their own into the global state:
// the player there before is put back afterwards.
#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "support/AllegroTestEnv.h"

namespace testsupport {

class PlayerWorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureAllegro();
        m_saved = GetGlobalState()->player;
    }
    void TearDown() override { GetGlobalState()->player = m_saved; }
    PlayerVorn* m_saved = nullptr;
};

}  // namespace testsupport
