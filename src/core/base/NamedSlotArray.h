#pragma once
// A keyed array with stable slot indices. A slot is free while its value is
// null; a new entry goes into the first free slot, and the array grows by
// one slot only when none is free. The array owns its values: removing an
// entry releases its value (std::free unless another deleter is set).
#include <cstdint>
#include <string>
#include <vector>

class NamedSlotArray {
public:
    using Deleter = void (*)(void*);

    NamedSlotArray();   // same as Init(4)
    ~NamedSlotArray();  // Destroy()
    NamedSlotArray(const NamedSlotArray&) = delete;
    NamedSlotArray& operator=(const NamedSlotArray&) = delete;

    // Empties the array (releasing every value) and records the value size.
    void Init(uint32_t valueSize);
    void Destroy();
    void SetDeleter(Deleter deleter);

    // Index of the first free slot; grows the array by one when all are used.
    int FirstFreeSlot();
    // Stores the entry in the first free slot and returns the value; a null
    // name or a null value stores nothing and returns null.
    void* Add(const char* name, void* value);
    void* Add(const std::string& name, void* value) { return Add(name.c_str(), value); }
    // Releases the value and the name of the first used slot with that name
    // and frees the slot; false when no used slot has the name.
    bool Remove(const char* name);
    bool Remove(const std::string& name) { return Remove(name.c_str()); }
    // Releases every value and drops every slot.
    void Clear();

    void* Find(const char* name) const;
    void* Find(const std::string& name) const { return Find(name.c_str()); }
    int IndexOf(const char* name) const;
    void* GetAt(int index) const;
    // Name of a used slot, or null for a free slot or an index out of range.
    const char* NameAt(int index) const;
    int GetSlotCount() const { return static_cast<int>(m_values.size()); }

private:
    std::vector<void*> m_values;
    std::vector<std::string> m_names;
    Deleter m_deleter;
    uint32_t m_valueSize = 4;
};
