// SFM_IssueSave and SFM_IssueLoad: a save file written or read by path.
#include <string>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "savefile/SFM.h"

namespace {

// `inBattle`, when given, refuses the call while a battle runs.
int IssueWith(lua_State* L, const char* invalid, const char* missing, void (SFM::*issue)(const std::string&),
              const char* inBattle = nullptr) {
    std::string path;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, path)) return script::Fail(invalid);
    SFM* manager = GetGlobalState()->savefileManager;
    if (!manager) return script::Fail(missing);
    const CombatManager* combat = GetCombatRegistry().combatManager;
    if (inBattle && combat && combat->IsBattleRunning()) return script::Fail(inBattle);
    (manager->*issue)(path);
    return 0;
}

int SFM_IssueSave(lua_State* L) {
    return IssueWith(L, "SFM_IssueSave - Failed, invalid argument list\n",
                     "SFM_IssueSave - Failed, SFM does not exist\n", &SFM::IssueSave);
}

int SFM_IssueLoad(lua_State* L) {
    // A load rebuilds the party, which a running battle still holds in its
    // turn order, windows and sprites' queues.
    return IssueWith(L, "SFM_IssueLoad - Failed, invalid argument list\n",
                     "SFM_IssueLoad - Failed, SFM does not exist\n", &SFM::IssueLoad,
                     "SFM_IssueLoad - Failed, a battle is running\n");
}

const script::Function kFunctions[] = {
    {"SFM_IssueSave", SFM_IssueSave},
    {"SFM_IssueLoad", SFM_IssueLoad},
    {nullptr, nullptr},
};

}  // namespace

void SFM::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
