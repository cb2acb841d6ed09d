#pragma once
// Whole battles with the real party classes, enemies and field sprites: the
// fixture sets up the party, a foe and the combat managers, and fights.
#include <gtest/gtest.h>

#include <functional>
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
#include "support/AllegroTestEnv.h"
#include "support/KeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace combattest {

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
    // `watch` looks on after every tick of the running battle.
    std::string Fight(const std::function<void()>& watch = {}) {
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
                testsupport::KeyTicks(lua_.Keyboard(), [this] { lua_.Gui().HandleHotkeys(); }).Type("Z");
            }
            Tick();
            if (watch && manager_->IsBattleRunning()) watch();
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

}  // namespace combattest
