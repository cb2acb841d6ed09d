// PM_ script functions: read and write engine fields by (kind, owner, property).
// Each call routes afresh, so a script never reaches a field through an
// address kept from an earlier call.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"

namespace {

// The routed triple starts at argument `first`; false when any is not text.
bool GetTriple(lua_State* L, int first, std::string& kind, std::string& owner, std::string& property) {
    return script::GetText(L, first, kind) && script::GetText(L, first + 1, owner) &&
           script::GetText(L, first + 2, property);
}

int PM_GetValue(lua_State* L) {
    std::string kind, owner, property;
    if (!script::HasArgs(L, 3) || !GetTriple(L, 1, kind, owner, property))
        return script::Fail("PM GetValue:  Failed, invalid argument list\n");
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("PM GetValue:  Failed, PropertyRouter does not exist\n");
    void* address = router->Route(kind, owner, property);
    if (!address) return script::Fail("PM GetValue:  Failed, pointer was NULL\n");
    double value = 0.0;
    if (!PropertyRouter::ReadNumber(address, router->GetValueType(), value))
        return script::Fail("PM GetValue:  Failed, pointer was not a primitive\n");
    return script::PushNumber(L, value);
}

int PM_SetValue(lua_State* L) {
    std::string kind, owner, property;
    if (!script::HasArgs(L, 4) || !GetTriple(L, 2, kind, owner, property))
        return script::Fail("PM SetValue:  Failed, invalid argument list\n");
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("PM SetValue:  Failed, PropertyRouter does not exist\n");
    double value = script::GetNumber(L, 1);
    void* address = router->Route(kind, owner, property);
    if (!address) return script::Fail("PM SetValue:  Failed, pointer was NULL\n");
    if (!PropertyRouter::WriteNumber(address, router->GetValueType(), value))
        return script::Fail("PM SetValue:  Failed, pointer was not a primitive\n");
    return 0;
}

int PM_GetPropertyPointerInteger(lua_State* L) {
    std::string kind, owner, property;
    if (!script::HasArgs(L, 3) || !GetTriple(L, 1, kind, owner, property))
        return script::Fail("PM GetPropertyPointer (int):  Failed, invalid argument list\n");
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("PM GetPropertyPointer (int):  Failed, PropertyRouter does not exist\n");
    void* address = router->Route(kind, owner, property);
    if (!address) return script::Fail("PM GetPropertyPointer (int):  Failed, pointer was NULL\n");
    int32_t type = router->GetValueType();
    double value = 0.0;
    if ((type != PropertyRouter::kInt && type != PropertyRouter::kByte) ||
        !PropertyRouter::ReadNumber(address, type, value))
        return script::Fail("PM GetPropertyPointer (int):  Failed, pointer was not an Integer\n");
    return script::PushNumber(L, value);
}

int PM_SetPropertyPointerInteger(lua_State* L) {
    std::string kind, owner, property;
    if (!script::HasArgs(L, 4) || !GetTriple(L, 2, kind, owner, property))
        return script::Fail("PM SetPropertyPointer (int):  Failed, invalid argument list\n");
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("PM SetPropertyPointer (int):  Failed, PropertyRouter does not exist\n");
    double value = script::GetNumber(L, 1);
    void* address = router->Route(kind, owner, property);
    if (!address) return script::Fail("PM SetPropertyPointer (int):  Failed, pointer was NULL\n");
    if (router->GetValueType() != PropertyRouter::kInt)
        return script::Fail("PM SetPropertyPointer (int):  Failed, pointer was not an Integer\n");
    PropertyRouter::WriteNumber(address, PropertyRouter::kInt, value);
    return 0;
}

const script::Function kPropertyFunctions[] = {
    {"PM_GetValue", PM_GetValue},
    {"PM_SetValue", PM_SetValue},
    {"PM_GetPropertyPointerInteger", PM_GetPropertyPointerInteger},
    {"PM_SetPropertyPointerInteger", PM_SetPropertyPointerInteger},
    {nullptr, nullptr},
};

}  // namespace

void PropertyRouter::RegisterLuaFunctions(lua_State* L) { script::Register(L, kPropertyFunctions); }
