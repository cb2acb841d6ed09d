#pragma once
// One entry of the target window: a name cut to 35 characters and always
// terminated, and the combatant id (-1 for the fixed labels).
#include <cstdint>
#include <string>

struct CombatTarget {
    static constexpr int kNameSize = 36;
    char name[kNameSize] = {};
    int32_t combatantId = -1;

    // A new record; a null name gives an empty one.
    static CombatTarget* Make(const char* name, int32_t combatantId);
    // Deleter for the owning lists of target records.
    static void Delete(void* record);
};

// One entry of the turn order: the key (minus speed times a random factor)
// and the combatant.
class Character;
struct TurnKey {
    float key;
    Character* combatant;
};
