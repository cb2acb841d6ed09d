#pragma once
// Runs a chunk in a test's Lua state and gives what it wrote on stderr. The
// chunk must run: one that fails to compile or raises an error fails the
// test, with the chunk and the error in the message.
//
//   EXPECT_EQ(testsupport::RunScript(lua, "CM_SetActiveCamera('Nope')"), "...\n");
//
// It stands apart from LuaTestState because the fuzz targets build
// LuaTestState without GoogleTest.
#include <gtest/gtest.h>

#include <string>

#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

namespace testsupport {

inline std::string RunScript(LuaTestState& lua, const std::string& chunk) {
    StderrCapture capture;
    bool ok = lua.Run(chunk);
    std::string printed = capture.Take();
    EXPECT_TRUE(ok) << chunk << ": " << lua.LastError();
    return printed;
}

}  // namespace testsupport
