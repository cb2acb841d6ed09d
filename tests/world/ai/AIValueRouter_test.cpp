// The floating packages scripts create with AIM_CreateObject (value routers,
// scaled routers, auto scripts) and the frame setter of NPC_PushAI.
#include "world/ai/AIValueRouter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "AITestObjects.h"
#include "support/LuaTestState.h"
#include "support/TempDir.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/ai/AIAutoScriptPackage.h"
#include "world/ai/AIFrameSetter.h"
#include "world/ai/AIManager.h"
#include "world/ai/AIValueScaleRouter.h"

using aitest::Capture;
using aitest::FlagWidget;
using testsupport::LuaTestState;

TEST(AIValueRouter, CopiesAnIntegerEveryTickOnceWired) {
    LuaTestState lua;
    FlagWidget* from = aitest::AddFlagWidget("From");
    FlagWidget* to = aitest::AddFlagWidget("To");
    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('Copy', 'FloatingAIPackageList', 'AIValueRouter') t = AI_GetType()\n"
                "a = AIVR_SyncPointer('GUI', 'From', 'AnimTimer', 'GUI', 'To', 'AnimDirection')"));
    EXPECT_EQ(lua.GetNumber("t"), 1300);
    EXPECT_EQ(lua.GetNumber("a"), 1);
    from->animTimer = 17;
    lua.AI().UpdateFloatingAI();
    EXPECT_EQ(to->animDirection, 17);
    from->animTimer = -4;
    lua.AI().UpdateFloatingAI();
    EXPECT_EQ(to->animDirection, -4);

    // Only integers are wired; a failure keeps the wiring there was.
    ASSERT_TRUE(
        lua.Run("b = select('#', AIVR_SyncPointer('GUI', 'From', 'St|Walking', 'GUI', 'To', 'AnimTimer'))\n"
                "AIVR_SyncPointer('GUI', 'From', 'AnimTimer', 'GUI', 'Nobody', 'AnimTimer')"));
    EXPECT_EQ(lua.GetNumber("b"), 0);
    EXPECT_EQ(cap.Take(),
              "AIVR_SyncPointer: Source was not an integer.\n"
              "AIVR_SyncPointer: Destination was not an integer.\n");
    from->animTimer = 5;
    lua.AI().UpdateFloatingAI();
    EXPECT_EQ(to->animDirection, 5);

    // The destination's owner goes: the router stops writing, without harm.
    aitest::DeleteFlagWidget(to);
    lua.AI().UpdateFloatingAI();

    // The wrong active object, and the warnings of an unwired router.
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('S', 'FloatingAIPackageList', 'AIValueScaleRouter')\n"
                "AIVR_SyncPointer('GUI', 'From', 'AnimTimer', 'GUI', 'From', 'AnimTimer')"));
    AIValueRouter loose;
    loose.SetPointers("GUI", "Nobody", "X", "GUI", "Nobody", "Y");
    loose.RunAI();
    EXPECT_EQ(cap.Take(),
              "AIVR_SyncPointer: Active AI was not set, or not a Value Router.\n"
              "AIVR:  Warning, Source pointer is NULL\n"
              "AIVR:  Warning, Destination pointer is NULL\n");
    aitest::DeleteFlagWidget(from);
}

TEST(AIValueScaleRouter, ScalesAndTruncatesTowardZero) {
    LuaTestState lua;
    FlagWidget* widget = aitest::AddFlagWidget("W");
    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('Half', 'FloatingAIPackageList', 'AIValueScaleRouter')\n"
                "a = AIVSR_SyncPointer('GUI', 'W', 'AnimTimer', 'GUI', 'W', 'AnimDirection')\n"
                "b = AIVSR_SetScaler(0.5)"));
    EXPECT_EQ(lua.GetNumber("a"), 1);
    EXPECT_EQ(lua.GetNumber("b"), 1);
    widget->animTimer = 7;
    lua.AI().UpdateFloatingAI();
    EXPECT_EQ(widget->animDirection, 3);
    widget->animTimer = -7;
    lua.AI().UpdateFloatingAI();
    EXPECT_EQ(widget->animDirection, -3);

    // Out-of-range products clamp; 0 x infinity gives 0.
    ASSERT_TRUE(lua.Run("AIVSR_SetScaler(1e300)"));
    auto* router = static_cast<AIValueScaleRouter*>(lua.AI().GetActiveAIObject());
    EXPECT_TRUE(std::isinf(router->GetScaler()));
    widget->animTimer = 7;
    lua.AI().UpdateFloatingAI();
    EXPECT_EQ(widget->animDirection, INT32_MAX);
    widget->animTimer = 0;
    lua.AI().UpdateFloatingAI();
    EXPECT_EQ(widget->animDirection, 0);
    EXPECT_EQ(cap.Take(), "");

    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('Copy', 'FloatingAIPackageList', 'AIValueRouter')\n"
                "AIVSR_SetScaler(2) AIVSR_SyncPointer('GUI', 'W', 'AnimTimer', 'GUI', 'W', 'AnimTimer')\n"
                "AIM_CreateObject('Half2', 'FloatingAIPackageList', 'AIValueScaleRouter')\n"
                "AIVSR_SyncPointer('GUI', 'W', 'St|Walking', 'GUI', 'W', 'AnimTimer')\n"
                "AIVSR_SyncPointer('GUI', 'W', 'AnimTimer', 'GUI', 'W', 'St|Walking')"));
    EXPECT_EQ(cap.Take(),
              "AIVSR_SyncPointer: Active AI was not set, or not a Value Scale Router.\n"
              "AIVSR_SyncPointer: Active AI was not set, or not a Value Scale Router.\n"
              "AIVSR_SyncPointer: Source was not an integer.\n"
              "AIVSR_SyncPointer: Destination was not an integer.\n");
    aitest::DeleteFlagWidget(widget);
}

TEST(AIFrameSetter, ForcesOnlyTheValuesGiven) {
    LuaTestState lua;
    auto* npc = new NonPlayingCharacter;
    npc->SetInternalName("Posed");
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Posed", npc);
    lua.Entities().SetActiveEntity(npc);
    npc->SetAnimTimerAndDirection(9, 4);
    ASSERT_TRUE(lua.Run("NPC_PushAI('pose', 3, 'Force Frame', -1, 2) t = AI_GetType()"));
    EXPECT_EQ(lua.GetNumber("t"), 1400);
    npc->Update();
    EXPECT_EQ(npc->GetAnimTimer(), 9);
    EXPECT_EQ(npc->GetAnimDirection(), 2);
    npc->SetAnimTimerAndDirection(9, 6);
    npc->Update();
    EXPECT_EQ(npc->GetAnimDirection(), 2);  // forced again every step
    ASSERT_TRUE(lua.Run("NPC_PushAI('pose2', 1, 'Force Frame', 5, -1)"));
    npc->Update();  // the third and last step of the first
    npc->Update();
    EXPECT_EQ(npc->GetAnimTimer(), 5);
    EXPECT_EQ(npc->GetAnimDirection(), 2);
    EXPECT_EQ(npc->GetAIQueueLength(), 0);

    // Unbound fields are skipped.
    AIFrameSetter loose;
    loose.SetValues(1, 1);
    loose.RunAI();
}

TEST(AIAutoScriptPackage, RunsItsScriptEachStepAsTheActiveObject) {
    testsupport::TempDir dir;
    // Each run counts, records its code and the active object's type, and
    // adds a floating router; the third run deletes its own package.
    dir.WriteFile("Tick.lua",
                  "runs = (runs or 0) + 1 code = GetScriptCode() kind = AI_GetType()\n"
                  "AIM_CreateObject('Made' .. runs, 'FloatingAIPackageList', 'AIValueRouter')\n"
                  "if runs == 3 then AIM_DeleteObject('FloatingAIPackageList', 'Tick') end\n");
    LuaTestState lua;
    AIManager& ai = lua.AI();
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('Tick', 'FloatingAIPackageList', 'AIAutoScript', 'Tick.lua', 12)\n"
                "AIM_CreateObject('Quiet', 'FloatingAIPackageList', 'AIAutoScript')"));
    ai.UpdateFloatingAI();
    EXPECT_EQ(lua.GetNumber("runs"), 1);
    EXPECT_EQ(lua.GetNumber("code"), 12);
    EXPECT_EQ(lua.GetNumber("kind"), 1302);
    // A package made during the walk runs from the next tick on.
    EXPECT_EQ(ai.GetCount(AIManager::kFloatingList), 3);
    ai.UpdateFloatingAI();
    ai.UpdateFloatingAI();
    EXPECT_EQ(lua.GetNumber("runs"), 3);
    EXPECT_EQ(ai.GetFloatingPackage("Tick"), nullptr);
    ai.UpdateFloatingAI();
    EXPECT_EQ(lua.GetNumber("runs"), 3);

    // Queued on a character with a time, it runs that many steps.
    auto* npc = new NonPlayingCharacter;
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Scripted", npc);
    lua.Entities().SetActiveEntity(npc);
    dir.WriteFile("Fire.lua", "fired = (fired or 0) + 1 fireCode = GetScriptCode()\n");
    ASSERT_TRUE(lua.Run("NPC_PushAI('fire', 2, 'Fire Script', 'Fire.lua', 7)"));
    for (int i = 0; i < 4; ++i) npc->Update();
    EXPECT_EQ(lua.GetNumber("fired"), 2);
    EXPECT_EQ(lua.GetNumber("fireCode"), 7);

    // A script set with an empty path is still a script: the host says it
    // cannot open it.
    ASSERT_TRUE(lua.Run("NPC_PushAI('empty', 1, 'Fire Script', '', 7)"));
    Capture cap;
    npc->Update();
    EXPECT_EQ(cap.Take().rfind("Lua Error during Loading: cannot open ", 0), 0u);
}
