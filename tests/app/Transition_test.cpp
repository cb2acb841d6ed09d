// Transitions between game modes, driven through the transition state's
// handler as the main loop drives them, without a window.
#include "app/Transition.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/FrameContext.h"
#include "app/GameStates.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DisplayManager.h"
#include "core/script/KeyboardManager.h"
#include "core/script/PathManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/EntityManager.h"
#include "world/PlayerVorn.h"

using testsupport::StderrCapture;

namespace {

ALLEGRO_EVENT Event(unsigned type) {
    ALLEGRO_EVENT event{};
    event.type = type;
    return event;
}

// A character standing somewhere on the map.
class Marker : public RootEntity {
public:
    Marker(float x, float y) : m_x(x), m_y(y) { m_type = kTypeNonPlayingCharacter; }
    void GetPosition(float* x, float* y, float* z) override {
        *x = m_x;
        *y = m_y;
        *z = 0.0f;
    }

private:
    float m_x, m_y;
};

// The test running now, for the script functions registered below.
class TransitionTest;
TransitionTest* g_test = nullptr;

// Keeps the whole global state and puts it back (the first member).
struct SavedGlobalState {
    SavedGlobalState() {
        testsupport::EnsureAllegro();
        // These tests never open a window.
        unsetenv("DISPLAY");
        saved = *GetGlobalState();
        GlobalState* state = GetGlobalState();
        state->windowWidth = 32;
        state->windowHeight = 24;
        state->transition = nullptr;
        state->stateSwitchRequest = 0;
        state->eventHandler = nullptr;
        state->renderFunction = nullptr;
        state->holdDrawing = 0;
        state->forcedMap = 0;
        ClearTransitionState();
    }
    ~SavedGlobalState() {
        ClearTransitionState();
        *GetGlobalState() = saved;
    }
    GlobalState saved;
};

class TransitionTest : public ::testing::Test {
public:
    TransitionTest() {
        GlobalState* state = GetGlobalState();
        {
            StderrCapture quiet;  // the display manager reports the missing window
            display = new DisplayManager(32, 24);
        }
        state->displayManager = display;
        state->quit = 0;
        lua.Paths().AddPath("Maps", "Maps/");
        lua.Paths().AddPath("MapScripts", "Scripts/Maps/");
        g_test = this;
    }
    ~TransitionTest() override {
        g_test = nullptr;
        GlobalState* state = GetGlobalState();
        state->player = nullptr;
        player.reset();
        delete state->transition;
        state->transition = nullptr;
        state->displayManager = nullptr;
        delete display;
    }

    // One timer tick of whatever game state is installed, as the loop runs it.
    void Tick() {
        EventHandlerFn handler = GetGlobalState()->eventHandler;
        ASSERT_EQ(handler, TransitionStateHandleEvent);
        handler(Event(ALLEGRO_EVENT_TIMER), &context);
    }
    // Starts the requested transition and ticks until it has ended; what it
    // printed.
    std::string Go() {
        StartTransition();
        return RunToEnd();
    }
    std::string RunToEnd() {
        StderrCapture cap;
        for (int i = 0; i < 100 && GetGlobalState()->transition; ++i) Tick();
        return cap.Take();
    }
    Marker* AddMarker(const char* name, float x = 0.0f, float y = 0.0f) {
        auto* marker = new Marker(x, y);
        lua.Entities().RegisterPointer(EntityManager::kNPC, name, marker);
        return marker;
    }

    SavedGlobalState saved;
    testsupport::TempDir dir;
    testsupport::LuaTestState lua;
    DisplayManager* display = nullptr;
    FrameContext context{};
    std::unique_ptr<PlayerVorn> player;

    void MakePlayer() {
        player = std::make_unique<PlayerVorn>();
        GetGlobalState()->player = player.get();
    }
    std::vector<float> PlayerAt() {
        float x = -1, y = -1, z = -1;
        player->GetPosition(&x, &y, &z);
        return {x, y, z};
    }
};

// Script helpers for map scripts: a marker "Gate" at (40, 50); the player
// moved to (7, 7, 0).
int AddGate(lua_State*) {
    g_test->AddMarker("Gate", 40.0f, 50.0f);
    return 0;
}
int MovePlayer(lua_State*) {
    GetGlobalState()->player->SetPosition(7.0f, 7.0f, 0.0f);
    return 0;
}

TEST_F(TransitionTest, RequestsFillTheRecordAndRefuseMissingNames) {
    GlobalState* state = GetGlobalState();
    TransitionState& record = GetTransitionState();
    RequestMapTransition(nullptr, 1, 2, 3);
    RequestEntityTransition("Town", nullptr);
    RequestEntityTransition(nullptr, "Gate");
    EXPECT_EQ(state->stateSwitchRequest, 0);
    EXPECT_EQ(display->IsSnapshotRequested(), 0);
    EXPECT_FALSE(record.mapName);

    RequestMapTransition("Cave", 10, -20, 30);
    EXPECT_EQ(state->stateSwitchRequest, 1);
    EXPECT_EQ(display->IsSnapshotRequested(), 1);
    EXPECT_EQ(record.mapName, "Cave");
    EXPECT_EQ(record.dropY, -20);
    // A battle keeps the map and touches nothing else.
    RequestCombatTransition();
    EXPECT_EQ(record.targetKind, kTransitionBattle);
    EXPECT_EQ(record.keepMap, 1);
    EXPECT_EQ(record.mapName, "Cave");

    StderrCapture cap;
    RequestTitleTransition();
    EXPECT_EQ(cap.Take(), "Setup transition to title\n");
    EXPECT_EQ(record.targetKind, kTransitionTitle);

    // The start of the game goes to the load target, or to no name.
    RequestStartTransition();
    EXPECT_EQ(record.targetKind, kTransitionMap);
    EXPECT_EQ(record.entityMode, 1);
    EXPECT_FALSE(record.mapName);
    lua.Maps().SetLoadTarget("Meadow");
    RequestStartTransition();
    EXPECT_EQ(record.mapName, "Meadow");
}

TEST_F(TransitionTest, FadesOutInSixteenTicksThenLoadsTheMap) {
    GlobalState* state = GetGlobalState();
    state->eventQueue = al_create_event_queue();
    ALLEGRO_EVENT_SOURCE source;
    al_init_user_event_source(&source);
    al_register_event_source(state->eventQueue, &source);
    lua.Keyboard().NoteKeyEvent(ALLEGRO_KEY_UP, true);
    AddMarker("OldTownsman");

    RequestMapTransition("MAPNONE", 1, 2, 3);
    StartTransition();
    Transition* transition = state->transition;
    ASSERT_NE(transition, nullptr);
    EXPECT_EQ(state->stateSwitchRequest, 0);
    EXPECT_EQ(state->renderFunction, TransitionStateRender);
    Tick();
    EXPECT_EQ(state->holdDrawing, 1);
    for (int i = 0; i < 16; ++i) {
        Tick();
        EXPECT_FLOAT_EQ(transition->GetAlpha(), (240 - 16 * i) / 256.0f) << i;
    }
    EXPECT_EQ(transition->GetState(), Transition::kSwitching);

    // Events that piled up meanwhile are dropped by the switch.
    ALLEGRO_EVENT pending = Event(ALLEGRO_GET_EVENT_TYPE('T', 'E', 'S', 'T'));
    al_emit_user_event(&source, &pending, nullptr);
    EXPECT_EQ(RunToEnd(), "");
    EXPECT_TRUE(al_is_event_queue_empty(state->eventQueue));
    // The main game runs from the next event on, fading in, on the new map.
    EXPECT_EQ(state->eventHandler, nullptr);
    EXPECT_EQ(state->renderFunction, nullptr);
    EXPECT_TRUE(display->IsFading());
    EXPECT_EQ(display->GetFadeLevel(), 0);
    EXPECT_EQ(display->GetSnapshot(), nullptr);
    EXPECT_EQ(lua.Entities().GetEntityByName("OldTownsman"), nullptr);
    EXPECT_TRUE(lua.Maps().IsDefinedMapMode());
    EXPECT_FALSE(GetTransitionState().mapName);
    // A key held through the transition must be let go before it counts.
    EXPECT_EQ(lua.Keyboard().FindBinding("Up")->held, 0);

    al_unregister_event_source(state->eventQueue, &source);
    al_destroy_user_event_source(&source);
    al_destroy_event_queue(state->eventQueue);
    state->eventQueue = nullptr;
}

// Events that piled up during a map load are dropped at both places that
// drop them (the transition's switch, the first main-game tick after it),
// but a waiting request to close the window still ends the program, a
// waiting key-up still lets its key go, and a waiting button-up still ends
// the drag its press began.
TEST_F(TransitionTest, ACloseRequestWaitingThroughALoadIsKept) {
    GlobalState* state = GetGlobalState();
    state->eventQueue = al_create_event_queue();
    ALLEGRO_EVENT_SOURCE source;
    al_init_user_event_source(&source);
    al_register_event_source(state->eventQueue, &source);
    struct Case {
        bool throughTransition;
        std::vector<unsigned> waiting;
        uint8_t quit;
    };
    // (The close request is sent through a source of our own; no window.)
    const Case cases[] = {
        {true, {ALLEGRO_EVENT_KEY_DOWN, ALLEGRO_EVENT_TIMER, ALLEGRO_EVENT_MOUSE_BUTTON_DOWN}, 0},
        {true, {ALLEGRO_EVENT_TIMER, ALLEGRO_EVENT_KEY_UP, ALLEGRO_EVENT_MOUSE_BUTTON_UP, ALLEGRO_EVENT_KEY_DOWN}, 0},
        {true, {ALLEGRO_EVENT_KEY_DOWN, ALLEGRO_EVENT_DISPLAY_CLOSE, ALLEGRO_EVENT_TIMER}, 1},
        {false, {ALLEGRO_EVENT_MOUSE_BUTTON_UP, ALLEGRO_EVENT_TIMER, ALLEGRO_EVENT_KEY_UP}, 0},
        {false, {ALLEGRO_EVENT_TIMER, ALLEGRO_EVENT_DISPLAY_CLOSE}, 1},
    };
    GUIBaseObject dragged;
    for (const Case& c : cases) {
        state->quit = 0;
        // The arrow is held when the load begins: its key-up, waiting in
        // the queue, is kept, so the player does not walk on; a key-down
        // waiting there is dropped.
        lua.Keyboard().NoteKeyEvent(ALLEGRO_KEY_DOWN, true);
        lua.Gui().SetDragObject(&dragged);
        bool letGo = false, dropped = false;
        if (c.throughTransition) {
            RequestMapTransition("MAPNONE", 1, 2, 3);
            StartTransition();
            for (int i = 0; i < 17; ++i) Tick();
            ASSERT_EQ(state->transition->GetState(), Transition::kSwitching);
        }
        for (unsigned type : c.waiting) {
            ALLEGRO_EVENT pending = Event(type);
            pending.keyboard.keycode = ALLEGRO_KEY_DOWN;
            letGo = letGo || type == ALLEGRO_EVENT_KEY_UP;
            dropped = dropped || type == ALLEGRO_EVENT_MOUSE_BUTTON_UP;
            al_emit_user_event(&source, &pending, nullptr);
        }
        if (c.throughTransition) {
            RunToEnd();
        } else {
            state->holdDrawing = 1;
            lua.Maps().ProcessEvent(-1, -1, -1);
        }
        EXPECT_TRUE(al_is_event_queue_empty(state->eventQueue)) << c.throughTransition;
        EXPECT_EQ(state->quit, c.quit) << c.throughTransition << " " << c.waiting.size();
        EXPECT_EQ(lua.Keyboard().IsKeyDown(ALLEGRO_KEY_DOWN), !letGo) << c.throughTransition << " " << c.waiting.size();
        EXPECT_EQ(lua.Gui().GetDragObject() == nullptr, dropped) << c.throughTransition << " " << c.waiting.size();
    }
    state->quit = 0;
    al_unregister_event_source(state->eventQueue, &source);
    al_destroy_user_event_source(&source);
    al_destroy_event_queue(state->eventQueue);
    state->eventQueue = nullptr;
}

TEST_F(TransitionTest, ABattleIsEnteredOverTheKeptMapAndLeftBackToIt) {
    GlobalState* state = GetGlobalState();
    auto* environment = new GUIBaseObject;
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("EnvironmentWindow", environment);
    AddMarker("Guard");
    CombatRegistry saved = GetCombatRegistry();
    GetCombatRegistry() = CombatRegistry{};
    auto combat = std::make_unique<CombatManager>();
    GetCombatRegistry().combatManager = combat.get();

    // The battle starts in the combat state; with nobody in the party it is
    // refused at once and asks to go back.
    RequestCombatTransition();
    std::string out = Go();
    EXPECT_NE(out.find("CombatManager::StartCombat:  Failed, the party has no member who can fight\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(state->eventHandler, HandleCombatEvent);
    EXPECT_EQ(state->renderFunction, RedrawCombat);
    EXPECT_EQ(GetTransitionState().currentMode, kTransitionBattle);
    EXPECT_FALSE(environment->IsSelfVisible());
    EXPECT_EQ(state->stateSwitchRequest, 1);
    EXPECT_EQ(GetTransitionState().targetKind, kTransitionMap);

    // Back on the kept map: nothing was unloaded and the main game runs.
    Go();
    EXPECT_EQ(state->eventHandler, nullptr);
    EXPECT_EQ(GetTransitionState().currentMode, kTransitionMap);
    EXPECT_NE(lua.Entities().GetEntityByName("Guard"), nullptr);
    EXPECT_TRUE(environment->IsSelfVisible());

    GetCombatRegistry() = saved;
}

TEST_F(TransitionTest, TitleAndBattleLeaveTheMapAsTheyShould) {
    GlobalState* state = GetGlobalState();
    auto* environment = new GUIBaseObject;
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("EnvironmentWindow", environment);
    AddMarker("Guard");

    // A battle keeps the map. With nobody in the party the battle is
    // refused with a line, and the game goes back to the kept map.
    RequestCombatTransition();
    EXPECT_NE(Go().find("CombatManager::StartCombat:  Failed, the party has no member who can fight\n"),
              std::string::npos);
    EXPECT_NE(lua.Entities().GetEntityByName("Guard"), nullptr);
    EXPECT_EQ(state->stateSwitchRequest, 1);
    {
        StderrCapture quiet;
        Go();
    }
    EXPECT_NE(lua.Entities().GetEntityByName("Guard"), nullptr);
    EXPECT_EQ(state->eventHandler, nullptr);

    // The title screen unloads the map and closes the map's window.
    {
        StderrCapture quiet;
        RequestTitleTransition();
    }
    // Entering the title builds the title screen; this folder holds no
    // title archive, so it is built without its picture.
    EXPECT_EQ(Go().rfind("Building TitleScreen - ", 0), 0u);
    EXPECT_EQ(lua.Entities().GetEntityByName("Guard"), nullptr);
    EXPECT_FALSE(environment->IsSelfVisible());
    EXPECT_EQ(state->eventHandler, TitleStateHandleEvent);
    EXPECT_EQ(state->renderFunction, TitleStateRender);
    EXPECT_EQ(GetTransitionState().currentMode, kTransitionTitle);

    // A press on the title screen starts the game at the load target; with
    // no entity named, the player stays where the map's script put it.
    lua.Maps().SetLoadTarget("MAPNONE");
    TitleStateHandleEvent(Event(ALLEGRO_EVENT_MOUSE_BUTTON_DOWN), &context);
    EXPECT_EQ(state->stateSwitchRequest, 1);
    EXPECT_EQ(Go(), "TransitionToMap:  Warning, Entity mode set but no string specified\n");
    EXPECT_TRUE(lua.Maps().IsDefinedMapMode());
    EXPECT_TRUE(environment->IsSelfVisible());
}

TEST_F(TransitionTest, MapLoadWarnsAboutMissingTargets) {
    std::string out;
    {
        StderrCapture cap;
        TransitionToMap();
        out = cap.Take();
    }
    EXPECT_EQ(out.rfind("TransitionToMap:  Warning, map target was NULL, dropping to DebugRoom\n", 0), 0u) << out;
    EXPECT_EQ(lua.Maps().GetMapName(), "DebugRoom");

    RequestEntityTransition("MAPNONE", "Nobody");
    StderrCapture cap;
    TransitionToMap();
    EXPECT_EQ(cap.Take(), "TransitionToMap:  Warning, Entity mode failed, Nobody not found\n");
    EXPECT_FALSE(GetTransitionState().entityName);
}

// A request filed while a transition runs (during its fade, or by the new
// map's script) neither replaces it nor changes the record it works from;
// it is filed when that transition ends. A change waits as well for a line
// being typed, which keeps its text and its keys until sent or left.
TEST_F(TransitionTest, RequestDuringARunningTransitionWaitsForItsEnd) {
    GlobalState* state = GetGlobalState();
    dir.WriteFile("Maps/Cave.plf", "level");
    dir.WriteFile("Scripts/Maps/Cave.lua", "RequestDeeper()\nrequested = 1\n");
    lua_register(lua.L(), "RequestDeeper", [](lua_State*) -> int {
        RequestMapTransition("MAPNONE", 5, 6, 7);
        return 0;
    });

    RequestMapTransition("Cave", 1, 2, 3);
    StartTransition();
    Transition* first = state->transition;
    Tick();
    RequestEntityTransition("Elsewhere", "Gate");
    EXPECT_EQ(HeldTransitionRequestCount(), 1u);
    EXPECT_EQ(GetTransitionState().mapName, "Cave");
    EXPECT_EQ(state->stateSwitchRequest, 0);
    state->stateSwitchRequest = 1;  // as if filed some other way
    StartTransition();
    EXPECT_EQ(state->transition, first);
    state->stateSwitchRequest = 0;

    std::string out = RunToEnd();
    EXPECT_EQ(lua.GetNumber("requested"), 1) << out;
    EXPECT_EQ(lua.Maps().GetMapName(), "Cave");

    // Both were filed, in order, once the first transition ended.
    EXPECT_EQ(HeldTransitionRequestCount(), 0u);
    EXPECT_EQ(state->stateSwitchRequest, 1);
    EXPECT_EQ(display->IsSnapshotRequested(), 1);
    EXPECT_EQ(GetTransitionState().mapName, "MAPNONE");
    EXPECT_EQ(GetTransitionState().dropZ, 7);
    GUIBaseObject line;
    line.SetHoldsInput(true);
    lua.Gui().GetControlStack().Push(&line);
    StartTransition();
    EXPECT_EQ(state->transition, nullptr);
    lua.Gui().GetControlStack().Remove(&line);
    EXPECT_EQ(Go(), "");
    EXPECT_EQ(lua.Maps().GetMapName(), "MAPNONE");
}

TEST_F(TransitionTest, DrawShowsTheSnapshotDarkenedByTheFade) {
    BitmapWrapper source(32, 24, &GetGlobalState()->openGLMode);
    source.ClearToRGBA(200, 100, 50, 255);
    BitmapWrapper target(32, 24, &GetGlobalState()->openGLMode);
    target.ClearToRGBA(9, 9, 9, 255);
    auto pixel = [&target] {
        unsigned char r, g, b;
        al_unmap_rgb(al_get_pixel(target.GetBitmap(), 5, 5), &r, &g, &b);
        return std::vector<int>{r, g, b};
    };
    display->SetSnapshotSource(&source);
    RequestMapTransition("MAPNONE", 0, 0, 0);
    Transition transition(&GetGlobalState()->openGLMode);

    // Black before the first tick; then the frame, captured at the first
    // draw, at full strength; at level 128 every channel is halved.
    transition.DrawInto(&target);
    EXPECT_EQ(pixel(), (std::vector<int>{0, 0, 0}));
    transition.Update();
    transition.DrawInto(&target);
    EXPECT_EQ(pixel(), (std::vector<int>{200, 100, 50}));
    for (int i = 0; i < 8; ++i) transition.Update();
    transition.DrawInto(&target);
    std::vector<int> half = pixel();
    EXPECT_NEAR(half[0], 100, 1);
    EXPECT_NEAR(half[1], 50, 1);
    EXPECT_NEAR(half[2], 25, 1);

    // Not owned by a slot: ending leaves the object and the snapshot alone.
    transition.End();
    EXPECT_NE(display->GetSnapshot(), nullptr);
}

TEST_F(TransitionTest, PlayerIsLockedThroughoutAndPlacedOnce) {
    MakePlayer();
    dir.WriteFile("Maps/Cave.plf", "level");
    dir.WriteFile("Maps/Hall.plf", "level");
    dir.WriteFile("Scripts/Maps/Cave.lua", "AddGate()\n");
    dir.WriteFile("Scripts/Maps/Hall.lua", "TH_DropPlayerAtTarget()\nMovePlayer()\n");
    lua_register(lua.L(), "AddGate", AddGate);
    lua_register(lua.L(), "MovePlayer", MovePlayer);

    RequestMapTransition("MAPNONE", 10, 20, 0);
    StartTransition();
    Tick();
    EXPECT_TRUE(player->HoldsInputLock("Transition"));
    RunToEnd();
    EXPECT_FALSE(player->HasInputLock());
    EXPECT_EQ(PlayerAt(), (std::vector<float>{10, 20, 0}));

    // At an entity the map's script made.
    RequestEntityTransition("Cave", "Gate");
    Go();
    EXPECT_EQ(PlayerAt(), (std::vector<float>{40, 50, 0}));
    // The script placed the player and moved it on: it stays there.
    RequestMapTransition("Hall", 100, 100, 0);
    Go();
    EXPECT_EQ(PlayerAt(), (std::vector<float>{7, 7, 0}));
    // The player's reserved name works as the entity.
    RequestEntityTransition("MAPNONE", EntityManager::kPlayerName);
    Go();
    EXPECT_EQ(PlayerAt(), (std::vector<float>{0, 0, 0}));
}

TEST_F(TransitionTest, DropPlayerAtTargetFollowsTheRecord) {
    TransitionState& record = GetTransitionState();
    auto call = [this](const std::string& chunk) { return testsupport::RunScript(lua, chunk); };
    // Any argument count; never any results.
    record.dropX = 3, record.dropY = 4, record.dropZ = 5;
    EXPECT_EQ(call("n = select('#', TH_DropPlayerAtTarget(1, 'x'))"),
              "TH_DropPlayerAtTarget:  Failed, PlayerVorn does not exist\n");
    EXPECT_EQ(lua.GetNumber("n"), 0);
    EXPECT_EQ(record.placed, 0);
    MakePlayer();
    EXPECT_EQ(call("TH_DropPlayerAtTarget()"), "");
    EXPECT_EQ(PlayerAt(), (std::vector<float>{3, 4, 5}));
    EXPECT_EQ(record.placed, 1);

    record.placed = 0;
    record.entityMode = 1;
    EXPECT_EQ(call("TH_DropPlayerAtTarget()"), "TransitionToMap:  Warning, Entity mode set but no string specified\n");
    record.entityName = "Gate";
    EXPECT_EQ(call("TH_DropPlayerAtTarget()"), "TransitionToMap:  Warning, Entity mode failed, Gate not found\n");
    EXPECT_EQ(record.placed, 0);
    AddMarker("Gate", 40.0f, 50.0f);
    EXPECT_EQ(call("TH_DropPlayerAtTarget()"), "");
    EXPECT_EQ(PlayerAt(), (std::vector<float>{40, 50, 0}));
    EXPECT_EQ(record.placed, 1);
}

}  // namespace
