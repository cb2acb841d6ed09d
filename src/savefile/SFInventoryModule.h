#pragma once
// The record of the player's inventory, named "Inventory": the slot count,
// then a (code, quantity) pair per slot, (0, 0) for an empty one.
#include "savefile/SavefileModule.h"

class PlayerInventory;

class SFInventoryModule : public SavefileModule {
public:
    SFInventoryModule() : SavefileModule(kTypeInventory) {}

    // A null inventory leaves the module without name and data. An item
    // without a code is named on the error stream: it cannot be built again.
    void Fill(const PlayerInventory* inventory);
    // Empties the player's inventory and puts each saved item back into its
    // slot with its quantity; slots past the inventory's end are not placed.
    // A code that builds nothing, or a code or quantity past the 32-bit
    // signed range, is reported and skipped.
    void Interperet() override;
    void UpdateOldVersion() override;
    // The count and exactly one pair for every slot it counts.
    bool Validate() const override;
};
