// Isometric maps through the map manager and the ISOM_ script functions.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ArchiveWriter.h"
#include "IsoMapWriter.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/IsoTexture.h"
#include "core/script/DataLibrary.h"
#include "core/script/PathManager.h"
#include "maps/IsometricMap.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/CameraManager.h"

using testsupport::StderrCapture;

namespace {

sif::Picture Solid(uint8_t r, uint8_t g, uint8_t b) {
    sif::Picture picture{32, 32, {}};
    for (int i = 0; i < 32 * 32; ++i) picture.rgba.insert(picture.rgba.end(), {r, g, b, 255});
    return picture;
}

class IsometricMapLoadTest : public ::testing::Test {
protected:
    IsometricMapLoadTest() : maps(lua.Maps()) {
        savedGL = GetGlobalState()->openGLMode;
        GetGlobalState()->openGLMode = 0;
        lua.Paths().AddPath("Maps", "Maps/");
        lua.Paths().AddPath("MapScripts", "Scripts/Maps/");
        lua.Paths().AddPath("Decompress", "Cache/");
    }
    ~IsometricMapLoadTest() override { GetGlobalState()->openGLMode = savedGL; }

    // Registers the textures "Grass" (green) and "Rock" (grey) for maps.
    void AddTextureArchive() {
        sif::ArchiveWriter writer;
        ASSERT_TRUE(writer.AddImage("Grass", Solid(0, 200, 0)));
        ASSERT_TRUE(writer.AddImage("Rock", Solid(90, 90, 90)));
        std::filesystem::create_directories("Data");
        ASSERT_TRUE(writer.WriteFile("Data/Tiles.sif", true));
        DataLibrary& library = lua.Library();
        library.AddSection("Images");
        library.AddCatalogue("Images", "Maps");
        maps.SetTextureFileHeading(library.AddHeading("Images", "Maps", "Textures"));
        library.Register("Images", "Maps", "Textures", "StandardTextures", &tiles, DataKind::TextureFile);
        maps.BuildLookupList();
    }
    std::string Run(const std::string& chunk) { return testsupport::RunScript(lua, chunk); }

    uint8_t savedGL;
    testsupport::TempDir dir;
    testsupport::LuaTestState lua;
    MapManager& maps;
    TextureFile tiles{"Data/Tiles.sif"};
};

}  // namespace

TEST_F(IsometricMapLoadTest, LoadingAMapFileBuildsItsTexturesAndRunsItsScript) {
    testsupport::EnsureAllegro();
    AddTextureArchive();
    // "Moss" is not in the archive: it is skipped with a line, and "Rock"
    // after it keeps its file position and its texture.
    slf::IsoMapWriter writer(2, 1, 2);
    writer.AddTexture("Grass");
    writer.AddTexture("Moss");
    writer.AddTexture("Rock");
    writer.SetBlock(0, 0, 0, 0, 2, -1);
    writer.SetBlock(1, 0, 0, 0, 0, 1);
    std::string error;
    std::filesystem::create_directories("Maps");
    ASSERT_TRUE(writer.WriteFile("Maps/Hill.slf", error)) << error;
    dir.WriteFile("Scripts/Maps/Hill.lua", "code = GetScriptCode() ISOM_SetSizes(50, 60, 2)");
    Camera* camera = lua.Cameras().GetCameraByIndex(0);
    ASSERT_NE(camera, nullptr);

    StderrCapture cap;
    maps.TransitionMap("Hill");
    EXPECT_EQ(cap.Take(), "MapManager::AddTextureIndex:  Warning, no texture Moss is known; its faces stay blank\n");
    ASSERT_TRUE(maps.IsIsometric());
    IsometricMap* map = maps.GetIsometricMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(lua.GetNumber("code"), -1);
    EXPECT_EQ(map->GetMinimumSize(), 50);
    EXPECT_EQ(map->GetLayers(), 2);
    EXPECT_TRUE(camera->IsIsometric());

    ASSERT_EQ(maps.GetTextureCount(), 3);
    ASSERT_NE(maps.GetTexture(0), nullptr);
    EXPECT_EQ(maps.GetTexture(1), nullptr);  // "Moss" has an empty slot
    ASSERT_NE(maps.GetTexture(2), nullptr);
    const IsoBlock* first = map->GetBlock(0, 0, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->GetFloor().size(), 1u);
    EXPECT_EQ(first->GetFloor()[0], maps.GetTexture(0)->GetFloor());
    // The valid name after the unknown one gives its face.
    ASSERT_EQ(first->GetWallL().size(), 1u);
    EXPECT_EQ(first->GetWallL()[0], maps.GetTexture(2)->GetWallL());
    EXPECT_TRUE(first->GetWallR().empty());
    EXPECT_EQ(map->GetBlock(1, 0, 0)->GetWallL().size(), 1u);
    EXPECT_TRUE(map->GetBlock(1, 0, 0)->GetWallR().empty());  // slot 1 unbuilt

    // The grass floor is drawn in the first pass only.
    BitmapWrapper target(640, 480, nullptr);
    target.ClearToBlack();
    maps.Draw(&target, nullptr, true);
    unsigned char r, g, b;
    al_unmap_rgb(al_get_pixel(target.GetBitmap(), 298, 170), &r, &g, &b);
    EXPECT_EQ(g, 0);
    maps.Draw(&target, nullptr, false);
    al_unmap_rgb(al_get_pixel(target.GetBitmap(), 298, 170), &r, &g, &b);
    EXPECT_EQ(g, 200);

    // Collision goes to the map: the ground blocks, above it is free, past
    // the grid is blocked.
    EXPECT_TRUE(maps.IsBlocked(10, 10, 0));
    EXPECT_FALSE(maps.IsBlocked(10, 10, -30));
    EXPECT_FALSE(maps.IsBlocked(10, 10, -60));
    EXPECT_TRUE(maps.IsBlocked(10, 40, -30));
    EXPECT_TRUE(maps.IsBlockedOpenAbove(10, 40, -30));
    EXPECT_FALSE(maps.IsBlockedOpenAbove(40, 10, -60));

    // Unloading frees the map; the textures stay until the next map.
    maps.Unload();
    EXPECT_FALSE(maps.IsIsometric());
    EXPECT_EQ(maps.GetIsometricMap(), nullptr);
    EXPECT_FALSE(maps.IsBlocked(10, 10, 0));
}

TEST_F(IsometricMapLoadTest, ScriptFunctionsConfigureTheActiveMap) {
    // Without an isometric map every function says so.
    EXPECT_EQ(Run("ISOM_SetSizes(1, 2, 3) ISOM_QueueTexture('A') ISOM_CreateRoomDef('R') "
                  "ISOM_SetPathDefToActive() ISOM_AddFloorTexture('A') ISOM_AddWallLTexture('A') "
                  "ISOM_AddWallRTexture('A')"),
              "ISOM_SetSizes:  Failed, Isometric map not active\n"
              "ISOM_QueueTexture:  Failed, Isometric map not active\n"
              "ISOM_CreateRoomDef:  Failed, Isometric map not active\n"
              "ISOM_SetPathDefToActive:  Failed, Isometric map not active\n"
              "ISOM_AddFloorTexture:  Failed, Isometric map not active\n"
              "ISOM_AddWallLTexture:  Failed, Isometric map not active\n"
              "ISOM_AddWalRLTexture:  Failed, Isometric map not active\n");

    std::string error;
    std::filesystem::create_directories("Maps");
    ASSERT_TRUE(slf::IsoMapWriter(1, 1, 1).WriteFile("Maps/Room.slf", error));
    dir.WriteFile("Scripts/Maps/Room.lua", "");
    maps.TransitionMap("Room");
    ASSERT_TRUE(maps.IsIsometric());
    IsometricMap* map = maps.GetIsometricMap();

    EXPECT_EQ(Run("ISOM_SetSizes(20.9, -3.7, 9) "
                  "ISOM_QueueTexture('Stone') ISOM_QueueTexture('Moss') "
                  "ISOM_AddFloorTexture('Moss') "  // into the initial definition
                  "ISOM_CreateRoomDef('Hall') "
                  "ISOM_AddFloorTexture('Stone') ISOM_AddWallLTexture('Moss') ISOM_AddWallRTexture('Stone') "
                  "ISOM_AddWallRTexture('Nothing') ISOM_SetPathDefToActive()"),
              "");
    EXPECT_EQ(map->GetMinimumSize(), 20);
    EXPECT_EQ(map->GetMaximumSize(), -3);
    EXPECT_EQ(map->GetLayers(), 5);
    EXPECT_EQ(map->GetTextureQueue(), (std::vector<std::string>{"Stone", "Moss"}));
    RoomDefinition* hall = map->FindRoomDefinition("Hall");
    ASSERT_NE(hall, nullptr);
    EXPECT_EQ(map->GetActiveDefinition(), hall);
    EXPECT_EQ(map->GetPathDefinition(), hall);
    EXPECT_EQ(hall->Floor(), (std::vector<int32_t>{0}));
    EXPECT_EQ(hall->WallL(), (std::vector<int32_t>{1}));
    EXPECT_EQ(hall->WallR(), (std::vector<int32_t>{0}));

    // Bad arguments fail with the function's own line and change nothing.
    EXPECT_EQ(Run("ISOM_QueueTexture({}) ISOM_SetSizes(1, 2) ISOM_AddWallRTexture(nil)"),
              "ISOM_QueueTexture:  Failed, invalid argument list\n"
              "ISOM_SetSizes:  Failed, invalid argument list\n"
              "ISOM_AddWalRLTexture:  Failed, invalid argument list\n");
    EXPECT_EQ(map->GetTextureQueue().size(), 2u);
    EXPECT_EQ(map->GetLayers(), 5);
}
