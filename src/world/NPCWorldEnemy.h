#pragma once
// A roaming enemy on the map. It wanders while the player is far, chases the
// player inside its detect range and, inside its aggro range, preloads its
// encounter into the next battle, asks for the battle and goes inert (no
// longer updated or drawn until the map loads again).
//
// Its encounter is a list of mobs: enemy prototypes from the data library
// (section / stratum / kind / name), each with a chance in percent. With
// max spawns 0 every mob comes; with n > 0, n rolls of 1..100 each pick the
// mob whose slice of the running sum of chances holds the roll.
//
// It carries the plain character's type id; scripts tell it apart by class.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "world/NonPlayingCharacter.h"

class NPCWorldEnemy : public NonPlayingCharacter {
public:
    // Fallback prototype when a named one is missing.
    static constexpr const char* kFallbackMob = "Didozado";

    struct Mob {
        std::string name;
        int32_t chance = 100;
        void* prototype = nullptr;  // an enemy prototype of the data library; never null
    };

    // AI modes.
    static constexpr int32_t kModeNone = -1;
    static constexpr int32_t kModeWander = 1;
    static constexpr int32_t kModeChase = 2;

    NPCWorldEnemy();
    ~NPCWorldEnemy() override;

    // The checks of one update, in order: menus open offline freeze it; the
    // automatic ranges are derived once; only the tick (-1) goes on; a
    // defeated enemy stays still; in aggro range the battle starts; in
    // detect range it chases; else it wanders.
    bool HandleMouseState(int32_t mouseState) override;
    // Faces up, flipped by AnimFlip.
    void UpdateAppearance() override;
    void* RoutePointer(const std::string& name) override;

    // Each stores the value only when it is above 0.
    void SetMaxSpawns(int32_t n);
    void SetDetectRange(int32_t range);
    void SetAggroRange(int32_t range);
    void SetRespawnTime(int32_t ticks);
    void SetAutoDetectRange(bool on) { m_autoDetectRange = on ? 1 : 0; }
    void SetAutoAggroRange(bool on) { m_autoAggroRange = on ? 1 : 0; }
    void SetSection(const std::string& text) { m_section = text; }
    void SetStratum(const std::string& text) { m_stratum = text; }
    void SetKind(const std::string& text) { m_kind = text; }

    int32_t GetMaxSpawns() const { return m_maxSpawns; }
    int32_t GetDetectRange() const { return m_detectRange; }
    int32_t GetAggroRange() const { return m_aggroRange; }
    int32_t GetRespawnTime() const { return m_respawnTime; }
    bool GetAutoDetectRange() const { return m_autoDetectRange != 0; }
    bool GetAutoAggroRange() const { return m_autoAggroRange != 0; }
    const std::string& GetSection() const { return m_section; }
    const std::string& GetStratum() const { return m_stratum; }
    const std::string& GetKind() const { return m_kind; }
    bool IsReady() const { return m_ready != 0; }
    double GetDefeatTime() const { return m_defeatTime; }
    int32_t GetAIMode() const { return m_aiMode; }
    const std::vector<Mob>& GetMobs() const { return m_mobs; }

    // Looks the prototype up under (section, stratum, kind, name), else the
    // fallback; appends it under the name. With neither found the mob is
    // skipped with a line.
    void AddMob(const std::string& name, int32_t chance = 100);
    // AddMob with chance 100 from the "Boss" heading.
    void AddBoss(const std::string& name);

    // Ground distance to the player's centre, truncated; -1 without a player.
    int64_t DistanceToPlayer() const;
    // 1 <= distance <= range: a player standing on the centre is in neither.
    bool InDetectRange() const;
    bool InAggroRange() const;

    // The prototypes of the next battle, drawn from the engine's random
    // source; with max spawns n > 0 and no roll landing, the prototype
    // named after the character (when the library has one).
    std::vector<void*> ChooseEncounter() const;
    // Replaces the combat manager's preload list with ChooseEncounter.
    void SpawnEncounter();

    // Registers the NPC_WorldEnemy_ functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    // Derives the ranges whose automatic flag is set, then clears the flag.
    void ApplyAutomaticRanges();
    void StartBattle();
    void Chase();
    void Wander();
    // The router binds a package to the active character: this one is made
    // active for the binding and the previous one restored.
    template <class Package> Package* SyncedPackage(Package* package);
    void* LookUpPrototype(const std::string& name) const;

    int32_t m_maxSpawns = 0;
    std::vector<Mob> m_mobs;
    int32_t m_detectRange = 500;
    int32_t m_aggroRange = 50;
    int32_t m_respawnTime = 360;
    uint8_t m_ready = 1;
    double m_defeatTime = 0.0;
    uint8_t m_autoDetectRange = 1;
    uint8_t m_autoAggroRange = 1;
    std::string m_section = "Enemies";
    std::string m_stratum = "StratumZero";
    std::string m_kind = "Normal";
    int32_t m_aiMode = kModeNone;
};

// Registers the NPC_WorldEnemy_ functions.
void RegisterNPCWorldEnemyLuaFunctions(lua_State* L);
