// Script functions of the active drawing package (AIDP_).
#include <lua5.1/lua.hpp>

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/ai/AIDrawingPackage.h"
#include "world/ai/AIManager.h"

namespace {

AIManager* Manager() { return GetGlobalState()->aiManager; }

int AIDP_AllocateSpace(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("AIDP AllocateSpace:  Failed, invalid argument list\n");
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIDP AllocateSpace:  Failed, AIManager does not exist\n");
    AIDrawingPackage* package = manager->GetActiveDrawingPackage();
    if (!package) return script::Fail("AIDP AllocateSpace:  Failed, Active Package not set\n");
    package->AllocateSpace(script::GetInt(L, 1));
    return 0;
}

int AIDP_SetAnimation(lua_State* L) {
    const char* invalid = "AIDP SetAnimation:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 2)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 2, name)) return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIDP SetAnimation:  Failed, AIManager does not exist\n");
    AIDrawingPackage* package = manager->GetActiveDrawingPackage();
    if (!package) return script::Fail("AIDP SetAnimation:  Failed, Active Package not set\n");
    package->SetAnimation(script::GetInt(L, 1), name.c_str());
    return 0;
}

const script::Function kFunctions[] = {
    {"AIDP_AllocateSpace", AIDP_AllocateSpace},
    {"AIDP_SetAnimation", AIDP_SetAnimation},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAIDrawingPackageLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
