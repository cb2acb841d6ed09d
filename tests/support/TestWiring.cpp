#include "support/TestWiring.h"

#ifdef QEL_TEST_HAS_APP
#include "app/LayerWiring.h"
#else
#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#endif
#if defined(QEL_TEST_HAS_GUI) && !defined(QEL_TEST_HAS_APP)
#include "core/script/PropertyRouter.h"
#include "gui/GUIButtonCallbacks.h"
#include "gui/GUIManager.h"
#endif
#if defined(QEL_TEST_HAS_COMBAT) && !defined(QEL_TEST_HAS_APP)
#include "combat/CombatWindows.h"
#include "combat/GUICombatCharDisplay.h"
#endif
#if defined(QEL_TEST_HAS_WORLD) && !defined(QEL_TEST_HAS_APP)
#include "world/CameraManager.h"
#include "world/ChatManager.h"
#include "world/PropertyRoutes.h"
#include "world/items/InventoryWindows.h"
#endif
#if defined(QEL_TEST_HAS_MAPS) && !defined(QEL_TEST_HAS_APP)
#include "maps/GUIEnvironmentWindow.h"
#include "maps/MapManager.h"
#include "world/Terrain.h"
#endif
#if defined(QEL_TEST_HAS_NETWORK) && !defined(QEL_TEST_HAS_APP)
#include "gui/GUIInputTextBox.h"
#include "network/GUIChatWindow.h"
#endif

namespace testsupport {

#ifdef QEL_TEST_HAS_APP

void InstallTestWiring() { InstallLayerHooks(); }

#else

namespace {

#ifdef QEL_TEST_HAS_GUI
// The families the script host opens with, of the layers linked, in the
// program's order.
void RegisterHostFamilies(lua_State* state) {
#ifdef QEL_TEST_HAS_WORLD
    CameraManager::RegisterLuaFunctions(state);
#endif
    GUIManager::RegisterLuaFunctions(state);
#ifdef QEL_TEST_HAS_WORLD
    ChatManager::RegisterLuaFunctions(state);
#endif
}
#endif

}  // namespace

void InstallTestWiring() {
#ifdef QEL_TEST_HAS_GUI
    LayerHooks& hooks = GetLayerHooks();
    hooks.drawInterface = GUIManager::DrawInterface;
    hooks.keyTyped = GUIManager::KeyTyped;
    hooks.registerHostFamilies = RegisterHostFamilies;
#ifdef QEL_TEST_HAS_WORLD
    RegisterPropertyRoutes();
#else
    PropertyRouter::SetResolver("GUI", GUIManager::RouteProperty);
#endif
#endif
#ifdef QEL_TEST_HAS_COMBAT
    GUIManager::RegisterWidgetKind("GUICombatCharDisplay", nullptr, GUICombatCharDisplay::RegisterLuaFunctions);
    RegisterButtonCallbackPrefix("Combat", GetCombatButtonCallback);
#endif
#ifdef QEL_TEST_HAS_WORLD
    RegisterButtonCallbackPrefix("Inv", GetInventoryButtonCallback);
#endif
#ifdef QEL_TEST_HAS_MAPS
    GUIManager::RegisterWidgetKind("GUIEnvironmentWindow", GUIEnvironmentWindow::Create, nullptr);
    SetTerrainSource(MapManager::GlobalTerrain);
#endif
#ifdef QEL_TEST_HAS_NETWORK
    GUIInputTextBox::SetLineEnteredHandler(GUIChatWindow::OnLineEntered);
#endif
}

#endif

}  // namespace testsupport
