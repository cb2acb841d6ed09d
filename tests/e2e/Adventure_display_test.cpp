// The sample adventure played as a player plays it, in one play-through:
// real key presses and clicks through the X server, checked by what the
// window shows, what the program prints, what the game's scripts hold
// (through the test-only probe the session puts into its copy of the game)
// and the bytes of the save files it writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "support/GameSessionPlay.h"
#include "support/TempDir.h"

using testsupport::Describe;
using testsupport::GameSession;
using testsupport::Near;
using testsupport::PlayerPosition;
using testsupport::Position;
using testsupport::SaveFile;
using testsupport::Screenshot;
using testsupport::Share;
using testsupport::WaitFor;
using testsupport::WalkTo;
using testsupport::WalkUntil;

namespace {

constexpr double kStepTimeout = 30.0;

// The value of one of the avatar's movement flags ("Walking", "Running").
std::string AvatarFlag(GameSession& game, const std::string& flag) {
    return game.ProbeOne("(function() EM_NPC_SetActiveNPC(\"Player1\") return PM_GetValue(\"NPC\", \"\", \"St|" + flag +
                         "\") end)()");
}

bool IsGrass(uint32_t p) {
    return testsupport::Green(p) > testsupport::Red(p) + 40 && testsupport::Green(p) > testsupport::Blue(p) + 40;
}
bool IsBlack(uint32_t p) { return Near(p, 0, 0, 0, 8); }
bool IsMoonlight(uint32_t p) {
    return testsupport::Red(p) > 200 && testsupport::Green(p) > 200 && testsupport::Blue(p) < 190;
}
bool IsDialogueNavy(uint32_t p) {
    return testsupport::Blue(p) > testsupport::Red(p) + 15 && testsupport::Blue(p) < 110 && testsupport::Red(p) < 70;
}
bool IsDialogueText(uint32_t p) {
    return testsupport::Red(p) > 150 && testsupport::Green(p) > 110 && testsupport::Blue(p) < 90;
}
bool IsRobeBlue(uint32_t p) { return Near(p, 56, 77, 158, 40) || Near(p, 36, 48, 107, 30); }
bool IsCommandBlue(uint32_t p) { return testsupport::Blue(p) > testsupport::Red(p) + 40 && testsupport::Blue(p) > 110; }
bool IsBright(uint32_t p) {
    return testsupport::Red(p) > 180 && testsupport::Green(p) > 180 && testsupport::Blue(p) > 180;
}
// The dark bricks of the meadow's stairwell.
bool IsStairwell(uint32_t p) { return Near(p, 34, 30, 36, 10); }

// Colours of the cave floors' ground and rock.
bool IsCave(uint32_t p) { return Near(p, 107, 97, 87, 30) || Near(p, 77, 74, 79, 25) || Near(p, 77, 102, 71, 25); }

// Colours of the inventory: its grid's empty cells, a red cordial, the
// description's grey letters.
bool IsGridNavy(uint32_t p) { return Near(p, 14, 17, 42, 12); }
bool IsCordialRed(uint32_t p) { return testsupport::Red(p) > testsupport::Green(p) + 40; }
bool IsLetter(uint32_t p) {
    return testsupport::Red(p) > 150 && testsupport::Green(p) > 150 && testsupport::Blue(p) > 150;
}

// Waits for a check on a cave floor. A slime of the floor may start at the
// player's arrival and reach him before the check is done: the battle is
// won and the check waited for again. A check that reads positions waits
// seconds on a world the battle holds, and the battle's screen may show only
// after its fade: the screen is looked at again after every check, and a
// little longer once the time is up.
bool WaitOnTheFloor(GameSession& game, const std::function<bool()>& done, double seconds) {
    for (int battles = 0; battles < 3; ++battles) {
        bool battle = false;
        const bool ok = WaitFor(
            [&] {
                if (!testsupport::InBattle(game) && done()) return true;
                battle = testsupport::InBattle(game);
                return battle;
            },
            seconds);
        if (!battle && !ok) battle = WaitFor([&] { return testsupport::InBattle(game); }, 5.0);
        if (!battle) return ok;
        if (!testsupport::WinBattleWithClicks(game)) return false;
    }
    return false;
}

// Walks from the meadow onto the stairwell in its bay below the square, from
// the square or from the grass south of it, and checks the random cave floor
// it leads to: printed, and drawn in the isometric view.
void GoDownTheStairwell(GameSession& game, const std::string& picture, bool fromTheSouth) {
    size_t from = game.Output().size();
    // To just beside the stairwell (it lies at 304-335, 720-735), then onto
    // it.
    EXPECT_TRUE(WalkTo(game, 320, fromTheSouth ? 760 : 704)) << Describe(PlayerPosition(game));
    EXPECT_TRUE(game.Driver().Hold(
        fromTheSouth ? "Up" : "Down",
        [&] { return testsupport::FindFrom(game.Output(), "Current floor is 1\n", from) != std::string::npos; },
        kStepTimeout))
        << Describe(PlayerPosition(game));
    EXPECT_NE(game.WaitForOutput("Generate level with seed ", from, kStepTimeout), std::string::npos);
    const size_t size = game.WaitForOutput("Size was ", from, kStepTimeout);
    ASSERT_NE(size, std::string::npos) << game.Output();
    int side = 0;
    EXPECT_EQ(std::sscanf(game.Output().c_str() + size, "%d", &side), 1);
    EXPECT_GE(side, 24);
    // The ladder back up stands beside the player where he arrives: on the
    // screen right of him, clear of his picture (18 wide; the ladder's is
    // 28), once the few steps he walks on with the key still down are done.
    Position ladder, self, before;
    double across = 0, down = 0;
    EXPECT_TRUE(WaitOnTheFloor(
        game,
        [&] {
            before = self;
            ladder = testsupport::CharacterPosition(game, "UpStair", 5.0);
            self = PlayerPosition(game, 5.0);
            across = (ladder.x - ladder.y) - (self.x - self.y);
            down = (ladder.x + ladder.y) / 2 - (self.x + self.y) / 2;
            return self.x == before.x && self.y == before.y && across >= 23 && across <= 80 && std::abs(down) <= 20;
        },
        10.0))
        << "ladder " << Describe(ladder) << "; " << Describe(self) << "; on the screen " << across << ", " << down;
    // The floor's cells and walls fill a good part of the screen, and no
    // grass is left once the new map is drawn (a slow machine may show a
    // frame of both while the view changes).
    double cave = 0, grass = 0;
    EXPECT_TRUE(WaitOnTheFloor(
        game,
        [&] {
            const Screenshot shot = game.Driver().CaptureAll();
            cave = Share(shot, IsCave);
            grass = Share(shot, IsGrass);
            return cave > 0.15 && grass < 0.05;
        },
        kStepTimeout))
        << "cave " << cave << ", grass " << grass;
    game.Picture(picture);
}

// The wood of the cave floor's ladder.
bool IsLadderWood(uint32_t p) { return Near(p, 148, 102, 51, 24); }

// Where the floor's ladder takes a click, on the screen: the isometric view
// draws a point (x, y) at (x - y, (x + y) / 2) less the view's corner, and
// the view keeps the player 400 across and 240 down. The ladder's click box
// lies 30 above its foot. False when that is off the screen (or under the
// chat window) or a position could not be read.
bool LadderOnScreen(GameSession& game, const Position& ladder, int& screenX, int& screenY) {
    const Position self = PlayerPosition(game, 5.0);
    if (!ladder.Known() || !self.Known()) return false;
    screenX = static_cast<int>((ladder.x - ladder.y) - (self.x - self.y) + 400);
    screenY = static_cast<int>((ladder.x + ladder.y) / 2 - (self.x + self.y) / 2 + 193);
    return screenX >= 30 && screenX <= 770 && screenY >= 30 && screenY <= 380;
}

// Clicks the floor's ladder, as a player does, until the player is back in
// the meadow. The floor's slimes chase the player from afar: one that
// catches the player first is fought, and the ladder is clicked again. A
// click on the ladder that takes the player nowhere, with no battle begun,
// fails at once.
void ClimbTheLadder(GameSession& game) {
    const size_t from = game.Output().size();
    auto back = [&] { return testsupport::FindFrom(game.Output(), "Current floor is 0\n", from) != std::string::npos; };
    auto inBattle = [&] { return testsupport::InBattle(game); };
    for (int round = 0; round < 20 && !back(); ++round) {
        if (inBattle()) {
            ASSERT_TRUE(testsupport::WinBattleWithClicks(game)) << "a battle on the cave floor was not won";
            continue;
        }
        const Position ladder = testsupport::CharacterPosition(game, "UpStair", 5.0);
        int x = 0, y = 0;
        if (!LadderOnScreen(game, ladder, x, y)) {
            // Finding the ladder through a random maze is not what this test
            // is about: the player is put where he arrived, on the middle of
            // the ladder's cell left of it on the screen, as the console's
            // position command would put him there.
            if (ladder.Known())
                game.ProbeOne("(function() Player_SetPosition(" + std::to_string(ladder.x - 14) + ", " +
                              std::to_string(ladder.y + 14) + ", -52) return 1 end)()");
            continue;
        }
        // The view follows the player over a few frames: the click waits for
        // the ladder's picture where the click goes.
        if (!WaitFor(
                [&] { return game.Driver().Capture(x - 10, y - 14, 20, 28).Count(IsLadderWood) > 30 || inBattle(); },
                kStepTimeout)) {
            ADD_FAILURE() << "the ladder was not seen at " << x << ", " << y << "; " << Describe(PlayerPosition(game));
            continue;
        }
        if (inBattle()) continue;
        game.Driver().Click(x, y);
        // Only a battle begun before the click reached the ladder may keep
        // the player down here.
        ASSERT_TRUE(WaitFor([&] { return back() || inBattle(); }, kStepTimeout))
            << "a click on the ladder at " << x << ", " << y << " took the player nowhere; "
            << Describe(PlayerPosition(game)) << "\n"
            << game.Output();
    }
    ASSERT_TRUE(back()) << game.Output();
}

// Opens the inventory with its key: the grid of empty cells shows.
bool OpenInventory(GameSession& game) {
    game.Driver().Tap("i");
    return WaitFor([&] { return Share(game.Driver().Capture(13, 79, 320, 128), IsGridNavy) > 0.6; }, kStepTimeout);
}

SaveFile Parsed(const std::string& bytes) {
    SaveFile save;
    std::string why;
    EXPECT_TRUE(testsupport::ParseSave(bytes, save, why)) << why;
    return save;
}

// Slot of the first item of this code in a save's inventory, or -1.
int SlotOf(const SaveFile& save, uint32_t code) {
    if (save.records.empty()) return -1;
    const auto slots = testsupport::ReadInventory(save.records.back());
    for (size_t i = 0; i < slots.size(); ++i)
        if (slots[i].first == code) return static_cast<int>(i);
    return -1;
}

// Walks up onto the golden stone from below it, waits for its question in
// the dialogue box and clicks "Yes" or "No"; true once the box has closed.
bool AnswerTheGoldenStone(GameSession& game, bool yes) {
    testsupport::WindowDriver& player = game.Driver();
    auto boxShown = [&] { return Share(player.Capture(0, 385, 800, 10), IsDialogueNavy) > 0.9; };
    if (!player.Hold("Up", boxShown, kStepTimeout)) {
        ADD_FAILURE() << "no question at the golden stone; " << Describe(PlayerPosition(game));
        return false;
    }
    // Once "No" (line 5) is out, the answers take clicks.
    if (!WaitFor([&] { return player.Capture(240, 483, 100, 18).Count(IsDialogueText) > 20; }, kStepTimeout)) {
        ADD_FAILURE() << "the golden stone's answers did not show";
        return false;
    }
    if (!yes) game.Picture("load-asks");
    player.Click(300, yes ? 456 : 492);
    return WaitFor([&] { return !boxShown(); }, kStepTimeout);
}

// Item codes of the sample game's items.
constexpr uint32_t kCordial = 1;
constexpr uint32_t kHerb = 2;

}  // namespace

// One play-through, from the title to the elder's farewell.
TEST(Adventure, PlayedThroughFromTheTitle) {
    GameSession game;
    // The meadow's slime stays calm until the battle, so the walks before
    // it go the same way every time.
    ASSERT_TRUE(testsupport::CalmTheMeadowSlime(game));
    // With the network on, the chat window is part of the screen; with no
    // server to find, the game goes on alone after a few seconds.
    ASSERT_TRUE(game.Start({})) << game.Failure();
    testsupport::WindowDriver& player = game.Driver();

    {
        SCOPED_TRACE("the title screen shows the moon over the hills");
        EXPECT_TRUE(
            WaitFor([&] { return Share(player.Capture(540, 120, 100, 100), IsMoonlight) > 0.5; }, kStepTimeout));
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
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(430, 100, 80, 80), IsMoonlight) > 0.5; }, kStepTimeout));
        // It stands clear of the red cordial on the square's east edge
        // (about 50 red pixels, half of them under a window over them).
        EXPECT_GT(player.Capture(284, 168, 32, 32).Count(IsCordialRed), 40u);
        game.Picture("welcome");
        player.Click(584, 264);
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(430, 100, 80, 80), IsMoonlight) < 0.05; }, kStepTimeout));
        EXPECT_GT(Share(player.Capture(0, 0, 800, 380), IsGrass), 0.5);
        // The view rests on the meadow's bottom edge: the stairwell (and the
        // stones and the herb beside the square) lie above the chat window.
        EXPECT_GT(player.Capture(0, 0, 800, 400).Count(IsStairwell), 200u);
        game.Picture("meadow");
    }

    {
        SCOPED_TRACE("the arrow keys walk the player, shift runs, space jumps");
        // West along the square, past the hut's corner, then north beside it.
        Position from = PlayerPosition(game);
        EXPECT_TRUE(WalkUntil(game, "Left", [&](const Position& at) { return at.x < from.x - 80; }));
        EXPECT_NEAR(PlayerPosition(game).y, from.y, 1.0);
        from = PlayerPosition(game);
        EXPECT_TRUE(WalkUntil(game, "Up", [&](const Position& at) { return at.y < from.y - 40; }));
        EXPECT_NEAR(PlayerPosition(game).x, from.x, 1.0);

        // Running while shift is held.
        player.KeyDown("Shift_L");
        EXPECT_TRUE(player.Hold(
            "Right", [&] { return AvatarFlag(game, "Running") == "1"; }, kStepTimeout));
        player.KeyUp("Shift_L");
        EXPECT_TRUE(WaitFor([&] { return AvatarFlag(game, "Stationary") == "1"; }, kStepTimeout));

        // A jump lifts the player off the ground (up is negative) and brings
        // it back down.
        EXPECT_TRUE(player.Hold(
            "space", [&] { return PlayerPosition(game).z < -1.0; }, kStepTimeout));
        EXPECT_TRUE(WaitFor([&] { return PlayerPosition(game).z >= 0.0; }, kStepTimeout));
    }

    {
        SCOPED_TRACE("under the hut's roof the stairs lead down to the cellar, and back up");
        // In front of the hut's door, then up in under its roof: the stairs
        // take the player to the foot of the cellar's stairs.
        EXPECT_TRUE(WalkTo(game, 200, 640)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkUntil(game, "Up", [](const Position& at) { return at.x == 128 && at.y == 64; }))
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
        auto pauseShown = [&] { return Share(player.Capture(390, 150, 95, 30), IsBlack) > 0.95; };
        auto optionsShown = [&] { return Share(player.Capture(220, 240, 360, 140), IsBlack) > 0.95; };
        player.Tap("Escape");
        // The pause menu: a black panel above the chat window, under its
        // name line, its Close button clear of the chat window.
        EXPECT_TRUE(WaitFor(pauseShown, kStepTimeout));
        EXPECT_GT(player.Capture(310, 60, 120, 20).Count(IsBright), 20u);
        game.Picture("pause");
        // The options button under the name line.
        player.Click(347, 93);
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
        // On a busy machine a frame can miss a key struck quickly: a player
        // who mistyped types the line again.
        bool moved = false;
        for (int attempt = 0; attempt < 3 && !moved; ++attempt) {
            player.Tap("Return");
            player.Type(command);
            player.Tap("Return");
            moved = WaitFor(
                [&] {
                    Position at = PlayerPosition(game);
                    return at.x == x && at.y == y && at.map == "DebugRoom";
                },
                10.0);
        }
        EXPECT_TRUE(moved) << command << "; " << Describe(PlayerPosition(game));
        player.Tap("Return");
        player.Type("/npc unknowncommand");
        player.Tap("Return");
        // The answer appears as a line of text in the chat window.
        EXPECT_TRUE(
            WaitFor([&] { return player.Capture(0, 560, 600, 20).CountDifferent(before, 40) > 100; }, kStepTimeout));
        game.Picture("chat");
        // A click on the world gives the keys back to walking.
        player.Click(700, 60);
        Position before2 = PlayerPosition(game);
        EXPECT_TRUE(WalkUntil(game, "Right", [&](const Position& at) { return at.x > before2.x + 8; }));
    }

    {
        SCOPED_TRACE("the slime chases the player and starts a battle; the party wins it and the meadow returns");
        // The test wakes the slime: from now on it notices the player at 150
        // and fights at 16, as the meadow's script has it. Calm, it has
        // wandered anywhere, and the way to it could cross the stairwell or
        // a stone: it is first put a little east of the player, on the open
        // grass the player has just walked.
        EXPECT_EQ(game.ProbeOne("(function() EM_NPC_SetActiveNPC(\"Zezazoru\") "
                                "NPC_SetPositionData(PM_GetValue(\"Player\", \"\", \"XCenter\") + 60, "
                                "PM_GetValue(\"Player\", \"\", \"YCenter\"), 0) NPC_WorldEnemy_SetDetectRange(150) "
                                "NPC_WorldEnemy_SetAggroRange(16) return 1 end)()"),
                  "1");
        // Towards the slime, a few steps at a time, until the battle begins.
        ASSERT_TRUE(testsupport::WalkIntoBattle(game, "Zezazoru")) << game.Output();
        // The party's status plates at the left, the command window at the
        // lower right.
        EXPECT_TRUE(
            WaitFor([&] { return Share(player.Capture(660, 435, 95, 20), IsCommandBlue) > 0.3; }, kStepTimeout));
        game.Picture("battle");
        // Attack and the first target for whoever acts, a key for every
        // message, until the battle is over and the meadow is back.
        EXPECT_TRUE(testsupport::WinBattleWithClicks(game));
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 0, 800, 380), IsGrass) > 0.3; }, kStepTimeout));
        EXPECT_FALSE(game.ProbeOne("PM_GetValue(\"Player\", \"\", \"XCenter\")").empty());
    }

    SaveFile saved;
    {
        SCOPED_TRACE(
            "a cordial lies east of the elder: walked onto, it goes into the inventory, and the screen says so");
        const size_t from = game.Output().size();
        EXPECT_TRUE(WalkTo(game, 300, 620)) << Describe(PlayerPosition(game));
        EXPECT_NE(game.WaitForOutput("Picked up HutCordial\n", from, kStepTimeout), std::string::npos);
        // A line at the top of the screen, for a few seconds.
        EXPECT_TRUE(WaitFor([&] { return player.Capture(390, 28, 300, 20).Count(IsLetter) > 60; }, kStepTimeout));
        game.Picture("pickup");
        EXPECT_TRUE(WaitFor([&] { return player.Capture(390, 28, 300, 20).Count(IsLetter) < 5; }, kStepTimeout));
        EXPECT_EQ(SlotOf(Parsed(testsupport::SaveThroughProbe(game, "Probe.sav")), kCordial), 0);
    }

    {
        SCOPED_TRACE("the inventory: its grid, the cordial's picture and words; used on Bramle, it heals him");
        // Test-only set-up: whatever the battle left, Bramle comes out of it
        // with 20 HP (a save with that changed, loaded).
        SaveFile hurt = Parsed(testsupport::SaveThroughProbe(game, "Probe.sav"));
        ASSERT_EQ(hurt.records.size(), 4u);
        const int32_t maxHp = testsupport::ReadMember(hurt.records[0]).maxHp;
        ASSERT_GT(maxHp, 50);
        testsupport::SetMemberHp(hurt.records[0], 20);
        {
            std::ofstream out(game.GameDir() + "/Hurt.sav", std::ios::binary);
            out << testsupport::WriteSave(hurt);
        }
        ASSERT_TRUE(testsupport::LoadThroughProbe(game, "Hurt.sav"));
        EXPECT_EQ(testsupport::ReadMember(Parsed(testsupport::SaveThroughProbe(game, "Probe.sav")).records[0]).hp, 20);

        ASSERT_TRUE(OpenInventory(game));
        // The cordial in the first cell, its description below the grid.
        EXPECT_GT(player.Capture(13, 47, 32, 32).Count(IsCordialRed), 20u);
        EXPECT_TRUE(WaitFor([&] { return player.Capture(13, 267, 400, 32).Count(IsLetter) > 50; }, kStepTimeout));
        game.Picture("inventory");
        const size_t used = testsupport::UseItemOnMember(game, 0, 0);
        ASSERT_NE(used, std::string::npos) << game.Output();
        EXPECT_NE(game.Output().find("Bramle Vey recovered 30 HP!  50/" + std::to_string(maxHp) + "\n"),
                  std::string::npos)
            << game.Output();
        // Closed again: the meadow shows where the grid was.
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(13, 79, 320, 128), IsGridNavy) < 0.1; }, kStepTimeout));
        const SaveFile after = Parsed(testsupport::SaveThroughProbe(game, "Probe.sav"));
        EXPECT_EQ(testsupport::ReadMember(after.records[0]).hp, 50);
        EXPECT_EQ(SlotOf(after, kCordial), -1);
    }

    {
        SCOPED_TRACE("a herb below the square; the blue stone saves, and saves the same bytes again");
        size_t from = game.Output().size();
        // West along the square, down onto the herb.
        EXPECT_TRUE(WalkTo(game, 96, 620)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 96, 724)) << Describe(PlayerPosition(game));
        EXPECT_NE(game.WaitForOutput("Picked up PathHerb\n", from, kStepTimeout), std::string::npos);
        // West, then up onto the blue stone on the grass beside the square.
        EXPECT_TRUE(WalkTo(game, 40, 724)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 40, 600)) << Describe(PlayerPosition(game));
        from = game.WaitForOutput("Game saved to Save1.sav\n", from, kStepTimeout);
        ASSERT_NE(from, std::string::npos) << game.Output();
        const std::string bytes = testsupport::ReadFile(game.GameDir() + "/Save1.sav");
        saved = Parsed(bytes);
        EXPECT_EQ(saved.header, "TamskCube Savefile");
        // Bramle, his two friends and the inventory, each record whole; the
        // file holds nothing else.
        ASSERT_EQ(saved.records.size(), 4u);
        size_t size = 22;
        for (size_t i = 0; i < saved.records.size(); ++i) {
            const testsupport::SaveRecord& record = saved.records[i];
            EXPECT_EQ(record.type, i < 3 ? 1u : 2u) << record.name;
            EXPECT_EQ(record.version, 0u);
            if (i < 3) {
                EXPECT_EQ(record.data.size(), 64u) << record.name;
            }
            size += 14 + record.name.size() + record.data.size();
        }
        EXPECT_EQ(bytes.size(), size);
        EXPECT_EQ(saved.records[0].name, "Bramle Vey");
        EXPECT_EQ(saved.records[3].name, "Inventory");
        EXPECT_EQ(testsupport::ReadMember(saved.records[0]).hp, 50);
        EXPECT_GE(SlotOf(saved, kHerb), 0);
        // Off the stone and on again: the same state, the same bytes.
        EXPECT_TRUE(WalkTo(game, 40, 630)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 40, 600)) << Describe(PlayerPosition(game));
        EXPECT_NE(game.WaitForOutput("Game saved to Save1.sav\n", from, kStepTimeout), std::string::npos);
        EXPECT_EQ(testsupport::ReadFile(game.GameDir() + "/Save1.sav"), bytes);
    }

    {
        SCOPED_TRACE("the herb used on Bramle changes what a save would hold; the golden stone brings the save back");
        const int herb = SlotOf(saved, kHerb);
        ASSERT_TRUE(OpenInventory(game));
        ASSERT_NE(testsupport::UseItemOnMember(game, herb, 0), std::string::npos) << game.Output();
        const std::string changed = testsupport::SaveThroughProbe(game, "Changed.sav");
        EXPECT_EQ(testsupport::ReadMember(Parsed(changed).records[0]).hp, 62);
        EXPECT_EQ(SlotOf(Parsed(changed), kHerb), -1);
        // Below the golden stone, then up onto it: it asks first, in the
        // dialogue box; "No" leaves the journey as it is.
        const size_t from = game.Output().size();
        EXPECT_TRUE(WalkTo(game, 96, 600)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 96, 730)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 72, 730)) << Describe(PlayerPosition(game));
        ASSERT_TRUE(AnswerTheGoldenStone(game, false));
        EXPECT_EQ(testsupport::SaveThroughProbe(game, "Kept.sav"), changed);
        EXPECT_EQ(testsupport::FindFrom(game.Output(), "Game loaded", from), std::string::npos);
        // Off it and on again: "Yes" brings the save back.
        EXPECT_TRUE(WalkUntil(game, "Down", [](const Position& at) { return at.y > 715; }));
        ASSERT_TRUE(AnswerTheGoldenStone(game, true));
        EXPECT_NE(game.WaitForOutput("Game loaded from Save1.sav\n", from, kStepTimeout), std::string::npos);
        // The party and the inventory are the saved ones: saved again, they
        // give the saved bytes.
        const std::string loaded = testsupport::SaveThroughProbe(game, "Loaded.sav");
        EXPECT_EQ(loaded, testsupport::ReadFile(game.GameDir() + "/Save1.sav"));
        EXPECT_EQ(testsupport::ReadMember(Parsed(loaded).records[0]).hp, 50);
        EXPECT_EQ(SlotOf(Parsed(loaded), kHerb), SlotOf(saved, kHerb));
    }

    {
        SCOPED_TRACE("the stairwell leads down to a random cave floor; its ladder back up to the meadow");
        GoDownTheStairwell(game, "dungeon", false);
        ASSERT_NO_FATAL_FAILURE(ClimbTheLadder(game));
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 0, 800, 380), IsGrass) > 0.3; }, kStepTimeout));
        // Back at the top of the stairwell.
        const Position at = PlayerPosition(game);
        EXPECT_EQ(at.x, 320) << Describe(at);
        EXPECT_EQ(at.y, 704) << Describe(at);
    }

    {
        SCOPED_TRACE("the elder talks when clicked: his portrait, typed-out words and answers that count");
        // To the square, round the hut's stairs (east of them), to stand
        // north of the elder, near the meadow's left edge: there the view
        // rests against that edge and keeps the player 243 above its top,
        // so the elder at (262, 646) stands at (262, 279) on the screen.
        EXPECT_TRUE(WalkTo(game, 250, 640)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 250, 610)) << Describe(PlayerPosition(game));
        EXPECT_TRUE(WalkTo(game, 262, 610)) << Describe(PlayerPosition(game));
        EXPECT_EQ(game.ProbeOne("Global_GetScriptVariableI(\"MetTheElder\")"), "0");
        player.Click(262, 266);
        // The box along the bottom of the screen, his portrait at its left.
        EXPECT_TRUE(
            WaitFor([&] { return Share(player.Capture(0, 385, 800, 10), IsDialogueNavy) > 0.9; }, kStepTimeout));
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
        EXPECT_TRUE(
            WaitFor([&] { return player.Capture(240, 519, 100, 18).Count(IsDialogueText) > 20; }, kStepTimeout));
        player.Click(280, 528);
        EXPECT_TRUE(
            WaitFor([&] { return Share(player.Capture(0, 385, 800, 10), IsDialogueNavy) < 0.5; }, kStepTimeout));
    }

    EXPECT_EQ(game.Close(), 0);
    const std::string out = game.Output();
    EXPECT_NE(out.find("Cleaning memory - "), std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
    EXPECT_EQ(out.find("Problem"), std::string::npos) << out;
}

// The way down to a cave floor through OpenGL, started in the meadow without
// the title.
TEST(DungeonFloor, TheStairwellLeadsDownToARandomCaveFloorThroughOpenGL) {
    GameSession game;
    ASSERT_TRUE(testsupport::CalmTheMeadowSlime(game));
    ASSERT_TRUE(game.Start({"-ogl", "-skiptitle", "-nonetwork"})) << game.Failure();
    ASSERT_FALSE(std::isnan(PlayerPosition(game).x)) << game.Output();
    EXPECT_TRUE(WaitFor([&] { return Share(game.Driver().Capture(0, 300, 800, 100), IsGrass) > 0.5; }, kStepTimeout));
    GoDownTheStairwell(game, "dungeon-ogl", false);
    EXPECT_EQ(game.Close(), 0);
    const std::string out = game.Output();
    EXPECT_NE(out.find("Forcing OpenGL mode\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
}
