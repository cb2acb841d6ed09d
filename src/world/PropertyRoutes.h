#pragma once
// Registers a resolver for each owner kind of the world the property router
// resolves (the player, the AI manager and its drawing list, the active NPC
// and object, the chat log, the backgrounds; the toolkit registers "GUI"
// itself). The world's wiring calls it; calling it again changes nothing.
void RegisterPropertyRoutes();
