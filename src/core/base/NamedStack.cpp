#include "core/base/NamedStack.h"

NamedStack::~NamedStack() { Destroy(); }

void NamedStack::Init() { Clear(); }

void NamedStack::Destroy() { Clear(); }

void* NamedStack::Push(const char* name, void* value) {
    if (!name || !value) return nullptr;
    m_top = new Entry{name, value, m_top};
    ++m_count;
    return value;
}

void* NamedStack::Pop() {
    if (!m_top) return nullptr;
    Entry* entry = m_top;
    m_top = entry->below;
    --m_count;
    void* value = entry->value;
    delete entry;
    return value;
}

void* NamedStack::Peek() const { return m_top ? m_top->value : nullptr; }

const char* NamedStack::PeekName() const { return m_top ? m_top->name.c_str() : nullptr; }

void NamedStack::Clear() {
    while (m_top) Pop();
}
