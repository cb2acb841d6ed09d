// The real program under Xvfb: a battle asked for by a script goes through
// the transition into the combat state and back to the kept map.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "support/ProgramRunner.h"

using testsupport::FindFrom;
using testsupport::ProgramRunner;

namespace {

// Appends a line to a script of the copied game.
void AppendToScript(const ProgramRunner& runner, const std::string& script, const std::string& line) {
    std::ofstream out(runner.GameDir() + "/" + script, std::ios::app);
    out << "\n" << line << "\n";
}

// Waits until the program has printed the text (or the time is up).
bool WaitForText(const ProgramRunner& runner, const std::string& text, double seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (runner.Stderr().find(text) != std::string::npos) return true;
        usleep(100000);
    }
    return false;
}

}  // namespace

TEST(CombatProgram, ABattleWithoutAPartyIsRefusedAndTheGameGoesBackToTheMap) {
    ProgramRunner runner;
    // The meadow's script sends the party away and asks for the debugging
    // battle as the map loads.
    AppendToScript(runner, "Data/Scripts/Maps/DebugRoom.lua", "PartyManager_ClearParty() DEBUG_ActivateCombat()");
    ASSERT_TRUE(runner.Start({"-skiptitle", "-map", "DebugRoom", "-nonetwork"}));
    unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    ASSERT_NE(window, 0UL) << runner.Stderr();
    EXPECT_TRUE(WaitForText(runner, "CombatManager::StartCombat:  Failed, the party has no member who can fight\n", 30))
        << runner.Stderr();
    // The transition back to the map runs its 16 ticks; then the game goes on.
    usleep(1500000);
    EXPECT_TRUE(runner.RequestClose(window));
    EXPECT_EQ(runner.Wait(30.0), 0);
    std::string out = runner.Stderr();
    size_t at = FindFrom(out, "Begin primary game loop\n", 0);
    at = FindFrom(out, "CombatManager::StartCombat:  Failed, the party has no member who can fight\n", at);
    at = FindFrom(out, "Begin destruction sequence\n", at);
    at = FindFrom(out, "Cleaning memory - Done\n", at);
    EXPECT_NE(at, std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
    EXPECT_EQ(out.find("EnterCombat:  Failed"), std::string::npos) << out;
}

TEST(CombatProgram, TheSampleGamesPartyMeetsTheDebugEnemies) {
    ProgramRunner runner;
    AppendToScript(runner, "Data/Scripts/Maps/DebugRoom.lua", "DEBUG_ActivateCombat()");
    ASSERT_TRUE(runner.Start({"-skiptitle", "-map", "DebugRoom", "-nonetwork"}));
    unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    ASSERT_NE(window, 0UL) << runner.Stderr();
    // The battle is fought over some seconds of frames; nobody chooses a
    // command, so it waits in the command phase with everyone animated.
    usleep(3000000);
    EXPECT_TRUE(runner.RequestClose(window));
    EXPECT_EQ(runner.Wait(30.0), 0);
    std::string out = runner.Stderr();
    EXPECT_NE(FindFrom(out, "Cleaning memory - Done\n", 0), std::string::npos) << out;
    // The party's and the enemies' sprites, animations and prototypes were
    // all found and built.
    for (const char* family : {"CombatManager::StartCombat:  Failed", "FSprite", "EP_", "DL_Register",
                               "FieldSpriteanimation::", "EnemyManager::", "does not exist", "Lua Error"})
        EXPECT_EQ(out.find(family), std::string::npos) << family << "\n" << out;
}

TEST(CombatProgram, APartyOfThreeFightsABattleByMouseAndKeysAndComesBackToTheMap) {
    ProgramRunner runner;
    // A probe on the meadow runs every 20 ticks while the map is shown: its
    // second run forms a party of three and starts a battle against two
    // preloaded enemies; its third, back on the map, says so.
    std::ofstream(runner.GameDir() + "/Probe.lua") << R"(
        ProbeRuns = (ProbeRuns or 0) + 1
        if ProbeRuns == 2 then
            PartyManager_ClearParty()
            PartyManager_AddCharacter("Kell")
            PartyManager_AddCharacter("Sesket")
            PartyManager_AddCharacter("Bramle")
            CombatManager_ClearPreloadList()
            CombatManager_AddPreloadEnemy("Enemies", "StratumZero", "Normal", "Didozado")
            CombatManager_AddPreloadEnemy("Enemies", "StratumZero", "Normal", "Didozado")
            CombatManager_InitiateCombat()
        elseif ProbeRuns == 3 then
            io.stderr:write("Probe: back on the map\n")
        end
    )";
    AppendToScript(runner, "Data/Scripts/Maps/DebugRoom.lua",
                   "EM_OBJ_CreateObject('BattleProbe', 'StaticAutoScript') OBJSAS_SetDelay(20) "
                   "OBJSAS_SetPath('Probe.lua')");
    ASSERT_TRUE(runner.Start({"-skiptitle", "-map", "DebugRoom", "-nonetwork"}));
    unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    ASSERT_NE(window, 0UL) << runner.Stderr();
    // Attack, then the first target listed, for whoever is to act; a key
    // for every "Press any key". Clicks outside the windows change nothing.
    for (int i = 0; i < 400 && runner.Stderr().find("Probe: back on the map") == std::string::npos; ++i) {
        runner.Click(window, 708, 446);
        runner.Click(window, 572, 451);
        runner.PressKey(window, XK_space);
    }
    EXPECT_NE(runner.Stderr().find("Probe: back on the map\n"), std::string::npos) << runner.Stderr();
    EXPECT_TRUE(runner.RequestClose(window));
    EXPECT_EQ(runner.Wait(30.0), 0);
    std::string out = runner.Stderr();
    EXPECT_NE(FindFrom(out, "Cleaning memory - Done\n", FindFrom(out, "Probe: back on the map\n", 0)),
              std::string::npos)
        << out;
    for (const char* failure : {"Failed", "does not exist", "not set", "Lua Error"})
        EXPECT_EQ(out.find(failure), std::string::npos) << failure << "\n" << out;
}
