// A transition zone that leads to a random floor: the map manager moves one
// floor every tick the player stands inside.
#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "maps/MapManager.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/ObjectStaticTransition.h"
#include "world/PlayerVorn.h"
#include "world/WithPlayer.h"

using testsupport::LuaTestState;
using testsupport::Stderr;
using testsupport::WithPlayer;

namespace {

TEST(ObjectStaticTransition, RandomLevelMovesOneFloorEveryTickInside) {
    LuaTestState lua;
    WithPlayer with;
    with.player.SetPosition(10.0f, 10.0f, 0.0f);
    ObjectStaticTransition stairs;
    stairs.AddCircle(10.0f, 10.0f, 2.0f);
    stairs.SetLevelDestination("MAPRANDOM");
    stairs.SetEntityDestination("StairsUp");
    std::string out = Stderr([&] {
        stairs.Update();
        stairs.Update();
    });
    EXPECT_EQ(out, "Current floor is 1\nCurrent floor is 2\n");
    // The object's own request replaces the floor change's.
    EXPECT_EQ(GetTransitionState().entityMode, 1);
    EXPECT_EQ(GetTransitionState().entityName, "StairsUp");
}

}  // namespace
