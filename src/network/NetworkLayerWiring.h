#pragma once
// The network layer's part of start-up: the chat window takes the lines
// typed into the text boxes, and the ground learns whether the game is
// online. Calling it again changes nothing.
void InstallNetworkLayerHooks();
