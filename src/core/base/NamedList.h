#pragma once
// The string-keyed doubly linked list on which most managers keep their
// objects. Keys are compared exactly (case-sensitive); the list keeps its own
// copy of every key. Duplicated names are allowed.
//
// Walks: the list has one cursor for flat First/Next walks and a stack of
// saved cursors for nested walks (PushIterator / IteratorNextOrPop), which
// leave the single cursor alone. Any removal keeps every cursor valid: a
// cursor on the removed node is moved so that the next step yields the node
// that followed it, and Clear sets every cursor to the end.
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/NamedChain.h"

class NamedList {
public:
    struct Node {
        std::string name;
        Node* next = nullptr;
        Node* previous = nullptr;
        void* value = nullptr;
        ValueDeleter deleter = nullptr;  // null: the list's default deleter
    };

    NamedList();  // same as Init(4, false)
    explicit NamedList(bool ownsValues);
    ~NamedList();  // Destroy()
    NamedList(const NamedList&) = delete;
    NamedList& operator=(const NamedList&) = delete;

    // Empties the list (releasing values by the release rule below) and
    // starts afresh with the given settings; every cursor is reset.
    void Init(uint32_t valueSize, bool ownsValues);
    // Removes every node and drops every saved cursor.
    void Destroy();

    // Release rule of every removal: a non-owning list hands the value back;
    // an owning list releases it with its node's deleter, else with the list's
    // default deleter (std::free unless changed here), and hands back null.
    void SetDefaultDeleter(ValueDeleter deleter);
    bool OwnsValues() const { return m_chain.OwnsValues(); }
    uint32_t GetValueSize() const { return m_valueSize; }

    int GetCount() const { return m_chain.Count(); }
    bool IsEmpty() const { return m_chain.Count() == 0; }

    // Additions return the value; a null name adds nothing and returns null.
    void* Add(const char* name, void* value);
    void* Add(const std::string& name, void* value) { return Add(name.c_str(), value); }
    void* AddWithDeleter(const char* name, void* value, ValueDeleter deleter);
    void* AddToFront(const char* name, void* value);
    void* AddToFront(const std::string& name, void* value) { return AddToFront(name.c_str(), value); }
    void* AddToFrontWithDeleter(const char* name, void* value, ValueDeleter deleter);

    // Lookups: the first match from the head; null / -1 when none.
    void* Find(const char* name) const;
    void* Find(const std::string& name) const { return Find(name.c_str()); }
    Node* FindNode(const char* name) const;
    void* GetAt(int index) const;
    int IndexOfName(const char* name) const;
    int IndexOfName(const std::string& name) const { return IndexOfName(name.c_str()); }
    int IndexOfValue(const void* value) const;
    bool ContainsValue(const void* value) const;
    // Replaces the value of the first node with that name and returns the old
    // value; null when no node has the name (nothing is added).
    void* ReplaceValue(const char* name, void* value);

    // Removals follow the release rule; null when nothing was removed.
    void* RemoveFirst();
    void* RemoveLast();
    // With duplicated names the head wins, then the tail, then the first
    // inner match.
    void* Remove(const char* name);
    void* Remove(const std::string& name) { return Remove(name.c_str()); }
    void* RemoveAt(int index);
    // Removes the first node holding that value pointer.
    void* RemoveValue(const void* value);
    // The node Remove would take among those `matches` accepts (a callable
    // taking a const Node&), for removals by more than the name.
    template <class Matches> Node* FindForRemovalIf(Matches matches) const { return m_chain.FindForRemovalIf(matches); }
    void Clear();

    // Flat walks with the single cursor.
    void* First();
    void* Last();
    void* Next();
    void* Prev();
    NamedList* CursorToFirst();
    void CursorToLast();
    bool CursorNext();
    bool CursorPrev();
    void* CursorValue() const;
    const char* CursorName() const;
    Node* GetCursorNode() const;
    bool SeekValue(const void* value);
    // Removes the node under the cursor; the next Next yields the node that
    // followed it.
    void* RemoveAtCursor();

    // Nested walks with the stack of saved cursors.
    void* PushIterator();
    void* IteratorNext();
    void* IteratorNextOrPop();
    const char* IteratorName() const;
    void* IteratorValue() const;
    void PopIterator();
    void ClearIterators();
    int GetIteratorDepth() const { return static_cast<int>(m_saved.size()); }

    // Direct node access, for callers that walk a snapshot themselves.
    Node* GetHead() const { return m_chain.Head(); }
    Node* GetTail() const { return m_chain.Tail(); }

    // Typed conveniences.
    template <class T> T* FindAs(const char* name) const { return static_cast<T*>(Find(name)); }
    template <class T> T* FindAs(const std::string& name) const { return static_cast<T*>(Find(name)); }
    template <class T> T* GetAtAs(int index) const { return static_cast<T*>(GetAt(index)); }
    template <class T> T* FirstAs() { return static_cast<T*>(First()); }
    template <class T> T* LastAs() { return static_cast<T*>(Last()); }
    template <class T> T* NextAs() { return static_cast<T*>(Next()); }
    template <class T> T* PrevAs() { return static_cast<T*>(Prev()); }
    template <class T> T* CursorValueAs() const { return static_cast<T*>(CursorValue()); }
    template <class T> T* PushIteratorAs() { return static_cast<T*>(PushIterator()); }
    template <class T> T* IteratorNextAs() { return static_cast<T*>(IteratorNext()); }
    template <class T> T* IteratorNextOrPopAs() { return static_cast<T*>(IteratorNextOrPop()); }

private:
    // A cursor is on a node, at the end (node null), or parked before the
    // head (after its node was removed from the front), so that its next
    // forward step yields the current head.
    struct Cursor {
        Node* node = nullptr;
        bool beforeHead = false;
    };

    void* Insert(const char* name, void* value, ValueDeleter deleter, bool atFront);
    // Moves every cursor off a node, then unlinks it by the release rule.
    void* RemoveNode(Node* node);
    static void MoveOff(Cursor& cursor, const Node* node);
    void Step(Cursor& cursor, bool forward) const;

    NamedChain<Node> m_chain;
    Cursor m_cursor;
    std::vector<Cursor> m_saved;
    uint32_t m_valueSize = 4;
};
