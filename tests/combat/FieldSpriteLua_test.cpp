// The field-sprite script families: a script builds a sprite's poses, and
// every function checks the kind of the active object before using it.
#include <gtest/gtest.h>

#include <string>

#include "combat/EnemyPrototype.h"
#include "combat/FieldSprite.h"
#include "combat/FieldSpriteDisplayList.h"
#include "combat/FieldSpriteanimation.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"

namespace {

class SpriteScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        image_ = new BitmapWrapper(2, 2, nullptr);
        DataLibrary& library = lua_.Library();
        library.AddSection("Images");
        library.AddCatalogue("Images", "Combat");
        library.AddHeading("Images", "Combat", "Bramle");
        library.Register("Images", "Combat", "Bramle", "Stand0", image_, DataKind::Bitmap);
        library.AddSection("Anims");
        library.AddCatalogue("Anims", "Party");
        library.AddHeading("Anims", "Party", "Bramle");
    }
    void TearDown() override {
        FieldSpriteanimation::ReleaseAllHot();
        FieldSpriteDisplayList::ReleaseAllLoose();
    }
    // Runs the chunk with the sprite active; returns what it printed.
    std::string Build(const std::string& chunk) {
        lua_.Library().SetActiveObject(&sprite_, DataKind::FieldSprite);
        return testsupport::RunScript(lua_, chunk);
    }

    testsupport::LuaTestState lua_;
    BitmapWrapper* image_ = nullptr;  // the data library keeps it; freed below
    FieldSprite sprite_;

public:
    ~SpriteScriptTest() override { delete image_; }
};

TEST_F(SpriteScriptTest, AScriptBuildsPosesFromRegisteredAndHotAnimations) {
    EXPECT_EQ(Build(R"(
        FSprite_SetCanvasSize(40, 50) FSprite_SetDrawingOffsets(-20, -45)
        FSprite_SetPalette(2) FSprite_SetAttackOffset(12.5)
        FSpriteDL_CreateAndPush()
        DL_PushActiveEntity()
        DL_RegisterFieldSpriteAnimation('Anims', 'Party', 'Bramle', 'Stand')
        FSpriteAnim_SetFrameData(2, 1)
        FSpriteAnim_SetFrameImage(0, 'Images', 'Combat', 'Bramle', 'Stand0', 8, 0)
        FSpriteAnim_SetFrameImage(1, 'Images', 'Combat', 'Bramle', 'Stand0', 8, 0)
        FSpriteAnim_SetOscillation()
        FSpriteAnim_FinishAndLock()
        FSpriteDL_RegisterAnimByPop('Body')
        FSpriteDL_RegisterAnim('Copy', 'Anims', 'Party', 'Bramle', 'Stand')
        FSpriteDL_PopAndHook('Idling')
        FSpriteDL_CreateAndPush()
        DL_PushActiveEntity()
        DL_CreateHotFieldSpriteAnimation()
        FSpriteAnim_SetFrameData(1, 1) FSpriteAnim_SetAutoUpdate(0) FSpriteAnim_SetPlayOnce()
        FSpriteAnim_SetFrameImage(0, 'Images', 'Combat', 'Bramle', 'Stand0', 8, 0)
        FSpriteAnim_FinishAndLock()
        FSpriteDL_RegisterAnimByPop('Body')
        FSpriteDL_PopAndHook('Moving')
    )"),
              "");
    EXPECT_EQ(sprite_.GetCanvas()->GetWidth(), 40);
    EXPECT_EQ(sprite_.GetPalette(), 2);
    EXPECT_FLOAT_EQ(sprite_.GetAttackOffset(), 12.5f);
    ASSERT_EQ(sprite_.GetDisplayLists()->GetCount(), 2);
    auto* idling = sprite_.GetDisplayLists()->FindAs<FieldSpriteDisplayList>("Idling");
    EXPECT_EQ(idling->GetLayerCount(), 2);
    EXPECT_TRUE(idling->GetLayers()->FindAs<FieldSpriteanimation>("Body")->IsOscillating());
    auto* moving = sprite_.GetDisplayLists()->FindAs<FieldSpriteDisplayList>("Moving");
    auto* body = moving->GetLayers()->FindAs<FieldSpriteanimation>("Body");
    EXPECT_TRUE(body->IsPlayOnce());
    EXPECT_FALSE(body->GetAutoUpdate());
    // The sprite is the active object again.
    EXPECT_EQ(lua_.Library().GetActiveObject(DataKind::FieldSprite), &sprite_);
}

TEST_F(SpriteScriptTest, FunctionsRefuseAnActiveObjectOfAnotherKind) {
    EnemyPrototype prototype;
    lua_.Library().SetActiveObject(&prototype, DataKind::EnemyPrototype);
    testsupport::StderrCapture capture;
    ASSERT_TRUE(lua_.Run(R"(
        FSprite_SetCanvasSize(4, 4) FSprite_SetAttackOffset(3)
        FSpriteAnim_SetFrameData(1, 1) FSpriteAnim_SetOscillation() FSpriteAnim_FinishAndLock()
        FSpriteAnim_CDL_SetFrameImage(0, 'Bat0', 1, 1)
        FSpriteDL_RegisterAnimByPop('Body')
        FSpriteDL_PopAndHook('Idling')
    )"));
    EXPECT_EQ(capture.Take(),
              "FSprite_SetCanvasSize: Failed, active object was not set\n"
              "FSprite_SetAttackOffsets: Failed, active object was not set\n"
              "FSpriteAnim_SetFrameData:  Failed, active object was not set\n"
              "FSpriteAnim_SetOscillation:  Failed, active object was not set\n"
              "FSpriteAnim_CDL_SetFrameImage:  Failed, active object was not set\n"
              "FSpriteDL_RegisterAnimByPop:  Failed, no active object\n"
              "FSpriteDL_PopAndHook:  Failed, no FSDL is active\n");
}

TEST_F(SpriteScriptTest, BadSizesFramesAndLookupsAreReported) {
    EXPECT_EQ(Build("FSprite_SetCanvasSize(0, 10) FSprite_SetCanvasSize(100000, 10)"),
              "FSprite_SetCanvasSize: Failed, invalid argument list\n"
              "FSprite_SetCanvasSize: Failed, invalid argument list\n");
    EXPECT_EQ(sprite_.GetCanvas(), nullptr);
    EXPECT_EQ(Build(R"(
        FSpriteDL_CreateAndPush() DL_PushActiveEntity() DL_CreateHotFieldSpriteAnimation()
        FSpriteAnim_SetFrameData(-1, 1) FSpriteAnim_SetFrameData(5000000, 1)
        FSpriteAnim_SetFrameData(1, 1)
        FSpriteAnim_SetFrameImage(0, 'Images', 'Combat', 'Bramle', 'Missing', 8, 0)
        FSpriteAnim_CDL_SetFrameImage(0, 'Bat0', 1, 1)
        FSpriteAnim_FinishAndLock()
        FSpriteDL_RegisterAnimByPop('Body')
        FSpriteDL_RegisterAnim('Shadow', 'Anims', 'Party', 'Bramle', 'Nothing')
        FSpriteDL_PopAndHook('Idling')
    )"),
              "FSpriteAnim_SetFrameData:  Failed, frame count -1 is out of range\n"
              "FSpriteAnim_SetFrameData:  Failed, frame count 5000000 is out of range\n"
              "DataLibrary:  Warning, Root/Images/Combat/Bramle/Missing does not exist\n"
              "FSpriteAnim_SetFrameImage:  Failed, image not found\n"
              "FSpriteAnim_CDL_SetFrameImage:  Failed, image not found\n"
              "FieldSpriteanimation::FinishCalcsAndLock:  Warning, Frame 0 not set\n"
              "FieldSpriteanimation::FinishCalcsAndLock:  Warning, Frame 0 not set\n"
              "DataLibrary:  Warning, Root/Anims/Party/Bramle/Nothing does not exist\n"
              "FSpriteDL_RegisterAnim:  Warning, Animation Bramle Nothing was NULL\n");
    // The pose is hooked with its one (unset) layer.
    EXPECT_EQ(sprite_.GetDisplayLists()->GetCount(), 1);
}

TEST_F(SpriteScriptTest, ListsNobodyTakesAreFreed) {
    // Without a sprite under the list, popping and hooking frees it (the
    // sanitizer build would see a leak otherwise); an animation popped onto
    // no list is reported.
    lua_.Library().SetActiveObject(nullptr, DataKind::Any);
    testsupport::StderrCapture capture;
    ASSERT_TRUE(lua_.Run(R"(
        FSpriteDL_CreateAndPush() FSpriteDL_PopAndHook('Idling')
        DL_CreateHotFieldSpriteAnimation() FSpriteDL_RegisterAnimByPop('Body')
        FSpriteDL_CreateAndPush()
    )"));
    EXPECT_EQ(capture.Take(), "FSpriteDL_RegisterAnimByPop:  Failed, no FSDL in the Stack\n");
    EXPECT_NE(lua_.Library().GetActiveObject(DataKind::FieldSpriteDisplayList), nullptr);
    FieldSpriteDisplayList::ReleaseAllLoose();
    EXPECT_EQ(lua_.Library().GetActiveObject(DataKind::Any), nullptr);
}

TEST_F(SpriteScriptTest, ADeletedSpriteStopsBeingTheActiveObject) {
    auto* sprite = new FieldSprite();
    lua_.Library().SetActiveObject(sprite, DataKind::FieldSprite);
    lua_.Library().PushActiveEntity();
    lua_.Library().SetActiveObject(sprite, DataKind::FieldSprite);
    delete sprite;
    EXPECT_EQ(lua_.Library().GetActiveObject(DataKind::Any), nullptr);
    EXPECT_EQ(lua_.Library().PopActiveEntity(), nullptr);
    testsupport::StderrCapture capture;
    ASSERT_TRUE(lua_.Run("FSprite_SetPalette(1)"));
    EXPECT_EQ(capture.Take(), "FSprite_SetPalette: Failed, active object was not set\n");
}

}  // namespace
