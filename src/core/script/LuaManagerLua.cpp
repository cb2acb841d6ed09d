// The script host's own functions and GN_IsPointWithinRect.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/base/Geometry.h"
#include "core/base/GlobalState.h"
#include "core/base/Random.h"
#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"
#include "core/script/ScriptArgs.h"

namespace {

LuaManager* Manager() { return GetGlobalState()->luaManager; }

int GetScriptCode(lua_State* L) {
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("GetScriptCode:  Failed, LuaManager does not exist\n");
    return script::PushNumber(L, manager->GetScriptCode());
}

int GetScriptString(lua_State* L) {
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("GetScriptString:  Failed, LuaManager does not exist\n");
    const std::optional<std::string>& text = manager->GetScriptString();
    if (!text) {
        lua_pushnil(L);
        return 1;
    }
    return script::PushText(L, *text);
}

// lo + random % (hi - lo + 1). A wrong argument count is reported but a
// number is still given, from the first two arguments (missing ones are 0).
// An empty or inverted range gives lo.
int Get_Random_Number(lua_State* L) {
    if (!script::HasArgs(L, 2)) script::Fail("Get Random Number:  Failed, invalid argument list\n");
    int64_t lo = script::GetInt(L, 1);
    int64_t hi = script::GetInt(L, 2);
    if (hi < lo) return script::PushNumber(L, static_cast<double>(lo));
    int64_t span = hi - lo + 1;
    int64_t draw = RandomNext();
    if (draw < 0) draw = -draw;
    return script::PushNumber(L, static_cast<double>(lo + draw % span));
}

int Activate_Debug_Mode(lua_State* L) {
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("Activate_Debug_Mode:  Failed, LuaManager does not exist\n");
    std::fputs("Activating Lua debug mode\n", stderr);
    manager->SetDebugMode(true);
    return 0;
}

int Deactivate_Debug_Mode(lua_State* L) {
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("Deactivate_Debug_Mode:  Failed, LuaManager does not exist\n");
    std::fputs("Deactivating Lua debug mode\n", stderr);
    manager->SetDebugMode(false);
    return 0;
}

// LM_ExecuteScript(path [, code]) or LM_ExecuteScript(pathName, file, code).
int LM_ExecuteScript(lua_State* L) {
    const char* invalid = "LM ExecuteScript:  Failed, invalid argument list\n";
    int count = lua_gettop(L);
    if (count < 1) return script::Fail(invalid);
    std::string path;
    int32_t code = -1;
    if (count == 3) {
        std::string pathName, file;
        if (!script::GetText(L, 1, pathName) || !script::GetText(L, 2, file)) return script::Fail(invalid);
        PathManager* paths = GetGlobalState()->pathManager;
        if (!paths) return script::Fail("LM ExecuteScript:  Failed, PathManager does not exist\n");
        path = paths->BuildPath(pathName, file);
        code = script::GetInt(L, 3);
    } else {
        if (!script::GetText(L, 1, path)) return script::Fail(invalid);
        if (count >= 2) code = script::GetInt(L, 2);
    }
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("LM ExecuteScript:  Failed, LuaManager does not exist\n");
    LuaManager::ContextGuard guard(*manager);
    manager->RunFile(path, code);
    return 0;
}

int LM_SetBasePath(lua_State* L) {
    const char* invalid = "LM SetBasePath  Failed, invalid argument list\n";
    std::string text;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, text)) return script::Fail(invalid);
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("LM SetBasePath  Failed, LuaManager does not exist\n");
    manager->SetBasePath(text);
    return 0;
}

// LM_ExecuteScriptWithArguments(path, types, values...): 'A' passes a text,
// 'N' a number; any other letter skips its value. Each value stored fills
// the next slot, so the script reads them from 0 without gaps; the slots
// left over (skipped letters, letters past the last value) stay empty. An
// 'A' value that is given but is nil, a boolean or a table is an invalid
// argument list: nothing is changed and nothing runs.
int LM_ExecuteScriptWithArguments(lua_State* L) {
    const char* invalid = "LM_ExecuteScriptWithArguments:  Failed, invalid argument list\n";
    int count = lua_gettop(L);
    if (count < 2) return script::Fail(invalid);
    std::string path, types;
    if (!script::GetText(L, 1, path) || !script::GetText(L, 2, types)) return script::Fail(invalid);
    for (size_t i = 0; i < types.size() && static_cast<int64_t>(i) + 3 <= count; ++i)
        if (types[i] == 'A' && !script::IsText(L, static_cast<int>(i) + 3)) return script::Fail(invalid);
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("LM_ExecuteScriptWithArguments:  Failed, LuaManager does not exist\n");
    LuaManager::ContextGuard guard(*manager);
    manager->ClearArguments();
    manager->AllocateArguments(static_cast<int32_t>(std::min<size_t>(types.size(), INT32_MAX)));
    for (size_t i = 0; i < types.size() && static_cast<int64_t>(i) + 3 <= count; ++i) {
        int index = static_cast<int>(i) + 3;
        if (types[i] == 'A') {
            std::string value;
            script::GetText(L, index, value);
            manager->PushArgumentString(value);
        } else if (types[i] == 'N') {
            manager->PushArgumentNumber(static_cast<float>(script::GetNumber(L, index)));
        }
    }
    manager->RunFile(path, 0);
    return 0;
}

int LM_GetScriptArgumentNumber(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("LM_GetScriptArgumentNumber:  Failed, invalid argument list\n");
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("LM_GetScriptArgumentNumber:  Failed, LuaManager does not exist\n");
    return script::PushNumber(L, manager->GetArgumentNumber(script::GetInt(L, 1)));
}

int LM_GetScriptArgumentString(lua_State* L) {
    // The count failure shares its twin's line.
    if (!script::HasArgs(L, 1)) return script::Fail("LM_GetScriptArgumentNumber:  Failed, invalid argument list\n");
    LuaManager* manager = Manager();
    if (!manager) return script::Fail("LM_GetScriptArgumentString:  Failed, LuaManager does not exist\n");
    std::optional<std::string> text = manager->GetArgumentString(script::GetInt(L, 1));
    if (!text) {
        lua_pushnil(L);
        return 1;
    }
    return script::PushText(L, *text);
}

int GN_IsPointWithinRect(lua_State* L) {
    if (!script::HasArgs(L, 6)) return script::Fail("GN_IsPointWithinRect:  Failed, invalid argument list\n");
    bool inside = PointInRect(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4),
                              script::GetInt(L, 5), script::GetInt(L, 6));
    return script::PushNumber(L, inside ? 1 : 0);
}

const script::Function kLuaManagerFunctions[] = {
    {"GetScriptCode", GetScriptCode},
    {"GetScriptString", GetScriptString},
    {"Get_Random_Number", Get_Random_Number},
    {"Activate_Debug_Mode", Activate_Debug_Mode},
    {"Deactivate_Debug_Mode", Deactivate_Debug_Mode},
    {"LM_ExecuteScript", LM_ExecuteScript},
    {"LM_SetBasePath", LM_SetBasePath},
    {"LM_ExecuteScriptWithArguments", LM_ExecuteScriptWithArguments},
    {"LM_GetScriptArgumentNumber", LM_GetScriptArgumentNumber},
    {"LM_GetScriptArgumentString", LM_GetScriptArgumentString},
    {nullptr, nullptr},
};

const script::Function kGeneralFunctions[] = {
    {"GN_IsPointWithinRect", GN_IsPointWithinRect},
    {nullptr, nullptr},
};

}  // namespace

void RegisterLuaManagerFunctions(lua_State* L) { script::Register(L, kLuaManagerFunctions); }

void RegisterGeneralFunctions(lua_State* L) { script::Register(L, kGeneralFunctions); }
