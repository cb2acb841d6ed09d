// The real program under Xvfb: start-up lines, the window, and a clean
// shut-down when the window is asked to close.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "maps/ChunkStreamer.h"
#include "support/ProgramRunner.h"

using testsupport::FindFrom;
using testsupport::ProgramRunner;

namespace {

// Starts the program, waits for its window, closes it and returns the exit
// status; the window's size is written to the out-parameters.
int RunAndClose(ProgramRunner& runner, const std::vector<std::string>& options, int* width, int* height) {
    EXPECT_TRUE(runner.Start(options));
    unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    EXPECT_NE(window, 0UL) << runner.Stderr();
    if (!window) return runner.Wait(5.0);
    // Let the loop run a few frames before closing.
    for (int i = 0; i < 20 && FindFrom(runner.Stderr(), "Begin primary game loop\n", 0) == std::string::npos; ++i)
        usleep(100000);
    usleep(300000);
    runner.WindowSize(window, width, height);
    EXPECT_TRUE(runner.RequestClose(window));
    return runner.Wait(30.0);
}

}  // namespace

TEST(Program, StartsLoopsAndShutsDownCleanly) {
    ProgramRunner runner;
    int width = 0, height = 0;
    int status = RunAndClose(runner, {"-nonetwork"}, &width, &height);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);

    std::string out = runner.Stderr();
    size_t at = FindFrom(out, "Set Local Path to ", 0);
    at = FindFrom(out, "== Begin Init ==\n", at);
    at = FindFrom(out, "start time in seconds is: ", at);
    // The start-up scripts ran, in order, and their helpers with them.
    at = FindFrom(out, "Game ready: Prologue, 25 gold, started 1 time(s)\n", at);
    at = FindFrom(out, "Initialization Sequence completed!  Took ", at);
    at = FindFrom(out, "Begin primary game loop\n", at);
    at = FindFrom(out, "Begin destruction sequence\n", at);
    at = FindFrom(out, "Cleaning memory - Done\n", at);
    EXPECT_NE(at, std::string::npos) << out;

    // The sample game's start-up scripts run cleanly: every image, font and
    // sound they register is there.
    EXPECT_EQ(out.find("does not exist"), std::string::npos) << out;
    EXPECT_EQ(out.find("Failed"), std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
    EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
}

TEST(Program, WindowSizeAndDebugOptions) {
    ProgramRunner runner;
    int width = 0, height = 0;
    int status = RunAndClose(runner, {"-w", "640", "-h", "480", "-debug", "-nonetwork"}, &width, &height);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    std::string out = runner.Stderr();
    EXPECT_NE(out.find("Width set to:640\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Height set to:480\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Opening debug console\n"), std::string::npos) << out;
    // Diagnostics keep going to stderr after the console opened.
    EXPECT_NE(out.find("Begin destruction sequence\n"), std::string::npos) << out;
}

TEST(Program, WindowThatCannotOpenEndsWithFailureStatus) {
    ProgramRunner runner;
    ASSERT_TRUE(runner.Start({"-w", "0", "-nonetwork"}));
    int status = runner.Wait(30.0);
    std::string out = runner.Stderr();
    EXPECT_NE(status, 0) << out;
    EXPECT_NE(status, -1) << "the program did not end: " << out;
    EXPECT_NE(out.find("Display of size 0 by 600 failed to create.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("With no display, the program will now exit\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Begin destruction sequence\n"), std::string::npos) << out;
}

// With the network on and no server, start-up looks for one for seconds
// with the window open: closing the window then ends the program at once.
TEST(Program, TheWindowClosedWhileStartUpLooksForAServerEndsTheProgram) {
    ProgramRunner runner;
    ASSERT_TRUE(runner.Start({}));
    unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    ASSERT_NE(window, 0UL) << runner.Stderr();
    ASSERT_NE(runner.WaitForOutput("attempting to connect to server.\n", 0, 30.0), std::string::npos);
    EXPECT_TRUE(runner.RequestClose(window));
    const int status = runner.Wait(30.0);
    std::string out = runner.Stderr();
    EXPECT_EQ(status, 0) << out;
    // The wait ended with the close, not by itself.
    EXPECT_EQ(out.find("Failed to connect to the server.\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Begin primary game loop\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Begin destruction sequence\n"), std::string::npos) << out;
}

TEST(Program, WindowsLargerThanTheDisplayCanHoldAreRefusedAtStartUp) {
    const struct {
        const char* width;
        const char* height;
        const char* line;
    } cases[] = {
        {"100000", "100000", "Display of size 100000 by 100000 is larger than the display can hold (16384).\n"},
        {"2147483647", "600", "Display of size 2147483647 by 600 is larger than the display can hold (16384).\n"},
        {"800", "16385", "Display of size 800 by 16385 is larger than the display can hold (16384).\n"},
    };
    for (const auto& c : cases) {
        ProgramRunner runner;
        ASSERT_TRUE(runner.Start({"-w", c.width, "-h", c.height, "-nonetwork"}));
        int status = runner.Wait(30.0);
        std::string out = runner.Stderr();
        EXPECT_NE(status, 0) << out;
        EXPECT_NE(status, -1) << "the program did not end: " << out;
        EXPECT_NE(out.find(c.line), std::string::npos) << out;
        EXPECT_EQ(out.find("Begin primary game loop\n"), std::string::npos) << out;
    }
}

TEST(Program, OpenGLAndMemoryModesRunAndCloseToo) {
    ProgramRunner runner;
    int width = 0, height = 0;
    int status = RunAndClose(runner, {"-ogl", "-f", "-skiptitle", "-nonetwork"}, &width, &height);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(width, 800);
    std::string out = runner.Stderr();
    EXPECT_NE(out.find("Forcing OpenGL mode\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Forcing memory mode\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Cleaning memory - Done\n"), std::string::npos) << out;
}

TEST(Program, SkipsTheTitleIntoTheSampleLevel) {
    ProgramRunner runner;
    int width = 0, height = 0;
    int status = RunAndClose(runner, {"-skiptitle", "-map", "DebugRoom", "-nonetwork"}, &width, &height);
    EXPECT_EQ(status, 0);
    std::string out = runner.Stderr();
    EXPECT_NE(out.find("Forcing default map\n"), std::string::npos) << out;
    // The level file is found, inflated into the working file and streamed
    // without complaint; the working file is gone after shut-down.
    EXPECT_EQ(out.find("Failed"), std::string::npos) << out;
    EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
    EXPECT_NE(out.find("Cleaning memory - Done\n"), std::string::npos) << out;
    for (const auto& entry : std::filesystem::directory_iterator(runner.GameDir()))
        EXPECT_FALSE(ChunkStreamer::IsWorkingFileName(entry.path().filename().string())) << entry.path();
}
