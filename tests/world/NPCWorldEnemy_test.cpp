#include "world/NPCWorldEnemy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/base/TransitionState.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/QueryTerrain.h"
#include "support/ScenePlayer.h"
#include "support/ScriptedRandom.h"
#include "support/StderrCapture.h"
#include "world/EntityManager.h"
#include "world/PlayerVorn.h"
#include "world/Terrain.h"
#include "world/ai/AIWEChasePackage.h"
#include "world/ai/AIWEWanderPackage.h"

using testsupport::LuaTestState;
using testsupport::ScriptedRandom;
using testsupport::StderrCapture;

namespace {

// Stand-ins for enemy prototypes: only their addresses matter here.
int g_imp, g_ogre, g_didozado, g_brute, g_king;

// An enemy "Brute" at (300, 300) with the four movement states, the player
// somewhere, offline, no transition pending.
class WorldEnemyTest : public ::testing::Test {
protected:
    WorldEnemyTest() {
        testsupport::EnsureAllegro();
        DataLibrary& library = lua.Library();
        library.AddSection("Enemies");
        library.AddCatalogue("Enemies", "StratumZero");
        library.AddHeading("Enemies", "StratumZero", "Normal");
        library.AddHeading("Enemies", "StratumZero", "Boss");
        library.Register("Enemies", "StratumZero", "Normal", "Imp", &g_imp, DataKind::EnemyPrototype);
        library.Register("Enemies", "StratumZero", "Normal", "Ogre", &g_ogre, DataKind::EnemyPrototype);
        library.Register("Enemies", "StratumZero", "Normal", "Didozado", &g_didozado, DataKind::EnemyPrototype);
        library.Register("Enemies", "StratumZero", "Normal", "Brute", &g_brute, DataKind::EnemyPrototype);
        library.Register("Enemies", "StratumZero", "Boss", "King", &g_king, DataKind::EnemyPrototype);

        enemy = new NPCWorldEnemy;
        enemy->SetInternalName("Brute");
        enemy->AllocateStateVariables(4);
        const char* states[] = {"Stationary", "Walking", "Trotting", "Running"};
        for (int i = 0; i < 4; ++i) enemy->SetStateVariable(i, states[i], i == 0);
        enemy->SetBoundaryOffsets(-10, 10, -5, 5, -20, 0);
        enemy->SetCoordinates(300, 300, 0);
        lua.Entities().RegisterPointer(EntityManager::kNPC, "Brute", enemy);
        PlacePlayer(1000, 1000);
    }
    void PlacePlayer(double dx, double dy) {
        player.SetPosition(static_cast<float>(300 + dx), static_cast<float>(300 + dy), 0);
    }
    std::vector<void*> Encounter() { return enemy->ChooseEncounter(); }

    LuaTestState lua;
    testsupport::ScenePlayer player;
    NPCWorldEnemy* enemy = nullptr;
};

}  // namespace

TEST_F(WorldEnemyTest, RangesComeFromTheImageOffsetsAndCountFromOne) {
    enemy->SetDisplayData(30, 40, 60, 60);
    EXPECT_FALSE(enemy->HandleMouseState(0));  // a press: ranges derived, nothing else
    EXPECT_EQ(enemy->GetDetectRange(), 50);
    EXPECT_EQ(enemy->GetAggroRange(), 10);
    EXPECT_FALSE(enemy->GetAutoDetectRange());

    struct Case {
        double dx, dy;
        int64_t distance;
        bool detect, aggro;
    };
    const Case cases[] = {
        {0, 0, 0, false, false},   {30, 40, 50, true, false},     {-30, -40, 50, true, false}, {6, 8, 10, true, true},
        {0.9, 0, 0, false, false}, {30.9, 40.9, 50, true, false}, {31, 41, 51, false, false},  {1, 0, 1, true, true},
    };
    for (const Case& c : cases) {
        PlacePlayer(c.dx, c.dy);
        EXPECT_EQ(enemy->DistanceToPlayer(), c.distance) << c.dx << "," << c.dy;
        EXPECT_EQ(enemy->InDetectRange(), c.detect) << c.dx << "," << c.dy;
        EXPECT_EQ(enemy->InAggroRange(), c.aggro) << c.dx << "," << c.dy;
    }
    // Far apart, the squares still fit.
    player.SetPosition(2.0e9f, -2.0e9f, 0);
    EXPECT_GT(enemy->DistanceToPlayer(), 2'000'000'000);
    GetGlobalState()->player = nullptr;
    EXPECT_EQ(enemy->DistanceToPlayer(), -1);
    EXPECT_FALSE(enemy->InDetectRange());
}

TEST_F(WorldEnemyTest, WandersThenChasesThenStartsTheBattle) {
    ScriptedRandom random({50, 1000, 50, 1000, 50, 1000});
    enemy->SetDetectRange(200);
    enemy->SetAggroRange(20);
    enemy->SetAutoDetectRange(false);
    enemy->SetAutoAggroRange(false);

    enemy->Update();
    EXPECT_EQ(enemy->GetAIMode(), NPCWorldEnemy::kModeWander);
    EXPECT_EQ(enemy->GetAIQueueLength(), 1);
    enemy->Update();
    EXPECT_EQ(enemy->GetAIMode(), NPCWorldEnemy::kModeWander);
    // Two steps of the wander package, carried into whole units: it moved.
    EXPECT_NE(enemy->GetDimensions().Y, 300);
    EXPECT_LT(enemy->GetDimensions().Y, 300);

    // In range: the wander package runs once more, then chasing begins.
    PlacePlayer(150, 0);
    enemy->Update();
    EXPECT_EQ(enemy->GetAIMode(), NPCWorldEnemy::kModeChase);
    const double before = enemy->DistanceToPlayer();
    for (int i = 0; i < 5; ++i) enemy->Update();
    EXPECT_LT(enemy->DistanceToPlayer(), before - 10);  // trots at 3 a step
    EXPECT_EQ(enemy->GetAIQueueLength(), 1);

    // Close enough: the battle is asked for and the enemy goes inert.
    const Dimensions at = enemy->GetDimensions();
    player.SetPosition(static_cast<float>(at.X + 5), static_cast<float>(at.Y), 0);
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 0);
    enemy->Update();
    EXPECT_FALSE(enemy->IsReady());
    EXPECT_EQ(enemy->GetEnabled(), 0);
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
    EXPECT_EQ(GetTransitionState().targetKind, kTransitionBattle);
    EXPECT_EQ(GetTransitionState().keepMap, 1);
    const Dimensions after = enemy->GetDimensions();
    enemy->Update();
    EXPECT_EQ(enemy->GetDimensions().X, after.X);
    EXPECT_FALSE(enemy->HandleMouseState(-1));
}

TEST_F(WorldEnemyTest, OfflineAnOpenMenuFreezesIt) {
    enemy->SetAggroRange(100);
    enemy->SetAutoAggroRange(false);
    PlacePlayer(10, 0);
    auto* menu = new GUIBaseObject;
    lua.Gui().AddActiveWindow(menu);
    EXPECT_FALSE(enemy->HandleMouseState(-1));
    enemy->Update();
    EXPECT_TRUE(enemy->IsReady());
    EXPECT_EQ(enemy->GetAIMode(), NPCWorldEnemy::kModeNone);
    EXPECT_TRUE(enemy->GetAutoDetectRange());  // not even the ranges are derived

    lua.Gui().RemoveActiveWindow(menu);
    lua.Gui().GetControlStack().Push(menu);
    enemy->Update();
    EXPECT_TRUE(enemy->IsReady());

    // Online it walks on, but waits by the player for a line being typed.
    auto offline = GetLayerHooks().isOnline;
    GetLayerHooks().isOnline = [] { return true; };
    menu->SetHoldsInput(true);
    enemy->Update();
    EXPECT_TRUE(enemy->IsReady());
    GetLayerHooks().isOnline = offline;

    lua.Gui().GetControlStack().Remove(menu);
    enemy->Update();
    EXPECT_FALSE(enemy->IsReady());
    delete menu;
}

TEST_F(WorldEnemyTest, EncounterRollsWalkTheChances) {
    enemy->AddMob("Imp", 30);
    enemy->AddMob("Ogre", 70);
    // Every mob once with no maximum.
    EXPECT_EQ(Encounter(), (std::vector<void*>{&g_imp, &g_ogre}));

    enemy->SetMaxSpawns(1);
    for (int roll = 1; roll <= 100; ++roll) {
        ScriptedRandom random({roll - 1});
        EXPECT_EQ(Encounter(), std::vector<void*>{roll <= 30 ? &g_imp : &g_ogre}) << roll;
    }
    // Rolls reduce into 1..100 whatever the source gives.
    ScriptedRandom big({129, -71});
    EXPECT_EQ(Encounter(), std::vector<void*>{&g_imp});
    EXPECT_EQ(Encounter(), std::vector<void*>{&g_imp});
}

TEST_F(WorldEnemyTest, EncounterFallsBackToThePrototypeOfItsName) {
    enemy->AddMob("Imp", 20);
    enemy->AddMob("Ogre", 20);
    enemy->SetMaxSpawns(3);
    {
        ScriptedRandom random({9, 49, 30});  // rolls 10, 50, 31
        EXPECT_EQ(Encounter(), (std::vector<void*>{&g_imp, &g_ogre}));
    }
    {
        ScriptedRandom random({40, 60, 99});  // all above 40
        EXPECT_EQ(Encounter(), std::vector<void*>{&g_brute});
    }
    enemy->SetInternalName("Nameless");
    ScriptedRandom random({99, 99, 99});
    StderrCapture cap;
    EXPECT_TRUE(Encounter().empty());
    EXPECT_NE(cap.Take().find("Nameless"), std::string::npos);
}

TEST_F(WorldEnemyTest, TheBattlePreloadsThisEnemysEncounterOnly) {
    CombatRegistry& registry = GetCombatRegistry();
    CombatManager* saved = registry.combatManager;
    CombatManager combat;
    registry.combatManager = &combat;
    combat.AddPreloadEnemy(&g_ogre);  // left over from an earlier battle

    enemy->AddMob("Imp", 100);
    enemy->AddMob("Imp", 100);
    enemy->SetAggroRange(30);
    enemy->SetAutoAggroRange(false);
    PlacePlayer(3, 4);
    enemy->Update();
    NamedList* preload = combat.GetPreloadList();
    ASSERT_NE(preload, nullptr);
    ASSERT_EQ(preload->GetCount(), 2);
    EXPECT_EQ(preload->GetAt(0), &g_imp);
    EXPECT_EQ(preload->GetAt(1), &g_imp);

    // A second enemy in reach in the same tick waits, ready, for a later
    // battle: the battle asked for keeps the first one's encounter.
    auto* second = new NPCWorldEnemy;
    second->SetInternalName("Ogre");
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Ogre", second);
    second->SetCoordinates(300, 300, 0);
    second->SetAggroRange(30);
    second->SetAutoAggroRange(false);
    StderrCapture quiet;
    second->Update();
    EXPECT_TRUE(second->IsReady());
    EXPECT_EQ(second->GetEnabled(), 1);
    EXPECT_EQ(preload->GetAt(0), &g_imp);
    EXPECT_EQ(combat.GetPreloadList()->GetCount(), 2);
    EXPECT_EQ(quiet.Take(), "");

    // Nothing to bring: the battle chooses its own enemies.
    auto* empty = new NPCWorldEnemy;
    empty->SetInternalName("Nobody");
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Nobody", empty);
    empty->SetCoordinates(300, 300, 0);
    empty->SpawnEncounter();
    EXPECT_EQ(combat.GetPreloadList(), nullptr);
    registry.combatManager = saved;
}

TEST_F(WorldEnemyTest, MobListNeverHoldsAMissingPrototype) {
    StderrCapture cap;
    enemy->AddMob("Ghost");
    enemy->AddBoss("King");
    EXPECT_EQ(enemy->GetKind(), "Normal");
    lua.Library().RemovePointer("Enemies", "StratumZero", "Normal", "Didozado", DataKind::EnemyPrototype);
    cap.Take();
    StderrCapture missing;
    enemy->AddMob("Phantom", 50);
    const std::string out = missing.Take();
    EXPECT_NE(out.find("NPCWorldEnemy::AddMob:  Warning, neither Phantom nor Didozado was found, mob skipped\n"),
              std::string::npos)
        << out;

    const std::vector<NPCWorldEnemy::Mob>& mobs = enemy->GetMobs();
    ASSERT_EQ(mobs.size(), 2u);
    EXPECT_EQ(mobs[0].name, "Ghost");
    EXPECT_EQ(mobs[0].prototype, &g_didozado);
    EXPECT_EQ(mobs[0].chance, 100);
    EXPECT_EQ(mobs[1].name, "King");
    EXPECT_EQ(mobs[1].prototype, &g_king);
}

TEST_F(WorldEnemyTest, ScriptFunctionsActOnlyOnWorldEnemies) {
    auto* plain = new NonPlayingCharacter;
    plain->SetInternalName("Farmer");
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Farmer", plain);
    struct Case {
        const char* call;
        const char* line;
    };
    const Case onPlain[] = {
        {"NPC_WorldEnemy_SetMaxSpawns(2)", ""},
        {"NPC_WorldEnemy_SetDetectRange(9)", ""},
        {"NPC_WorldEnemy_SetAggroRange(9)", ""},
        {"NPC_WorldEnemy_SetRespawnTime(9)", ""},
        {"NPC_WorldEnemy_AddMob('Imp')", ""},
        {"NPC_WorldEnemy_AddBoss('King')", "NPC_WorldEnemy_AddBoss:  Failed, no ActiveEnemy\n"},
        {"NPC_WorldEnemy_Setup(1, 2, 3)", ""},
    };
    lua.Entities().SetActiveEntity(plain);
    for (const Case& c : onPlain) {
        StderrCapture cap;
        ASSERT_TRUE(lua.Run(c.call));
        EXPECT_EQ(cap.Take(), c.line) << c.call;
    }
    EXPECT_EQ(plain->GetType(), kTypeNonPlayingCharacter);

    lua.Entities().SetActiveEntity(enemy);
    StderrCapture cap;
    ASSERT_TRUE(
        lua.Run("NPC_WorldEnemy_SetDetectRange(0) NPC_WorldEnemy_SetAggroRange(-4) "
                "NPC_WorldEnemy_SetMaxSpawns(0) NPC_WorldEnemy_SetRespawnTime(90) "
                "NPC_WorldEnemy_AddMob('Imp', 25) NPC_WorldEnemy_AddBoss('King', 'ignored')"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(enemy->GetDetectRange(), 500);  // 0 only switches the automatic range off
    EXPECT_FALSE(enemy->GetAutoDetectRange());
    EXPECT_TRUE(enemy->GetAutoAggroRange());  // a negative range does nothing
    EXPECT_EQ(enemy->GetMaxSpawns(), 0);
    EXPECT_EQ(enemy->GetRespawnTime(), 90);
    ASSERT_EQ(enemy->GetMobs().size(), 2u);
    EXPECT_EQ(enemy->GetMobs()[0].chance, 25);
    ASSERT_TRUE(lua.Run("NPC_WorldEnemy_SetDetectRange(120) NPC_WorldEnemy_SetAggroRange(30)"));
    EXPECT_EQ(enemy->GetDetectRange(), 120);
    EXPECT_EQ(enemy->GetAggroRange(), 30);
    EXPECT_FALSE(enemy->GetAutoAggroRange());
}

TEST(WorldEnemyWander, GivesUpAPointAfterElevenStepsInPlace) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    auto* enemy = new NPCWorldEnemy;
    enemy->SetInternalName("Stuck");
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Stuck", enemy);
    enemy->SetCoordinates(100, 100, 0);
    lua.Entities().SetActiveEntity(enemy);
    AIWEWanderPackage wander;
    wander.SyncPointers("NPC", "Stuck");

    // Radius 100 + 0, angle (3141 - 3141) / 1000 = 0: straight along x.
    ScriptedRandom random({0, 3141, 50, 3141});
    StderrCapture cap;  // the character has no movement states
    testsupport::QueryTerrain walls([](int32_t, int32_t, int32_t) { return true; });
    SetTerrain(&walls);
    wander.RunAI();  // moves from the remembered origin: not stuck yet
    EXPECT_TRUE(wander.HasTarget());
    EXPECT_EQ(wander.GetTargetX(), 200);
    EXPECT_EQ(wander.GetTargetY(), 100);
    for (int i = 0; i < 10; ++i) wander.RunAI();
    EXPECT_EQ(wander.GetStuckCount(), 10);
    EXPECT_TRUE(wander.HasTarget());
    wander.RunAI();
    EXPECT_FALSE(wander.HasTarget());
    wander.RunAI();  // a new point: 150 along x
    EXPECT_EQ(wander.GetTargetX(), 250);
    EXPECT_EQ(random.Used(), 4u);
    SetTerrain(nullptr);
    EXPECT_EQ(enemy->GetDimensions().X, 100);
}

TEST_F(WorldEnemyTest, ChaseStepsSayWhyTheyCannotRun) {
    AIWEChasePackage chase;
    StderrCapture unsynched;
    chase.RunAI();
    EXPECT_EQ(unsynched.Take(), "AI blocked update, not synched\n");

    lua.Entities().SetActiveEntity(enemy);
    chase.SyncPointers("NPC", "Brute");
    StderrCapture noTarget;
    chase.RunAI();
    EXPECT_EQ(noTarget.Take(), "AI blocked update, no target\n");

    // With the player as its target it trots straight at it.
    chase.SetTargetPointers("Player", "Pelloc", "XCenter", "YCenter");
    PlacePlayer(0, 100);
    chase.RunAI();
    EXPECT_EQ(chase.GetCurrentSpeed(), 3.0);
    EXPECT_EQ(enemy->GetDimensions().X, 300);
    EXPECT_EQ(enemy->GetDimensions().Y, 303);
    EXPECT_EQ(enemy->GetAnimDirection(), 0);
    EXPECT_EQ(enemy->GetAnimTimer(), 1);
    EXPECT_EQ(enemy->GetStateVariables()[3].flag, 1);  // running
}
