// OBJSA_SetAnimationData: what the active one-shot animation plays.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/ObjectStaticAnimation.h"

namespace {

int OBJSA_SetAnimationData(lua_State* L) {
    const script::Lines lines{"ObjectStaticAnimation SetAnimationData"};
    std::string name;
    if (!script::HasArgs(L, 4) || !script::GetText(L, 1, name)) return script::Fail(lines.Invalid());
    auto* animation =
        ObjectBase::GetActiveForScript<ObjectStaticAnimation>(lines, "Active Object pointer is of the wrong type");
    if (!animation) return 0;
    if (!GetGlobalState()->aiManager) return lines.Fail("AIManager does not exist");
    animation->SetAnimationData(name, script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4));
    return 0;
}

const script::Function kFunctions[] = {
    {"OBJSA_SetAnimationData", OBJSA_SetAnimationData},
    {nullptr, nullptr},
};

}  // namespace

void ObjectStaticAnimation::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
