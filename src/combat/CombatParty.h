#pragma once
// What the battle asks of the party: the party manager implements it, and
// the combat registry's party slot holds it.
#include <cstdint>
#include <string>

class Character;
class NamedList;

class CombatParty {
public:
    virtual ~CombatParty() = default;

    virtual NamedList* GetPartyList() = 0;
    virtual int32_t GetPartySize() const = 0;
    // The member whose command is being entered; null between rounds.
    virtual Character* GetActiveCharacter() const = 0;
    virtual void ClearActive() = 0;
    virtual Character* GetLeader() const = 0;
    // The character the Character_ script functions act on.
    virtual Character* GetCurrentCharacter() const = 0;
    virtual void SetCurrentCharacter(Character* character) = 0;

    // Round start: leader and active member, status displays, resets, and
    // the command window filled for the active member.
    virtual void PrepareForBattle() = 0;
    // The next living member after the active one; false when none.
    virtual bool NextActiveCharacter() = 0;
    // Each member gets *counter as combatant id and the counter is raised.
    virtual void SetCombatIds(int32_t* counter) = 0;
    virtual void PlaceParty(int32_t side) = 0;
    virtual void LoadFieldSprites() = 0;
    virtual void UpdateFieldSprites() = 0;

    virtual bool IsWipedOut() const = 0;
    virtual void ReviveKnockedOut() = 0;
    virtual std::string FormatExperienceMessage(int32_t amount) const = 0;
    virtual void ShareExperience(int32_t reward) = 0;

    // A uniformly random member valid as target; null when none.
    virtual Character* PickRandomTarget(int32_t command, int32_t subChoice) = 0;
    // Appends a CombatTarget under "X" for each valid member.
    virtual void ListTargets(NamedList* list, int32_t command, int32_t subChoice) = 0;
};
