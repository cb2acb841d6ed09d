#pragma once
// The player's 50 item slots: adding with stacking, placing, removing,
// swapping and using items, rebuilding an item from its prototype code (for
// save files), and filling the inventory windows from the slots.
//
// Items are owned by their slots. An item that leaves the inventory is
// forgotten by every GUI object that names it, so no window keeps a pointer
// to a freed item.
#include <lua5.1/lua.hpp>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "world/items/ItemInstance.h"

class Character;
class GUIBaseObject;
class ItemPrototype;

class PlayerInventory {
public:
    static constexpr int kSlotCount = 50;

    PlayerInventory() = default;
    ~PlayerInventory();
    PlayerInventory(const PlayerInventory&) = delete;
    PlayerInventory& operator=(const PlayerInventory&) = delete;

    int GetSlotCount() const { return kSlotCount; }
    int CountItems() const;
    int FreeSlots() const { return kSlotCount - CountItems(); }
    // Null out of range or for an empty slot.
    ItemInstance* GetItemAt(int index) const;
    // The code of the item's prototype (the source of a clone); 0 out of
    // range or for an empty slot.
    int32_t GetCodeAt(int index) const;
    // -1 when the item is not in a slot.
    int FindSlotOf(const ItemInstance* item) const;
    // The first slot whose item has exactly that name; -1 when none.
    int FindByName(const std::string& name) const;

    // One more of a named item whose stack has room; otherwise a new item in
    // the first free slot, unless an item of that name is stackable (its
    // stack is full) or no slot is free. True when something was added.
    bool AddItem(const std::string& name, ItemPrototype* prototype, bool clone);
    // Index -1: the first free slot; 0 to 49: only an empty slot. The item
    // keeps its quantity. On success the slot takes the item (the pointer is
    // moved out); on refusal the caller keeps it and false is returned.
    bool PutItemInSlot(std::unique_ptr<ItemInstance>& item, int index);
    // Deletes the slot's item. Out of range or empty: nothing.
    void RemoveItemAt(int index);
    void RemoveItem(const ItemInstance* item);
    void Clear();
    // Both in range and different: the slots change places (either may be
    // empty).
    void SwapSlots(int a, int b);
    // The prototype's effects on the target, then one fewer; true when that
    // was the last one and the item is gone. An item whose prototype is not
    // usable runs no effect but is spent all the same.
    bool UseItem(ItemInstance* item, Character* target);

    // A new item of the first prototype under "ItemPrototypes" with that
    // code, or null with a line.
    static std::unique_ptr<ItemInstance> BuildItemFromPrototypeCode(int32_t code, bool clone);
    // The slot of a grid button named "INV-" and three digits; -1 for null,
    // a short name or anything but digits there.
    static int SlotIndexFromButton(const GUIBaseObject* button);
    // One line a slot.
    void Dump(std::FILE* stream) const;

    // The inventory windows' per-tick fills.
    void FillItemsWindow(GUIBaseObject* window);
    void FillDescriptionWindow(GUIBaseObject* window);
    void FillTargetWindow(GUIBaseObject* window);
    // The target window's HP lines show each member's HP as it is now (after
    // an item was used on one), keeping the list and its highlight.
    static void UpdateTargetHP(GUIBaseObject* window);

    // PInv_AddItem.
    static void RegisterLuaFunctions(lua_State* L);

    bool IsItemsWindowDirty() const { return m_itemsDirty != 0; }
    void SetItemsWindowDirty() { m_itemsDirty = 1; }

private:
    static bool InRange(int index) { return index >= 0 && index < kSlotCount; }
    // Takes the item out of every GUI object's named pointers and out of the
    // description's memory, then deletes it.
    void Discard(std::unique_ptr<ItemInstance> item);

    uint8_t m_itemsDirty = 1;
    uint8_t m_descriptionDirty = 0;
    std::array<std::unique_ptr<ItemInstance>, kSlotCount> m_slots;
    // The item last shown in the description: its slot and serial number,
    // never its address (it may have been freed since).
    int m_describedSlot = -1;
    uint64_t m_describedSerial = 0;
};
