// The combat message window: how its queue plays back tick by tick (texts,
// waits, the key pause, waiting for the sprites), what it does to the
// combatants, and the seven lines it draws.
#include "combat/GUICombatMessageWindow.h"

#include <allegro5/allegro_ttf.h>
#include <gtest/gtest.h>

#include <string>

#include "CombatTestDoubles.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "support/KeyTicks.h"

using namespace combattest;
using Strings = std::vector<std::string>;
using testsupport::StderrCapture;

namespace {

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        lua = std::make_unique<testsupport::LuaTestState>();
        StderrCapture quiet;  // no dialogue font is registered
        window = std::make_unique<GUICombatMessageWindow>();
        window->SetDimensions(0, 0, 800, 136);
        window->Start();
    }
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) window->OnEvent(kGUIEventPulse, 0, 0);
    }

    std::unique_ptr<testsupport::LuaTestState> lua;
    std::unique_ptr<GUICombatMessageWindow> window;
};

TEST_F(MessageWindowTest, AWholeTextShowsInOneTickWrappedAtEightyCharacters) {
    window->QueueText(std::string(80, 'a') + "bcdef");
    window->QueueText(nullptr);  // nothing
    EXPECT_EQ(window->GetQueuedActionCount(), 85);
    Tick();
    ASSERT_EQ(window->GetLineCount(), 2);
    EXPECT_EQ(window->GetLine(0), "bcdef");
    EXPECT_EQ(window->GetLine(1), std::string(80, 'a'));
    // The queue ran empty within that tick.
    EXPECT_TRUE(window->IsFinished());

    window->Reset();
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(window->GetLineCount(), 1);
    EXPECT_EQ(window->GetLine(0), "");
    EXPECT_EQ(window->GetQueuedActionCount(), 0);
}

TEST_F(MessageWindowTest, NothingPlaysUntilStarted) {
    window->Reset();
    window->QueueText("hi");
    Tick(3);
    EXPECT_EQ(window->GetLine(0), "");
    window->Start();
    Tick();
    EXPECT_EQ(window->GetLine(0), "hi");
}

TEST_F(MessageWindowTest, AWaitHoldsTheQueueForItsTicks) {
    window->PushWait(3);
    window->QueueText("x");
    Tick();  // performs the wait
    for (int i = 0; i < 3; ++i) {
        Tick();
        EXPECT_EQ(window->GetLine(0), "") << "tick " << i;
    }
    Tick();
    EXPECT_EQ(window->GetLine(0), "x");
}

TEST_F(MessageWindowTest, TextSpeedAndTextTicksAndUnknownOpcodes) {
    window->PushAction(GUICombatMessageWindow::kTextSpeed, 2);
    window->PushAction(GUICombatMessageWindow::kTextTick);
    window->PushAction(150);  // nothing, the tick goes on
    window->QueueText("a");
    Tick();
    EXPECT_EQ(window->GetTextSpeed(), 2);
    EXPECT_EQ(window->GetWaitCounter(), 2);
    EXPECT_EQ(window->GetLine(0), "a");  // a text tick does not end the tick
    window->Clear();
    EXPECT_EQ(window->GetTextSpeed(), 1);
    EXPECT_EQ(window->GetWaitCounter(), 0);
}

TEST_F(MessageWindowTest, AKeyPauseEndsWithAKeyStruckAfterItOrAClick) {
    testsupport::KeyTicks keys(lua->Keyboard(), [this] { lua->Gui().HandleHotkeys(); });
    keys.Down("SPACE");  // held from before the pause
    window->PushWaitForKey();
    window->QueueText("go");
    Tick();
    keys.Tick(40).Up("SPACE").Tick();  // its repeats and its release
    EXPECT_TRUE(window->IsPaused());
    keys.Type("Z");
    EXPECT_FALSE(window->IsPaused());
    Tick();
    EXPECT_EQ(window->GetLine(0), "go");

    // A click as well: its press, then its release.
    window->PushWaitForKey();
    window->QueueText("!");
    Tick();
    for (int event : {kGUIEventRelease, kGUIEventPress}) window->OnEvent(event, 0, 0);
    EXPECT_TRUE(window->IsPaused());
    window->OnEvent(kGUIEventRelease, 0, 0);
    Tick();
    EXPECT_EQ(window->GetLine(0), "go!");
}

TEST_F(MessageWindowTest, SyncWaitsUntilTheSpritesAreDone) {
    window->PushSync();
    window->QueueText("a");
    Tick();
    EXPECT_TRUE(window->IsSyncing());
    Tick();  // no sprite is busy: on at the next tick
    EXPECT_EQ(window->GetLine(0), "a");

    window->PushSync();
    window->QueueText("b");
    *window->GetPendingCounter() = 2;
    Tick(3);
    EXPECT_EQ(window->GetLine(0), "a");
    --*window->GetPendingCounter();
    Tick();
    EXPECT_EQ(window->GetLine(0), "a");
    --*window->GetPendingCounter();
    Tick();
    EXPECT_EQ(window->GetLine(0), "ab");
    EXPECT_FALSE(window->IsSyncing());
}

TEST_F(MessageWindowTest, ValuesArePackedBigEndian) {
    window->PushShowDamage(2, 300);
    window->PushSound("Hit");
    window->PushAction(DataBlock::kDelay, 7);
    window->PushAction(DataBlock::kPlaySound, 0x41414141);  // a number is no name
    Strings queue = DumpQueue(window.get());
    EXPECT_EQ(queue, (Strings{"105 2 300", "21 Hit", "10 7", "21"}));
    auto* record = static_cast<DataBlock*>(window->GetQueue().Peek());
    ASSERT_EQ(record->value.size(), 8u);
    EXPECT_EQ(record->value[3], 2);
    EXPECT_EQ(record->value[6], 1);
    EXPECT_EQ(record->value[7], 44);
}

// Draws the window onto a black bitmap with a real font and reports which
// 16-pixel rows hold text.
class MessageWindowDrawingTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::EnsureAllegro(); }
    static std::string RowsWithText(GUICombatMessageWindow& window) {
        window.SetDirty(true);
        BitmapWrapper target(800, 136, &GetGlobalState()->openGLMode);
        target.SetAsTarget();
        al_clear_to_color(al_map_rgb(0, 0, 0));
        window.Draw(&target);
        std::string rows;
        ALLEGRO_BITMAP* bitmap = target.GetBitmap();
        for (int row = 0; row < 8; ++row) {
            bool ink = false;
            for (int y = row * 16; y < row * 16 + 16 && !ink; ++y)
                for (int x = 16; x < 120 && !ink; ++x) {
                    unsigned char r, g, b;
                    al_unmap_rgb(al_get_pixel(bitmap, x, y), &r, &g, &b);
                    ink = r > 60;
                }
            rows += ink ? '#' : '.';
        }
        return rows;
    }
};

TEST_F(MessageWindowDrawingTest, OnlyTheSevenNewestLinesAreDrawnNewestAtTheBottom) {
    testsupport::LuaTestState lua;
    ALLEGRO_FONT* font = al_load_ttf_font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12, 0);
    ASSERT_NE(font, nullptr);
    lua.Library().AddSection("Fonts");
    lua.Library().AddCatalogue("Fonts", "General");
    lua.Library().AddHeading("Fonts", "General", "Dialogue");
    lua.Library().Register("Fonts", "General", "Dialogue", "DialogueFont", font, DataKind::Font);
    GUICombatMessageWindow window;
    window.SetDimensions(0, 0, 800, 136);
    EXPECT_EQ(window.GetFont(), font);
    window.Start();
    window.QueueText("MMMM");
    window.OnEvent(kGUIEventPulse, 0, 0);
    EXPECT_EQ(RowsWithText(window), ".......#");
    for (int i = 0; i < 7; ++i) {
        window.QueueLineBreak();
        window.QueueText("MMMM");
    }
    window.OnEvent(kGUIEventPulse, 0, 0);
    EXPECT_EQ(window.GetLineCount(), 8);
    EXPECT_EQ(RowsWithText(window), ".#######");
    window.Reset();
    EXPECT_EQ(RowsWithText(window), "........");
    al_destroy_font(font);
}

TEST_F(MessageWindowDrawingTest, WithoutAFontNothingIsDrawn) {
    testsupport::LuaTestState lua;
    StderrCapture cap;
    GUICombatMessageWindow window;
    std::string out = cap.Take();
    EXPECT_EQ(out.substr(out.size() - 41), "Error:  Could not locate DialogueFont!!!\n");
    window.SetDimensions(0, 0, 800, 136);
    window.Start();
    window.QueueText("MMMM");
    window.OnEvent(kGUIEventPulse, 0, 0);
    EXPECT_EQ(window.GetLine(0), "MMMM");
    EXPECT_EQ(RowsWithText(window), "........");
}

class MessageWindowBattleTest : public DuelFixture {
protected:
    void SetUp() override {
        DuelFixture::SetUp();
        Window()->Start();
    }
    void Play(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) Window()->OnEvent(kGUIEventPulse, 0, 0);
    }
};

TEST_F(MessageWindowBattleTest, ShownHitPointsFollowTheTextsAndUnknownTargetsWarn) {
    bog->GetStats()->shownHp = 50;
    Window()->PushShowDamage(1, 12);
    Window()->PushShowDamage(1, 100);
    Window()->PushShowDamage(7, 3);
    StderrCapture cap;
    Play();
    EXPECT_EQ(cap.Take(), "GUICMWActionQueue: Warning, Target ID 7 not found\n");
    EXPECT_EQ(bog->GetStats()->shownHp, 0);  // never below 0
}

TEST_F(MessageWindowBattleTest, AnimationsGoToTheActorAndTargetFoundById) {
    ana->SetAttackAnimProperties(0, 1, 1, 0, 0);
    Window()->PushAnimateActor(Character::kStrike);  // no actor yet: nothing
    Window()->PushSetActor(0);
    Window()->PushSetTarget(9);                      // not found
    Window()->PushAnimateActor(Character::kStrike);  // still nothing
    Window()->PushSetTarget(1);
    Window()->PushAnimateActor(Character::kStrike);
    Window()->PushAnimateTarget(Character::kKnockedOut);
    Window()->PushBattleResult(1);
    Play();
    EXPECT_EQ(Window()->GetActor(), ana);
    EXPECT_EQ(Window()->GetTarget(), bog);
    EXPECT_EQ(ana->sprite->queued, (Strings{"200", "102 1", "103 HardAttacking", "101 0", "105", "103 Idling", "201"}));
    EXPECT_EQ(bog->sprite->queued, (Strings{"200", "103 KnockedOut", "201"}));
    EXPECT_EQ(ana->sprite->pending, Window()->GetPendingCounter());
    EXPECT_EQ(manager->GetState(), 1);
    // Reset forgets the combatants.
    Window()->Reset();
    EXPECT_EQ(Window()->GetActor(), nullptr);
    EXPECT_EQ(Window()->GetTarget(), nullptr);
}

}  // namespace
