#pragma once
// What scripts define an item to be: its name (also the stacking key), its
// code (stored in save files), an image, the effects that run when it is
// used, whether and how it is usable and equippable, how it stacks, and
// four lines of flavour text. Prototypes are registered in the data library
// under the section "ItemPrototypes" and live for the whole run; items in
// the inventory refer to them or own a clone.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "combat/RestoreEffect.h"

class BitmapWrapper;
class Character;

class ItemPrototype {
public:
    static constexpr int kFlavourLines = 4;

    ItemPrototype() = default;
    virtual ~ItemPrototype() = default;
    ItemPrototype(const ItemPrototype&) = delete;
    ItemPrototype& operator=(const ItemPrototype&) = delete;

    // Runs every effect in order on the target when the first usable flag
    // is set and there is a target.
    virtual void Use(Character* target);
    virtual bool IsSecondUseFlagClear() const { return m_secondUsable == 0; }
    virtual bool IsNotEquippable() const { return m_hasEquipSlot == 0; }

    void SetName(const std::string& name) {
        m_name = name;
        m_hasName = true;
    }
    void SetCode(int32_t code) { m_code = code; }
    void SetImage(BitmapWrapper* image) { m_image = image; }
    // A slot in [0, 3) makes the item equippable in that slot; any other
    // value makes it not equippable.
    void SetUsableFlags(bool first, bool second, int32_t slot);
    void SetStackProperties(bool stackable, int32_t maximum) {
        m_stackable = stackable ? 1 : 0;
        m_stackMaximum = maximum;
    }
    // Only lines 0 to 3.
    void SetFlavourText(int32_t index, const std::string& text);
    // The prototype owns the effect; null is ignored.
    void AddEquipEffect(std::unique_ptr<ItemEffectRecord> effect);

    // Empty when no name was set.
    const std::string& GetName() const { return m_name; }
    bool HasName() const { return m_hasName; }
    int32_t GetCode() const { return m_code; }
    BitmapWrapper* GetImage() const { return m_image; }
    int32_t GetStackMaximum() const { return m_stackMaximum; }
    bool IsStackable() const { return m_stackable != 0; }
    bool IsFirstUsable() const { return m_firstUsable != 0; }
    bool IsSecondUsable() const { return m_secondUsable != 0; }
    int32_t GetEquipSlot() const { return m_equipSlot; }
    // Null outside 0 to 3 and for a line never set.
    const std::string* GetFlavourText(int32_t index) const;
    size_t GetEffectCount() const { return m_effects.size(); }
    const ItemEffectRecord* GetEffect(size_t index) const {
        return index < m_effects.size() ? m_effects[index].get() : nullptr;
    }

    // A new prototype like this one, with copies of its effects; its code
    // stays -1 (a clone is never found by code).
    std::unique_ptr<ItemPrototype> Clone() const;

private:
    std::string m_name;
    bool m_hasName = false;
    int32_t m_code = -1;
    BitmapWrapper* m_image = nullptr;
    std::vector<std::unique_ptr<ItemEffectRecord>> m_effects;
    uint8_t m_firstUsable = 0;
    uint8_t m_secondUsable = 0;
    uint8_t m_hasEquipSlot = 0;
    int32_t m_equipSlot = 0;
    uint8_t m_stackable = 0;
    int32_t m_stackMaximum = 1;
    std::array<std::string, kFlavourLines> m_flavour;
    std::array<bool, kFlavourLines> m_hasFlavour{};
};
