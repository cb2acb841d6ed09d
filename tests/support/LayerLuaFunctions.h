#pragma once
// What RegisterLuaFunctions registers, for a test program that links only
// the layers up to its own: the lists of those layers (the same ones
// start-up calls), in the program's order, and none of the layers above.
struct lua_State;

namespace testsupport {

void RegisterLayerLuaFunctions(lua_State* L);

}  // namespace testsupport
