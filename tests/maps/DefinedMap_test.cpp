#include "maps/DefinedMap.h"

#include <gtest/gtest.h>

#include <string>

#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "world/Camera.h"
#include "world/CameraManager.h"

using testsupport::LuaTestState;
using testsupport::RunScript;
using testsupport::StderrCapture;

namespace {

int BlockedCount(const DefinedMap& map) {
    int blocked = 0;
    for (int32_t x = 0; x < map.GetWidth(); ++x)
        for (int32_t y = 0; y < map.GetHeight(); ++y) blocked += map.IsBlocked(x, y);
    return blocked;
}

}  // namespace

TEST(DefinedMap, ClippingIsCutToTheGrid) {
    DefinedMap map;
    EXPECT_TRUE(map.IsBlocked(0, 0));  // no grid yet: everything is outside
    ASSERT_TRUE(map.SetDimensions(4, 4));
    EXPECT_EQ(BlockedCount(map), 0);
    struct Case {
        int32_t x1, y1, x2, y2;
        const char* line;
        int blocked;
    };
    const Case cases[] = {
        {3, 3, 3, 5, "", 0},  // empty: nothing, not even the line
        {2, 2, 1, 3, "", 0},
        {1, 1, 3, 2, "Set clipping 1 1 3 2\n", 2},
        {-5, -5, 10, 10, "Set clipping 0 0 4 4\n", 16},
        {10, 10, 20, 20, "Set clipping 10 10 4 4\n", 16},  // cut to nothing
    };
    for (const Case& c : cases) {
        StderrCapture cap;
        map.SetRect(true, c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(cap.Take(), c.line);
        EXPECT_EQ(BlockedCount(map), c.blocked) << c.x1 << "," << c.y1;
        if (c.blocked == 2) map.ClearAll();
    }
    StderrCapture cap;
    map.SetRect(false, 0, 0, 2, 4);
    cap.Take();
    EXPECT_EQ(BlockedCount(map), 8);
    // Outside the grid is blocked, inside by its cell.
    EXPECT_TRUE(map.IsBlocked(4, 0));
    EXPECT_TRUE(map.IsBlocked(0, 4));
    EXPECT_TRUE(map.IsBlocked(-1, 2));
    EXPECT_FALSE(map.IsBlocked(1, 3));
    EXPECT_TRUE(map.IsBlocked(3, 3));
    map.ClearAll();
    EXPECT_EQ(BlockedCount(map), 0);
}

TEST(DefinedMap, SizesAreCheckedAndBoundTheCamera) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    DefinedMap map;
    struct Case {
        int32_t w, h;
        bool accepted;
    };
    const Case cases[] = {{0, 0, true},         {-1, 4, false},    {4, -1, false},       {70000, 1, false},
                          {65536, 2048, false}, {1000, 600, true}, {INT32_MIN, 0, false}};
    for (const Case& c : cases) {
        StderrCapture cap;
        EXPECT_EQ(map.SetDimensions(c.w, c.h), c.accepted) << c.w << "x" << c.h;
        EXPECT_EQ(cap.Take().empty(), c.accepted) << c.w << "x" << c.h;
    }
    EXPECT_EQ(map.GetWidth(), 1000);
    EXPECT_EQ(map.GetHeight(), 600);
    Camera* camera = lua.Cameras().GetActiveCamera();
    ASSERT_NE(camera, nullptr);
    map.SetDimensions(321, 123);
    EXPECT_EQ(camera->GetMaxX(), 321);
    EXPECT_EQ(camera->GetMaxY(), 123);
}

TEST(DefinedMap, ScriptFunctionsNeedTheDefinedMap) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    const std::string wrongMode = ":  Failed, map is not created, or in the wrong mode\n";
    EXPECT_EQ(RunScript(lua, "DefinedMap_SetDimensions(4, 4)"), "DefinedMap SetDimensions" + wrongMode);
    EXPECT_EQ(RunScript(lua, "DefinedMap_ClipArea(1, 0, 0, 2, 2)"), "DefinedMap ClipArea" + wrongMode);
    EXPECT_EQ(RunScript(lua, "DefinedMap_ClearClipping()"), "DefinedMap ClearClipping" + wrongMode);

    StderrCapture cap;
    lua.Maps().TransitionMap("MAPNONE");
    cap.Take();
    DefinedMap* map = lua.Maps().GetDefinedMap();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(lua.Maps().IsBlocked(0, 0, 0));  // empty: nothing inside
    EXPECT_EQ(RunScript(lua, "DefinedMap_SetDimensions(4.9, 4) DefinedMap_ClipArea(1, -5, -5, 10, 10)"),
              "Set clipping 0 0 4 4\n");
    EXPECT_EQ(map->GetWidth(), 4);
    EXPECT_TRUE(lua.Maps().IsBlocked(2, 2, -90));
    EXPECT_EQ(RunScript(lua, "DefinedMap_ClipArea(0, 0, 0, 2, 1) DefinedMap_ClearClipping(1, 2)"),
              "Set clipping 0 0 2 1\n");
    EXPECT_FALSE(lua.Maps().IsBlocked(3, 3, 0));
    EXPECT_TRUE(lua.Maps().IsBlocked(4, 0, 0));
    EXPECT_EQ(RunScript(lua, "DefinedMap_SetDimensions(-4, 4)"),
              "DefinedMap::SetDimensions:  Failed, -4 x 4 is not a size a map can have\n");
    EXPECT_EQ(map->GetWidth(), 4);

    // Another map: the functions refuse again.
    lua.Maps().Unload();
    EXPECT_EQ(lua.Maps().GetDefinedMap(), nullptr);
    EXPECT_EQ(RunScript(lua, "DefinedMap_ClearClipping()"), "DefinedMap ClearClipping" + wrongMode);
}
