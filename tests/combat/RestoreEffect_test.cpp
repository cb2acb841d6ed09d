// Restore effects: the amount restored, scaled by the user's multiplier in
// mode 0, held within 0 and the target's maximum.
#include "combat/RestoreEffect.h"

#include <gtest/gtest.h>

#include <memory>

#include "combat/Character.h"
#include "support/StderrCapture.h"

namespace {

struct RestoreCase {
    const char* name;
    bool withUser;
    float multiplier;
    int32_t amount, mode, hpBefore, hpAfter;
};

TEST(RestoreEffect, RestoresScaledOrUnscaledAndCapped) {
    const RestoreCase cases[] = {
        {"capped at the maximum", false, 1.0f, 30, 0, 80, 92},
        {"no user: unscaled in mode 0", false, 2.0f, 10, 0, 50, 60},
        {"user in mode 0: scaled", true, 1.5f, 10, 0, 50, 65},
        {"user in mode 1: unscaled", true, 1.5f, 10, 1, 50, 60},
        {"scaled down, truncated", true, 0.55f, 10, 0, 50, 55},
        {"30 x 0.9 is 27 in single precision", true, 0.9f, 30, 0, 10, 37},
        {"a negative restore stops at 0", true, 2.0f, -30, 0, 50, 0},
        {"the most negative restore too", false, 1.0f, INT32_MIN, 1, 50, 0},
    };
    for (const RestoreCase& c : cases) {
        Character user;
        user.SetRestoreMultiplier(c.multiplier);
        Character target;
        target.SetName("Tamberlyx");
        target.GetStats()->maxHp = 92;
        target.GetStats()->hp = c.hpBefore;
        std::unique_ptr<ItemEffectRecord> record(MakeRestoreEffect(c.amount, c.mode));
        ASSERT_EQ(record->data.size(), 8u);
        std::vector<uint8_t> block = BuildEffectBlock(c.withUser ? &user : nullptr, &target, *record);
        testsupport::StderrCapture capture;
        record->function(block.data(), static_cast<uint32_t>(block.size()));
        EXPECT_EQ(target.GetStats()->hp, c.hpAfter) << c.name;
        EXPECT_EQ(capture.Take().rfind("Tamberlyx recovered ", 0), 0u) << c.name;
    }
}

TEST(RestoreEffect, BlocksWithoutTargetOrCutShortDoNothing) {
    Character target;
    target.GetStats()->maxHp = 92;
    target.GetStats()->hp = 10;
    std::unique_ptr<ItemEffectRecord> record(MakeRestoreEffect(30, 0));
    std::vector<uint8_t> none = BuildEffectBlock(nullptr, nullptr, *record);
    ApplyRestoreEffect(none.data(), static_cast<uint32_t>(none.size()));
    std::vector<uint8_t> block = BuildEffectBlock(nullptr, &target, *record);
    ApplyRestoreEffect(block.data(), static_cast<uint32_t>(block.size()) - 1);
    ApplyRestoreEffect(nullptr, 100);
    EXPECT_EQ(target.GetStats()->hp, 10);
}

}  // namespace
