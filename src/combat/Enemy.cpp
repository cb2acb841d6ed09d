#include "combat/Enemy.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/EnemyPrototype.h"
#include "combat/FieldSprite.h"
#include "combat/GUICombatMessageWindow.h"

namespace {

GUICombatMessageWindow* MessageWindow() {
    CombatManager* manager = GetCombatRegistry().combatManager;
    return manager ? manager->GetMessageWindow() : nullptr;
}

template <typename... Args> std::string Format(const char* format, Args... values) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

}  // namespace

Enemy::Enemy() : m_sprite(new FieldSprite()) {
    SetFieldSprite(std::unique_ptr<CombatSprite>(m_sprite));
    SetAttackScript(kAttackScript);
}

Enemy::~Enemy() = default;

void Enemy::InitFromPrototype(EnemyPrototype* prototype) {
    if (!prototype) return;
    m_prototype = prototype;
    if (prototype->GetCombatName()) SetName(*prototype->GetCombatName());
    SetKOMessage(prototype->GetDeathMessage());
    if (const CombatStats* from = prototype->GetStats()) {
        CombatStats& s = *GetStats();
        // A new enemy is set up, not knocked out: one whose prototype gives it
        // no HP starts down, without the knock-out's texts.
        s.level = from->level;
        s.hp = s.maxHp = std::max(from->maxHp, 0);
        s.mp = s.maxMp = std::max(from->maxMp, 0);
        s.strength = from->strength;
        s.toughness = from->toughness;
        s.intellect = from->intellect;
        s.cunning = from->cunning;
        s.agility = from->agility;
        s.speed = from->speed;
    }
    SetAttackAnimProperties(prototype->GetHitFrame(), prototype->GetStrikeFrames(), prototype->GetTicksPerStrikeFrame(),
                            prototype->GetFourthValue(), prototype->GetFifthValue());
}

void Enemy::AddNameSuffix(char letter) {
    if (m_suffixed) return;
    SetName(GetName() + " " + letter);
    if (m_prototype) SetKOMessage(m_prototype->GetDeathMessage());
    m_suffixed = 1;
}

void Enemy::LoadFieldSprite() {
    if (!m_prototype || !m_prototype->GetLoadingInstructionPath()) return;
    m_sprite->LoadFromScript(*m_prototype->GetLoadingInstructionPath());
}

void Enemy::Attack(Character* target) { AttackWith(target, "EnemyAttack", "%s Attacks"); }

void Enemy::TakeDamage(Character* attacker, int32_t damage) {
    (void)attacker;
    CombatStats& s = *GetStats();
    PutHP(int64_t{s.hp} - damage);
    GUICombatMessageWindow* window = MessageWindow();
    const int32_t id = GetCombatId();
    if (s.hp > 0) {
        if (!window) return;
        window->PushSound("EnemyInjured");
        window->PushShowDamage(id, damage);
        window->QueueText(Format("%i points of damage to %s.", damage, GetName().c_str()));
        window->QueueLineBreak();
        window->PushSetTarget(id);
        window->PushAnimateTarget(kHurt);
        return;
    }
    if (window) {
        window->PushSound("EnemyInjured");
        window->PushShowDamage(id, damage);
        window->QueueText(Format("%i points of mortal damage to %s!", damage, GetName().c_str()));
        window->QueueLineBreak();
        QueueKnockOut(*window);
    }
}

void Enemy::QueueKnockOut(GUICombatMessageWindow& window) {
    window.PushSetTarget(GetCombatId());
    window.PushAnimateTarget(kKnockedOut);
    window.PushWait(48);
    window.PushSound("EnemyKO");
    window.QueueText(GetKOText());
    window.QueueLineBreak();
    window.PushWait(48);
}

AttackMovement Enemy::GetAttackMovement(Character* attacker, Character* target) {
    AttackMovement move;
    if (!attacker || !target || !attacker->GetFieldSprite() || !target->GetFieldSprite()) return move;
    const CombatSprite& from = *attacker->GetFieldSprite();
    const CombatSprite& to = *target->GetFieldSprite();
    move.fromX = from.GetX();
    move.fromY = from.GetY();
    move.toY = to.GetY();
    if (from.GetX() < to.GetX())
        move.toX = static_cast<float>(target->GetHomeX()) - to.GetAttackOffset() - from.GetAttackOffset();
    else
        move.toX = static_cast<float>(target->GetHomeX()) + to.GetAttackOffset();
    return move;
}
