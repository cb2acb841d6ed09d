#pragma once
// The player's party: the members in party order (the order of addition,
// which gives their combatant ids, target indexes, battle places and status
// displays), the member whose command is being entered, the leader named in
// the experience message, and the current character the Character_ script
// functions act on.
#include <cstdint>
#include <string>

#include "combat/CombatParty.h"

class Character;
class NamedList;
struct lua_State;

class PartyManager : public CombatParty {
public:
    // Registers the PartyManager_ and Character_ functions on the script
    // host's state (when it exists).
    PartyManager();
    ~PartyManager() override;
    PartyManager(const PartyManager&) = delete;
    PartyManager& operator=(const PartyManager&) = delete;

    // "Orravine", "Bramle", "Sesket", "Wistlemarn", "Kell", "Tamberlyx":
    // a new member of that class, appended and made current. Any other name
    // adds nothing and returns null.
    Character* AddCharacter(const char* className);
    // Appends a member built elsewhere (the save-file loader); the manager
    // owns it from now on.
    void AddMember(const char* name, Character* member);
    // Deletes the first member listed under the name; current, active and
    // leader forget it.
    void DelCharacter(const char* name);
    void ClearParty();
    void RestoreParty();
    void ReviveKnockedOut() override;

    NamedList* GetPartyList() override { return m_party; }
    int32_t GetPartySize() const override;
    Character* GetActiveCharacter() const override { return m_active; }
    void ClearActive() override { m_active = nullptr; }
    Character* GetLeader() const override { return m_leader; }
    Character* GetCurrentCharacter() const override { return m_current; }
    void SetCurrentCharacter(Character* character) override { m_current = character; }
    Character* GetMemberAt(int32_t index) const;

    bool IsWipedOut() const override;
    Character* PickRandomTarget(int32_t command, int32_t subChoice) override;
    Character* FirstValidTarget(int32_t command);
    void ListTargets(NamedList* list, int32_t command, int32_t subChoice) override;
    // "<leader> and her friends got <amount> experience!"; empty without a
    // leader.
    std::string FormatExperienceMessage(int32_t amount) const override;
    // Each member (knocked-out ones too) gains the reward divided by the
    // party size; nothing for an empty party.
    void ShareExperience(int32_t reward) override;

    // Round start: status displays, resets, leader and active member (its
    // command window filled). Members whose field sprite was never built get
    // it first.
    void PrepareForBattle() override;
    bool NextActiveCharacter() override;
    void SetCombatIds(int32_t* counter) override;
    void PlaceParty(int32_t side) override;
    void LoadFieldSprites() override;
    void UpdateFieldSprites() override;
    void DrawFieldSprites();

    // PartyManager_AddCharacter, PartyManager_DelCharacter,
    // PartyManager_ClearParty, PartyManager_RestoreParty.
    static void RegisterLuaFunctions(lua_State* L);

private:
    void Forget(Character* member);

    NamedList* m_party;
    Character* m_active = nullptr;
    Character* m_leader = nullptr;
    Character* m_current = nullptr;
};
