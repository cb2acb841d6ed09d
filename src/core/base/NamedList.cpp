#include "core/base/NamedList.h"

#include <cstdlib>
#include <cstring>

namespace {
void FreeValue(void* value) { std::free(value); }
}  // namespace

NamedList::NamedList() : m_defaultDeleter(&FreeValue) {}

NamedList::NamedList(bool ownsValues) : m_defaultDeleter(&FreeValue), m_ownsValues(ownsValues) {}

NamedList::~NamedList() { Destroy(); }

void NamedList::Init(uint32_t valueSize, bool ownsValues) {
    Clear();
    m_saved.clear();
    m_cursor = Cursor{};
    m_valueSize = valueSize;
    m_ownsValues = ownsValues;
}

void NamedList::Destroy() {
    Clear();
    m_saved.clear();
}

void NamedList::SetDefaultDeleter(ValueDeleter deleter) { m_defaultDeleter = deleter ? deleter : &FreeValue; }

// ---------------------------------------------------------------- additions

void* NamedList::Insert(const char* name, void* value, ValueDeleter deleter, bool atFront) {
    if (!name) return nullptr;
    Node* node = new Node;
    node->name = name;
    node->value = value;
    node->deleter = deleter;
    if (atFront) {
        node->next = m_head;
        if (m_head) m_head->previous = node;
        else m_tail = node;
        m_head = node;
    } else {
        node->previous = m_tail;
        if (m_tail) m_tail->next = node;
        else m_head = node;
        m_tail = node;
    }
    ++m_count;
    return value;
}

void* NamedList::Add(const char* name, void* value) { return Insert(name, value, nullptr, false); }

void* NamedList::AddWithDeleter(const char* name, void* value, ValueDeleter deleter) {
    return Insert(name, value, deleter, false);
}

void* NamedList::AddToFront(const char* name, void* value) { return Insert(name, value, nullptr, true); }

void* NamedList::AddToFrontWithDeleter(const char* name, void* value, ValueDeleter deleter) {
    return Insert(name, value, deleter, true);
}

// ------------------------------------------------------------------ lookups

NamedList::Node* NamedList::FindNode(const char* name) const {
    if (!name) return nullptr;
    for (Node* node = m_head; node; node = node->next)
        if (std::strcmp(node->name.c_str(), name) == 0) return node;
    return nullptr;
}

void* NamedList::Find(const char* name) const {
    Node* node = FindNode(name);
    return node ? node->value : nullptr;
}

NamedList::Node* NamedList::NodeAt(int index) const {
    if (index < 0 || index >= m_count) return nullptr;
    Node* node = m_head;
    for (int i = 0; i < index && node; ++i) node = node->next;
    return node;
}

void* NamedList::GetAt(int index) const {
    Node* node = NodeAt(index);
    return node ? node->value : nullptr;
}

int NamedList::IndexOfName(const char* name) const {
    if (!name) return -1;
    int index = 0;
    for (Node* node = m_head; node; node = node->next, ++index)
        if (std::strcmp(node->name.c_str(), name) == 0) return index;
    return -1;
}

int NamedList::IndexOfValue(const void* value) const {
    int index = 0;
    for (Node* node = m_head; node; node = node->next, ++index)
        if (node->value == value) return index;
    return -1;
}

bool NamedList::ContainsValue(const void* value) const { return IndexOfValue(value) >= 0; }

void* NamedList::ReplaceValue(const char* name, void* value) {
    Node* node = FindNode(name);
    if (!node) return nullptr;
    void* old = node->value;
    node->value = value;
    return old;
}

// ----------------------------------------------------------------- removals

void NamedList::MoveOff(Cursor& cursor, const Node* node) {
    if (cursor.node != node) return;
    // Step back one node, or park before the head, so that the next forward
    // step yields the node that followed the removed one.
    if (node->previous) {
        cursor.node = node->previous;
    } else {
        cursor.node = nullptr;
        cursor.beforeHead = true;
    }
}

void* NamedList::RemoveNode(Node* node) {
    MoveOff(m_cursor, node);
    for (Cursor& saved : m_saved) MoveOff(saved, node);

    if (node->previous) node->previous->next = node->next;
    else m_head = node->next;
    if (node->next) node->next->previous = node->previous;
    else m_tail = node->previous;
    --m_count;
    if (m_count == 0) m_head = m_tail = nullptr;
    node->next = node->previous = nullptr;
    return FreeNode(node);
}

void* NamedList::FreeNode(Node* node) {
    void* value = node->value;
    ValueDeleter deleter = node->deleter ? node->deleter : m_defaultDeleter;
    delete node;
    if (!m_ownsValues) return value;
    if (value) deleter(value);
    return nullptr;
}

void* NamedList::RemoveFirst() { return m_head ? RemoveNode(m_head) : nullptr; }

void* NamedList::RemoveLast() { return m_tail ? RemoveNode(m_tail) : nullptr; }

void* NamedList::Remove(const char* name) {
    if (!name || !m_head) return nullptr;
    if (std::strcmp(m_head->name.c_str(), name) == 0) return RemoveNode(m_head);
    if (std::strcmp(m_tail->name.c_str(), name) == 0) return RemoveNode(m_tail);
    for (Node* node = m_head->next; node && node != m_tail; node = node->next)
        if (std::strcmp(node->name.c_str(), name) == 0) return RemoveNode(node);
    return nullptr;
}

void* NamedList::RemoveAt(int index) {
    Node* node = NodeAt(index);
    return node ? RemoveNode(node) : nullptr;
}

void* NamedList::RemoveValue(const void* value) {
    for (Node* node = m_head; node; node = node->next)
        if (node->value == value) return RemoveNode(node);
    return nullptr;
}

void NamedList::Clear() {
    // Detach the whole chain first, so that a deleter that looks at the list
    // sees it already empty, and send every cursor to the end.
    Node* node = m_head;
    m_head = m_tail = nullptr;
    m_count = 0;
    m_cursor = Cursor{};
    for (Cursor& saved : m_saved) saved = Cursor{};
    while (node) {
        Node* next = node->next;
        FreeNode(node);
        node = next;
    }
}

// -------------------------------------------------------------- flat walks

void NamedList::Step(Cursor& cursor, bool forward) const {
    if (cursor.beforeHead) {
        cursor.beforeHead = false;
        cursor.node = forward ? m_head : nullptr;
    } else if (cursor.node) {
        cursor.node = forward ? cursor.node->next : cursor.node->previous;
    }
}

void* NamedList::First() {
    m_cursor = Cursor{m_head, false};
    return CursorValue();
}

void* NamedList::Last() {
    m_cursor = Cursor{m_tail, false};
    return CursorValue();
}

void* NamedList::Next() {
    Step(m_cursor, true);
    return CursorValue();
}

void* NamedList::Prev() {
    Step(m_cursor, false);
    return CursorValue();
}

NamedList* NamedList::CursorToFirst() {
    m_cursor = Cursor{m_head, false};
    return this;
}

void NamedList::CursorToLast() { m_cursor = Cursor{m_tail, false}; }

bool NamedList::CursorNext() {
    if (!m_cursor.node && !m_cursor.beforeHead) return false;
    Step(m_cursor, true);
    return true;
}

bool NamedList::CursorPrev() {
    if (!m_cursor.node && !m_cursor.beforeHead) return false;
    Step(m_cursor, false);
    return true;
}

void* NamedList::CursorValue() const { return m_cursor.node ? m_cursor.node->value : nullptr; }

const char* NamedList::CursorName() const { return m_cursor.node ? m_cursor.node->name.c_str() : nullptr; }

NamedList::Node* NamedList::GetCursorNode() const { return m_cursor.node; }

bool NamedList::SeekValue(const void* value) {
    m_cursor = Cursor{};
    for (Node* node = m_head; node; node = node->next) {
        if (node->value == value) {
            m_cursor.node = node;
            return true;
        }
    }
    return false;
}

void* NamedList::RemoveAtCursor() { return m_cursor.node ? RemoveNode(m_cursor.node) : nullptr; }

// ------------------------------------------------------------ nested walks

void* NamedList::PushIterator() {
    if (!m_head) return nullptr;
    m_saved.push_back(Cursor{m_head, false});
    return m_head->value;
}

void* NamedList::IteratorNext() {
    if (m_saved.empty()) return nullptr;
    Cursor& top = m_saved.back();
    Step(top, true);
    return top.node ? top.node->value : nullptr;
}

void* NamedList::IteratorNextOrPop() {
    if (m_saved.empty()) return nullptr;
    Cursor& top = m_saved.back();
    Step(top, true);
    if (!top.node) {
        m_saved.pop_back();
        return nullptr;
    }
    return top.node->value;
}

const char* NamedList::IteratorName() const {
    if (m_saved.empty() || !m_saved.back().node) return nullptr;
    return m_saved.back().node->name.c_str();
}

void* NamedList::IteratorValue() const {
    if (m_saved.empty() || !m_saved.back().node) return nullptr;
    return m_saved.back().node->value;
}

void NamedList::PopIterator() {
    if (!m_saved.empty()) m_saved.pop_back();
}

void NamedList::ClearIterators() { m_saved.clear(); }
