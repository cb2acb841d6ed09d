// The sample game's way down and back up, played by the real program under
// Xvfb: the stairwell on the square leads to a new cave floor (its seed and
// size are printed), the player stands on a cell of it, and the floor's
// ladder leads back to the meadow.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "support/ProgramRunner.h"

using testsupport::FindFrom;
using testsupport::ProgramRunner;

namespace {

void Append(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::app);
    out << text;
}

// Waits up to the timeout for the text to appear in what the program printed.
bool WaitFor(ProgramRunner& runner, const std::string& text, double seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (runner.Stderr().find(text) != std::string::npos) return true;
        usleep(100000);
    }
    return false;
}

int Count(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = FindFrom(text, needle, 0); at != std::string::npos; at = FindFrom(text, needle, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(DungeonFloor, StairwellDownAndLadderBackUp) {
    ProgramRunner runner;
    const std::string scripts = runner.GameDir() + "/Data/Scripts/";
    // The player starts on the stairwell instead of walking there.
    Append(scripts + "Maps/DebugRoom.lua", "\nPlayer_SetPosition(320, 728, 0)\n");
    // On the floor, three ticks after it is built (before any slime could
    // reach the player), the ladder reports where the player stands and
    // runs its own climb, as a click on it does.
    Append(scripts + "NPCs/UpStair/Constructor.lua", "\nNPC_SetDefaultScript('Data/Scripts/NPCs/UpStair/Probe.lua')\n");
    Append(scripts + "NPCs/UpStair/Probe.lua",
           "probeTicks = (probeTicks or 0) + 1\n"
           "if probeTicks ~= 3 then return end\n"
           "io.stderr:write(string.format('Probe: player at %d %d\\n', PM_GetValue('Player', '', 'XCenter'),"
           " PM_GetValue('Player', '', 'YCenter')))\n"
           "DM_SetDialogueNPC('UpStair')\n"
           "DM_ManualActivate()\n");

    ASSERT_TRUE(runner.Start({"-skiptitle", "-nonetwork"}));
    const unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    ASSERT_NE(window, 0UL) << runner.Stderr();
    EXPECT_TRUE(WaitFor(runner, "Current floor is 0\n", 30.0)) << runner.Stderr();
    usleep(1500000);  // back in the meadow, away from the stairwell
    EXPECT_TRUE(runner.RequestClose(window));
    EXPECT_EQ(runner.Wait(30.0), 0);

    const std::string out = runner.Stderr();
    const size_t down = out.find("Current floor is 1\n");
    const size_t seed = out.find("Generate level with seed ");
    const size_t size = out.find("Size was ");
    const size_t probe = out.find("Probe: player at ");
    const size_t up = out.find("Current floor is 0\n");
    ASSERT_NE(down, std::string::npos) << out;
    ASSERT_NE(seed, std::string::npos) << out;
    ASSERT_NE(probe, std::string::npos) << out;
    EXPECT_LT(down, seed);
    EXPECT_LT(seed, size);
    EXPECT_LT(size, probe);
    EXPECT_LT(probe, up);

    // The side lies in the floor script's range, with one layer.
    int side = 0, sideAgain = 0, layers = 0;
    ASSERT_EQ(std::sscanf(out.c_str() + size, "Size was %d %d %d", &side, &sideAgain, &layers), 3);
    EXPECT_GE(side, 24);
    EXPECT_LT(side, 40);
    EXPECT_EQ(side, sideAgain);
    EXPECT_EQ(layers, 1);
    // The player stands on the centre of a cell inside the floor.
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(out.c_str() + probe, "Probe: player at %d %d", &x, &y), 2);
    EXPECT_EQ(x % 30, 15);
    EXPECT_EQ(y % 30, 15);
    EXPECT_LT(x, side * 30);
    EXPECT_LT(y, side * 30);

    // Once back up the player is not sent down again.
    EXPECT_EQ(Count(out, "Generate level with seed "), 1) << out;
    EXPECT_NE(out.find("Cleaning memory - Done\n"), std::string::npos) << out;
}
