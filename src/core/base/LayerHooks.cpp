#include "core/base/LayerHooks.h"

LayerHooks& GetLayerHooks() {
    static LayerHooks hooks;
    return hooks;
}

bool EnterGameState(GameStateId id) {
    int index = static_cast<int>(id);
    if (index < 0 || index >= static_cast<int>(GameStateId::Count)) return false;
    LayerHooks& hooks = GetLayerHooks();
    if (!hooks.stateHandlers[index] || !hooks.stateRenderers[index]) return false;
    GlobalState* state = GetGlobalState();
    state->eventHandler = hooks.stateHandlers[index];
    state->renderFunction = hooks.stateRenderers[index];
    return true;
}
