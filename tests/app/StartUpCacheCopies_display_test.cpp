#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/ProgramRunner.h"

namespace {

namespace fs = std::filesystem;
using testsupport::FindFrom;
using testsupport::ProgramRunner;

// A first run inflates the archives in memory and shows the game without
// waiting for their cache copies; the copies are on disk once it shows,
// whole, and the run ends cleanly with nothing printed about them.
TEST(StartUp, ArchiveCacheCopiesAreWrittenOnceTheGameShows) {
    ProgramRunner runner;
    const fs::path cache = fs::path(runner.GameDir()) / "Data" / "Decompress";
    fs::remove_all(cache);
    ASSERT_TRUE(runner.Start({"-skiptitle", "-map", "DebugRoom", "-nonetwork"}));
    unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    ASSERT_NE(window, 0UL) << runner.Stderr();
    ASSERT_NE(runner.WaitForOutput("Begin primary game loop\n", 0, 30.0), std::string::npos) << runner.Stderr();
    const char* archives[] = {"StandardTextures.sif", "Backgrounds.sif", "Characters.sif"};
    // Polled, not timed: the frames come when the loaded machine gives them.
    for (int i = 0; i < 300 && !fs::exists(cache / "Characters.sif"); ++i) usleep(100000);
    EXPECT_TRUE(fs::exists(cache / "Characters.sif")) << "no cache copy while the game runs";
    EXPECT_TRUE(runner.RequestClose(window));
    EXPECT_EQ(runner.Wait(30.0), 0);

    for (const char* name : archives) EXPECT_TRUE(fs::exists(cache / name)) << name;
    // Whole copies only: no temporary one ("<archive>.<tag>.part") stays.
    for (const auto& entry : fs::directory_iterator(cache))
        EXPECT_TRUE(entry.path().filename().string().ends_with(".sif")) << entry.path();
    const std::string out = runner.Stderr();
    EXPECT_EQ(out.find("cannot create"), std::string::npos) << out;
    EXPECT_NE(FindFrom(out, "Cleaning memory - Done\n", 0), std::string::npos) << out;
}

}  // namespace
