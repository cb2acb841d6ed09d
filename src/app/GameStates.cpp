#include "app/GameStates.h"

#include "app/FrameContext.h"
#include "app/Transition.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/FramePhases.h"
#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/media/DisplayManager.h"
#include "core/media/SoundManager.h"
#include "core/script/KeyboardManager.h"
#include "core/script/TimerManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "network/NetworkManager.h"
#include "world/BackgroundManager.h"
#include "world/ChatManager.h"
#include "world/EntityManager.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIManager.h"

namespace {

// A key event, or the display losing the focus, goes to the keyboard in
// the order it came; the keys act at the next tick.
void NoteKeyEvent(const ALLEGRO_EVENT& event) {
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->HandleEvent(event);
}

// The tick's key flags and strokes, from the key events since the last
// and the time the tick stands for.
void UpdateKeyboard(const ALLEGRO_EVENT& tick) {
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) {
        keyboard->HandleEvent(tick);
        keyboard->UpdateKeys();
        keyboard->UpdateBindings();
    }
}

void HandleHotkeys() {
    if (GUIManager* gui = GetGlobalState()->guiManager) gui->HandleHotkeys();
}

// Before a click: the keys struck before it act first, in the stream's order.
void HandOutStrokes() {
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->OfferPendingStrokes();
    HandleHotkeys();
}

void GuiPulse() {
    if (GUIManager* gui = GetGlobalState()->guiManager) gui->HandleMouseEvent(-1);
}

void SetEntityMouseState(int32_t state) {
    if (EntityManager* entities = GetGlobalState()->entityManager) entities->SetMouseState(state);
}

void UpdateSound() {
    if (SoundManager* sound = GetGlobalState()->soundManager) sound->Update();
}

void UpdateFade() {
    if (DisplayManager* display = GetGlobalState()->displayManager) display->UpdateFade();
}

// Key, close and mouse events are handled alike by the title and the main
// game. Returns true when the event was one of them.
bool HandleCommonEvent(const ALLEGRO_EVENT& event, FrameContext* context) {
    GlobalState* state = GetGlobalState();
    switch (event.type) {
        case ALLEGRO_EVENT_DISPLAY_CLOSE: state->quit = 1; return true;
        case ALLEGRO_EVENT_DISPLAY_SWITCH_OUT: NoteKeyEvent(event); return true;
        case ALLEGRO_EVENT_KEY_DOWN:
        case ALLEGRO_EVENT_KEY_UP: NoteKeyEvent(event); return true;
        case ALLEGRO_EVENT_MOUSE_AXES:
        case ALLEGRO_EVENT_MOUSE_ENTER_DISPLAY:
            if (state->guiManager)
                state->guiManager->SetMousePosition(static_cast<float>(event.mouse.x),
                                                    static_cast<float>(event.mouse.y));
            return true;
        case ALLEGRO_EVENT_MOUSE_BUTTON_DOWN:
        case ALLEGRO_EVENT_MOUSE_BUTTON_UP: {
            HandOutStrokes();
            // Presses go to the entities, then the GUI; what the GUI does not
            // take goes on to the map once maps exist.
            int code = event.type == ALLEGRO_EVENT_MOUSE_BUTTON_DOWN ? 0 : 1;
            SetEntityMouseState(code);
            GUIManager* gui = state->guiManager;
            if (gui && gui->HandleMouseEvent(code)) return true;
            if (state->mapManager && gui) {
                state->mapManager->ProcessEvent(code, static_cast<int32_t>(gui->GetMouseX()),
                                                static_cast<int32_t>(gui->GetMouseY()));
            }
            return true;
        }
        default: return false;
    }
}

void RenderIfDue(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) {
    if (!context || !context->redrawPending || !queue || !al_is_event_queue_empty(queue)) return;
    context->redrawPending = 0;
    if (DisplayManager* display = GetGlobalState()->displayManager) display->Render();
}

}  // namespace

void GameStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context) {
    if (!context) return;
    if (event.type == ALLEGRO_EVENT_TIMER) {
        GlobalState* state = GetGlobalState();
        PhaseScope phase(FramePhase::Update);
        UpdateKeyboard(event);
        HandleHotkeys();
        if (state->timerManager) state->timerManager->Tick();
        if (state->backgroundManager) state->backgroundManager->Update();
        if (state->player) state->player->SafeUpdate();
        SetEntityMouseState(-1);
        if (state->entityManager) state->entityManager->UpdateAll();
        if (state->aiManager) state->aiManager->UpdateFloatingAI();
        GuiPulse();
        if (state->chatManager) state->chatManager->Update();
        // Chunk streaming around the player.
        if (state->mapManager) {
            PhaseScope streaming(FramePhase::Streaming);
            state->mapManager->ProcessEvent(-1, -1, -1);
        }
        UpdateSound();
        UpdateFade();
        context->redrawPending = 1;
        if (state->networkManager) state->networkManager->Update();
        return;
    }
    HandleCommonEvent(event, context);
}

void GameStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) { RenderIfDue(queue, context); }

void TitleStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context) {
    if (!context) return;
    if (event.type == ALLEGRO_EVENT_TIMER) {
        UpdateKeyboard(event);
        HandleHotkeys();
        GuiPulse();
        UpdateSound();
        UpdateFade();
        context->redrawPending = 1;
        GetGlobalState()->holdDrawing = 0;
        return;
    }
    HandleCommonEvent(event, context);
    // Every press on the title screen, after the GUI and the map had their
    // chance at it, requests the start of the game.
    if (event.type == ALLEGRO_EVENT_MOUSE_BUTTON_DOWN) RequestStartTransition();
}

void TitleStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) { RenderIfDue(queue, context); }

void HandleCombatEvent(ALLEGRO_EVENT event, FrameContext* context) {
    if (!context) return;
    GlobalState* state = GetGlobalState();
    GUIManager* gui = state->guiManager;
    switch (event.type) {
        case ALLEGRO_EVENT_TIMER:
            UpdateKeyboard(event);
            HandleHotkeys();
            GuiPulse();
            if (CombatManager* combat = GetCombatRegistry().combatManager) combat->Update();
            UpdateSound();
            context->redrawPending = 1;
            break;
        case ALLEGRO_EVENT_DISPLAY_CLOSE: state->quit = 1; break;
        case ALLEGRO_EVENT_DISPLAY_SWITCH_OUT:
        case ALLEGRO_EVENT_KEY_DOWN:
        case ALLEGRO_EVENT_KEY_UP: NoteKeyEvent(event); break;
        case ALLEGRO_EVENT_MOUSE_AXES:
        case ALLEGRO_EVENT_MOUSE_ENTER_DISPLAY:
            if (gui) gui->SetMousePosition(static_cast<float>(event.mouse.x), static_cast<float>(event.mouse.y));
            break;
        case ALLEGRO_EVENT_MOUSE_BUTTON_DOWN:
            HandOutStrokes();
            if (gui) gui->HandleMouseEvent(kGUIEventPress);
            break;
        case ALLEGRO_EVENT_MOUSE_BUTTON_UP:
            HandOutStrokes();
            if (gui) gui->HandleMouseEvent(kGUIEventRelease);
            break;
        default: break;
    }
}

void RedrawCombat(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) {
    if (!context || !context->redrawPending || !queue || !al_is_event_queue_empty(queue)) return;
    if (CombatManager* combat = GetCombatRegistry().combatManager) combat->Draw();
    context->redrawPending = 0;
}

void TransitionStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context) {
    if (!context) return;
    GlobalState* state = GetGlobalState();
    if (!state->transition) StartTransition();
    switch (event.type) {
        case ALLEGRO_EVENT_TIMER:
            UpdateKeyboard(event);
            // May end the transition, which then deletes itself.
            if (state->transition) state->transition->Update();
            UpdateSound();
            context->redrawPending = 1;
            break;
        case ALLEGRO_EVENT_DISPLAY_CLOSE: GetGlobalState()->quit = 1; break;
        case ALLEGRO_EVENT_DISPLAY_SWITCH_OUT:
        case ALLEGRO_EVENT_KEY_DOWN:
        case ALLEGRO_EVENT_KEY_UP: NoteKeyEvent(event); break;
        case ALLEGRO_EVENT_MOUSE_BUTTON_UP:
            // A button let go ends the drag or press it began, as a key-up
            // lets its key go; the world does not hear it.
            if (state->guiManager) state->guiManager->ReleaseMouse(event.mouse.x, event.mouse.y);
            break;
        default:
            // Presses and moves are ignored during a transition.
            break;
    }
}

void TransitionStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) {
    if (!context || !context->redrawPending || !queue || !al_is_event_queue_empty(queue)) return;
    context->redrawPending = 0;
    if (Transition* transition = GetGlobalState()->transition) transition->Draw();
}
