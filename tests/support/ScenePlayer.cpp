#include "support/ScenePlayer.h"

#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"

namespace testsupport {

ScenePlayer::ScenePlayer() {
    GlobalState* state = GetGlobalState();
    m_saved = state->player;
    state->player = this;
    state->stateSwitchRequest = 0;
    ClearTransitionState();
}

ScenePlayer::~ScenePlayer() {
    GlobalState* state = GetGlobalState();
    state->player = m_saved;
    state->stateSwitchRequest = 0;
    ClearTransitionState();
}

}  // namespace testsupport
