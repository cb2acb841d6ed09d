#pragma once
// An enemy template that a script registers in the data library and fills
// with the EP_ functions: combat name, statistics, level range, reward, death
// message, attack timing and the instructions that load its images and
// build its field sprite.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "combat/CombatStats.h"

class CombatImageLibrary;
struct lua_State;

class EnemyPrototype {
public:
    // Longest image base name of a loading instruction.
    static constexpr size_t kMaxBaseName = 255;
    // Most images one loading instruction may name.
    static constexpr int32_t kMaxImageCount = 1024;

    struct LoadingInstruction {
        std::string baseName;
        int32_t count = 0;
    };

    EnemyPrototype() = default;

    // True when drawn for random battles at that level: the random flag is
    // set and the level lies in the range.
    bool IsEligible(int32_t level) const;

    void SetCombatName(const std::string& name) { m_combatName = name; }
    void SetRandomFlag(bool flag) { m_random = flag ? 1 : 0; }
    void SetLoadingInstructionPath(const std::string& path) { m_loadingPath = path; }
    void SetDeathMessage(const std::string& text) { m_deathMessage = text; }
    void SetLoadingString(const std::string& text) { m_loadingString = text; }
    // Level; HP and max HP; MP and max MP; the six statistics. Shown HP and
    // MP stay as they were.
    void SetCombatStats(int32_t level, int32_t hp, int32_t mp, int32_t strength, int32_t toughness, int32_t intellect,
                        int32_t cunning, int32_t agility, int32_t speed);
    void SetLevelRange(int32_t minimum, int32_t maximum);
    void SetEXPForKill(int32_t amount) { m_expForKill = amount; }
    // The base name is cut to kMaxBaseName characters; false (nothing added)
    // for a count outside 0..kMaxImageCount.
    bool AddLoadingInstruction(const std::string& baseName, int32_t count);
    // The hit frame becomes 0 when negative or not below the strike frames.
    void SetAttackAnimInstructions(int32_t hitFrame, int32_t strikeFrames, int32_t ticksPerStrikeFrame, int32_t fourth,
                                   int32_t fifth);
    // Loads every image the instructions name into the library.
    void RunLoadingInstructions(CombatImageLibrary* library) const;

    const std::optional<std::string>& GetCombatName() const { return m_combatName; }
    const std::optional<std::string>& GetLoadingString() const { return m_loadingString; }
    const std::optional<std::string>& GetLoadingInstructionPath() const { return m_loadingPath; }
    bool GetRandomFlag() const { return m_random != 0; }
    const std::string& GetDeathMessage() const { return m_deathMessage; }
    // Null until the statistics were set.
    const CombatStats* GetStats() const { return m_stats.get(); }
    int32_t GetMinimumLevel() const { return m_minimumLevel; }
    int32_t GetMaximumLevel() const { return m_maximumLevel; }
    int32_t GetEXPForKill() const { return m_expForKill; }
    const std::vector<LoadingInstruction>& GetLoadingInstructions() const { return m_instructions; }
    int32_t GetHitFrame() const { return m_hitFrame; }
    int32_t GetStrikeFrames() const { return m_strikeFrames; }
    int32_t GetTicksPerStrikeFrame() const { return m_ticksPerStrikeFrame; }
    int32_t GetFourthValue() const { return m_fourth; }
    int32_t GetFifthValue() const { return m_fifth; }

    // Keeps a registered prototype until the process ends.
    static EnemyPrototype* KeepForever(std::unique_ptr<EnemyPrototype> prototype);

private:
    std::optional<std::string> m_combatName;
    std::optional<std::string> m_loadingString;
    std::optional<std::string> m_loadingPath;
    uint8_t m_random = 1;
    std::string m_deathMessage = "Death Message not set";
    std::unique_ptr<CombatStats> m_stats;
    int32_t m_minimumLevel = 101;
    int32_t m_maximumLevel = -1;
    int32_t m_expForKill = 0;
    std::vector<LoadingInstruction> m_instructions;
    int32_t m_hitFrame = 0;
    int32_t m_strikeFrames = 0;
    int32_t m_ticksPerStrikeFrame = 0;
    int32_t m_fourth = 0;
    int32_t m_fifth = 0;
};

// The ten EP_ functions.
void RegisterEnemyPrototypeLuaFunctions(lua_State* L);
