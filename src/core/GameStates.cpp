#include "core/GameStates.h"

#include "core/DisplayManager.h"
#include "core/FrameContext.h"
#include "core/GlobalState.h"
#include "core/KeyboardManager.h"
#include "core/SoundManager.h"
#include "core/TimerManager.h"

namespace {

void RefreshKeyboard(FrameContext* context) {
    if (al_is_keyboard_installed()) al_get_keyboard_state(&context->keyboard);
}

void UpdateKeys(FrameContext* context) {
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->UpdateKeys(&context->keyboard);
}

void UpdateBindings(FrameContext* context) {
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->UpdateBindings(&context->keyboard);
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
        case ALLEGRO_EVENT_DISPLAY_CLOSE:
            state->quit = 1;
            return true;
        case ALLEGRO_EVENT_KEY_DOWN:
        case ALLEGRO_EVENT_KEY_UP:
            RefreshKeyboard(context);
            UpdateKeys(context);
            // The GUI's key receiver gets codes 2 and 3 once the GUI exists.
            return true;
        case ALLEGRO_EVENT_MOUSE_AXES:
        case ALLEGRO_EVENT_MOUSE_ENTER_DISPLAY:
            // The GUI stores the mouse position once it exists.
            return true;
        case ALLEGRO_EVENT_MOUSE_BUTTON_DOWN:
        case ALLEGRO_EVENT_MOUSE_BUTTON_UP:
            // Presses go to the entities, then the GUI, then the map, as
            // those exist.
            return true;
        default:
            return false;
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
        UpdateKeys(context);
        UpdateBindings(context);
        if (state->timerManager) state->timerManager->Tick();
        UpdateSound();
        UpdateFade();
        context->redrawPending = 1;
        return;
    }
    HandleCommonEvent(event, context);
}

void GameStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) { RenderIfDue(queue, context); }

void TitleStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context) {
    if (!context) return;
    if (event.type == ALLEGRO_EVENT_TIMER) {
        UpdateKeys(context);
        UpdateBindings(context);
        UpdateSound();
        UpdateFade();
        context->redrawPending = 1;
        GetGlobalState()->holdDrawing = 0;
        return;
    }
    HandleCommonEvent(event, context);
    // A press on the title screen requests the start of the game once map
    // transitions exist.
}

void TitleStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) { RenderIfDue(queue, context); }

void TransitionStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context) {
    if (!context) return;
    switch (event.type) {
        case ALLEGRO_EVENT_TIMER:
            RefreshKeyboard(context);
            UpdateKeys(context);
            UpdateBindings(context);
            UpdateSound();
            context->redrawPending = 1;
            break;
        case ALLEGRO_EVENT_DISPLAY_CLOSE:
            GetGlobalState()->quit = 1;
            break;
        case ALLEGRO_EVENT_KEY_DOWN:
        case ALLEGRO_EVENT_KEY_UP:
            RefreshKeyboard(context);
            UpdateKeys(context);
            break;
        default:
            // Mouse events are ignored during a transition.
            break;
    }
}

void TransitionStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context) {
    if (!context || !context->redrawPending || !queue || !al_is_event_queue_empty(queue)) return;
    context->redrawPending = 0;
}
