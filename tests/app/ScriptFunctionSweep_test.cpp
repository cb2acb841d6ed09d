// Every registered script function, called with every bad argument shape:
// nothing raises a Lua error, nothing crashes (the sanitizer build checks
// memory and undefined behaviour on the same calls), and the state stays
// usable. A function that needs arguments says so when it gets none.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/ScriptFunctionList.h"
#include "core/base/GlobalState.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

using testsupport::StderrCapture;

namespace {

// Lua expressions of one bad argument each; `long` and `zero` are globals
// the sweep sets up.
const std::vector<std::string>& BadValues() {
    static const std::vector<std::string> values = {
        "nil",     "true",       "false", "{}",  "function() end", "0/0",  "1/0", "-1/0", "1e300", "-1e300", "2^31",
        "-2^31-1", "4294967296", "-1",    "'' ", "zero",           "long",
    };
    return values;
}

// Functions that take no arguments: they may do their work silently when
// called without any.
const std::set<std::string>& TakeNoArguments() {
    static const std::set<std::string> names = {
        "GetScriptCode",
        "GetScriptString",
        "Activate_Debug_Mode",
        "Deactivate_Debug_Mode",
        "NPC_ClearAIQueue",
        "BackgroundManager_DisableFill",
        "GUI_HideAllObjects",
        "Path_SetRootToLocal",
        "DL_PushActiveEntity",
        "DL_PopActiveEntity",
        "EIM_CloseFile",
        "DM_ManualActivate",
        "NPC_WorldEnemy_Setup",
        "CombatManager_ClearPreloadList",
        "CombatManager_InitiateCombat",
        "FSpriteAnim_FinishAndLock",
        "FSpriteDL_CreateAndPush",
        "DL_CreateHotFieldSpriteAnimation",
        "PartyManager_ClearParty",
        "PartyManager_RestoreParty",
        // Accepted and ignored whatever it is given.
        "IP_AddEquipEffect",
    };
    return names;
}

class ScriptFunctionSweep : public ::testing::Test {
protected:
    // A fresh engine state for each function, with a character and a world
    // object to act on, the one or the other active.
    void SetTheScene(const std::string& function) {
        StderrCapture quiet;
        state.reset();
        state = std::make_unique<testsupport::LuaTestState>();
        testsupport::LuaTestState& lua = *state;
        ASSERT_TRUE(lua.Run("long = string.rep('x', 100000) zero = 'a\\0b'"));
        EntityManager& entities = lua.Entities();
        auto* npc = new NonPlayingCharacter;
        entities.RegisterPointer(EntityManager::kNPC, "Sweep", npc);
        lua.Run("EM_OBJ_CreateObject('SweepObject', 'StaticAutoScript')");
        const bool objectFunction = function.rfind("OBJ", 0) == 0 || function.rfind("Hook_OBJ", 0) == 0;
        if (!objectFunction) entities.SetActiveEntity(npc);
    }

    // Calls the function through pcall with the arguments; false when it
    // raised a Lua error (the message is kept).
    bool CallSafely(const std::string& function, const std::string& arguments) {
        lua_State* L = state->L();
        const int top = lua_gettop(L);
        const std::string chunk = "return pcall(" + function + (arguments.empty() ? "" : ", " + arguments) + ")";
        bool ok = luaL_loadstring(L, chunk.c_str()) == 0 && lua_pcall(L, 0, 2, 0) == 0 && lua_toboolean(L, -2);
        if (!ok) error = function + "(" + arguments + "): " + (lua_isstring(L, -1) ? lua_tostring(L, -1) : "?");
        lua_settop(L, top);
        return ok;
    }

    testsupport::TempDir dir;
    std::unique_ptr<testsupport::LuaTestState> state;
    std::string error;
};

TEST_F(ScriptFunctionSweep, BadArgumentsNeverRaiseAnError) {
    std::vector<std::string> failures;
    for (const std::string& function : AllScriptFunctionNames()) {
        SetTheScene(function);
        StderrCapture quiet;
        std::vector<std::string> shapes = {"1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13"};
        for (const std::string& value : BadValues()) {
            std::string list = value;
            for (int count = 1; count <= 8; ++count, list += ", " + value) shapes.push_back(list);
        }
        for (const std::string& arguments : shapes)
            if (!CallSafely(function, arguments)) failures.push_back(error);
        quiet.Take();
        // The state still runs scripts.
        ASSERT_TRUE(state->Run("sweepCheck = 1 + 1")) << function << " left the state broken: " << state->LastError();
        ASSERT_EQ(state->GetNumber("sweepCheck"), 2) << function;
    }
    EXPECT_TRUE(failures.empty()) << failures.size() << " calls raised errors, the first: " << failures.front();
}

TEST_F(ScriptFunctionSweep, MissingArgumentsPrintALine) {
    std::vector<std::string> silent;
    for (const std::string& function : AllScriptFunctionNames()) {
        if (TakeNoArguments().count(function)) continue;
        SetTheScene(function);
        StderrCapture cap;
        EXPECT_TRUE(CallSafely(function, "")) << error;
        if (cap.Take().empty()) silent.push_back(function);
    }
    std::string names;
    for (const std::string& name : silent) names += name + " ";
    EXPECT_TRUE(silent.empty()) << "called without arguments, these print nothing: " << names;
}

}  // namespace
