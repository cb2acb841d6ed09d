// EP_ script functions: they fill the enemy prototype that is the data
// library's active object (made by DL_RegisterEnemyPrototype).
#include <lua5.1/lua.hpp>

#include <string>

#include "combat/EnemyPrototype.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

EnemyPrototype* ActivePrototype() {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    return library ? static_cast<EnemyPrototype*>(library->GetActiveObject(DataKind::EnemyPrototype)) : nullptr;
}

int Invalid(const char* name) { return script::Fail(std::string(name) + ":  Failed, invalid argument list\n"); }
int NotSet(const char* name) { return script::Fail(std::string(name) + ":  Failed, Active Prototype not set\n"); }

// The four functions that take one text.
template <void (EnemyPrototype::*Setter)(const std::string&)> int SetText(lua_State* L, const char* name) {
    std::string text;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, text)) return Invalid(name);
    EnemyPrototype* prototype = ActivePrototype();
    if (!prototype) return NotSet(name);
    (prototype->*Setter)(text);
    return 0;
}

int EP_SetCombatName(lua_State* L) { return SetText<&EnemyPrototype::SetCombatName>(L, "EP_SetCombatName"); }

int EP_SetLoadingInstructionPath(lua_State* L) {
    return SetText<&EnemyPrototype::SetLoadingInstructionPath>(L, "EP_SetLoadingInstructionPath");
}

int EP_SetDeathMessage(lua_State* L) { return SetText<&EnemyPrototype::SetDeathMessage>(L, "EP_SetDeathMessage"); }

int EP_SetLoadingString(lua_State* L) { return SetText<&EnemyPrototype::SetLoadingString>(L, "EP_SetLoadingString"); }

int EP_SetRandomFlag(lua_State* L) {
    if (!script::HasArgs(L, 1)) return Invalid("EP_SetRandomFlag");
    EnemyPrototype* prototype = ActivePrototype();
    if (!prototype) return NotSet("EP_SetRandomFlag");
    prototype->SetRandomFlag(script::GetFlag(L, 1));
    return 0;
}

// Without an active prototype nothing changes, silently.
int EP_SetCombatStats(lua_State* L) {
    if (!script::HasArgs(L, 9)) return Invalid("EP_SetCombatStats");
    EnemyPrototype* prototype = ActivePrototype();
    if (!prototype) return 0;
    int32_t v[9];
    for (int i = 0; i < 9; ++i) v[i] = script::GetInt(L, i + 1);
    prototype->SetCombatStats(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
    return 0;
}

int EP_SetLevelRange(lua_State* L) {
    if (!script::HasArgs(L, 2)) return Invalid("EP_SetLevelRange");
    EnemyPrototype* prototype = ActivePrototype();
    if (!prototype) return NotSet("EP_SetLevelRange");
    prototype->SetLevelRange(script::GetInt(L, 1), script::GetInt(L, 2));
    return 0;
}

int EP_SetEXPForKill(lua_State* L) {
    if (!script::HasArgs(L, 1)) return Invalid("EP_SetEXPForKill");
    EnemyPrototype* prototype = ActivePrototype();
    if (!prototype) return NotSet("EP_SetEXPForKill");
    prototype->SetEXPForKill(script::GetInt(L, 1));
    return 0;
}

int EP_AddLoadingInstruction(lua_State* L) {
    std::string base;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, base)) return Invalid("EP_AddLoadingInstruction");
    EnemyPrototype* prototype = ActivePrototype();
    if (!prototype) return NotSet("EP_AddLoadingInstruction");
    if (!prototype->AddLoadingInstruction(base, script::GetInt(L, 2))) return Invalid("EP_AddLoadingInstruction");
    return 0;
}

int EP_SetAttackAnimInstructions(lua_State* L) {
    if (!script::HasArgs(L, 5)) return Invalid("EP_SetAttackAnimInstructions");
    EnemyPrototype* prototype = ActivePrototype();
    if (!prototype) return NotSet("EP_SetAttackAnimInstructions");
    prototype->SetAttackAnimInstructions(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                                         script::GetInt(L, 4), script::GetInt(L, 5));
    return 0;
}

const script::Function kFunctions[] = {
    {"EP_SetCombatName", EP_SetCombatName},
    {"EP_SetRandomFlag", EP_SetRandomFlag},
    {"EP_SetLoadingInstructionPath", EP_SetLoadingInstructionPath},
    {"EP_SetDeathMessage", EP_SetDeathMessage},
    {"EP_SetCombatStats", EP_SetCombatStats},
    {"EP_SetLevelRange", EP_SetLevelRange},
    {"EP_SetEXPForKill", EP_SetEXPForKill},
    {"EP_SetLoadingString", EP_SetLoadingString},
    {"EP_AddLoadingInstruction", EP_AddLoadingInstruction},
    {"EP_SetAttackAnimInstructions", EP_SetAttackAnimInstructions},
    {nullptr, nullptr},
};

}  // namespace

void RegisterEnemyPrototypeLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
