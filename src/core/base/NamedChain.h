#pragma once
// The doubly linked chain of named nodes under NamedList and NamedNodeList:
// linking at either end, unlinking, lookups by name and index, and the
// release rule every removal follows. Keys are compared exactly
// (case-sensitive); duplicated names are allowed.
//
// A Node has `name`, `next`, `previous` and `value`; a node that also has a
// `deleter` releases its value with it when it is set.
#include <cstdlib>
#include <cstring>

using ValueDeleter = void (*)(void*);

template <class Node> class NamedChain {
public:
    NamedChain() = default;
    NamedChain(const NamedChain&) = delete;
    NamedChain& operator=(const NamedChain&) = delete;
    ~NamedChain() { Clear(); }

    Node* Head() const { return m_head; }
    Node* Tail() const { return m_tail; }
    int Count() const { return m_count; }

    // Release rule: a non-owning chain hands a removed value back; an owning
    // chain releases it with its node's deleter, else with the default
    // deleter (std::free unless changed), and hands back null.
    void SetOwnsValues(bool ownsValues) { m_ownsValues = ownsValues; }
    bool OwnsValues() const { return m_ownsValues; }
    void SetDefaultDeleter(ValueDeleter deleter) { m_defaultDeleter = deleter ? deleter : &FreeValue; }

    // Links a new node at the front or the back; a null name links nothing.
    Node* Insert(const char* name, void* value, bool atFront) {
        if (!name) return nullptr;
        Node* node = new Node;
        node->name = name;
        node->value = value;
        if (atFront) {
            node->next = m_head;
            if (m_head)
                m_head->previous = node;
            else
                m_tail = node;
            m_head = node;
        } else {
            node->previous = m_tail;
            if (m_tail)
                m_tail->next = node;
            else
                m_head = node;
            m_tail = node;
        }
        ++m_count;
        return node;
    }

    // Unlinks the node and applies the release rule.
    void* Remove(Node* node) {
        if (node->previous)
            node->previous->next = node->next;
        else
            m_head = node->next;
        if (node->next)
            node->next->previous = node->previous;
        else
            m_tail = node->previous;
        --m_count;
        if (m_count == 0) m_head = m_tail = nullptr;
        node->next = node->previous = nullptr;
        return Release(node);
    }

    // Removes every node. The whole chain is detached first, so that a
    // deleter that looks at the owner sees it already empty.
    void Clear() {
        Node* node = m_head;
        m_head = m_tail = nullptr;
        m_count = 0;
        while (node) {
            Node* next = node->next;
            Release(node);
            node = next;
        }
    }

    // The first node with the name from the head; null when none.
    Node* Find(const char* name) const {
        if (!name) return nullptr;
        for (Node* node = m_head; node; node = node->next)
            if (std::strcmp(node->name.c_str(), name) == 0) return node;
        return nullptr;
    }

    // The node a removal takes among those `matches` accepts: the head wins,
    // then the tail, then the first inner match.
    template <class Matches> Node* FindForRemovalIf(Matches matches) const {
        if (!m_head) return nullptr;
        if (matches(*m_head)) return m_head;
        if (matches(*m_tail)) return m_tail;
        for (Node* node = m_head->next; node && node != m_tail; node = node->next)
            if (matches(*node)) return node;
        return nullptr;
    }

    // The same among the nodes of that name.
    Node* FindForRemoval(const char* name) const {
        if (!name) return nullptr;
        return FindForRemovalIf([name](const Node& node) { return std::strcmp(node.name.c_str(), name) == 0; });
    }

    Node* At(int index) const {
        if (index < 0 || index >= m_count) return nullptr;
        Node* node = m_head;
        for (int i = 0; i < index && node; ++i) node = node->next;
        return node;
    }

private:
    static void FreeValue(void* value) { std::free(value); }

    void* Release(Node* node) {
        void* value = node->value;
        ValueDeleter deleter = m_defaultDeleter;
        if constexpr (requires { node->deleter; }) {
            if (node->deleter) deleter = node->deleter;
        }
        delete node;
        if (!m_ownsValues) return value;
        if (value) deleter(value);
        return nullptr;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    ValueDeleter m_defaultDeleter = &FreeValue;
    bool m_ownsValues = false;
    int m_count = 0;
};
