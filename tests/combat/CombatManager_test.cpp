// The combat manager: the order of a round with a scripted random source,
// whole battles to victory and to defeat, the phases and their windows,
// command pages, refusals, clean-up, and the script functions.
#include "combat/CombatManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CombatTestDoubles.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatTargetWindow.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIImage.h"
#include "support/KeyTicks.h"
#include "support/TempDir.h"

using namespace combattest;
using testsupport::StderrCapture;
using Strings = std::vector<std::string>;

namespace {

class CombatManagerTest : public CombatFixture {
protected:
    void TearDown() override {
        GetGlobalState()->stateSwitchRequest = 0;
        ClearTransitionState();
        CombatFixture::TearDown();
    }
    // Chooses Attack on the target for the active member and lets the
    // manager take it.
    void Choose(int32_t target) {
        manager->OrderCommand(Character::kCommandAttack);
        manager->OrderTarget(target);
        Tick();
    }
    // Plays until the key pause, the end of the round or the limit.
    void PlayRound() {
        Tick();
        for (int i = 0; i < 3000 && Window()->IsRunning() && !Window()->IsPaused(); ++i) Tick();
    }
    std::string AllLines() const {
        std::string text;
        for (int i = Window()->GetLineCount() - 1; i >= 0; --i) text += Window()->GetLine(i) + "|";
        return text;
    }
    void PressAnyKey() {
        testsupport::KeyTicks(lua->Keyboard(), [this] { lua->Gui().HandleHotkeys(); }).Type("Z");
    }
};

TEST_F(CombatManagerTest, ARoundActsInSpeedOrderRetargetsAndSkipsTheFallen) {
    TestCombatant* ana = party->Add("Ana", 40, 8, 8, 10);
    TestCombatant* cid = party->Add("Cid", 40, 8, 8, 10);
    enemies->roster = {{"Bog", 50, 8, 8, 12, 10}, {"Fen", 5, 8, 8, 5, 20}};
    Start();
    EXPECT_EQ(ana->GetCombatId(), 0);
    EXPECT_EQ(enemies->GetEnemyAt(1)->GetCombatId(), 3);
    EXPECT_EQ(party->active, ana);
    EXPECT_TRUE(manager->GetCommandWindow()->IsSelfVisible());

    Choose(3);  // Ana on Fen
    EXPECT_EQ(party->active, cid);
    EXPECT_FALSE(Window()->IsRunning());
    // Draws: the enemies' targets (Bog on Ana, Fen on Cid), the four turn
    // keys (all factor 1), then Bog's blow, Ana's blow, Cid's retarget and
    // blow. Fen falls to Ana before its turn.
    ScriptRandom({0, 1, 10, 10, 10, 10, 10, 10, 0, 10});
    Choose(3);  // Cid on Fen too
    EXPECT_TRUE(Window()->IsRunning());
    EXPECT_FALSE(manager->GetCommandWindow()->IsSelfVisible());
    EXPECT_TRUE(Window()->IsSelfVisible());
    EXPECT_EQ(party->active, nullptr);

    Strings queue = DumpQueue(Window());
    Strings attacks;
    for (const std::string& entry : queue)
        if (entry.find("Attacks") != std::string::npos) attacks.push_back(entry);
    // Bog is fastest; Ana and Cid tie; Fen has fallen and does nothing.
    ASSERT_EQ(attacks.size(), 3u);
    EXPECT_EQ(attacks[0], "text Bog Attacks");
    EXPECT_TRUE((attacks[1] == "text Ana Attacks!" && attacks[2] == "text Cid Attacks!") ||
                (attacks[1] == "text Cid Attacks!" && attacks[2] == "text Ana Attacks!"));
    // Cid's blow lands on Bog (id 2), the enemy actually hit.
    auto cidAttack = std::find(queue.begin(), queue.end(), "text Cid Attacks!");
    EXPECT_EQ(*(cidAttack + 3), "201 2");
    EXPECT_EQ(*(cidAttack + 9), "105 2 12");
    EXPECT_EQ(enemies->GetEnemyAt(0)->GetStats()->hp, 38);
    EXPECT_EQ(enemies->GetEnemyAt(1)->GetStats()->hp, 0);
    EXPECT_EQ(ana->GetStats()->hp, 28);
    EXPECT_EQ(cid->GetStats()->hp, 40);

    // The round plays out, and the next one starts with the command phase.
    PlayRound();
    EXPECT_FALSE(Window()->IsRunning());
    EXPECT_EQ(manager->GetState(), -1);
    EXPECT_EQ(party->active, ana);
    EXPECT_TRUE(manager->GetCommandWindow()->IsSelfVisible());
    EXPECT_EQ(ana->GetStats()->shownHp, 28);
}

TEST_F(CombatManagerTest, ABattleWonEndsWithTheVictoryTextsAndTheReturnToTheMap) {
    TestCombatant* ana = party->Add("Ana", 40, 60, 8, 10);
    TestCombatant* cid = party->Add("Cid", 30, 8, 8, 10);
    cid->GetStats()->hp = 0;  // knocked out from the start
    enemies->roster = {{"Bog", 20, 8, 8, 1, 31}};
    Start();
    EXPECT_EQ(party->active, ana);
    manager->OrderCommand(Character::kCommandAttack);
    // The target window lists the living enemies.
    EXPECT_TRUE(manager->GetTargetWindow()->IsSelfVisible());
    EXPECT_EQ(manager->GetTargetWindow()->GetChildList()->GetCount(), 1);
    manager->OrderTarget(2);
    PlayRound();
    ASSERT_TRUE(Window()->IsPaused());
    // The round's lines were cleared before the result was written.
    EXPECT_EQ(AllLines(), "The enemy was defeated!|Ana and her friends got 31 experience!|Press any key||");
    EXPECT_EQ(manager->GetReward(), 31);
    EXPECT_EQ(ana->gained, (std::vector<int32_t>{15}));
    EXPECT_EQ(cid->gained, (std::vector<int32_t>{15}));
    EXPECT_EQ(cid->GetStats()->hp, 1);  // revived
    EXPECT_EQ(manager->GetState(), -1);

    PressAnyKey();
    Tick();
    EXPECT_EQ(manager->GetState(), 1);
    Tick();
    EXPECT_FALSE(manager->IsBattleRunning());
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
    EXPECT_EQ(GetTransitionState().targetKind, kTransitionMap);
    EXPECT_EQ(enemies->GetEnemyCount(), 0);
    EXPECT_FALSE(Window()->IsSelfVisible());
    EXPECT_FALSE(manager->GetCommandWindow()->IsSelfVisible());
    EXPECT_TRUE(lua->Gui().GetClearBeforeDraw());
    // Later ticks do nothing more.
    int clears = enemies->clears;
    Tick(3);
    EXPECT_EQ(enemies->clears, clears);
}

TEST_F(CombatManagerTest, ABattleLostRevivesThePartyAndReportsDefeat) {
    TestCombatant* ana = party->Add("Ana", 5, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 60, 8, 20, 5}};
    Start();
    Choose(1);
    PlayRound();
    ASSERT_TRUE(Window()->IsPaused());
    std::string lines = AllLines();
    EXPECT_NE(lines.find("Your party was vanquished...|Press any key|"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("Ana Attacks!"), std::string::npos);  // fallen before her turn
    EXPECT_EQ(ana->GetStats()->hp, 1);
    PressAnyKey();
    Tick(2);
    EXPECT_EQ(manager->GetState(), 0);
    EXPECT_FALSE(manager->IsBattleRunning());
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
}

TEST_F(CombatManagerTest, ABattleNobodyCanFightIsRefusedAndReturnsAtOnce) {
    struct Case {
        bool member;
        bool enemy;
        const char* line;
    } cases[] = {
        {false, true, "CombatManager::StartCombat:  Failed, the party has no member who can fight\n"},
        {true, false, "CombatManager::StartCombat:  Failed, there are no enemies to fight\n"},
    };
    for (const Case& c : cases) {
        GetGlobalState()->stateSwitchRequest = 0;
        if (c.member && party->members.IsEmpty()) party->Add("Ana", 5, 8, 8, 1);
        enemies->roster.clear();
        if (c.enemy) enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
        StderrCapture cap;
        manager->StartCombat();
        std::string out = cap.Take();
        EXPECT_NE(out.find(c.line), std::string::npos) << out;
        EXPECT_FALSE(manager->IsBattleRunning());
        EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
        EXPECT_EQ(enemies->GetEnemyCount(), 0);
        // The manager never waits for a command nobody can give.
        manager->OrderCommand(2);
        Tick(3);
        EXPECT_FALSE(Window()->IsRunning());
    }
}

// A script's object of another kind under a battle window's name: the
// battle could never be played, so it is refused like an empty party.
class TakenWindowNameTest : public CombatManagerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TakenWindowNameTest, RefusesTheBattleAndReturnsAtOnce) {
    party->Add("Ana", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
    lua->Gui().ResetActiveObjectList();
    lua->Gui().AddObject(GetParam(), new GUIImage);
    StderrCapture cap;
    manager->StartCombat();
    const std::string out = cap.Take();
    EXPECT_NE(out.find("CombatManager::StartCombat:  Failed, " + std::string(GetParam()) +
                       " is a GUI object of another kind\n"),
              std::string::npos)
        << out;
    EXPECT_FALSE(manager->IsBattleRunning());
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
    EXPECT_EQ(enemies->GetEnemyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BattleWindows, TakenWindowNameTest,
                         ::testing::Values("CombatOverlay", "CombatMessageWindow", "CombatCommandWindow",
                                           "CombatIncrementPageButton", "CombatDecrementPageButton",
                                           "CombatTargetWindow"));

TEST_F(CombatManagerTest, CommandPagesStayWithinRangeAndOtherCommandsAreReadyAtOnce) {
    party->Add("Ana", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
    Start();
    EXPECT_EQ(manager->GetLastPage(), 1);
    StderrCapture quiet;  // the base class warns when it fills the window
    int pages[] = {1, 1, 1};
    for (int expected : pages) {
        manager->NextCommandPage();
        EXPECT_EQ(manager->GetPage(), expected);
    }
    for (int i = 0; i < 3; ++i) manager->PreviousCommandPage();
    EXPECT_EQ(manager->GetPage(), 0);
    EXPECT_EQ(manager->GetCommandWindow()->GetChildList()->GetCount(), 1);

    manager->OrderCommand(2);
    EXPECT_TRUE(manager->IsReady());
    EXPECT_EQ(manager->GetChosenCommand(), 2);
    manager->ResetInput();
    EXPECT_FALSE(manager->IsReady());
    EXPECT_EQ(manager->GetChosenTarget(), -1);
}

TEST_F(CombatManagerTest, EndingABattleTwiceIsHarmlessAndForgetsTheEnemies) {
    party->Add("Ana", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
    Start();
    party->current = enemies->GetEnemyAt(0);
    manager->EndBattle();
    EXPECT_EQ(party->current, nullptr);
    EXPECT_EQ(enemies->GetEnemyCount(), 0);
    EXPECT_EQ(manager->GetBackground(), nullptr);
    manager->EndBattle();
    EXPECT_EQ(manager->GetReward(), 0);
    EXPECT_EQ(manager->FindCombatantByIndex(1), nullptr);
    EXPECT_EQ(manager->FindCombatantByIndex(-1), nullptr);
}

TEST_F(CombatManagerTest, ASecondBattleFindsTheSameWindows) {
    party->Add("Ana", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
    Start();
    GUICombatMessageWindow* window = Window();
    GUICombatCommandWindow* commands = manager->GetCommandWindow();
    GUICombatTargetWindow* targets = manager->GetTargetWindow();
    std::vector<void*> displays;
    for (int i = 0; i < 6; ++i) displays.push_back(manager->GetCharacterDisplays()->GetAt(i));
    manager->EndBattle();
    Start();
    EXPECT_EQ(Window(), window);
    EXPECT_EQ(manager->GetCommandWindow(), commands);
    EXPECT_EQ(manager->GetTargetWindow(), targets);
    ASSERT_EQ(manager->GetCharacterDisplays()->GetCount(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(manager->GetCharacterDisplays()->GetAt(i), displays[i]);
    EXPECT_NE(lua->Gui().FindObject("CombatOverlay"), nullptr);
    EXPECT_EQ(enemies->GetEnemyCount(), 1);
}

TEST_F(CombatManagerTest, PreloadFunctionsAndTheDebugBattle) {
    DataLibrary& library = lua->Library();
    library.AddSection("Enemies");
    library.AddCatalogue("Enemies", "StratumZero");
    library.AddHeading("Enemies", "StratumZero", "Normal");
    int zezazoru = 0, image = 0;
    library.Register("Enemies", "StratumZero", "Normal", "Zezazoru", &zezazoru, DataKind::EnemyPrototype);
    library.Register("Enemies", "StratumZero", "Normal", "Picture", &image, DataKind::Bitmap);

    struct Call {
        const char* call;
        const char* lastLine;
        int preloaded;
    } calls[] = {
        {"CombatManager_AddPreloadEnemy('Enemies', 'StratumZero', 'Normal', 'Zezazoru')", "", 1},
        {"CombatManager_AddPreloadEnemy('Enemies', 'StratumZero', 'Normal', 'Zezazoru')", "", 2},
        {"CombatManager_AddPreloadEnemy('Enemies', 'StratumZero', 'Normal', 'Picture')",
         "CombatManager_AddPreloadEnemy:  Failed, enemy not found\n", 2},
        {"CombatManager_AddPreloadEnemy('Enemies', 'StratumZero', 'Normal')",
         "CombatManager_AddPreloadEnemy:  Failed, invalid argument list\n", 2},
        {"CombatManager_ClearPreloadList()", "", 0},
        // Didozado is missing: it is skipped.
        {"DEBUG_ActivateCombat()", "", 2},
    };
    for (const Call& c : calls) {
        StderrCapture cap;
        ASSERT_TRUE(lua->Run(std::string("results = select('#', ") + c.call + ")")) << c.call;
        std::string out = cap.Take();
        EXPECT_EQ(out.substr(out.size() - std::string(c.lastLine).size()), c.lastLine) << c.call;
        EXPECT_EQ(lua->GetNumber("results"), 0) << c.call;
        NamedList* list = manager->GetPreloadList();
        EXPECT_EQ(list ? list->GetCount() : 0, c.preloaded) << c.call;
    }
    EXPECT_EQ(manager->GetPreloadList()->GetAt(0), &zezazoru);
    EXPECT_EQ(manager->GetPreloadList()->GetAt(1), &zezazoru);
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
    EXPECT_EQ(GetTransitionState().targetKind, kTransitionBattle);
    EXPECT_EQ(GetTransitionState().keepMap, 1);

    // The battle is given the preload list.
    party->Add("Ana", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
    Start();
    EXPECT_EQ(enemies->preloadSeen, manager->GetPreloadList());

    // Once that battle is over a new one may be asked for.
    manager->SetBattleResult(1);
    manager->Update();
    ClearTransitionState();
    GetGlobalState()->stateSwitchRequest = 0;
    ASSERT_TRUE(lua->Run("CombatManager_InitiateCombat()"));
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
    EXPECT_EQ(GetTransitionState().targetKind, kTransitionBattle);
    // A second request before the first is taken up is refused, as it is on
    // the way in and during the battle; until the battle begins the line
    // says it has been asked for.
    EXPECT_EQ(testsupport::Stderr([&] { lua->Run("CombatManager_InitiateCombat() DEBUG_ActivateCombat()"); }),
              "CombatManager_InitiateCombat:  Failed, a battle has already been asked for\n"
              "DEBUG_ActivateCombat:  Failed, a battle has already been asked for\n");
    GetGlobalState()->stateSwitchRequest = 0;
    GetTransitionState().currentMode = kTransitionBattle;
    EXPECT_EQ(testsupport::Stderr([&] { lua->Run("CombatManager_InitiateCombat()"); }),
              "CombatManager_InitiateCombat:  Failed, a battle is running\n");
    EXPECT_EQ(testsupport::Stderr(RequestCombatTransition), "RequestCombatTransition:  Failed, a battle is running\n");
}

TEST_F(CombatManagerTest, TheBattleIsDrawnOverItsBackgroundWithCombatantsByDepth) {
    testsupport::TempDir dir;
    std::filesystem::create_directories("Data");
    std::filesystem::copy_file(std::string(QEL_SOURCE_DIR) + "/game/Data/Backgrounds.sif", "Data/Backgrounds.sif");
    TestCombatant* ana = party->Add("Ana", 40, 8, 8, 1);
    TestCombatant* cid = party->Add("Cid", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
    Start();
    ASSERT_NE(manager->GetBackground(), nullptr);
    EXPECT_EQ(manager->GetBackground()->GetWidth(), 800);
    EXPECT_EQ(manager->GetBackground()->GetHeight(), 600);
    // Ana at y 300, Cid at 330, Bog at 300 as well: smaller y first.
    cid->sprite->y = 250;
    ScriptedSprite::drawOrder().clear();
    BitmapWrapper frame(800, 600, &GetGlobalState()->openGLMode);
    lua->Gui().HideAllObjects();
    manager->DrawInto(&frame);
    auto* bog = static_cast<TestCombatant*>(enemies->GetEnemyAt(0));
    ASSERT_EQ(ScriptedSprite::drawOrder().size(), 3u);
    EXPECT_EQ(ScriptedSprite::drawOrder()[0], cid->sprite);
    EXPECT_EQ(ScriptedSprite::drawOrder()[1], ana->sprite);
    EXPECT_EQ(ScriptedSprite::drawOrder()[2], bog->sprite);
    unsigned char r, g, b;
    al_unmap_rgb(al_get_pixel(frame.GetBitmap(), 400, 500), &r, &g, &b);
    EXPECT_GT(g, r);  // the clearing's grass

    // A background the archive lacks leaves the red clear colour.
    {
        StderrCapture quiet;
        manager->LoadBackground("NoSuchPicture");
    }
    EXPECT_EQ(manager->GetBackground(), nullptr);
    manager->DrawInto(&frame);
    al_unmap_rgb(al_get_pixel(frame.GetBitmap(), 400, 500), &r, &g, &b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    manager->EndBattle();
}

TEST(CombatManagerWithoutRegistry, ScriptFunctionsSayTheManagerIsMissing) {
    testsupport::EnsureAllegro();
    testsupport::LuaTestState lua;
    CombatRegistry saved = GetCombatRegistry();
    GetCombatRegistry() = CombatRegistry{};
    for (const char* name : {"CombatManager_ClearPreloadList", "DEBUG_ActivateCombat"}) {
        StderrCapture cap;
        ASSERT_TRUE(lua.Run(std::string(name) + "()"));
        EXPECT_EQ(cap.Take(), std::string(name) + ":  Failed, CombatManager does not exist\n");
    }
    GetCombatRegistry() = saved;
}

}  // namespace
