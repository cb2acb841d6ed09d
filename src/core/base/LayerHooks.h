#pragma once
// Services the program's top layer hands down at start-up. The ground and the
// subsystems never include a header from the layer above them; where they
// must reach up (drawing the GUI into a frame, telling the GUI a key, running
// a console line, switching game states, asking for a snapshot or the map's
// name, whether the network is connected), they call through these slots.
// A slot that is still null is skipped.
#include <optional>
#include <string>

#include "core/base/GlobalState.h"

struct lua_State;
class BitmapWrapper;

// The game states a lower layer can switch to.
enum class GameStateId { Title, Transition, Combat, Count };

struct LayerHooks {
    // Draws the GUI into the frame; false when there is no GUI to draw.
    bool (*drawInterface)(BitmapWrapper* target) = nullptr;
    // Tells the GUI a key typed, for its text boxes, with shift and caps
    // lock as they were when it was struck.
    void (*keyTyped)(int32_t keyCode, bool shift, bool capsLock) = nullptr;
    // Registers the script families the script host opens with, beyond its
    // own (cameras, GUI, chat log, script variables).
    void (*registerHostFamilies)(lua_State* state) = nullptr;
    // True when the line is a console command.
    bool (*isConsoleCommand)(const std::string& line) = nullptr;
    // Runs a console command line.
    void (*runConsoleCommand)(const std::string& line) = nullptr;
    // Asks the display for a snapshot of the next frame.
    void (*requestSnapshot)() = nullptr;
    // The map manager's load target: the map the game starts in (none when
    // unset).
    std::optional<std::string> (*currentMapName)() = nullptr;
    // True while the network manager is connected to a server.
    bool (*isOnline)() = nullptr;
    // The event handler and render function of each game state.
    EventHandlerFn stateHandlers[static_cast<int>(GameStateId::Count)] = {};
    RenderFn stateRenderers[static_cast<int>(GameStateId::Count)] = {};
};

LayerHooks& GetLayerHooks();

// Installs the state's pair in the global state's two slots. A state whose
// pair was never handed down leaves the slots as they are and returns false.
bool EnterGameState(GameStateId id);
