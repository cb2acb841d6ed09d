// Save files and the party under scripts that hold members: a party change
// or a load that the attack script or a field-sprite script asks for is
// refused.
#include <gtest/gtest.h>

#include <string>

#include "combat/BattleFixture.h"
#include "savefile/SFM.h"

namespace {

using combattest::BattleTest;

// The calls that change the party under a running script, each with its
// refusal line up to the reason.
const struct {
    const char* call;
    const char* line;
} kPartyChanges[] = {
    {"PartyManager_ClearParty()", "PartyManager_ClearParty:  Failed, "},
    {"PartyManager_DelCharacter('Bramle', 0)", "PartyManager_DelCharacter:  Failed, "},
    {"PartyManager_AddCharacter('Kell')", "PartyManager_AddCharacter:  Failed, "},
    {"SFM_IssueLoad('Party.sav')", "SFM_IssueLoad - Failed, "},
};

// The attack script runs in the middle of a turn: a party change it asks
// for is refused with a line, and the battle plays on with the same party.
TEST_F(BattleTest, TheAttackScriptCannotChangeTheParty) {
    SFM saves;
    SFM* savedManager = GetGlobalState()->savefileManager;
    GetGlobalState()->savefileManager = &saves;
    saves.IssueSave("Party.sav");
    for (const auto& c : kPartyChanges) {
        dir_.WriteFile("Data/Scripts/Combat/Algorithms/LeapToPoint.lua", std::string(c.call) + "\n");
        std::string lines;
        const std::string out = testsupport::Stderr([&] { lines = Fight(); });
        EXPECT_NE(out.find(std::string(c.line) + "a battle is running\n"), std::string::npos) << c.call;
        EXPECT_EQ(manager_->GetState(), 1) << c.call << "\n" << lines;
        EXPECT_EQ(party_->GetPartySize(), 3) << c.call;
        GetGlobalState()->stateSwitchRequest = 0;
    }
    // Once the battle is over the same calls work.
    EXPECT_TRUE(lua_.Run("PartyManager_DelCharacter('Bramle', 0)"));
    EXPECT_EQ(party_->GetPartySize(), 2);
    GetGlobalState()->savefileManager = savedManager;
}

// A field-sprite script runs for one member's sprite while the party is
// walked (at start-up, after a load, at battle start for an enemy): a party
// change or a load it asks for would delete the member under it. Each is
// refused with its line, once per script run, and the party stays as it was.
TEST_F(BattleTest, AFieldSpriteScriptCannotChangeTheParty) {
    SFM saves;
    SFM* savedManager = GetGlobalState()->savefileManager;
    GetGlobalState()->savefileManager = &saves;
    saves.IssueSave("Party.sav");
    auto count = [](const std::string& text, const std::string& line) {
        int n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
        return n;
    };
    for (const auto& c : kPartyChanges) {
        const std::string script = std::string("FSprite_SetCanvasSize(8, 8) ") + c.call + "\n";
        for (const char* name : {"Bramle", "Orravine", "YQ"})
            dir_.WriteFile(std::string("Data/Scripts/Combat/FieldSprites/") + name + "FieldSprite.lua", script);
        dir_.WriteFile("Sprite.lua", script);
        const std::string loading = std::string(c.line) + "field sprites are loading\n";
        // At start-up, and after a load.
        EXPECT_EQ(testsupport::Stderr([&] { party_->LoadFieldSprites(); }), loading + loading + loading) << c.call;
        EXPECT_EQ(count(testsupport::Stderr([&] { saves.IssueLoad("Party.sav"); }), loading), 3) << c.call;
        EXPECT_EQ(party_->GetPartySize(), 3) << c.call;
        EXPECT_EQ(party_->GetMemberAt(0)->GetName(), "Bramle Vey") << c.call;
        // The enemy's sprite loads in the battle, which refuses it.
        std::string lines;
        const std::string out = testsupport::Stderr([&] { lines = Fight(); });
        EXPECT_EQ(count(out, std::string(c.line) + "a battle is running\n"), 1) << c.call << "\n" << out;
        EXPECT_EQ(manager_->GetState(), 1) << c.call << "\n" << lines;
        EXPECT_EQ(party_->GetPartySize(), 3) << c.call;
        GetGlobalState()->stateSwitchRequest = 0;
    }
    GetGlobalState()->savefileManager = savedManager;
}

}  // namespace
