#include "combat/EnemyPrototype.h"

#include "combat/CombatImageLibrary.h"

bool EnemyPrototype::IsEligible(int32_t level) const {
    return m_random && m_minimumLevel <= level && level <= m_maximumLevel;
}

void EnemyPrototype::SetCombatStats(int32_t level, int32_t hp, int32_t mp, int32_t strength, int32_t toughness,
                                    int32_t intellect, int32_t cunning, int32_t agility, int32_t speed) {
    if (!m_stats) m_stats = std::make_unique<CombatStats>();
    CombatStats& s = *m_stats;
    s.level = level;
    s.hp = s.maxHp = hp;
    s.mp = s.maxMp = mp;
    s.strength = strength;
    s.toughness = toughness;
    s.intellect = intellect;
    s.cunning = cunning;
    s.agility = agility;
    s.speed = speed;
}

void EnemyPrototype::SetLevelRange(int32_t minimum, int32_t maximum) {
    m_minimumLevel = minimum;
    m_maximumLevel = maximum;
}

bool EnemyPrototype::AddLoadingInstruction(const std::string& baseName, int32_t count) {
    if (count < 0 || count > kMaxImageCount) return false;
    m_instructions.push_back({baseName.substr(0, kMaxBaseName), count});
    return true;
}

void EnemyPrototype::SetAttackAnimInstructions(int32_t hitFrame, int32_t strikeFrames, int32_t ticksPerStrikeFrame,
                                               int32_t fourth, int32_t fifth) {
    m_hitFrame = (hitFrame < 0 || hitFrame >= strikeFrames) ? 0 : hitFrame;
    m_strikeFrames = strikeFrames;
    m_ticksPerStrikeFrame = ticksPerStrikeFrame;
    m_fourth = fourth;
    m_fifth = fifth;
}

void EnemyPrototype::RunLoadingInstructions(CombatImageLibrary* library) const {
    if (!library) return;
    const char* loading = m_loadingString ? m_loadingString->c_str() : nullptr;
    for (const LoadingInstruction& instruction : m_instructions) {
        for (int32_t k = 0; k < instruction.count; ++k) library->LoadImage(loading, instruction.baseName.c_str(), k);
    }
}

EnemyPrototype* EnemyPrototype::KeepForever(std::unique_ptr<EnemyPrototype> prototype) {
    // Never destroyed: registered prototypes stay valid to the very end.
    static auto* kept = new std::vector<std::unique_ptr<EnemyPrototype>>();
    kept->push_back(std::move(prototype));
    return kept->back().get();
}
