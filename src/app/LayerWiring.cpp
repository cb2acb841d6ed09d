#include "app/LayerWiring.h"

#include "app/ConsoleManager.h"
#include "app/GameStates.h"
#include "app/ScriptVariableLua.h"
#include "app/StandardWindows.h"
#include "combat/CombatWindows.h"
#include "combat/GUICombatCharDisplay.h"
#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/media/DisplayManager.h"
#include "gui/GUIButtonCallbacks.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "maps/GUIEnvironmentWindow.h"
#include "maps/MapManager.h"
#include "network/GUIChatWindow.h"
#include "network/NetworkManager.h"
#include "world/CameraManager.h"
#include "world/ChatManager.h"
#include "world/PropertyRoutes.h"
#include "world/Terrain.h"
#include "world/items/InventoryWindows.h"

namespace {

void RegisterHostFamilies(lua_State* state) {
    CameraManager::RegisterLuaFunctions(state);
    GUIManager::RegisterLuaFunctions(state);
    ChatManager::RegisterLuaFunctions(state);
    RegisterScriptVariableLuaFunctions(state);
}

bool IsConsoleCommand(const std::string& line) {
    ConsoleManager* console = GetGlobalState()->consoleManager;
    return console && console->IsCommand(line);
}

void RunConsoleCommand(const std::string& line) {
    if (ConsoleManager* console = GetGlobalState()->consoleManager) console->ExecuteCommand(line);
}

// The game's windows that the toolkit reaches only through its registries.
void RegisterGameWidgets() {
    GUIManager::RegisterWidgetKind("GUIEnvironmentWindow", GUIEnvironmentWindow::Create, nullptr);
    GUIManager::RegisterWidgetKind("GUICombatCharDisplay", nullptr, GUICombatCharDisplay::RegisterLuaFunctions);
    RegisterButtonCallbackPrefix("Combat", GetCombatButtonCallback);
    RegisterButtonCallbackPrefix("Inv", GetInventoryButtonCallback);
    GUIInputTextBox::SetLineEnteredHandler(GUIChatWindow::OnLineEntered);
}

void RequestSnapshot() {
    if (DisplayManager* display = GetGlobalState()->displayManager) display->RequestSnapshot();
}

std::optional<std::string> CurrentMapName() {
    MapManager* maps = GetGlobalState()->mapManager;
    return maps ? maps->GetMapName() : std::nullopt;
}

bool IsOnline() {
    NetworkManager* network = GetGlobalState()->networkManager;
    return network && network->IsConnected();
}

void SetState(LayerHooks& hooks, GameStateId id, EventHandlerFn handler, RenderFn render) {
    hooks.stateHandlers[static_cast<int>(id)] = handler;
    hooks.stateRenderers[static_cast<int>(id)] = render;
}

}  // namespace

void InstallLayerHooks() {
    LayerHooks& hooks = GetLayerHooks();
    hooks.drawInterface = GUIManager::DrawInterface;
    hooks.keyTyped = GUIManager::KeyTyped;
    hooks.registerHostFamilies = RegisterHostFamilies;
    hooks.isConsoleCommand = IsConsoleCommand;
    hooks.runConsoleCommand = RunConsoleCommand;
    RegisterPropertyRoutes();
    RegisterGameWidgets();
    hooks.requestSnapshot = RequestSnapshot;
    hooks.currentMapName = CurrentMapName;
    hooks.isOnline = IsOnline;
    SetTerrainSource(MapManager::GlobalTerrain);
    SetState(hooks, GameStateId::Title, TitleStateHandleEvent, TitleStateRender);
    SetState(hooks, GameStateId::Transition, TransitionStateHandleEvent, TransitionStateRender);
    SetState(hooks, GameStateId::Combat, HandleCombatEvent, RedrawCombat);
}
