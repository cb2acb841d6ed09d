// Field sprites: the action queue's tick and stop rules, the drawing
// position and the composed canvas.
#include "combat/FieldSprite.h"

#include <gtest/gtest.h>

#include <memory>

#include "combat/FieldSpriteDisplayList.h"
#include "combat/FieldSpriteanimation.h"
#include "core/base/GenericQueue.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "gui/DataBlock.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"

namespace {

using testsupport::PackedPixelAt;

class FieldSpriteTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::EnsureAllegro(); }

    // How many actions are left after each of `ticks` updates.
    std::vector<int> Left(int ticks) {
        std::vector<int> left;
        for (int i = 0; i < ticks; ++i) {
            sprite_.Update();
            left.push_back(sprite_.GetActionQueue()->GetCount());
        }
        return left;
    }

    FieldSprite sprite_;
};

TEST_F(FieldSpriteTest, AWaitHoldsTheQueueForItsTicks) {
    sprite_.PushWait(3);
    sprite_.PushEndTick();
    sprite_.PushFacing(1);
    // The tick of 104 stops; three ticks only count down; the fourth after
    // it performs 105 and stops; the next performs the rest.
    EXPECT_EQ(Left(6), (std::vector<int>{2, 2, 2, 2, 1, 0}));
    EXPECT_EQ(sprite_.GetFacing(), 1);
}

TEST_F(FieldSpriteTest, EachOpcodeStopsOrContinuesTheTick) {
    int32_t pending = 0;
    struct Case {
        const char* name;
        void (*push)(FieldSprite&);
        bool stops;
    };
    const Case cases[] = {
        {"100", [](FieldSprite& s) { s.PushPosition(1, 2, 3); }, false},
        {"101", [](FieldSprite& s) { s.PushDisplayEntry(1); }, false},
        {"102", [](FieldSprite& s) { s.PushFacing(0); }, false},
        {"103", [](FieldSprite& s) { s.PushPose("Idling"); }, false},
        {"104", [](FieldSprite& s) { s.PushWait(0); }, true},
        {"105", [](FieldSprite& s) { s.PushEndTick(); }, true},
        {"106", [](FieldSprite& s) { s.PushRestart(); }, false},
        {"200", [](FieldSprite& s) { s.PushSequenceStart(); }, true},
        {"201", [](FieldSprite& s) { s.PushSequenceEnd(); }, false},
        {"0", [](FieldSprite& s) { s.PushSharedAction(DataBlock::kPause, nullptr); }, true},
    };
    for (const Case& c : cases) {
        FieldSprite sprite;
        sprite.SetPendingCounter(&pending);
        c.push(sprite);
        sprite.PushEndTick();
        sprite.Update();
        EXPECT_EQ(sprite.GetActionQueue()->GetCount(), c.stops ? 1 : 0) << c.name;
    }
}

TEST_F(FieldSpriteTest, SequencesRaiseAndLowerTheBoundCounter) {
    sprite_.PushSequenceStart();
    sprite_.PushSequenceEnd();
    sprite_.Update();  // unbound: 200 neither counts nor stops
    EXPECT_TRUE(sprite_.GetActionQueue()->IsEmpty());

    int32_t pending = 0;
    sprite_.SetPendingCounter(&pending);
    sprite_.PushSequenceStart();
    sprite_.PushSequenceEnd();
    sprite_.Update();
    EXPECT_EQ(pending, 1);
    sprite_.Update();
    EXPECT_EQ(pending, 0);
}

TEST_F(FieldSpriteTest, MovesAndOffsetsGiveTheDrawingPosition) {
    sprite_.SetDrawingOffsets(-10, -40);
    sprite_.PushPosition(50.9f, 300.7f, 20.0f);
    sprite_.Update();
    EXPECT_FLOAT_EQ(sprite_.GetX(), 50.9f);
    EXPECT_EQ(sprite_.GetDrawingX(), 40);
    EXPECT_EQ(sprite_.GetDrawingY(), 240);
    EXPECT_EQ(sprite_.GetSortKey(), 300);
    // Worked in single precision: a height of a millionth stays on row 260.
    sprite_.SetPosition(50.0f, 300.0f, 0.000001f);
    EXPECT_EQ(sprite_.GetDrawingY(), 260);
}

TEST_F(FieldSpriteTest, CanvasSizesMustBeSane) {
    EXPECT_FALSE(sprite_.SetCanvasSize(0, 10));
    EXPECT_FALSE(sprite_.SetCanvasSize(10, -1));
    EXPECT_FALSE(sprite_.SetCanvasSize(FieldSprite::kMaxCanvasSide + 1, 10));
    EXPECT_EQ(sprite_.GetCanvas(), nullptr);
    EXPECT_TRUE(sprite_.SetCanvasSize(8, 6));
    EXPECT_EQ(sprite_.GetCanvas()->GetWidth(), 8);
    EXPECT_TRUE(sprite_.SetCanvasSize(4, 4));
    EXPECT_EQ(sprite_.GetCanvas()->GetHeight(), 4);
}

TEST_F(FieldSpriteTest, PosesAreComposedOnTheCanvasAndDrawnMirrored) {
    BitmapWrapper red(2, 2, nullptr);
    red.ClearToRGBA(255, 0, 0, 255);
    FieldSpriteanimation frames;
    frames.SetFrameData(1, 1);
    frames.SetFrame(0, &red, 4, 0);
    frames.FinishCalcsAndLock();
    auto* pose = new FieldSpriteDisplayList();
    pose->AddAnimation("Body", &frames);
    sprite_.AddDisplayList("Idling", pose);
    sprite_.SetCanvasSize(4, 2);
    sprite_.SetPosition(3, 1, 0);
    sprite_.SetVisible(true);

    BitmapWrapper screen(10, 4, nullptr);
    auto draw = [&]() {
        screen.ClearToRGBA(0, 0, 0, 255);
        sprite_.Draw();
    };
    sprite_.PlayAnimation("Idling");
    draw();
    EXPECT_EQ(PackedPixelAt(screen.GetBitmap(), 3, 1), 0xFF0000FFu);
    EXPECT_EQ(PackedPixelAt(screen.GetBitmap(), 5, 1), 0x000000FFu);
    sprite_.SetFacing(ALLEGRO_FLIP_HORIZONTAL);
    draw();
    EXPECT_EQ(PackedPixelAt(screen.GetBitmap(), 3, 1), 0x000000FFu);
    EXPECT_EQ(PackedPixelAt(screen.GetBitmap(), 5, 1), 0xFF0000FFu);

    // A pose the sprite lacks leaves an empty canvas.
    sprite_.PushPose("Dancing");
    sprite_.Update();
    EXPECT_EQ(sprite_.GetCurrentDisplayList(), nullptr);
    draw();
    EXPECT_EQ(PackedPixelAt(screen.GetBitmap(), 5, 1), 0x000000FFu);

    // Hidden sprites draw nothing.
    sprite_.PlayAnimation("Idling");
    sprite_.SetVisible(false);
    draw();
    EXPECT_EQ(PackedPixelAt(screen.GetBitmap(), 5, 1), 0x000000FFu);
}

TEST_F(FieldSpriteTest, FrameChoicesAndRestartsReachEveryLayer) {
    BitmapWrapper image(1, 1, nullptr);
    FieldSpriteanimation frames;
    frames.SetFrameData(3, 1);
    for (int i = 0; i < 3; ++i) frames.SetFrame(i, &image, 2, 0);
    frames.FinishCalcsAndLock();
    auto* pose = new FieldSpriteDisplayList();
    pose->AddAnimation("A", &frames);
    pose->AddAnimation("B", &frames);
    sprite_.AddDisplayList("Moving", pose);
    sprite_.PushPose("Moving");
    sprite_.Update();
    sprite_.Update();  // layers advance once per tick
    for (NamedList::Node* n = pose->GetLayers()->GetHead(); n; n = n->next)
        EXPECT_EQ(static_cast<FieldSpriteanimation*>(n->value)->GetTick(), 1);
    sprite_.PushRestart();
    sprite_.Update();
    for (NamedList::Node* n = pose->GetLayers()->GetHead(); n; n = n->next) {
        auto* layer = static_cast<FieldSpriteanimation*>(n->value);
        EXPECT_EQ(layer->GetTick(), 0);
        layer->SetAutoUpdate(false);
    }
    sprite_.PushDisplayEntry(2);
    sprite_.Update();
    for (NamedList::Node* n = pose->GetLayers()->GetHead(); n; n = n->next)
        EXPECT_EQ(static_cast<FieldSpriteanimation*>(n->value)->GetCurrentFrame(), 2);
}

}  // namespace
