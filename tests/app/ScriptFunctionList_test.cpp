// The engine's state carries exactly the script functions of the one list:
// nothing registered is missing from it, nothing in it is unregistered.
#include "app/ScriptFunctionList.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/LuaTestState.h"

namespace {

// Names of the C functions among a state's globals.
std::set<std::string> GlobalCFunctions(lua_State* L) {
    std::set<std::string> names;
    lua_pushnil(L);
    while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
        if (lua_type(L, -2) == LUA_TSTRING && lua_iscfunction(L, -1)) names.insert(lua_tostring(L, -2));
        lua_pop(L, 1);
    }
    return names;
}

}  // namespace

TEST(ScriptFunctionList, MatchesTheRegisteredFunctions) {
    // Lua's own libraries are not the engine's.
    lua_State* plain = luaL_newstate();
    luaL_openlibs(plain);
    std::set<std::string> standard = GlobalCFunctions(plain);
    lua_close(plain);

    testsupport::LuaTestState lua;
    std::set<std::string> registered;
    for (const std::string& name : GlobalCFunctions(lua.L()))
        if (!standard.count(name)) registered.insert(name);

    std::set<std::string> listed;
    for (const std::string& name : AllScriptFunctionNames()) {
        EXPECT_TRUE(listed.insert(name).second) << name << " is listed twice";
        EXPECT_FALSE(standard.count(name)) << name << " hides a Lua library function";
    }
    for (const std::string& name : registered) EXPECT_TRUE(listed.count(name)) << name << " is not listed";
    for (const std::string& name : listed) EXPECT_TRUE(registered.count(name)) << name << " is not registered";
}
