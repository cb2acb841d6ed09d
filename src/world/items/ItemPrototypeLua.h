#pragma once
// The IP_ functions, and the data library's DL_RegisterItemPrototype.
#include <lua5.1/lua.hpp>

void RegisterItemPrototypeLuaFunctions(lua_State* L);
void RegisterItemPrototypeDataLibraryFunctions(lua_State* L);
