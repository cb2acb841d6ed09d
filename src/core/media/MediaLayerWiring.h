#pragma once
// The media layer's part of start-up: its script families (the data
// library's image and sound registrars, SM_) and the snapshot hook it hands
// the ground. Calling either again changes nothing.
struct lua_State;

void RegisterMediaLayerFamilies(lua_State* L);
void InstallMediaLayerHooks();
