// AIVR_ functions: wire the active value router.
#include <lua5.1/lua.hpp>

#include <string>

#include "core/base/GlobalState.h"
#include "core/base/RootObject.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"
#include "world/ai/AIManager.h"
#include "world/ai/AIValueRouter.h"

namespace {

// Arguments: source kind, source owner, source property, destination kind,
// destination owner, destination property. Both must be int32 properties.
int AIVR_SyncPointer(lua_State* L) {
    const char* invalid = "AIVR SyncPointer:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 6)) return script::Fail(invalid);
    std::string text[6];
    for (int i = 0; i < 6; ++i)
        if (!script::GetText(L, i + 1, text[i])) return script::Fail(invalid);
    AIManager* manager = GetGlobalState()->aiManager;
    if (!manager) return script::Fail("AIVR_SyncPointer:  Failed, AIManager does not exist\n");
    AIBasePackage* active = manager->GetActiveAIObject();
    if (!active || active->GetType() != kTypeAIValueRouter)
        return script::Fail("AIVR_SyncPointer: Active AI was not set, or not a Value Router.\n");
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("AIVR_SyncPointer:  Failed, PropertyRouter does not exist\n");

    router->Route(text[0], text[1], text[2]);
    if (router->GetValueType() != PropertyRouter::kInt)
        return script::Fail("AIVR_SyncPointer: Source was not an integer.\n");
    router->Route(text[3], text[4], text[5]);
    if (router->GetValueType() != PropertyRouter::kInt)
        return script::Fail("AIVR_SyncPointer: Destination was not an integer.\n");
    static_cast<AIValueRouter*>(active)->SetPointers(text[0], text[1], text[2], text[3], text[4], text[5]);
    return script::PushNumber(L, 1);
}

const script::Function kFunctions[] = {
    {"AIVR_SyncPointer", AIVR_SyncPointer},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAIValueRouterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
