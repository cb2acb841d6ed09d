#pragma once
// What a transition does to the player: the "Transition" input lock and
// placing the player in the new map.

// true: adds the "Transition" input lock to the player; false: removes it.
// Nothing when there is no player.
void SetTransitionInputLock(bool locked);
// Moves the player to the world point; false when there is no player.
bool PlacePlayer(float x, float y, float z);
