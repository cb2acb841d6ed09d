#pragma once
// The five combat-side singletons, in one static block. Created once by
// start-up (InitCombatRegistry) and deleted by the destruction sequence. The
// slots of pieces not built yet stay null, and their callers skip them.
#include <lua5.1/lua.hpp>

class CombatImages;
class CombatManager;
class CombatEnemies;
class CombatListHolder;
class CombatParty;

struct CombatRegistry {
    CombatImages* imageLibrary = nullptr;  // the combat image library
    CombatManager* combatManager = nullptr;
    CombatEnemies* enemyManager = nullptr;  // the enemy manager
    CombatListHolder* listHolder = nullptr;
    CombatParty* partyManager = nullptr;  // the party manager
};

CombatRegistry& GetCombatRegistry();

// Creates the members that exist, in their order, each into its slot.
// Calling it again changes nothing.
void InitCombatRegistry();
// Deletes every member and clears the slots.
void DestroyCombatRegistry();
// Start-up scan of the enemy prototypes and the party's field sprites.
void PrepareCombatData();
// The combat registrar: the combat families' script functions.
void RegisterCombatLuaFunctions(lua_State* L);
