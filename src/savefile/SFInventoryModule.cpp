#include "savefile/SFInventoryModule.h"

#include <cstdio>
#include <limits>
#include <memory>

#include "core/base/GlobalState.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemInstance.h"
#include "world/items/PlayerInventory.h"

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t GetU32(const std::vector<uint8_t>& in, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= uint32_t{in[offset + i]} << (8 * i);
    return v;
}

// Codes and quantities are 32-bit signed numbers in the game; a saved code
// above that range stands for nothing.
bool InRange(uint32_t value) { return value <= uint32_t{std::numeric_limits<int32_t>::max()}; }

void ReportUnresolved(uint32_t code) {
    std::fprintf(stderr, "SFIM::Interperet - Warning, unresolved code %i\n", static_cast<int32_t>(code));
}

// A quantity beyond the 32-bit range is loaded as the most a slot can hold,
// saying so: the item itself is kept.
int32_t LoadedQuantity(uint32_t quantity, uint32_t slot) {
    if (InRange(quantity)) return static_cast<int32_t>(quantity);
    const int32_t kept = std::numeric_limits<int32_t>::max();
    std::fprintf(stderr, "SFIM::Interperet - Warning, quantity %u in slot %u is out of range, loaded as %i\n", quantity,
                 slot, kept);
    return kept;
}

}  // namespace

void SFInventoryModule::Fill(const PlayerInventory* inventory) {
    m_version = 0;
    if (!inventory) return;
    SetName("Inventory");
    const int count = inventory->GetSlotCount();
    std::vector<uint8_t> data;
    data.reserve(4 + 8 * static_cast<size_t>(count));
    PutU32(data, static_cast<uint32_t>(count));
    for (int i = 0; i < count; ++i) {
        const ItemInstance* item = inventory->GetItemAt(i);
        // Written as it is, so the load names it too.
        if (item && item->GetCode() < 1)
            std::fprintf(stderr, "SFInventoryModule - Warning, %s in slot %i has no item code and will not load.\n",
                         item->GetName().c_str(), i);
        PutU32(data, item ? static_cast<uint32_t>(item->GetCode()) : 0);
        PutU32(data, item ? static_cast<uint32_t>(item->GetQuantity()) : 0);
    }
    SetData(std::move(data));
}

bool SFInventoryModule::Validate() const {
    if (m_data.size() < 4) return false;
    return uint64_t{GetU32(m_data, 0)} * 8 == m_data.size() - 4;
}

void SFInventoryModule::UpdateOldVersion() {
    if (m_version != 0) std::fprintf(stderr, "SFInventoryModule - Warning, unhandled version %i.\n", m_version);
}

void SFInventoryModule::Interperet() {
    if (!Validate()) return;
    PlayerVorn* player = GetGlobalState()->player;
    PlayerInventory* inventory = player ? player->GetInventory() : nullptr;
    if (!inventory) return;
    inventory->Clear();
    const uint32_t count = GetU32(m_data, 0);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t code = GetU32(m_data, 4 + 8 * size_t{i});
        const uint32_t quantity = GetU32(m_data, 8 + 8 * size_t{i});
        if (code == 0 || quantity == 0) continue;
        if (!InRange(code)) {
            ReportUnresolved(code);
            continue;
        }
        // Slots the inventory does not have are not placed.
        if (i >= static_cast<uint32_t>(inventory->GetSlotCount())) continue;
        std::unique_ptr<ItemInstance> item =
            PlayerInventory::BuildItemFromPrototypeCode(static_cast<int32_t>(code), false);
        if (!item) {
            ReportUnresolved(code);
            continue;
        }
        item->SetQuantity(LoadedQuantity(quantity, i));
        // A refused placement leaves the item here, and it is freed here.
        inventory->PutItemInSlot(item, static_cast<int>(i));
    }
}
