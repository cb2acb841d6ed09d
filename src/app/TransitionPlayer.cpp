#include "app/TransitionPlayer.h"

#include "app/Transition.h"
#include "core/base/GlobalState.h"
#include "world/PlayerVorn.h"

void SetTransitionInputLock(bool locked) {
    PlayerVorn* player = GetGlobalState()->player;
    if (!player) return;
    if (locked)
        player->AddInputLock(Transition::kInputLock);
    else
        player->RemoveInputLock(Transition::kInputLock);
}

bool PlacePlayer(float x, float y, float z) {
    PlayerVorn* player = GetGlobalState()->player;
    if (!player) return false;
    player->SetPosition(x, y, z);
    return true;
}
