// AIVSR_ functions: wire and scale the active value scale router.
#include <lua5.1/lua.hpp>

#include <string>

#include "core/base/GlobalState.h"
#include "core/base/RootObject.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"
#include "world/ai/AIManager.h"
#include "world/ai/AIValueScaleRouter.h"

namespace {

const char* kNotActive = "AIVSR_SyncPointer: Active AI was not set, or not a Value Scale Router.\n";

// The active value scale router, or null after a line.
AIValueScaleRouter* ActiveRouter(const char* function) {
    AIManager* manager = GetGlobalState()->aiManager;
    if (!manager) {
        script::Fail(std::string(function) + ":  Failed, AIManager does not exist\n");
        return nullptr;
    }
    AIBasePackage* active = manager->GetActiveAIObject();
    if (!active || active->GetType() != kTypeAIValueScaleRouter) {
        script::Fail(kNotActive);
        return nullptr;
    }
    return static_cast<AIValueScaleRouter*>(active);
}

// As AIVR_SyncPointer, for the scale router.
int AIVSR_SyncPointer(lua_State* L) {
    const char* invalid = "AIVSR SyncPointer:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 6)) return script::Fail(invalid);
    std::string text[6];
    for (int i = 0; i < 6; ++i)
        if (!script::GetText(L, i + 1, text[i])) return script::Fail(invalid);
    AIValueScaleRouter* package = ActiveRouter("AIVSR_SyncPointer");
    if (!package) return 0;
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("AIVSR_SyncPointer:  Failed, PropertyRouter does not exist\n");

    router->Route(text[0], text[1], text[2]);
    if (router->GetValueType() != PropertyRouter::kInt)
        return script::Fail("AIVSR_SyncPointer: Source was not an integer.\n");
    router->Route(text[3], text[4], text[5]);
    if (router->GetValueType() != PropertyRouter::kInt)
        return script::Fail("AIVSR_SyncPointer: Destination was not an integer.\n");
    package->SetPointers(text[0], text[1], text[2], text[3], text[4], text[5]);
    return script::PushNumber(L, 1);
}

int AIVSR_SetScaler(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("AIVSR SetScaler:  Failed, invalid argument list\n");
    AIValueScaleRouter* package = ActiveRouter("AIVSR_SetScaler");
    if (!package) return 0;
    package->SetScaler(script::GetNumber(L, 1));
    return script::PushNumber(L, 1);
}

const script::Function kFunctions[] = {
    {"AIVSR_SyncPointer", AIVSR_SyncPointer},
    {"AIVSR_SetScaler", AIVSR_SetScaler},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAIValueScaleRouterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
