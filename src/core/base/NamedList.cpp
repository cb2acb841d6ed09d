#include "core/base/NamedList.h"

NamedList::NamedList() = default;

NamedList::NamedList(bool ownsValues) { m_chain.SetOwnsValues(ownsValues); }

NamedList::~NamedList() { Destroy(); }

void NamedList::Init(uint32_t valueSize, bool ownsValues) {
    Clear();
    m_saved.clear();
    m_cursor = Cursor{};
    m_valueSize = valueSize;
    m_chain.SetOwnsValues(ownsValues);
}

void NamedList::Destroy() {
    Clear();
    m_saved.clear();
}

void NamedList::SetDefaultDeleter(ValueDeleter deleter) { m_chain.SetDefaultDeleter(deleter); }

// ---------------------------------------------------------------- additions

void* NamedList::Insert(const char* name, void* value, ValueDeleter deleter, bool atFront) {
    Node* node = m_chain.Insert(name, value, atFront);
    if (!node) return nullptr;
    node->deleter = deleter;
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

NamedList::Node* NamedList::FindNode(const char* name) const { return m_chain.Find(name); }

void* NamedList::Find(const char* name) const {
    Node* node = FindNode(name);
    return node ? node->value : nullptr;
}

void* NamedList::GetAt(int index) const {
    Node* node = m_chain.At(index);
    return node ? node->value : nullptr;
}

int NamedList::IndexOfName(const char* name) const {
    if (!name) return -1;
    int index = 0;
    for (Node* node = m_chain.Head(); node; node = node->next, ++index)
        if (node->name == name) return index;
    return -1;
}

int NamedList::IndexOfValue(const void* value) const {
    int index = 0;
    for (Node* node = m_chain.Head(); node; node = node->next, ++index)
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
    return m_chain.Remove(node);
}

void* NamedList::RemoveFirst() { return m_chain.Head() ? RemoveNode(m_chain.Head()) : nullptr; }

void* NamedList::RemoveLast() { return m_chain.Tail() ? RemoveNode(m_chain.Tail()) : nullptr; }

void* NamedList::Remove(const char* name) {
    Node* node = m_chain.FindForRemoval(name);
    return node ? RemoveNode(node) : nullptr;
}

void* NamedList::RemoveAt(int index) {
    Node* node = m_chain.At(index);
    return node ? RemoveNode(node) : nullptr;
}

void* NamedList::RemoveValue(const void* value) {
    for (Node* node = m_chain.Head(); node; node = node->next)
        if (node->value == value) return RemoveNode(node);
    return nullptr;
}

void NamedList::Clear() {
    // Every cursor goes to the end before any value is released.
    m_cursor = Cursor{};
    for (Cursor& saved : m_saved) saved = Cursor{};
    m_chain.Clear();
}

// -------------------------------------------------------------- flat walks

void NamedList::Step(Cursor& cursor, bool forward) const {
    if (cursor.beforeHead) {
        cursor.beforeHead = false;
        cursor.node = forward ? m_chain.Head() : nullptr;
    } else if (cursor.node) {
        cursor.node = forward ? cursor.node->next : cursor.node->previous;
    }
}

void* NamedList::First() {
    m_cursor = Cursor{m_chain.Head(), false};
    return CursorValue();
}

void* NamedList::Last() {
    m_cursor = Cursor{m_chain.Tail(), false};
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
    m_cursor = Cursor{m_chain.Head(), false};
    return this;
}

void NamedList::CursorToLast() { m_cursor = Cursor{m_chain.Tail(), false}; }

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
    for (Node* node = m_chain.Head(); node; node = node->next) {
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
    if (!m_chain.Head()) return nullptr;
    m_saved.push_back(Cursor{m_chain.Head(), false});
    return m_chain.Head()->value;
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
