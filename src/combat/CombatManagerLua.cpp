// The CombatManager_ script functions and DEBUG_ActivateCombat.
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

constexpr const char* kNoManager = "CombatManager does not exist";

int CombatManager_ClearPreloadList(lua_State*) {
    CombatManager* manager = GetCombatRegistry().combatManager;
    if (!manager) return script::Lines{"CombatManager_ClearPreloadList"}.Fail(kNoManager);
    manager->ClearPreloadList();
    return 0;
}

int CombatManager_AddPreloadEnemy(lua_State* L) {
    const script::Lines lines{"CombatManager_AddPreloadEnemy"};
    std::string section, catalogue, heading, name;
    if (!script::HasArgs(L, 4) || !script::GetText(L, 1, section) || !script::GetText(L, 2, catalogue) ||
        !script::GetText(L, 3, heading) || !script::GetText(L, 4, name))
        return script::Fail(lines.Invalid());
    CombatManager* manager = GetCombatRegistry().combatManager;
    if (!manager) return lines.Fail(kNoManager);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    void* prototype = library ? library->GetPointer(section.c_str(), catalogue.c_str(), heading.c_str(), name.c_str(),
                                                    DataKind::EnemyPrototype)
                              : nullptr;
    if (!prototype) return lines.Fail("enemy not found");
    manager->AddPreloadEnemy(prototype);
    return 0;
}

// A battle runs, or one has been asked for and not yet begun: a battle
// started over it would never end, so the request is refused with the
// caller's line, which says which of the two it met.
bool RefusedInBattle(const char* caller) {
    const CombatManager* manager = GetCombatRegistry().combatManager;
    const char* reason = nullptr;
    if ((manager && manager->IsBattleRunning()) || GetTransitionState().currentMode == kTransitionBattle)
        reason = "a battle is running";
    else if (IsBattleRunningOrRequested())
        reason = "a battle has already been asked for";
    if (!reason) return false;
    script::Lines{caller}.Fail(reason);
    return true;
}

int CombatManager_InitiateCombat(lua_State*) {
    if (RefusedInBattle("CombatManager_InitiateCombat")) return 0;
    RequestCombatTransition();
    return 0;
}

int DEBUG_ActivateCombat(lua_State*) {
    CombatManager* manager = GetCombatRegistry().combatManager;
    if (!manager) return script::Lines{"DEBUG_ActivateCombat"}.Fail(kNoManager);
    // Refused before the preload list changes: it belongs to the battle.
    if (RefusedInBattle("DEBUG_ActivateCombat")) return 0;
    manager->ClearPreloadList();
    DataLibrary* library = GetGlobalState()->dataLibrary;
    void* first = nullptr;
    void* second = nullptr;
    if (library) {
        first = library->GetPointer("Enemies", "StratumZero", "Normal", "Zezazoru", DataKind::EnemyPrototype);
        second = library->GetPointer("Enemies", "StratumZero", "Normal", "Didozado", DataKind::EnemyPrototype);
    }
    manager->AddPreloadEnemy(first);
    manager->AddPreloadEnemy(second);
    manager->AddPreloadEnemy(first);
    RequestCombatTransition();
    return 0;
}

const script::Function kManagerFunctions[] = {
    {"CombatManager_ClearPreloadList", CombatManager_ClearPreloadList},
    {"CombatManager_AddPreloadEnemy", CombatManager_AddPreloadEnemy},
    {"CombatManager_InitiateCombat", CombatManager_InitiateCombat},
    {nullptr, nullptr},
};

const script::Function kDebugFunctions[] = {
    {"DEBUG_ActivateCombat", DEBUG_ActivateCombat},
    {nullptr, nullptr},
};

}  // namespace

void CombatManager::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kManagerFunctions);
}

void CombatManager::RegisterDebugLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kDebugFunctions);
}
