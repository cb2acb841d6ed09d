#include "core/script/ScriptArgs.h"

#include <cstdio>

#include "core/base/Int32Range.h"

namespace script {

void Register(lua_State* L, const Function* table) {
    if (!L || !table) return;
    for (const Function* f = table; f->name; ++f) {
        lua_pushcfunction(L, f->function);
        lua_setfield(L, LUA_GLOBALSINDEX, f->name);
    }
}

int Fail(const char* line) {
    std::fputs(line, stderr);
    return 0;
}

// Written with its length: a name from a script may hold a zero byte, which
// must not cut the line (and its line end) short.
int Fail(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    return 0;
}

bool IsText(lua_State* L, int index) {
    if (index < 1 || index > lua_gettop(L)) return false;
    int type = lua_type(L, index);
    return type == LUA_TSTRING || type == LUA_TNUMBER;
}

bool GetText(lua_State* L, int index, std::string& out) {
    if (!IsText(L, index)) return false;
    // Work on a copy so a number argument is not turned into a string in place.
    lua_pushvalue(L, index);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    out.assign(text ? text : "", text ? length : 0);
    lua_pop(L, 1);
    return true;
}

double GetNumber(lua_State* L, int index) {
    if (index < 1 || index > lua_gettop(L)) return 0.0;
    return lua_tonumber(L, index);
}

int32_t GetInt(lua_State* L, int index) { return TruncateToInt32(GetNumber(L, index)); }

bool GetFlag(lua_State* L, int index) {
    if (index < 1 || index > lua_gettop(L)) return false;
    switch (lua_type(L, index)) {
        case LUA_TNIL:
        case LUA_TNONE: return false;
        case LUA_TBOOLEAN: return lua_toboolean(L, index) != 0;
        case LUA_TNUMBER: return lua_tonumber(L, index) != 0.0;
        default: return true;
    }
}

}  // namespace script
