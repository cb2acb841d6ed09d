// OBJSAS_ functions: the path and delay of the active auto-script object,
// and the variables of the auto-script object whose script is running.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptArgs.h"
#include "world/ObjectStaticAutoScript.h"

namespace {

using script::Lines;

// The active world object when it is an auto-script object, or null after
// the function's line. Other world objects are refused: they have no
// script to run.
ObjectStaticAutoScript* Active(const Lines& lines) {
    return ObjectBase::GetActiveForScript<ObjectStaticAutoScript>(lines,
                                                                  "Active Object is not an ObjectStaticAutoScript");
}

// The auto-script object whose script is running, or null after the line.
ObjectStaticAutoScript* Caller(const Lines& lines) {
    return script::ActiveObject<ObjectStaticAutoScript>(
        lines, GetGlobalState()->luaManager, &LuaManager::GetCallerEntity,
        {"LuaManager does not exist", "script did not have a caller entity"});
}

int OBJSAS_SetPath(lua_State* L) {
    const Lines lines{"OBJSAS_SetPath"};
    std::string path;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, path)) return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Active(lines);
    if (object) object->SetPath(path);
    return 0;
}

int OBJSAS_SetDelay(lua_State* L) {
    const Lines lines{"OBJSAS_SetDelay"};
    if (!script::HasArgs(L, 1)) return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Active(lines);
    if (object) object->SetDelay(script::GetInt(L, 1));
    return 0;
}

int OBJSAS_AddFloat(lua_State* L) {
    const Lines lines{"OBJSAS_AddFloat"};
    std::string name;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, name)) return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Caller(lines);
    if (object) object->AddFloat(name, static_cast<float>(script::GetNumber(L, 2)));
    return 0;
}

int OBJSAS_ModFloat(lua_State* L) {
    const Lines lines{"OBJSAS_ModFloat"};
    std::string name;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, name)) return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Caller(lines);
    if (object) object->ModFloat(name, static_cast<float>(script::GetNumber(L, 2)));
    return 0;
}

int OBJSAS_GetFloat(lua_State* L) {
    const Lines lines{"OBJSAS_GetFloat"};
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Caller(lines);
    if (!object) return 0;
    return script::PushNumber(L, object->GetFloat(name));
}

int OBJSAS_AddString(lua_State* L) {
    const Lines lines{"OBJSAS_AddString"};
    std::string name, text;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, name) || !script::GetText(L, 2, text))
        return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Caller(lines);
    if (object) object->AddString(name, text);
    return 0;
}

int OBJSAS_ModString(lua_State* L) {
    const Lines lines{"OBJSAS_ModString"};
    std::string name, text;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, name) || !script::GetText(L, 2, text))
        return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Caller(lines);
    if (object) object->ModString(name, text);
    return 0;
}

int OBJSAS_GetString(lua_State* L) {
    const Lines lines{"OBJSAS_GetString"};
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(lines.Invalid());
    ObjectStaticAutoScript* object = Caller(lines);
    if (!object) return 0;
    const std::string* text = object->GetString(name);
    if (!text) {
        lua_pushnil(L);
        return 1;
    }
    return script::PushText(L, *text);
}

const script::Function kFunctions[] = {
    {"OBJSAS_SetPath", OBJSAS_SetPath},
    {"OBJSAS_SetDelay", OBJSAS_SetDelay},
    {"OBJSAS_AddFloat", OBJSAS_AddFloat},
    {"OBJSAS_ModFloat", OBJSAS_ModFloat},
    {"OBJSAS_GetFloat", OBJSAS_GetFloat},
    {"OBJSAS_AddString", OBJSAS_AddString},
    {"OBJSAS_ModString", OBJSAS_ModString},
    {"OBJSAS_GetString", OBJSAS_GetString},
    {nullptr, nullptr},
};

}  // namespace

void ObjectStaticAutoScript::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
