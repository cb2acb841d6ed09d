// A global event queue with one event waiting in it, for code that behaves
// differently while more events wait behind the one being handled. Installs
// itself as the program's event queue and puts the previous one back when it
// goes.
#pragma once

#include <allegro5/allegro.h>

#include "core/base/GlobalState.h"

namespace testsupport {

class WaitingEventQueue {
public:
    WaitingEventQueue() : m_queue(al_create_event_queue()), m_saved(GetGlobalState()->eventQueue) {
        al_init_user_event_source(&m_source);
        al_register_event_source(m_queue, &m_source);
        ALLEGRO_EVENT pending{};
        pending.type = ALLEGRO_GET_EVENT_TYPE('T', 'E', 'S', 'T');
        al_emit_user_event(&m_source, &pending, nullptr);
        GetGlobalState()->eventQueue = m_queue;
    }
    ~WaitingEventQueue() {
        GetGlobalState()->eventQueue = m_saved;
        al_unregister_event_source(m_queue, &m_source);
        al_destroy_user_event_source(&m_source);
        al_destroy_event_queue(m_queue);
    }
    WaitingEventQueue(const WaitingEventQueue&) = delete;
    WaitingEventQueue& operator=(const WaitingEventQueue&) = delete;

    // Empties the queue: from now on no event waits.
    void Flush() { al_flush_event_queue(m_queue); }
    ALLEGRO_EVENT_QUEUE* Queue() const { return m_queue; }

private:
    ALLEGRO_EVENT_QUEUE* m_queue;
    ALLEGRO_EVENT_QUEUE* m_saved;
    ALLEGRO_EVENT_SOURCE m_source{};
};

}  // namespace testsupport
