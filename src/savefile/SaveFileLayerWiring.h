#pragma once
// The save-file layer's script family (SFM_), which start-up registers with
// the other layers'.
struct lua_State;

void RegisterSaveFileLayerFamilies(lua_State* L);
