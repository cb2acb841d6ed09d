// The enemy side: prototypes from scripts, spawning, naming apart, damage,
// rewards, and the enemy images of two battles in a row.
#include "combat/EnemyManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "combat/CombatImageLibrary.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatTarget.h"
#include "combat/Enemy.h"
#include "combat/EnemyPrototype.h"
#include "combat/FieldSprite.h"
#include "combat/FieldSpriteDisplayList.h"
#include "combat/FieldSpriteanimation.h"
#include "combat/PartyManager.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/PathManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

class EnemyTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        enemies_ = static_cast<EnemyManager*>(GetCombatRegistry().enemyManager);
        ASSERT_NE(enemies_, nullptr);
        ASSERT_TRUE(lua_.Run(R"(
            DL_AddSection('Enemies') DL_AddCatalogue('Enemies', 'StratumZero')
            DL_AddHeading('Enemies', 'StratumZero', 'Normal')
            DL_RegisterEnemyPrototype('Enemies', 'StratumZero', 'Normal', 'Zezazoru')
            EP_SetCombatName('Zezazoru') EP_SetCombatStats(2, 30, 4, 6, 5, 3, 3, 4, 6)
            EP_SetLevelRange(1, 3) EP_SetEXPForKill(10) EP_SetDeathMessage('<Name> melts away!')
            EP_SetAttackAnimInstructions(2, 4, 3, 7, 8)
            DL_RegisterEnemyPrototype('Enemies', 'StratumZero', 'Normal', 'Didozado')
            EP_SetCombatName('Didozado') EP_SetCombatStats(1, 20, 0, 5, 4, 2, 2, 3, 9)
            EP_SetEXPForKill(25)
            DL_RegisterEnemyPrototype('Enemies', 'StratumZero', 'Normal', 'Blank')
        )")) << lua_.LastError();
    }
    void TearDown() override { SetRandomSource({}); }

    EnemyPrototype* Prototype(const char* name) {
        return lua_.Library().Get<EnemyPrototype>("Enemies", "StratumZero", "Normal", name, DataKind::EnemyPrototype);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < enemies_->GetEnemyCount(); ++i) names.push_back(enemies_->GetEnemyAt(i)->GetName());
        return names;
    }
    void Spawn(const std::vector<const char*>& names) {
        NamedList preload(false);
        for (const char* name : names) preload.Add("X", Prototype(name));
        enemies_->ClearEnemies();
        enemies_->SpawnEnemies(&preload);
    }

    testsupport::TempDir dir_;
    testsupport::StderrCapture quiet_;
    testsupport::LuaTestState lua_;
    EnemyManager* enemies_ = nullptr;
};

TEST_F(EnemyTest, ScriptsFillThePrototype) {
    EnemyPrototype* z = Prototype("Zezazoru");
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(*z->GetCombatName(), "Zezazoru");
    ASSERT_NE(z->GetStats(), nullptr);
    EXPECT_EQ(z->GetStats()->maxHp, 30);
    EXPECT_EQ(z->GetStats()->speed, 6);
    EXPECT_EQ(z->GetEXPForKill(), 10);
    EXPECT_EQ(z->GetHitFrame(), 2);
    EXPECT_EQ(Prototype("Blank")->GetStats(), nullptr);
    EXPECT_EQ(Prototype("Blank")->GetDeathMessage(), "Death Message not set");

    ASSERT_TRUE(
        lua_.Run("EP_SetAttackAnimInstructions(9, 4, 3, 0, 0) EP_SetRandomFlag(false) "
                 "EP_AddLoadingInstruction('Bat', 3) EP_SetLoadingString('Bats')"));
    EnemyPrototype* blank = Prototype("Blank");
    EXPECT_EQ(blank->GetHitFrame(), 0);
    EXPECT_FALSE(blank->GetRandomFlag());
    ASSERT_EQ(blank->GetLoadingInstructions().size(), 1u);
    EXPECT_EQ(blank->GetLoadingInstructions()[0].count, 3);
}

TEST_F(EnemyTest, APrototypeThatCannotBeFiledLeavesNothingToFill) {
    testsupport::StderrCapture capture;
    ASSERT_TRUE(
        lua_.Run("DL_RegisterEnemyPrototype('Enemies', 'StratumZero', 'Elite', 'Boss') "
                 "EP_SetCombatName('Boss')"));
    EXPECT_EQ(capture.Take(),
              "DataLibrary - GetHeading(B):  Failed, Elite not found\n"
              "EP_SetCombatName:  Failed, Active Prototype not set\n");
    EXPECT_FALSE(Prototype("Blank")->GetCombatName().has_value());
}

TEST_F(EnemyTest, EligibilityNeedsTheFlagAndTheRange) {
    EnemyPrototype p;
    EXPECT_FALSE(p.IsEligible(1));  // the initial range admits no level
    p.SetLevelRange(1, 3);
    EXPECT_TRUE(p.IsEligible(1));
    EXPECT_TRUE(p.IsEligible(3));
    EXPECT_FALSE(p.IsEligible(4));
    p.SetRandomFlag(false);
    EXPECT_FALSE(p.IsEligible(2));
}

TEST_F(EnemyTest, DuplicateNamesAreLetteredInSpawnOrder) {
    struct Case {
        std::vector<const char*> preload;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{"Zezazoru", "Didozado", "Zezazoru"}, {"Zezazoru A", "Didozado", "Zezazoru B"}},
        {{"Zezazoru", "Zezazoru", "Zezazoru"}, {"Zezazoru A", "Zezazoru B", "Zezazoru C"}},
        {{"Didozado"}, {"Didozado"}},
    };
    for (const Case& c : cases) {
        Spawn(c.preload);
        EXPECT_EQ(Names(), c.names);
    }
    auto* first = static_cast<Enemy*>(enemies_->GetEnemyAt(0));
    Spawn({"Zezazoru", "Zezazoru"});
    first = static_cast<Enemy*>(enemies_->GetEnemyAt(1));
    EXPECT_EQ(first->GetKOText(), "Zezazoru B melts away!");
}

TEST_F(EnemyTest, RandomBattlesDrawOneToThreeEligibleEnemies) {
    enemies_->ScanLibraryForEnemies("Enemies");
    EXPECT_EQ(enemies_->GetPrototypeList()->GetCount(), 3);
    // Count draw 2 gives three; only Zezazoru is eligible at level 1.
    SetRandomSource([] { return 2; });
    enemies_->SpawnEnemies(nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Zezazoru A", "Zezazoru B", "Zezazoru C"}));
    SetRandomSource([] { return 0; });
    enemies_->ClearEnemies();
    enemies_->SpawnEnemies(nullptr);
    EXPECT_EQ(enemies_->GetEnemyCount(), 1);

    // With none eligible no enemy is spawned and nothing divides by zero.
    Prototype("Zezazoru")->SetRandomFlag(false);
    enemies_->ClearEnemies();
    EXPECT_EQ(enemies_->PickRandomPrototype(1), nullptr);
    enemies_->SpawnRandomEnemies(1);
    EXPECT_EQ(enemies_->GetEnemyCount(), 0);
    EXPECT_TRUE(enemies_->AreAllDefeated());
}

TEST_F(EnemyTest, ScanningPassesOverOtherKindsAndSaysWhenTheSectionIsMissing) {
    static int notAPrototype = 0;
    lua_.Library().Register("Enemies", "StratumZero", "Normal", "Font", &notAPrototype, DataKind::Font);
    enemies_->ScanLibraryForEnemies("Enemies");
    EXPECT_EQ(enemies_->GetPrototypeList()->GetCount(), 3);
    testsupport::StderrCapture capture;
    EnemyManager other;
    other.ScanLibraryForEnemies("Monsters");
    EXPECT_NE(capture.Take().find("EnemyManager::ScanLibraryForEnemies:  Failed, no Section Monsters exists\n"),
              std::string::npos);
    EXPECT_EQ(other.GetPrototypeList()->GetCount(), 0);
}

TEST_F(EnemyTest, EnemiesTakeTheirPrototypesNumbers) {
    Spawn({"Zezazoru", "Blank"});
    Character* z = enemies_->GetEnemyAt(0);
    EXPECT_EQ(z->GetStats()->level, 2);
    EXPECT_EQ(z->GetStats()->hp, 30);
    EXPECT_EQ(z->GetStats()->shownHp, 30);
    EXPECT_EQ(z->GetClassId(), -1);
    EXPECT_EQ(z->GetAttackScript(), "Data/Scripts/Combat/Algorithms/LeapToPointE.lua");
    EXPECT_EQ(z->GetStrikeFrames(), 4);
    EXPECT_EQ(z->GetTicksPerStrikeFrame(), 3);
    // Never given statistics: every number 1.
    Character* blank = enemies_->GetEnemyAt(1);
    EXPECT_EQ(blank->GetName(), "Anonymous");
    EXPECT_EQ(blank->GetStats()->hp, 1);
    EXPECT_EQ(blank->GetStats()->strength, 1);
}

TEST_F(EnemyTest, KnockOutsLeaveZeroHPAndRewardsAddUp) {
    Spawn({"Zezazoru", "Didozado", "Zezazoru"});
    enemies_->GetEnemyAt(0)->TakeDamage(nullptr, 500);
    EXPECT_EQ(enemies_->GetEnemyAt(0)->GetStats()->hp, 0);
    EXPECT_EQ(enemies_->SumExperienceReward(), 10);
    enemies_->GetEnemyAt(1)->TakeDamage(nullptr, 5);
    EXPECT_EQ(enemies_->GetEnemyAt(1)->GetStats()->hp, 15);
    enemies_->GetEnemyAt(1)->TakeDamage(nullptr, 15);
    EXPECT_EQ(enemies_->SumExperienceReward(), 35);
    EXPECT_FALSE(enemies_->AreAllDefeated());

    NamedList targets(true);
    targets.SetDefaultDeleter(CombatTarget::Delete);
    int32_t counter = 4;
    enemies_->SetCombatIds(&counter);
    enemies_->ListTargets(&targets, 1, -1);
    ASSERT_EQ(targets.GetCount(), 1);
    EXPECT_STREQ(targets.GetAtAs<CombatTarget>(0)->name, "Zezazoru B");
    EXPECT_EQ(targets.GetAtAs<CombatTarget>(0)->combatantId, 6);
    EXPECT_EQ(enemies_->FirstValidTarget(1), enemies_->GetEnemyAt(2));
    EXPECT_EQ(enemies_->PickRandomTarget(1, -1), enemies_->GetEnemyAt(2));
    enemies_->GetEnemyAt(2)->TakeDamage(nullptr, 30);
    EXPECT_TRUE(enemies_->AreAllDefeated());
    EXPECT_EQ(enemies_->PickRandomTarget(1, -1), nullptr);
}

TEST_F(EnemyTest, TurnKeysAndPlaces) {
    Spawn({"Zezazoru", "Didozado"});
    SetRandomSource([] { return 10; });  // factor 1.00
    std::vector<TurnKey> keys;
    enemies_->AddTurnKeys(keys);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_FLOAT_EQ(keys[0].key, -6.0f);
    EXPECT_FLOAT_EQ(keys[1].key, -9.0f);
    EXPECT_EQ(keys[1].combatant, enemies_->GetEnemyAt(1));
    enemies_->PlaceEnemies(0);
    EXPECT_EQ(enemies_->GetEnemyAt(1)->GetHomeY(), 0);
    enemies_->PlaceEnemies(1);
    EXPECT_EQ(enemies_->GetEnemyAt(1)->GetHomeX(), 200);
    EXPECT_EQ(enemies_->GetEnemyAt(1)->GetHomeY(), 375);
    EXPECT_FLOAT_EQ(enemies_->GetEnemyAt(1)->GetFieldSprite()->GetY(), 375.0f);
}

TEST_F(EnemyTest, ClearingTheEnemiesLeavesNoCurrentCharacterBehind) {
    Spawn({"Didozado"});
    CombatParty* party = GetCombatRegistry().partyManager;
    party->SetCurrentCharacter(enemies_->GetEnemyAt(0));
    enemies_->ClearEnemies();
    EXPECT_EQ(party->GetCurrentCharacter(), nullptr);
    EXPECT_EQ(enemies_->GetEnemyCount(), 0);
}

TEST_F(EnemyTest, EnemyLeapsStopShortOfTheirTarget) {
    Spawn({"Didozado"});
    static_cast<PartyManager*>(GetCombatRegistry().partyManager)->AddCharacter("Kell");
    Character* kell = static_cast<PartyManager*>(GetCombatRegistry().partyManager)->GetMemberAt(0);
    Character* enemy = enemies_->GetEnemyAt(0);
    kell->SetHomePosition(500, 300);
    kell->GetFieldSprite()->SetPosition(510, 310, 0);
    static_cast<FieldSprite*>(kell->GetFieldSprite())->SetAttackOffset(20);
    static_cast<FieldSprite*>(enemy->GetFieldSprite())->SetAttackOffset(5);
    enemy->GetFieldSprite()->SetPosition(200, 300, 0);
    AttackMovement move = enemy->GetAttackMovement(enemy, kell);
    EXPECT_FLOAT_EQ(move.fromX, 200);
    EXPECT_FLOAT_EQ(move.fromY, 300);
    EXPECT_FLOAT_EQ(move.toX, 500 - 20 - 5);
    EXPECT_FLOAT_EQ(move.toY, 310);
    enemy->GetFieldSprite()->SetPosition(700, 300, 0);
    EXPECT_FLOAT_EQ(enemy->GetAttackMovement(enemy, kell).toX, 520);
}

sif::Picture Solid(uint8_t r, uint32_t size = 4) {
    sif::Picture picture;
    picture.width = picture.height = size;
    for (uint32_t i = 0; i < size * size; ++i) picture.rgba.insert(picture.rgba.end(), {r, 0, 0, 255});
    return picture;
}

TEST_F(EnemyTest, EachBattleLoadsItsImagesAndFreesThemAfterwards) {
    sif::ArchiveWriter writer;
    for (int i = 0; i < 3; ++i) writer.AddImage("Bat" + std::to_string(i), Solid(static_cast<uint8_t>(100 + i)));
    std::filesystem::create_directories("Data/Decompress");
    ASSERT_TRUE(writer.WriteFile("Data/Enemies.sif", true));
    lua_.Paths().AddPath("Decompress", "Data/Decompress/");
    // The prototype's script builds a pose from the battle's images, once
    // with a registered animation (found again in the next battle) and once
    // with a hot one.
    dir_.WriteFile("Bat.lua", R"(
        FSprite_SetCanvasSize(8, 8)
        FSpriteDL_CreateAndPush()
        DL_PushActiveEntity()
        DL_RegisterFieldSpriteAnimation('Enemies', 'StratumZero', 'Normal', 'BatWings')
        FSpriteAnim_SetFrameData(3, 1)
        for i = 0, 2 do FSpriteAnim_CDL_SetFrameImage(i, 'Bat' .. i, 4, 0) end
        FSpriteAnim_FinishAndLock()
        FSpriteDL_RegisterAnimByPop('Wings')
        FSpriteDL_RegisterAnim('Again', 'Enemies', 'StratumZero', 'Normal', 'BatWings')
        DL_PushActiveEntity()
        DL_CreateHotFieldSpriteAnimation()
        FSpriteAnim_SetFrameData(1, 1)
        FSpriteAnim_CDL_SetFrameImage(0, 'Bat2', 4, 0)
        FSpriteAnim_FinishAndLock()
        FSpriteDL_RegisterAnimByPop('Body')
        FSpriteDL_PopAndHook('Idling')
    )");
    ASSERT_TRUE(lua_.Run(R"(
        DL_SetActiveObject('Enemies', 'StratumZero', 'Normal', 'Didozado')
        EP_SetLoadingInstructionPath('Bat.lua') EP_AddLoadingInstruction('Bat', 3)
    )"));
    CombatImageLibrary* images = GetCombatImageLibrary();
    for (int battle = 0; battle < 2; ++battle) {
        Spawn({"Didozado", "Didozado"});
        enemies_->LoadFieldSprites();
        EXPECT_FALSE(images->IsOpen());
        EXPECT_EQ(images->GetImageCount(), 6);  // two enemies load the same three
        auto* sprite = static_cast<FieldSprite*>(enemies_->GetEnemyAt(1)->GetFieldSprite());
        EXPECT_TRUE(sprite->IsVisible());
        ASSERT_NE(sprite->GetCurrentDisplayList(), nullptr);
        EXPECT_EQ(sprite->GetCurrentDisplayList()->GetLayerCount(), 3);
        auto* wings = sprite->GetCurrentDisplayList()->GetLayers()->FindAs<FieldSpriteanimation>("Wings");
        EXPECT_EQ(wings->GetFrame(0)->image, images->FindImage("Bat0"));
        sprite->Update();
        sprite->Draw();
        // The end of the battle: images freed, enemies gone.
        GetCombatRegistry().combatManager->EndBattle();
        EXPECT_EQ(images->GetImageCount(), 0);
        EXPECT_EQ(enemies_->GetEnemyCount(), 0);
    }
    // The registered animation no longer shows the freed images.
    auto* registered = lua_.Library().Get<FieldSpriteanimation>("Enemies", "StratumZero", "Normal", "BatWings",
                                                                DataKind::FieldSpriteAnimation);
    ASSERT_NE(registered, nullptr);
    EXPECT_EQ(registered->GetFrame(0)->image, nullptr);
}

}  // namespace
