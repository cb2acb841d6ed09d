// NPCSD_ functions: configure the active static-dialogue character.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/EntityManager.h"
#include "world/NPCStaticDialogue.h"

namespace {

int NPCSD_SetDialogueSuppression(lua_State* L) {
    if (!script::HasArgs(L, 1))
        return script::Fail("NPCSD_SetDialogueSuppression:  Failed, incorrect argument list\n");
    EntityManager* entities = GetGlobalState()->entityManager;
    if (!entities) return script::Fail("NPCSD_SetDialogueSuppression:  Failed, EntityManager does not exist\n");
    RootEntity* active = entities->GetActiveNPC();
    if (!active) return script::Fail("NPCSD_SetDialogueSuppression:  Failed, Active NPC not set\n");
    auto* character = dynamic_cast<NPCStaticDialogue*>(active);
    if (!character || active->GetType() != kTypeNPCStaticDialogue)
        return script::Fail("NPCSD_SetDialogueSuppression:  Failed, Active NPC is of the wrong type\n");
    character->SetDialogueSuppression(script::GetFlag(L, 1));
    return 0;
}

const script::Function kFunctions[] = {
    {"NPCSD_SetDialogueSuppression", NPCSD_SetDialogueSuppression},
    {nullptr, nullptr},
};

}  // namespace

void RegisterNPCStaticDialogueLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
