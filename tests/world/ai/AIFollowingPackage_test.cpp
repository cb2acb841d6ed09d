// Following a moving point with NPC_PushAI "Follow Target" and
// AIFP_FollowCoordinates.
#include "world/ai/AIFollowingPackage.h"

#include <gtest/gtest.h>

#include <string>

#include "AITestObjects.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/ai/AIManager.h"

using aitest::Capture;
using testsupport::LuaTestState;

namespace {

// A point the follower chases: ("GUI", name, "X" / "Y"), doubles; "Label"
// is a string.
class PointWidget : public GUIBaseObject {
public:
    double x = 0.0, y = 0.0;
    std::string label;
    void* GetProperty(const std::string& name) override {
        if (name == "X" || name == "Y") {
            PropertyRouter::Report(PropertyRouter::kDouble);
            return name == "X" ? &x : &y;
        }
        if (name == "Label") {
            PropertyRouter::Report(PropertyRouter::kString);
            return &label;
        }
        return nullptr;
    }
};

NonPlayingCharacter* MakeFollower(LuaTestState& lua) {
    auto* npc = new NonPlayingCharacter;
    npc->SetInternalName("Follower");
    npc->AllocateStateVariables(4);
    const char* states[] = {"Stationary", "Walking", "Trotting", "Running"};
    for (int i = 0; i < 4; ++i) npc->SetStateVariable(i, states[i], i == 0);
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Follower", npc);
    lua.Entities().SetActiveEntity(npc);
    return npc;
}

PointWidget* AddPoint(LuaTestState& lua, double x, double y) {
    auto* point = new PointWidget;
    point->x = x;
    point->y = y;
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("Point", point);
    return point;
}

// Which of the four flags is set: 0 Stationary ... 3 Running, -1 none.
int MoveState(NonPlayingCharacter* npc) {
    for (int i = 0; i < 4; ++i)
        if (npc->GetStateVariables()[i].flag) return i;
    return -1;
}

AIFollowingPackage* PushFollower(LuaTestState& lua) {
    if (!lua.Run("NPC_PushAI('follow', -1, 'Follow Target') "
                 "AIFP_FollowCoordinates('GUI', 'Point', 'X', 'GUI', 'Point', 'Y')"))
        return nullptr;
    return static_cast<AIFollowingPackage*>(lua.AI().GetActiveAIObject());
}

}  // namespace

TEST(AIFollowingPackage, SlowsToAStandstillWhenTheTargetNeverMoves) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeFollower(lua);
    AddPoint(lua, 200.7, 0);
    Capture cap;
    AIFollowingPackage* follow = PushFollower(lua);
    ASSERT_NE(follow, nullptr);
    EXPECT_EQ(follow->GetTargetX(), 200);

    double expected = 2.2;
    double x = 0.0;
    for (int i = 0; i < 7; ++i) {
        npc->Update();
        expected -= 0.3;
        x += expected;
        ASSERT_NEAR(follow->GetSpeed(), expected, 1e-9) << i;
        EXPECT_NEAR(npc->GetDimensions().X, x, 1e-9);
        EXPECT_EQ(MoveState(npc), 1);
        EXPECT_EQ(npc->GetAnimDirection(), 2);
    }
    // 0.1 is within a step of the mean 0: the speed becomes 0, far from the
    // target as it is.
    npc->Update();
    EXPECT_EQ(follow->GetSpeed(), 0.0);
    EXPECT_EQ(MoveState(npc), 0);
    EXPECT_NEAR(npc->GetDimensions().X, x, 1e-9);
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(npc->GetAIQueueLength(), 1);  // never finishes
}

TEST(AIFollowingPackage, MatchesTheTargetsPaceAndStopsNearIt) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeFollower(lua);
    PointWidget* point = AddPoint(lua, 100, 0);
    AIFollowingPackage* follow = PushFollower(lua);
    ASSERT_NE(follow, nullptr);

    // The target runs 25 units a step: the mean pace grows by 1 a step and
    // the speed climbs 0.3 a step through the three paces.
    const double speeds[] = {1.9, 2.0, 2.3, 2.6, 2.9, 3.2};
    const int states[] = {1, 1, 2, 2, 2, 3};
    for (int i = 0; i < 6; ++i) {
        point->x += 25;
        npc->Update();
        EXPECT_NEAR(follow->GetSpeed(), speeds[i], 1e-9) << i;
        EXPECT_EQ(MoveState(npc), states[i]) << i;
    }
    for (int i = 0; i < 10; ++i) {
        point->x += 25;
        npc->Update();
    }
    EXPECT_GT(follow->GetSpeed(), 5.0);
    EXPECT_EQ(MoveState(npc), 3);  // faster than running keeps the state

    // Within 50 units (x 10 of it, y 40 below): stands, speed 0.
    point->x = npc->GetDimensions().X + 10;
    point->y = npc->GetDimensions().Y + 40;
    npc->Update();
    EXPECT_EQ(follow->GetSpeed(), 0.0);
    EXPECT_EQ(MoveState(npc), 0);
    EXPECT_EQ(npc->GetAnimTimer(), 0);
}

TEST(AIFollowingPackage, ScriptFailuresAndBlockedSteps) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeFollower(lua);
    PointWidget* point = AddPoint(lua, 100, 0);
    Capture cap;
    ASSERT_TRUE(lua.Run("AIFP_FollowCoordinates()"));
    ASSERT_TRUE(lua.Run("AIM_CreateObject('R', 'FloatingAIPackageList', 'AIValueRouter') AIFP_FollowCoordinates()"));
    ASSERT_TRUE(lua.Run("NPC_PushAI('follow', -1, 'Follow Target') AIFP_FollowCoordinates('GUI', 'Point')"));
    ASSERT_TRUE(lua.Run("AIFP_FollowCoordinates('GUI', 'Point', 'X', 'GUI', 'Point', nil)"));
    EXPECT_EQ(cap.Take(),
              "AIFP FollowCoordinates:  Failed, ActiveAI was not set\n"
              "AIFP FollowCoordinates:  Failed, ActiveAI was the wrong type\n"
              "AIFP FollowCoordinates:  Failed, invalid argument list\n"
              "AIFP FollowCoordinates:  Failed, invalid argument list\n");

    // No target yet: each step says so and nothing moves.
    npc->Update();
    EXPECT_EQ(cap.Take(), "NPC blocked update, no target\n");
    EXPECT_EQ(npc->GetDimensions().X, 0.0);

    // A missing property or a text is no target; the line dumps both
    // addresses.
    ASSERT_TRUE(lua.Run("AIFP_FollowCoordinates('GUI', 'Point', 'X', 'GUI', 'Point', 'Label')"));
    std::string out = cap.Take();
    EXPECT_EQ(out.rfind("AIFP FollowCoordinates:  Failed, one of the targets was invalid\nDump: ", 0), 0u) << out;
    npc->Update();
    EXPECT_EQ(cap.Take(), "NPC blocked update, no target\n");

    // Once aimed it moves; when the target's owner goes, it is blocked again.
    ASSERT_TRUE(lua.Run("AIFP_FollowCoordinates('GUI', 'Point', 'X', 'GUI', 'Point', 'Y')"));
    npc->Update();
    EXPECT_GT(npc->GetDimensions().X, 0.0);
    lua.Gui().GetTopLevelList()->RemoveValue(point);
    delete point;
    npc->Update();
    EXPECT_EQ(cap.Take(), "NPC blocked update, no target\n");

    // A package nobody synchronised says that instead.
    AIFollowingPackage loose;
    loose.RunAI();
    EXPECT_EQ(cap.Take(), "NPC blocked update, not synched\n");
}

TEST(AIFollowingPackage, DirectionTowardTheTargetWithATenUnitTolerance) {
    // (x, y) of the follower toward a target at (100, 200): x is taken
    // whole, y as it is; the edges of the middle band belong to it.
    struct Case {
        int32_t x;
        double y;
        int32_t direction;
    };
    const Case cases[] = {
        {111, 190.0, 5}, {111, 190.5, 6}, {111, 209.5, 6}, {111, 210.0, 7},  // target to the left
        {110, 190.0, 4}, {110, 210.0, 4}, {110, 210.5, 0}, {90, 210.5, 0},   // above or below it
        {90, 150.0, 4},  {89, 190.0, 3},  {89, 200.0, 2},  {89, 210.0, 1},   // target to the right
    };
    for (const Case& c : cases)
        EXPECT_EQ(AIFollowingPackage::DirectionToward(c.x, c.y, 100, 200), c.direction) << c.x << ", " << c.y;
}

TEST(AIFollowingPackage, AStepThatReachesTheRemainingDistanceIsCutToIt) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeFollower(lua);
    PointWidget* point = AddPoint(lua, 100, 0);
    AIFollowingPackage* follow = PushFollower(lua);
    ASSERT_NE(follow, nullptr);
    // A target running 25 units a step along y = 0 brings the pace to 25.
    for (int i = 0; i < 120; ++i) {
        point->x += 25;
        npc->Update();
    }
    ASSERT_EQ(follow->GetSpeed(), 25.0);
    ASSERT_EQ(npc->GetDimensions().Y, 0.0);
    // Now 18 on and 17 down (a step of about 25): down-right, 25 x 0.707107
    // = 17.68 a component. Its whole part reaches the 17 left on y, so y
    // stops exactly on the target's line; x, far from it, takes the full step.
    const double x = npc->GetDimensions().X;
    point->x += 18;
    point->y = 17;
    npc->Update();
    EXPECT_EQ(npc->GetAnimDirection(), 3);
    EXPECT_EQ(npc->GetDimensions().Y, 17.0);
    EXPECT_NEAR(npc->GetDimensions().X - x, follow->GetSpeed() * 0.707107, 1e-4);
    EXPECT_GT(npc->GetDimensions().X - x, 17.0);
}
