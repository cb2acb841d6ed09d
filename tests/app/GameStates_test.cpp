// The game states driven by synthetic events, without a window.
#include "app/GameStates.h"

#include <gtest/gtest.h>

#include "app/FrameContext.h"
#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "core/script/TimerManager.h"
#include "maps/Transition.h"
#include "support/AllegroTestEnv.h"

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

TEST_F(GameStatesTest, KeyEventsUpdateTheKeyTable) {
    KeyboardManager keyboard;
    GetGlobalState()->keyboardManager = &keyboard;
    // Without an installed keyboard the snapshot is left as it is; the key
    // table still reads it.
    ALLEGRO_KEYBOARD_STATE& snapshot = m_context.keyboard;
    snapshot = ALLEGRO_KEYBOARD_STATE{};
    if (!al_is_keyboard_installed()) {
        snapshot.__key_down__internal__[ALLEGRO_KEY_A / 32] |= 1u << (ALLEGRO_KEY_A % 32);
        GameStateHandleEvent(Event(ALLEGRO_EVENT_KEY_DOWN), &m_context);
        KeyState* a = keyboard.FindKey("A");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->pressed, 1);
    }
    GameStateHandleEvent(Event(ALLEGRO_EVENT_KEY_UP), &m_context);
    TransitionStateHandleEvent(Event(ALLEGRO_EVENT_KEY_DOWN), &m_context);
    GetGlobalState()->keyboardManager = nullptr;
}

}  // namespace
