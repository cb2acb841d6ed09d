// Random dungeon floors: the general script, the side and seed lines, the
// textures, the player's placement, the enemies and the up-stair.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/base/TransitionState.h"
#include "core/script/DataLibrary.h"
#include "core/script/PathManager.h"
#include "maps/IsometricMap.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/ScenePlayer.h"
#include "support/ScriptedRandom.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/NPCStaticDialogue.h"
#include "world/NPCWorldEnemy.h"
#include "world/PlayerVorn.h"

using testsupport::LuaTestState;
using testsupport::ScriptedRandom;
using testsupport::StderrCapture;

namespace {

struct Floor {
    std::string printed;
    int32_t side = 0;
    std::vector<std::pair<double, double>> enemies;
    int stairs = 0;
    std::pair<double, double> stair;
    std::vector<bool> ground;
};

class RandomFloorTest : public ::testing::Test {
protected:
    RandomFloorTest() {
        testsupport::EnsureAllegro();
        dir.WriteFile("Data/Scripts/Maps/RLG/General.lua", "ISOM_SetSizes(40, 80, 1)\n");
        dir.WriteFile("Data/Scripts/NPCs/Enemies/Zezazoru/Constructor.lua",
                      "made = (made or 0) + 1\nmadeCode = GetScriptCode()\n"
                      "NPC_SetBoundaryOffsetsData(-5, 5, -5, 5, -20, 0)\n");
        dir.WriteFile("Data/Scripts/NPCs/UpStair/Constructor.lua", "NPC_SetDialoguePath('Up.lua')\n");

        // A texture archive with the floor's default names.
        sif::ArchiveWriter writer;
        sif::Picture pixel{1, 1, {1, 2, 3, 255}};
        writer.AddImage("Mud", pixel);
        writer.AddImage("Grass", pixel);
        std::filesystem::create_directories("Data");
        writer.WriteFile("Data/Tiles.sif", true);
        lua.Paths().AddPath("Decompress", "Cache/");
        DataLibrary& library = lua.Library();
        library.AddSection("Images");
        library.AddCatalogue("Images", "Maps");
        lua.Maps().SetTextureFileHeading(library.AddHeading("Images", "Maps", "Textures"));
        library.Register("Images", "Maps", "Textures", "StandardTextures", &tiles, DataKind::TextureFile);
        lua.Maps().BuildLookupList();
    }
    // Loads "MAPRANDOM" with the random source giving `side` then `seed`.
    Floor Load(int sideDraw, int seed) {
        Floor floor;
        ClearTransitionState();
        ScriptedRandom random({sideDraw, seed});
        StderrCapture cap;
        lua.Maps().TransitionMap("MAPRANDOM");
        floor.printed = cap.Take();
        IsometricMap* map = lua.Maps().GetIsometricMap();
        if (!map) return floor;
        floor.side = map->GetSizeX();
        for (int32_t x = 0; x < map->GetSizeX(); ++x)
            for (int32_t y = 0; y < map->GetSizeY(); ++y) floor.ground.push_back(map->GetBlock(x, y, 0) != nullptr);
        NamedList* npcs = lua.Entities().GetSubList(EntityManager::kNPC);
        for (int i = 0; i < npcs->GetCount(); ++i) {
            auto* entity = static_cast<RootEntity*>(npcs->GetAt(i));
            if (auto* enemy = dynamic_cast<NPCWorldEnemy*>(entity))
                floor.enemies.push_back({enemy->GetDimensions().X, enemy->GetDimensions().Y});
            if (auto* stair = dynamic_cast<NPCStaticDialogue*>(entity)) {
                ++floor.stairs;
                floor.stair = {stair->GetDimensions().X, stair->GetDimensions().Y};
            }
        }
        return floor;
    }

    testsupport::TempDir dir;
    LuaTestState lua;
    testsupport::ScenePlayer player;
    TextureFile tiles{"Data/Tiles.sif"};
};

}  // namespace

TEST_F(RandomFloorTest, SideSeedPlayerEnemiesStairAndMusic) {
    struct Case {
        int sideDraw;
        int32_t side;
        size_t enemies;
    };
    const Case cases[] = {{0, 40, 10}, {39, 79, 19}, {40, 40, 10}, {-1, 79, 19}};
    for (const Case& c : cases) {
        const Floor floor = Load(c.sideDraw, 4242);
        // (From the second floor on, the music already playing stays.)
        EXPECT_EQ(floor.printed.substr(0, floor.printed.find("Music")), "Generate level with seed 4242\nSize was " +
                                                                            std::to_string(c.side) + " " +
                                                                            std::to_string(c.side) + " 1\n");
        EXPECT_EQ(floor.side, c.side);
        EXPECT_EQ(floor.enemies.size(), c.enemies) << c.side;
        EXPECT_EQ(floor.stairs, 1);
        EXPECT_TRUE(lua.Maps().IsIsometric());
        EXPECT_EQ(lua.GetNumber("madeCode"), -1);
    }
    // The edge row and column are filled in.
    const Floor floor = Load(0, 4242);
    for (int32_t i = 0; i < floor.side; ++i) {
        EXPECT_TRUE(floor.ground[i]);               // x 0
        EXPECT_TRUE(floor.ground[i * floor.side]);  // y 0
    }
    // Enemies and the stair stand on ground cells' centres.
    for (auto [x, y] : floor.enemies) {
        const int32_t cx = static_cast<int32_t>(x) / 30, cy = static_cast<int32_t>(y) / 30;
        EXPECT_EQ(static_cast<int32_t>(x) % 30, 15);
        EXPECT_TRUE(floor.ground[cx * floor.side + cy]);
    }
    auto* enemy = dynamic_cast<NPCWorldEnemy*>(lua.Entities().GetNPC("X"));
    ASSERT_NE(enemy, nullptr);
    EXPECT_EQ(enemy->GetDetectRange(), 2000);
    EXPECT_EQ(enemy->GetAggroRange(), 100);
    EXPECT_EQ(enemy->GetDimensions().Z, -42);
    auto* stair = dynamic_cast<NPCStaticDialogue*>(lua.Entities().GetNPC("UpStair"));
    ASSERT_NE(stair, nullptr);
    EXPECT_EQ(stair->GetInternalName(), "UpStair");
    EXPECT_EQ(stair->GetDialoguePath(), "Up.lua");

    // The player stands on the first ground cell from (1, 1), x outermost.
    const Dimensions* at = player.GetDimensions();
    const int32_t px = static_cast<int32_t>(at->X) / 30, py = static_cast<int32_t>(at->Y) / 30;
    EXPECT_EQ(static_cast<int32_t>(at->X) % 30, 15);
    EXPECT_EQ(at->Z, -52);
    EXPECT_TRUE(floor.ground[px * floor.side + py]);
    for (int32_t x = 1; x <= px; ++x)
        for (int32_t y = 1; y < (x == px ? py : floor.side); ++y) EXPECT_FALSE(floor.ground[x * floor.side + y]);
    EXPECT_EQ(GetTransitionState().placed, 1);

    EXPECT_EQ(*lua.Maps().GetAmbientMusicName(), "StratumOne");
    // With no names queued the floor uses grass and mud, in that order.
    EXPECT_EQ(lua.Maps().GetTextureCount(), 2);
    EXPECT_EQ(lua.Maps().FindTextureEntry("Grass")->textureIndex, 0);
    EXPECT_EQ(lua.Maps().FindTextureEntry("Mud")->textureIndex, 1);
    EXPECT_TRUE(lua.Cameras().GetCameraByIndex(0)->IsIsometric());
}

TEST_F(RandomFloorTest, ThePrintedSeedReproducesTheFloor) {
    const Floor a = Load(7, 99);
    const Floor b = Load(7, 99);
    const Floor c = Load(7, 100);
    EXPECT_EQ(a.side, 47);
    EXPECT_EQ(a.ground, b.ground);
    EXPECT_EQ(a.enemies, b.enemies);
    EXPECT_NE(a.ground, c.ground);
}

// Over many seeds, the up-stair and every enemy stand on ground the player
// can walk to from its start (ground cells joined side by side; a column
// without ground is a wall).
TEST_F(RandomFloorTest, TheStairAndTheEnemiesCanBeReachedFromTheStart) {
    const char* ranges[] = {"ISOM_SetSizes(6, 30, 1)", "ISOM_SetSizes(30, 90, 1)"};
    int floors = 0;
    for (const char* range : ranges) {
        dir.WriteFile("Data/Scripts/Maps/RLG/General.lua", range);
        for (int seed = 1; seed <= 250; ++seed) {
            const Floor floor = Load(seed, seed * 7919);
            const int32_t side = floor.side;
            ASSERT_GT(side, 0) << floor.printed;
            ASSERT_EQ(floor.stairs, 1) << range << " seed " << seed * 7919;
            auto cell = [side](double x, double y) {
                return static_cast<int32_t>(x) / 30 * side + static_cast<int32_t>(y) / 30;
            };
            std::vector<bool> reached(floor.ground.size(), false);
            std::vector<int32_t> open{cell(player.GetDimensions()->X, player.GetDimensions()->Y)};
            reached[open[0]] = true;
            while (!open.empty()) {
                const int32_t at = open.back();
                open.pop_back();
                const int32_t x = at / side, y = at % side;
                for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                    const int32_t next = nx * side + ny;
                    if (nx < 0 || ny < 0 || nx >= side || ny >= side || reached[next] || !floor.ground[next]) continue;
                    reached[next] = true;
                    open.push_back(next);
                }
            }
            EXPECT_TRUE(reached[cell(floor.stair.first, floor.stair.second)]) << range << " seed " << seed * 7919;
            for (auto [x, y] : floor.enemies) EXPECT_TRUE(reached[cell(x, y)]) << range << " seed " << seed * 7919;
            ++floors;
        }
    }
    EXPECT_EQ(floors, 500);
}

TEST_F(RandomFloorTest, SizeRangesThatCannotWorkAreRefused) {
    struct Case {
        const char* sizes;
        bool generated;
        int32_t side;
    };
    const Case cases[] = {
        {"ISOM_SetSizes(5, 80, 1)", false, 0},   {"ISOM_SetSizes(40, 30, 1)", false, 0},
        {"ISOM_SetSizes(40, 300, 1)", false, 0}, {"ISOM_SetSizes(-8, 0, 1)", false, 0},
        {"ISOM_SetSizes(12, 12, 2)", true, 12},  {"ISOM_SetSizes(6, 7, 1)", true, 6},
    };
    for (const Case& c : cases) {
        dir.WriteFile("Data/Scripts/Maps/RLG/General.lua", c.sizes);
        const Floor floor = Load(3, 5);
        EXPECT_EQ(floor.side, c.side) << c.sizes;
        EXPECT_EQ(floor.printed.find("Failed") == std::string::npos, c.generated) << c.sizes << floor.printed;
        if (!c.generated) {
            EXPECT_EQ(lua.Entities().GetNPC("UpStair"), nullptr) << c.sizes;
        }
    }
}

TEST_F(RandomFloorTest, RoomDefinitionsAndTheQueueServeOneFloor) {
    dir.WriteFile("Data/Scripts/Maps/RLG/General.lua",
                  "ISOM_SetSizes(20, 20, 1)\n"
                  "ISOM_QueueTexture('Mud')\nISOM_QueueTexture('Grass')\n"
                  "ISOM_CreateRoomDef('Tunnel')\nISOM_SetPathDefToActive()\n"
                  "ISOM_AddFloorTexture('Grass')\nISOM_AddWallLTexture('Mud')\nISOM_AddWallRTexture('Mud')\n");
    const Floor floor = Load(0, 8);
    ASSERT_EQ(floor.side, 20);
    IsometricMap* map = lua.Maps().GetIsometricMap();
    EXPECT_EQ(lua.Maps().FindTextureEntry("Mud")->textureIndex, 0);
    EXPECT_EQ(lua.Maps().FindTextureEntry("Grass")->textureIndex, 1);
    EXPECT_TRUE(map->GetTextureQueue().empty());
    EXPECT_EQ(map->GetRoomDefinitionCount(), 0u);
    EXPECT_EQ(map->GetActiveDefinition(), nullptr);
    EXPECT_EQ(map->GetPathDefinition(), nullptr);
    // Every ground block has a floor: cave floors, corridors by the room
    // definition, edges by a registered texture.
    for (int32_t x = 0; x < 20; ++x)
        for (int32_t y = 0; y < 20; ++y)
            if (IsoBlock* block = map->GetBlock(x, y, 0)) {
                EXPECT_EQ(block->GetFloor().size(), 1u) << x << "," << y;
            }
}

TEST_F(RandomFloorTest, AScriptLoadingAnotherMapMidwayIsSurvived) {
    dir.WriteFile("Data/Scripts/NPCs/Enemies/Zezazoru/Constructor.lua", "MapM_TransitionMap('MAPNONE')\n");
    const Floor floor = Load(0, 11);
    EXPECT_TRUE(lua.Maps().IsDefinedMapMode());
    EXPECT_FALSE(lua.Maps().IsIsometric());
    EXPECT_EQ(lua.Entities().GetNPC("UpStair"), nullptr);
    EXPECT_EQ(floor.enemies.size(), 0u);
}

TEST_F(RandomFloorTest, PlacingThePlayer) {
    // A player the transition already placed stays where it is.
    ClearTransitionState();
    GetTransitionState().placed = 1;
    GetTransitionState().entityMode = 1;
    player.SetPosition(5, 6, 0);
    {
        ScriptedRandom random({0, 3});
        StderrCapture cap;
        lua.Maps().TransitionMap("MAPRANDOM");
    }
    EXPECT_EQ(player.GetDimensions()->X, 5);
    EXPECT_EQ(GetTransitionState().entityMode, 1);

    // On a floor without ground the player is not placed, and says so.
    ClearTransitionState();
    IsometricMap empty;
    empty.SetSize(8, 8, 1);
    empty.CreateBlock(0, 3, 0);  // the edge is not searched
    StderrCapture cap;
    empty.PlacePlayer();
    EXPECT_EQ(cap.Take(), "IsometricMap::PlacePlayer:  Severe error, player was NOT placed!\n");
    EXPECT_EQ(GetTransitionState().placed, 0);
    EXPECT_EQ(player.GetDimensions()->X, 5);
    empty.CreateBlock(2, 1, 0);
    empty.CreateBlock(1, 7, 0);
    empty.PlacePlayer();
    EXPECT_EQ(player.GetDimensions()->X, 45);  // x first: (1, 7)
    EXPECT_EQ(player.GetDimensions()->Y, 225);
    EXPECT_EQ(GetTransitionState().placed, 1);
}
