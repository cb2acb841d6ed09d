// The six playable classes: their starting numbers, growth at a level-up
// with scripted random draws, the level-up texts and their command pages.
#include "combat/PartyClass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatMessageWindow.h"
#include "core/base/ByteBuffer.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

namespace {

// Draws the given values in turn, then the last one forever.
class ScriptedRandom {
public:
    explicit ScriptedRandom(std::deque<int> values) : values_(std::move(values)) {
        SetRandomSource([this]() {
            int value = values_.front();
            if (values_.size() > 1) values_.pop_front();
            return value;
        });
    }
    ~ScriptedRandom() { SetRandomSource({}); }

private:
    std::deque<int> values_;
};

// The message window's lines as the queue plays them out.
std::vector<std::string> PlayOut(GUICombatMessageWindow& window) {
    window.Start();
    std::vector<std::string> lines;
    for (int tick = 0; tick < 10000 && !window.IsFinished(); ++tick) window.OnEvent(-1, 0, 0);
    for (int i = window.GetLineCount() - 1; i >= 0; --i) lines.push_back(window.GetLine(i));
    return lines;
}

struct ClassRow {
    int32_t id;
    const char* name;
    const char* ko;
    int32_t hp, mp;
    int32_t stats[6];
    int32_t firstThreshold;  // with the draw 0
};

TEST(PartyClass, EachClassStartsWithItsNumbers) {
    testsupport::EnsureAllegro();
    ScriptedRandom zero({0});
    const ClassRow rows[] = {
        {0, "Orravine", "Orravine got hurt and collapsed!", 65, 43, {7, 8, 10, 9, 5, 5}, 15},
        {1, "Bramle Vey", "Bramle Vey was too injured to stand!", 72, 0, {8, 6, 5, 5, 6, 5}, 18},
        {2, "Tamberlyx", "Tamberlyx got hurt and collapsed!", 92, 1, {8, 8, 3, 4, 8, 7}, 15},
        {3, "Sesket", "Sesket slumped over...", 55, 29, {6, 7, 9, 10, 5, 5}, 15},
        {4, "Kell", "Vostrin Kell could not go on...", 60, 1, {7, 5, 4, 4, 8, 10}, 15},
        {5, "Wistlemarn", "Wistlemarn collapsed!", 31, 0, {3, 4, 4, 6, 7, 7}, 15},
    };
    for (const ClassRow& row : rows) {
        auto member = CreatePartyClass(row.id);
        ASSERT_NE(member, nullptr);
        const CombatStats& s = *member->GetStats();
        EXPECT_EQ(member->GetClassId(), row.id);
        EXPECT_EQ(member->GetName(), row.name);
        EXPECT_EQ(member->GetKOText(), row.ko);
        EXPECT_EQ(s.level, 1);
        EXPECT_EQ(s.hp, row.hp);
        EXPECT_EQ(s.maxHp, row.hp);
        EXPECT_EQ(s.mp, row.mp) << row.name;
        EXPECT_EQ(s.maxMp, row.mp) << row.name;
        const int32_t stats[6] = {s.strength, s.toughness, s.intellect, s.cunning, s.agility, s.speed};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(stats[i], row.stats[i]) << row.name << " stat " << i;
        EXPECT_EQ(member->GetExperience()->needed, row.firstThreshold) << row.name;
        EXPECT_EQ(member->GetExperience()->gained, 0);
        EXPECT_EQ(s.shownHp, 0);
        EXPECT_EQ(member->GetLastCommandPage(), 1);
    }
    EXPECT_EQ(CreatePartyClass(6), nullptr);
    EXPECT_EQ(CreatePartyClass(-1), nullptr);
}

class LevelUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        window_ = new GUICombatMessageWindow();
        lua_.Gui().ResetActiveObjectList();
        lua_.Gui().AddObject("CombatMessageWindow", window_);
    }

    testsupport::StderrCapture quiet_;
    testsupport::LuaTestState lua_;
    GUICombatMessageWindow* window_ = nullptr;
};

TEST_F(LevelUpTest, TamberlyxLevelsOnceWithItsTexts) {
    // Threshold draw 0 (15); then f = 1.00 (draw 10) and every x = L (35).
    ScriptedRandom draws({0, 10, 35});
    auto member = CreatePartyClass(2);
    member->GainExperience(40);
    const CombatStats& s = *member->GetStats();
    EXPECT_EQ(s.level, 2);
    EXPECT_EQ(member->GetExperience()->needed, 15 + 36 + 1);
    EXPECT_EQ(member->GetExperience()->gained, 40);
    EXPECT_EQ(s.maxHp, 99);  // 2^1.1 + 10 + 87
    EXPECT_EQ(s.hp, 99);
    EXPECT_EQ(s.strength, 12);
    EXPECT_EQ(s.speed, 13);
    EXPECT_EQ(
        PlayOut(*window_),
        (std::vector<std::string>{"Tamberlyx is now level 2!", "Max HP increased by 7.", "Strength increased by 4.",
                                  "Toughness increased by 4.", "Intellect increased by 2.", "Cunning increased by 2.",
                                  "Agility increased by 3.", "Speed increased by 6.", "", ""}));
}

TEST_F(LevelUpTest, TheNextThresholdStaysWithinItsRange) {
    for (int draw : {0, 10, 20}) {
        ScriptedRandom draws({0, draw, 35});
        auto member = CreatePartyClass(2);
        member->GainExperience(47);
        const int32_t needed = member->GetExperience()->needed;
        EXPECT_EQ(member->GetStats()->level, 2);
        EXPECT_GE(needed, 48);
        EXPECT_LE(needed, 55);
    }
}

TEST_F(LevelUpTest, OneGainCanRaiseSeveralLevels) {
    // 100 passes the second threshold (52) too: level 3, whose threshold is
    // 52 + 69 f + 1 with f = 1.04 (the draw 35 once more).
    ScriptedRandom draws({0, 10, 35});
    auto member = CreatePartyClass(2);
    member->GainExperience(100);
    EXPECT_EQ(member->GetStats()->level, 3);
    EXPECT_EQ(member->GetExperience()->needed, 124);
    std::vector<std::string> lines = PlayOut(*window_);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Tamberlyx is now level 3!"), 1);
    EXPECT_EQ(lines.size(), 2u * 9u + 1u);  // nine lines and a break per level, and the empty newest line
}

TEST_F(LevelUpTest, ClassesWithMPReportIt) {
    ScriptedRandom draws({0, 10, 35});
    auto member = CreatePartyClass(0);
    member->GainExperience(15);
    // 2^1.2 + 10 + 38 = 50.29: MP 43 -> 50.
    EXPECT_EQ(member->GetStats()->maxMp, 50);
    EXPECT_EQ(member->GetStats()->mp, 50);
    std::vector<std::string> lines = PlayOut(*window_);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "Max MP increased by 7.");
}

TEST_F(LevelUpTest, GrowthIsWorkedInSinglePrecision) {
    {
        // Intellect drawn at x = 1.8 (draw 15): 5 x is 9 as a float, so 5x + 5
        // gives 14 (13 if worked in double).
        ScriptedRandom draws({0, 10, 35, 35, 35, 35, 15, 35});
        auto member = CreatePartyClass(0);
        member->GainExperience(15);
        EXPECT_EQ(member->GetStats()->intellect, 14);
        EXPECT_EQ(member->GetStats()->cunning, 15);
    }
    {
        // Level 10 with f = 0.9 (draw 0): 580 x 0.9 is 522 as a float, so the
        // threshold 100 becomes 623 (622 if worked in double).
        ScriptedRandom draws({0, 0, 35});
        auto member = CreatePartyClass(2);
        member->GetStats()->level = 9;
        member->GetExperience()->needed = 100;
        member->GainExperience(100);
        EXPECT_EQ(member->GetStats()->level, 10);
        EXPECT_EQ(member->GetExperience()->needed, 623);
    }
}

TEST_F(LevelUpTest, ExactlyTheThresholdLevelsUpAndOneLessDoesNot) {
    ScriptedRandom draws({0, 10, 35});
    auto member = CreatePartyClass(1);  // threshold 18
    member->GainExperience(17);
    EXPECT_EQ(member->GetStats()->level, 1);
    EXPECT_EQ(window_->GetQueuedActionCount(), 0);
    member->GainExperience(1);
    EXPECT_EQ(member->GetStats()->level, 2);
}

TEST_F(LevelUpTest, HugeGainsStopAtTheTopLevelWithoutOverflow) {
    ScriptedRandom draws({0, 10, 35});
    auto member = CreatePartyClass(5);
    member->GainExperience(INT32_MAX);
    member->GainExperience(INT32_MAX);
    EXPECT_EQ(member->GetStats()->level, PartyClass::kMaxLevel);
    EXPECT_EQ(member->GetExperience()->gained, INT32_MAX);
    EXPECT_GT(member->GetExperience()->needed, 0);
    EXPECT_GT(member->GetStats()->maxHp, 0);
}

TEST_F(LevelUpTest, ScriptedExtremesNeitherWrapNorRaiseHPPastTheMaximum) {
    // Kell at level 2 with every x = 2: max HP 67, Strength 11, Toughness 8.
    // A script's maximum below 0 was taken as 0. HP moves with the maximum
    // within [0, max HP]; a member standing before stays standing, however
    // far the maximum falls.
    struct Case {
        int32_t all, toughness, hp;
        const char *maxHpLine, *strengthLine, *toughnessLine;
        int32_t hpAfter;
    } cases[] = {
        {INT32_MAX, INT32_MAX, INT32_MAX, "Max HP increased by -2147483580.", "Strength increased by -2147483636.",
         "Toughness increased by -2147483639.", 67},
        {INT32_MAX, INT32_MIN, INT32_MAX, "Max HP increased by -2147483580.", "Strength increased by -2147483636.",
         "Toughness increased by 2147483647.", 67},
        {INT32_MIN, INT32_MIN, INT32_MIN, "Max HP increased by 67.", "Strength increased by 2147483647.",
         "Toughness increased by 2147483647.", 0},
        {INT32_MIN, INT32_MIN, 0, "Max HP increased by 67.", "Strength increased by 2147483647.",
         "Toughness increased by 2147483647.", 67},
        {1000, 1000, 400, "Max HP increased by -933.", "Strength increased by -989.", "Toughness increased by -992.",
         1},
        {1000, 1000, 0, "Max HP increased by -933.", "Strength increased by -989.", "Toughness increased by -992.", 0},
    };
    for (const Case& c : cases) {
        ScriptedRandom draws({0, 10, 35});
        auto member = CreatePartyClass(4);
        member->SetBasicProperties(c.all, c.all, c.all, c.toughness, c.all, c.all, c.all, c.all);
        member->GetStats()->hp = c.hp;
        window_->Reset();
        member->GainExperience(15);
        EXPECT_EQ(member->GetStats()->hp, c.hpAfter) << c.all << " " << c.hp;
        const std::vector<std::string> lines = PlayOut(*window_);
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[1], c.maxHpLine);
        EXPECT_EQ(lines[2], c.strengthLine);
        EXPECT_EQ(lines[3], c.toughnessLine);
    }
}

TEST(PartyClassNoWindow, ALevelUpWithoutMessageWindowSkipsTheTexts) {
    testsupport::EnsureAllegro();
    testsupport::LuaTestState lua;
    ScriptedRandom draws({0, 10, 35});
    auto member = CreatePartyClass(4);
    member->GainExperience(15);
    EXPECT_EQ(member->GetStats()->level, 2);
}

// (command, y) of every button of the window, in order.
std::vector<std::pair<int32_t, int>> Buttons(GUICombatCommandWindow& window) {
    std::vector<std::pair<int32_t, int>> buttons;
    for (NamedList::Node* node = window.GetChildList()->GetHead(); node; node = node->next) {
        auto* button = static_cast<GUIButton*>(node->value);
        uint32_t cursor = 0;
        EXPECT_EQ(button->GetDataSize(), 4);
        EXPECT_NE(button->GetCallback(), nullptr);
        EXPECT_EQ(button->GetWidth(), 107);
        buttons.push_back({BufferReadInt32BE(&cursor, button->GetData()), button->GetPositionY()});
    }
    return buttons;
}

TEST(PartyClassCommands, PagesHoldEachClassesCommands) {
    testsupport::EnsureAllegro();
    testsupport::StderrCapture quiet;
    testsupport::LuaTestState lua;
    using B = std::vector<std::pair<int32_t, int>>;
    const B pages[6] = {
        {{1, 0}, {2, 40}, {3, 120}},           {{1, 0}, {2, 40}, {0, 80}, {3, 120}},
        {{1, 0}, {2, 40}, {4, 120}},           {{1, 0}, {2, 40}, {10, 80}, {3, 120}},
        {{1, 0}, {2, 40}, {10, 80}, {3, 120}}, {{1, 0}, {2, 40}, {10, 80}, {3, 120}},
    };
    GUICombatCommandWindow window;
    for (int32_t id = 0; id < 6; ++id) {
        auto member = CreatePartyClass(id);
        member->FillCommandWindow(&window, 0);
        EXPECT_EQ(Buttons(window), pages[id]) << id;
        member->FillCommandWindow(&window, 1);
        EXPECT_EQ(Buttons(window), (B{{5, 0}})) << id;
        member->SetLeader(true);
        member->FillCommandWindow(&window, 1);
        EXPECT_EQ(Buttons(window), (B{{5, 0}, {6, 40}, {0, 80}})) << id;
        member->FillCommandWindow(&window, 2);
        EXPECT_TRUE(Buttons(window).empty());
    }
    CreatePartyClass(0)->FillCommandWindow(nullptr, 0);
}

}  // namespace
