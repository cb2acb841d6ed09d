// The sample game's start-up scripts run cleanly on the engine's functions
// and leave what the engine and later scripts rely on.
#include <gtest/gtest.h>

#include <string>

#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"
#include "core/script/ScriptVariableSet.h"
#include "core/script/TimerManager.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

TEST(StartupScripts, PathsVariablesTimersAndHelpers) {
    testsupport::LuaTestState lua;
    LuaManager& manager = lua.Manager();
    manager.SetBasePath(std::string(QEL_SOURCE_DIR) + "/game/");
    testsupport::StderrCapture cap;
    EXPECT_TRUE(manager.RunFile("Paths.lua", -1));
    EXPECT_TRUE(manager.RunFile("Data/Scripts/System/GlobalVariables.lua", -1));
    EXPECT_TRUE(manager.RunFile("Data/Scripts/System/ScriptExecution.lua", -1));
    EXPECT_EQ(cap.Take(), "Game ready: Prologue, 25 gold, started 1 time(s)\n");

    PathManager& paths = lua.Paths();
    EXPECT_EQ(paths.BuildPath("Maps", "Town.plf"), "Data/Maps/Town.plf");
    EXPECT_EQ(paths.BuildPath("MapScripts", "Town.lua"), "Data/Scripts/Maps/Town.lua");
    EXPECT_EQ(paths.BuildPath("Decompress", "Art.sif"), "Data/Decompress/Art.sif");

    ScriptVariableSet& globals = lua.GlobalVariables();
    EXPECT_EQ(globals.GetNumber("IntroSeen"), 0);
    EXPECT_EQ(globals.GetNumber("Gold"), 25);
    EXPECT_EQ(globals.GetNumber("StartCount"), 1);
    ASSERT_NE(globals.GetString("Chapter"), nullptr);
    EXPECT_EQ(*globals.GetString("Chapter"), "Prologue");
    // The helpers set existing variables instead of adding a second copy.
    EXPECT_EQ(globals.GetCount(), 10);
    EXPECT_EQ(lua.Timers().GetTimer("PlayTime"), 0);
    EXPECT_EQ(manager.GetScriptCode(), -1);
}
