// AITP_ functions: give the active trailing package its leader.
#include <lua5.1/lua.hpp>

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/ai/AIManager.h"
#include "world/ai/AITrailingPackage.h"

namespace {

// Arguments: owner kind, owner, then the leader's position record,
// Stationary, Walking and Running flags and direction properties.
int AITP_SyncTargetPointers(lua_State* L) {
    const char* invalid = "AITP SyncTargetPointers:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 7)) return script::Fail(invalid);
    std::string text[7];
    for (int i = 0; i < 7; ++i)
        if (!script::GetText(L, i + 1, text[i])) return script::Fail(invalid);
    AIManager* manager = GetGlobalState()->aiManager;
    if (!manager) return script::Fail("AITP SyncTargetPointers:  Failed, AIManager does not exist\n");
    AIBasePackage* active = manager->GetActiveAIObject();
    if (!active || active->GetType() != AITrailingPackage::kTypeId)
        return script::Fail("AITP SyncTargetPointers:  Failed, Active AI was not set, or not a Trailing Package\n");
    if (!GetGlobalState()->propertyRouter)
        return script::Fail("AITP SyncTargetPointers:  Failed, PropertyRouter does not exist\n");
    if (!static_cast<AITrailingPackage*>(active)->SetTargetPointers(text[0], text[1], text[2], text[3], text[4],
                                                                    text[5], text[6]))
        return script::Fail("AITP SyncTargetPointers:  Failed, the leader's properties were not found\n");
    return 0;
}

const script::Function kFunctions[] = {
    {"AITP_SyncTargetPointers", AITP_SyncTargetPointers},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAITrailingPackageLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
