#pragma once
// The restore effect: the combat side of items. An item carries effect
// records; using the item on a character calls each record's function with
// an application block:
//
//   user      pointer, host order, full width (null: used from the inventory)
//   target    Character*, host order, full width
//   ...       the record's own data: for a restore, amount and mode, each a
//             big-endian int32
//
// A restore raises the target's HP by the amount, scaled by the user's
// restore multiplier when there is a user and the mode is 0.
#include <cstdint>
#include <vector>

class Character;

struct ItemEffectRecord {
    void (*function)(const uint8_t* block, uint32_t size) = nullptr;
    std::vector<uint8_t> data;
};

// A new restore-effect record (the caller owns it).
ItemEffectRecord* MakeRestoreEffect(int32_t amount, int32_t mode);

// The application block of an effect record for (user, target).
std::vector<uint8_t> BuildEffectBlock(const Character* user, const Character* target, const ItemEffectRecord& record);

// Reads the block (bounds-checked; a short block does nothing) and restores
// the target's HP; nothing without a target.
void ApplyRestoreEffect(const uint8_t* block, uint32_t size);
