// Faults once seen while playing the sample game, each played again through
// real input: the meadow's jumps end on the ground, and the player walks on
// after a talk with the elder, however the talk was closed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/GameSession.h"

using testsupport::GameSession;
using testsupport::WaitFor;

namespace {

constexpr double kStepTimeout = 30.0;

// The meadow's slime notices no one, so that nothing interrupts.
constexpr const char* kCalmSlime =
    "EM_NPC_SetActiveNPC(\"Zezazoru\")\n"
    "NPC_WorldEnemy_SetDetectRange(1)\n"
    "NPC_WorldEnemy_SetAggroRange(1)\n";

const char* const kZ = "PM_GetValue(\"Player\", \"\", \"ZCenter\")";

double Coordinate(GameSession& game, const char* axis) {
    const std::string value = game.ProbeOne(std::string("PM_GetValue(\"Player\", \"\", \"") + axis + "Center\")");
    return value.empty() ? -1e9 : std::atof(value.c_str());
}

bool IsMoonlight(uint32_t p) {
    return testsupport::Red(p) > 200 && testsupport::Green(p) > 200 && testsupport::Blue(p) < 190;
}
bool IsDialogueNavy(uint32_t p) {
    return testsupport::Blue(p) > testsupport::Red(p) + 15 && testsupport::Blue(p) < 110 && testsupport::Red(p) < 70;
}
bool IsDialogueText(uint32_t p) {
    return testsupport::Red(p) > 150 && testsupport::Green(p) > 110 && testsupport::Blue(p) < 90;
}

// The meadow without the title, its welcome window closed.
void StartInTheMeadow(GameSession& game) {
    ASSERT_TRUE(game.AppendToScript("Data/Scripts/Maps/DebugRoom.lua", kCalmSlime));
    ASSERT_TRUE(game.Start({"-skiptitle", "-nonetwork"})) << game.Failure();
    ASSERT_FALSE(game.ProbeOne(kZ).empty()) << game.Output();
    // The welcome window shows the moon; its Close button closes it.
    auto welcome = [&] { return game.Driver().Capture(430, 100, 80, 80).Count(IsMoonlight) > 3200; };
    ASSERT_TRUE(WaitFor(welcome, kStepTimeout));
    game.Driver().Click(584, 264);
    ASSERT_TRUE(WaitFor([&] { return !welcome(); }, kStepTimeout));
}

}  // namespace

TEST(AdventureFaults, EveryJumpInTheMeadowLandsOnTheGround) {
    GameSession game;
    StartInTheMeadow(game);
    testsupport::WindowDriver& player = game.Driver();
    for (int jump = 1; jump <= 3; ++jump) {
        SCOPED_TRACE("jump " + std::to_string(jump));
        // Up (negative z), then down again until it stops.
        EXPECT_TRUE(player.Hold(
            "space", [&] { return Coordinate(game, "Z") < -1.0; }, kStepTimeout));
        EXPECT_TRUE(WaitFor([&] { return Coordinate(game, "Z") >= 0.0; }, kStepTimeout));
        std::string last, now;
        EXPECT_TRUE(WaitFor(
            [&] {
                now = game.ProbeOne(kZ);
                const bool settled = now == last;
                last = now;
                return settled;
            },
            kStepTimeout));
        EXPECT_EQ(now, "0");
    }
    EXPECT_EQ(game.Close(), 0);
}

// Talking to the elder takes the keys from walking while the box is shown;
// once it is closed, by his "Farewell." or by escape, they walk again.
TEST(AdventureFaults, AfterATalkWithTheElderThePlayerWalksOn) {
    GameSession game;
    StartInTheMeadow(game);
    testsupport::WindowDriver& player = game.Driver();
    auto dialogueShown = [&] { return player.Capture(0, 385, 800, 10).Count(IsDialogueNavy) > 7200; };

    struct Case {
        const char* how;
        bool farewell;  // else escape
    };
    for (const Case& c : {Case{"farewell", true}, Case{"escape", false}}) {
        SCOPED_TRACE(c.how);
        // North of the elder, who stands at (262, 646), there at (262, 279)
        // on the screen once the view has followed (it rests against the
        // meadow's left edge and keeps the player 243 below its top).
        ASSERT_EQ(game.ProbeOne("(function() Player_SetPosition(262, 610, 0) return 1 end)()"), "1");
        for (int tick = 0; tick < 3; ++tick) game.ProbeOne("1");
        player.Click(262, 266);
        ASSERT_TRUE(WaitFor(dialogueShown, kStepTimeout)) << game.Output();
        // While it is shown, the arrow keys do not walk.
        const double x = Coordinate(game, "X");
        player.Press("Right", 300);
        EXPECT_EQ(Coordinate(game, "X"), x);
        if (c.farewell) {
            // An answer, then, once it is out, "Farewell." a line lower.
            EXPECT_TRUE(
                WaitFor([&] { return player.Capture(240, 465, 200, 18).Count(IsDialogueText) > 0; }, kStepTimeout));
            player.Click(350, 438);
            EXPECT_TRUE(game.WaitForValue("Global_GetScriptVariableI(\"MetTheElder\")", "1", kStepTimeout));
            EXPECT_TRUE(
                WaitFor([&] { return player.Capture(240, 519, 100, 18).Count(IsDialogueText) > 20; }, kStepTimeout));
            player.Click(280, 528);
        } else {
            player.Tap("Escape");
        }
        EXPECT_TRUE(WaitFor([&] { return !dialogueShown(); }, kStepTimeout));
        EXPECT_TRUE(player.Hold(
            "Right", [&] { return Coordinate(game, "X") > x + 8; }, kStepTimeout));
        const double y = Coordinate(game, "Y");
        EXPECT_TRUE(player.Hold(
            "Up", [&] { return Coordinate(game, "Y") < y - 8; }, kStepTimeout));
    }
    EXPECT_EQ(game.Close(), 0);
    EXPECT_EQ(game.Output().find("Lua Error"), std::string::npos) << game.Output();
}
