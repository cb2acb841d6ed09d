#include "core/base/NamedNodeList.h"

#include <cstdlib>
#include <cstring>

namespace {
void FreeValue(void* value) { std::free(value); }
}  // namespace

NamedNodeList::NamedNodeList() : m_deleter(&FreeValue) {}

NamedNodeList::NamedNodeList(bool ownsValues) : m_deleter(&FreeValue), m_ownsValues(ownsValues) {}

NamedNodeList::~NamedNodeList() { Destroy(); }

void NamedNodeList::Init(uint32_t valueSize, bool ownsValues) {
    Clear();
    m_valueSize = valueSize;
    m_ownsValues = ownsValues;
}

void NamedNodeList::Destroy() { Clear(); }

void NamedNodeList::SetDeleter(Deleter deleter) { m_deleter = deleter ? deleter : &FreeValue; }

void* NamedNodeList::Add(const char* name, void* value) {
    if (!name) return nullptr;
    Node* node = new Node;
    node->name = name;
    node->value = value;
    node->previous = m_tail;
    if (m_tail) m_tail->next = node;
    else m_head = node;
    m_tail = node;
    ++m_count;
    return value;
}

void* NamedNodeList::RemoveNode(Node* node) {
    if (node->previous) node->previous->next = node->next;
    else m_head = node->next;
    if (node->next) node->next->previous = node->previous;
    else m_tail = node->previous;
    --m_count;
    if (m_count == 0) m_head = m_tail = nullptr;
    void* value = node->value;
    delete node;
    if (!m_ownsValues) return value;
    if (value) m_deleter(value);
    return nullptr;
}

void* NamedNodeList::RemoveFirst() { return m_head ? RemoveNode(m_head) : nullptr; }

void* NamedNodeList::RemoveLast() { return m_tail ? RemoveNode(m_tail) : nullptr; }

void* NamedNodeList::Remove(const char* name) {
    if (!name || !m_head) return nullptr;
    if (std::strcmp(m_head->name.c_str(), name) == 0) return RemoveNode(m_head);
    if (std::strcmp(m_tail->name.c_str(), name) == 0) return RemoveNode(m_tail);
    for (Node* node = m_head->next; node && node != m_tail; node = node->next)
        if (std::strcmp(node->name.c_str(), name) == 0) return RemoveNode(node);
    return nullptr;
}

void* NamedNodeList::RemoveAt(int index) {
    Node* node = GetNodeAt(index);
    return node ? RemoveNode(node) : nullptr;
}

void NamedNodeList::Clear() {
    Node* node = m_head;
    m_head = m_tail = nullptr;
    m_count = 0;
    while (node) {
        Node* next = node->next;
        void* value = node->value;
        delete node;
        if (m_ownsValues && value) m_deleter(value);
        node = next;
    }
}

NamedNodeList::Node* NamedNodeList::FindNode(const char* name) const {
    if (!name) return nullptr;
    for (Node* node = m_head; node; node = node->next)
        if (std::strcmp(node->name.c_str(), name) == 0) return node;
    return nullptr;
}

void* NamedNodeList::Find(const char* name) const {
    Node* node = FindNode(name);
    return node ? node->value : nullptr;
}

NamedNodeList::Node* NamedNodeList::GetNodeAt(int index) const {
    if (index < 0 || index >= m_count) return nullptr;
    Node* node = m_head;
    for (int i = 0; i < index && node; ++i) node = node->next;
    return node;
}

void* NamedNodeList::GetAt(int index) const {
    Node* node = GetNodeAt(index);
    return node ? node->value : nullptr;
}
