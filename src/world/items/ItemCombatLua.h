#pragma once
// The combat side of items: ICM_AddRestoreEffect.
#include <lua5.1/lua.hpp>

void RegisterItemCombatLuaFunctions(lua_State* L);
