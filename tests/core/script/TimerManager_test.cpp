#include "core/script/TimerManager.h"

#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "support/EmptySlotRun.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

TEST(TimerManager, CountsTicksFromScriptsAndFailsWithoutTheManager) {
    LuaTestState lua;
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("TimerManager_AddTimer('t', -5.9) TimerManager_AddTimer('second', 0)"));
    for (int i = 0; i < 60; ++i) lua.Timers().Tick();
    ASSERT_TRUE(
        lua.Run("t = TimerManager_GetTimer('t') absent = TimerManager_GetTimer('never') "
                "s = TimerManager_GetTimer('second') TimerManager_DelTimer('second') "
                "gone = TimerManager_GetTimer('second')"));
    EXPECT_EQ(lua.GetNumber("t"), 55);  // -5.9 truncates to -5
    EXPECT_EQ(lua.GetNumber("s"), 60);
    EXPECT_EQ(lua.GetNumber("absent"), -700);
    EXPECT_EQ(lua.GetNumber("gone"), -700);
    EXPECT_EQ(cap.Take(), "");

    const auto [ok, out] = testsupport::RunWithEmptySlot(
        lua, &GlobalState::timerManager,
        "TimerManager_AddTimer('t', 1) v = TimerManager_GetTimer('t') TimerManager_DelTimer('t')");
    ASSERT_TRUE(ok);
    EXPECT_EQ(out,
              "TimerManager AddTimer:  Failed, TimerManager does not exist\n"
              "TimerManager GetTimer:  Failed, TimerManager does not exist\n"
              "TimerManager DelTimer:  Failed, TimerManager does not exist\n");
    EXPECT_TRUE(lua.IsNil("v"));
}

TEST(TimerManager, DuplicatesTakeTheFirstAndCountersStopAtTheTop) {
    TimerManager timers;
    timers.AddTimer("other", 0);
    timers.AddTimer("t", 100);
    timers.AddTimer("t", 200);
    timers.AddTimer("t", 300);
    // Deleting removes the counter that reads see, even when it is neither
    // the head nor the tail.
    for (int expected : {100, 200, 300, -700}) {
        EXPECT_EQ(timers.GetTimer("t"), expected);
        timers.DelTimer("t");
    }
    EXPECT_EQ(timers.GetTimer("other"), 0);

    timers.AddTimer("long", INT32_MAX - 1);
    timers.Tick();
    timers.Tick();
    EXPECT_EQ(timers.GetTimer("long"), INT32_MAX);
}
