// The sample game's meadow and cellar as a player walks them: the levels as
// packed into game/Data/Maps, their drawings in tools/levels, and the map
// scripts that place the stairs, the standing stones and the slime.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "LevelWriter.h"
#include "core/base/GlobalState.h"
#include "core/base/RootEntity.h"
#include "core/base/TransitionState.h"
#include "core/script/LuaManager.h"
#include "maps/ChunkStreamer.h"
#include "support/AllegroTestEnv.h"
#include "support/SampleGameScripts.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Dimensions.h"
#include "world/EntityManager.h"
#include "world/ObjectStaticTransition.h"
#include "world/PlayerVorn.h"

namespace {

// A level's drawing: its map characters, each covering scale x scale tiles.
struct Drawing {
    int scale = 1;
    std::vector<std::string> rows;
    char At(int x, int y) const { return rows.at(y / scale).at(x / scale); }
};

Drawing ReadDrawing(const std::string& level) {
    std::ifstream in(std::string(QEL_SOURCE_DIR) + "/tools/levels/" + level + ".txt");
    Drawing drawing;
    std::string line;
    bool map = false;
    while (std::getline(in, line)) {
        if (map) {
            if (!line.empty()) drawing.rows.push_back(line);
        } else if (line.rfind("scale ", 0) == 0) {
            drawing.scale = std::stoi(line.substr(6));
        } else if (line == "map") {
            map = true;
        }
    }
    return drawing;
}

// The meadow's script run in the sample game's script host, with a player.
class MeadowTest : public ::testing::Test {
protected:
    MeadowTest() {
        testsupport::EnsureAllegro();
        m_savedPlayer = GetGlobalState()->player;
        m_savedTransition = GetGlobalState()->transition;
        m_savedSwitch = GetGlobalState()->stateSwitchRequest;
        GetGlobalState()->player = &player;
        GetGlobalState()->transition = nullptr;
        testsupport::StderrCapture quiet;  // pictures and fonts are not here
        lua.Manager().RunFile("Data/Scripts/System/GlobalVariables.lua", -1);
    }
    ~MeadowTest() override {
        ClearTransitionState();
        lua.Entities().Clear();
        GetGlobalState()->player = m_savedPlayer;
        GetGlobalState()->transition = m_savedTransition;
        GetGlobalState()->stateSwitchRequest = m_savedSwitch;
    }

    void LoadMeadow() {
        lua.Entities().Clear();
        testsupport::StderrCapture quiet;
        lua.Manager().RunFile("Data/Scripts/Maps/DebugRoom.lua", -2);
    }

    // Where a named entity of the meadow stands.
    bool PositionOf(const std::string& name, float& x, float& y) {
        RootEntity* entity = lua.Entities().GetEntityByName(name.c_str());
        if (!entity) return false;
        float z = 0;
        entity->GetPosition(&x, &y, &z);
        return true;
    }

    // The level a zone sends a player standing at (x, y) to ("" for none).
    std::string ZoneSends(const char* zone, float x, float y) {
        auto* object = dynamic_cast<ObjectStaticTransition*>(lua.Entities().GetObject(zone));
        if (!object) return "no zone " + std::string(zone);
        ClearTransitionState();
        player.SetPosition(x, y, 0);
        object->Update();
        return GetTransitionState().mapName.value_or("");
    }

    testsupport::TempDir dir;
    testsupport::SampleGameScripts lua;
    PlayerVorn player;

private:
    PlayerVorn* m_savedPlayer = nullptr;
    Transition* m_savedTransition = nullptr;
    uint8_t m_savedSwitch = 0;
};

TEST_F(MeadowTest, TheStairsTakeAPlayerWhoWalksOntoTheirDrawing) {
    LoadMeadow();
    const Drawing meadow = ReadDrawing("DebugRoom");
    ASSERT_FALSE(meadow.rows.empty());

    // Down the path from the north, on any of its columns: the hut's stairs
    // take the player before the roof ends.
    int pathColumns = 0;
    for (int x = 0; x < 1024; ++x) {
        if (meadow.At(x, 552) != '=') continue;
        ++pathColumns;
        std::string sent;
        float y = 536;
        for (; y < 700 && sent.empty(); y += 2.2f) sent = ZoneSends("HutStairs", static_cast<float>(x), y);
        EXPECT_EQ(sent, "Cellar") << "walking down the path at x " << x;
        EXPECT_EQ(meadow.At(x, static_cast<int>(y)), 'r') << "walking down the path at x " << x << ": taken at " << y;
    }
    EXPECT_GE(pathColumns, 24);

    // Standing on any tile drawn as the stairwell leads down to a cave floor.
    int stairwell = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            if (meadow.At(x, y) != 'v') continue;
            ++stairwell;
            EXPECT_EQ(ZoneSends("Stairwell", static_cast<float>(x), static_cast<float>(y)), "MAPRANDOM")
                << x << ", " << y;
        }
    EXPECT_EQ(stairwell, 512);
    // Where the player comes back from the cellar or up from the caves is on
    // neither, a walk across the square just below the roof's edge passes
    // by, and so does a walk along the square's lower edge, above the
    // stairwell's bay.
    for (const auto& [x, y] : {std::pair{200.0f, 640.0f}, std::pair{320.0f, 704.0f}}) {
        EXPECT_EQ(ZoneSends("HutStairs", x, y), "");
        EXPECT_EQ(ZoneSends("Stairwell", x, y), "");
    }
    for (float x = 100; x < 300; x += 2.2f) EXPECT_EQ(ZoneSends("HutStairs", x, 616), "") << x;
    for (float x = 104; x < 352; x += 2.2f) EXPECT_EQ(ZoneSends("Stairwell", x, 719), "") << x;
}

TEST_F(MeadowTest, NoWalkToOneStandingStoneCrossesTheOther) {
    LoadMeadow();
    struct Stone {
        const char* name;
        float x = 0, y = 0;
    };
    Stone stones[] = {{"SaveStoneSpot"}, {"MemoryStoneSpot"}};
    for (Stone& stone : stones) ASSERT_TRUE(PositionOf(stone.name, stone.x, stone.y)) << stone.name;

    // Where a player comes from: the start on the square, the path above it,
    // the hut's door, the herb below the square, the elder, the cordial, the
    // stairwell.
    const float from[][2] = {{224, 668}, {224, 536}, {200, 640}, {96, 724},
                             {262, 610}, {300, 620}, {320, 704}, {312, 630}};
    // A stone acts on a player within 12 units on both axes.
    auto reaches = [](float x, float y, const Stone& stone) {
        return std::abs(x - stone.x) <= 12 && std::abs(y - stone.y) <= 12;
    };
    for (int to = 0; to < 2; ++to) {
        const Stone& goal = stones[to];
        const Stone& other = stones[1 - to];
        for (const auto& start : from) {
            // Across first, then up or down; and the other way round.
            for (bool acrossFirst : {true, false}) {
                const float cornerX = acrossFirst ? goal.x : start[0];
                const float cornerY = acrossFirst ? start[1] : goal.y;
                bool crossed = false;
                for (float t = 0; t <= 1.0f; t += 0.01f) {
                    crossed |= reaches(start[0] + (cornerX - start[0]) * t, start[1] + (cornerY - start[1]) * t, other);
                    crossed |= reaches(cornerX + (goal.x - cornerX) * t, cornerY + (goal.y - cornerY) * t, other);
                }
                EXPECT_FALSE(crossed) << "from " << start[0] << ", " << start[1] << " to " << goal.name
                                      << (acrossFirst ? " across first" : " up or down first");
            }
        }
    }
}

TEST_F(MeadowTest, TheSlimeStartsAwayFromTheNewGameAndStaysGoneOnceFought) {
    LoadMeadow();
    float x = 0, y = 0;
    ASSERT_TRUE(PositionOf("Zezazoru", x, y));
    // It chases at 150: a new game starts twice as far away.
    EXPECT_GT(std::hypot(x - 224.0f, y - 668.0f), 300.0f);

    // A battle with a slime in a cave floor leaves the meadow's slime be.
    struct Case {
        const char* where;
        const char* map;
        const char* expected;
    };
    for (const Case& c : {Case{"a cave floor", "Maps/RLG/General.lua", "0"}, Case{"the cellar", "Maps/Cellar.lua", "0"},
                          Case{"the meadow", "Maps/DebugRoom.lua", "1"}}) {
        SCOPED_TRACE(c.where);
        testsupport::StderrCapture quiet;
        lua.Manager().RunFile(std::string("Data/Scripts/") + c.map, -2);
        lua.Manager().RunFile("Data/Scripts/Combat/Enemies/ZezazoruSprite.lua", -1);
        ASSERT_TRUE(lua.Run("fought = Global_GetScriptVariableI(\"MeadowSlimeFought\")"));
        EXPECT_EQ(std::to_string(static_cast<int>(lua.GetNumber("fought"))), c.expected);
    }
    // The meadow loaded again: no slime; the items and the elder are there.
    LoadMeadow();
    EXPECT_FALSE(PositionOf("Zezazoru", x, y));
    EXPECT_TRUE(PositionOf("Elder", x, y));
}

// The packed levels, read as the game reads them.
class SampleLevelTest : public ::testing::Test {
protected:
    SampleLevelTest() { testsupport::EnsureAllegro(); }
    bool Open(const std::string& level) {
        testsupport::StderrCapture quiet;
        if (streamer.Open(std::string(QEL_SOURCE_DIR) + "/game/Data/Maps/" + level + ".plf") != 0) return false;
        streamer.SetCentre(1, 1);
        streamer.LoadPass();
        return true;
    }
    // Whether a tile of the rectangle (edges included) is blocked.
    bool BlockedBetween(int x0, int y0, int x1, int y1) {
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                if (streamer.IsBlocked(x, y)) return true;
        return false;
    }
    testsupport::TempDir dir;
    ChunkStreamer streamer;
};

// Blocked tiles are drawn over the characters: the hedge, the wood and the
// lake block along their rims, and what lies inside is drawn under them.
TEST_F(SampleLevelTest, TheMeadowIsHedgedRoundSoNoWalkLeavesIt) {
    ASSERT_TRUE(Open("DebugRoom"));
    const int width = streamer.GetCountX() * 256, height = streamer.GetCountY() * 256;
    int open = 0;
    // The hedge along the top and the sides, the wood along the bottom: it
    // keeps every walk above y 816, clear of the strip of the screen the
    // chat window covers when the view rests on the bottom edge (824 on).
    for (int x = 8; x < width - 8; ++x) open += (BlockedBetween(x, 0, x, 7) && BlockedBetween(x, 800, x, 816)) ? 0 : 1;
    for (int y = 8; y < 808; ++y)
        open += (BlockedBetween(0, y, 7, y) && BlockedBetween(width - 8, y, width - 1, y)) ? 0 : 1;
    EXPECT_EQ(open, 0);
    EXPECT_FALSE(BlockedBetween(1, 1, 6, 6));
    EXPECT_LT(height, 824 + 600);
    // The lake's water is free inside its rim: seen from the south shore,
    // one blocked line, then open water.
    int lines = 0;
    for (int y = 330; y > 208; --y) lines += streamer.IsBlocked(736, y) && !streamer.IsBlocked(736, y + 1);
    EXPECT_EQ(lines, 1);
    EXPECT_FALSE(streamer.IsBlocked(736, 208));
    // Inside it the player walks where a new game starts.
    EXPECT_FALSE(streamer.IsBlocked(224, 668));
    EXPECT_FALSE(streamer.IsBlocked(8, 8));
}

// A tree's crown is drawn over the characters on every other tile only:
// one who stands under it shows through the tiles between.
TEST(SampleMeadowDrawing, SomeoneUnderATreeShowsThroughItsCrown) {
    std::string error;
    auto level = plf::ParseDescription(testsupport::ReadFile(QEL_SOURCE_DIR "/tools/levels/DebugRoom.txt"), error);
    ASSERT_TRUE(level) << error;
    const Drawing meadow = ReadDrawing("DebugRoom");
    size_t crown = 0, over = 0;
    for (uint32_t x = 0; x < level->Width(); ++x)
        for (uint32_t y = 0; y < level->Height(); ++y)
            if (meadow.At(x, y) == 'T') ++crown, over += level->GetTile(x, y).layer >= 128;
    EXPECT_GT(crown, 5000u);
    EXPECT_EQ(over * 2, crown);
}

TEST_F(SampleLevelTest, TheCellarFillsTheViewAndIsWalledRound) {
    ASSERT_TRUE(Open("Cellar"));
    // At least as large as the 800 x 600 view: the view follows the player
    // and rests against the level's edges, instead of staying where the
    // meadow's view was.
    EXPECT_GE(streamer.GetCountX() * 256, 800);
    EXPECT_GE(streamer.GetCountY() * 256, 600);
    // The room's walls run round the view's edges; the player arrives below
    // the stairs, on free ground.
    // The walls block along their rims (a line inside the view's edges).
    int open = 0;
    for (int x = 16; x < 784; ++x) open += (BlockedBetween(x, 0, x, 15) && BlockedBetween(x, 584, x, 599)) ? 0 : 1;
    for (int y = 16; y < 584; ++y) open += (BlockedBetween(0, y, 15, y) && BlockedBetween(784, y, 799, y)) ? 0 : 1;
    EXPECT_EQ(open, 0);
    EXPECT_FALSE(streamer.IsBlocked(128, 64));
    EXPECT_FALSE(streamer.IsBlocked(400, 300));
}

}  // namespace
