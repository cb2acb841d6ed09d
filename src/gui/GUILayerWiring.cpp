#include "gui/GUILayerWiring.h"

#include "core/base/LayerHooks.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIManager.h"

void RegisterGUIHostFamilies(lua_State* L) { GUIManager::RegisterLuaFunctions(L); }

void InstallGUILayerHooks() {
    LayerHooks& hooks = GetLayerHooks();
    hooks.drawInterface = GUIManager::DrawInterface;
    hooks.registerHostFamilies = RegisterGUIHostFamilies;
    PropertyRouter::SetResolver("GUI", GUIManager::RouteProperty);
}
