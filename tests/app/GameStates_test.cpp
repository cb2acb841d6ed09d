// The game states driven by synthetic events, without a window.
#include "app/GameStates.h"

#include <gtest/gtest.h>

#include "app/FrameContext.h"
#include "app/Transition.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "core/script/TimerManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "world/BackgroundManager.h"
#include "world/BackgroundObject.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIBasePackage.h"
#include "world/ai/AIManager.h"

namespace {

ALLEGRO_EVENT Event(unsigned type) {
    ALLEGRO_EVENT event{};
    event.type = type;
    return event;
}

class GameStatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        m_saved = *GetGlobalState();
        GlobalState* state = GetGlobalState();
        state->quit = 0;
        state->holdDrawing = 0;
        state->displayManager = nullptr;
        state->soundManager = nullptr;
        state->keyboardManager = nullptr;
        state->timerManager = &m_timers;
        m_queue = al_create_event_queue();
    }
    void TearDown() override {
        al_destroy_event_queue(m_queue);
        // Handlers may have started a transition of their own.
        delete GetGlobalState()->transition;
        *GetGlobalState() = m_saved;
    }
    GlobalState m_saved;
    TimerManager m_timers;
    FrameContext m_context{};
    ALLEGRO_EVENT_QUEUE* m_queue = nullptr;
};

TEST_F(GameStatesTest, MainGameTickRunsTimersAndAsksForOneRedraw) {
    m_timers.AddTimer("Clock", 0);
    GameStateHandleEvent(Event(ALLEGRO_EVENT_TIMER), &m_context);
    GameStateHandleEvent(Event(ALLEGRO_EVENT_TIMER), &m_context);
    EXPECT_EQ(m_timers.GetTimer("Clock"), 2);
    EXPECT_EQ(m_context.redrawPending, 1);

    // The render clears the request only once the queue is drained.
    ALLEGRO_EVENT_SOURCE source;
    al_init_user_event_source(&source);
    al_register_event_source(m_queue, &source);
    ALLEGRO_EVENT pending = Event(ALLEGRO_GET_EVENT_TYPE('T', 'E', 'S', 'T'));
    al_emit_user_event(&source, &pending, nullptr);
    GameStateRender(m_queue, &m_context);
    EXPECT_EQ(m_context.redrawPending, 1);
    al_flush_event_queue(m_queue);
    GameStateRender(m_queue, &m_context);
    EXPECT_EQ(m_context.redrawPending, 0);
    al_unregister_event_source(m_queue, &source);
    al_destroy_user_event_source(&source);

    // A null context is ignored.
    GameStateHandleEvent(Event(ALLEGRO_EVENT_TIMER), nullptr);
    EXPECT_EQ(m_timers.GetTimer("Clock"), 2);
}

TEST_F(GameStatesTest, TitleTickClearsTheHoldButRunsNoTimers) {
    m_timers.AddTimer("Clock", 0);
    GetGlobalState()->holdDrawing = 1;
    TitleStateHandleEvent(Event(ALLEGRO_EVENT_TIMER), &m_context);
    EXPECT_EQ(GetGlobalState()->holdDrawing, 0);
    EXPECT_EQ(m_timers.GetTimer("Clock"), 0);
    EXPECT_EQ(m_context.redrawPending, 1);
}

TEST_F(GameStatesTest, EveryStateQuitsOnTheCloseRequest) {
    for (auto handler : {GameStateHandleEvent, TitleStateHandleEvent, TransitionStateHandleEvent}) {
        GetGlobalState()->quit = 0;
        handler(Event(ALLEGRO_EVENT_DISPLAY_CLOSE), &m_context);
        EXPECT_EQ(GetGlobalState()->quit, 1);
    }
}

TEST_F(GameStatesTest, TransitionTickNeitherRunsTimersNorClearsTheHold) {
    m_timers.AddTimer("Clock", 0);
    GetGlobalState()->holdDrawing = 1;
    TransitionStateHandleEvent(Event(ALLEGRO_EVENT_TIMER), &m_context);
    TransitionStateHandleEvent(Event(ALLEGRO_EVENT_MOUSE_BUTTON_DOWN), &m_context);
    EXPECT_EQ(m_timers.GetTimer("Clock"), 0);
    EXPECT_EQ(GetGlobalState()->holdDrawing, 1);
    EXPECT_EQ(m_context.redrawPending, 1);
}

TEST_F(GameStatesTest, KeyEventsActAtTheNextTick) {
    KeyboardManager keyboard;
    GetGlobalState()->keyboardManager = &keyboard;
    KeyState* a = keyboard.FindKey("A");
    ALLEGRO_EVENT down = Event(ALLEGRO_EVENT_KEY_DOWN), up = Event(ALLEGRO_EVENT_KEY_UP);
    down.keyboard.keycode = up.keyboard.keycode = ALLEGRO_KEY_A;
    for (EventHandlerFn handler : {GameStateHandleEvent, TitleStateHandleEvent}) {
        // A tap within one tick: the keyboard has it, and the tick counts it.
        handler(down, &m_context);
        handler(up, &m_context);
        EXPECT_EQ(a->pressed, 0);
        EXPECT_FALSE(keyboard.IsKeyDown(ALLEGRO_KEY_A));
        handler(Event(ALLEGRO_EVENT_TIMER), &m_context);
        EXPECT_EQ(a->pressed, 1);
        handler(Event(ALLEGRO_EVENT_TIMER), &m_context);
        EXPECT_EQ(a->released, 1);
    }
    TransitionStateHandleEvent(down, &m_context);
    EXPECT_TRUE(keyboard.IsKeyDown(ALLEGRO_KEY_A));
    GetGlobalState()->keyboardManager = nullptr;
}

// What each part of a main-game tick saw when it ran: the clock timer, the
// sky strip's position and the entities' mouse state.
struct TickLog {
    testsupport::LuaTestState* lua = nullptr;
    std::vector<std::string> lines;
    void Note(const std::string& who) {
        BackgroundObject* strip = lua->Backgrounds().FindObject("Strip");
        lines.push_back(who + " clock " + std::to_string(lua->Timers().GetTimer("Clock")) + " strip " +
                        std::to_string(strip ? strip->GetX() : -1) + " mouse " +
                        std::to_string(lua->Entities().GetMouseState()));
    }
};

class LoggingPlayer : public PlayerVorn {
public:
    explicit LoggingPlayer(TickLog* log) : m_log(log) {}
    void Update() override { m_log->Note("player"); }

private:
    TickLog* m_log;
};

class LoggingCharacter : public NonPlayingCharacter {
public:
    explicit LoggingCharacter(TickLog* log) : m_log(log) {}
    void Update() override { m_log->Note("entity"); }

private:
    TickLog* m_log;
};

class LoggingPackage : public AIBasePackage {
public:
    explicit LoggingPackage(TickLog* log) : m_log(log) {}
    void RunAI() override { m_log->Note("floating AI"); }

private:
    TickLog* m_log;
};

class LoggingWidget : public GUIBaseObject {
public:
    explicit LoggingWidget(TickLog* log) : m_log(log) {}
    bool OnEvent(int event, int, int) override {
        if (event == -1) m_log->Note("GUI pulse");
        return false;
    }
    void Render() override { m_dirty = false; }
    void* GetProperty(const std::string&) override { return nullptr; }

private:
    TickLog* m_log;
};

// A main game with one of each: a timer, a drifting sky strip, the player,
// a character, a floating AI package and a GUI widget.
class MainGameOrderTest : public GameStatesTest {
protected:
    void SetUp() override {
        GameStatesTest::SetUp();
        lua = new testsupport::LuaTestState;
        log.lua = lua;
        GlobalState* state = GetGlobalState();
        lua->Timers().AddTimer("Clock", 0);
        strip = new BitmapWrapper(100, 10, nullptr);
        DataLibrary& library = lua->Library();
        library.AddSection("Images");
        library.AddCatalogue("Images", "Background");
        library.AddHeading("Images", "Background", "Scenery");
        library.Register("Images", "Background", "Scenery", "Sky", strip, DataKind::Bitmap);
        BackgroundObject* sky = lua->Backgrounds().SpawnObject("Strip", "Sky", 0, 0, 0, 0, 0);
        sky->SetSpeed(5, 0);
        lua->Cameras().SetActiveCamera(nullptr);  // nothing leaves a view that is not there
        player = new LoggingPlayer(&log);
        state->player = player;
        character = new LoggingCharacter(&log);
        character->SetInternalName("Logger");
        lua->Entities().RegisterPointer(EntityManager::kNPC, "Logger", character);
        lua->AI().AddFloatingPackage("Logger", new LoggingPackage(&log));
        widget = new LoggingWidget(&log);
        lua->Gui().ResetActiveObjectList();
        lua->Gui().AddObject("Logger", widget);
        widget->SetDimensions(0, 0, 50, 50);
    }
    void TearDown() override {
        GetGlobalState()->player = nullptr;
        delete player;
        delete lua;
        delete strip;
        GameStatesTest::TearDown();
    }
    TickLog log;
    testsupport::LuaTestState* lua = nullptr;
    BitmapWrapper* strip = nullptr;
    LoggingPlayer* player = nullptr;
    LoggingCharacter* character = nullptr;
    LoggingWidget* widget = nullptr;
};

TEST_F(MainGameOrderTest, TickRunsTimersBackgroundsPlayerMouseResetEntitiesFloatingAIThenTheGUI) {
    // A press earlier in the frame left its mouse state for the player.
    lua->Entities().SetMouseState(0);
    GameStateHandleEvent(Event(ALLEGRO_EVENT_TIMER), &m_context);
    const std::vector<std::string> expected = {
        "player clock 1 strip 5 mouse 0",        // after the timers and the backgrounds
        "entity clock 1 strip 5 mouse -1",       // the mouse state reset in between
        "floating AI clock 1 strip 5 mouse -1",  // after the entities
        "GUI pulse clock 1 strip 5 mouse -1",    // last of these
    };
    EXPECT_EQ(log.lines, expected);
}

TEST_F(MainGameOrderTest, APressTheGUITakesDoesNotReachTheMap) {
    lua->Gui().SetMousePosition(20, 20);
    auto* button = new GUIButton;  // takes presses inside it
    lua->Gui().AddObject("Catcher", button);
    button->SetDimensions(0, 0, 50, 50);
    GameStateHandleEvent(Event(ALLEGRO_EVENT_MOUSE_BUTTON_DOWN), &m_context);
    EXPECT_TRUE(button->IsPressed());
    // The entities heard of the press, but the map did not update them.
    EXPECT_EQ(lua->Entities().GetMouseState(), 0);
    EXPECT_TRUE(log.lines.empty());

    // Outside the GUI the press goes on to the map, which updates the
    // characters with it.
    lua->Gui().SetMousePosition(300, 300);
    GameStateHandleEvent(Event(ALLEGRO_EVENT_MOUSE_BUTTON_UP), &m_context);
    EXPECT_EQ(log.lines, std::vector<std::string>{"entity clock 0 strip 0 mouse 1"});
}

// A fade ignores presses and moves; a button let go during it ends the drag
// its press began, in the windows only.
TEST_F(MainGameOrderTest, TheTransitionIgnoresTheMouseButALetGo) {
    lua->Gui().SetMousePosition(20, 20);
    auto* button = new GUIButton;
    lua->Gui().AddObject("Catcher", button);
    button->SetDimensions(0, 0, 50, 50);
    lua->Gui().SetDragObject(widget);
    lua->Entities().SetMouseState(-1);
    for (unsigned type : {ALLEGRO_EVENT_MOUSE_BUTTON_UP, ALLEGRO_EVENT_MOUSE_BUTTON_DOWN, ALLEGRO_EVENT_MOUSE_AXES}) {
        ALLEGRO_EVENT event = Event(type);
        event.mouse.x = event.mouse.y = type == ALLEGRO_EVENT_MOUSE_AXES ? 300 : 30;
        TransitionStateHandleEvent(event, &m_context);
    }
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(lua->Gui().GetDragObject(), nullptr);
    EXPECT_EQ(lua->Entities().GetMouseState(), -1);
    EXPECT_EQ(lua->Gui().GetMouseX(), 30);
    EXPECT_TRUE(log.lines.empty());
}

}  // namespace
