#pragma once
// The data library's script functions that open music and sound files:
// DL_RegisterMusic and DL_RegisterSound.
#include <lua5.1/lua.hpp>

void RegisterDataLibrarySoundLuaFunctions(lua_State* L);
