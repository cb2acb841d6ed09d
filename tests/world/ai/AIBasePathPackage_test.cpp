// Walking a character to a point with NPC_PushAI "Basic Pathing".
#include "world/ai/AIBasePathPackage.h"

#include <gtest/gtest.h>

#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/ai/AIManager.h"

using testsupport::LuaTestState;

namespace {

// A character with the four movement flags, registered and made active.
NonPlayingCharacter* MakeWalker(LuaTestState& lua, const char* name, int x, int y) {
    auto* npc = new NonPlayingCharacter;
    npc->SetInternalName(name);
    npc->AllocateStateVariables(4);
    const char* states[] = {"Stationary", "Walking", "Trotting", "Running"};
    for (int i = 0; i < 4; ++i) npc->SetStateVariable(i, states[i], i == 0);
    npc->SetBoundaryOffsets(-5, 5, -3, 3, -20, 0);
    npc->SetCoordinates(x, y, 0);
    lua.Entities().RegisterPointer(EntityManager::kNPC, name, npc);
    lua.Entities().SetActiveEntity(npc);
    return npc;
}

uint8_t Flag(NonPlayingCharacter* npc, int index) { return npc->GetStateVariables()[index].flag; }

}  // namespace

TEST(AIBasePathPackage, WalksAtItsSpeedAndFinishesNearTheTarget) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeWalker(lua, "Walker", 0, 0);
    ASSERT_TRUE(lua.Run("NPC_PushAI('go', -1, 'Basic Pathing', 'WalkSpeed', 100.9, 0) t = AI_GetType()"));
    EXPECT_EQ(lua.GetNumber("t"), 1100);
    ASSERT_EQ(npc->GetAIQueueLength(), 1);

    npc->Update();
    EXPECT_DOUBLE_EQ(npc->GetDimensions().X, 2.2);
    EXPECT_DOUBLE_EQ(npc->GetDimensions().xmin, 2.2 - 5);  // box follows
    EXPECT_EQ(npc->GetAnimDirection(), 2);
    EXPECT_EQ(npc->GetAnimTimer(), 1);
    EXPECT_EQ(Flag(npc, 0), 0);
    EXPECT_EQ(Flag(npc, 1), 1);

    int steps = 1;
    while (npc->GetAIQueueLength() > 0 && steps < 100) {
        npc->Update();
        ++steps;
    }
    // 41 steps of 2.2 reach 90.2, within 10 of 100; the next one finishes.
    EXPECT_EQ(steps, 42);
    EXPECT_NEAR(npc->GetDimensions().X, 90.2, 1e-9);
    EXPECT_EQ(npc->GetAnimDirection(), 4);
    EXPECT_EQ(npc->GetAnimTimer(), 0);
    EXPECT_EQ(Flag(npc, 0), 1);
    EXPECT_EQ(Flag(npc, 1), 0);
    EXPECT_EQ(lua.AI().GetActiveAIObject(), nullptr);  // the finished package is forgotten

    // Eight units away: finished on the first step without moving.
    ASSERT_TRUE(lua.Run("NPC_PushAI('near', 5, 'Basic Pathing', 'RunSpeed', 98, 0)"));
    npc->Update();
    EXPECT_EQ(npc->GetAIQueueLength(), 0);
    EXPECT_NEAR(npc->GetDimensions().X, 90.2, 1e-9);
    EXPECT_DOUBLE_EQ(npc->GetDimensions().Y, 0);
}

TEST(AIBasePathPackage, DiagonalStepIsCutAtTheTargetsAxis) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeWalker(lua, "Runner", 0, 0);
    *static_cast<double*>(npc->GetPropertyAddress("RunSpeed")) = 20.0;
    ASSERT_TRUE(lua.Run("NPC_PushAI('go', -1, 'Basic Pathing', 'RunSpeed', 100, 7)"));
    npc->Update();
    // Down-right at 20 * 0.707107 on each axis, but y had only 7 to go.
    EXPECT_EQ(npc->GetAnimDirection(), 3);
    EXPECT_NEAR(npc->GetDimensions().X, 14.14214, 1e-9);
    EXPECT_DOUBLE_EQ(npc->GetDimensions().Y, 7);
    npc->Update();
    EXPECT_EQ(npc->GetAnimDirection(), 2);  // level with the target now
    EXPECT_DOUBLE_EQ(npc->GetDimensions().Y, 7);

    // Heading up-left toward a target behind: the cut keeps the sign.
    npc->ClearAIQueue();
    ASSERT_TRUE(lua.Run("NPC_PushAI('back', -1, 'Basic Pathing', 'RunSpeed', -60, 0)"));
    npc->Update();
    EXPECT_EQ(npc->GetAnimDirection(), 7);
    EXPECT_DOUBLE_EQ(npc->GetDimensions().Y, 0);
}

TEST(AIBasePathPackage, DirectionsAndPackagesThatCannotMove) {
    // Tolerance of 5 on each axis; level and right of the target is left.
    EXPECT_EQ(AIBasePathPackage::DirectionToward(20, 0, 0, 0), 6);
    EXPECT_EQ(AIBasePathPackage::DirectionToward(20, -6, 0, 0), 5);
    EXPECT_EQ(AIBasePathPackage::DirectionToward(20, 6, 0, 0), 7);
    EXPECT_EQ(AIBasePathPackage::DirectionToward(5, 5, 0, 0), 0);
    EXPECT_EQ(AIBasePathPackage::DirectionToward(-5, 4, 0, 0), 4);
    EXPECT_EQ(AIBasePathPackage::DirectionToward(-6, -6, 0, 0), 3);
    EXPECT_EQ(AIBasePathPackage::DirectionToward(-6, 6, 0, 0), 1);
    EXPECT_EQ(AIBasePathPackage::DirectionToward(INT32_MAX, 0, INT32_MAX - 1, 0), 4);  // no overflow

    // Unsynched, or with no target, a step does nothing.
    AIBasePathPackage loose;
    loose.SetTarget(5, 5);
    loose.RunAI();
    EXPECT_FALSE(loose.IsFinished());

    LuaTestState lua;
    NonPlayingCharacter* npc = MakeWalker(lua, "Idle", 0, 0);
    AIBasePathPackage unaimed;
    EXPECT_TRUE(unaimed.SyncPointers("NPC", "Idle", "WalkSpeed"));
    unaimed.RunAI();
    EXPECT_FALSE(unaimed.IsFinished());
    EXPECT_EQ(npc->GetAnimTimer(), 0);
}

TEST(AIBasePathPackage, NewStateFlagsMidWalkLeaveTheWalkGoing) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeWalker(lua, "Walker", 0, 0);
    testsupport::TempDir dir;
    dir.WriteFile("idle.lua", "idled = (idled or 0) + 1\n");
    npc->SetDefaultScript("idle.lua");
    ASSERT_TRUE(lua.Run("NPC_PushAI('go', -1, 'Basic Pathing', 'WalkSpeed', 100, 0)"));
    for (int i = 0; i < 5; ++i) npc->Update();
    const double halfway = npc->GetDimensions().X;
    EXPECT_DOUBLE_EQ(halfway, 11.0);
    // The script gives the character new flags: the walk's position and
    // speed are the character's own and stay good; only the old flags go.
    testsupport::StderrCapture cap;
    ASSERT_TRUE(lua.Run("NPC_AllocateStateVariables(4)"));
    int steps = 0;
    while (npc->GetAIQueueLength() > 0 && steps < 100) {
        npc->Update();
        ++steps;
    }
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(steps, 37);
    EXPECT_NEAR(npc->GetDimensions().X, 90.2, 1e-9);
    // With the queue empty, the default script runs again.
    npc->Update();
    EXPECT_GE(lua.GetNumber("idled"), 1);
}
