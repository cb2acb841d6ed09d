#pragma once
// A combatant of the enemy side, built from an enemy prototype: its own
// attack and damage texts, its knock-out text from the prototype's death
// message, its leap, and its field sprite built by the prototype's script.
#include <cstdint>

#include "combat/Character.h"

class EnemyPrototype;
class FieldSprite;

class Enemy : public Character {
public:
    static constexpr const char* kAttackScript = "Data/Scripts/Combat/Algorithms/LeapToPointE.lua";

    Enemy();
    ~Enemy() override;

    // Name, knock-out text, statistics and attack timing from the prototype
    // (a prototype whose statistics were never set leaves the defaults, all
    // 1). Nothing for null.
    void InitFromPrototype(EnemyPrototype* prototype);
    // Only the first call has an effect: the name gets a blank and the
    // letter, and the knock-out text follows the new name.
    void AddNameSuffix(char letter);
    bool HasNameSuffix() const { return m_suffixed != 0; }
    EnemyPrototype* GetPrototype() const { return m_prototype; }
    FieldSprite* GetSprite() const { return m_sprite; }

    void LoadFieldSprite() override;
    void Attack(Character* target) override;
    void TakeDamage(Character* attacker, int32_t damage) override;
    AttackMovement GetAttackMovement(Character* attacker, Character* target) override;

protected:
    void QueueKnockOut(GUICombatMessageWindow& window) override;

private:
    EnemyPrototype* m_prototype = nullptr;
    uint8_t m_suffixed = 0;
    FieldSprite* m_sprite;  // owned by Character
};
