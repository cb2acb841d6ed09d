// Whole battles with the real party classes, enemies and field sprites:
// choosing Attack for every member until one side is down, the texts that
// play, the experience shared, and two battles in a row.
#include <gtest/gtest.h>

#include <string>

#include "combat/Character.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/EnemyManager.h"
#include "combat/FieldSprite.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatMessageWindow.h"
#include "combat/PartyManager.h"
#include "core/base/GlobalState.h"
#include "core/base/Random.h"
#include "core/base/TransitionState.h"
#include "gui/GUIManager.h"
#include "savefile/SFM.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

class BattleTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        SetRandomSource([this] { return static_cast<int>(draw_++ * 7919 % 1000); });
        dir_.WriteFile("Sprite.lua", "FSprite_SetCanvasSize(8, 8)\n");
        ASSERT_TRUE(lua_.Run(R"(
            DL_AddSection('Enemies') DL_AddCatalogue('Enemies', 'StratumZero')
            DL_AddHeading('Enemies', 'StratumZero', 'Normal')
            DL_RegisterEnemyPrototype('Enemies', 'StratumZero', 'Normal', 'Zezazoru')
            EP_SetCombatName('Zezazoru') EP_SetCombatStats(1, 20, 0, 4, 4, 2, 2, 4, 4)
            EP_SetEXPForKill(12) EP_SetLoadingInstructionPath('Sprite.lua')
            EP_SetAttackAnimInstructions(1, 2, 2, 0, 0)
            DL_RegisterEnemyPrototype('Enemies', 'StratumZero', 'Normal', 'Didozado')
            EP_SetCombatName('Didozado') EP_SetCombatStats(1, 15, 0, 4, 3, 2, 2, 4, 9)
            EP_SetEXPForKill(9) EP_SetAttackAnimInstructions(1, 2, 2, 0, 0)
            PartyManager_AddCharacter('Bramle') PartyManager_AddCharacter('Orravine')
            PartyManager_AddCharacter('Tamberlyx')
            CombatManager_AddPreloadEnemy('Enemies', 'StratumZero', 'Normal', 'Zezazoru')
            CombatManager_AddPreloadEnemy('Enemies', 'StratumZero', 'Normal', 'Didozado')
        )")) << lua_.LastError();
        manager_ = GetCombatRegistry().combatManager;
        party_ = static_cast<PartyManager*>(GetCombatRegistry().partyManager);
        enemies_ = static_cast<EnemyManager*>(GetCombatRegistry().enemyManager);
    }
    void TearDown() override {
        SetRandomSource({});
        GetGlobalState()->stateSwitchRequest = 0;
        ClearTransitionState();
    }

    void Tick() {
        lua_.Gui().HandleMouseEvent(-1);
        manager_->Update();
    }

    // Plays a battle: every member attacks the first enemy still standing,
    // and every "Press any key" is answered. Returns every line shown.
    std::string Fight() {
        std::string lines;
        manager_->StartCombat();
        GUICombatMessageWindow* window = manager_->GetMessageWindow();
        for (int tick = 0; tick < 20000 && manager_->IsBattleRunning(); ++tick) {
            if (manager_->GetCommandWindow()->IsSelfVisible() && party_->GetActiveCharacter()) {
                manager_->OrderCommand(1);
                Character* target = enemies_->FirstValidTarget(1);
                manager_->OrderTarget(target ? target->GetCombatId() : -1);
            }
            if (window->IsPaused()) {
                for (int i = window->GetLineCount() - 1; i >= 0; --i) lines += window->GetLine(i) + "|";
                lua_.Gui().HandleMouseEvent(2);
                lua_.Gui().HandleMouseEvent(3);
            }
            Tick();
        }
        return lines;
    }

    int draw_ = 0;
    testsupport::TempDir dir_;
    testsupport::StderrCapture quiet_;
    testsupport::LuaTestState lua_;
    CombatManager* manager_ = nullptr;
    PartyManager* party_ = nullptr;
    EnemyManager* enemies_ = nullptr;
};

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

// The attack script runs in the middle of a turn: a party change it asks
// for is refused with a line, and the battle plays on with the same party.
TEST_F(BattleTest, TheAttackScriptCannotChangeTheParty) {
    SFM saves;
    SFM* savedManager = GetGlobalState()->savefileManager;
    GetGlobalState()->savefileManager = &saves;
    saves.IssueSave("Party.sav");
    const struct {
        const char* call;
        const char* line;
    } cases[] = {
        {"PartyManager_ClearParty()", "PartyManager_ClearParty:  Failed, a battle is running\n"},
        {"PartyManager_DelCharacter('Bramle', 0)", "PartyManager_DelCharacter:  Failed, a battle is running\n"},
        {"PartyManager_AddCharacter('Kell')", "PartyManager_AddCharacter:  Failed, a battle is running\n"},
        {"SFM_IssueLoad('Party.sav')", "SFM_IssueLoad - Failed, a battle is running\n"},
    };
    for (const auto& c : cases) {
        dir_.WriteFile("Data/Scripts/Combat/Algorithms/LeapToPoint.lua", std::string(c.call) + "\n");
        std::string lines;
        const std::string out = testsupport::Stderr([&] { lines = Fight(); });
        EXPECT_NE(out.find(c.line), std::string::npos) << c.call;
        EXPECT_EQ(manager_->GetState(), 1) << c.call << "\n" << lines;
        EXPECT_EQ(party_->GetPartySize(), 3) << c.call;
        GetGlobalState()->stateSwitchRequest = 0;
    }
    // Once the battle is over the same calls work.
    EXPECT_TRUE(lua_.Run("PartyManager_DelCharacter('Bramle', 0)"));
    EXPECT_EQ(party_->GetPartySize(), 2);
    GetGlobalState()->savefileManager = savedManager;
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
