#pragma once
#include <lua5.1/lua.hpp>

// Registers the engine's script families on a state, in their fixed order.
// The LuaManager constructor has already registered the script host's own
// families; the KeyboardManager and TimerManager register theirs when they
// are created.
void RegisterLuaFunctions(lua_State* L);
