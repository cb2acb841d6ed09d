// PartyManager_ script functions: the party is formed by class name.
#include <lua5.1/lua.hpp>

#include <string>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/FieldSprite.h"
#include "combat/PartyManager.h"
#include "core/script/ScriptArgs.h"

namespace {

PartyManager* Party() { return static_cast<PartyManager*>(GetCombatRegistry().partyManager); }

// The party is not changed under what holds its members: a running battle
// (its turn order, windows and sprites' queues), or a field-sprite script,
// which runs for one member's sprite while the party is walked. The reason
// for the function's line, or null when the change may go ahead.
const char* Refusal() {
    const CombatManager* combat = GetCombatRegistry().combatManager;
    if (combat && combat->IsBattleRunning()) return "a battle is running";
    if (FieldSprite::IsLoadingFromScript()) return "field sprites are loading";
    return nullptr;
}

int PartyManager_AddCharacter(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail("PartyManager_AddCharacter:  Failed, invalid argument list\n");
    PartyManager* party = Party();
    if (!party) return script::Fail("PartyManager_AddCharacter:  Failed, PartyManager does not exist\n");
    if (const char* reason = Refusal()) return script::Lines{"PartyManager_AddCharacter"}.Fail(reason);
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
    if (const char* reason = Refusal()) return script::Lines{"PartyManager_DelCharacter"}.Fail(reason);
    party->DelCharacter(name.c_str());
    return 0;
}

int PartyManager_ClearParty(lua_State*) {
    PartyManager* party = Party();
    if (!party) return script::Fail("PartyManager_ClearParty:  Failed, PartyManager does not exist\n");
    if (const char* reason = Refusal()) return script::Lines{"PartyManager_ClearParty"}.Fail(reason);
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
