#include "maps/MapsLayerWiring.h"

#include <optional>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "gui/GUIManager.h"
#include "gui/WidgetKinds.h"
#include "maps/DefinedMap.h"
#include "maps/GUIEnvironmentWindow.h"
#include "maps/IsometricMap.h"
#include "maps/MapManager.h"
#include "world/Camera.h"
#include "world/Terrain.h"

namespace {

std::optional<std::string> CurrentMapName() {
    MapManager* maps = GetGlobalState()->mapManager;
    return maps ? maps->GetMapName() : std::nullopt;
}

bool IsMapWindow(const GUIBaseObject* object) { return object && object->GetType() == kTypeGUIEnvironmentWindow; }

}  // namespace

void RegisterMapsLayerFamilies(lua_State* L) {
    if (!L) return;
    IsometricMap::RegisterLuaFunctions(L);  // ISOM_
    DefinedMap::RegisterLuaFunctions(L);    // DefinedMap_
}

void InstallMapsLayerHooks() {
    GUIManager::RegisterWidgetKind("GUIEnvironmentWindow", GUIEnvironmentWindow::Create, nullptr);
    Camera::SetMapWindowTest(IsMapWindow);
    SetTerrainSource(MapManager::GlobalTerrain);
    GetLayerHooks().currentMapName = CurrentMapName;
}
