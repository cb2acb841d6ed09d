#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "support/LuaTestState.h"

class GUIDialogueManager;

namespace testsupport {

// The dialogue box's tests start from here: a Lua state with the engine's
// functions, an 800 x 600 window (the box then stands at y 380, 800 x 220)
// and the GUI's dialogue box, made quietly (its missing pane and font warn).
// The window size the global state had comes back afterwards.
class DialogueBoxFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<LuaTestState> lua;
    GUIDialogueManager* box = nullptr;

private:
    int32_t m_savedWidth = 0;
    int32_t m_savedHeight = 0;
};

}  // namespace testsupport
