// AIFP_ functions: aim the active following package at a point.
#include <lua5.1/lua.hpp>

#include <cstdio>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/RootObject.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"
#include "world/ai/AIFollowingPackage.h"
#include "world/ai/AIManager.h"

namespace {

// Arguments: x owner kind, x owner, x property, y owner kind, y owner, y
// property. The active object and its type are tested before the count.
int AIFP_FollowCoordinates(lua_State* L) {
    const char* invalid = "AIFP FollowCoordinates:  Failed, invalid argument list\n";
    AIManager* manager = GetGlobalState()->aiManager;
    if (!manager) return script::Fail("AIFP FollowCoordinates:  Failed, AIManager does not exist\n");
    AIBasePackage* active = manager->GetActiveAIObject();
    if (!active) return script::Fail("AIFP FollowCoordinates:  Failed, ActiveAI was not set\n");
    if (active->GetType() != kTypeAIFollowingPackage)
        return script::Fail("AIFP FollowCoordinates:  Failed, ActiveAI was the wrong type\n");
    if (!script::HasArgs(L, 6)) return script::Fail(invalid);
    std::string text[6];
    for (int i = 0; i < 6; ++i)
        if (!script::GetText(L, i + 1, text[i])) return script::Fail(invalid);
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("AIFP FollowCoordinates:  Failed, PropertyRouter does not exist\n");

    // Both must be numbers the package can read every step.
    double value = 0.0;
    void* x = router->Route(text[0], text[1], text[2]);
    const bool xNumber = PropertyRouter::ReadNumber(x, router->GetValueType(), value);
    void* y = router->Route(text[3], text[4], text[5]);
    const bool yNumber = PropertyRouter::ReadNumber(y, router->GetValueType(), value);
    if (!xNumber || !yNumber ||
        !static_cast<AIFollowingPackage*>(active)->SetTargetPointers(text[0], text[1], text[2], text[3], text[4],
                                                                     text[5])) {
        std::fputs("AIFP FollowCoordinates:  Failed, one of the targets was invalid\n", stderr);
        std::fprintf(stderr, "Dump: %p %p\n", x, y);
    }
    return 0;
}

const script::Function kFunctions[] = {
    {"AIFP_FollowCoordinates", AIFP_FollowCoordinates},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAIFollowingPackageLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
