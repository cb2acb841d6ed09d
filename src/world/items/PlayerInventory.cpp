#include "world/items/PlayerInventory.h"

#include <cctype>
#include <string>
#include <vector>

#include "combat/Character.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatStats.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "gui/GUITextLine.h"
#include "world/items/ItemPrototype.h"

namespace {

// Every GUI object forgets the item: grid buttons, the inventory window's
// active and moving items, the target window's item.
void ForgetInGUI(const ItemInstance* item) {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager || !item) return;
    std::vector<GUIBaseObject*> pending;
    for (NamedList::Node* node = manager->GetTopLevelList()->GetHead(); node; node = node->next)
        if (node->value) pending.push_back(static_cast<GUIBaseObject*>(node->value));
    while (!pending.empty()) {
        GUIBaseObject* object = pending.back();
        pending.pop_back();
        object->ForgetNamedPointersTo(item);
        for (NamedList::Node* node = object->GetChildList()->GetHead(); node; node = node->next)
            if (node->value) pending.push_back(static_cast<GUIBaseObject*>(node->value));
    }
}

// A party member's line in the target window.
std::string TargetHPText(const Character* member) {
    const CombatStats* stats = member ? member->GetStats() : nullptr;
    char text[64];
    std::snprintf(text, sizeof text, "HP %4i/%-4i", stats ? stats->hp : 0, stats ? stats->maxHp : 0);
    return text;
}

// "INV-" and the slot in three digits.
std::string GridButtonName(int slot) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", slot);
    return std::string("INV-") + digits;
}

}  // namespace

PlayerInventory::~PlayerInventory() {
    // Windows outlive the player at shut-down; they must not keep the items.
    for (auto& slot : m_slots)
        if (slot) ForgetInGUI(slot.get());
}

int PlayerInventory::CountItems() const {
    int count = 0;
    for (const auto& slot : m_slots)
        if (slot) ++count;
    return count;
}

ItemInstance* PlayerInventory::GetItemAt(int index) const {
    return InRange(index) ? m_slots[static_cast<size_t>(index)].get() : nullptr;
}

int32_t PlayerInventory::GetCodeAt(int index) const {
    const ItemInstance* item = GetItemAt(index);
    return item && item->GetPrototype() ? item->GetCode() : 0;
}

int PlayerInventory::FindSlotOf(const ItemInstance* item) const {
    if (!item) return -1;
    for (int i = 0; i < kSlotCount; ++i)
        if (m_slots[static_cast<size_t>(i)].get() == item) return i;
    return -1;
}

int PlayerInventory::FindByName(const std::string& name) const {
    for (int i = 0; i < kSlotCount; ++i) {
        const ItemInstance* item = m_slots[static_cast<size_t>(i)].get();
        if (item && item->GetName() == name) return i;
    }
    return -1;
}

bool PlayerInventory::AddItem(const std::string& name, ItemPrototype* prototype, bool clone) {
    if (name.empty() || !prototype) return false;
    const int found = FindByName(name);
    if (found >= 0) {
        ItemInstance* item = GetItemAt(found);
        const ItemPrototype* own = item->GetPrototype();
        if (own && item->GetQuantity() < own->GetStackMaximum()) {
            item->SetQuantity(item->GetQuantity() + 1);
            m_itemsDirty = 1;
            return true;
        }
        // A full stack of a stackable item takes no more.
        if (own && own->IsStackable()) return false;
    }
    for (auto& slot : m_slots) {
        if (slot) continue;
        slot = std::make_unique<ItemInstance>(prototype, clone);
        m_itemsDirty = 1;
        return true;
    }
    return false;
}

bool PlayerInventory::PutItemInSlot(std::unique_ptr<ItemInstance>& item, int index) {
    if (!item) return false;
    if (index == -1) {
        for (auto& slot : m_slots) {
            if (slot) continue;
            slot = std::move(item);
            m_itemsDirty = 1;
            return true;
        }
        return false;
    }
    if (!InRange(index) || m_slots[static_cast<size_t>(index)]) return false;
    m_slots[static_cast<size_t>(index)] = std::move(item);
    m_itemsDirty = 1;
    return true;
}

void PlayerInventory::Discard(std::unique_ptr<ItemInstance> item) {
    if (!item) return;
    ForgetInGUI(item.get());
    if (m_describedSerial == item->GetSerial()) {
        m_describedSlot = -1;
        m_describedSerial = 0;
    }
}

void PlayerInventory::RemoveItemAt(int index) {
    if (!InRange(index)) return;
    auto& slot = m_slots[static_cast<size_t>(index)];
    if (!slot) return;
    Discard(std::move(slot));
    m_itemsDirty = 1;
}

void PlayerInventory::RemoveItem(const ItemInstance* item) { RemoveItemAt(FindSlotOf(item)); }

void PlayerInventory::Clear() {
    for (int i = 0; i < kSlotCount; ++i) RemoveItemAt(i);
}

void PlayerInventory::SwapSlots(int a, int b) {
    if (!InRange(a) || !InRange(b) || a == b) return;
    std::swap(m_slots[static_cast<size_t>(a)], m_slots[static_cast<size_t>(b)]);
    m_itemsDirty = 1;
}

bool PlayerInventory::UseItem(ItemInstance* item, Character* target) {
    if (!item || !target) return false;
    const int slot = FindSlotOf(item);
    // An item that is not in a slot here is not this inventory's to use up.
    if (slot < 0) return false;
    // One is spent whether or not the prototype is usable: Use runs the
    // effects only for a usable one.
    const uint64_t serial = item->GetSerial();
    if (ItemPrototype* prototype = item->GetPrototype()) prototype->Use(target);
    // The effects cannot reach the inventory, but the slot is checked again
    // rather than trusting the pointer.
    if (m_slots[static_cast<size_t>(slot)].get() != item || item->GetSerial() != serial) return false;
    item->SetQuantity(item->GetQuantity() - 1);
    if (item->GetQuantity() > 0) {
        m_itemsDirty = 1;
        return false;
    }
    RemoveItemAt(slot);
    return true;
}

std::unique_ptr<ItemInstance> PlayerInventory::BuildItemFromPrototypeCode(int32_t code, bool clone) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    NamedList* section = nullptr;
    if (library) {
        for (NamedList::Node* node = library->GetRoot()->GetHead(); node && !section; node = node->next)
            if (node->name == "ItemPrototypes") section = static_cast<NamedList*>(node->value);
    }
    for (NamedList::Node* c = section ? section->GetHead() : nullptr; c; c = c->next) {
        auto* catalogue = static_cast<NamedList*>(c->value);
        for (NamedList::Node* h = catalogue ? catalogue->GetHead() : nullptr; h; h = h->next) {
            auto* heading = static_cast<NamedList*>(h->value);
            for (NamedList::Node* e = heading ? heading->GetHead() : nullptr; e; e = e->next) {
                const auto* entry = static_cast<const DataLibrary::Entry*>(e->value);
                if (!entry || entry->kind != DataKind::ItemPrototype || !entry->pointer) continue;
                auto* prototype = static_cast<ItemPrototype*>(entry->pointer);
                if (prototype->GetCode() == code) return std::make_unique<ItemInstance>(prototype, clone);
            }
        }
    }
    std::fprintf(stderr, "PI::BuildItemFromPrototypeCode:  Failed, code %i not found\n", code);
    return nullptr;
}

int PlayerInventory::SlotIndexFromButton(const GUIBaseObject* button) {
    if (!button) return -1;
    const std::string& name = button->GetName();
    if (name.size() < 7) return -1;
    int slot = 0;
    for (size_t i = 4; i < 7; ++i) {
        const unsigned char digit = static_cast<unsigned char>(name[i]);
        if (!std::isdigit(digit)) return -1;
        slot = slot * 10 + (digit - '0');
    }
    return slot;
}

void PlayerInventory::Dump(std::FILE* stream) const {
    if (!stream) return;
    for (int i = 0; i < kSlotCount; ++i) {
        std::fprintf(stream, "%i: ", i);
        const ItemInstance* item = m_slots[static_cast<size_t>(i)].get();
        if (item)
            std::fprintf(stream, "%2i of %s, addr %p\n", item->GetQuantity(), item->GetName().c_str(),
                         static_cast<const void*>(item));
        else
            std::fputs("Empty\n", stream);
    }
}

// ---- Window fills ---------------------------------------------------------------------------

void PlayerInventory::FillItemsWindow(GUIBaseObject* window) {
    if (!window || !window->IsVisible() || m_itemsDirty != 1) return;
    // A window without its grid yet is redrawn, and the slots stay to be
    // shown once the grid is there.
    if (!window->GetPointerAt(0)) {
        window->SetDirty(true);
        return;
    }
    NamedList* children = window->GetChildList();
    for (int i = 0; i < kSlotCount; ++i) {
        auto* child = static_cast<GUIBaseObject*>(children->Find(GridButtonName(i)));
        if (!child || child->GetType() != kTypeGUIButton) continue;
        auto* button = static_cast<GUIButton*>(child);
        ItemInstance* item = m_slots[static_cast<size_t>(i)].get();
        if (item) {
            button->SetOwnedPointer("ItemPtr", item);
            BitmapWrapper* image = item->GetPrototype() ? item->GetPrototype()->GetImage() : nullptr;
            button->SetImages(image, image, image);
        } else {
            button->RemoveNamedPointer("ItemPtr");
            button->SetImages(nullptr, nullptr, nullptr);
        }
        button->SetDirty(true);
    }
    window->SetDirty(true);
    m_itemsDirty = 0;
}

void PlayerInventory::FillDescriptionWindow(GUIBaseObject* window) {
    if (!window || !window->IsVisible()) return;
    auto* items = static_cast<GUIBaseObject*>(window->GetNamedPointer("ItemWindowPtr"));
    GUIBaseObject* target = items ? items->GetNavTarget() : nullptr;
    if (!target) return;
    auto* item = static_cast<ItemInstance*>(target->GetNamedPointer("ItemPtr"));
    const int slot = SlotIndexFromButton(target);
    auto setLines = [window](const ItemPrototype* prototype) {
        for (int i = 0; i < ItemPrototype::kFlavourLines; ++i) {
            GUIBaseObject* object = window->FindChild("Line" + std::to_string(i));
            if (!object || !IsGUITextLineType(object->GetType())) continue;
            auto* line = static_cast<GUITextLine*>(object);
            const std::string* text = prototype ? prototype->GetFlavourText(i) : nullptr;
            if (prototype)
                line->SetString(text ? text->c_str() : nullptr);
            else
                line->Clear();
        }
    };
    if (!item) {
        setLines(nullptr);
        m_describedSlot = -1;
        m_describedSerial = 0;
    } else {
        const bool same = slot == m_describedSlot && item->GetSerial() == m_describedSerial;
        if (item->GetPrototype() && !same) setLines(item->GetPrototype());
        m_describedSlot = slot;
        m_describedSerial = item->GetSerial();
    }
    window->SetDirty(true);
    m_descriptionDirty = 0;
}

void PlayerInventory::FillTargetWindow(GUIBaseObject* window) {
    if (!window || !window->IsVisible()) return;
    auto* refresh = static_cast<uint8_t*>(window->GetNamedPointer("RefreshState"));
    if (!refresh || *refresh != 1) return;
    *refresh = 0;
    window->ClearNavEntries();
    window->DeleteChildren();
    CombatParty* party = GetCombatRegistry().partyManager;
    NamedList* members = party ? party->GetPartyList() : nullptr;
    const int count = members ? members->GetCount() : 0;
    if (count > 0) window->SetSize(250, SaturateToInt32(int64_t{16} * count + 26));
    int y = 13;
    for (NamedList::Node* node = members ? members->GetHead() : nullptr; node; node = node->next, y += 16) {
        auto* member = static_cast<Character*>(node->value);
        if (!member) continue;
        auto* button = new GUIButton;
        button->SetDimensions(13, y, 96, 16);
        button->BuildTextImages(al_map_rgb(154, 113, 169), al_map_rgb(168, 124, 183), al_map_rgb(195, 150, 210),
                                member->GetName().c_str());
        button->SetFunction("Inv_UseItemOnTarget");
        button->SetOwnedPointer("CharacterPtr", member);
        window->AddChild(member->GetName(), button);
        window->AddNavEntry(button, true, al_map_rgba(200, 200, 0, 128), GUINavEntry::kForceCall);
        auto* line = new GUITextLine;
        line->SetDimensions(109, y, 1, 16);
        line->SetAutoSize(true);
        line->SetString(TargetHPText(member));
        window->AddChild("X", line);
    }
    window->ResetNavCursor();
}

void PlayerInventory::UpdateTargetHP(GUIBaseObject* window) {
    if (!window) return;
    CombatParty* party = GetCombatRegistry().partyManager;
    NamedList* members = party ? party->GetPartyList() : nullptr;
    if (!members) return;
    // Each member's button is followed by its HP line; a member who has left
    // the party since the list was made is not read.
    for (NamedList::Node* node = window->GetChildList()->GetHead(); node && node->next; node = node->next) {
        auto* button = static_cast<GUIBaseObject*>(node->value);
        auto* line = static_cast<GUIBaseObject*>(node->next->value);
        if (!button || !line || button->GetType() != kTypeGUIButton || !IsGUITextLineType(line->GetType())) continue;
        auto* member = static_cast<const Character*>(button->GetNamedPointer("CharacterPtr"));
        if (member && members->ContainsValue(member)) static_cast<GUITextLine*>(line)->SetString(TargetHPText(member));
    }
    window->SetDirty(true);
}
