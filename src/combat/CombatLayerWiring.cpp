#include "combat/CombatLayerWiring.h"

#include "combat/CombatRegistry.h"
#include "combat/CombatWindows.h"
#include "combat/DataLibraryCombatLua.h"
#include "combat/GUICombatCharDisplay.h"
#include "gui/GUIButtonCallbacks.h"
#include "gui/GUIManager.h"

void RegisterCombatLayerFamilies(lua_State* L) {
    if (!L) return;
    RegisterDataLibraryCombatLuaFunctions(L);
    RegisterCombatLuaFunctions(L);
}

void InstallCombatLayerHooks() {
    GUIManager::RegisterWidgetKind("GUICombatCharDisplay", nullptr, GUICombatCharDisplay::RegisterLuaFunctions);
    RegisterButtonCallbackPrefix("Combat", GetCombatButtonCallback);
}
