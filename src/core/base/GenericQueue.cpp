#include "core/base/GenericQueue.h"

#include <cstdlib>

namespace {
void FreeValue(void* value) { std::free(value); }
}  // namespace

GenericQueue::Deleter GenericQueue::DefaultDeleter() { return &FreeValue; }

GenericQueue::~GenericQueue() {
    // Only this class's own entries are left here: a derived queue has
    // already cleared its own in its destructor.
    GenericQueue::Clear();
}

void GenericQueue::SetOwnsValues() { m_ownsValues = true; }

void GenericQueue::ReleaseValue(void* value) const {
    if (m_ownsValues && value) m_deleter(value);
}

GenericQueue* GenericQueue::Push(const char* name, void* value) {
    Node* node = new Node{name ? name : "", nullptr, value};
    if (m_tail)
        m_tail->next = node;
    else
        m_head = node;
    m_tail = node;
    ++m_count;
    return this;
}

void* GenericQueue::Pop() {
    if (!m_head) return nullptr;
    Node* node = m_head;
    m_head = node->next;
    if (!m_head) m_tail = nullptr;
    --m_count;
    void* value = node->value;
    delete node;
    return value;
}

void* GenericQueue::Peek() const { return m_head ? m_head->value : nullptr; }

const char* GenericQueue::PeekName() const { return m_head ? m_head->name.c_str() : nullptr; }

void GenericQueue::Clear() {
    Node* node = m_head;
    m_head = m_tail = nullptr;
    m_count = 0;
    while (node) {
        Node* next = node->next;
        void* value = node->value;
        delete node;
        ReleaseValue(value);
        node = next;
    }
}
