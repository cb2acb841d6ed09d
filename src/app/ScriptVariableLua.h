#pragma once
// The NPC_, Env_ and Global_ script functions, which read and change the
// script variables of the active character, the map environment and the game.
struct lua_State;

void RegisterScriptVariableLuaFunctions(lua_State* L);
