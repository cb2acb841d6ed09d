#include "combat/CombatRegistry.h"

#include "combat/CombatEnemies.h"
#include "combat/CombatImages.h"
#include "combat/CombatListHolder.h"
#include "combat/CombatManager.h"
#include "combat/CombatParty.h"

CombatRegistry& GetCombatRegistry() {
    static CombatRegistry registry;
    return registry;
}

void InitCombatRegistry() {
    CombatRegistry& registry = GetCombatRegistry();
    // In their order: the image library, the enemy manager, the list
    // holder, the combat manager, the party manager. The image library and
    // the two side managers take their slots once they are built.
    if (!registry.listHolder) registry.listHolder = new CombatListHolder;
    if (!registry.combatManager) registry.combatManager = new CombatManager;
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
    // The FSprite_, FSpriteAnim_ and FSpriteDL_ functions come first, and
    // the EP_ functions between these two, once they are built.
    CombatManager::RegisterLuaFunctions(L);
    CombatManager::RegisterDebugLuaFunctions(L);
}
