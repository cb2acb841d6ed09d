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

// A script run in the middle of a turn cannot stall the battle: a second
// battle asked for is refused with a line (the preload list untouched), and
// the battle's windows that it hides are shown again; the battle ends.
TEST_F(BattleTest, AScriptRunMidTurnCannotStallTheBattle) {
    const std::pair<const char*, const char*> cases[] = {
        {"CombatManager_InitiateCombat()", "CombatManager_InitiateCombat:  Failed, a battle is running\n"},
        {"DEBUG_ActivateCombat()", "DEBUG_ActivateCombat:  Failed, a battle is running\n"},
        {"GUI_HideAllObjects()", ""},
        {"GUI_SetActiveObjectAndListFromBase('CombatMessageWindow') GUIG_Hide()", ""},
    };
    for (const auto& [call, line] : cases) {
        dir_.WriteFile("Data/Scripts/Combat/Algorithms/LeapToPoint.lua", std::string(call) + "\n");
        std::string lines;
        const std::string out = testsupport::Stderr([&] { lines = Fight(); });
        EXPECT_NE(out.find(line), std::string::npos) << call;
        EXPECT_EQ(manager_->GetPreloadList()->GetCount(), 2) << call;
        EXPECT_EQ(manager_->GetState(), 1) << call << "\n" << lines;
        GetGlobalState()->stateSwitchRequest = 0;
    }
}

}  // namespace
