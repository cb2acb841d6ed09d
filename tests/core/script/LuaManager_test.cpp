#include "core/script/LuaManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "core/base/GlobalState.h"
#include "core/base/Random.h"
#include "core/script/PathManager.h"
#include "core/script/ScriptArgs.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;
using testsupport::TempDir;

namespace {

// A child script that records what it sees.
const char* kChild =
    "childCode = GetScriptCode()\n"
    "childN0 = LM_GetScriptArgumentNumber(0)\n"
    "childS0, childS1, childS2 = LM_GetScriptArgumentString(0), LM_GetScriptArgumentString(1), "
    "LM_GetScriptArgumentString(2)\n"
    "childS5 = LM_GetScriptArgumentString(5)\n"
    "childRuns = (childRuns or 0) + 1\n";

}  // namespace

TEST(LuaManager, BasePathIsJoinedDirectlyNullClearsItAndBackslashesOpen) {
    TempDir dir;
    dir.WriteFile("Scripts/child.lua", kChild);
    dir.WriteFile("child.lua", "rootChild = 1\n");
    LuaTestState lua;
    StderrCapture cap;
    // No separator is inserted: "Scri" + "pts/child.lua".
    ASSERT_TRUE(lua.Run("LM_SetBasePath('Scri') LM_ExecuteScript('pts/child.lua')"));
    EXPECT_EQ(lua.GetNumber("childRuns"), 1);
    ASSERT_TRUE(lua.Run("LM_SetBasePath('NULL') LM_ExecuteScript('child.lua')"));
    EXPECT_EQ(lua.GetNumber("rootChild"), 1);
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('Scripts\\\\child.lua')"));
    EXPECT_EQ(lua.GetNumber("childRuns"), 2);
    EXPECT_EQ(cap.Take(), "");
}

TEST(LuaManager, ScriptCodesAndPendingArguments) {
    TempDir dir;
    dir.WriteFile("child.lua", kChild);
    dir.WriteFile("Sub/child.lua", kChild);
    LuaTestState lua;
    StderrCapture cap;
    const std::pair<const char*, double> codes[] = {
        {"LM_ExecuteScript('child.lua')", -1},
        {"LM_ExecuteScript('child.lua', -3.7, 'extra', 1)", -3},
        {"LM_ExecuteScriptWithArguments('child.lua', '')", 0},
        {"LM_ExecuteScript('Sub', 'child.lua', 4.9)", 4},
    };
    lua.Paths().AddPath("Sub", "Sub/");
    for (const auto& [call, code] : codes) {
        ASSERT_TRUE(lua.Run(call));
        EXPECT_EQ(lua.GetNumber("childCode"), code) << call;
    }

    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'NA', 2.5, 'text')"));
    EXPECT_EQ(lua.GetNumber("childN0"), 2.5);
    EXPECT_TRUE(lua.IsNil("childS0"));  // a number slot read as text
    EXPECT_EQ(lua.GetString("childS1"), "text");
    EXPECT_EQ(lua.GetString("childS5"), "ARGUMENT WAS OUT OF RANGE");
    // Another letter skips its value; the filled slots count from 0, and
    // letters past the last value leave their slots empty.
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'AxAA', 'first', 'skipped', 'third')"));
    EXPECT_EQ(lua.GetString("childS0"), "first");
    EXPECT_EQ(lua.GetString("childS1"), "third");
    EXPECT_TRUE(lua.IsNil("childS2"));
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'AAAAAAA', 'a')"));
    EXPECT_TRUE(lua.IsNil("childS5"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(lua.GetNumber("childRuns"), 7);

    // An unknown named path warns and runs the file name alone.
    StderrCapture cap2;
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('Nowhere', 'child.lua', 5)"));
    EXPECT_EQ(lua.GetNumber("childCode"), 5);
    // A text value that is a table is refused before anything changes.
    lua.Manager().AllocateArguments(1);
    lua.Manager().PushArgumentNumber(9.0f);
    ASSERT_TRUE(lua.Run("LM_ExecuteScriptWithArguments('child.lua', 'NA', 1, {})"));
    EXPECT_EQ(cap2.Take(),
              "PathManager failed to find Nowhere\n"
              "LM_ExecuteScriptWithArguments:  Failed, invalid argument list\n");
    EXPECT_EQ(lua.GetNumber("childRuns"), 8);
    EXPECT_EQ(lua.Manager().GetArgumentNumber(0), 9.0f);
}

TEST(LuaManager, NestedRunsKeepTheOuterScriptsContext) {
    TempDir dir;
    dir.WriteFile("child.lua", kChild);
    dir.WriteFile("outer.lua",
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
    EXPECT_EQ(lua.GetNumber("after"), 0);
    EXPECT_EQ(lua.GetNumber("outerArg"), 3.5);
    EXPECT_EQ(lua.GetString("outerText"), "outer string");
    EXPECT_EQ(lua.GetType("outerCallerKept"), LUA_TBOOLEAN);
    EXPECT_EQ(lua.Manager().GetCallerEntity(), kFirst);

    // A caller that goes away during a nested run is not brought back.
    lua.Manager().SaveContext();
    lua.Manager().ForgetEntity(kFirst);
    lua.Manager().RestoreContext();
    EXPECT_EQ(lua.Manager().GetCallerEntity(), nullptr);
}

TEST(LuaManager, LoadAndRunErrorsAreReportedAndTheStateStaysUsable) {
    TempDir dir;
    dir.WriteFile("broken.lua", "x = = 1\n");
    dir.WriteFile("unfinished.lua", "x = '\x1b[2J\n");
    dir.WriteFile("throws.lua", "partial = 1\nerror('boom\\27]0;owned\\7')\n");
    dir.WriteFile("returns.lua", "return 1, 2, 3\n");
    dir.WriteFile("self.lua", "depth = (depth or 0) + 1 LM_ExecuteScript('self.lua')\n");
    LuaTestState lua;
    LuaManager& manager = lua.Manager();
    int top = lua_gettop(lua.L());

    StderrCapture cap;
    EXPECT_FALSE(manager.RunFile("broken.lua", 1));
    EXPECT_FALSE(manager.RunFile("unfinished.lua", 1));
    EXPECT_FALSE(manager.RunFile("throws.lua", 2));
    EXPECT_FALSE(manager.RunFile("missing\x1b[2J.lua", 3));
    EXPECT_FALSE(manager.Execute());  // nothing loaded: nothing is called
    EXPECT_EQ(cap.Take(),
              "Lua Error during Loading: broken.lua:1: unexpected symbol near '='\n"
              "Lua Error during Loading: unfinished.lua:1: unfinished string near ''\\x1b[2J'\n"
              "Lua Error during Execution: throws.lua:2: boom\\x1b]0;owned\\x07\n"
              "Lua Error during Loading: cannot open missing\\x1b[2J.lua: No such file or directory\n"
              "Lua Error during Execution: no script loaded\n");
    EXPECT_EQ(lua.GetNumber("partial"), 1);
    EXPECT_EQ(manager.GetLastStatus(), 0);

    // Results are dropped; the stack never grows.
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(manager.RunFile("returns.lua", 0));
    EXPECT_EQ(lua_gettop(lua.L()), top);

    // A script that runs itself without end is stopped by Lua's depth limit
    // and reported; the scripts around it carry on.
    StderrCapture cap2;
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('self.lua') afterError = 1"));
    EXPECT_EQ(cap2.Take().rfind("Lua Error during ", 0), 0u);
    EXPECT_EQ(lua.GetNumber("afterError"), 1);
    EXPECT_GT(lua.GetNumber("depth"), 10);
    EXPECT_EQ(lua_gettop(lua.L()), top);

    // A name holding a zero byte is written whole (the byte as text), line
    // end included, so the next line starts on its own.
    using namespace std::string_literals;
    StderrCapture cap3;
    ASSERT_TRUE(lua.Run("LM_ExecuteScript('gone\\0.lua')"));
    script::Fail("Named:  Failed, no entry a\0b\n"s);
    std::fputs("next\n", stderr);
    EXPECT_EQ(cap3.Take(),
              "Lua Error during Loading: cannot open gone\\x00.lua: No such file or directory\n"
              "Named:  Failed, no entry a\0b\n"
              "next\n"s);
}

TEST(LuaManager, RandomNumberRanges) {
    LuaTestState lua;
    int next = 0;
    SetRandomSource([&] { return next++; });
    StderrCapture cap;
    ASSERT_TRUE(
        lua.Run("same = Get_Random_Number(3, 3)\n"
                "dice = '' for i = 1, 7 do dice = dice .. Get_Random_Number(1, 6) end\n"
                "inverted = Get_Random_Number(5, 2)\n"
                "wide = Get_Random_Number(-2147483648, 2147483647)\n"
                "truncated = Get_Random_Number(1.9, 2.9)\n"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(lua.GetNumber("same"), 3);
    EXPECT_EQ(lua.GetString("dice"), "2345612");  // draws 1..7
    EXPECT_EQ(lua.GetNumber("inverted"), 5);
    EXPECT_EQ(lua.GetNumber("wide"), -2147483648.0 + 8);  // no overflow of the span
    EXPECT_EQ(lua.GetNumber("truncated"), 1 + 9 % 2);

    // A wrong count is reported but still answers, from the first two
    // arguments (missing ones are 0); an empty range gives the lower bound.
    StderrCapture cap2;
    ASSERT_TRUE(lua.Run("one = Get_Random_Number(5) neg = Get_Random_Number(-3) three = Get_Random_Number(1, 1, 9)"));
    std::string line = "Get Random Number:  Failed, invalid argument list\n";
    EXPECT_EQ(cap2.Take(), line + line + line);
    EXPECT_EQ(lua.GetNumber("one"), 5);
    EXPECT_EQ(lua.GetNumber("neg"), -3 + 10 % 4);
    EXPECT_EQ(lua.GetNumber("three"), 1);
    SetRandomSource(nullptr);
}

TEST(LuaManager, PointWithinRectDebugModeScriptStringAndMissingManagers) {
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(
        lua.Run("edge = GN_IsPointWithinRect(2.9, 0, 0, 0, 2, 2)\n"
                "outside = GN_IsPointWithinRect(3, 0, 0, 0, 2, 2)\n"
                "negative = GN_IsPointWithinRect(-0.9, 1, 0, 0, 2, 2)\n"
                "noText = GetScriptString()\n"
                "Activate_Debug_Mode()\n"));
    EXPECT_EQ(lua.GetNumber("edge"), 1);
    EXPECT_EQ(lua.GetNumber("outside"), 0);
    EXPECT_EQ(lua.GetNumber("negative"), 1);
    EXPECT_TRUE(lua.IsNil("noText"));
    EXPECT_TRUE(lua.Manager().IsDebugMode());
    ASSERT_TRUE(lua.Run("Deactivate_Debug_Mode()"));
    EXPECT_FALSE(lua.Manager().IsDebugMode());
    EXPECT_EQ(cap.Take(), "Activating Lua debug mode\nDeactivating Lua debug mode\n");

    GlobalState* state = GetGlobalState();
    LuaManager* manager = state->luaManager;
    PathManager* paths = state->pathManager;
    state->luaManager = nullptr;
    state->pathManager = nullptr;
    StderrCapture cap2;
    bool ok = lua.Run("code = GetScriptCode() LM_ExecuteScript('x.lua') LM_ExecuteScript('P', 'x.lua', 1)");
    std::string out = cap2.Take();
    state->luaManager = manager;
    state->pathManager = paths;
    ASSERT_TRUE(ok) << lua.LastError();
    EXPECT_EQ(out,
              "GetScriptCode:  Failed, LuaManager does not exist\n"
              "LM ExecuteScript:  Failed, LuaManager does not exist\n"
              "LM ExecuteScript:  Failed, PathManager does not exist\n");
    EXPECT_TRUE(lua.IsNil("code"));
}

// A script is compiled once and run again as it is until its file changes;
// each run still starts with the globals as its environment.
TEST(LuaManager, CompiledScriptsAreKeptUntilTheirFileChanges) {
    TempDir dir;
    LuaTestState lua;
    LuaManager& manager = lua.Manager();
    namespace fs = std::filesystem;
    // Files written long enough ago to be kept; "age 0" leaves the time now.
    auto write = [&dir](const std::string& text, int ageSeconds) {
        dir.WriteFile("s.lua", text);
        if (ageSeconds > 0)
            fs::last_write_time("s.lua", fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
    };
    struct Step {
        const char* text;  // null: the file stays as it is
        int age;
        const char* seen;
        size_t kept;
    };
    const Step steps[] = {
        {"seen = 'one'   runs = (runs or 0) + 1", 60, "one", 1},
        {nullptr, 0, "one", 1},
        // The same size, another time: read again.
        {"seen = 'two'   runs = (runs or 0) + 1", 30, "two", 1},
        // Just written: read on every run, not kept.
        {"seen = 'three' runs = (runs or 0) + 1", 0, "three", 0},
        {nullptr, 0, "three", 0},
    };
    int runs = 0;
    for (const Step& step : steps) {
        if (step.text) write(step.text, step.age);
        ASSERT_TRUE(manager.RunFile("s.lua", 0));
        EXPECT_EQ(lua.GetString("seen"), step.seen);
        EXPECT_EQ(lua.GetNumber("runs"), ++runs);
        EXPECT_EQ(manager.GetCompiledCount(), step.kept) << step.seen;
    }

    // A script that swaps its own environment finds the globals again on
    // its next run.
    write("hits = (hits or 0) + 1 setfenv(1, {})", 60);
    ASSERT_TRUE(manager.RunFile("s.lua", 0));
    ASSERT_TRUE(manager.RunFile("s.lua", 0));
    EXPECT_EQ(lua.GetNumber("hits"), 2);

    // A removed file fails as before and is forgotten.
    fs::remove("s.lua");
    StderrCapture cap;
    EXPECT_FALSE(manager.RunFile("s.lua", 0));
    EXPECT_NE(cap.Take().find("Lua Error during Loading: cannot open s.lua"), std::string::npos);
    EXPECT_EQ(manager.GetCompiledCount(), 0u);
}
