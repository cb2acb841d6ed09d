#pragma once
// Hands the lower layers the services of the layers above them (the GUI, the
// console, the game states, the map, the network) and the owner kinds the
// property router resolves. Called once at start-up, before the script host
// is created; calling it again changes nothing.
void InstallLayerHooks();
