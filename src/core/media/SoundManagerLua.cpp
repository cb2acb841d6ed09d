// Script functions that configure the newest registered track or effect: the
// data library's active object, which must be a sound record.
#include <cfloat>

#include "core/base/GlobalState.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

// Seconds from a script number as a float: beyond the float range the value
// is held at its largest (NaN stays NaN and never takes effect).
float ScriptSeconds(lua_State* L, int index) {
    const double value = script::GetNumber(L, index);
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

// SM_SetLoopPositions(start seconds, end seconds)
int SM_SetLoopPositions(lua_State* L) {
    if (!script::HasArgs(L, 2)) return script::Fail("SM_SetLoopPositions:  Failed, invalid argument list\n");
    GlobalState* state = GetGlobalState();
    if (!state->dataLibrary) return script::Fail("SM_SetLoopPositions:  Failed, DataLibrary does not exist\n");
    if (!state->soundManager) return script::Fail("SM_SetLoopPositions:  Failed, SoundManager does not exist\n");
    auto* record = static_cast<AudioRecord*>(state->dataLibrary->GetActiveObject(DataKind::SoundRecord));
    if (!record) {
        // Under "-nomusic" music registration leaves no active object, and
        // the loop points that follow it are skipped quietly.
        if (state->noMusic) return 0;
        return script::Fail("SM_SetLoopPositions:  Failed, no active object\n");
    }
    state->soundManager->SetLoopPositions(record, ScriptSeconds(L, 1), ScriptSeconds(L, 2));
    return 0;
}

// SM_SetAutoSuppress(seconds)
int SM_SetAutoSuppress(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("SM_SetAutoSuppress:  Failed, invalid argument list\n");
    GlobalState* state = GetGlobalState();
    if (!state->dataLibrary) return script::Fail("SM_SetAutoSuppress:  Failed, DataLibrary does not exist\n");
    auto* record = static_cast<AudioRecord*>(state->dataLibrary->GetActiveObject(DataKind::SoundRecord));
    if (!record) return script::Fail("SM_SetAutoSuppress:  Failed, no active object\n");
    record->autoSuppressTime = ScriptSeconds(L, 1);
    return 0;
}

const script::Function kFunctions[] = {
    {"SM_SetLoopPositions", SM_SetLoopPositions},
    {"SM_SetAutoSuppress", SM_SetAutoSuppress},
    {nullptr, nullptr},
};

}  // namespace

void SoundManager::RegisterLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
