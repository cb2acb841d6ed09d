// Script functions of the entity manager: creating, removing and selecting
// characters and world objects, and the older names kept for old scripts.
#include <lua5.1/lua.hpp>

#include <cstdio>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/RootEntity.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptArgs.h"
#include "world/EntityManager.h"
#include "world/NPCStaticDialogue.h"
#include "world/NPCWorldEnemy.h"
#include "world/ObjectItem.h"
#include "world/ObjectStaticAnimation.h"
#include "world/ObjectStaticAutoScript.h"
#include "world/ObjectStaticPosition.h"
#include "world/ObjectStaticTransition.h"

namespace {

EntityManager* Manager() { return GetGlobalState()->entityManager; }

// Prints both lines of a deprecated name's warning.
void Deprecated(const char* first, const char* second) {
    std::fputs(first, stderr);
    std::fputs(second, stderr);
}

int CreateNPC(lua_State* L) {
    const char* invalid = "EM_NPC_CreateNPC:  Failed, invalid argument list\n";
    int count = lua_gettop(L);
    if (count < 2) return script::Fail(invalid);
    std::string name, type, script;
    if (!script::GetText(L, 1, name) || !script::GetText(L, 2, type)) return script::Fail(invalid);
    if (count >= 3 && !script::GetText(L, 3, script)) return script::Fail(invalid);
    EntityManager* manager = Manager();
    if (!manager) return script::Fail("EM_NPC_CreateNPC:  Failed, EntityManager does not exist\n");
    NonPlayingCharacter* character = nullptr;
    if (type == "DialogueNPC")
        character = new NPCStaticDialogue;
    else if (type == "EnemyNPC")
        character = new NPCWorldEnemy;
    if (!character) return script::Fail("NPCM AddNPC:  Failed, NPC Type was invalid\n");
    character->SetInternalName(name);
    manager->RegisterPointer(EntityManager::kNPC, name.c_str(), character);
    manager->SetActiveEntity(character);
    if (count >= 3) {
        if (LuaManager* lua = GetGlobalState()->luaManager) lua->RunFile(script, 1);
    }
    return 0;
}

int SetActiveNPC(lua_State* L) {
    const char* invalid = "EM_NPC_SetActiveNPC:  Failed, invalid argument list\n";
    if (lua_gettop(L) < 1) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    EntityManager* manager = Manager();
    if (!manager) return script::Fail("EM_NPC_SetActiveNPC:  Failed, EntityManager does not exist\n");
    RootEntity* entity = manager->GetNPC(name.c_str());
    manager->SetActiveEntity(entity);
    if (!entity)
        return script::Fail("EM_NPC_SetActiveNPC:  Warning, NPC " + name + " not found (Active is now NULL)\n");
    return 0;
}

int CreateObject(lua_State* L) {
    const char* invalid = "EM_OBJ_CreateObject:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 2)) return script::Fail(invalid);
    std::string name, type;
    if (!script::GetText(L, 1, name) || !script::GetText(L, 2, type)) return script::Fail(invalid);
    if (!Manager()) return script::Fail("EM_OBJ_CreateObject:  Failed, EntityManager does not exist\n");
    RootEntity* object = nullptr;
    if (type == "Item")
        object = new ObjectItem;
    else if (type == "StaticAnimation")
        object = new ObjectStaticAnimation;
    else if (type == "StaticPosition")
        object = new ObjectStaticPosition;
    else if (type == "StaticTransition")
        object = new ObjectStaticTransition;
    else if (type == "StaticAutoScript")
        object = new ObjectStaticAutoScript;
    if (!object) return script::Fail("EM_OBJ_CreateObject:  Failed, no type " + type + " found\n");
    Manager()->RegisterPointer(EntityManager::kObject, name.c_str(), object);
    Manager()->SetActiveEntity(object);
    return 0;
}

int SetActiveObject(lua_State* L) {
    const char* invalid = "EM_OBJ_SetActiveObject:  Failed, invalid argument list\n";
    if (lua_gettop(L) < 1) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    EntityManager* manager = Manager();
    if (!manager) return script::Fail("EM_OBJ_SetActiveObject:  Failed, EntityManager does not exist\n");
    RootEntity* entity = manager->GetObject(name.c_str());
    manager->SetActiveEntity(entity);
    if (!entity)
        return script::Fail("EM_OBJ_SetActiveObject:  Warning, Object " + name + " not found (Active is now NULL)\n");
    return 0;
}

// Deletes the first entity of that name in the sub-list. The entity is
// taken from the sub-list itself, so a same-named entity of another list is
// never removed in its place.
bool RemoveFromSubList(EntityManager* manager, const char* list, const std::string& name) {
    NamedList* sub = manager->GetSubList(list);
    RootEntity* entity = sub ? static_cast<RootEntity*>(sub->Find(name)) : nullptr;
    if (!entity) return false;
    manager->DeleteEntity(entity);
    return true;
}

int EM_NPC_CreateNPC(lua_State* L) { return CreateNPC(L); }

int EM_NPC_RemoveNPC(lua_State* L) {
    const char* invalid = "EM_NPC_RemoveNPC:  Failed, invalid argument list\n";
    if (lua_gettop(L) < 1) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    EntityManager* manager = Manager();
    if (!manager) return script::Fail("EM_NPC_RemoveNPC:  Failed, EntityManager does not exist\n");
    if (!RemoveFromSubList(manager, EntityManager::kNPC, name))
        return script::Fail("EM_NPC_RemoveNPC:  Warning, NPC " + name + " not found\n");
    return 0;
}

int EM_NPC_SetActiveNPC(lua_State* L) { return SetActiveNPC(L); }

int EM_OBJ_CreateObject(lua_State* L) { return CreateObject(L); }

int EM_OBJ_RemoveObject(lua_State* L) {
    const char* invalid = "EM_OBJ_RemoveObject:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 1)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    EntityManager* manager = Manager();
    if (!manager) return script::Fail("EM_OBJ_RemoveObject:  Failed, EntityManager does not exist\n");
    if (!RemoveFromSubList(manager, EntityManager::kObject, name))
        return script::Fail("EM_OBJ_RemoveObject:  Warning, Object " + name + " not found\n");
    return 0;
}

int EM_OBJ_SetActiveObject(lua_State* L) { return SetActiveObject(L); }

int NPCM_AddNPC(lua_State* L) {
    Deprecated("Warning:  NPCM_AddNPC.  This function is deprecated.\n", " - Please change it to EM_NPC_CreateNPC.\n");
    return CreateNPC(L);
}

int SetActiveNPCI(lua_State* L) {
    Deprecated("Warning:  SetActiveNPCI.  Function is deprecated.\n", " - No replacement is available.\n");
    return 0;
}

int SetActiveNPCA(lua_State* L) {
    Deprecated("Warning:  SetActiveNPCA.  Function is deprecated.\n", " - Please change it to EM_NPC_SetActiveNPC.\n");
    return SetActiveNPC(L);
}

int OBJM_CreateObject(lua_State* L) {
    Deprecated("Warning:  OBJM_CreateObject.  Function is deprecated.\n",
               " - Please change it to EM_OBJ_CreateObject.\n");
    return CreateObject(L);
}

int OBJM_SetActiveObject(lua_State* L) {
    Deprecated("Warning:  OBJM_SetActiveObject.  Function is deprecated.\n",
               " - Please change it to EM_OBJ_SetActiveObject.\n");
    return SetActiveObject(L);
}

int OBJM_SetActiveObjectByID(lua_State* L) {
    Deprecated("Warning:  OBJM_SetActiveObjectByID.  Function is deprecated.\n", " - No replacement is available.\n");
    return 0;
}

const script::Function kFunctions[] = {
    {"EM_NPC_CreateNPC", EM_NPC_CreateNPC},
    {"EM_NPC_RemoveNPC", EM_NPC_RemoveNPC},
    {"EM_NPC_SetActiveNPC", EM_NPC_SetActiveNPC},
    {"EM_OBJ_CreateObject", EM_OBJ_CreateObject},
    {"EM_OBJ_RemoveObject", EM_OBJ_RemoveObject},
    {"EM_OBJ_SetActiveObject", EM_OBJ_SetActiveObject},
    {"NPCM_AddNPC", NPCM_AddNPC},
    {"SetActiveNPCI", SetActiveNPCI},
    {"SetActiveNPCA", SetActiveNPCA},
    {"OBJM_CreateObject", OBJM_CreateObject},
    {"OBJM_SetActiveObject", OBJM_SetActiveObject},
    {"OBJM_SetActiveObjectByID", OBJM_SetActiveObjectByID},
    {nullptr, nullptr},
};

}  // namespace

void EntityManager::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}

int EM_GetDistanceBetweenEntities(lua_State* L) {
    const double dummy = 10000.0;
    int count = lua_gettop(L);
    EntityManager* manager = Manager();
    if (count == 2 || count == 4) {
        std::string text[4];
        bool ok = true;
        for (int i = 0; i < count; ++i) ok = ok && script::GetText(L, i + 1, text[i]);
        if (ok && manager) {
            float distance = count == 2 ? manager->GetDistanceBetweenEntities(text[0].c_str(), text[1].c_str())
                                        : manager->GetDistanceBetweenEntities(text[0].c_str(), text[1].c_str(),
                                                                              text[2].c_str(), text[3].c_str());
            return script::PushNumber(L, distance);
        }
        if (ok) {
            std::fputs("EM_GetDistanceBetweenEntities:  Failed, EntityManager does not exist\n", stderr);
            std::fputs(" - Pushing dummy value of 10000.0f\n", stderr);
            return script::PushNumber(L, dummy);
        }
    }
    std::fputs("EM_GetDistanceBetweenEntities:  Failed, invalid argument list\n", stderr);
    std::fputs(" - Pushing dummy value of 10000.0f\n", stderr);
    return script::PushNumber(L, dummy);
}
