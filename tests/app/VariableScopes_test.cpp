#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "core/script/ScriptVariableSet.h"
#include "maps/MapManager.h"
#include "support/EmptySlotRun.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

TEST(ScriptVariableSet, DuplicatesAbsentNamesAndPositions) {
    ScriptVariableSet set;
    EXPECT_FALSE(set.SetNumber("x", 1));
    set.AddString("a", "head");
    set.AddNumber("x", 1);
    set.AddNumber("x", 2);
    set.AddNumber("x", 3);
    EXPECT_TRUE(set.SetNumber("x", 10));
    EXPECT_EQ(set.GetNumberAt(1), 10);
    EXPECT_EQ(set.GetNumberAt(2), 2);
    // Deleting takes the first "x" (the one lookups find), even when it is
    // neither head nor tail.
    set.Delete("x");
    EXPECT_EQ(set.GetNumber("x"), 2);
    set.Delete("x");
    EXPECT_EQ(set.GetNumber("x"), 3);
    set.Delete("missing");
    EXPECT_EQ(set.GetCount(), 2);
    EXPECT_EQ(*set.GetStringAt(0), "head");
    EXPECT_EQ(set.GetStringAt(1), nullptr);
    EXPECT_EQ(set.GetStringAt(-1), nullptr);
    EXPECT_EQ(set.GetNumberAt(5), 0);
    set.AddNumber("big", 1e20f);  // beyond 32 bits: clamped, not undefined
    EXPECT_EQ(set.GetNumber("big"), INT32_MAX);
    // A name with a zero byte is found and deleted alike.
    const std::string zero("z\0z", 3);
    set.AddNumber(zero, 4);
    EXPECT_EQ(set.GetNumber(zero), 4);
    set.Delete(zero);
    EXPECT_EQ(set.GetNumber(zero), -100);
    set.Clear();
    EXPECT_EQ(set.GetCount(), 0);
}

TEST(ScriptVariableSet, GlobalFunctionsFromScripts) {
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(
        lua.Run("absentI = Global_GetScriptVariableI('never')\n"
                "absentA = Global_GetScriptVariableA('never')\n"
                "r1 = Global_AddScriptVariableI('x', 2.7)\n"
                "r2 = Global_AddScriptVariableI('x', -2.7)\n"
                "r3 = Global_SetScriptVariableI('x', 5)\n"
                "first = Global_GetScriptVariableI('x')\n"
                "r4 = Global_DeleteScriptVariable('x')\n"
                "second = Global_GetScriptVariableI('x')\n"
                "r5 = Global_SetScriptVariableI('missing', 1)\n"
                "r6 = Global_AddScriptVariableA('name', 'Vey')\n"
                "name = Global_GetScriptVariableA('name')\n"
                "nameI = Global_GetScriptVariableI('name')\n"
                "r7 = Global_SetScriptVariableA('x', 'now text')\n"
                "xI = Global_GetScriptVariableI('x')\n"
                "xA = Global_GetScriptVariableA('x')\n"
                "Global_SetScriptVariableI('name', 12)\n"
                "nameA = Global_GetScriptVariableA('name')\n"
                "nameN = Global_GetScriptVariableI('name')\n"
                "numberAsText = Global_AddScriptVariableA(7, 8)\n"
                "seven = Global_GetScriptVariableA(7)\n"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(lua.GetNumber("absentI"), -100);
    EXPECT_TRUE(lua.IsNil("absentA"));
    for (const char* result : {"r1", "r2", "r3", "r4", "r5", "r6", "r7", "numberAsText"})
        EXPECT_EQ(lua.GetNumber(result), 1) << result;
    EXPECT_EQ(lua.GetNumber("first"), 5);
    EXPECT_EQ(lua.GetNumber("second"), -2);  // -2.7 truncates toward zero
    EXPECT_EQ(lua.GetString("name"), "Vey");
    EXPECT_EQ(lua.GetNumber("nameI"), 0);
    EXPECT_EQ(lua.GetNumber("xI"), 0);
    EXPECT_EQ(lua.GetString("xA"), "now text");
    EXPECT_TRUE(lua.IsNil("nameA"));
    EXPECT_EQ(lua.GetNumber("nameN"), 12);
    EXPECT_EQ(lua.GetString("seven"), "8");
    EXPECT_EQ(lua.GlobalVariables().GetCount(), 3);  // x, name, 7: "missing" was not added
}

TEST(ScriptVariableSet, ScopesWithoutTheirOwnerSayWhy) {
    LuaTestState lua;
    StderrCapture cap;
    // No character yet (the bad-argument cases are in the table of bad
    // calls).
    ASSERT_TRUE(lua.Run("a = NPC_AddScriptVariableI('x', 1) b = NPC_GetScriptVariableA('x')"));
    EXPECT_EQ(cap.Take(),
              "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n"
              "NPC AddScriptVariableI:  Failed, Active NPC not set\n"
              "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n"
              "NPC AddScriptVariableI:  Failed, Active NPC not set\n");
    for (const char* result : {"a", "b"}) EXPECT_TRUE(lua.IsNil(result)) << result;

    // Before the map manager exists.
    MapManager* maps = GetGlobalState()->mapManager;
    const auto [mapOk, mapOut] = testsupport::RunWithEmptySlot(
        lua, &GlobalState::mapManager, "c = Env_AddScriptVariableI('x', 1) d = Env_GetScriptVariableA('x')");
    ASSERT_TRUE(mapOk);
    EXPECT_EQ(mapOut,
              "Env AddScriptVariableI:  Failed, MapManager does not exist\n"
              "Env GetScriptVariableA:  Failed, MapManager does not exist\n");
    for (const char* result : {"c", "d"}) EXPECT_TRUE(lua.IsNil(result)) << result;
    EXPECT_EQ(maps->GetEnvironmentVariables()->GetCount(), 0);

    // Before the global set exists.
    ScriptVariableSet* globals = GetGlobalState()->globalVariables;
    const auto [ok, out] =
        testsupport::RunWithEmptySlot(lua, &GlobalState::globalVariables,
                                      "h = Global_GetScriptVariableI('x') i = Global_AddScriptVariableA('x', 'y')");
    ASSERT_TRUE(ok);
    EXPECT_EQ(out,
              "Global GetScriptVariableI:  Failed, ScriptVariableSet does not exist\n"
              "Global AddScriptVariableA:  Failed, ScriptVariableSet does not exist\n");
    EXPECT_TRUE(lua.IsNil("h"));
    EXPECT_TRUE(lua.IsNil("i"));
    EXPECT_EQ(globals->GetCount(), 0);
}

TEST(ScriptVariableSet, EnvironmentFunctionsUseTheMapsSetAcrossMapChanges) {
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(
        lua.Run("r1 = Env_AddScriptVariableI('x', 1)\n"
                "r2 = Env_AddScriptVariableI('x', 2)\n"
                "r3 = Env_SetScriptVariableI('x', 9.9)\n"
                "r4 = Env_DeleteScriptVariable('x')\n"
                "x = Env_GetScriptVariableI('x')\n"
                "r5 = Env_AddScriptVariableI('door', 4)\n"
                "r6 = Env_SetScriptVariableA('door', 'open')\n"
                "doorI = Env_GetScriptVariableI('door')\n"
                "doorA = Env_GetScriptVariableA('door')\n"
                "r7 = Env_SetScriptVariableA('missing', 'y')\n"
                "missingA = Env_GetScriptVariableA('missing')\n"
                "MapM_TransitionMap('MAPNONE')\n"
                "afterLoad = Env_GetScriptVariableA('door')\n"));
    EXPECT_EQ(cap.Take(), "");
    for (const char* result : {"r1", "r2", "r3", "r4", "r5", "r6", "r7"}) EXPECT_EQ(lua.GetNumber(result), 1) << result;
    EXPECT_EQ(lua.GetNumber("x"), 2);  // the first "x" took 9.9 and was deleted
    EXPECT_EQ(lua.GetNumber("doorI"), 0);
    EXPECT_EQ(lua.GetString("doorA"), "open");
    EXPECT_TRUE(lua.IsNil("missingA"));
    // A map change keeps the environment's variables.
    EXPECT_EQ(lua.GetString("afterLoad"), "open");
    ScriptVariableSet* environment = lua.Maps().GetEnvironmentVariables();
    EXPECT_EQ(environment->GetCount(), 2);
    EXPECT_EQ(lua.GlobalVariables().GetCount(), 0);  // the scopes stay apart
}

namespace {

// Stands in for the player as the entity manager sees it: type 3999, not a
// character of its own.
class PlayerLikeEntity : public RootEntity {
public:
    PlayerLikeEntity() { m_type = kTypePlayer; }
};

}  // namespace

TEST(ScriptVariableSet, CharacterScopeUsesTheActiveCharacterOnly) {
    LuaTestState lua;
    auto* first = new NonPlayingCharacter;
    auto* second = new NonPlayingCharacter;
    lua.Entities().RegisterPointer(EntityManager::kNPC, "First", first);
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Second", second);

    lua.Entities().SetActiveEntity(first);
    ASSERT_TRUE(lua.Run("a = NPC_AddScriptVariableI('hp', 7.9) NPC_AddScriptVariableA('mood', 'calm')"));
    lua.Entities().SetActiveEntity(second);
    ASSERT_TRUE(lua.Run("b = NPC_GetScriptVariableI('hp') NPC_AddScriptVariableI('hp', 2)"));
    lua.Entities().SetActiveEntity(first);
    ASSERT_TRUE(lua.Run("c = NPC_GetScriptVariableI('hp') d = NPC_GetScriptVariableA('mood')"));
    EXPECT_EQ(lua.GetNumber("a"), 1);
    EXPECT_EQ(lua.GetNumber("b"), -100);  // the second character has its own set
    EXPECT_EQ(lua.GetNumber("c"), 7);
    EXPECT_EQ(lua.GetString("d"), "calm");
    EXPECT_EQ(first->GetVariableList()->GetCount(), 2);
    EXPECT_EQ(second->GetVariableList()->GetCount(), 1);

    // The player passes the entity manager's character test but has no
    // character variables: nothing is touched.
    PlayerLikeEntity player;
    lua.Entities().SetActiveEntity(&player);
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("e = NPC_AddScriptVariableI('x', 1)"));
    EXPECT_EQ(cap.Take(), "NPC AddScriptVariableI:  Failed, Active NPC not set\n");
    EXPECT_TRUE(lua.IsNil("e"));
    lua.Entities().ClearActiveEntity();
}
