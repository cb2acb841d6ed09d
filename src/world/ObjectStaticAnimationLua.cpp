// OBJSA_SetAnimationData: what the active one-shot animation plays.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/ObjectStaticAnimation.h"

namespace {

int OBJSA_SetAnimationData(lua_State* L) {
    const std::string prefix = "ObjectStaticAnimation SetAnimationData:  Failed, ";
    std::string name;
    if (!script::HasArgs(L, 4) || !script::GetText(L, 1, name)) return script::Fail(prefix + "invalid argument list\n");
    if (!GetGlobalState()->entityManager) return script::Fail(prefix + "EntityManager does not exist\n");
    ObjectBase* object = ObjectBase::GetActive();
    if (!object) return script::Fail(prefix + "Active Object not set\n");
    auto* animation = dynamic_cast<ObjectStaticAnimation*>(object);
    if (!animation) return script::Fail(prefix + "Active Object pointer is of the wrong type\n");
    if (!GetGlobalState()->aiManager) return script::Fail(prefix + "AIManager does not exist\n");
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
