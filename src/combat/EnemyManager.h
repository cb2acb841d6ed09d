#pragma once
// The enemy side of a battle: every enemy prototype found at start-up, the
// enemies spawned for the current battle (from the preload list or at
// random), their places, commands, targets, rewards and clean-up.
#include <cstdint>
#include <string>
#include <vector>

#include "combat/CombatEnemies.h"

class Character;
class Enemy;
class EnemyPrototype;
class NamedList;

class EnemyManager : public CombatEnemies {
public:
    EnemyManager();
    ~EnemyManager() override;
    EnemyManager(const EnemyManager&) = delete;
    EnemyManager& operator=(const EnemyManager&) = delete;

    // Collects every enemy prototype of the data library's section, in
    // library order; entries of another kind are passed over.
    void ScanLibraryForEnemies(const char* section) override;
    NamedList* GetPrototypeList() const { return m_prototypes; }

    void SpawnEnemies(NamedList* preloadList) override;
    // 1 to 3 enemies of prototypes eligible at the level; none when no
    // prototype is.
    void SpawnRandomEnemies(int32_t level);
    // A random eligible prototype, or null (no draw) when none is.
    EnemyPrototype* PickRandomPrototype(int32_t level);
    // Letters enemies apart whose names begin alike: A, B, C in spawn order.
    void NameDuplicates();

    void PlaceEnemies(int32_t side) override;
    void LoadFieldSprites() override;
    void SetCombatIds(int32_t* counter) override;
    void ChooseEnemyCommands() override;
    void AddTurnKeys(std::vector<TurnKey>& keys) override;
    void UpdateFieldSprites() override;
    void DrawFieldSprites();

    Character* PickRandomTarget(int32_t command, int32_t subChoice) override;
    Character* FirstValidTarget(int32_t command);
    void ListTargets(NamedList* list, int32_t command, int32_t subChoice) override;
    bool AreAllDefeated() const override;
    int32_t SumExperienceReward() const override;
    void ClearEnemies() override;

    NamedList* GetEnemyList() override { return m_enemies; }
    int32_t GetEnemyCount() const override { return m_enemyCount; }
    Character* GetEnemyAt(int32_t index) const override;

private:
    void AddEnemy(EnemyPrototype* prototype);
    std::vector<Enemy*> Enemies() const;

    int32_t m_enemyCount = 0;
    NamedList* m_enemies;
    NamedList* m_prototypes;
};
