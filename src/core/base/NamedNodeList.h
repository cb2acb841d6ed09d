#pragma once
// A lighter string-keyed list: no cursor and no per-node deleters. Script
// variable sets keep their variables on it; FindNode gives a caller the node
// so it can replace a value in place.
#include <cstdint>
#include <string>

#include "core/base/NamedChain.h"

class NamedNodeList {
public:
    using Deleter = ValueDeleter;

    struct Node {
        std::string name;
        Node* next = nullptr;
        Node* previous = nullptr;
        void* value = nullptr;
    };

    NamedNodeList();  // same as Init(4, false)
    explicit NamedNodeList(bool ownsValues);
    ~NamedNodeList();  // Destroy()
    NamedNodeList(const NamedNodeList&) = delete;
    NamedNodeList& operator=(const NamedNodeList&) = delete;

    // Empties the list and starts afresh with the given settings.
    void Init(uint32_t valueSize, bool ownsValues);
    void Destroy();

    // An owning list releases removed values with this (std::free unless
    // changed) and hands back null; a non-owning list hands the value back.
    void SetDeleter(Deleter deleter);
    bool OwnsValues() const { return m_chain.OwnsValues(); }

    int GetCount() const { return m_chain.Count(); }

    // Appends; returns the value. A null name adds nothing and returns null.
    void* Add(const char* name, void* value);
    void* Add(const std::string& name, void* value) { return Add(name.c_str(), value); }

    void* RemoveFirst();
    void* RemoveLast();
    // With duplicated names the head wins, then the tail, then the first
    // inner match.
    void* Remove(const char* name);
    void* Remove(const std::string& name) { return Remove(name.c_str()); }
    void* RemoveAt(int index);
    void Clear();

    void* Find(const char* name) const;
    void* Find(const std::string& name) const { return Find(name.c_str()); }
    Node* FindNode(const char* name) const;
    Node* FindNode(const std::string& name) const { return FindNode(name.c_str()); }
    void* GetAt(int index) const;
    Node* GetNodeAt(int index) const;

    Node* GetHead() const { return m_chain.Head(); }
    Node* GetTail() const { return m_chain.Tail(); }

private:
    NamedChain<Node> m_chain;
    uint32_t m_valueSize = 4;
};
