// The transition's script function: the map script's way to place the
// player by the pending request while the map loads.
#include <cstdio>

#include "app/Transition.h"
#include "app/TransitionPlayer.h"
#include "core/base/GlobalState.h"
#include "core/base/RootEntity.h"
#include "core/base/TransitionState.h"
#include "core/script/ScriptArgs.h"
#include "world/EntityManager.h"

namespace {

constexpr const char* kNoPlayer = "TH_DropPlayerAtTarget:  Failed, PlayerVorn does not exist\n";

// Places the player now, by the record: at the drop point, or at the named
// entity. Once placed, the transition leaves the player where it is.
// Takes any number of arguments and returns nothing.
int TH_DropPlayerAtTarget(lua_State* L) {
    (void)L;
    TransitionState& record = GetTransitionState();
    GlobalState* state = GetGlobalState();
    if (record.entityMode == 0) {
        if (!state->player) return script::Fail(kNoPlayer);
        PlacePlayer(static_cast<float>(record.dropX), static_cast<float>(record.dropY),
                    static_cast<float>(record.dropZ));
        record.placed = 1;
        return 0;
    }
    if (!record.entityName) {
        return script::Fail("TransitionToMap:  Warning, Entity mode set but no string specified\n");
    }
    EntityManager* entities = state->entityManager;
    if (!entities) return script::Fail("TH_DropPlayerAtTarget:  Failed, EntityManager does not exist\n");
    RootEntity* entity = entities->GetEntityByName(record.entityName->c_str());
    if (!entity) {
        std::fprintf(stderr, "TransitionToMap:  Warning, Entity mode failed, %s not found\n",
                     record.entityName->c_str());
        return 0;
    }
    if (!state->player) return script::Fail(kNoPlayer);
    float x = 0.0f, y = 0.0f, z = 0.0f;
    entity->SafeGetPosition(&x, &y, &z);
    PlacePlayer(x, y, z);
    record.placed = 1;
    return 0;
}

const script::Function kFunctions[] = {
    {"TH_DropPlayerAtTarget", TH_DropPlayerAtTarget},
    {nullptr, nullptr},
};

}  // namespace

void RegisterTransitionLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
