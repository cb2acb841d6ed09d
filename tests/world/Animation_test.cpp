// Animations, drawing packages, drawing lists and animation state trees,
// driven through their script functions where scripts drive them.
#include "world/Animation.h"

#include <gtest/gtest.h>

#include <string>

#include "core/media/RenderState.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "world/AnimationState.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIDrawingPackage.h"
#include "world/ai/AIManager.h"
#include "world/ai/AITestObjects.h"

using aitest::Capture;
using aitest::SameColour;
using aitest::SolidImage;
using testsupport::LuaTestState;

namespace {

// Registers four one-colour frames "F0".."F3" under Images/Hero/Walk.
struct Frames {
    explicit Frames(DataLibrary& library) {
        library.AddSection("Images");
        library.AddCatalogue("Images", "Hero");
        library.AddHeading("Images", "Hero", "Walk");
        for (int i = 0; i < 4; ++i) {
            images[i] = SolidImage(2, 2, al_map_rgb(10 * (i + 1), 0, 0));
            library.Register("Images", "Hero", "Walk", ("F" + std::to_string(i)).c_str(), images[i], DataKind::Bitmap);
        }
    }
    ~Frames() {
        for (BitmapWrapper* image : images) delete image;
    }
    BitmapWrapper* images[4];
};

}  // namespace

TEST(Animation, FramesFollowTheTimeInCycles) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    Frames frames(lua.Library());
    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('Walk', 'AnimationsList', 'Animation')\n"
                "Anim_DeclareSizes(2, 4)\n"
                "Anim_SetFrame(0, 0, 'F0')\n"  // no heading yet
                "Anim_SetActiveHeading('Images', 'Hero', 'Walk')\n"
                "for i = 0, 3 do Anim_SetFrame(0, i, 'F' .. i) end\n"
                "Anim_SetFrame(1, 0, 'Missing')\n"
                "Anim_SetFrame(2, 0, 'F0') Anim_SetFrame(0, 4, 'F0') Anim_SetFrame(-1, 0, 'F0')\n"
                "Anim_SetDuration(5)"));
    EXPECT_EQ(cap.Take(),
              "Animation::SetAnimationFrame:  Failed, rActiveHeading was not set\n"
              "Animation::SetAnimationFrame: Warning, 1 0 Missing not found\n");
    Animation* walk = lua.AI().GetAnimation("Walk");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->GetCycle(), 20);
    for (int t = 0; t <= 4; ++t) EXPECT_EQ(walk->GetFrameByTime(0, t), frames.images[0]) << t;
    EXPECT_EQ(walk->GetFrameByTime(0, 5), frames.images[1]);
    EXPECT_EQ(walk->GetFrameByTime(0, 19), frames.images[3]);
    EXPECT_EQ(walk->GetFrameByTime(0, 20), frames.images[0]);
    EXPECT_EQ(walk->GetFrameByTime(0, -3), nullptr);
    EXPECT_EQ(walk->GetFrameByTime(2, 0), nullptr);
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(walk->GetFrameByTime(1, 7), nullptr);
    EXPECT_EQ(cap.Take(), "Animation::GetFrameByTime: Warning, Direction/Frame 1/1 was NULL\n");

    // Redeclaring to fewer frames keeps the old cycle until the duration is
    // set again: times the cycle maps past the new count show nothing, and
    // a table too large for memory is refused without changing anything.
    ASSERT_TRUE(lua.Run("Anim_DeclareSizes(1, 2) Anim_DeclareSizes(100000, 100000)"));
    EXPECT_EQ(cap.Take(), "Anim DeclareSizes:  Failed, 100000 x 100000 frames is too large\n");
    EXPECT_EQ(walk->GetFrames(), 2);
    EXPECT_EQ(walk->GetFrameByTime(0, 12), nullptr);  // frame 2 of 2
    cap.Take();

    // A duration set before the sizes leaves no cycle: no frame is found.
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('W', 'AnimationsList', 'Animation')\n"
                "Anim_SetDuration(5) Anim_DeclareSizes(8, 4)"));
    Animation* early = lua.AI().GetAnimation("W");
    EXPECT_EQ(early->GetCycle(), 0);
    EXPECT_EQ(early->GetFrame(0, 0), nullptr);
    EXPECT_EQ(early->GetFrameByTime(7, 3), nullptr);
    // Sizes raised without a new table (C++ callers) never reach past it.
    early->SetDirections(16);
    early->SetDuration(5);
    EXPECT_EQ(early->GetFrameByTime(15, 3), nullptr);
    EXPECT_EQ(cap.Take(), "");
}

TEST(Animation, StateTreesChooseTheDeepestActiveState) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    AIManager& ai = lua.AI();
    aitest::FlagWidget* hero = aitest::AddFlagWidget("Hero");
    AIDrawingList list(&hero->animTimer, &hero->animDirection);
    ai.SetActiveDrawingList(&list);
    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIDL_SetActiveStateList('Moving')\n"  // nothing selected yet
                "AIDL_SetBaseStateToActive()\n"
                "ok = AIS_AddState('Moving', 1, 'GUI', 'Hero', 'St|Walking', 0)\n"
                "AIS_AddState('Ghost', 5, 'GUI', 'Nobody', 'St|Walking', 0)\n"
                "AIDL_SetActiveStateList('Nope')\n"
                "AIDL_SetActiveStateList('Moving')\n"
                "AIS_AddState('Fast', 2, 'GUI', 'Hero', 'St|Running', 0)"));
    EXPECT_EQ(cap.Take(),
              "AIDL_SetActiveStateList:  Failed, no Animation State is active\n"
              "Animation State Constructor:  Warning, Watch Pointer was found to be NULL\n"
              "AIDL_SetActiveStateList:  Failed, no state by name Nope in active state\n");
    EXPECT_EQ(lua.GetNumber("ok"), 1);
    EXPECT_EQ(list.GetStateTrees().GetCount(), 2);

    EXPECT_EQ(list.ChooseAnimation(), -1);
    hero->walking = 1;
    EXPECT_EQ(list.ChooseAnimation(), 1);
    hero->running = 1;
    EXPECT_EQ(list.ChooseAnimation(), 2);
    hero->walking = 0;
    EXPECT_EQ(list.ChooseAnimation(), -1);

    // "Base" goes back to the roots.
    ASSERT_TRUE(lua.Run("AIDL_SetActiveStateList('Base') AIS_AddState('Idle', 0, 'GUI', 'Hero', 'St|Stationary', 0)"));
    EXPECT_EQ(list.GetStateTrees().GetCount(), 3);
    EXPECT_EQ(list.ChooseAnimation(), 0);
    // A compare value of true is 1: this state is active while not walking.
    ASSERT_TRUE(lua.Run("AIS_AddState('Still', 7, 'GUI', 'Hero', 'St|Walking', true)"));
    hero->stationary = 0;
    EXPECT_EQ(list.ChooseAnimation(), 7);

    // The manager's own search walks the same lists.
    AnimationState* moving = list.GetStateTrees().Find("Moving");
    EXPECT_EQ(ai.SearchForAnimationStateList("Moving"), &moving->GetChildren());
    EXPECT_EQ(ai.GetActiveAnimationState(), moving);
    EXPECT_EQ(ai.SearchForAnimationStateList("Nope"), nullptr);
    EXPECT_EQ(ai.SearchForAnimationStateList("Base"), &list.GetStateTrees());
    EXPECT_EQ(ai.GetActiveAnimationState(), nullptr);
    ai.SetActiveDrawingList(nullptr);
    EXPECT_EQ(ai.SearchForAnimationStateList("Base"), nullptr);
    EXPECT_EQ(cap.Take(), "AIM SearchForAnimationStateList:  Failed, no Active Drawing List was set\n");

    // The watched character going away leaves states that never choose.
    aitest::DeleteFlagWidget(hero);
    EXPECT_EQ(list.ChooseAnimation(), -1);
    EXPECT_EQ(cap.Take(), "");
}

TEST(Animation, DeletedDrawingListTakesTheActivePointersWithIt) {
    LuaTestState lua;
    AIManager& ai = lua.AI();
    int32_t timer = 0, direction = 4;
    auto* list = new AIDrawingList(&timer, &direction);
    ai.SetActiveDrawingList(list);
    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIDL_SetBaseStateToActive() AIS_AddState('S', 1, 'GUI', 'x', 'y', 0)\n"
                "AIDL_SetActiveStateList('S')"));
    cap.Take();
    ASSERT_NE(ai.GetActiveAnimationState(), nullptr);
    delete list;
    EXPECT_EQ(ai.GetActiveDrawingList(), nullptr);
    EXPECT_EQ(ai.GetActiveAnimationState(), nullptr);
    EXPECT_EQ(ai.GetCurrentStateList(), nullptr);
    ASSERT_TRUE(
        lua.Run("r = select('#', AIS_AddState('T', 1, 'GUI', 'x', 'y', 0)) AIDL_ClearAIList()\n"
                "AIDL_EnableAI('a') AIDL_SetBaseStateToActive()"));
    EXPECT_EQ(cap.Take(),
              "AID AddState: Failed, no Active State List set\n"
              "Active Drawing List was not set\n"
              "Active Drawing List was not set\n"
              "AIDL_SetBaseStateToActive:  Failed, Active Drawing List was not set\n");
    EXPECT_EQ(lua.GetNumber("r"), 0);
}

TEST(Animation, DrawingListDrawsEveryEnabledEntry) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    AIManager& ai = lua.AI();
    Frames frames(lua.Library());
    aitest::FlagWidget* hero = aitest::AddFlagWidget("Hero");
    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('Walk', 'AnimationsList', 'Animation')\n"
                "Anim_DeclareSizes(1, 4) Anim_SetActiveHeading('Images', 'Hero', 'Walk')\n"
                "for i = 0, 3 do Anim_SetFrame(0, i, 'F' .. i) end Anim_SetDuration(1)\n"
                "AIM_CreateObject('Body', 'AIDrawingPackageList', 'AIDrawingPackage')\n"
                "AIDP_AllocateSpace(2) AIDP_SetAnimation(1, 'Walk') AIDP_SetAnimation(2, 'Walk')\n"
                "AIDL_AddAI('body', 'Body')\n"  // no list yet
                "AIDL_AddAI('body', 'Nothing')"));
    EXPECT_EQ(cap.Take(), "Active Drawing List was not set\nFailed to find package Nothing\n");
    AIDrawingPackage* body = ai.GetDrawingPackage("Body");
    EXPECT_EQ(body->GetAnimation(1), ai.GetAnimation("Walk"));
    EXPECT_EQ(body->GetCount(), 2);

    AIDrawingList list(&hero->animTimer, &hero->animDirection);
    ai.SetActiveDrawingList(&list);
    hero->animDirection = 0;
    ASSERT_TRUE(
        lua.Run("AIDL_AddAI('body', 'Body') AIDL_AddAI('shadow', 'Body') AIDL_DisableAI('shadow')\n"
                "AIDL_SetAIPalette('body', 3)\n"
                "AIDL_SetBaseStateToActive() AIS_AddState('Walking', 1, 'GUI', 'Hero', 'St|Walking', 0)"));
    EXPECT_EQ(cap.Take(), "");
    BitmapWrapper* target = SolidImage(4, 4, al_map_rgba(0, 0, 0, 0));

    // No state chose an animation: each enabled entry says so.
    list.Draw(target, 0, 0, 0);
    EXPECT_EQ(cap.Take(), "AIDP_DrawToImage:  Failed, -1 Animation is out of range\n");

    hero->walking = 1;
    hero->animTimer = 2;
    SetPaletteIndex(0);
    list.SetVerbose(1);
    list.Draw(target, 1, 1, 0);
    EXPECT_EQ(cap.Take(), "List wrapper used body\n");
    EXPECT_TRUE(SameColour(al_get_pixel(target->GetBitmap(), 1, 1), al_map_rgb(30, 0, 0)));
    EXPECT_TRUE(SameColour(al_get_pixel(target->GetBitmap(), 0, 0), al_map_rgba(0, 0, 0, 0)));
    EXPECT_EQ(GetPaletteIndex(), 3);
    list.SetPaletteOverride(1);
    list.Draw(target, 0, 0, 0);
    EXPECT_EQ(GetPaletteIndex(), 1);
    list.SetVerbose(0);
    cap.Take();

    // Missing animation, and a timer whose frame is empty.
    ASSERT_TRUE(lua.Run("AIDL_SwitchAI('body', 'Body') AIDL_EnableAI('shadow') AIDL_RemoveAI('body')"));
    body->SetAnimation(1, static_cast<Animation*>(nullptr));
    list.Draw(target, 0, 0, 0);
    EXPECT_EQ(cap.Take(), "AIDP_DrawToImage:  Failed, Animation 1 is not valid\n");
    body->SetAnimation(1, "Walk");
    hero->animDirection = 3;
    list.Draw(target, 0, 0, 0);
    EXPECT_EQ(cap.Take(), "AIDP_DrawToImage:  Failed, GetFrameByTime(3, 2) returned NULL\n");
    ASSERT_TRUE(lua.Run("AIDL_ClearAIList()"));
    EXPECT_TRUE(list.GetEntries().empty());
    list.Draw(nullptr, 0, 0, 0);
    EXPECT_EQ(cap.Take(), "");
    SetPaletteIndex(0);
    delete target;
}
