// The party: forming it by class name, members leaving, round starts,
// targets, experience and battle places.
#include "combat/PartyManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "combat/Character.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatTarget.h"
#include "combat/FieldSprite.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

class PartyTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        party_ = static_cast<PartyManager*>(GetCombatRegistry().partyManager);
        ASSERT_NE(party_, nullptr);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (NamedList::Node* n = party_->GetPartyList()->GetHead(); n; n = n->next)
            names.push_back(static_cast<Character*>(n->value)->GetName());
        return names;
    }

    testsupport::TempDir dir_;
    testsupport::StderrCapture quiet_;
    testsupport::LuaTestState lua_;
    PartyManager* party_ = nullptr;
};

TEST_F(PartyTest, ScriptsFormThePartyByClassName) {
    ASSERT_TRUE(
        lua_.Run("PartyManager_AddCharacter('Kell') PartyManager_AddCharacter('Nobody') "
                 "PartyManager_AddCharacter('Bramle') PartyManager_AddCharacter('Kell')"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Kell", "Bramle Vey", "Kell"}));
    EXPECT_EQ(party_->GetCurrentCharacter(), party_->GetMemberAt(2));
    EXPECT_EQ(party_->GetPartyList()->GetHead()->name, "Kell");

    // Deleting a name takes its first member; the current one stays.
    party_->GetMemberAt(0)->SetName("First Kell");
    ASSERT_TRUE(lua_.Run("PartyManager_DelCharacter('Kell', 0)"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bramle Vey", "Kell"}));
    EXPECT_EQ(party_->GetCurrentCharacter(), party_->GetMemberAt(1));
    ASSERT_TRUE(lua_.Run("PartyManager_DelCharacter('Kell', 0)"));
    EXPECT_EQ(party_->GetCurrentCharacter(), nullptr);
    ASSERT_TRUE(lua_.Run("PartyManager_DelCharacter('Orravine', 0)"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bramle Vey"}));

    ASSERT_TRUE(lua_.Run("PartyManager_ClearParty() PartyManager_AddCharacter('Sesket')"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sesket"}));
    EXPECT_EQ(party_->GetCurrentCharacter(), party_->GetMemberAt(0));

    party_->GetMemberAt(0)->GetStats()->hp = 3;
    party_->GetMemberAt(0)->GetStats()->mp = 0;
    ASSERT_TRUE(lua_.Run("PartyManager_RestoreParty()"));
    EXPECT_EQ(party_->GetMemberAt(0)->GetStats()->hp, 55);
    EXPECT_EQ(party_->GetMemberAt(0)->GetStats()->mp, 29);
}

TEST_F(PartyTest, TheFirstLivingMemberLeadsAndCommandsFirst) {
    for (const char* name : {"Orravine", "Tamberlyx", "Kell", "Sesket"}) party_->AddCharacter(name);
    party_->GetMemberAt(0)->GetStats()->hp = 0;
    party_->GetMemberAt(2)->GetStats()->hp = 0;
    party_->PrepareForBattle();
    Character* second = party_->GetMemberAt(1);
    EXPECT_EQ(party_->GetActiveCharacter(), second);
    EXPECT_EQ(party_->GetLeader(), second);
    EXPECT_TRUE(second->IsLeader());
    EXPECT_FALSE(party_->GetMemberAt(0)->IsLeader());
    EXPECT_EQ(party_->FormatExperienceMessage(30), "Tamberlyx and her friends got 30 experience!");

    // The knocked-out third member is passed over.
    EXPECT_TRUE(party_->NextActiveCharacter());
    EXPECT_EQ(party_->GetActiveCharacter(), party_->GetMemberAt(3));
    EXPECT_FALSE(party_->NextActiveCharacter());
    EXPECT_EQ(party_->GetActiveCharacter(), party_->GetMemberAt(3));
    party_->ClearActive();
    EXPECT_FALSE(party_->NextActiveCharacter());

    // Leaving members are forgotten as leader and active member.
    party_->PrepareForBattle();
    party_->DelCharacter("Tamberlyx");
    EXPECT_EQ(party_->GetLeader(), nullptr);
    EXPECT_EQ(party_->GetActiveCharacter(), nullptr);
    EXPECT_EQ(party_->FormatExperienceMessage(30), "");
    party_->ClearParty();
    EXPECT_EQ(party_->GetPartySize(), 0);
}

TEST_F(PartyTest, RewardsAreSharedByIntegerDivision) {
    SetRandomSource([] { return 0; });
    for (const char* name : {"Orravine", "Bramle", "Kell"}) party_->AddCharacter(name);
    party_->GetMemberAt(1)->GetStats()->hp = 0;  // knocked out, still shares
    party_->ShareExperience(10);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(party_->GetMemberAt(i)->GetExperience()->gained, 3);
    SetRandomSource({});

    party_->ClearParty();
    party_->ShareExperience(100);  // an empty party divides nothing
    EXPECT_TRUE(party_->IsWipedOut());
}

TEST_F(PartyTest, TargetsAndWipeOut) {
    for (const char* name : {"Orravine", "Bramle", "Kell"}) party_->AddCharacter(name);
    int32_t counter = 0;
    party_->SetCombatIds(&counter);
    EXPECT_EQ(counter, 3);
    party_->GetMemberAt(0)->GetStats()->hp = 0;
    party_->GetMemberAt(2)->SetName(std::string(50, 'k'));

    NamedList targets(true);
    targets.SetDefaultDeleter(CombatTarget::Delete);
    party_->ListTargets(&targets, 1, -1);
    party_->ListTargets(nullptr, 1, -1);
    ASSERT_EQ(targets.GetCount(), 2);
    auto* first = targets.GetAtAs<CombatTarget>(0);
    auto* last = targets.GetAtAs<CombatTarget>(1);
    EXPECT_STREQ(first->name, "Bramle Vey");
    EXPECT_EQ(first->combatantId, 1);
    EXPECT_EQ(std::string(last->name), std::string(35, 'k'));
    EXPECT_EQ(last->combatantId, 2);

    party_->ListTargets(&targets, 2, -1);  // only Attack has targets
    EXPECT_EQ(targets.GetCount(), 2);

    SetRandomSource([] { return 1; });
    EXPECT_EQ(party_->PickRandomTarget(1, -1), party_->GetMemberAt(2));
    SetRandomSource({});
    EXPECT_EQ(party_->FirstValidTarget(1), party_->GetMemberAt(1));
    EXPECT_EQ(party_->PickRandomTarget(3, -1), nullptr);
    EXPECT_FALSE(party_->IsWipedOut());
    party_->GetMemberAt(1)->GetStats()->hp = 0;
    party_->GetMemberAt(2)->GetStats()->hp = -4;
    EXPECT_TRUE(party_->IsWipedOut());
    party_->ReviveKnockedOut();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(party_->GetMemberAt(i)->GetStats()->hp, 1);
}

TEST_F(PartyTest, MembersStandInTwoColumnsFacingLeft) {
    for (const char* name : {"Orravine", "Bramle", "Kell"}) party_->AddCharacter(name);
    party_->PlaceParty(1);  // only side 0 places the party
    EXPECT_EQ(party_->GetMemberAt(0)->GetHomeX(), 0);
    party_->PlaceParty(0);
    const int expected[3][2] = {{500, 300}, {550, 330}, {500, 360}};
    for (int i = 0; i < 3; ++i) {
        Character* member = party_->GetMemberAt(i);
        EXPECT_EQ(member->GetHomeX(), expected[i][0]);
        EXPECT_EQ(member->GetHomeY(), expected[i][1]);
        EXPECT_EQ(member->GetSide(), 1);
        auto* sprite = static_cast<FieldSprite*>(member->GetFieldSprite());
        EXPECT_EQ(sprite->GetFacing(), 1);
        EXPECT_FLOAT_EQ(sprite->GetX(), expected[i][0]);
        EXPECT_FLOAT_EQ(sprite->GetY(), expected[i][1]);
    }
}

TEST_F(PartyTest, MembersAddedLaterGetTheirFieldSpriteAtTheRoundStart) {
    dir_.WriteFile("Data/Scripts/Combat/FieldSprites/KellFieldSprite.lua",
                   "FSprite_SetCanvasSize(16, 16)\n"
                   "FSpriteDL_CreateAndPush()\n"
                   "DL_PushActiveEntity()\n"
                   "DL_CreateHotFieldSpriteAnimation()\n"
                   "FSpriteAnim_SetFrameData(0, 1)\n"
                   "FSpriteAnim_FinishAndLock()\n"
                   "FSpriteDL_RegisterAnimByPop('Body')\n"
                   "FSpriteDL_PopAndHook('Idling')\n");
    party_->LoadFieldSprites();  // start-up: nobody yet
    party_->AddCharacter("Kell");
    auto* sprite = static_cast<FieldSprite*>(party_->GetMemberAt(0)->GetFieldSprite());
    EXPECT_FALSE(sprite->IsVisible());
    party_->PrepareForBattle();
    EXPECT_TRUE(sprite->IsVisible());
    EXPECT_NE(sprite->GetCanvas(), nullptr);
    EXPECT_EQ(sprite->GetDisplayLists()->GetCount(), 1);
    EXPECT_NE(sprite->GetCurrentDisplayList(), nullptr);
    // Later rounds do not build it again.
    party_->PrepareForBattle();
    EXPECT_EQ(sprite->GetDisplayLists()->GetCount(), 1);
}

}  // namespace
