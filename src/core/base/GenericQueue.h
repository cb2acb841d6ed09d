#pragma once
// A first-in-first-out queue of (name, value) entries. An owning queue
// releases the values still queued when it is cleared or destroyed (with
// std::free unless another deleter is set); Pop never releases a value, it
// hands it to the caller.
#include <string>

class GenericQueue {
public:
    using Deleter = void (*)(void*);

    GenericQueue() = default;
    virtual ~GenericQueue();  // Clear()
    GenericQueue(const GenericQueue&) = delete;
    GenericQueue& operator=(const GenericQueue&) = delete;

    void SetOwnsValues();  // owning from now on
    void SetOwnsValues(bool owns) { m_ownsValues = owns; }
    bool OwnsValues() const { return m_ownsValues; }
    void SetValueDeleter(Deleter deleter) { m_deleter = deleter ? deleter : DefaultDeleter(); }

    int GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    // Appends at the tail and returns the queue. A null name is queued as "".
    virtual GenericQueue* Push(const char* name, void* value);
    GenericQueue* Push(const std::string& name, void* value) { return Push(name.c_str(), value); }
    // Removes the head and returns its value; null when empty.
    virtual void* Pop();
    // The head's value, or null when empty.
    virtual void* Peek() const;
    // The head's name, or null when empty.
    virtual const char* PeekName() const;
    // Removes every entry, releasing the values when owning.
    virtual void Clear();

protected:
    static Deleter DefaultDeleter();
    void ReleaseValue(void* value) const;

    bool m_ownsValues = false;
    int m_count = 0;
    Deleter m_deleter = DefaultDeleter();

private:
    struct Node {
        std::string name;
        Node* next;
        void* value;
    };
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
};
