// OBJ_ functions: position, size and kill script of the active world object.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/ObjectBase.h"

namespace {

using script::Lines;

// The active world object, or null after the function's line.
ObjectBase* Active(const Lines& lines) { return ObjectBase::GetActiveForScript(lines); }

int OBJ_SetCoordinates(lua_State* L) {
    const Lines lines{"OBJ_SetCoordinates"};
    if (!script::HasArgs(L, 3)) return script::Fail(lines.Invalid());
    ObjectBase* object = Active(lines);
    if (!object) return 0;
    object->SetCoordinates(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

int OBJ_SetDimensions(lua_State* L) {
    const Lines lines{"OBJ_SetDimensions"};
    if (!script::HasArgs(L, 3)) return script::Fail(lines.Invalid());
    ObjectBase* object = Active(lines);
    if (!object) return 0;
    object->SetDimensions(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

int OBJ_SetKillScript(lua_State* L) {
    const Lines lines{"OBJ_SetKillScript"};
    std::string path;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, path)) return script::Fail(lines.Invalid());
    ObjectBase* object = Active(lines);
    if (!object) return 0;
    object->SetKillScript(path, script::GetInt(L, 2));
    return 0;
}

const script::Function kFunctions[] = {
    {"OBJ_SetCoordinates", OBJ_SetCoordinates},
    {"OBJ_SetDimensions", OBJ_SetDimensions},
    {"OBJ_SetKillScript", OBJ_SetKillScript},
    {nullptr, nullptr},
};

}  // namespace

void ObjectBase::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
