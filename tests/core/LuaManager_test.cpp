#include "core/LuaManager.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/GlobalState.h"
#include "core/Random.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/PathManager.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;
using testsupport::TempDir;

namespace {

// A child script that records what it sees.
const char* kChild =
    "childCode = GetScriptCode()\n"
    "childN0 = LM_GetScriptArgumentNumber(0)\n"
    "childS0 = LM_GetScriptArgumentString(0)\n"
    "childS1 = LM_GetScriptArgumentString(1)\n"
    "childS2 = LM_GetScriptArgumentString(2)\n"
    "childS5 = LM_GetScriptArgumentString(5)\n"
    "childN5 = LM_GetScriptArgumentNumber(5)\n"
    "childRuns = (childRuns or 0) + 1\n";

}  // namespace

TEST(LuaManager, BasePathIsJoinedDirectlyAndNullClearsIt) {
    TempDir dir;
    dir.WriteFile("Scripts/child.lua", kChild);
    dir.WriteFile("child.lua", "rootChild = 1\n");
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("LM_SetBasePath('Scripts/') LM_ExecuteScript('child.lua')"));
    EXPECT_EQ(lua.GetNumber("childRuns"), 1);
    EXPECT_TRUE(lua.IsNil("rootChild"));
    // No separator is inserted: "Scri" + "pts/child.lua".
    ASSERT_TRUE(lua.Run("LM_SetBasePath('Scri') LM_ExecuteScript('pts/child.lua')"));
    EXPECT_EQ(lua.GetNumber("childRuns"), 2);
    ASSERT_TRUE(lua.Run("LM_SetBasePath('NULL') LM_ExecuteScript('child.lua')"));
    EXPECT_EQ(lua.GetNumber("rootChild"), 1);
    EXPECT_EQ(lua.Manager().GetBasePath(), "");
    // Folders written with backslashes open as well.
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('Scripts\\\\child.lua')"));
    EXPECT_EQ(lua.GetNumber("childRuns"), 3);
    EXPECT_EQ(cap.Take(), "");
}

TEST(LuaManager, ScriptCodeSeenByChildScripts) {
    TempDir dir;
    dir.WriteFile("child.lua", kChild);
    dir.WriteFile("Sub/child.lua", "subCode = GetScriptCode()\n");
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('child.lua') a = childCode"));
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('child.lua', 7.9) b = childCode"));
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('child.lua', -3.7, 'extra', 1) c = childCode"));
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', '') d = childCode"));
    EXPECT_EQ(lua.GetNumber("a"), -1);
    EXPECT_EQ(lua.GetNumber("b"), 7);
    EXPECT_EQ(lua.GetNumber("c"), -3);
    EXPECT_EQ(lua.GetNumber("d"), 0);

    // Three arguments: a named path, a file name and a code.
    lua.Paths().AddPath("Sub", "Sub/");
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('Sub', 'child.lua', 4)"));
    EXPECT_EQ(lua.GetNumber("subCode"), 4);
    EXPECT_EQ(cap.Take(), "");
    // An unknown named path warns and runs the file name alone.
    StderrCapture cap2;
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('Nowhere', 'child.lua', 5)"));
    EXPECT_EQ(lua.GetNumber("childCode"), 5);
    EXPECT_EQ(cap2.Take(), "PathManager failed to find Nowhere\n");
}

TEST(LuaManager, ArgumentsWithSkippedLettersMissingValuesAndOutOfRange) {
    TempDir dir;
    dir.WriteFile("child.lua", kChild);
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'NA', 2.5, 'text')"));
    EXPECT_EQ(lua.GetNumber("childN0"), 2.5);
    EXPECT_EQ(lua.GetString("childS1"), "text");
    EXPECT_EQ(lua.GetString("childS5"), "ARGUMENT WAS OUT OF RANGE");
    EXPECT_EQ(lua.GetNumber("childN5"), 0);
    // A number slot read as text is nil (not its bytes).
    EXPECT_TRUE(lua.IsNil("childS0"));

    // 'x' skips its value; the filled slots are indexed from 0.
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'AxA', 'first', 'skipped', 'third')"));
    EXPECT_EQ(lua.GetString("childS0"), "first");
    EXPECT_EQ(lua.GetString("childS1"), "third");
    EXPECT_TRUE(lua.IsNil("childS2"));
    EXPECT_EQ(lua.GetNumber("childN0"), 0);  // a text slot read as a number

    // Fewer values than letters: the missing slots stay empty.
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'AAA', 'only')"));
    EXPECT_EQ(lua.GetString("childS0"), "only");
    EXPECT_TRUE(lua.IsNil("childS1"));
    EXPECT_TRUE(lua.IsNil("childS2"));
    // An 'A' value that is no text leaves its slot empty too.
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'AA', {}, 'second')"));
    EXPECT_EQ(lua.GetString("childS0"), "second");
    EXPECT_TRUE(lua.IsNil("childS1"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(lua.GetNumber("childRuns"), 4);
}

TEST(LuaManager, NestedRunsKeepTheOuterScriptsContext) {
    TempDir dir;
    dir.WriteFile("child.lua", kChild);
    dir.WriteFile("outer.lua",
                  "before = GetScriptCode()\n"
                  "LM_ExecuteScript('child.lua', 9)\n"
                  "LM_ExecuteScriptWithArguments('child.lua', 'A', 'inner')\n"
                  "RunFromC('child.lua')\n"
                  "after = GetScriptCode()\n"
                  "outerArg = LM_GetScriptArgumentNumber(0)\n"
                  "outerText = GetScriptString()\n"
                  "outerCallerKept = CallerIsFirst()\n");
    LuaTestState lua;
    static RootEntity* const kFirst = reinterpret_cast<RootEntity*>(0x1000);
    static RootEntity* const kSecond = reinterpret_cast<RootEntity*>(0x2000);
    // Engine code that runs a script for another entity, as an object's
    // script would be run from inside a map script.
    lua_register(lua.L(), "RunFromC", [](lua_State* L) -> int {
        LuaManager* manager = GetGlobalState()->luaManager;
        LuaManager::ContextGuard guard(*manager);
        manager->SetCallerEntity(kSecond);
        manager->SetScriptString("inner string");
        manager->RunFile(lua_tostring(L, 1), 11);
        return 0;
    });
    lua_register(lua.L(), "CallerIsFirst", [](lua_State* L) -> int {
        lua_pushboolean(L, GetGlobalState()->luaManager->GetCallerEntity() == kFirst);
        return 1;
    });
    lua.Manager().SetCallerEntity(kFirst);
    lua.Manager().SetScriptString("outer string");
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('outer.lua', 'N', 3.5)"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(lua.GetNumber("childRuns"), 3);
    EXPECT_EQ(lua.GetNumber("childCode"), 11);
    EXPECT_EQ(lua.GetNumber("before"), 0);
    EXPECT_EQ(lua.GetNumber("after"), 0);
    EXPECT_EQ(lua.GetNumber("outerArg"), 3.5);
    EXPECT_EQ(lua.GetString("outerText"), "outer string");
    lua_getglobal(lua.L(), "outerCallerKept");
    EXPECT_TRUE(lua_toboolean(lua.L(), -1));
    lua_pop(lua.L(), 1);

    // A caller that goes away during a nested run is not brought back.
    lua.Manager().SaveContext();
    lua.Manager().ForgetEntity(kFirst);
    lua.Manager().RestoreContext();
    EXPECT_EQ(lua.Manager().GetCallerEntity(), nullptr);
}

TEST(LuaManager, LoadAndRunErrorsAreReportedAndTheStateStaysUsable) {
    TempDir dir;
    dir.WriteFile("broken.lua", "x = = 1\n");
    dir.WriteFile("throws.lua", "partial = 1\nerror('boom')\n");
    dir.WriteFile("returns.lua", "return 1, 2, 3\n");
    dir.WriteFile("good.lua", "good = GetScriptCode()\n");
    LuaTestState lua;
    LuaManager& manager = lua.Manager();
    int top = lua_gettop(lua.L());

    StderrCapture cap;
    EXPECT_FALSE(manager.RunFile("broken.lua", 1));
    EXPECT_EQ(cap.Take(), "Lua Error during Loading: broken.lua:1: unexpected symbol near '='\n");
    StderrCapture cap2;
    EXPECT_FALSE(manager.RunFile("throws.lua", 2));
    EXPECT_EQ(cap2.Take(), "Lua Error during Execution: throws.lua:2: boom\n");
    EXPECT_EQ(lua.GetNumber("partial"), 1);
    StderrCapture cap3;
    EXPECT_FALSE(manager.RunFile("missing.lua", 3));
    EXPECT_EQ(cap3.Take(), "Lua Error during Loading: cannot open missing.lua: No such file or directory\n");
    EXPECT_EQ(manager.GetLastStatus(), 0);

    // Results are dropped; the stack never grows.
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(manager.RunFile("returns.lua", 0));
    EXPECT_TRUE(manager.RunFile("good.lua", 4));
    EXPECT_EQ(lua.GetNumber("good"), 4);
    EXPECT_EQ(lua_gettop(lua.L()), top);

    // The same reports when the script is started from a script.
    StderrCapture cap4;
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('throws.lua') afterError = 1"));
    EXPECT_EQ(cap4.Take(), "Lua Error during Execution: throws.lua:2: boom\n");
    EXPECT_EQ(lua.GetNumber("afterError"), 1);

    // Execute with nothing loaded reports instead of calling whatever is on
    // the stack.
    StderrCapture cap5;
    EXPECT_FALSE(manager.Execute());
    EXPECT_EQ(cap5.Take(), "Lua Error during Execution: no script loaded\n");
}

TEST(LuaManager, RandomNumberRanges) {
    LuaTestState lua;
    std::vector<int> draws;
    int next = 0;
    SetRandomSource([&] {
        draws.push_back(next);
        return next++;
    });
    StderrCapture cap;
    ASSERT_TRUE(lua.Run(
        "same = Get_Random_Number(3, 3)\n"
        "dice = {} for i = 1, 12 do dice[i] = Get_Random_Number(1, 6) end\n"
        "inverted = Get_Random_Number(5, 2)\n"
        "wide = Get_Random_Number(-2147483648, 2147483647)\n"
        "truncated = Get_Random_Number(1.9, 2.9)\n"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(lua.GetNumber("same"), 3);
    for (int i = 1; i <= 12; ++i) {
        lua.Run("d = dice[" + std::to_string(i) + "]");
        EXPECT_EQ(lua.GetNumber("d"), 1 + i % 6) << i;  // draws 1..12
    }
    EXPECT_EQ(lua.GetNumber("inverted"), 5);
    EXPECT_EQ(lua.GetNumber("wide"), -2147483648.0 + 13);  // no overflow of the span
    EXPECT_EQ(lua.GetNumber("truncated"), 1 + 14 % 2);

    // A wrong count is reported but still answers, from the first two
    // arguments (missing ones are 0).
    StderrCapture cap2;
    ASSERT_TRUE(lua.Run("one = Get_Random_Number(5) neg = Get_Random_Number(-3) "
                        "none = Get_Random_Number() three = Get_Random_Number(1, 1, 9)"));
    std::string line = "Get Random Number:  Failed, invalid argument list\n";
    EXPECT_EQ(cap2.Take(), line + line + line + line);
    EXPECT_EQ(lua.GetNumber("one"), 5);    // empty range: the lower bound, no division by zero
    EXPECT_EQ(lua.GetNumber("neg"), 0);    // -3 + 15 % 4
    EXPECT_EQ(lua.GetNumber("none"), 0);
    EXPECT_EQ(lua.GetNumber("three"), 1);
    // The inverted and one-argument calls took no draw.
    EXPECT_EQ(draws.size(), 18u);
    SetRandomSource(nullptr);
}

TEST(LuaManager, PointWithinRectTruncatesDebugModeAndScriptString) {
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(lua.Run(
        "edge = GN_IsPointWithinRect(2.9, 0, 0, 0, 2, 2)\n"
        "outside = GN_IsPointWithinRect(3, 0, 0, 0, 2, 2)\n"
        "negative = GN_IsPointWithinRect(-0.9, 1, 0, 0, 2, 2)\n"
        "above = GN_IsPointWithinRect(1, -1, 0, 0, 2, 2)\n"
        "noText = GetScriptString()\n"
        "Activate_Debug_Mode()\n"));
    EXPECT_EQ(lua.GetNumber("edge"), 1);
    EXPECT_EQ(lua.GetNumber("outside"), 0);
    EXPECT_EQ(lua.GetNumber("negative"), 1);
    EXPECT_EQ(lua.GetNumber("above"), 0);
    EXPECT_TRUE(lua.IsNil("noText"));
    EXPECT_TRUE(lua.Manager().IsDebugMode());
    ASSERT_TRUE(lua.Run("Deactivate_Debug_Mode()"));
    EXPECT_FALSE(lua.Manager().IsDebugMode());
    EXPECT_EQ(cap.Take(), "Activating Lua debug mode\nDeactivating Lua debug mode\n");
    lua.Manager().SetScriptString("hello");
    ASSERT_TRUE(lua.Run("text = GetScriptString()"));
    EXPECT_EQ(lua.GetString("text"), "hello");
}

TEST(LuaManager, FunctionsFailWithALineWhenTheManagerIsGone) {
    LuaTestState lua;
    GlobalState* state = GetGlobalState();
    LuaManager* manager = state->luaManager;
    PathManager* paths = state->pathManager;
    state->luaManager = nullptr;
    state->pathManager = nullptr;
    StderrCapture cap;
    bool ok = lua.Run(
        "code = GetScriptCode() LM_ExecuteScript('x.lua') LM_ExecuteScript('P', 'x.lua', 1) "
        "LM_SetBasePath('a') arg = LM_GetScriptArgumentString(0)");
    std::string out = cap.Take();
    state->luaManager = manager;
    state->pathManager = paths;
    ASSERT_TRUE(ok) << lua.LastError();
    EXPECT_EQ(out,
              "GetScriptCode:  Failed, LuaManager does not exist\n"
              "LM ExecuteScript:  Failed, LuaManager does not exist\n"
              "LM ExecuteScript:  Failed, PathManager does not exist\n"
              "LM SetBasePath  Failed, LuaManager does not exist\n"
              "LM_GetScriptArgumentString:  Failed, LuaManager does not exist\n");
    EXPECT_TRUE(lua.IsNil("code"));
    EXPECT_TRUE(lua.IsNil("arg"));
}
