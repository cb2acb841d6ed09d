// PartyManager_ script functions: the party is formed by class name.
#include <lua5.1/lua.hpp>

#include <string>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/PartyManager.h"
#include "core/script/ScriptArgs.h"

namespace {

PartyManager* Party() { return static_cast<PartyManager*>(GetCombatRegistry().partyManager); }

// While a battle runs its turn order, its windows and its sprites' queues
// hold the members: the party is not changed under it.
bool InBattle() {
    const CombatManager* combat = GetCombatRegistry().combatManager;
    return combat && combat->IsBattleRunning();
}

int PartyManager_AddCharacter(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail("PartyManager_AddCharacter:  Failed, invalid argument list\n");
    PartyManager* party = Party();
    if (!party) return script::Fail("PartyManager_AddCharacter:  Failed, PartyManager does not exist\n");
    if (InBattle()) return script::Fail("PartyManager_AddCharacter:  Failed, a battle is running\n");
    party->AddCharacter(name.c_str());
    return 0;
}

// The second argument is required but not used.
int PartyManager_DelCharacter(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, name))
        return script::Fail("PartyManager_DelCharacter:  Failed, invalid argument list\n");
    PartyManager* party = Party();
    if (!party) return script::Fail("PartyManager_DelCharacter:  Failed, PartyManager does not exist\n");
    if (InBattle()) return script::Fail("PartyManager_DelCharacter:  Failed, a battle is running\n");
    party->DelCharacter(name.c_str());
    return 0;
}

int PartyManager_ClearParty(lua_State*) {
    PartyManager* party = Party();
    if (!party) return script::Fail("PartyManager_ClearParty:  Failed, PartyManager does not exist\n");
    if (InBattle()) return script::Fail("PartyManager_ClearParty:  Failed, a battle is running\n");
    party->ClearParty();
    return 0;
}

int PartyManager_RestoreParty(lua_State*) {
    PartyManager* party = Party();
    if (!party) return script::Fail("PartyManager_RestoreParty:  Failed, PartyManager does not exist\n");
    party->RestoreParty();
    return 0;
}

const script::Function kFunctions[] = {
    {"PartyManager_AddCharacter", PartyManager_AddCharacter},
    {"PartyManager_DelCharacter", PartyManager_DelCharacter},
    {"PartyManager_ClearParty", PartyManager_ClearParty},
    {"PartyManager_RestoreParty", PartyManager_RestoreParty},
    {nullptr, nullptr},
};

}  // namespace

void PartyManager::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
