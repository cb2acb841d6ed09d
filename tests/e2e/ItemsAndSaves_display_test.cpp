// The real program under Xvfb, played from the keyboard: an item picked up
// in the meadow is used on a party member through the inventory windows,
// the game is saved at the blue stone, the party and the inventory change,
// and the golden stone brings back exactly what was saved.
//
// A probe script added to the game's copy moves the player between the
// stones and changes the party when the test leaves it a note (a file in
// the game's folder), so the test decides when each step happens.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "support/ProgramRunner.h"
#include "support/TempDir.h"

using testsupport::ProgramRunner;

namespace {

const char* kProbe = R"(-- Test probe: acts on the notes the test leaves.
local function Take(note)
    local file = io.open(note, "rb")
    if not file then return false end
    file:close()
    os.remove(note)
    return true
end
if GetScriptCode() == -2 then
    -- No battle may interrupt the test: the meadow's slime goes.
    EM_NPC_RemoveNPC("Zezazoru")
    PInv_AddItem("ItemPrototypes", "Sample", "Common", "Herb", false)
    return
end
if Take("probe-save") then Player_SetPosition(128, 684, 0) end
if Take("probe-change") then
    Player_SetPosition(240, 730, 0)
    PartyManager_DelCharacter("Bramle", 0)
    PartyManager_AddCharacter("Kell")
    PInv_AddItem("ItemPrototypes", "Sample", "Common", "Moonstone", false)
    SFM_IssueSave("Changed.sav")
    io.stderr:write("Probe: changed\n")
end
if Take("probe-load") then Player_SetPosition(160, 684, 0) end
if Take("probe-after") then
    SFM_IssueSave("After.sav")
    io.stderr:write("Probe: saved again\n")
end
)";

void Append(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::app);
    out << text;
}

}  // namespace

TEST(ItemsAndSaves, PickUpUseSaveChangeAndLoadFromTheKeyboard) {
    ProgramRunner runner;
    const std::string game = runner.GameDir();
    // The player starts on the red cordial by the meadow's corner.
    Append(game + "/Data/Scripts/Maps/DebugRoom.lua",
           "\nPlayer_SetPosition(60, 40, 0)\n"
           "EM_OBJ_CreateObject(\"Probe\", \"StaticAutoScript\")\n"
           "OBJSAS_SetDelay(6)\n"
           "OBJSAS_SetPath(\"Probe.lua\")\n");
    Append(game + "/Probe.lua", kProbe);
    ASSERT_TRUE(runner.Start({"-skiptitle", "-map", "DebugRoom", "-nonetwork"}));
    unsigned long window = runner.WaitForWindow("Qel:Online", 30.0);
    ASSERT_NE(window, 0UL) << runner.Stderr();
    size_t at = runner.WaitForOutput("Picked up MeadowCordial\n", 0, 30.0);
    ASSERT_NE(at, std::string::npos) << runner.Stderr();

    // The inventory from its key; along the grid and back; the first item,
    // "Use", the first party member.
    auto press = [&](const char* key) {
        EXPECT_TRUE(runner.PressKey(window, key, 0.25)) << key;
        usleep(250000);
    };
    for (const char* key : {"i", "Right", "Right", "Left", "Left", "z", "z"}) press(key);
    usleep(500000);  // the target window lists the party on its next tick
    press("z");
    at = runner.WaitForOutput(" HP!  ", at, 10.0);
    ASSERT_NE(at, std::string::npos) << runner.Stderr();
    EXPECT_NE(runner.Stderr().find("Bramle Vey recovered "), std::string::npos) << runner.Stderr();
    press("x");

    auto step = [&](const char* note, const std::string& line) {
        Append(game + "/" + note, "");
        at = runner.WaitForOutput(line, at, 20.0);
        ASSERT_NE(at, std::string::npos) << note << "\n" << runner.Stderr();
    };
    step("probe-save", "Game saved to Save1.sav\n");
    step("probe-change", "Probe: changed\n");
    step("probe-load", "Game loaded from Save1.sav\n");
    step("probe-after", "Probe: saved again\n");

    const std::string saved = testsupport::ReadFile(game + "/Save1.sav");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(testsupport::ReadFile(game + "/After.sav"), saved);
    EXPECT_NE(testsupport::ReadFile(game + "/Changed.sav"), saved);
    // Three members and the inventory.
    EXPECT_EQ(saved.substr(18, 4), std::string("\4\0\0\0", 4));

    EXPECT_TRUE(runner.RequestClose(window));
    EXPECT_EQ(runner.Wait(30.0), 0);
    const std::string out = runner.Stderr();
    EXPECT_EQ(out.find("Problem"), std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
}
