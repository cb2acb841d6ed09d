// The combat game state driven by synthetic events: the tick runs the GUI's
// pulse and the battle, keys reach the message window's key pause as
// strokes, the close event quits, and the redraw waits for a drained queue.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/FrameContext.h"
#include "app/GameStates.h"
#include "app/StandardWindows.h"
#include "combat/CombatTestDoubles.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatTargetWindow.h"
#include "combat/RestoreEffect.h"
#include "core/base/LayerHooks.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "support/KeyTicks.h"
#include "support/StderrCapture.h"
#include "support/WaitingEventQueue.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

using namespace combattest;

namespace {

ALLEGRO_EVENT Event(unsigned type, int keycode = 0) {
    ALLEGRO_EVENT event{};
    event.type = type;
    event.keyboard.keycode = keycode;
    return event;
}

class CombatStateTest : public CombatFixture {
protected:
    void SetUp() override {
        CombatFixture::SetUp();
        m_savedQuit = GetGlobalState()->quit;
        GetGlobalState()->quit = 0;
        m_savedPlayer = GetGlobalState()->player;
        GetGlobalState()->player = &player;
    }
    void TearDown() override {
        GetGlobalState()->player = m_savedPlayer;
        GetGlobalState()->quit = m_savedQuit;
        GetGlobalState()->stateSwitchRequest = 0;
        CombatFixture::TearDown();
    }
    void Timer(int count = 1) {
        for (int i = 0; i < count; ++i) HandleCombatEvent(Event(ALLEGRO_EVENT_TIMER), &m_context);
    }
    FrameContext m_context{};
    uint8_t m_savedQuit = 0;
    PlayerVorn player;
    PlayerVorn* m_savedPlayer = nullptr;
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

    // A key struck, as Allegro reports it: the pause ends at the next tick.
    HandleCombatEvent(Event(ALLEGRO_EVENT_KEY_DOWN, ALLEGRO_KEY_SPACE), &m_context);
    EXPECT_TRUE(Window()->IsPaused());
    Timer();
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
        HandleCombatEvent(Event(ALLEGRO_EVENT_KEY_DOWN, code), &m_context);
        Timer();
        HandleCombatEvent(Event(ALLEGRO_EVENT_KEY_UP, code), &m_context);
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
}

// Keys as a player strikes them, through the combat state's handler, to
// every receiver that holds the keys in battle: the battle's command and
// target windows, the inventory and its submenu, the pause menu, the chat
// line, the hot keys. Keys as KeyTicks::Play takes them, and "@" a click on
// the first command. A row with a backlog is played with more events waiting behind
// each one. Seen at the end: what holds the keys and its highlighted entry,
// the command window's page and highlighted entry, the inventory grid's, and
// what the chat line shows.
struct InputRow {
    const char* what;
    const char* held;  // struck before the battle's windows came up
    const char* keys;
    bool backlog;
    const char* expected;
};

const InputRow kInputRows[] = {
    {"an arrow held into the command window, let go, then Accept", "+Down", "~40 -Down . ~40 Z .", false,
     "targets:0 p0 0 grid 0 ''"},
    {"the right arrow held into it", "+Right", "~40 -Right . ~40", true, "commands:0 p0 0 grid 0 ''"},
    {"Accept held into it", "+Z", "~40 -Z . ~40", true, "commands:0 p0 0 grid 0 ''"},
    {"z Down x Down struck within a tick", "", "Z Down X Down .", false, "commands:1 p0 1 grid 0 ''"},
    {"W struck while the arrow holds Up", "", "Down Down . +Up . +W . -W -Up .", false, "commands:1 p0 1 grid 0 ''"},
    {"Down, then I, within a tick", "", "Down I .", false, "items:0 p0 1 grid 0 ''"},
    {"i Right z Down within a tick", "", "I Right Z Down .", true, "submenu:1 p0 0 grid 1 ''"},
    {"Escape, Escape from the inventory", "", "I . ESCAPE ESCAPE .", false, "pause:0 p0 0 grid 0 ''"},
    {"Down struck, then Attack clicked, within a tick", "", "Down @ .", false, "targets:0 p0 1 grid 0 ''"},
    {"q held three seconds in the chat line, with a backlog", "", "ENTER . +Q ~180 -Q .", true,
     "chat:-1 p0 0 grid 0 'qqqqqqqqqqqq'"},
    {"a letter held into the chat line, then Attack clicked: the line keeps the keys", "+Q",
     "~40 ENTER ~40 -Q A @ B Z .", true, "chat:-1 p0 0 grid 0 'abz'"},
};

class CombatInputTest : public CombatStateTest, public ::testing::WithParamInterface<InputRow> {};

TEST_P(CombatInputTest, EachKeyActsOnceInTheWindowThatHeldTheKeysWhenItWasStruck) {
    const InputRow& row = GetParam();
    ItemPrototype potion, herb;
    potion.SetName("Potion");
    potion.SetUsableFlags(true, false, -1);
    herb.SetName("Herb");
    player.GetInventory()->AddItem("Potion", &potion, false);
    player.GetInventory()->AddItem("Herb", &herb, false);
    for (const char* member : {"Ana", "Cid"}) party->members.Add(member, new Fighter(member, 60, 8, 8, 5));
    enemies->roster = {{"Bog", 500, 8, 8, 1, 4}};
    testsupport::StderrCapture quiet;
    BuildDefaultWindows();
    GUIManager& gui = lua->Gui();
    auto* chat = static_cast<GUIInputTextBox*>(gui.FindObject("DefaultChatWindowInputBox"));
    ASSERT_NE(chat, nullptr);

    std::optional<testsupport::WaitingEventQueue> waiting;
    if (row.backlog) waiting.emplace();
    auto keys = testsupport::KeyTicks::Route(
        lua->Keyboard(),
        [this](int code, bool down) {
            HandleCombatEvent(Event(down ? ALLEGRO_EVENT_KEY_DOWN : ALLEGRO_EVENT_KEY_UP, code), &m_context);
        },
        [this] { Timer(); });
    auto play = [&](const std::string& events) {
        const size_t click = events.find('@');
        keys.Play(events.substr(0, click));
        if (click == std::string::npos) return;
        ALLEGRO_EVENT move = Event(ALLEGRO_EVENT_MOUSE_AXES);
        move.mouse.x = manager->GetCommandWindow()->GetPositionX() + 20;
        move.mouse.y = manager->GetCommandWindow()->GetPositionY() + 15;
        for (ALLEGRO_EVENT event : {move, Event(ALLEGRO_EVENT_MOUSE_BUTTON_DOWN), Event(ALLEGRO_EVENT_MOUSE_BUTTON_UP)})
            HandleCombatEvent(event, &m_context);
        keys.Play(events.substr(click + 1));
    };
    play(row.held);
    Start();
    for (int i = 0; i < 600 && gui.GetControlStack().Top() != manager->GetCommandWindow(); ++i) Timer();
    ASSERT_EQ(gui.GetControlStack().Top(), manager->GetCommandWindow());
    chat->GetParent()->Show(false);  // the battle hid the chat window; Enter gives its line the keys
    play(row.keys);

    GUIBaseObject* top = gui.GetControlStack().Top();
    auto name = [&](GUIBaseObject* object) -> std::string {
        for (const auto& [shorter, known] :
             std::vector<std::pair<const char*, GUIBaseObject*>>{{"commands", manager->GetCommandWindow()},
                                                                 {"targets", manager->GetTargetWindow()},
                                                                 {"chat", chat},
                                                                 {"items", gui.FindObject("InventoryItemsWindow")},
                                                                 {"submenu", gui.FindObject("InventoryWindowSubmenu")},
                                                                 {"pause", gui.FindObject("PauseMenu")}})
            if (object == known) return shorter;
        return object ? object->GetName() : "none";
    };
    const std::string seen = name(top) + ":" + std::to_string(top ? top->GetNavCursor() : -1) + " p" +
                             std::to_string(manager->GetPage()) + " " +
                             std::to_string(manager->GetCommandWindow()->GetNavCursor()) + " grid " +
                             std::to_string(gui.FindObject("InventoryItemsWindow")->GetNavCursor()) + " '" +
                             (chat->GetText() ? *chat->GetText() : "") + "'";
    EXPECT_EQ(seen, row.expected);
    chat->SetFocus(false);
}

INSTANTIATE_TEST_SUITE_P(Rows, CombatInputTest, ::testing::ValuesIn(kInputRows));

// A window with options hears keys only when it joins the control stack as
// it is shown and has navigation on: every such window the game builds.
TEST_F(CombatStateTest, EveryWindowWithOptionsCanTakeTheKeys) {
    party->Add("Ana", 40, 8, 8, 5);
    enemies->roster = {{"Bog", 50, 8, 8, 3, 10}};
    testsupport::StderrCapture quiet;
    BuildDefaultWindows();
    Start();
    std::string deaf, heard;
    std::function<void(NamedList*)> walk = [&](NamedList* list) {
        for (NamedList::Node* node = list->GetHead(); node; node = node->next) {
            auto* object = static_cast<GUIBaseObject*>(node->value);
            if (object->GetNavEntryCount() > 0)
                (object->JoinsControlStack() && object->IsNavigationOn() ? heard : deaf) += object->GetName() + " ";
            walk(object->GetChildList());
        }
    };
    walk(lua->Gui().GetTopLevelList());
    EXPECT_EQ(deaf, "") << "heard: " << heard;
    EXPECT_NE(heard.find("PauseMenu"), std::string::npos) << heard;
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
