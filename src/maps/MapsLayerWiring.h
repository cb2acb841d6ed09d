#pragma once
// The map layer's part of start-up: its script families (ISOM_,
// DefinedMap_) and what it hands the layers below (the map window's widget
// kind and the camera's test for it, the map manager as the world's terrain,
// the name of the map to load). Calling either again changes nothing.
struct lua_State;

void RegisterMapsLayerFamilies(lua_State* L);
void InstallMapsLayerHooks();
