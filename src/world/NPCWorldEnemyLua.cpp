// NPC_WorldEnemy_ functions: configure the active character when it is a
// world enemy. Without an active character the entity manager's lookup
// prints its line; a character of another class is left as it is, without a
// word (only NPC_WorldEnemy_AddBoss says "no ActiveEnemy").
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/EntityManager.h"
#include "world/NPCWorldEnemy.h"

namespace {

// The active world enemy, or null. Without an active character only the
// entity manager's lookup speaks; a character of another class is skipped
// silently.
NPCWorldEnemy* ActiveEnemy(const char* name) {
    const script::Lines lines{name};
    EntityManager* entities = GetGlobalState()->entityManager;
    if (!entities) {
        lines.Fail("EntityManager does not exist");
        return nullptr;
    }
    return dynamic_cast<NPCWorldEnemy*>(entities->GetActiveNPC());
}

int NPC_WorldEnemy_SetMaxSpawns(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("NPC_WorldEnemy_SetMaxSpawns: no spawn number given.\n");
    if (NPCWorldEnemy* enemy = ActiveEnemy("NPC_WorldEnemy_SetMaxSpawns")) enemy->SetMaxSpawns(script::GetInt(L, 1));
    return 0;
}

int NPC_WorldEnemy_SetDetectRange(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("PC_WorldEnemy_SetDetectRange: no detect range number given.\n");
    NPCWorldEnemy* enemy = ActiveEnemy("NPC_WorldEnemy_SetDetectRange");
    const int32_t range = script::GetInt(L, 1);
    if (!enemy || range < 0) return 0;
    // 0 only switches the automatic range off.
    enemy->SetDetectRange(range);
    enemy->SetAutoDetectRange(false);
    return 0;
}

int NPC_WorldEnemy_SetAggroRange(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("NPC_WorldEnemy_SetAggroRange: no aggro range number given.\n");
    NPCWorldEnemy* enemy = ActiveEnemy("NPC_WorldEnemy_SetAggroRange");
    const int32_t range = script::GetInt(L, 1);
    if (!enemy || range < 0) return 0;
    enemy->SetAggroRange(range);
    enemy->SetAutoAggroRange(false);
    return 0;
}

int NPC_WorldEnemy_SetRespawnTime(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("NPC_WorldEnemy_SetRespawnTime: no aggro range number given.\n");
    if (NPCWorldEnemy* enemy = ActiveEnemy("NPC_WorldEnemy_SetRespawnTime"))
        enemy->SetRespawnTime(script::GetInt(L, 1));
    return 0;
}

int NPC_WorldEnemy_AddMob(lua_State* L) {
    const int count = lua_gettop(L);
    if (count > 2) return script::Fail("NPC_WorldEnemy_AddMob: too many arguments given.\n");
    std::string name;
    if (count < 1 || !script::GetText(L, 1, name))
        return script::Fail("NPC_WorldEnemy_AddMob: no monster prototype name given.\n");
    NPCWorldEnemy* enemy = ActiveEnemy("NPC_WorldEnemy_AddMob");
    if (!enemy) return 0;
    enemy->AddMob(name, count == 2 ? script::GetInt(L, 2) : 100);
    return 0;
}

int NPC_WorldEnemy_AddBoss(lua_State* L) {
    const script::Lines lines{"NPC_WorldEnemy_AddBoss"};
    std::string name;
    if (lua_gettop(L) < 1 || !script::GetText(L, 1, name)) return lines.Fail("invalid argument list");
    // Unlike the others, it speaks when nothing is active too.
    EntityManager* entities = GetGlobalState()->entityManager;
    RootEntity* active = entities ? entities->GetActiveNPC() : nullptr;
    auto* enemy = dynamic_cast<NPCWorldEnemy*>(active);
    if (!enemy) return lines.Fail("no ActiveEnemy");
    enemy->AddBoss(name);
    return 0;
}

int NPC_WorldEnemy_Setup(lua_State*) { return 0; }

const script::Function kFunctions[] = {
    {"NPC_WorldEnemy_SetMaxSpawns", NPC_WorldEnemy_SetMaxSpawns},
    {"NPC_WorldEnemy_SetDetectRange", NPC_WorldEnemy_SetDetectRange},
    {"NPC_WorldEnemy_SetAggroRange", NPC_WorldEnemy_SetAggroRange},
    {"NPC_WorldEnemy_SetRespawnTime", NPC_WorldEnemy_SetRespawnTime},
    {"NPC_WorldEnemy_AddMob", NPC_WorldEnemy_AddMob},
    {"NPC_WorldEnemy_AddBoss", NPC_WorldEnemy_AddBoss},
    {"NPC_WorldEnemy_Setup", NPC_WorldEnemy_Setup},
    {nullptr, nullptr},
};

}  // namespace

void NPCWorldEnemy::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}

void RegisterNPCWorldEnemyLuaFunctions(lua_State* L) { NPCWorldEnemy::RegisterLuaFunctions(L); }
