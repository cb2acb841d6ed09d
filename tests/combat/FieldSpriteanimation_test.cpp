// Field-sprite animations: the frame shown at each tick in every playing
// mode, locking, and the layers of a pose.
#include "combat/FieldSpriteanimation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "combat/FieldSpriteDisplayList.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"

namespace {

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        for (int i = 0; i < 3; ++i) images_.emplace_back(new BitmapWrapper(2, 2, nullptr));
    }

    // Frames of the given durations on images 0, 1, 2 ...; locked.
    std::unique_ptr<FieldSpriteanimation> Make(const std::vector<int>& durations, int mode = 0) {
        auto animation = std::make_unique<FieldSpriteanimation>();
        animation->SetFrameData(static_cast<int32_t>(durations.size()), 1);
        for (size_t i = 0; i < durations.size(); ++i)
            animation->SetFrame(static_cast<int32_t>(i), images_[i].get(), durations[i], 0);
        if (mode == 1) animation->SetOscillation();
        if (mode == 2) animation->SetPlayOnce();
        animation->FinishCalcsAndLock();
        return animation;
    }

    std::vector<std::unique_ptr<BitmapWrapper>> images_;
};

struct PlayCase {
    const char* name;
    int mode;                 // 0 loop, 1 oscillate, 2 play once
    std::vector<int> ticks;   // tick after each advance
    std::vector<int> frames;  // frame shown after each advance
};

TEST_F(AnimationTest, EachPlayingModeWalksItsTicksAndFrames) {
    const PlayCase cases[] = {
        {"loop", 0, {1, 2, 3, 4, 5, 0, 1}, {0, 1, 1, 2, 2, 0, 0}},
        {"oscillate", 1, {1, 2, 3, 4, 5, 4, 3, 2, 1, 0, 1}, {0, 1, 1, 2, 2, 2, 1, 1, 0, 0, 0}},
        {"play once", 2, {1, 2, 3, 4, 5, 5, 5}, {0, 1, 1, 2, 2, 2, 2}},
    };
    for (const PlayCase& c : cases) {
        auto animation = Make({2, 2, 2}, c.mode);
        ASSERT_TRUE(animation->IsLocked());
        EXPECT_EQ(animation->GetCycleLength(), 6);
        EXPECT_EQ(animation->GetCurrentFrame(), 0) << c.name;
        for (size_t i = 0; i < c.ticks.size(); ++i) {
            animation->Advance();
            EXPECT_EQ(animation->GetTick(), c.ticks[i]) << c.name << " advance " << i;
            EXPECT_EQ(animation->GetCurrentFrame(), c.frames[i]) << c.name << " advance " << i;
        }
        EXPECT_EQ(animation->GetTicksSinceRestart(), static_cast<int>(c.ticks.size())) << c.name;
    }
}

TEST_F(AnimationTest, OscillationTurnsAtTheEndAndBackBelowOne) {
    auto animation = Make({2, 2, 2}, 1);
    for (int i = 0; i < 5; ++i) animation->Advance();
    EXPECT_TRUE(animation->IsReversing());
    for (int i = 0; i < 5; ++i) animation->Advance();
    EXPECT_EQ(animation->GetTick(), 0);
    EXPECT_FALSE(animation->IsReversing());
}

TEST_F(AnimationTest, AnUnsetFrameWarnsWithItsIndexAndShowsNothing) {
    FieldSpriteanimation animation;
    animation.SetFrameData(3, 1);
    animation.SetFrame(0, images_[0].get(), 2, 0);
    animation.SetFrame(2, images_[2].get(), 2, 0);
    testsupport::StderrCapture capture;
    animation.FinishCalcsAndLock();
    EXPECT_EQ(capture.Take(), "FieldSpriteanimation::FinishCalcsAndLock:  Warning, Frame 1 not set\n");
    EXPECT_FALSE(animation.IsLocked());
    EXPECT_EQ(animation.GetCurrentFrame(), -1);
    animation.Advance();
    EXPECT_EQ(animation.GetTick(), 0);
}

TEST_F(AnimationTest, ChosenFramesAndTheirBounds) {
    auto animation = Make({2, 2, 2});
    animation->SetAutoUpdate(false);
    animation->SetFrameIndex(2);
    EXPECT_EQ(animation->GetCurrentFrame(), 2);
    animation->Advance();  // does not move a chosen frame
    EXPECT_EQ(animation->GetCurrentFrame(), 2);
    animation->SetFrameIndex(7);
    EXPECT_EQ(animation->GetCurrentFrame(), 0);
    animation->SetFrameIndex(-1);
    EXPECT_EQ(animation->GetCurrentFrame(), 0);
}

TEST_F(AnimationTest, FrameTablesAreRefusedOutOfRangeAndFixedOnceLocked) {
    FieldSpriteanimation animation;
    EXPECT_FALSE(animation.SetFrameData(-1, 1));
    EXPECT_FALSE(animation.SetFrameData(FieldSpriteanimation::kMaxFrames + 1, 1));
    EXPECT_EQ(animation.GetFrameCount(), 0);
    EXPECT_TRUE(animation.SetFrameData(1, -5));
    EXPECT_EQ(animation.GetSecondValue(), 1);
    animation.SetFrame(5, images_[0].get(), 3, 0);  // out of range: ignored
    animation.SetFrame(0, images_[0].get(), 3, 0);
    animation.FinishCalcsAndLock();
    ASSERT_TRUE(animation.IsLocked());
    EXPECT_FALSE(animation.SetFrameData(4, 1));
    animation.SetFrame(0, images_[1].get(), 9, 0);
    animation.SetOscillation();
    EXPECT_EQ(animation.GetFrame(0)->image, images_[0].get());
    EXPECT_FALSE(animation.IsOscillating());
}

TEST_F(AnimationTest, CopiesKeepTheFramesAndStartTheirOwnTiming) {
    auto original = Make({1, 3}, 2);
    original->Advance();
    original->Advance();
    std::unique_ptr<FieldSpriteanimation> copy(original->Clone());
    EXPECT_TRUE(copy->IsLocked());
    EXPECT_TRUE(copy->IsPlayOnce());
    EXPECT_EQ(copy->GetCycleLength(), 4);
    EXPECT_EQ(copy->GetTick(), 0);
    EXPECT_EQ(copy->GetFrame(1)->image, images_[1].get());
}

TEST_F(AnimationTest, AFreedImageIsDroppedFromEveryAnimationAndItsFirstDrawSaysSo) {
    auto animation = Make({2, 2});
    std::unique_ptr<FieldSpriteanimation> copy(animation->Clone());
    FieldSpriteanimation::ForgetImage(images_[0].get());
    EXPECT_EQ(animation->GetFrame(0)->image, nullptr);
    EXPECT_EQ(copy->GetFrame(0)->image, nullptr);
    EXPECT_EQ(copy->GetFrame(1)->image, images_[1].get());
    images_[0].reset();
    // A copy taken afterwards cannot lock, as with a frame never set.
    std::unique_ptr<FieldSpriteanimation> later;
    testsupport::Stderr([&] { later.reset(animation->Clone()); });
    ASSERT_FALSE(later->IsLocked());
    // Each draws nothing, touches nothing freed, and warns on its first draw.
    for (FieldSpriteanimation* drawn : {copy.get(), later.get()}) {
        const std::string out = testsupport::Stderr([drawn] {
            for (int i = 0; i < 3; ++i) drawn->DrawCurrentFrame(0, 0);
            drawn->DrawCurrentFrameWithFlags(0, 0, 0);
        });
        EXPECT_EQ(out,
                  "FieldSpriteanimation::DrawCurrentFrame:  Warning, Frame 0 lost its image when the battle's images "
                  "were cleared\n");
    }
}

TEST_F(AnimationTest, HotAnimationsAreFreedWhenReleased) {
    FieldSpriteanimation* hot = FieldSpriteanimation::CreateHot();
    EXPECT_TRUE(FieldSpriteanimation::IsHot(hot));
    FieldSpriteanimation::CreateHot();
    FieldSpriteanimation registered;
    EXPECT_FALSE(FieldSpriteanimation::ReleaseHot(&registered));
    EXPECT_TRUE(FieldSpriteanimation::ReleaseHot(hot));
    FieldSpriteanimation::ReleaseAllHot();  // the second one
    EXPECT_FALSE(FieldSpriteanimation::IsHot(hot));
}

TEST_F(AnimationTest, APoseHoldsItsOwnCopiesInOrder) {
    auto body = Make({2, 2});
    auto shadow = Make({1});
    FieldSpriteDisplayList pose;
    pose.AddAnimation("Body", body.get());
    pose.AddAnimation("Shadow", shadow.get());
    pose.AddAnimation(nullptr, body.get());
    pose.AddAnimation("Nothing", nullptr);
    ASSERT_EQ(pose.GetLayerCount(), 2);
    EXPECT_STREQ(pose.GetLayers()->GetHead()->name.c_str(), "Body");
    auto* layer = pose.GetLayers()->FindAs<FieldSpriteanimation>("Body");
    EXPECT_NE(layer, body.get());
    pose.AdvanceAll();
    pose.AdvanceAll();
    EXPECT_EQ(layer->GetTick(), 2);
    EXPECT_EQ(body->GetTick(), 0);
    pose.RestartAll();
    EXPECT_EQ(layer->GetTick(), 0);
    layer->SetAutoUpdate(false);
    pose.SetFrameIndexAll(1);
    EXPECT_EQ(layer->GetCurrentFrame(), 1);
}

}  // namespace
