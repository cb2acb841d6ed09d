// The sample game's levels, run with the whole engine: the transition zones
// of the hut and the cellar.
#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/script/LuaManager.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/EntityManager.h"
#include "world/ObjectStaticTransition.h"
#include "world/PlayerVorn.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

// The sample game's hut and cellar lead into each other, and the spot each
// way arrives at lies outside the zone that would send the player back.
TEST(ObjectLua, SampleLevelsConnectWithoutSendingThePlayerStraightBack) {
    LuaTestState lua;
    EntityManager& em = lua.Entities();
    PlayerVorn player;
    GlobalState* state = GetGlobalState();
    PlayerVorn* savedPlayer = state->player;
    Transition* savedTransition = state->transition;
    uint8_t savedSwitch = state->stateSwitchRequest;
    state->player = &player;
    state->transition = nullptr;

    struct Level {
        const char* script;
        const char* zone;
        float insideX, insideY;
        const char* destination;
        const char* arrival;  // where the other level's zone sends the player
    };
    const Level levels[] = {
        {"DebugRoom.lua", "HutStairs", 200, 600, "Cellar", "HutDoor"},
        {"Cellar.lua", "CellarStairs", 128, 24, "DebugRoom", "CellarFoot"},
    };
    const char* expectedEntity[] = {"CellarFoot", "HutDoor"};
    for (int i = 0; i < 2; ++i) {
        const Level& level = levels[i];
        em.Clear();
        StderrCapture cap;
        EXPECT_TRUE(lua.Manager().RunFile(std::string(QEL_SOURCE_DIR "/game/Data/Scripts/Maps/") + level.script, -2));
        cap.Take();
        auto* zone = dynamic_cast<ObjectStaticTransition*>(em.GetObject(level.zone));
        RootEntity* arrival = em.GetEntityByName(level.arrival);
        ASSERT_NE(zone, nullptr) << level.script;
        ASSERT_NE(arrival, nullptr) << level.script;

        ClearTransitionState();
        float x = 0, y = 0, z = 0;
        arrival->GetPosition(&x, &y, &z);
        player.SetPosition(x, y, z);
        em.UpdateAll();
        EXPECT_FALSE(GetTransitionState().mapName) << level.script;

        player.SetPosition(level.insideX, level.insideY, 0);
        zone->Update();
        EXPECT_EQ(GetTransitionState().mapName, level.destination);
        EXPECT_EQ(GetTransitionState().entityName, expectedEntity[i]);
    }
    ClearTransitionState();
    em.Clear();
    state->player = savedPlayer;
    state->transition = savedTransition;
    state->stateSwitchRequest = savedSwitch;
}

}  // namespace
