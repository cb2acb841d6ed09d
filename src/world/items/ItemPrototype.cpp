#include "world/items/ItemPrototype.h"

void ItemPrototype::Use(Character* target) {
    if (m_firstUsable != 1 || !target) return;
    // An effect may not add effects while it runs, but the list is walked by
    // index all the same, so a change could never leave a dangling iterator.
    for (size_t i = 0; i < m_effects.size(); ++i) {
        const ItemEffectRecord* effect = m_effects[i].get();
        if (!effect || !effect->function) continue;
        // No user: the item is used from the inventory.
        const std::vector<uint8_t> block = BuildEffectBlock(nullptr, target, *effect);
        effect->function(block.data(), static_cast<uint32_t>(block.size()));
    }
}

void ItemPrototype::SetUsableFlags(bool first, bool second, int32_t slot) {
    m_firstUsable = first ? 1 : 0;
    m_secondUsable = second ? 1 : 0;
    if (slot >= 0 && slot < 3) {
        m_hasEquipSlot = 1;
        m_equipSlot = slot;
    } else {
        m_hasEquipSlot = 0;
        m_equipSlot = 0;
    }
}

void ItemPrototype::SetFlavourText(int32_t index, const std::string& text) {
    if (index < 0 || index >= kFlavourLines) return;
    m_flavour[static_cast<size_t>(index)] = text;
    m_hasFlavour[static_cast<size_t>(index)] = true;
}

void ItemPrototype::AddEquipEffect(std::unique_ptr<ItemEffectRecord> effect) {
    if (effect) m_effects.push_back(std::move(effect));
}

const std::string* ItemPrototype::GetFlavourText(int32_t index) const {
    if (index < 0 || index >= kFlavourLines || !m_hasFlavour[static_cast<size_t>(index)]) return nullptr;
    return &m_flavour[static_cast<size_t>(index)];
}

std::unique_ptr<ItemPrototype> ItemPrototype::Clone() const {
    auto clone = std::make_unique<ItemPrototype>();
    if (m_hasName) clone->SetName(m_name);
    clone->m_image = m_image;
    // Each prototype owns its own records, so each is freed once.
    for (const auto& effect : m_effects)
        if (effect) clone->m_effects.push_back(std::make_unique<ItemEffectRecord>(*effect));
    clone->m_firstUsable = m_firstUsable;
    clone->m_secondUsable = m_secondUsable;
    // A clone is equippable exactly when its source is.
    clone->m_hasEquipSlot = m_hasEquipSlot;
    clone->m_equipSlot = m_hasEquipSlot ? m_equipSlot : 0;
    clone->m_stackable = m_stackable;
    clone->m_stackMaximum = m_stackMaximum;
    clone->m_flavour = m_flavour;
    clone->m_hasFlavour = m_hasFlavour;
    return clone;
}
