#include "core/base/NamedSlotArray.h"

#include <cstdlib>
#include <cstring>

namespace {
void FreeValue(void* value) { std::free(value); }
}  // namespace

NamedSlotArray::NamedSlotArray() : m_deleter(&FreeValue) {}

NamedSlotArray::~NamedSlotArray() { Destroy(); }

void NamedSlotArray::Init(uint32_t valueSize) {
    Clear();
    m_valueSize = valueSize;
}

void NamedSlotArray::Destroy() { Clear(); }

void NamedSlotArray::SetDeleter(Deleter deleter) { m_deleter = deleter ? deleter : &FreeValue; }

int NamedSlotArray::FirstFreeSlot() {
    for (size_t i = 0; i < m_values.size(); ++i)
        if (!m_values[i]) return static_cast<int>(i);
    m_values.push_back(nullptr);
    m_names.emplace_back();
    return static_cast<int>(m_values.size() - 1);
}

void* NamedSlotArray::Add(const char* name, void* value) {
    // A null value would leave the slot looking free, so it is refused.
    if (!name || !value) return nullptr;
    int slot = FirstFreeSlot();
    m_values[slot] = value;
    m_names[slot] = name;
    return value;
}

int NamedSlotArray::IndexOf(const char* name) const {
    if (!name) return -1;
    for (size_t i = 0; i < m_values.size(); ++i)
        if (m_values[i] && m_names[i] == name) return static_cast<int>(i);
    return -1;
}

bool NamedSlotArray::Remove(const char* name) {
    int slot = IndexOf(name);
    if (slot < 0) return false;
    void* value = m_values[slot];
    m_values[slot] = nullptr;
    m_names[slot].clear();
    m_deleter(value);
    return true;
}

void NamedSlotArray::Clear() {
    std::vector<void*> values;
    values.swap(m_values);
    m_names.clear();
    for (void* value : values)
        if (value) m_deleter(value);
}

void* NamedSlotArray::Find(const char* name) const {
    int slot = IndexOf(name);
    return slot < 0 ? nullptr : m_values[slot];
}

void* NamedSlotArray::GetAt(int index) const {
    if (index < 0 || index >= GetSlotCount()) return nullptr;
    return m_values[index];
}

const char* NamedSlotArray::NameAt(int index) const {
    if (index < 0 || index >= GetSlotCount() || !m_values[index]) return nullptr;
    return m_names[index].c_str();
}
