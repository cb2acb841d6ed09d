#pragma once
// DL_RegisterEnemyPrototype, DL_RegisterFieldSpriteAnimation and
// DL_CreateHotFieldSpriteAnimation.
struct lua_State;

void RegisterDataLibraryCombatLuaFunctions(lua_State* L);
