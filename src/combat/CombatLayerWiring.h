#pragma once
// The combat layer's part of start-up: its script families (the data
// library's combat registrar, then the combat registrar's own) and what it
// hands the toolkit (the character display's widget kind and the "Combat"
// button callbacks). Calling either again changes nothing.
struct lua_State;

void RegisterCombatLayerFamilies(lua_State* L);
void InstallCombatLayerHooks();
