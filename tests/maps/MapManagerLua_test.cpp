// The MapM_ functions as map scripts use them (the bad-argument cases are in
// the table of bad calls).
#include <gtest/gtest.h>

#include <string>

#include "LevelFiles.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/PathManager.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

using testsupport::LuaTestState;
using testsupport::RunScript;
using testsupport::StderrCapture;

TEST(MapManagerLua, SettersFloorsAndTargets) {
    LuaTestState lua;
    MapManager& maps = lua.Maps();
    EXPECT_EQ(RunScript(lua, "a = select('#', MapM_SetMapDisplayState(0)) MapM_SetBackgroundDisplayState(2)"), "");
    EXPECT_EQ(lua.GetNumber("a"), 0);  // setters return nothing
    EXPECT_FALSE(maps.GetMapDisplayState());
    EXPECT_TRUE(maps.GetBackgroundDisplayState());

    EXPECT_EQ(RunScript(lua, "MapM_SetMapLoadTarget(42)"), "");
    EXPECT_EQ(*maps.GetMapName(), "42");

    // Numbers truncate toward zero.
    EXPECT_EQ(RunScript(lua, "MapM_ChangeFloor(2.9, 0) MapM_ChangeFloor(-3.5, 1)"),
              "Current floor is 2\nCurrent floor is 3\n");

    // Nobody to place yet.
    EXPECT_EQ(RunScript(lua, "MapM_SetDefaultPosition(10, 20)"),
              "MapM SetDefaultPosition:  Failed, PlayerVorn does not exist\n");
}

TEST(MapManagerLua, MapScriptsChooseMusicAndMayLoadAnotherMap) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    LuaTestState lua;
    lua.Paths().AddPath("Maps", "Maps/");
    lua.Paths().AddPath("MapScripts", "Scripts/Maps/");
    dir.WriteFile("Maps/Hall.plf", testlevels::TinyLevel());
    dir.WriteFile("Scripts/Maps/Hall.lua", "MapM_SetAmbientMusic('Hall') hall = 1");
    dir.WriteFile("Maps/Gate.plf", testlevels::TinyLevel());
    // A map whose script sends the player straight on to another map.
    dir.WriteFile("Scripts/Maps/Gate.lua", "MapM_TransitionMap('Hall') gate = 1");

    EXPECT_EQ(RunScript(lua, "MapM_TransitionMap('Hall')"), "");
    EXPECT_EQ(*lua.Maps().GetAmbientMusicName(), "Hall");

    EXPECT_EQ(RunScript(lua, "hall = nil MapM_TransitionMap('Gate')"), "Music names are the same, don't change\n");
    EXPECT_EQ(lua.GetNumber("gate"), 1);
    EXPECT_EQ(lua.GetNumber("hall"), 1);
    EXPECT_EQ(*lua.Maps().GetMapName(), "Hall");
}

TEST(MapManagerLua, TextureHeadingAndMissingManager) {
    LuaTestState lua;
    lua.Library().SetWarnOnMiss(0);
    EXPECT_EQ(RunScript(lua, "MapM_SetTextureFileHeading('Images', 'Maps', 'Nope')"),
              "MapM_SetTextureFileHeading:  Failed, Heading not found\n");
    lua.Library().AddSection("Images");
    lua.Library().AddCatalogue("Images", "Maps");
    NamedList* heading = lua.Library().AddHeading("Images", "Maps", "Textures");
    EXPECT_EQ(RunScript(lua, "MapM_SetTextureFileHeading('Images', 'Maps', 'Textures')"), "");
    EXPECT_EQ(lua.Maps().GetTextureFileHeading(), heading);

    GlobalState* state = GetGlobalState();
    MapManager* maps = state->mapManager;
    state->mapManager = nullptr;
    StderrCapture cap;
    bool ok = lua.Run(
        "MapM_SetBackgroundDisplayState(1) MapM_SetMapDisplayState(1) MapM_TransitionMap('A') "
        "MapM_SetMapLoadTarget('A') MapM_SetTextureFileHeading('a', 'b', 'c') MapM_BuildLookupList() "
        "MapM_ChangeFloor(1, 0) MapM_SetAmbientMusic('A')");
    std::string out = cap.Take();
    state->mapManager = maps;
    ASSERT_TRUE(ok) << lua.LastError();
    EXPECT_EQ(out,
              "MapM SetBackgroundDisplayState:  Failed, MapManager does not exist\n"
              "MapM SetMapDisplayState:  Failed, MapManager does not exist\n"
              "MapM TransitionMap:  Failed, MapManager does not exist\n"
              "MapM SetMapLoadTarget:  Failed, MapManager does not exist\n"
              "MapM_SetTextureFileHeading:  Failed, MapManager does not exist\n"
              "MapM_BuildLookupList:  Failed, MapManager does not exist\n"
              "MapM_ChangeFloor:  Failed, MapManager does not exist\n"
              "MapM_SetAmbientMusic:  Failed, MapManager does not exist\n");
    EXPECT_EQ(maps->GetFloor(), 0);
}
