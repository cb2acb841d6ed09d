// The sample adventure played as a player plays it: real key presses and
// clicks through the X server, checked by what the window shows, what the
// program prints and what the game's scripts hold (through the test-only
// probe the session puts into its copy of the game).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/GameSession.h"
#include "support/TempDir.h"

using testsupport::GameSession;
using testsupport::Near;
using testsupport::Screenshot;
using testsupport::WaitFor;

namespace {

constexpr double kStepTimeout = 30.0;

constexpr const char* kCalmSlime =
    "EM_NPC_SetActiveNPC(\"Zezazoru\")\n"
    "NPC_WorldEnemy_SetDetectRange(1)\n"
    "NPC_WorldEnemy_SetAggroRange(1)\n";

struct Position {
    double x = NAN, y = NAN, z = NAN;
};

Position PlayerPosition(GameSession& game) {
    std::vector<std::string> values = game.Probe({"PM_GetValue(\"Player\", \"\", \"XCenter\")",
                                                 "PM_GetValue(\"Player\", \"\", \"YCenter\")",
                                                 "PM_GetValue(\"Player\", \"\", \"ZCenter\")"});
    Position at;
    if (values.size() == 3) {
        at.x = std::atof(values[0].c_str());
        at.y = std::atof(values[1].c_str());
        at.z = std::atof(values[2].c_str());
    }
    return at;
}

// The value of one of the avatar's movement flags ("Walking", "Running").
std::string AvatarFlag(GameSession& game, const std::string& flag) {
    return game.ProbeOne("(function() EM_NPC_SetActiveNPC(\"Player1\") return PM_GetValue(\"NPC\", \"\", \"St|" + flag +
                         "\") end)()");
}

// Holds a key until the player's position passes the test.
bool WalkUntil(GameSession& game, const std::string& key, const std::function<bool(const Position&)>& arrived,
               double timeout = kStepTimeout) {
    return game.Driver().Hold(key, [&] { return arrived(PlayerPosition(game)); }, timeout);
}

std::string Describe(const Position& at) {
    return "player at " + std::to_string(at.x) + ", " + std::to_string(at.y) + ", " + std::to_string(at.z);
}

// Walks across, then up or down, until the player is within a few units of
// the spot: a long walk to near it, then short steps.
bool WalkTo(GameSession& game, double x, double y) {
    auto approach = [&](double Position::*axis, double target, const char* less, const char* more) {
        Position at = PlayerPosition(game);
        if (at.*axis < target - 30) WalkUntil(game, more, [&](const Position& p) { return p.*axis >= target - 30; });
        if (at.*axis > target + 30) WalkUntil(game, less, [&](const Position& p) { return p.*axis <= target + 30; });
        for (int step = 0; step < 40; ++step) {
            at = PlayerPosition(game);
            if (std::abs(at.*axis - target) <= 4) return true;
            game.Driver().Press(at.*axis < target ? more : less, 40);
        }
        return false;
    };
    return approach(&Position::x, x, "Left", "Right") && approach(&Position::y, y, "Up", "Down");
}

// Share of a region's pixels that pass the test.
double Share(const Screenshot& shot, const std::function<bool(uint32_t)>& test) {
    if (shot.Empty()) return 0.0;
    return static_cast<double>(shot.Count(test)) / static_cast<double>(shot.pixels.size());
}

bool IsGrass(uint32_t p) { return testsupport::Green(p) > testsupport::Red(p) + 40 && testsupport::Green(p) > testsupport::Blue(p) + 40; }
bool IsBlack(uint32_t p) { return Near(p, 0, 0, 0, 8); }
bool IsMoonlight(uint32_t p) { return testsupport::Red(p) > 200 && testsupport::Green(p) > 200 && testsupport::Blue(p) < 190; }
bool IsDialogueNavy(uint32_t p) { return testsupport::Blue(p) > testsupport::Red(p) + 15 && testsupport::Blue(p) < 110 && testsupport::Red(p) < 70; }
bool IsDialogueText(uint32_t p) { return testsupport::Red(p) > 150 && testsupport::Green(p) > 110 && testsupport::Blue(p) < 90; }
bool IsRobeBlue(uint32_t p) { return Near(p, 56, 77, 158, 40) || Near(p, 36, 48, 107, 30); }
bool IsParchment(uint32_t p) { return testsupport::Red(p) > 190 && testsupport::Green(p) > 170 && testsupport::Blue(p) > 120 && testsupport::Red(p) > testsupport::Blue(p) + 30; }
bool IsCommandBlue(uint32_t p) { return testsupport::Blue(p) > testsupport::Red(p) + 40 && testsupport::Blue(p) > 110; }
bool IsBright(uint32_t p) { return testsupport::Red(p) > 180 && testsupport::Green(p) > 180 && testsupport::Blue(p) > 180; }

// Colours of the cave floors' ground and rock.
bool IsCave(uint32_t p) {
    return Near(p, 107, 97, 87, 30) || Near(p, 77, 74, 79, 25) || Near(p, 77, 102, 71, 25);
}

// Walks from the meadow onto the stairwell on the square and checks the
// random cave floor it leads to: printed, and drawn in the isometric view.
void GoDownTheStairwell(GameSession& game, const std::string& picture) {
    size_t from = game.Output().size();
    // Down through the square east of the elder to just north of the
    // stairwell, then onto it.
    EXPECT_TRUE(WalkTo(game, 312, 630)) << Describe(PlayerPosition(game));
    EXPECT_TRUE(game.Driver().Hold(
        "Down", [&] { return testsupport::FindFrom(game.Output(), "Current floor is 1\n", from) != std::string::npos; },
        kStepTimeout))
        << Describe(PlayerPosition(game));
    EXPECT_NE(game.WaitForOutput("Generate level with seed ", from, kStepTimeout), std::string::npos);
    const size_t size = game.WaitForOutput("Size was ", from, kStepTimeout);
    ASSERT_NE(size, std::string::npos) << game.Output();
    int side = 0;
    EXPECT_EQ(std::sscanf(game.Output().c_str() + size, "%d", &side), 1);
    EXPECT_GE(side, 24);
    // The floor's cells and walls fill a good part of the screen; no grass.
    EXPECT_TRUE(WaitFor([&] { return Share(game.Driver().CaptureAll(), IsCave) > 0.15; }, kStepTimeout));
    EXPECT_LT(Share(game.Driver().CaptureAll(), IsGrass), 0.05);
    game.Picture(picture);
}

}  // namespace

// One play-through: the title, the meadow, walking, the hut's cellar and
// back, the menus, the chat window and a console command.
TEST(Adventure, PlayedThroughFromTheTitle) {
    GameSession game;
    // Where the meadow's slime wanders is random; in this copy of the game
    // it stays calm, noticing no one, so the walks before the battle go
    // the same way every time.
    ASSERT_TRUE(game.AppendToScript("Data/Scripts/Maps/DebugRoom.lua", kCalmSlime));
    // With the network on, the chat window is part of the screen; with no
    // server to find, the game goes on alone after a few seconds.
    ASSERT_TRUE(game.Start({})) << game.Failure();
    testsupport::WindowDriver& player = game.Driver();

    {
        SCOPED_TRACE("the title screen shows the moon over the hills");
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(540, 120, 100, 100), IsMoonlight) > 0.5; }, kStepTimeout));
        game.Picture("title");
    }

    {
        SCOPED_TRACE("a click starts the game: the transition ends in the meadow");
        player.Click(400, 300);
        // The probe answers only once the world runs.
        Position start = PlayerPosition(game);
        ASSERT_FALSE(std::isnan(start.x)) << game.Output();
        // The welcome window greets the player over the meadow, showing the
        // moon; its Close button closes it.
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(150, 100, 80, 80), IsMoonlight) > 0.5; }, kStepTimeout));
        game.Picture("welcome");
        player.Click(304, 264);
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(150, 100, 80, 80), IsMoonlight) < 0.05; }, kStepTimeout));
        EXPECT_GT(Share(player.Capture(0, 0, 800, 380), IsGrass), 0.5);
        game.Picture("meadow");
    }

    {
        SCOPED_TRACE("the arrow keys walk the player, shift runs, space jumps");
        Position from = PlayerPosition(game);
        EXPECT_TRUE(WalkUntil(game, "Right", [&](const Position& at) { return at.x > from.x + 60; }));
        EXPECT_NEAR(PlayerPosition(game).y, from.y, 1.0);
        from = PlayerPosition(game);
        EXPECT_TRUE(WalkUntil(game, "Up", [&](const Position& at) { return at.y < from.y - 40; }));
        EXPECT_NEAR(PlayerPosition(game).x, from.x, 1.0);

        // Running while shift is held.
        player.KeyDown("Shift_L");
        EXPECT_TRUE(player.Hold("Right", [&] { return AvatarFlag(game, "Running") == "1"; }, kStepTimeout));
        player.KeyUp("Shift_L");
        EXPECT_TRUE(WaitFor([&] { return AvatarFlag(game, "Stationary") == "1"; }, kStepTimeout));

        // A jump lifts the player off the ground (up is negative) and brings
        // it back down.
        EXPECT_TRUE(player.Hold("space", [&] { return PlayerPosition(game).z < -1.0; }, kStepTimeout));
        EXPECT_TRUE(WaitFor([&] { return PlayerPosition(game).z >= 0.0; }, kStepTimeout));
    }

    {
        SCOPED_TRACE("under the hut's roof the stairs lead down to the cellar, and back up");
        // Onto the path above the hut, then down it onto the square: the
        // stairs take the player to the foot of the cellar's stairs.
        EXPECT_TRUE(WalkTo(game, 200, 520)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkUntil(game, "Down", [](const Position& at) { return at.x == 128 && at.y == 64; }))
            << Describe(PlayerPosition(game));
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 0, 800, 600), IsGrass) < 0.3; }, kStepTimeout));
        game.Picture("cellar");
        // Up the cellar's stairs: out in front of the hut's door.
        EXPECT_TRUE(WalkUntil(game, "Up", [](const Position& at) { return at.x == 200 && at.y == 640; }))
            << Describe(PlayerPosition(game));
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 0, 800, 600), IsGrass) > 0.3; }, kStepTimeout));
    }

    {
        SCOPED_TRACE("escape opens the pause menu, its button the options menu in its place; escape closes");
        auto pauseShown = [&] { return Share(player.Capture(390, 410, 95, 30), IsBlack) > 0.95; };
        auto optionsShown = [&] { return Share(player.Capture(220, 240, 360, 140), IsBlack) > 0.95; };
        player.Tap("Escape");
        // The pause menu: a black panel in the middle of the screen, under
        // its name line.
        EXPECT_TRUE(WaitFor(pauseShown, kStepTimeout));
        EXPECT_GT(player.Capture(310, 160, 120, 20).Count(IsBright), 20u);
        game.Picture("pause");
        // The options button under the name line.
        player.Click(347, 193);
        EXPECT_TRUE(WaitFor(optionsShown, kStepTimeout));
        EXPECT_FALSE(pauseShown());
        game.Picture("options");
        player.Tap("Escape");
        EXPECT_TRUE(WaitFor([&] { return !optionsShown(); }, kStepTimeout));
        EXPECT_FALSE(pauseShown());
        // With nothing open, escape brings the pause menu back; again, it
        // closes it.
        player.Tap("Escape");
        EXPECT_TRUE(WaitFor(pauseShown, kStepTimeout));
        player.Tap("Escape");
        EXPECT_TRUE(WaitFor([&] { return !pauseShown(); }, kStepTimeout));
    }

    {
        SCOPED_TRACE("enter opens the chat line; a console command moves the player, a wrong one is answered");
        const Screenshot before = player.Capture(0, 560, 600, 20);
        // The command the README shows.
        const std::string readme = testsupport::ReadFile(std::string(QEL_SOURCE_DIR) + "/README.md");
        const size_t start = readme.find("`/npc setnpcposition Pelloc ");
        ASSERT_NE(start, std::string::npos);
        const std::string command = readme.substr(start + 1, readme.find('`', start + 1) - start - 1);
        double x = 0, y = 0, z = 0;
        ASSERT_EQ(std::sscanf(command.c_str(), "/npc setnpcposition Pelloc %lf %lf %lf", &x, &y, &z), 3) << command;
        player.Tap("Return");
        player.Type(command);
        player.Tap("Return");
        EXPECT_TRUE(WaitFor(
            [&] {
                Position at = PlayerPosition(game);
                return at.x == x && at.y == y;
            },
            kStepTimeout))
            << command;
        player.Tap("Return");
        player.Type("/npc unknowncommand");
        player.Tap("Return");
        // The answer appears as a line of text in the chat window.
        EXPECT_TRUE(WaitFor([&] { return player.Capture(0, 560, 600, 20).CountDifferent(before, 40) > 100; },
                            kStepTimeout));
        game.Picture("chat");
        // A click on the world gives the keys back to walking.
        player.Click(700, 60);
        Position before2 = PlayerPosition(game);
        EXPECT_TRUE(WalkUntil(game, "Right", [&](const Position& at) { return at.x > before2.x + 8; }));
    }

    {
        SCOPED_TRACE("the slime chases the player and starts a battle; the party wins it and the meadow returns");
        // The test wakes the slime: from now on it notices the player at 150
        // and fights at 16, as the meadow's script has it.
        EXPECT_EQ(game.ProbeOne("(function() EM_NPC_SetActiveNPC(\"Zezazoru\") NPC_WorldEnemy_SetDetectRange(150) "
                                "NPC_WorldEnemy_SetAggroRange(16) return 1 end)()"),
                  "1");
        auto inBattle = [&] { return Share(player.Capture(0, 150, 110, 190), IsParchment) > 0.4; };
        // Towards the slime, a few steps at a time, until the battle begins.
        for (int step = 0; step < 80 && !inBattle(); ++step) {
            std::vector<std::string> at = game.Probe(
                {"PM_GetValue(\"Player\", \"\", \"XCenter\") - (function() EM_NPC_SetActiveNPC(\"Zezazoru\") "
                 "return PM_GetValue(\"NPC\", \"\", \"XCenter\") end)()",
                 "PM_GetValue(\"Player\", \"\", \"YCenter\") - (function() EM_NPC_SetActiveNPC(\"Zezazoru\") "
                 "return PM_GetValue(\"NPC\", \"\", \"YCenter\") end)()"},
                2.0);
            if (at.size() != 2) continue;
            const double dx = std::atof(at[0].c_str()), dy = std::atof(at[1].c_str());
            const char* key = std::abs(dx) > std::abs(dy) ? (dx > 0 ? "Left" : "Right") : (dy > 0 ? "Up" : "Down");
            player.Press(key, 300);
        }
        ASSERT_TRUE(WaitFor(inBattle, kStepTimeout)) << game.Output();
        // The party's status plates at the left, the command window at the
        // lower right.
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(660, 435, 95, 20), IsCommandBlue) > 0.3; }, kStepTimeout));
        game.Picture("battle");
        // Attack and the first target for whoever acts, a key for every
        // message, until the battle is over and the meadow is back.
        for (int i = 0; i < 200 && inBattle(); ++i) {
            player.Click(708, 446);
            player.Click(572, 451);
            player.Tap("space");
        }
        EXPECT_FALSE(inBattle());
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 0, 800, 380), IsGrass) > 0.3; }, kStepTimeout));
        EXPECT_FALSE(game.ProbeOne("PM_GetValue(\"Player\", \"\", \"XCenter\")").empty());
    }

    {
        SCOPED_TRACE("the elder talks when clicked: his portrait, typed-out words and answers that count");
        // To the square, round the hut's stairs (north of its door), to
        // stand north of the elder, near the meadow's lower left corner: there the view rests
        // against the meadow's edges (it is 1024 x 768 and the view 800 x
        // 600), so the elder at (262, 646) stands at (262, 478) on the
        // screen.
        EXPECT_TRUE(WalkTo(game, 230, 640)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 230, 610)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 262, 610)) << Describe(PlayerPosition(game));
        EXPECT_EQ(game.ProbeOne("Global_GetScriptVariableI(\"MetTheElder\")"), "0");
        player.Click(262, 465);
        // The box along the bottom of the screen, his portrait at its left.
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 385, 800, 10), IsDialogueNavy) > 0.9; }, kStepTimeout));
        EXPECT_GT(Share(player.Capture(60, 520, 100, 50), IsRobeBlue), 0.5);
        // The words appear letter by letter.
        size_t first = 0, last = 0;
        EXPECT_TRUE(WaitFor([&] { return (first = player.Capture(225, 395, 450, 18).Count(IsDialogueText)) > 0; },
                            kStepTimeout));
        EXPECT_TRUE(WaitFor(
            [&] {
                size_t now = player.Capture(225, 395, 450, 18).Count(IsDialogueText);
                bool settled = now == last && now > first;
                last = now;
                return settled && player.Capture(240, 465, 200, 18).Count(IsDialogueText) > 0;
            },
            kStepTimeout));
        EXPECT_LT(first, last);
        game.Picture("dialogue");
        // "What lies below the square?" sets the story's flags.
        player.Click(350, 438);
        EXPECT_TRUE(game.WaitForValue("Global_GetScriptVariableI(\"MetTheElder\")", "1", kStepTimeout));
        EXPECT_EQ(game.ProbeOne("Global_GetScriptVariableI(\"HeardOfTheCaves\")"), "1");
        // The other question's flag does not exist yet (the engine's answer
        // for an unknown variable).
        EXPECT_EQ(game.ProbeOne("Global_GetScriptVariableI(\"WarnedOfTheSlime\")"), "-100");
        // Once his answer is out, "Farewell." (now a line lower) closes the box.
        EXPECT_TRUE(WaitFor([&] { return player.Capture(240, 519, 100, 18).Count(IsDialogueText) > 20; }, kStepTimeout));
        player.Click(280, 528);
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 385, 800, 10), IsDialogueNavy) < 0.5; }, kStepTimeout));
    }

    EXPECT_EQ(game.Close(), 0);
    const std::string out = game.Output();
    EXPECT_NE(out.find("Cleaning memory - "), std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
}

// The way down to a cave floor, started in the meadow without the title, in
// the default view and through OpenGL.
class DungeonFloor : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(DungeonFloor, TheStairwellLeadsDownToARandomCaveFloor) {
    GameSession game;
    ASSERT_TRUE(game.AppendToScript("Data/Scripts/Maps/DebugRoom.lua", kCalmSlime));
    ASSERT_TRUE(game.Start(GetParam())) << game.Failure();
    ASSERT_FALSE(std::isnan(PlayerPosition(game).x)) << game.Output();
    EXPECT_TRUE(WaitFor([&] { return Share(game.Driver().Capture(0, 300, 800, 100), IsGrass) > 0.5; }, kStepTimeout));
    const bool openGL = GetParam()[0] == "-ogl";
    GoDownTheStairwell(game, openGL ? "dungeon-ogl" : "dungeon");
    EXPECT_EQ(game.Close(), 0);
    const std::string out = game.Output();
    EXPECT_EQ(out.find("Forcing OpenGL mode\n") != std::string::npos, openGL) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Views, DungeonFloor,
                         ::testing::Values(std::vector<std::string>{"-skiptitle", "-nonetwork"},
                                           std::vector<std::string>{"-ogl", "-skiptitle", "-nonetwork"}),
                         [](const auto& info) { return info.param[0] == "-ogl" ? "OpenGL" : "Default"; });
