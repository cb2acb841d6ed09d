// The combat game state driven by synthetic events: the tick runs the GUI's
// pulse and the battle, keys and mouse buttons reach the message window as
// GUI events, the close event quits, and the redraw waits for a drained
// queue.
#include <gtest/gtest.h>

#include "app/FrameContext.h"
#include "app/GameStates.h"
#include "app/StandardWindows.h"
#include "combat/CombatTestDoubles.h"
#include "combat/RestoreEffect.h"
#include "core/base/LayerHooks.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIManager.h"
#include "support/StderrCapture.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

using namespace combattest;

namespace {

ALLEGRO_EVENT Event(unsigned type) {
    ALLEGRO_EVENT event{};
    event.type = type;
    return event;
}

class CombatStateTest : public CombatFixture {
protected:
    void SetUp() override {
        CombatFixture::SetUp();
        m_savedQuit = GetGlobalState()->quit;
        GetGlobalState()->quit = 0;
    }
    void TearDown() override {
        GetGlobalState()->quit = m_savedQuit;
        GetGlobalState()->stateSwitchRequest = 0;
        CombatFixture::TearDown();
    }
    void Timer(int count = 1) {
        for (int i = 0; i < count; ++i) HandleCombatEvent(Event(ALLEGRO_EVENT_TIMER), &m_context);
    }
    FrameContext m_context{};
    uint8_t m_savedQuit = 0;
};

TEST_F(CombatStateTest, TicksPlayTheBattleAndKeysEndTheKeyPause) {
    party->Add("Ana", 40, 60, 8, 10);
    enemies->roster = {{"Bog", 10, 8, 8, 1, 4}};
    Start();
    ASSERT_TRUE(EnterGameState(GameStateId::Combat));
    EXPECT_EQ(GetGlobalState()->eventHandler, &HandleCombatEvent);
    EXPECT_EQ(GetGlobalState()->renderFunction, &RedrawCombat);
    GetGlobalState()->eventHandler = nullptr;
    GetGlobalState()->renderFunction = nullptr;

    manager->OrderCommand(Character::kCommandAttack);
    manager->OrderTarget(1);
    Timer();
    EXPECT_EQ(m_context.redrawPending, 1);
    EXPECT_TRUE(Window()->IsRunning());
    for (int i = 0; i < 2000 && !Window()->IsPaused(); ++i) Timer();
    ASSERT_TRUE(Window()->IsPaused());

    // A key pressed and released, as Allegro reports them.
    HandleCombatEvent(Event(ALLEGRO_EVENT_KEY_DOWN), &m_context);
    EXPECT_TRUE(Window()->IsPaused());
    HandleCombatEvent(Event(ALLEGRO_EVENT_KEY_UP), &m_context);
    EXPECT_FALSE(Window()->IsPaused());
    Timer(2);
    EXPECT_EQ(manager->GetState(), 1);
    EXPECT_FALSE(manager->IsBattleRunning());
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);

    ALLEGRO_EVENT move = Event(ALLEGRO_EVENT_MOUSE_AXES);
    move.mouse.x = 123;
    move.mouse.y = 45;
    HandleCombatEvent(move, &m_context);
    EXPECT_EQ(lua->Gui().GetMouseX(), 123.0f);
    HandleCombatEvent(Event(ALLEGRO_EVENT_MOUSE_BUTTON_DOWN), &m_context);
    EXPECT_TRUE(lua->Gui().IsMouseDown());
    HandleCombatEvent(Event(ALLEGRO_EVENT_MOUSE_BUTTON_UP), &m_context);
    EXPECT_FALSE(lua->Gui().IsMouseDown());

    HandleCombatEvent(Event(ALLEGRO_EVENT_DISPLAY_CLOSE), nullptr);
    EXPECT_EQ(GetGlobalState()->quit, 0);
    HandleCombatEvent(Event(ALLEGRO_EVENT_DISPLAY_CLOSE), &m_context);
    EXPECT_EQ(GetGlobalState()->quit, 1);
}

// The inventory in battle, from the keyboard as on the map: a potion used
// on a party member, the windows closed again, and a battle that ends while
// the inventory is open.
TEST_F(CombatStateTest, TheInventoryKeyUsesAnItemInBattle) {
    GlobalState* state = GetGlobalState();
    PlayerVorn player;
    PlayerVorn* savedPlayer = state->player;
    state->player = &player;
    ItemPrototype potion;
    potion.SetName("Potion");
    potion.SetStackProperties(true, 3);
    potion.SetUsableFlags(true, false, -1);
    potion.AddEquipEffect(std::unique_ptr<ItemEffectRecord>(MakeRestoreEffect(30, 1)));
    player.GetInventory()->AddItem("Potion", &potion, false);
    player.GetInventory()->AddItem("Potion", &potion, false);
    TestCombatant* ana = party->Add("Ana", 60, 60, 8, 10);
    ana->GetStats()->hp = 10;
    enemies->roster = {{"Bog", 10, 8, 8, 1, 4}};
    {
        testsupport::StderrCapture quiet;
        BuildDefaultWindows();
    }
    Start();
    GUIBaseObject* inventory = lua->Gui().FindObject("InventoryWindow");
    GUIBaseObject* target = lua->Gui().FindObject("InventoryTargetWindow");
    auto key = [this](int code) {
        ALLEGRO_EVENT down = Event(ALLEGRO_EVENT_KEY_DOWN);
        ALLEGRO_EVENT up = Event(ALLEGRO_EVENT_KEY_UP);
        down.keyboard.keycode = up.keyboard.keycode = code;
        HandleCombatEvent(down, &m_context);
        Timer();
        HandleCombatEvent(up, &m_context);
        Timer();
    };

    key(ALLEGRO_KEY_I);
    ASSERT_TRUE(inventory->IsVisible());
    key(ALLEGRO_KEY_Z);  // the potion: the submenu
    key(ALLEGRO_KEY_Z);  // "Use": the party list
    EXPECT_TRUE(target->IsVisible());
    std::string out = testsupport::Stderr([&] { key(ALLEGRO_KEY_Z); });
    EXPECT_EQ(out, "Ana recovered 30 HP!  40/60\n");
    EXPECT_EQ(player.GetInventory()->GetItemAt(0)->GetQuantity(), 1);
    for (int i = 0; i < 3; ++i) key(ALLEGRO_KEY_X);
    EXPECT_FALSE(inventory->IsVisible());
    EXPECT_FALSE(target->IsVisible());
    // The keys go back to the battle's commands.
    EXPECT_EQ(lua->Gui().GetControlStack().Top(), lua->Gui().FindObject("CombatCommandWindow"));

    // Open again, and the battle is won around it.
    key(ALLEGRO_KEY_I);
    ASSERT_TRUE(inventory->IsVisible());
    manager->OrderCommand(Character::kCommandAttack);
    manager->OrderTarget(1);
    for (int i = 0; i < 2000 && !Window()->IsPaused(); ++i) Timer();
    key(ALLEGRO_KEY_SPACE);
    Timer(2);
    EXPECT_EQ(manager->GetState(), 1);
    EXPECT_FALSE(manager->IsBattleRunning());
    EXPECT_EQ(ana->GetStats()->hp, 40);
    state->player = savedPlayer;
}

TEST_F(CombatStateTest, TheRedrawWaitsForADrainedQueue) {
    ALLEGRO_EVENT_QUEUE* queue = al_create_event_queue();
    ALLEGRO_EVENT_SOURCE source;
    al_init_user_event_source(&source);
    al_register_event_source(queue, &source);
    ALLEGRO_EVENT pending = Event(ALLEGRO_GET_EVENT_TYPE('T', 'E', 'S', 'T'));
    al_emit_user_event(&source, &pending, nullptr);
    m_context.redrawPending = 1;
    RedrawCombat(queue, &m_context);
    EXPECT_EQ(m_context.redrawPending, 1);
    al_flush_event_queue(queue);
    RedrawCombat(queue, &m_context);
    EXPECT_EQ(m_context.redrawPending, 0);
    RedrawCombat(queue, nullptr);
    al_unregister_event_source(queue, &source);
    al_destroy_user_event_source(&source);
    al_destroy_event_queue(queue);
}

}  // namespace
