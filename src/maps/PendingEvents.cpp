#include "maps/PendingEvents.h"

#include <allegro5/allegro.h>

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"

void DropPendingEvents() {
    GlobalState* state = GetGlobalState();
    if (!state->eventQueue) return;
    ALLEGRO_EVENT event;
    while (al_get_next_event(state->eventQueue, &event)) {
        switch (event.type) {
            case ALLEGRO_EVENT_DISPLAY_CLOSE: state->quit = 1; break;
            case ALLEGRO_EVENT_KEY_UP:
            case ALLEGRO_EVENT_DISPLAY_SWITCH_OUT:
                if (state->keyboardManager) state->keyboardManager->HandleEvent(event);
                break;
            case ALLEGRO_EVENT_MOUSE_BUTTON_UP:
                // Only the windows hear it: it ends a drag or a press begun
                // on them; the world it was begun on has gone.
                if (state->guiManager) state->guiManager->ReleaseMouse(event.mouse.x, event.mouse.y);
                break;
            default: break;
        }
        if (ALLEGRO_EVENT_TYPE_IS_USER(event.type)) al_unref_user_event(&event.user);
    }
}
