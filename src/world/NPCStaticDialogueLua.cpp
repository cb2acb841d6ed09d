// NPCSD_ functions: configure the active static-dialogue character.
#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/EntityManager.h"
#include "world/NPCStaticDialogue.h"

namespace {

int NPCSD_SetDialogueSuppression(lua_State* L) {
    const script::Lines lines{"NPCSD_SetDialogueSuppression"};
    if (!script::HasArgs(L, 1)) return lines.Fail("incorrect argument list");
    // The player passes the entity manager's test of a character, and is of
    // the wrong type here like any character that does not talk.
    auto* character = script::ActiveObject<NPCStaticDialogue>(
        lines, GetGlobalState()->entityManager, &EntityManager::GetActiveNPC,
        [](RootEntity* active) {
            return active->GetType() == kTypeNPCStaticDialogue ? dynamic_cast<NPCStaticDialogue*>(active) : nullptr;
        },
        {"EntityManager does not exist", "Active NPC not set", "Active NPC is of the wrong type"});
    if (character) character->SetDialogueSuppression(script::GetFlag(L, 1));
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
