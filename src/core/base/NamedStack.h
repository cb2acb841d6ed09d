#pragma once
// A keyed stack (last in, first out). It never owns its values.
#include <string>

class NamedStack {
public:
    NamedStack() = default;
    ~NamedStack();  // Destroy()
    NamedStack(const NamedStack&) = delete;
    NamedStack& operator=(const NamedStack&) = delete;

    void Init();  // empties the stack
    void Destroy();

    // Pushes {copy of name, value} and returns the value; a null name or a
    // null value pushes nothing and returns null.
    void* Push(const char* name, void* value);
    void* Push(const std::string& name, void* value) { return Push(name.c_str(), value); }
    // Removes the top entry and returns its value; null when empty.
    void* Pop();
    void* Peek() const;
    const char* PeekName() const;
    int GetCount() const { return m_count; }
    void Clear();

private:
    struct Entry {
        std::string name;
        void* value;
        Entry* below;
    };
    Entry* m_top = nullptr;
    int m_count = 0;
};
