// TimerManager_ script functions.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "core/script/TimerManager.h"

namespace {

int TimerManager_AddTimer(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, name))
        return script::Fail("TimerManager AddTimer:  Failed, invalid argument list\n");
    TimerManager* timers = GetGlobalState()->timerManager;
    if (!timers) return script::Fail("TimerManager AddTimer:  Failed, TimerManager does not exist\n");
    timers->AddTimer(name, script::GetInt(L, 2));
    return 0;
}

int TimerManager_GetTimer(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail("TimerManager GetTimer:  Failed, invalid argument list\n");
    TimerManager* timers = GetGlobalState()->timerManager;
    if (!timers) return script::Fail("TimerManager GetTimer:  Failed, TimerManager does not exist\n");
    return script::PushNumber(L, timers->GetTimer(name));
}

int TimerManager_DelTimer(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail("TimerManager DelTimer:  Failed, invalid argument list\n");
    TimerManager* timers = GetGlobalState()->timerManager;
    if (!timers) return script::Fail("TimerManager DelTimer:  Failed, TimerManager does not exist\n");
    timers->DelTimer(name);
    return 0;
}

const script::Function kTimerFunctions[] = {
    {"TimerManager_AddTimer", TimerManager_AddTimer},
    {"TimerManager_GetTimer", TimerManager_GetTimer},
    {"TimerManager_DelTimer", TimerManager_DelTimer},
    {nullptr, nullptr},
};

}  // namespace

void TimerManager::RegisterLuaFunctions(lua_State* L) { script::Register(L, kTimerFunctions); }
