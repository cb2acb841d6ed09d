// Save files during a battle: a load the attack script asks for is refused.
#include <gtest/gtest.h>

#include <string>

#include "combat/BattleFixture.h"
#include "savefile/SFM.h"

namespace {

using combattest::BattleTest;

// The attack script runs in the middle of a turn: a party change it asks
// for is refused with a line, and the battle plays on with the same party.
TEST_F(BattleTest, TheAttackScriptCannotChangeTheParty) {
    SFM saves;
    SFM* savedManager = GetGlobalState()->savefileManager;
    GetGlobalState()->savefileManager = &saves;
    saves.IssueSave("Party.sav");
    const struct {
        const char* call;
        const char* line;
    } cases[] = {
        {"PartyManager_ClearParty()", "PartyManager_ClearParty:  Failed, a battle is running\n"},
        {"PartyManager_DelCharacter('Bramle', 0)", "PartyManager_DelCharacter:  Failed, a battle is running\n"},
        {"PartyManager_AddCharacter('Kell')", "PartyManager_AddCharacter:  Failed, a battle is running\n"},
        {"SFM_IssueLoad('Party.sav')", "SFM_IssueLoad - Failed, a battle is running\n"},
    };
    for (const auto& c : cases) {
        dir_.WriteFile("Data/Scripts/Combat/Algorithms/LeapToPoint.lua", std::string(c.call) + "\n");
        std::string lines;
        const std::string out = testsupport::Stderr([&] { lines = Fight(); });
        EXPECT_NE(out.find(c.line), std::string::npos) << c.call;
        EXPECT_EQ(manager_->GetState(), 1) << c.call << "\n" << lines;
        EXPECT_EQ(party_->GetPartySize(), 3) << c.call;
        GetGlobalState()->stateSwitchRequest = 0;
    }
    // Once the battle is over the same calls work.
    EXPECT_TRUE(lua_.Run("PartyManager_DelCharacter('Bramle', 0)"));
    EXPECT_EQ(party_->GetPartySize(), 2);
    GetGlobalState()->savefileManager = savedManager;
}

}  // namespace
