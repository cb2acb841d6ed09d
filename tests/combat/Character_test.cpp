// The combat character: the damage rule, knock-out, the choreography it
// queues into the message window and the field sprites, the attack script's
// move buffer, the status number format and the Character_ functions.
#include "combat/Character.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "CombatTestDoubles.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/PartyClass.h"
#include "gui/GUIButton.h"
#include "support/TempDir.h"

using namespace combattest;
using testsupport::StderrCapture;

namespace {

using Strings = std::vector<std::string>;

TEST(CharacterDamage, LevelOneStrengthEightAgainstToughnessEightForEveryFactor) {
    // Draw d gives the factor 1 + (d mod 20 - 10) / 100.
    const int expected[20] = {11, 11, 11, 11, 11, 11, 11, 11, 11, 12, 12, 12, 12, 12, 12, 12, 12, 12, 13, 13};
    for (int draw = 0; draw < 20; ++draw) {
        float damage = Character::ComputeDamage(8, 1, 8, draw);
        EXPECT_EQ(static_cast<int>(damage), expected[draw]) << "draw " << draw;
        EXPECT_GE(damage, 11.01f) << "draw " << draw;
        EXPECT_LE(damage, 13.13f) << "draw " << draw;
        // The draw counts modulo 20.
        EXPECT_EQ(Character::ComputeDamage(8, 1, 8, draw + 40), damage);
    }
}

TEST(CharacterDamage, ToughnessOfNinetyNineAndAboveCapsTheReduction) {
    struct Case {
        int32_t strength, level, toughness;
        float expected;
    } cases[] = {
        {8, 1, 98, 1.2418750f},  // 12.09375 x 0.02 + 1
        {8, 1, 99, 1.1209375f},  // capped at 99 %
        {8, 1, 100, 1.1209375f},  {8, 1, 500, 1.1209375f},
        {50, 10, 99, 2.3359375f}, {0, 1, 0, 1.0f},  // never below 1 before truncation
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(Character::ComputeDamage(c.strength, c.level, c.toughness, 10), c.expected)
            << c.strength << " " << c.level << " " << c.toughness;
}

TEST(CharacterFormat, StatNumbersAreFourRightAlignedCharacters) {
    struct Case {
        int32_t magnitude, value;
        const char* text;
    } cases[] = {
        {7, 7, "   7"},       {12345, 12345, "2345"}, {92, 7, "  07"}, {999, 5, " 005"},
        {1000, 1234, "1234"}, {50, -5, "  00"},       {9, 0, "   0"},  {100, 99, " 099"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatStatNumber(c.magnitude, c.value), c.text) << c.magnitude << " " << c.value;
}

TEST(CharacterSetup, NamesTemplatesAndAnimationValues) {
    Character character;
    EXPECT_EQ(character.GetName(), "Anonymous");
    EXPECT_EQ(character.GetKOText(), "Anonymous has not set up the KO string!");
    EXPECT_EQ(character.GetClassId(), -1);
    EXPECT_EQ(character.GetAttackScript(), "Data/Scripts/Combat/Algorithms/LeapToPoint.lua");
    // Shown HP and MP are 0 until a battle snapshots them.
    EXPECT_EQ(character.GetStats()->shownHp, 0);
    EXPECT_EQ(character.GetStats()->shownMp, 0);
    EXPECT_EQ(character.GetStats()->speed, 1);
    EXPECT_EQ(character.GetExperience()->needed, 1);

    character.SetName("Zed");
    character.SetKOMessage("<Name> fell, <Other> wept");
    EXPECT_EQ(character.GetKOText(), "Zed fell, INVALID wept");
    {
        StderrCapture cap;
        character.SetKOMessage("<Name fell");  // broken: taken as it stands
        cap.Take();
    }
    EXPECT_EQ(character.GetKOText(), "<Name fell");

    struct Anim {
        int32_t hit, frames;
        int32_t expectedHit;
    } anims[] = {{4, 9, 4}, {-1, 9, 0}, {9, 9, 0}, {12, 9, 0}, {0, 1, 0}};
    for (const Anim& a : anims) {
        character.SetAttackAnimProperties(a.hit, a.frames, 3, 0, 0);
        EXPECT_EQ(character.GetHitFrame(), a.expectedHit) << a.hit << "/" << a.frames;
        EXPECT_EQ(character.GetStrikeFrames(), a.frames);
    }
}

TEST(CharacterSetup, CommandsHealingAndKnockOut) {
    Character character;
    character.SetName("Ana");
    character.SetBasicProperties(80, 10, 8, 8, 1, 1, 1, 5);
    EXPECT_EQ(character.GetStats()->maxHp, 80);
    character.SetCommand(1, -1, 3);
    EXPECT_EQ(character.GetCommand(), 1);
    EXPECT_EQ(character.GetTargetIndex(), 3);
    EXPECT_TRUE(character.HasActed());
    EXPECT_TRUE(character.IsValidTarget(1));
    EXPECT_FALSE(character.IsValidTarget(2));

    {
        StderrCapture cap;
        character.GetStats()->hp = 70;
        character.RestoreHP(30);
        EXPECT_EQ(cap.Take(), "Ana recovered 30 HP!  80/80\n");
    }

    // Knocked out: the old command stays, but the character has acted.
    character.GetStats()->hp = 0;
    character.ResetForBattle();
    EXPECT_FALSE(character.HasActed());
    character.SetCommand(2, 0, 1);
    EXPECT_EQ(character.GetCommand(), 0);
    EXPECT_EQ(character.GetTargetIndex(), -1);
    EXPECT_TRUE(character.HasActed());
    EXPECT_FALSE(character.IsValidTarget(1));
    character.ReviveIfKnockedOut(1);
    EXPECT_EQ(character.GetStats()->hp, 1);

    character.GetStats()->shownHp = 5;
    character.LowerShownHP(12);
    EXPECT_EQ(character.GetStats()->shownHp, 0);
}

// Every path that changes HP or MP keeps them within [0, max], and HP falling
// to 0 is a knock-out: its texts go into the message window while a battle
// runs, else the KO text goes to stderr. (Items restore through RestoreHP.)
// A level-up keeps a standing member at 1 HP at the least, unless its maximum is 0.
class HPAndMPTest : public CombatFixture {};

TEST_F(HPAndMPTest, EveryChangeStaysWithinTheMaximaAndAFallToZeroKnocksOut) {
    // Maxima far above the formulas' (a script's), HP 400 and MP 300 of them.
    const auto LowerTheMaxima = [](Character& c) {
        c.SetBasicProperties(1000, 1000, 8, 8, 8, 8, 8, 8);
        c.GetStats()->hp = 400;
        c.GetStats()->mp = 300;
        c.GainExperience(20);
    };
    const struct {
        const char* path;
        bool inBattle;  // rows out of battle come first
        int32_t hp;     // of 40, MP 20 of 20
        std::function<void(Character&)> change;
        int32_t hpAfter, mpAfter;
        bool knockedOut;
    } cases[] = {
        {"a restore out of battle", false, 40, [](Character& c) { c.RestoreHP(INT32_MIN); }, 0, 20, true},
        {"a scripted set", false, 40,
         [this](Character&) { lua->Run("Character_SetBasicProperties(-5, -3, 1, 1, 1, 1, 1, 1)"); }, 0, 0, true},
        {"a level-up out of battle lowering the maxima", false, 40, LowerTheMaxima, 1, 0, false},
        {"a restore in battle", true, 40, [](Character& c) { c.RestoreHP(-50); }, 0, 20, true},
        {"a revive", true, 0, [](Character& c) { c.ReviveIfKnockedOut(100); }, 40, 20, false},
        {"a level-up lowering the maxima", true, 40, LowerTheMaxima, 1, 0, false},
        {"a level-up to maxima of 0 (NaN)", true, 40,
         [](Character& c) {
             c.SetLevel(-50);
             c.GainExperience(20);
         },
         0, 0, true},
    };
    party->Add("Ana", 40, 8, 8, 5);
    enemies->roster = {{"Bog", 50, 8, 8, 3, 10}};
    for (const auto& c : cases) {
        if (c.inBattle && !manager->IsBattleRunning()) Start();
        std::unique_ptr<PartyClass> subject = CreatePartyClass(0);
        subject->SetBasicProperties(40, 20, 8, 8, 8, 8, 8, 8);
        subject->GetStats()->hp = c.hp;
        party->current = subject.get();
        if (Window()) Window()->GetQueue().Clear();
        StderrCapture cap;
        c.change(*subject);
        const std::string printed = cap.Take();
        party->current = nullptr;
        EXPECT_EQ(subject->GetStats()->hp, c.hpAfter) << c.path;
        EXPECT_EQ(subject->GetStats()->mp, c.mpAfter) << c.path;
        const Strings queue = c.inBattle ? DumpQueue(Window()) : Strings{};
        const Strings ko = {"21 PlayerKO", "text Orravine got hurt and collapsed!"};
        EXPECT_EQ(std::search(queue.begin(), queue.end(), ko.begin(), ko.end()) != queue.end(),
                  c.inBattle && c.knockedOut)
            << c.path;
        EXPECT_EQ(printed.find("Orravine got hurt and collapsed!\n") != std::string::npos, !c.inBattle && c.knockedOut)
            << c.path << ": " << printed;
    }
}

TEST(CharacterSetup, BaseCommandWindowShowsOneErrorButton) {
    testsupport::EnsureAllegro();
    testsupport::LuaTestState lua;
    GUICombatCommandWindow window;
    window.SetDimensions(0, 0, 109, 151);
    Character character;
    StderrCapture cap;
    character.FillCommandWindow(&window, 0);
    std::string out = cap.Take();
    EXPECT_NE(out.find("Warning:  Base Character shouldn't be filling the command window!"), std::string::npos);
    EXPECT_NE(out.back(), '\n');
    ASSERT_EQ(window.GetChildList()->GetCount(), 1);
    auto* button = static_cast<GUIButton*>(window.GetChildList()->GetAt(0));
    EXPECT_EQ(button->GetX1(), 8);
    EXPECT_EQ(button->GetWidth(), 72);
    EXPECT_EQ(button->GetHeight(), 29);
    ASSERT_EQ(button->GetDataSize(), 4);
    EXPECT_EQ(button->GetData()[3], 0);
    EXPECT_EQ(button->GetCallback(), FindButtonCallback("CombatButton_OrderCommand"));
    unsigned char r, g, b;
    al_unmap_rgb(window.GetColour(1), &r, &g, &b);
    EXPECT_EQ(r, 220);
}

class CharacterBattleTest : public DuelFixture {
protected:
    void SetUp() override {
        DuelFixture::SetUp();
        bog->SetKOMessage("<Name> is down!");
        bog->sprite->attackOffset = 20;
    }
};

TEST_F(CharacterBattleTest, OneAttackQueuesItsTextsWaitsAndAnimations) {
    ScriptRandom({10});  // factor 1: 12 points
    ana->Attack(bog);
    EXPECT_EQ(bog->GetStats()->hp, 38);
    EXPECT_EQ(DumpQueue(Window()), (Strings{"21 PlayerAttack",
                                            "text Ana Attacks!",
                                            "103",
                                            "200 0",
                                            "201 1",
                                            "202 0",
                                            "300",
                                            "202 1",
                                            "104 30",
                                            "21 PlayerInjured",
                                            "105 1 12",
                                            "text 12 points of damage to Bog.",
                                            "103",
                                            "201 1",
                                            "203 4",
                                            "300",
                                            "200 0",
                                            "201 1",
                                            "202 3",
                                            "104 1",
                                            "300"}));
}

TEST_F(CharacterBattleTest, AKnockOutQueuesTheKnockOutTextsAndEndsAtZero) {
    bog->GetStats()->hp = 5;
    ScriptRandom({19});  // 13 points
    ana->Attack(bog);
    EXPECT_EQ(bog->GetStats()->hp, 0);
    EXPECT_EQ(bog->GetStats()->shownHp, 0);
    EXPECT_FALSE(bog->IsAlive());
    Strings queue = DumpQueue(Window());
    Strings damage(queue.begin() + 9, queue.begin() + 19);
    EXPECT_EQ(damage, (Strings{"21 PlayerWounded", "105 1 13", "text 13 points of knock-out damage to Bog!", "103",
                               "201 1", "203 5", "104 24", "21 PlayerKO", "text Bog is down!", "103"}));
    EXPECT_EQ(queue[19], "104 24");
}

TEST_F(CharacterBattleTest, BlowsOutsideTheIntegerRangeNeverHealNorWrapHP) {
    struct Case {
        int32_t strength, level, targetHp;
        int32_t hpAfter;
        const char* text;
    } cases[] = {
        {2000000000, 1, INT32_MAX, 0, "text 2147483647 points of knock-out damage to Bog!"},
        {30000000, 99, INT32_MAX, 0, "text 2147483647 points of knock-out damage to Bog!"},
        {-1000, 1, 50, 50, "text 0 points of damage to Bog."},
        {8, 1, INT32_MIN + 5, 0, "text 12 points of knock-out damage to Bog!"},
        {2000000000, 1, -2000000000, 0, "text 2147483647 points of knock-out damage to Bog!"},
    };
    for (const Case& c : cases) {
        ana->GetStats()->strength = c.strength;
        ana->GetStats()->level = c.level;
        bog->GetStats()->hp = c.targetHp;
        Window()->GetQueue().Clear();
        ScriptRandom({10});
        ana->Attack(bog);
        EXPECT_EQ(bog->GetStats()->hp, c.hpAfter) << c.strength << " " << c.targetHp;
        const Strings queue = DumpQueue(Window());
        EXPECT_EQ(queue.size() > 11 ? queue[11] : "", c.text) << c.strength << " " << c.targetHp;
    }
}

TEST_F(CharacterBattleTest, EnemyAttackTextHasNoExclamationMark) {
    ScriptRandom({10});
    bog->Attack(ana);
    Strings queue = DumpQueue(Window());
    EXPECT_EQ(queue[0], "21 EnemyAttack");
    EXPECT_EQ(queue[1], "text Bog Attacks");
}

TEST_F(CharacterBattleTest, StrikeHurtAndKnockOutAnimationsOnTheSpriteQueues) {
    int32_t pending = 0;
    ana->SetAttackAnimProperties(1, 2, 2, 0, 0);
    ana->UpdateActionAnimation(Character::kStrike, bog, &pending);
    EXPECT_EQ(ana->sprite->queued, (Strings{"200", "102 1", "103 HardAttacking", "101 0", "105", "101 0", "105",
                                            "101 1", "105", "101 1", "105", "103 Idling", "201"}));
    EXPECT_EQ(ana->sprite->pending, &pending);

    bog->UpdateHurtAnimation(Character::kHurt, ana, &pending);
    Strings expected{"200", "103 Injured"};
    for (int i = 0; i < 24; ++i) {
        expected.push_back("101 " + std::to_string((i % 16) / 8));
        expected.push_back("105");
    }
    expected.push_back("103 Idling");
    expected.push_back("201");
    EXPECT_EQ(bog->sprite->queued, expected);

    bog->sprite->queued.clear();
    bog->UpdateHurtAnimation(Character::kKnockedOut, ana, &pending);
    bog->UpdateHurtAnimation(7, ana, &pending);
    EXPECT_EQ(bog->sprite->queued, (Strings{"200", "103 KnockedOut", "201"}));

    // Timing values from a script cannot make a strike endless.
    ana->sprite->queued.clear();
    ana->SetAttackAnimProperties(100000, 1000000, 1000000, 0, 0);
    ana->UpdateActionAnimation(Character::kStrike, bog, &pending);
    EXPECT_EQ(ana->sprite->queued.size(), 3u + 2 * 3600 + 2);
    ScriptRandom({10});
    ana->Attack(bog);
    Strings queue = DumpQueue(Window());
    EXPECT_EQ(queue[8], "104 3600");

    // Without an attack script there is no leap.
    ana->sprite->queued.clear();
    ana->UpdateActionAnimation(Character::kLeap, bog, &pending);
    ana->UpdateActionAnimation(2, bog, &pending);
    EXPECT_TRUE(ana->sprite->queued.empty());
}

TEST_F(CharacterBattleTest, TheAttackScriptFillsTheMoveBufferAsTheAttacker) {
    testsupport::TempDir dir;
    dir.WriteFile("leap.lua",
                  "n, fx, fy, tx, ty = Character_GetMoveData()\n"
                  "for i = 0, 4 do Character_SetFrameWrapperSlot(i, fx, fy, -i, i) end\n"
                  "Character_SetFrameWrapperSlot(25, 1, 1, 1, 1)\n"
                  "Character_SetFrameWrapperSlot(-1, 1, 1, 1, 1)\n");
    Character::RegisterLuaFunctions(lua->L());
    TestCombatant* other = party->Add("Cid", 30, 5, 5, 5);
    party->current = other;
    ana->SetAttackScript("leap.lua");
    int32_t pending = 0;
    ana->UpdateActionAnimation(Character::kLeap, bog, &pending);

    // The script ran with the attacker's move: from its sprite to the
    // target's, kept the target's attack offset away.
    EXPECT_EQ(lua->GetNumber("n"), 25);
    EXPECT_EQ(lua->GetNumber("fx"), 500);
    EXPECT_EQ(lua->GetNumber("fy"), 300);
    EXPECT_EQ(lua->GetNumber("tx"), 220);
    EXPECT_EQ(lua->GetNumber("ty"), 300);
    // The party's current character is given back.
    EXPECT_EQ(party->current, other);
    EXPECT_EQ(ana->GetMoveBuffer(), nullptr);

    const Strings& queued = ana->sprite->queued;
    ASSERT_EQ(queued.size(), 3u + 25 * 3 + 2);
    EXPECT_EQ(Strings(queued.begin(), queued.begin() + 3), (Strings{"200", "102 1", "103 Moving"}));
    EXPECT_EQ(queued[3 + 3 * 4], "100 500 300 -4");
    EXPECT_EQ(queued[3 + 3 * 4 + 1], "101 4");
    // Points the script left alone lie on the straight path.
    EXPECT_EQ(queued[3 + 3 * 12], "100 360 300 0");
    EXPECT_EQ(queued[3 + 3 * 24], "100 220 300 0");
    EXPECT_EQ(queued[3 + 3 * 24 + 2], "105");
    EXPECT_EQ(Strings(queued.end() - 2, queued.end()), (Strings{"103 Idling", "201"}));

    // The return turns away, moves home and turns back.
    ana->sprite->queued.clear();
    ana->sprite->SetPosition(220, 300, 0);
    ana->UpdateActionAnimation(Character::kReturn, bog, &pending);
    EXPECT_EQ(lua->GetNumber("fx"), 220);
    EXPECT_EQ(lua->GetNumber("tx"), 500);
    EXPECT_EQ(ana->sprite->queued[1], "102 0");
    EXPECT_EQ(ana->sprite->queued[ana->sprite->queued.size() - 3], "102 1");
}

TEST_F(CharacterBattleTest, AMissingAttackScriptStillGivesAStraightLeap) {
    ana->SetAttackScript("no/such/script.lua");
    int32_t pending = 0;
    {
        StderrCapture cap;
        ana->UpdateActionAnimation(Character::kLeap, bog, &pending);
        cap.Take();
    }
    const Strings& queued = ana->sprite->queued;
    ASSERT_EQ(queued.size(), 3u + 25 * 3 + 2);
    EXPECT_EQ(queued[3], "100 500 300 0");
    EXPECT_EQ(queued[3 + 3 * 6], "100 430 300 0");
    EXPECT_EQ(queued[3 + 3 * 24], "100 220 300 0");
    EXPECT_EQ(party->current, ana);
}

TEST_F(CharacterBattleTest, CharacterFunctionsActOnTheCurrentCharacter) {
    Character::RegisterLuaFunctions(lua->L());
    ASSERT_TRUE(
        lua->Run("Character_SetBasicProperties(90, 12, 9, 7, 6, 5, 4, 3)\n"
                 "Character_SetAttackAnimProperties(3, 8, 4, 2, 1)\n"
                 "count = select('#', Character_GetMoveData())"));
    EXPECT_EQ(ana->GetStats()->maxHp, 90);
    EXPECT_EQ(ana->GetStats()->mp, 12);
    EXPECT_EQ(ana->GetStats()->speed, 3);
    EXPECT_EQ(ana->GetHitFrame(), 3);
    EXPECT_EQ(ana->GetTicksPerStrikeFrame(), 4);
    EXPECT_EQ(lua->GetNumber("count"), 5);

    party->current = nullptr;
    struct Call {
        const char* call;
        const char* line;
    } calls[] = {
        {"Character_SetBasicProperties(1, 2, 3, 4, 5, 6, 7, 8)",
         "Character_SetBasicProperties:  Failed, no Character is Active\n"},
        {"Character_SetBasicProperties(1, 2, 3)", "Character_SetBasicProperties:  Failed, invalid argument list\n"},
        {"Character_SetAttackAnimProperties(1, 2, 3, 4, 5)",
         "Character_SetAttackAnimProperties:  Failed, no Character is Active\n"},
        {"Character_SetAttackAnimProperties(1)", "Character_SetAttackAnimProperties:  Failed, invalid argument list\n"},
        {"Character_SetFrameWrapperSlot(1, 2, 3, 4, 5)",
         "Character_SetFrameWrapperSlot:  Failed, no Character is Active\n"},
        {"Character_SetFrameWrapperSlot(1, 2, 3, 4, 5, 6)",
         "Character_SetFrameWrapperSlot:  Failed, invalid argument list\n"},
        {"Character_GetMoveData()", "Character_GetMoveData:  Failed, no Character is Active\n"},
        {"Character_SetUIPortrait('a', 'b', 'c')", "Character_SetUIPortrait:  Failed, invalid argument list\n"},
        {"Character_SetUIPortrait('a', nil, 'c', 'd')", "Character_SetUIPortrait:  Failed, invalid argument list\n"},
        {"Character_SetUIPortrait('a', 'b', 'c', 'd')", ""},
    };
    for (const Call& c : calls) {
        StderrCapture cap;
        ASSERT_TRUE(lua->Run(std::string("results = select('#', ") + c.call + ")")) << c.call;
        EXPECT_EQ(cap.Take(), c.line) << c.call;
        EXPECT_EQ(lua->GetNumber("results"), 0) << c.call;
    }
}

}  // namespace
