#pragma once
// A queue of timed entries: only the head counts down; when it runs out (and
// is not held) it fires, leaves the queue, and carries its overshoot over to
// the next entry. A held head keeps counting below zero and fires only when
// popped. The base operations work on these same entries, so the queue stays
// consistent whichever interface a caller uses.
#include "core/base/GenericQueue.h"

class TimeQueue : public GenericQueue {
public:
    TimeQueue() = default;
    ~TimeQueue() override;  // Clear()

    // Appends an entry of `time` ticks and returns the queue; a held entry
    // never fires by itself. A null name is queued as "".
    TimeQueue* Push(const char* name, int time, void* value, bool hold);
    TimeQueue* Push(const std::string& name, int time, void* value, bool hold) {
        return Push(name.c_str(), time, value, hold);
    }
    // Base push: an entry of time 0, not held.
    GenericQueue* Push(const char* name, void* value) override;
    using GenericQueue::Push;

    // Counts the head down by `elapsed` ticks. When it fires, *fired is set,
    // the entry leaves the queue and its value is returned (the caller takes
    // it); otherwise the head's value is returned and *fired is cleared.
    // An empty queue returns null. `fired` may be null.
    void* Advance(int elapsed, bool* fired);

    void* Pop() override;
    void* Peek() const override;
    const char* PeekName() const override;
    void Clear() override;

    // The head's remaining ticks and hold flag (0 and false when empty).
    int GetHeadTime() const;
    bool GetHeadHold() const;

private:
    struct Entry {
        std::string name;
        int time;
        bool hold;
        Entry* next;
        void* value;
    };
    Entry* m_head = nullptr;
    Entry* m_tail = nullptr;
};
