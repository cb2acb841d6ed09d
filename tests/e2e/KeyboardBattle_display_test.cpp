// A battle, the menus and a talk played from the keyboard alone: the
// meadow's slime is met by walking into it, every command and target is
// chosen with the arrows and the confirm key (the back key once turns from
// the targets back to the commands, left and right turn the command pages,
// and the leader once uses Items from the second page), the victory's
// experience takes the party up a level, the pause and options menus open,
// are steered and close with keys; the elder, talked to with the mouse,
// leaves the keys alone once his box is closed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/GameSessionPlay.h"
#include "support/TempDir.h"

using testsupport::GameSession;
using testsupport::Share;
using testsupport::WaitFor;

namespace {

constexpr double kStepTimeout = 30.0;

// One party member as a save file records it.
struct Member {
    std::string name;
    int32_t level = 0;
    int32_t gained = 0;
};

uint32_t U32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= uint32_t{static_cast<uint8_t>(bytes[at + i])} << (8 * i);
    return value;
}

// The party members of a save file, in party order; empty when the file is
// not one.
std::vector<Member> ReadParty(const std::string& bytes) {
    const std::string magic = "TamskCube Savefile";
    std::vector<Member> party;
    if (bytes.compare(0, magic.size(), magic) != 0) return {};
    size_t at = magic.size();
    if (at + 4 > bytes.size()) return {};
    const uint32_t count = U32(bytes, at);
    at += 4;
    for (uint32_t i = 0; i < count; ++i) {
        // type, version, name length and name, data size and data
        if (at + 10 > bytes.size()) return {};
        const uint32_t type = U32(bytes, at);
        const size_t nameLength = static_cast<uint8_t>(bytes[at + 8]) | static_cast<uint8_t>(bytes[at + 9]) << 8;
        at += 10;
        if (at + nameLength + 4 > bytes.size()) return {};
        Member member;
        member.name = bytes.substr(at, nameLength);
        at += nameLength;
        const size_t size = U32(bytes, at);
        at += 4;
        if (at + size > bytes.size()) return {};
        // A character: class, level, ..., needed at 56, gained at 60.
        if (type == 1 && size == 64) {
            member.level = static_cast<int32_t>(U32(bytes, at + 4));
            member.gained = static_cast<int32_t>(U32(bytes, at + 60));
            party.push_back(member);
        }
        at += size;
    }
    return party;
}

// The party as the running game holds it: the probe has the game save it,
// and the save file is read.
std::vector<Member> Party(GameSession& game) {
    const std::string file = "PartyRecord.sav";
    if (game.ProbeOne("(function() SFM_IssueSave(\"" + file + "\") return 1 end)()") != "1") return {};
    return ReadParty(testsupport::ReadFile(game.GameDir() + "/" + file));
}

std::string Describe(const std::vector<Member>& party) {
    std::string text;
    for (const Member& m : party)
        text += m.name + " level " + std::to_string(m.level) + " gained " + std::to_string(m.gained) + "; ";
    return text;
}

bool IsGrass(uint32_t p) {
    using namespace testsupport;
    return Green(p) > Red(p) + 40 && Green(p) > Blue(p) + 40;
}
bool IsBlack(uint32_t p) { return testsupport::Near(p, 0, 0, 0, 8); }
// The dialogue box's words.
bool IsDialogueText(uint32_t p) {
    using namespace testsupport;
    return Red(p) > 150 && Green(p) > 110 && Blue(p) < 90;
}
// The dialogue box's pane.
bool IsDialogueNavy(uint32_t p) {
    using namespace testsupport;
    return Blue(p) > Red(p) + 15 && Blue(p) < 110 && Red(p) < 70;
}
// The battle's highlight, a gold outline.
bool IsGold(uint32_t p) {
    using namespace testsupport;
    return Red(p) > 220 && Green(p) > 180 && Green(p) < 240 && Blue(p) < 60;
}
// The menus' highlight, a half-clear yellow over a button.
bool IsYellowed(uint32_t p) {
    using namespace testsupport;
    return Red(p) > Blue(p) + 50 && Green(p) > Blue(p) + 50;
}

// The index of the first of the rectangles (x, y, width, height) whose
// pixels pass the test in at least `least` places; -1 for none.
int Which(GameSession& game, const std::vector<std::vector<int>>& rectangles, bool (*test)(uint32_t), size_t least) {
    for (size_t i = 0; i < rectangles.size(); ++i) {
        const std::vector<int>& r = rectangles[i];
        if (game.Driver().Capture(r[0], r[1], r[2], r[3]).Count(test) >= least) return static_cast<int>(i);
    }
    return -1;
}

// The highlighted command (the command window's buttons stand 40 apart from
// (654, 429)) and target (the target window's 29 apart from (508, 437)):
// the band across a button's middle holds the outline's two sides.
int Command(GameSession& game) {
    return Which(game, {{650, 433, 116, 24}, {650, 473, 116, 24}, {650, 513, 116, 24}, {650, 553, 116, 24}}, IsGold,
                 40);
}
int Target(GameSession& game) {
    return Which(game, {{504, 441, 136, 20}, {504, 470, 136, 20}, {504, 499, 136, 20}}, IsGold, 40);
}

// Whether the command window shows a button in each of its four rows, as
// "1" or "0": a patch of the button's face left of its caption.
bool IsButtonFace(uint32_t p) {
    using namespace testsupport;
    return Red(p) > 45 && Blue(p) > 85 && Blue(p) > Green(p) + 30;
}
std::string CommandRows(GameSession& game) {
    std::string rows;
    for (int row = 0; row < 4; ++row)
        rows += game.Driver().Capture(658, 437 + 40 * row, 16, 16).Count(IsButtonFace) >= 200 ? '1' : '0';
    return rows;
}

// The highlighted button of the pause menu (Options, Exit Game, Close) and
// of the options menu (Close).
int PauseButton(GameSession& game) {
    return Which(game, {{318, 84, 60, 20}, {318, 113, 80, 20}, {318, 313, 60, 20}}, IsYellowed, 600);
}
bool OptionsCloseHighlighted(GameSession& game) { return Which(game, {{218, 363, 60, 20}}, IsYellowed, 600) == 0; }

}  // namespace

TEST(KeyboardBattle, WonFromTheKeyboardWithALevelUpThenTheMenus) {
    GameSession game;
    // The slime notices no one until the test wakes it.
    ASSERT_TRUE(testsupport::CalmTheMeadowSlime(game));
    ASSERT_TRUE(game.Start({"-skiptitle", "-map", "DebugRoom", "-nonetwork"})) << game.Failure();
    testsupport::WindowDriver& player = game.Driver();

    const std::vector<Member> before = Party(game);
    ASSERT_EQ(before.size(), 3u) << game.Output();
    for (const Member& m : before) EXPECT_EQ(m.level, 1) << Describe(before);

    auto inBattle = [&] { return testsupport::InBattle(game); };
    auto command = [&] { return Command(game); };
    auto target = [&] { return Target(game); };
    {
        SCOPED_TRACE("walking into the slime starts the battle");
        EXPECT_EQ(game.ProbeOne("(function() EM_NPC_SetActiveNPC(\"Zezazoru\") NPC_WorldEnemy_SetDetectRange(150) "
                                "NPC_WorldEnemy_SetAggroRange(16) return 1 end)()"),
                  "1");
        ASSERT_TRUE(testsupport::WalkIntoBattle(game, "Zezazoru")) << game.Output();
    }

    {
        SCOPED_TRACE("the arrows move over the commands, confirm opens the targets, back returns");
        // The leader's commands: Attack, Defend, Aura, Abilities, Attack first.
        ASSERT_TRUE(WaitFor([&] { return command() == 0; }, kStepTimeout)) << command();
        for (auto [key, row] : std::vector<std::pair<const char*, int>>{{"Down", 1}, {"Down", 2}, {"Up", 1}, {"Up", 0}})
            EXPECT_TRUE(player.Hold(
                key, [&] { return command() == row; }, kStepTimeout))
                << key << " " << row;
        // Attack: the targets in the commands' place, the first one chosen.
        EXPECT_TRUE(player.Hold(
            "z", [&] { return target() == 0; }, kStepTimeout));
        EXPECT_EQ(command(), -1);
        game.Picture("keyboard-targets");
        EXPECT_TRUE(player.Hold(
            "x", [&] { return command() == 0; }, kStepTimeout));
        EXPECT_EQ(target(), -1);
    }

    {
        SCOPED_TRACE("left and right turn the command pages; the leader uses Items from the second");
        // The leader's first page fills the four rows, the second (Items, Run,
        // Auto) three; the next member's first page leaves the third empty.
        auto rows = [&] { return CommandRows(game); };
        ASSERT_TRUE(WaitFor([&] { return rows() == "1111"; }, kStepTimeout)) << rows();
        EXPECT_TRUE(player.Hold(
            "Right", [&] { return rows() == "1110"; }, kStepTimeout))
            << rows();
        EXPECT_TRUE(WaitFor([&] { return command() == 0; }, kStepTimeout)) << command();
        game.Picture("keyboard-items");
        EXPECT_TRUE(player.Hold(
            "Down", [&] { return command() == 1; }, kStepTimeout));
        // Back on the first page, on its first command.
        EXPECT_TRUE(player.Hold(
            "Left", [&] { return rows() == "1111"; }, kStepTimeout))
            << rows();
        EXPECT_TRUE(WaitFor([&] { return command() == 0; }, kStepTimeout)) << command();
        EXPECT_TRUE(player.Hold(
            "Right", [&] { return rows() == "1110"; }, kStepTimeout))
            << rows();
        // Items: the leader's turn is taken; Orravine's commands follow.
        EXPECT_TRUE(player.Hold(
            "z", [&] { return rows() == "1101"; }, kStepTimeout))
            << rows();
        EXPECT_TRUE(WaitFor([&] { return command() == 0; }, kStepTimeout)) << command();
    }

    {
        SCOPED_TRACE("Attack and the first target for each member, a key for every message, until the victory");
        // A battle that outlasts a few minutes has stalled: the loop ends
        // there rather than wait out the timeout of every try.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(4);
        for (int i = 0; i < 400 && inBattle() && std::chrono::steady_clock::now() < deadline; ++i) {
            if (target() >= 0)
                player.Hold(
                    "z", [&] { return target() < 0; }, kStepTimeout);
            else if (command() == 0)
                player.Hold(
                    "z", [&] { return command() < 0; }, kStepTimeout);
            else
                player.Tap("space");
        }
        EXPECT_FALSE(inBattle());
        EXPECT_TRUE(WaitFor([&] { return Share(player.Capture(0, 0, 800, 380), IsGrass) > 0.3; }, kStepTimeout));
    }

    {
        SCOPED_TRACE("the victory's experience took every member up a level");
        const std::vector<Member> after = Party(game);
        ASSERT_EQ(after.size(), before.size()) << game.Output();
        for (size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].name, before[i].name);
            EXPECT_GT(after[i].gained, before[i].gained) << Describe(after);
            EXPECT_EQ(after[i].level, 2) << Describe(after);
        }
    }

    {
        SCOPED_TRACE("the pause and options menus from the keyboard");
        auto pauseShown = [&] { return Share(player.Capture(390, 150, 95, 30), IsBlack) > 0.95; };
        auto optionsShown = [&] { return Share(player.Capture(220, 240, 360, 110), IsBlack) > 0.95; };
        EXPECT_TRUE(player.Hold("Escape", pauseShown, kStepTimeout));
        EXPECT_EQ(PauseButton(game), 0);
        game.Picture("keyboard-pause");
        for (auto [key, row] : std::vector<std::pair<const char*, int>>{{"Down", 1}, {"Down", 2}, {"Up", 1}, {"Up", 0}})
            EXPECT_TRUE(player.Hold(
                key, [&] { return PauseButton(game) == row; }, kStepTimeout))
                << key << " " << row;
        // Options: the options menu in the pause menu's place, its Close
        // button chosen; the back key closes it.
        EXPECT_TRUE(player.Hold("z", optionsShown, kStepTimeout));
        EXPECT_FALSE(pauseShown());
        game.Picture("keyboard-options");
        EXPECT_TRUE(OptionsCloseHighlighted(game));
        EXPECT_TRUE(player.Hold(
            "x", [&] { return !optionsShown(); }, kStepTimeout));
        // Again, closed by its own Close button.
        EXPECT_TRUE(player.Hold("Escape", pauseShown, kStepTimeout));
        EXPECT_TRUE(player.Hold(
            "Down", [&] { return PauseButton(game) == 1; }, kStepTimeout));
        EXPECT_TRUE(player.Hold(
            "Down", [&] { return PauseButton(game) == 2; }, kStepTimeout));
        EXPECT_TRUE(player.Hold(
            "z", [&] { return !pauseShown(); }, kStepTimeout));

        // The keys walk the player again.
        const std::string x = game.ProbeOne("PM_GetValue(\"Player\", \"\", \"XCenter\")");
        EXPECT_TRUE(player.Hold(
            "Right", [&] { return game.ProbeOne("PM_GetValue(\"Player\", \"\", \"XCenter\")") != x; }, kStepTimeout));
    }

    {
        SCOPED_TRACE("the elder's questions answered with clicks");
        auto variable = [&](const char* name) {
            return game.ProbeOne(std::string("Global_GetScriptVariableI(\"") + name + "\")");
        };
        auto dialogueShown = [&] { return Share(player.Capture(0, 385, 800, 10), IsDialogueNavy) > 0.9; };
        // A dialogue line (0 to 9, 18 apart from y 393) holds words.
        auto lineShows = [&](int line) {
            return player.Capture(240, 393 + 18 * line, 200, 18).Count(IsDialogueText) > 20;
        };
        EXPECT_EQ(variable("MetTheElder"), "0");
        // He starts talking as a click on him would have him.
        EXPECT_EQ(game.ProbeOne("(function() DM_SetDialogueNPC(\"Elder\") DM_ManualActivate() return 1 end)()"), "1");
        ASSERT_TRUE(WaitFor(dialogueShown, kStepTimeout));
        // His questions stand on lines 2, 4 and 6, under his greeting; the
        // arrow keys and the confirm key answer none of them.
        ASSERT_TRUE(WaitFor([&] { return lineShows(6); }, kStepTimeout));
        for (const char* key : {"Down", "z"}) player.Tap(key);
        for (int tick = 0; tick < 3; ++tick) game.ProbeOne("1");
        EXPECT_EQ(variable("MetTheElder"), "0");
        EXPECT_TRUE(dialogueShown());
        // "Anything I should watch out for?" sets its flag, not the other's.
        player.Click(350, 393 + 18 * 4 + 9);
        EXPECT_TRUE(game.WaitForValue("Global_GetScriptVariableI(\"WarnedOfTheSlime\")", "1", kStepTimeout));
        EXPECT_EQ(variable("MetTheElder"), "1");
        EXPECT_EQ(variable("HeardOfTheCaves"), "-100");
        // His answer runs two lines; the questions follow a line lower, and
        // "Farewell." on line 7 closes the box.
        EXPECT_TRUE(WaitFor([&] { return lineShows(7); }, kStepTimeout));
        player.Click(280, 393 + 18 * 7 + 9);
        EXPECT_TRUE(WaitFor([&] { return !dialogueShown(); }, kStepTimeout));
        EXPECT_EQ(variable("HeardOfTheCaves"), "-100");

        // The box let go of the keys: they walk the player again.
        const std::string x = game.ProbeOne("PM_GetValue(\"Player\", \"\", \"XCenter\")");
        EXPECT_TRUE(player.Hold(
            "Left", [&] { return game.ProbeOne("PM_GetValue(\"Player\", \"\", \"XCenter\")") != x; }, kStepTimeout));
    }

    EXPECT_EQ(game.Close(), 0);
    const std::string out = game.Output();
    EXPECT_NE(out.find("Cleaning memory - "), std::string::npos) << out;
    EXPECT_EQ(out.find("quit game"), std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
}
