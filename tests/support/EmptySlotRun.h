#pragma once
// Runs a chunk while one manager's slot in the global state is empty, as it
// is before start-up makes that manager, and gives what the chunk printed;
// the slot names its manager again afterwards.
//
//   auto [ok, printed] = testsupport::RunWithEmptySlot(lua, &GlobalState::timerManager, "TimerManager_AddTimer('t',
//   1)");
#include <string>

#include "core/base/GlobalState.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

namespace testsupport {

struct EmptySlotRun {
    bool ok;              // the chunk compiled and raised no error
    std::string printed;  // what it wrote on stderr
};

template <class T> EmptySlotRun RunWithEmptySlot(LuaTestState& lua, T* GlobalState::*slot, const std::string& chunk) {
    GlobalState* state = GetGlobalState();
    T* manager = state->*slot;
    state->*slot = nullptr;
    StderrCapture capture;
    EmptySlotRun run{lua.Run(chunk), capture.Take()};
    state->*slot = manager;
    return run;
}

}  // namespace testsupport
