#include "combat/CombatRegistry.h"

#include "combat/CombatEnemies.h"
#include "combat/CombatImageLibrary.h"
#include "combat/CombatImages.h"
#include "combat/CombatListHolder.h"
#include "combat/CombatManager.h"
#include "combat/CombatParty.h"
#include "combat/EnemyManager.h"
#include "combat/EnemyPrototype.h"
#include "combat/FieldSprite.h"
#include "combat/FieldSpriteDisplayList.h"
#include "combat/FieldSpriteanimation.h"
#include "combat/PartyManager.h"

CombatRegistry& GetCombatRegistry() {
    static CombatRegistry registry;
    return registry;
}

void InitCombatRegistry() {
    CombatRegistry& registry = GetCombatRegistry();
    // In their order: the image library, the enemy manager, the list
    // holder, the combat manager, the party manager.
    if (!registry.imageLibrary) registry.imageLibrary = new CombatImageLibrary;
    if (!registry.enemyManager) registry.enemyManager = new EnemyManager;
    if (!registry.listHolder) registry.listHolder = new CombatListHolder;
    if (!registry.combatManager) registry.combatManager = new CombatManager;
    if (!registry.partyManager) registry.partyManager = new PartyManager;
}

void DestroyCombatRegistry() {
    CombatRegistry& registry = GetCombatRegistry();
    // The battle's combatants go before the managers that point at them.
    delete registry.partyManager;
    registry.partyManager = nullptr;
    delete registry.combatManager;
    registry.combatManager = nullptr;
    delete registry.listHolder;
    registry.listHolder = nullptr;
    delete registry.enemyManager;
    registry.enemyManager = nullptr;
    delete registry.imageLibrary;
    registry.imageLibrary = nullptr;
}

void PrepareCombatData() {
    CombatRegistry& registry = GetCombatRegistry();
    if (registry.enemyManager) registry.enemyManager->ScanLibraryForEnemies("Enemies");
    if (registry.partyManager) registry.partyManager->LoadFieldSprites();
}

void RegisterCombatLuaFunctions(lua_State* L) {
    if (!L) return;
    RegisterFieldSpriteLuaFunctions(L);
    RegisterFieldSpriteAnimationLuaFunctions(L);
    RegisterFieldSpriteDisplayListLuaFunctions(L);
    CombatManager::RegisterLuaFunctions(L);
    RegisterEnemyPrototypeLuaFunctions(L);
    CombatManager::RegisterDebugLuaFunctions(L);
}
