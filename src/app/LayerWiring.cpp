#include "app/LayerWiring.h"

#include "app/ConsoleManager.h"
#include "app/GameStates.h"
#include "app/ScriptVariableLua.h"
#include "combat/CombatLayerWiring.h"
#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/media/MediaLayerWiring.h"
#include "gui/GUILayerWiring.h"
#include "maps/MapsLayerWiring.h"
#include "network/NetworkLayerWiring.h"
#include "world/WorldLayerWiring.h"

namespace {

void RegisterHostFamilies(lua_State* state) {
    RegisterWorldHostFamilies(state);
    RegisterScriptVariableLuaFunctions(state);
}

bool IsConsoleCommand(const std::string& line) {
    ConsoleManager* console = GetGlobalState()->consoleManager;
    return console && console->IsCommand(line);
}

void RunConsoleCommand(const std::string& line) {
    if (ConsoleManager* console = GetGlobalState()->consoleManager) console->ExecuteCommand(line);
}

void SetState(LayerHooks& hooks, GameStateId id, EventHandlerFn handler, RenderFn render) {
    hooks.stateHandlers[static_cast<int>(id)] = handler;
    hooks.stateRenderers[static_cast<int>(id)] = render;
}

}  // namespace

void InstallLayerHooks() {
    // Each layer hands down its own, from the ground up, as the test wiring
    // does for the layers a test program links (tests/support/TestWiring.cpp);
    // a slot two layers fill keeps the higher one's.
    InstallMediaLayerHooks();
    InstallGUILayerHooks();
    InstallCombatLayerHooks();
    InstallWorldLayerHooks();
    InstallMapsLayerHooks();
    InstallNetworkLayerHooks();
    LayerHooks& hooks = GetLayerHooks();
    hooks.registerHostFamilies = RegisterHostFamilies;
    hooks.isConsoleCommand = IsConsoleCommand;
    hooks.runConsoleCommand = RunConsoleCommand;
    SetState(hooks, GameStateId::Title, TitleStateHandleEvent, TitleStateRender);
    SetState(hooks, GameStateId::Transition, TransitionStateHandleEvent, TransitionStateRender);
    SetState(hooks, GameStateId::Combat, HandleCombatEvent, RedrawCombat);
}
