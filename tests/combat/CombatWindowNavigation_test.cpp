// The command and target windows steered from the keyboard: the highlight
// moves with the arrows, the confirm key chooses, the back key returns from
// the targets to the commands, and no phase of the battle leaves a window
// holding the keys while it is hidden.
#include <gtest/gtest.h>

#include <vector>

#include "CombatTestDoubles.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatTargetWindow.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIButton.h"
#include "gui/GUIControlStack.h"
#include "support/KeyTicks.h"
#include "support/PixelRead.h"

using namespace combattest;
using testsupport::PixelAt;
using testsupport::Rgba;

namespace {

class CombatWindowNavigationTest : public CombatFixture {
protected:
    void SetUp() override {
        CombatFixture::SetUp();
        for (const char* name : {"Ana", "Cid"}) party->members.Add(name, new Fighter(name, 40, 8, 8, 1));
        // Bog is down before the battle starts: the targets begin with Fen.
        enemies->roster = {{"Bog", 0, 8, 8, 2, 5}, {"Fen", 50, 8, 8, 2, 5}, {"Gil", 50, 8, 8, 2, 5}};
        Start();
    }
    // One tick with this binding struck before it (none for null): the
    // keyboard's update and the hand-out of the strokes, then the pulse and
    // the battle's update.
    void Key(const char* binding) {
        // The sample's fonts and images are not registered in tests.
        testsupport::StderrCapture quiet;
        testsupport::KeyTicks keys(lua->Keyboard(), [this] { lua->Gui().HandleHotkeys(); });
        if (binding) keys.Strike(binding);
        keys.Tick();
        Tick();
    }
    GUIControlStack& Stack() { return lua->Gui().GetControlStack(); }
    // "commands", "targets", another object's name, or "" for none.
    std::string Top() {
        GUIBaseObject* top = Stack().Top();
        if (!top) return "";
        if (top == manager->GetCommandWindow()) return "commands";
        if (top == manager->GetTargetWindow()) return "targets";
        return top->GetName();
    }
    // The caption's command or target number of the highlighted button.
    static int32_t Highlighted(GUIBaseObject* window) {
        auto* button = dynamic_cast<GUIButton*>(window->GetNavTarget());
        if (!button || !button->GetData()) return -100;
        uint32_t cursor = 0;
        return BufferReadInt32BE(&cursor, button->GetData());
    }
    Character* Member(int index) { return At(party->members, index); }
    int32_t EnemyId(int index) { return enemies->GetEnemyAt(index)->GetCombatId(); }
};

TEST_F(CombatWindowNavigationTest, KeysChooseCommandsAndTargetsAndGoBack) {
    GUICombatCommandWindow* commands = manager->GetCommandWindow();
    GUICombatTargetWindow* targets = manager->GetTargetWindow();
    ASSERT_EQ(Top(), "commands");
    EXPECT_EQ(Highlighted(commands), Character::kCommandAttack);

    // What is on top and what it highlights after each key.
    struct Step {
        const char* key;
        const char* top;
        int32_t highlighted;  // a command, or a target's combatant id
    };
    const Step steps[] = {
        {"Down", "commands", kDefend},
        {"Down", "commands", Character::kCommandNone},
        {"Down", "commands", Character::kCommandNone},    // the end of the list
        {"Cancel", "commands", Character::kCommandNone},  // nothing to go back to
        {nullptr, "commands", Character::kCommandNone},
        {"Up", "commands", kDefend},
        {"Up", "commands", Character::kCommandAttack},
        {"Accept", "targets", EnemyId(1)},  // the first enemy still standing
        {"Down", "targets", EnemyId(2)},
        {"Down", "targets", EnemyId(2)},
        {"Cancel", "commands", Character::kCommandAttack},
        {"Accept", "targets", EnemyId(1)},
    };
    for (const Step& step : steps) {
        Key(step.key);
        const std::string key = step.key ? step.key : "no key";
        ASSERT_EQ(Top(), step.top) << key;
        GUIBaseObject* top = Stack().Top();
        EXPECT_TRUE(top->IsVisible()) << key;
        EXPECT_EQ(Highlighted(top), step.highlighted) << key;
        // Only the window on top is shown of the two.
        EXPECT_EQ(commands->IsVisible(), Top() == "commands") << key;
        EXPECT_EQ(targets->IsVisible(), Top() == "targets") << key;
    }
    EXPECT_FALSE(manager->IsReady());

    // Fen is chosen for Ana; Cid's commands come up on their first entry.
    Key("Down");
    Key("Accept");
    EXPECT_EQ(Member(0)->GetCommand(), Character::kCommandAttack);
    EXPECT_EQ(Member(0)->GetTargetIndex(), EnemyId(2));
    ASSERT_EQ(Top(), "commands");
    EXPECT_EQ(Highlighted(commands), Character::kCommandAttack);
    // Cid defends: the round is played and no window holds the keys.
    Key("Down");
    Key("Accept");
    EXPECT_TRUE(Window()->IsRunning());
    Key(nullptr);
    EXPECT_TRUE(Stack().IsEmpty());
    EXPECT_FALSE(commands->IsVisible());
    EXPECT_FALSE(targets->IsVisible());
}

TEST_F(CombatWindowNavigationTest, LeftAndRightTurnThePagesAndTheSecondPageIsChosenFrom) {
    GUICombatCommandWindow* commands = manager->GetCommandWindow();
    // The page and the highlighted command after each key.
    struct Step {
        const char* key;
        int32_t page;
        int32_t highlighted;
    };
    const Step steps[] = {
        {"Down", 0, kDefend}, {"Left", 0, kDefend},  // no page before the first: the list stays
        {"Right", 1, kItems},                        // a new page starts on its first command
        {"Down", 1, kRun},    {"Down", 1, kRun},
        {"Right", 1, kRun},  // nor one after the last
        {"Cancel", 1, kRun},  {"Left", 0, Character::kCommandAttack},
        {"Right", 1, kItems},
    };
    for (const Step& step : steps) {
        Key(step.key);
        ASSERT_EQ(Top(), "commands") << step.key;
        EXPECT_EQ(manager->GetPage(), step.page) << step.key;
        EXPECT_EQ(Highlighted(commands), step.highlighted) << step.key;
        // The window holds the new page's buttons only.
        EXPECT_EQ(commands->GetNavEntryCount(), step.page == 0 ? 3 : 2) << step.key;
        EXPECT_EQ(commands->GetChildList()->GetCount(), step.page == 0 ? 3 : 2) << step.key;
    }

    // Items is chosen for Ana; Cid's commands come up on their first page.
    Key("Accept");
    EXPECT_EQ(Member(0)->GetCommand(), kItems);
    ASSERT_EQ(Top(), "commands");
    EXPECT_EQ(manager->GetPage(), 0);
    EXPECT_EQ(Highlighted(commands), Character::kCommandAttack);
    // Cid runs, from the second page too: the round is played.
    Key("Right");
    Key("Down");
    EXPECT_EQ(Highlighted(commands), kRun);
    Key("Accept");
    EXPECT_TRUE(Window()->IsRunning());
}

TEST_F(CombatWindowNavigationTest, APageTurnRedrawsTheWindowWithItsHighlight) {
    GUICombatCommandWindow* commands = manager->GetCommandWindow();
    BitmapWrapper target(800, 600, &GetGlobalState()->openGLMode);
    auto goldAt = [&](int x, int y) {
        commands->Draw(&target);
        return PixelAt(commands->GetBackingBitmap(), x, y) == Rgba{255, 215, 0, 255};
    };
    Key("Down");
    EXPECT_TRUE(goldAt(50, 41));  // round Defend
    EXPECT_FALSE(goldAt(50, 1));
    Key("Right");
    EXPECT_TRUE(goldAt(50, 1));  // round Items, the new page's first
    EXPECT_FALSE(goldAt(50, 41));
}

TEST_F(CombatWindowNavigationTest, ARefillStartsOnTheFirstCommandWithOnlyTheNewButtons) {
    GUICombatCommandWindow* commands = manager->GetCommandWindow();
    Key("Down");
    Key("Down");
    testsupport::StderrCapture quiet;
    manager->FillCommandWindowFor(Member(1));
    EXPECT_EQ(commands->GetNavEntryCount(), 3);
    EXPECT_EQ(commands->GetNavCursor(), 0);
    EXPECT_EQ(Highlighted(commands), Character::kCommandAttack);
    // Moving walks the new buttons only.
    Key("Down");
    EXPECT_EQ(Highlighted(commands), kDefend);
}

TEST_F(CombatWindowNavigationTest, AnEmptyTargetListStillLetsThePlayerGoBack) {
    Key("Accept");
    ASSERT_EQ(Top(), "targets");
    GUICombatTargetWindow* targets = manager->GetTargetWindow();
    targets->FillTargets(99, 1, -1);  // lists nobody
    EXPECT_EQ(targets->GetNavEntryCount(), 0);
    Key("Accept");
    EXPECT_FALSE(manager->IsReady());
    EXPECT_EQ(Top(), "targets");
    Key("Cancel");
    EXPECT_EQ(Top(), "commands");
}

TEST_F(CombatWindowNavigationTest, TheEndOfTheBattleLeavesNoWindowHoldingTheKeys) {
    Key("Accept");
    ASSERT_EQ(Top(), "targets");
    manager->SetBattleResult(1);
    Key(nullptr);
    EXPECT_FALSE(manager->IsBattleRunning());
    EXPECT_FALSE(manager->GetTargetWindow()->IsVisible());
    // A hidden window left on the stack would let go here at the latest.
    Key(nullptr);
    EXPECT_TRUE(Stack().IsEmpty());

    // The next battle starts on the commands again.
    Start();
    Key(nullptr);
    EXPECT_EQ(Top(), "commands");
    EXPECT_EQ(Highlighted(manager->GetCommandWindow()), Character::kCommandAttack);
}

TEST_F(CombatWindowNavigationTest, TheHighlightIsDrawnOverTheChosenCommand) {
    GUICombatCommandWindow* commands = manager->GetCommandWindow();
    Key("Down");
    BitmapWrapper target(800, 600, &GetGlobalState()->openGLMode);
    target.SetAsTarget();
    al_clear_to_color(al_map_rgb(0, 0, 0));
    commands->SetDirty(true);
    commands->Draw(&target);
    // The buttons have no images in tests: the window is clear but for the
    // gold outline round Defend (y 40 to 73), drawn a pixel inside it.
    auto pixel = [&](int x, int y) { return PixelAt(commands->GetBackingBitmap(), x, y); };
    const Rgba gold{255, 215, 0, 255}, clear{0, 0, 0, 0};
    EXPECT_EQ(pixel(50, 41), gold);
    EXPECT_EQ(pixel(50, 72), gold);
    EXPECT_EQ(pixel(1, 55), gold);
    EXPECT_EQ(pixel(50, 55), clear);  // the button's face is left as it is
    EXPECT_EQ(pixel(50, 20), clear);
    EXPECT_EQ(pixel(50, 100), clear);
}

}  // namespace
