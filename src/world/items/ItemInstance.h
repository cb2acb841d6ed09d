#pragma once
// One occupied inventory slot: an item of a prototype and how many of it.
// The prototype is shared, or a clone the item owns. Every item gets a
// serial number of its own, so code that remembers an item can tell it
// from a later one at the same address.
#include <cstdint>
#include <memory>
#include <string>

class ItemPrototype;

class ItemInstance {
public:
    // A clone of the prototype when asked for, else the shared prototype.
    // A null prototype gives an item without one (the inventory never makes
    // such an item).
    ItemInstance(ItemPrototype* prototype, bool clone);
    ~ItemInstance();
    ItemInstance(const ItemInstance&) = delete;
    ItemInstance& operator=(const ItemInstance&) = delete;

    const std::string& GetName() const { return m_name; }
    ItemPrototype* GetPrototype() const { return m_prototype; }
    bool OwnsPrototype() const { return m_ownedPrototype != nullptr; }
    int32_t GetQuantity() const { return m_quantity; }
    void SetQuantity(int32_t quantity) { m_quantity = quantity; }
    uint64_t GetSerial() const { return m_serial; }
    // The code of the prototype the item was made from (a clone's own code
    // stays -1, so an item made with a clone still saves its source's code).
    int32_t GetCode() const;

private:
    std::string m_name;
    std::unique_ptr<ItemPrototype> m_ownedPrototype;
    ItemPrototype* m_prototype = nullptr;
    int32_t m_quantity = 1;
    int32_t m_code = -1;
    uint64_t m_serial;
};
