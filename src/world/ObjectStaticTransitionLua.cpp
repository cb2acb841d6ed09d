// OBJST_ functions: the zone and the destination of the active transition
// object.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/ObjectStaticTransition.h"

namespace {

using script::Lines;

// The active transition object, or null after the function's line.
ObjectStaticTransition* Active(const Lines& lines) {
    return ObjectBase::GetActiveForScript<ObjectStaticTransition>(lines,
                                                                  "Active Object is not an ObjectStaticTransition");
}

float Float(lua_State* L, int index) { return static_cast<float>(script::GetNumber(L, index)); }

int OBJST_AddCircle(lua_State* L) {
    const Lines lines{"OBJST_AddCircle"};
    if (!script::HasArgs(L, 3)) return script::Fail(lines.Invalid());
    ObjectStaticTransition* transition = Active(lines);
    if (transition) transition->AddCircle(Float(L, 1), Float(L, 2), Float(L, 3));
    return 0;
}

int OBJST_AddRectangle(lua_State* L) {
    const Lines lines{"OBJST_AddRectangle"};
    if (!script::HasArgs(L, 4)) return script::Fail(lines.Invalid());
    ObjectStaticTransition* transition = Active(lines);
    if (transition) transition->AddRectangle(Float(L, 1), Float(L, 2), Float(L, 3), Float(L, 4));
    return 0;
}

// Takes any number of arguments.
int OBJST_ClearGeometryList(lua_State*) {
    ObjectStaticTransition* transition = Active({"OBJST_ClearGeometryList"});
    if (transition) transition->ClearGeometry();
    return 0;
}

int OBJST_SetLevelDestination(lua_State* L) {
    const Lines lines{"OBJST_SetLevelDestination"};
    std::string level;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, level)) return script::Fail(lines.Invalid());
    ObjectStaticTransition* transition = Active(lines);
    if (transition) transition->SetLevelDestination(level);
    return 0;
}

int OBJST_SetEntityDestination(lua_State* L) {
    const Lines lines{"OBJST_SetEntityDestination"};
    std::string entity;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, entity)) return script::Fail(lines.Invalid());
    ObjectStaticTransition* transition = Active(lines);
    if (transition) transition->SetEntityDestination(entity);
    return 0;
}

int OBJST_SetCoordinateDestination(lua_State* L) {
    const Lines lines{"OBJST_SetCoordinateDestination"};
    if (!script::HasArgs(L, 3)) return script::Fail(lines.Invalid());
    ObjectStaticTransition* transition = Active(lines);
    if (transition)
        transition->SetCoordinateDestination(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

const script::Function kFunctions[] = {
    {"OBJST_AddCircle", OBJST_AddCircle},
    {"OBJST_AddRectangle", OBJST_AddRectangle},
    {"OBJST_ClearGeometryList", OBJST_ClearGeometryList},
    {"OBJST_SetLevelDestination", OBJST_SetLevelDestination},
    {"OBJST_SetEntityDestination", OBJST_SetEntityDestination},
    {"OBJST_SetCoordinateDestination", OBJST_SetCoordinateDestination},
    {nullptr, nullptr},
};

}  // namespace

void ObjectStaticTransition::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
