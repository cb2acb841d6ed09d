// Whole battles with the real party classes, enemies and field sprites:
// choosing Attack for every member until one side is down, the texts that
// play, the experience shared, and two battles in a row.
#include <gtest/gtest.h>

#include "combat/BattleFixture.h"

namespace {

using combattest::BattleTest;

TEST_F(BattleTest, ThePartyWinsTwoBattlesInARow) {
    for (int battle = 0; battle < 2; ++battle) {
        const std::string lines = Fight();
        EXPECT_FALSE(manager_->IsBattleRunning());
        EXPECT_EQ(manager_->GetState(), 1) << lines;
        EXPECT_NE(lines.find("The enemy was defeated!|Bramle Vey and her friends got 21 experience!|"),
                  std::string::npos)
            << lines;
        EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
        EXPECT_EQ(enemies_->GetEnemyCount(), 0);
        GetGlobalState()->stateSwitchRequest = 0;
    }
    // 21 shared by three, twice: 7 + 7 each.
    EXPECT_EQ(party_->GetMemberAt(0)->GetExperience()->gained, 14);
    // Members stand at home again, facing the enemies.
    auto* sprite = static_cast<FieldSprite*>(party_->GetMemberAt(1)->GetFieldSprite());
    EXPECT_FLOAT_EQ(sprite->GetX(), 550.0f);
    EXPECT_EQ(sprite->GetFacing(), 1);
}

TEST_F(BattleTest, AStrongerFoeVanquishesTheParty) {
    ASSERT_TRUE(lua_.Run(R"(
        DL_SetActiveObject('Enemies', 'StratumZero', 'Normal', 'Didozado')
        EP_SetCombatStats(9, 900, 0, 90, 99, 2, 2, 4, 99)
        PartyManager_ClearParty() PartyManager_AddCharacter('Wistlemarn')
    )"));
    const std::string lines = Fight();
    EXPECT_EQ(manager_->GetState(), 0);
    EXPECT_NE(lines.find("Your party was vanquished...|Press any key|"), std::string::npos) << lines;
    EXPECT_EQ(party_->GetMemberAt(0)->GetStats()->hp, 1);
}

// Members whose scripts set a maximum far above what the formulas give
// (HP 300 of 5000) win and level up: the formulas replace the maxima, HP and
// MP move with them, and a member who stood stays standing at 1 HP (MP stops
// at 0), without a knock-out; back on the map everyone stands.
TEST_F(BattleTest, ALevelUpThatLowersTheMaximumLeavesTheWinnersStanding) {
    for (int i = 0; i < party_->GetPartySize(); ++i) {
        CombatStats& s = *party_->GetMemberAt(i)->GetStats();
        s.maxHp = s.maxMp = 5000;
        s.hp = s.mp = 300;
        party_->GetMemberAt(i)->GetExperience()->needed = 1;
    }
    const std::string lines = Fight();
    ASSERT_EQ(manager_->GetState(), 1) << lines;
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);  // back to the map
    for (int i = 0; i < party_->GetPartySize(); ++i) {
        const Character& member = *party_->GetMemberAt(i);
        const CombatStats& s = *member.GetStats();
        const int32_t mp = member.GetClassId() == 0 ? 0 : 300;  // Orravine's MP moves with its maximum
        EXPECT_TRUE(s.level == 2 && s.maxHp < 5000 && s.hp == 1 && s.mp == mp)
            << member.GetName() << " level " << s.level << " HP " << s.hp << "/" << s.maxHp << " MP " << s.mp << "/"
            << s.maxMp;
        const size_t level = lines.find(member.GetName() + " is now level 2!|Max HP increased by -");
        EXPECT_NE(level, std::string::npos) << lines;
        EXPECT_EQ(lines.find(member.GetKOText(), level), std::string::npos) << lines;
    }
}

// A script run in the middle of a turn cannot stall the battle: a second
// battle asked for is refused with a line (the preload list untouched), and
// the window the battle waits on is shown again if the script hid it; a
// status display it hides stays hidden. Every battle ends in victory.
TEST_F(BattleTest, AScriptRunMidTurnCannotStallTheBattle) {
    const struct {
        const char* call;
        const char* line;         // printed, when not null
        const char* staysHidden;  // a window that, once hidden, is not shown again during the battle
    } cases[] = {
        {"CombatManager_InitiateCombat()", "CombatManager_InitiateCombat:  Failed, a battle is running\n", nullptr},
        {"DEBUG_ActivateCombat()", "DEBUG_ActivateCombat:  Failed, a battle is running\n", nullptr},
        {"GUI_HideAllObjects()", nullptr, "CombatCharDisplay1"},
        {"GUI_SetActiveObjectAndListFromBase('CombatMessageWindow') GUIG_Hide()", nullptr, nullptr},
        {"GUI_SetActiveObjectAndListFromBase('CombatCharDisplay0') GUIG_Hide()", nullptr, "CombatCharDisplay0"},
    };
    for (const auto& c : cases) {
        dir_.WriteFile("Data/Scripts/Combat/Algorithms/LeapToPoint.lua", std::string(c.call) + "\n");
        bool hidden = false;
        int shownAgain = 0;
        auto watch = [&] {
            GUIBaseObject* window = c.staysHidden ? lua_.Gui().FindObject(c.staysHidden) : nullptr;
            if (!window) return;
            if (!window->IsSelfVisible()) hidden = true;
            if (hidden && window->IsSelfVisible()) ++shownAgain;
        };
        std::string lines;
        const std::string out = testsupport::Stderr([&] { lines = Fight(watch); });
        if (c.line) {
            EXPECT_NE(out.find(c.line), std::string::npos) << c.call;
        }
        EXPECT_EQ(manager_->GetPreloadList()->GetCount(), 2) << c.call;
        EXPECT_FALSE(manager_->IsBattleRunning()) << c.call;
        EXPECT_EQ(manager_->GetState(), 1) << c.call << "\n" << lines;
        EXPECT_NE(lines.find("The enemy was defeated!"), std::string::npos) << c.call << "\n" << lines;
        if (c.staysHidden) {
            EXPECT_TRUE(hidden) << c.call;
            EXPECT_EQ(shownAgain, 0) << c.call;
        }
        GetGlobalState()->stateSwitchRequest = 0;
    }
}

}  // namespace
