#pragma once
// The numbers of one combatant, kept as heap records so a save file can
// store and replace them whole.
#include <cstdint>

struct CombatStats {
    int32_t level = 1;
    int32_t hp = 1;
    int32_t maxHp = 1;
    int32_t mp = 1;
    int32_t maxMp = 1;
    // What the status display shows: copied from HP and MP at every round
    // start and lowered as the damage texts play.
    int32_t shownHp = 0;
    int32_t shownMp = 0;
    int32_t strength = 1;
    int32_t toughness = 1;
    int32_t intellect = 1;
    int32_t cunning = 1;
    int32_t agility = 1;
    int32_t speed = 1;
};

struct ExperienceRecord {
    int32_t needed = 1;  // experience needed for the next level
    int32_t gained = 0;
};
