#pragma once
// What the battle asks of the enemy side: the enemy manager implements it,
// and the combat registry's enemy slot holds it.
#include <cstdint>
#include <vector>

#include "combat/CombatTarget.h"

class Character;
class NamedList;

class CombatEnemies {
public:
    virtual ~CombatEnemies() = default;

    virtual NamedList* GetEnemyList() = 0;
    virtual int32_t GetEnemyCount() const = 0;
    virtual Character* GetEnemyAt(int32_t index) const = 0;

    // Deletes every enemy.
    // Start-up: every entry of the named data-library section becomes a
    // prototype for random battles.
    virtual void ScanLibraryForEnemies(const char* section) = 0;
    virtual void ClearEnemies() = 0;
    // One enemy per preloaded prototype, or a random group without a list.
    virtual void SpawnEnemies(NamedList* preloadList) = 0;
    virtual void SetCombatIds(int32_t* counter) = 0;
    virtual void LoadFieldSprites() = 0;
    virtual void PlaceEnemies(int32_t side) = 0;
    virtual void UpdateFieldSprites() = 0;

    virtual void ChooseEnemyCommands() = 0;
    // Appends each enemy's turn key (one random draw each).
    virtual void AddTurnKeys(std::vector<TurnKey>& keys) = 0;

    virtual Character* PickRandomTarget(int32_t command, int32_t subChoice) = 0;
    virtual void ListTargets(NamedList* list, int32_t command, int32_t subChoice) = 0;
    virtual bool AreAllDefeated() const = 0;
    virtual int32_t SumExperienceReward() const = 0;
};
