// A character walking a leader's path 30 moves behind it (NPC_PushAI "Trail
// Target" and AITP_SyncTargetPointers).
#include "world/ai/AITrailingPackage.h"

#include <gtest/gtest.h>

#include "AITestObjects.h"
#include "support/LuaTestState.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/ai/AIManager.h"

using aitest::Capture;
using testsupport::LuaTestState;

namespace {

NonPlayingCharacter* MakeCharacter(LuaTestState& lua, const char* name) {
    auto* npc = new NonPlayingCharacter;
    npc->SetInternalName(name);
    npc->AllocateStateVariables(4);
    const char* states[] = {"Stationary", "Walking", "Trotting", "Running"};
    for (int i = 0; i < 4; ++i) npc->SetStateVariable(i, states[i], i == 0);
    lua.Entities().RegisterPointer(EntityManager::kNPC, name, npc);
    return npc;
}

uint8_t Flag(NonPlayingCharacter* npc, int index) { return npc->GetStateVariables()[index].flag; }

// Pushes the trailing package on the trailer and gives it the leader.
AITrailingPackage* Trail(LuaTestState& lua, NonPlayingCharacter* trailer, NonPlayingCharacter* leader) {
    lua.Entities().SetActiveEntity(trailer);
    if (!lua.Run("NPC_PushAI('trail', -1, 'Trail Target', 'St|Stationary', 'St|Walking', 'St|Running')"))
        return nullptr;
    lua.Entities().SetActiveEntity(leader);
    if (!lua.Run("AITP_SyncTargetPointers('NPC', 'Leader', 'Dimensions', 'St|Stationary', 'St|Walking', "
                 "'St|Running', 'AnimDirection')"))
        return nullptr;
    return static_cast<AITrailingPackage*>(lua.AI().GetActiveAIObject());
}

}  // namespace

TEST(AITrailingPackage, StandsWhileTheRingFillsThenReplaysInOrder) {
    LuaTestState lua;
    NonPlayingCharacter* leader = MakeCharacter(lua, "Leader");
    NonPlayingCharacter* trailer = MakeCharacter(lua, "Trailer");
    Capture cap;
    AITrailingPackage* trail = Trail(lua, trailer, leader);
    ASSERT_NE(trail, nullptr);
    EXPECT_EQ(trail->GetType(), 1104);
    EXPECT_EQ(cap.Take(), "");

    Dimensions* record = leader->GetDimensionsPointer();
    leader->SetActiveStateByName("Walking");
    // The leader walks 30 moves of 1.5 to the right, facing right; the
    // trailer stands meanwhile.
    for (int i = 1; i <= 30; ++i) {
        record->X = 1.5 * i;
        leader->SetAnimTimerAndDirection(i, 2);
        trailer->Update();
        EXPECT_EQ(Flag(trailer, 0), 1) << i;
        EXPECT_EQ(trailer->GetDimensions().X, 0.0);
        EXPECT_EQ(trailer->GetAnimTimer(), 0);
    }
    EXPECT_FALSE(trail->IsFilling());

    // The leader stops: so does the trailer.
    trailer->Update();
    EXPECT_EQ(Flag(trailer, 0), 1);
    EXPECT_EQ(trailer->GetDimensions().X, 0.0);

    // Each new move replays the oldest one, one unit lower, with its flags
    // and direction.
    leader->SetActiveStateByName("Running");
    for (int i = 31; i <= 35; ++i) {
        record->X = 1.5 * i;
        record->Y = 3.0;
        trailer->Update();
        const int replayed = i - 30;
        EXPECT_EQ(trailer->GetDimensions().X, static_cast<int>(1.5 * replayed)) << i;
        EXPECT_EQ(trailer->GetDimensions().Y, 1.0);
        EXPECT_EQ(Flag(trailer, 1), 1);
        EXPECT_EQ(Flag(trailer, 0), 0);
        EXPECT_EQ(trailer->GetAnimDirection(), 2);
        EXPECT_EQ(trailer->GetAnimTimer(), replayed);
    }
    // The slots replayed now hold the leader's running moves.
    EXPECT_EQ(trail->GetEntry(0).running, 1);
    EXPECT_EQ(trail->GetEntry(0).y, 3.0);
    EXPECT_EQ(trail->GetRingIndex(), 5);
    EXPECT_EQ(trailer->GetAIQueueLength(), 1);
}

TEST(AITrailingPackage, StandingLeaderFlagsAndFailures) {
    LuaTestState lua;
    NonPlayingCharacter* leader = MakeCharacter(lua, "Leader");
    NonPlayingCharacter* trailer = MakeCharacter(lua, "Trailer");
    AITrailingPackage* trail = Trail(lua, trailer, leader);
    ASSERT_NE(trail, nullptr);

    // A leader standing at a position a float cannot hold is not moving.
    leader->GetDimensionsPointer()->X = 0.1;
    trailer->Update();
    EXPECT_EQ(trail->GetRingIndex(), 1);
    trailer->Update();
    trailer->Update();
    EXPECT_EQ(trail->GetRingIndex(), 1);
    // A move with none of the three flags set is recorded as standing.
    leader->SetActiveStateByName("Trotting");
    leader->GetDimensionsPointer()->X = 0.2;
    trailer->Update();
    EXPECT_EQ(trail->GetEntry(1).stationary, 1);

    Capture cap;
    // Flags of the wrong type are refused, and the leader stays.
    lua.Entities().SetActiveEntity(leader);
    ASSERT_TRUE(
        lua.Run("AITP_SyncTargetPointers('NPC', 'Leader', 'AnimTimer', 'St|Stationary', 'St|Walking', "
                "'St|Running', 'AnimDirection')"));
    EXPECT_EQ(cap.Take(), "AITP SyncTargetPointers:  Failed, the leader's properties were not found\n");
    leader->GetDimensionsPointer()->X = 0.3;
    trailer->Update();
    EXPECT_EQ(trail->GetRingIndex(), 3);

    // A trailer flag that is an int, not a flag, fails the gathering.
    lua.Entities().SetActiveEntity(trailer);
    ASSERT_TRUE(lua.Run("NPC_PushAI('t2', -1, 'Trail Target', 'St|Stationary', 'AnimFlip', 'St|Running')"));
    EXPECT_EQ(cap.Take(), "NPC_PushAI: -Trail Target- Failed, error in variable gathering\n");
    EXPECT_EQ(trailer->GetAIQueueLength(), 1);

    // The active object must be a trailing package.
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('R', 'FloatingAIPackageList', 'AIValueRouter')\n"
                "AITP_SyncTargetPointers('NPC', 'Leader', 'Dimensions', 'a', 'b', 'c', 'd')"));
    EXPECT_EQ(cap.Take(), "AITP SyncTargetPointers:  Failed, Active AI was not set, or not a Trailing Package\n");

    // The leader goes: the trailer no longer moves, and nothing reads the
    // dead record.
    lua.Entities().ClearActiveEntity();
    delete lua.Entities().RemovePointer(EntityManager::kNPC, "Leader");
    trailer->Update();
    EXPECT_EQ(trail->GetRingIndex(), 3);
}
