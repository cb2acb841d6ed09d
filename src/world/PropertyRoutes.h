#pragma once
// Registers the owner kinds the property router resolves ("Player", "GUI",
// "AIManager", "ActiveAIDrawingList", "NPC", "Object", "ChatLog",
// "BackgroundManager"). InstallLayerHooks calls it; calling it again changes
// nothing.
void RegisterPropertyRoutes();
