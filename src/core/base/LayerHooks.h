#pragma once
// Services the higher layers hand down at start-up. The ground and the
// subsystems never include a header from the layer above them; where they
// must reach up (drawing the GUI into a frame, running a console line,
// switching game states, asking for a snapshot or the map's name, whether
// the network is connected), they call through these slots. A slot that is
// still null is skipped.
#include <optional>
#include <string>

#include "core/base/GlobalState.h"

struct lua_State;
class BitmapWrapper;

// The game states a lower layer can switch to.
enum class GameStateId { Title, Transition, Combat, Count };

// A slot holding a function of the given type.
template <class Function> using HookSlot = Function*;

// The slots, one row each: X(name, function type). The struct below declares
// them from this list, and a test checks that start-up fills every row, so a
// slot added here and never filled fails it. Each row is filled by the
// installer of the layer that answers it (<layer>/<Layer>LayerWiring.cpp;
// the top layer's own in app/LayerWiring.cpp), and InstallLayerHooks calls
// the installers from the ground up.
#define QEL_LAYER_HOOKS(X)                                                     \
    /* Draws the GUI into the frame; false when there is no GUI to draw. */    \
    X(drawInterface, bool(BitmapWrapper*))                                     \
    /* Registers the script families the script host opens with, beyond its */ \
    /* own (cameras, GUI, chat log, script variables). */                      \
    X(registerHostFamilies, void(lua_State*))                                  \
    /* True when the line is a console command. */                             \
    X(isConsoleCommand, bool(const std::string& line))                         \
    /* Runs a console command line. */                                         \
    X(runConsoleCommand, void(const std::string& line))                        \
    /* Asks the display for a snapshot of the next frame. */                   \
    X(requestSnapshot, void())                                                 \
    /* The map manager's load target: the map the game starts in (none when */ \
    /* unset). */                                                              \
    X(currentMapName, std::optional<std::string>())                            \
    /* True while the network manager is connected to a server. */             \
    X(isOnline, bool())

struct LayerHooks {
#define QEL_LAYER_HOOK_SLOT(name, ...) HookSlot<__VA_ARGS__> name = nullptr;
    QEL_LAYER_HOOKS(QEL_LAYER_HOOK_SLOT)
#undef QEL_LAYER_HOOK_SLOT
    // The event handler and render function of each game state, one per
    // GameStateId (filled by app/LayerWiring.cpp too).
    EventHandlerFn stateHandlers[static_cast<int>(GameStateId::Count)] = {};
    RenderFn stateRenderers[static_cast<int>(GameStateId::Count)] = {};
};

LayerHooks& GetLayerHooks();

// Installs the state's pair in the global state's two slots. A state whose
// pair was never handed down leaves the slots as they are and returns false.
bool EnterGameState(GameStateId id);
