#include "maps/PendingEvents.h"

#include <allegro5/allegro.h>

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"

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
            default: break;
        }
        if (ALLEGRO_EVENT_TYPE_IS_USER(event.type)) al_unref_user_event(&event.user);
    }
}
