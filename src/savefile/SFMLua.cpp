// SFM_IssueSave and SFM_IssueLoad: a save file written or read by path.
#include <string>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/FieldSprite.h"
#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "savefile/SFM.h"

namespace {

// `guarded`, when given, names the function whose call is refused while a
// battle runs or a field-sprite script runs. `issue` does the work and
// pushes its answers; their count is returned.
template <typename Issue>
int IssueWith(lua_State* L, const char* invalid, const char* missing, Issue issue, const char* guarded = nullptr) {
    std::string path;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, path)) return script::Fail(invalid);
    SFM* manager = GetGlobalState()->savefileManager;
    if (!manager) return script::Fail(missing);
    const CombatManager* combat = GetCombatRegistry().combatManager;
    if (guarded && combat && combat->IsBattleRunning())
        return script::Lines{guarded, " - "}.Fail("a battle is running");
    if (guarded && FieldSprite::IsLoadingFromScript())
        return script::Lines{guarded, " - "}.Fail("field sprites are loading");
    return issue(*manager, path);
}

// Answers whether the save was written; a script may ignore the answer.
int SFM_IssueSave(lua_State* L) {
    return IssueWith(L, "SFM_IssueSave - Failed, invalid argument list\n",
                     "SFM_IssueSave - Failed, SFM does not exist\n", [L](SFM& manager, const std::string& path) {
                         lua_pushboolean(L, manager.IssueSave(path) ? 1 : 0);
                         return 1;
                     });
}

int SFM_IssueLoad(lua_State* L) {
    // A load rebuilds the party, which a running battle still holds in its
    // turn order, windows and sprites' queues, and which a field-sprite
    // script's loader is walking (the load itself runs those scripts).
    return IssueWith(
        L, "SFM_IssueLoad - Failed, invalid argument list\n", "SFM_IssueLoad - Failed, SFM does not exist\n",
        [](SFM& manager, const std::string& path) {
            manager.IssueLoad(path);
            return 0;
        },
        "SFM_IssueLoad");
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
