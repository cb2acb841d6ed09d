#include "core/script/PathManager.h"

#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

TEST(PathManager, RootDerivedPathsAndBuildPath) {
    PathManager paths;
    paths.SetPath("Root", "Game/");
    paths.AddPathFromRoot("Maps", "Data/Maps/");
    paths.SetPath("Absent", "x/");
    EXPECT_EQ(paths.GetPath("Absent"), nullptr);
    paths.SetPathFromRoot("Absent", "x/");
    EXPECT_EQ(paths.GetPath("Absent"), nullptr);
    EXPECT_EQ(paths.BuildPath("Maps", "Town.plf"), "Game/Data/Maps/Town.plf");

    // Duplicates: the first wins for reading and updating.
    paths.AddPath("Maps", "Other/");
    paths.SetPath("Maps", "First/");
    EXPECT_EQ(paths.BuildPath("Maps", "a"), "First/a");

    // "Root" may be set from itself.
    paths.SetPathFromRoot("Root", "Sub/");
    EXPECT_EQ(*paths.GetPath("Root"), "Game/Sub/");

    StderrCapture cap;
    EXPECT_EQ(paths.BuildPath("Nowhere", "file.lua"), "file.lua");
    EXPECT_EQ(cap.Take(), "PathManager failed to find Nowhere\n");
}

TEST(PathManager, ScriptFunctions) {
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(
        lua.Run("root = Path_GetPath('Root')\n"
                "Path_SetPath('Root', 'G/')\n"
                "Path_AddPathFromRoot('MapScripts', 'Data/Scripts/Maps/')\n"
                "Path_AddPath('Decompress', 'Cache/')\n"
                "Path_SetPath('Nothing', 'x')\n"
                "Path_SetPathFromRoot('Decompress', 'Data/Cache/')\n"
                "maps = Path_GetPath('MapScripts')\n"
                "cache = Path_GetPath('Decompress')\n"
                "nothing = Path_GetPath('Nothing')\n"));
    EXPECT_EQ(cap.Take(), "Path GetPath:  Failed, could not find pathname Nothing\n");
    EXPECT_EQ(lua.GetString("root"), "UNINITIALIZED");
    EXPECT_EQ(lua.GetString("maps"), "G/Data/Scripts/Maps/");
    EXPECT_EQ(lua.GetString("cache"), "G/Data/Cache/");
    EXPECT_TRUE(lua.IsNil("nothing"));

    GlobalState* state = GetGlobalState();
    std::string local = state->localPath;
    state->localPath = "/here/";
    bool ok = lua.Run("Path_SetRootToLocal(1, 2, 3) root = Path_GetPath('Root')");
    state->localPath = local;
    ASSERT_TRUE(ok);
    EXPECT_EQ(lua.GetString("root"), "/here/");

    PathManager* paths = state->pathManager;
    state->pathManager = nullptr;
    StderrCapture cap2;
    ok = lua.Run("Path_SetRootToLocal() Path_AddPath('a', 'b') v = Path_GetPath('Root')");
    std::string out = cap2.Take();
    state->pathManager = paths;
    ASSERT_TRUE(ok);
    EXPECT_EQ(out,
              "Path SetRootToLocal:  Failed, PathManager does not exist\n"
              "Path AddPath:  Failed, PathManager does not exist\n"
              "Path GetPath:  Failed, PathManager does not exist\n");
    EXPECT_TRUE(lua.IsNil("v"));
}
