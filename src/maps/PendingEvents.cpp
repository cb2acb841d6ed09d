#include "maps/PendingEvents.h"

#include <allegro5/allegro.h>

#include "core/base/GlobalState.h"

void DropPendingEvents() {
    GlobalState* state = GetGlobalState();
    if (!state->eventQueue) return;
    ALLEGRO_EVENT event;
    while (al_get_next_event(state->eventQueue, &event)) {
        if (event.type == ALLEGRO_EVENT_DISPLAY_CLOSE) state->quit = 1;
        if (ALLEGRO_EVENT_TYPE_IS_USER(event.type)) al_unref_user_event(&event.user);
    }
}
