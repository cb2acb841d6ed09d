// The real program under Xvfb, played from the keyboard: an item picked up
// in the meadow is used on a party member through the inventory windows,
// the game is saved at the blue stone, the party itself changes (a member
// leaves, another joins) and the golden stone brings back exactly the party
// and the inventory that were saved.
//
// The probe of the session's copy of the game puts the player onto the
// stones and changes the party, so the test decides when each step happens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/GameSessionPlay.h"
#include "support/TempDir.h"

using testsupport::GameSession;
using testsupport::WaitFor;

namespace {

std::vector<std::string> MemberNames(const std::string& bytes) {
    testsupport::SaveFile save;
    std::string why;
    EXPECT_TRUE(testsupport::ParseSave(bytes, save, why)) << why;
    std::vector<std::string> names;
    for (const testsupport::SaveRecord& record : save.records)
        if (record.type == 1) names.push_back(record.name);
    return names;
}

// Starts the meadow with its slime calm and the player standing at (x, y),
// and waits until the item lying there is picked up: where its line was
// printed, or npos.
size_t StartAndPickUp(GameSession& game, int x, int y, const std::string& item) {
    if (!testsupport::CalmTheMeadowSlime(game)) return std::string::npos;
    const std::string place = "Player_SetPosition(" + std::to_string(x) + ", " + std::to_string(y) + ", 0)";
    if (!game.AppendToScript("Data/Scripts/Maps/DebugRoom.lua", place)) return std::string::npos;
    if (!game.Start({"-skiptitle", "-map", "DebugRoom", "-nonetwork"})) return std::string::npos;
    return game.WaitForOutput("Picked up " + item + "\n", 0, 30.0);
}

// The dialogue box's letters.
bool IsDialogueText(uint32_t p) {
    return testsupport::Red(p) > 150 && testsupport::Green(p) > 110 && testsupport::Blue(p) < 90;
}

}  // namespace

TEST(ItemsAndSaves, PickUpUseSaveChangeThePartyAndLoadFromTheKeyboard) {
    GameSession game;
    // The player starts on the red cordial by the meadow's corner.
    size_t at = StartAndPickUp(game, 60, 40, "MeadowCordial");
    ASSERT_NE(at, std::string::npos) << game.Output() << game.Failure();

    // The inventory from its key; along the grid and back; the first item,
    // "Use", the first party member.
    testsupport::WindowDriver& player = game.Driver();
    for (const char* key : {"i", "Right", "Right", "Left", "Left"}) player.Tap(key);
    at = testsupport::UseItemOnMember(game, 0, 0);
    ASSERT_NE(at, std::string::npos) << game.Output();
    EXPECT_NE(game.Output().find("Bramle Vey recovered 30 HP!  "), std::string::npos) << game.Output();

    auto step = [&](const std::string& lua, const std::string& line) {
        EXPECT_EQ(game.ProbeOne("(function() " + lua + " return 1 end)()"), "1") << lua;
        at = game.WaitForOutput(line, at, 20.0);
        ASSERT_NE(at, std::string::npos) << lua << "\n" << game.Output();
    };
    // A stone takes a player who stands 11 units off its foot on both axes.
    step("Player_SetPosition(51, 589, 0)", "Game saved to Save1.sav\n");
    const std::string saved = testsupport::ReadFile(game.GameDir() + "/Save1.sav");
    EXPECT_EQ(MemberNames(saved), (std::vector<std::string>{"Bramle Vey", "Orravine", "Tamberlyx"}));

    // Bramle leaves, Kell joins, a moonstone comes: a save now differs.
    step(
        "Player_SetPosition(240, 730, 0) PartyManager_DelCharacter(\"Bramle\", 0) PartyManager_AddCharacter(\"Kell\") "
        "PInv_AddItem(\"ItemPrototypes\", \"Sample\", \"Common\", \"Moonstone\", false) "
        "io.stderr:write(\"Probe: changed\\n\")",
        "Probe: changed\n");
    const std::string changed = testsupport::SaveThroughProbe(game, "Changed.sav");
    EXPECT_NE(changed, saved);
    EXPECT_EQ(MemberNames(changed).size(), 3u);
    EXPECT_EQ(MemberNames(changed)[0], "Orravine");

    // The golden stone asks first; its "Yes" brings the save back.
    EXPECT_EQ(game.ProbeOne("(function() Player_SetPosition(61, 701, 0) return 1 end)()"), "1");
    EXPECT_TRUE(WaitFor([&] { return player.Capture(240, 483, 100, 18).Count(IsDialogueText) > 20; }, 20.0));
    EXPECT_EQ(testsupport::FindFrom(game.Output(), "Game loaded", at), std::string::npos);
    player.Click(300, 456);
    at = game.WaitForOutput("Game loaded from Save1.sav\n", at, 20.0);
    ASSERT_NE(at, std::string::npos) << game.Output();
    EXPECT_EQ(testsupport::SaveThroughProbe(game, "After.sav"), saved);

    EXPECT_EQ(game.Close(), 0);
    const std::string out = game.Output();
    EXPECT_EQ(out.find("Problem"), std::string::npos) << out;
    EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
}

// The feet anywhere on an item's picture pick it up: the top of the
// cordial's picture by the hut, then the herb's from its left edge.
TEST(ItemsAndSaves, AnItemIsPickedUpWithTheFeetAnywhereOnItsPicture) {
    GameSession game;
    size_t at = StartAndPickUp(game, 300, 606, "HutCordial");
    ASSERT_NE(at, std::string::npos) << game.Output() << game.Failure();
    EXPECT_EQ(game.ProbeOne("(function() Player_SetPosition(92, 56, 0) return 1 end)()"), "1");
    at = game.WaitForOutput("Picked up MeadowHerb\n", at, 20.0);
    EXPECT_NE(at, std::string::npos) << game.Output();
    EXPECT_EQ(game.Close(), 0);
}
