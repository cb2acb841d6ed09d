#pragma once
// A player in the global state's slot for one test.
#include <cstdint>

#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "world/PlayerVorn.h"

namespace testsupport {

// A player in its slot and a clean transition record; both put back after.
class WithPlayer {
public:
    WithPlayer() {
        GlobalState* state = GetGlobalState();
        m_savedPlayer = state->player;
        m_savedSwitch = state->stateSwitchRequest;
        m_savedTransition = state->transition;
        state->player = &player;
        state->transition = nullptr;
        ClearTransitionState();
    }
    ~WithPlayer() {
        ClearTransitionState();
        GlobalState* state = GetGlobalState();
        state->player = m_savedPlayer;
        state->stateSwitchRequest = m_savedSwitch;
        state->transition = m_savedTransition;
    }
    PlayerVorn player;

private:
    PlayerVorn* m_savedPlayer;
    uint8_t m_savedSwitch;
    Transition* m_savedTransition;
};

}  // namespace testsupport
