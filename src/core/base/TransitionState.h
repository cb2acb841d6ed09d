#pragma once
// The one request record through which every change of game mode (a map, a
// battle, the title screen) is asked for, and the request functions that
// fill it. A request sets the global state-switch flag; the main loop then
// starts a Transition, which reads this record when it switches.
//
// A request filed while a Transition is running does not touch the record
// that Transition is working from: it is held back and filed the moment the
// running Transition ends, so the next one starts right after it.
#include <cstdint>
#include <optional>
#include <string>

// The game's modes, as kept in currentMode and targetKind.
enum TransitionMode : int32_t {
    kTransitionMap = 0,
    kTransitionBattle = 1,
    kTransitionTitle = 2,
};

struct TransitionState {
    int32_t currentMode = kTransitionMap;   // the mode being left
    int32_t targetKind = kTransitionMap;    // the mode to enter
    uint8_t keepMap = 0;                    // 1: the map stays loaded (a battle over it)
    std::optional<std::string> mapName;     // the map to load
    uint8_t placed = 0;                     // the player was placed during this map load
    std::optional<std::string> entityName;  // where the player is dropped in entity mode
    int32_t dropX = 0;
    int32_t dropY = 0;
    int32_t dropZ = 0;
    uint8_t entityMode = 0;  // 1: drop at the named entity; 0: at the drop point
};

// The record (one for the program).
TransitionState& GetTransitionState();
// Every field back to its start value; requests held back are dropped.
void ClearTransitionState();

// Requests. Each sets the state-switch flag and asks the display manager for
// a snapshot of the next frame (the picture the transition fades out).
//
// Start of the game from the title screen: to the map manager's load target
// (no name when it has none), at an entity without a name, so the map's
// script places the player.
void RequestStartTransition();
// To a map, at the named entity. Nothing at all happens when either is null.
void RequestEntityTransition(const char* mapName, const char* entityName);
// To a map, at a drop point. Nothing happens for a null name.
void RequestMapTransition(const char* mapName, int32_t x, int32_t y, int32_t z);
// Into a battle over the map, which stays loaded. Refused with
// "RequestCombatTransition:  Failed, a battle is running\n" while
// IsBattleRunningOrRequested: a second battle started over a live one would
// never end.
void RequestCombatTransition();
// True from a battle request until the game is back on the map: a battle
// request filed or being carried out, or the battle mode itself.
bool IsBattleRunningOrRequested();
// Back to the title screen; prints "Setup transition to title\n".
void RequestTitleTransition();

// Files the requests held back while a Transition ran, in the order they
// came. Called by the Transition as it ends, once the slot is clear.
void FileHeldTransitionRequests();
// Number of requests held back (for diagnostics and tests).
size_t HeldTransitionRequestCount();
