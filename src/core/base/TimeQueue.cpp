#include "core/base/TimeQueue.h"

#include <climits>
#include <cstdint>

namespace {
// Tick counts saturate instead of wrapping: a held entry may be advanced
// for as long as the program runs.
int Saturate(int64_t ticks) {
    if (ticks > INT_MAX) return INT_MAX;
    if (ticks < INT_MIN) return INT_MIN;
    return static_cast<int>(ticks);
}
}  // namespace

TimeQueue::~TimeQueue() { TimeQueue::Clear(); }

TimeQueue* TimeQueue::Push(const char* name, int time, void* value, bool hold) {
    Entry* entry = new Entry{name ? name : "", time, hold, nullptr, value};
    if (m_tail)
        m_tail->next = entry;
    else
        m_head = entry;
    m_tail = entry;
    ++m_count;
    return this;
}

GenericQueue* TimeQueue::Push(const char* name, void* value) { return Push(name, 0, value, false); }

void* TimeQueue::Advance(int elapsed, bool* fired) {
    if (fired) *fired = false;
    if (!m_head) return nullptr;
    Entry* head = m_head;
    head->time = Saturate(static_cast<int64_t>(head->time) - elapsed);
    if (head->time >= 1 || head->hold) return head->value;

    // The overshoot (zero or negative) counts against the next entry.
    if (head->next) head->next->time = Saturate(static_cast<int64_t>(head->next->time) + head->time);
    if (fired) *fired = true;
    return Pop();
}

void* TimeQueue::Pop() {
    if (!m_head) return nullptr;
    Entry* entry = m_head;
    m_head = entry->next;
    if (!m_head) m_tail = nullptr;
    --m_count;
    void* value = entry->value;
    delete entry;
    return value;
}

void* TimeQueue::Peek() const { return m_head ? m_head->value : nullptr; }

const char* TimeQueue::PeekName() const { return m_head ? m_head->name.c_str() : nullptr; }

void TimeQueue::Clear() {
    Entry* entry = m_head;
    m_head = m_tail = nullptr;
    m_count = 0;
    while (entry) {
        Entry* next = entry->next;
        void* value = entry->value;
        delete entry;
        ReleaseValue(value);
        entry = next;
    }
}

int TimeQueue::GetHeadTime() const { return m_head ? m_head->time : 0; }

bool TimeQueue::GetHeadHold() const { return m_head && m_head->hold; }
