#pragma once
// The script host's families that start-up registers after creating the
// host (the general functions and the data library's DL_); the host's own
// register themselves as it is made. Each layer keeps such a list of its
// own, which start-up and the test programs of that layer and above call.
struct lua_State;

void RegisterScriptLayerFamilies(lua_State* L);
