// The AI manager's registry and floating packages, the AIM_/AI_ script
// functions, and the movement-state block.
#include "world/ai/AIManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AITestObjects.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/Animation.h"
#include "world/ai/AIDrawingPackage.h"

using aitest::Capture;
using aitest::StepPackage;
using testsupport::LuaTestState;

TEST(AIManager, CreateObjectFillsTheNamedListAndMakesTheObjectActive) {
    LuaTestState lua;
    AIManager& ai = lua.AI();
    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('Walk', 'AnimationsList', 'Animation')\n"
                "AIM_CreateObject('Look', 'AIDrawingPackageList', 'AIDrawingPackage')\n"
                "AIM_CreateObject('Odd', 'FloatingAIPackageList', 'Animation')"));
    EXPECT_EQ(cap.Take(), "");
    ASSERT_NE(ai.GetAnimation("Walk"), nullptr);
    // The last one made is active, though only AnimationsList is searched
    // by name for animations.
    EXPECT_EQ(ai.GetAnimation("Odd"), nullptr);
    EXPECT_TRUE(ai.HoldsAnimation(ai.GetActiveAnimation()));
    EXPECT_NE(ai.GetActiveAnimation(), ai.GetAnimation("Walk"));
    EXPECT_EQ(ai.GetDrawingPackage("Look"), ai.GetActiveDrawingPackage());
    EXPECT_EQ(ai.GetCount(AIManager::kFloatingList), 1);
    EXPECT_EQ(ai.GetActiveAnimation()->GetType(), kTypeAnimation);

    // Failures create nothing.
    ASSERT_TRUE(
        lua.Run("AIM_CreateObject('X', 'Elsewhere', 'Animation')\n"
                "AIM_CreateObject('X', 'AnimationsList', 'Sprite')\n"
                "AIM_CreateObject('X', 'Elsewhere', 'AIValueRouter')"));
    EXPECT_EQ(cap.Take(),
              "AIM_CreateObject: Invalid SubList specifier\n"
              "AIM CreateObject:  Failed, invalid object specifier Sprite\n"
              "AIM_CreateObject: Invalid SubList specifier\n");
    EXPECT_EQ(ai.GetCount(AIManager::kAnimationsList), 1);
    EXPECT_EQ(ai.GetCount(AIManager::kFloatingList), 1);

    // Deleting a missing name changes nothing; deleting an animation keeps
    // it usable by whoever still holds it.
    Animation* walk = ai.GetAnimation("Walk");
    ai.SetActiveAnimation(walk);
    AIDrawingPackage* look = ai.GetDrawingPackage("Look");
    look->AllocateSpace(1);
    look->SetAnimation(0, "Walk");
    ASSERT_TRUE(
        lua.Run("AIM_DeleteObject('AnimationsList', 'Nobody')\n"
                "AIM_DeleteObject('Elsewhere', 'Walk')"));
    EXPECT_EQ(ai.GetCount(AIManager::kAnimationsList), 1);
    ASSERT_TRUE(
        lua.Run("AIM_DeleteObject('AnimationsList', 'Walk')\n"
                "Anim_DeclareSizes(2, 3)"));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(ai.GetAnimation("Walk"), nullptr);
    EXPECT_EQ(look->GetAnimation(0), walk);
    EXPECT_EQ(walk->GetFrames(), 3);  // still the active animation
}

TEST(AIManager, ScriptFunctionsWithoutTheirObjectsSayWhy) {
    LuaTestState lua;
    Capture cap;
    ASSERT_TRUE(
        lua.Run("a = select('#', AI_GetType()) AI_Activate() AI_Deactivate()\n"
                "Anim_SetDuration(5) Anim_DeclareSizes(1, 2) Anim_SetFrame(0, 0, 'f')\n"
                "Anim_SetActiveHeading('a', 'b', 'c') AIDP_AllocateSpace(2) AIDP_SetAnimation(0, 'x')"));
    EXPECT_EQ(cap.Take(),
              "AI_GetType:  Active AI was not set.\n"
              "AI_Activate: Active AI was not set\n"
              "AI_Deactivate: Active AI was not set\n"
              "Anim SetDuration:  Failed, Active Animation was not set\n"
              "Anim DeclareSizes:  Failed, Active Animation was not set\n"
              "Anim SetFrame:  Failed, Active Animation was not set\n"
              "Anim_SetActiveHeading:  Failed, Active Animation was not set\n"
              "AIDP AllocateSpace:  Failed, Active Package not set\n"
              "AIDP SetAnimation:  Failed, Active Package not set\n");
    EXPECT_EQ(lua.GetNumber("a"), 0);

    // Before the manager exists (scripts run at start-up) nothing crashes.
    AIManager* saved = GetGlobalState()->aiManager;
    GetGlobalState()->aiManager = nullptr;
    ASSERT_TRUE(lua.Run("Anim_SetDuration(5) AIM_CreateObject('W', 'AnimationsList', 'Animation') AI_GetType()"));
    GetGlobalState()->aiManager = saved;
    EXPECT_EQ(cap.Take(),
              "Anim SetDuration:  Failed, AIManager does not exist\n"
              "AIM CreateObject:  Failed, AIManager does not exist\n"
              "AI_GetType:  Failed, AIManager does not exist\n");
}

TEST(AIManager, ActivePackageTypeAndEnabledFlag) {
    LuaTestState lua;
    AIManager& ai = lua.AI();
    auto* package = new StepPackage(nullptr, "p");
    ai.AddFloatingPackage("p", package);
    ai.SetActiveAIObject(package);
    ASSERT_TRUE(lua.Run("t = AI_GetType() AI_Deactivate()"));
    EXPECT_EQ(lua.GetNumber("t"), 1000);
    EXPECT_EQ(package->IsEnabled(), 0);
    ASSERT_TRUE(lua.Run("AI_Activate()"));
    EXPECT_EQ(package->IsEnabled(), 1);

    // One object is never listed twice (it would be deleted twice), not
    // even after it was retired.
    EXPECT_FALSE(ai.AddFloatingPackage("again", package));
    auto* animation = new Animation;
    ASSERT_TRUE(ai.AddAnimation("a", animation));
    ai.DeleteObject(AIManager::kAnimationsList, "a");
    EXPECT_FALSE(ai.AddAnimation("a", animation));
    EXPECT_EQ(ai.GetAnimation("a"), nullptr);

    // Deleting it clears the active pointer.
    ai.DeleteObject(AIManager::kFloatingList, "p");
    EXPECT_EQ(ai.GetActiveAIObject(), nullptr);
    EXPECT_EQ(ai.GetCount(AIManager::kFloatingList), 0);
}

TEST(AIManager, FloatingPackagesRunEveryTickAndSurviveChangesDuringTheWalk) {
    LuaTestState lua;
    AIManager& ai = lua.AI();
    std::vector<std::string> log;
    auto* a = new StepPackage(&log, "a");
    auto* b = new StepPackage(&log, "b");
    auto* c = new StepPackage(&log, "c");
    ai.AddFloatingPackage("a", a);
    ai.AddAnimation("anim", new Animation, AIManager::kFloatingList);  // listed, never stepped
    ai.AddFloatingPackage("b", b);
    ai.AddFloatingPackage("c", c);
    ai.UpdateFloatingAI();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));

    // "a" removes itself and "c" in its step: neither is deleted while the
    // walk runs, "c" is not stepped, both are gone after the walk.
    log.clear();
    a->onStep = [&] {
        ai.DeleteObject(AIManager::kFloatingList, "a");
        ai.DeleteObject(AIManager::kFloatingList, "c");
    };
    ai.UpdateFloatingAI();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "~a", "~c"}));

    // A map unload in the middle of a step (b clears the list) is safe too.
    log.clear();
    ai.SetActiveAIObject(b);
    b->onStep = [&] { ai.ClearFloatingAI(); };
    Animation* kept = new Animation;
    ai.AddAnimation("kept", kept);
    ai.UpdateFloatingAI();
    EXPECT_EQ(log, (std::vector<std::string>{"b", "~b"}));
    EXPECT_EQ(ai.GetCount(AIManager::kFloatingList), 0);
    EXPECT_EQ(ai.GetActiveAIObject(), nullptr);
    EXPECT_EQ(ai.GetAnimation("kept"), kept);  // animations stay
}

TEST(AIManager, BaseLookupsReportTheObjectKind) {
    LuaTestState lua;
    AIManager& ai = lua.AI();
    PropertyRouter& router = lua.Router();
    auto* animation = new Animation;
    auto* package = new AIDrawingPackage;
    auto* floating = new StepPackage(nullptr, "f");
    ai.AddAnimation("Walk", animation);
    ai.AddDrawingPackage("Look", package);
    ai.AddFloatingPackage("Follow", floating);
    ai.AddAnimation("Stray", new Animation, AIManager::kFloatingList);

    Capture cap;
    EXPECT_EQ(ai.GetPropertyAddress("Base", "Walk"), animation);
    EXPECT_EQ(router.GetValueType(), 1202);
    EXPECT_EQ(ai.GetPropertyAddress("Base", "Look"), package);
    EXPECT_EQ(router.GetValueType(), 1201);
    EXPECT_EQ(ai.GetPropertyAddress("Base", "Follow"), floating);
    EXPECT_EQ(router.GetValueType(), 1000);
    // An animation placed in the floating list is still an animation.
    ai.GetPropertyAddress("Base", "Stray");
    EXPECT_EQ(router.GetValueType(), 1202);
    EXPECT_EQ(cap.Take(), "");

    EXPECT_EQ(ai.GetPropertyAddress("Base", "Nothing"), nullptr);
    EXPECT_EQ(router.GetValueType(), 0);
    EXPECT_EQ(ai.GetPropertyAddress("Follow", "Speed"), nullptr);
    EXPECT_EQ(ai.GetPropertyAddress("Look", "Speed"), nullptr);
    EXPECT_EQ(ai.GetPropertyAddress("Nobody", "Speed"), nullptr);
    EXPECT_EQ(router.GetValueType(), 0);
    EXPECT_EQ(cap.Take(),
              "AIManager GetPropertyAddress:  Failed, no property Nothing in Base\n"
              "AIManager GetPropertyAddress:  Failed, no object Nobody in Manager's Lists\n");
}

TEST(AIManager, SetActiveObjectTakesOnlyObjectsOfTheKind) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    AIManager& ai = lua.AI();
    aitest::AddFlagWidget("Hero");
    auto* animation = new Animation;
    ai.AddAnimation("Walk", animation);
    ai.SetActiveAnimation(animation);

    Capture cap;
    ASSERT_TRUE(
        lua.Run("AIM_SetActiveAIObject('Sprite', 'GUI', 'Hero', 'AnimTimer')\n"
                "AIM_SetActiveAIObject('Animation', 'GUI', 'Hero', 'AnimTimer')\n"
                "AIM_SetActiveAIObject('DrawingList', 'GUI', 'Hero', 'St|Walking')"));
    EXPECT_EQ(cap.Take(),
              "AIM SetActiveAIObject:  Failed, could not discern type Sprite\n"
              "AIM SetActiveAIObject:  Failed, GUI Hero AnimTimer is not a Animation\n"
              "AIM SetActiveAIObject:  Failed, GUI Hero St|Walking is not a DrawingList\n");
    EXPECT_EQ(ai.GetActiveAnimation(), animation);

    // A lookup that finds nothing clears the active object.
    ASSERT_TRUE(lua.Run("AIM_SetActiveAIObject('Animation', 'GUI', 'Nobody', 'AnimTimer')"));
    EXPECT_EQ(ai.GetActiveAnimation(), nullptr);
}

TEST(AIManager, MoveStateSetsOneFlagThroughTheKeptFields) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    aitest::FlagWidget* hero = aitest::AddFlagWidget("Hero");
    AIEntityPointers block;
    Capture cap;
    // The widget lacks Dimensions and AnimFlip: those stay unbound.
    EXPECT_FALSE(block.Gather("GUI", "Hero"));
    cap.Take();
    EXPECT_NE(block.walking.Get(), nullptr);
    EXPECT_EQ(block.dimensions.Get(), nullptr);

    // The set flags as a bit mask: stationary 1, walking 2, trotting 4, running 8.
    auto flags = [&] { return hero->stationary + hero->walking * 2 + hero->trotting * 4 + hero->running * 8; };
    hero->animTimer = 17;
    AIBasePackage::SetMoveState(&block, "Running");
    EXPECT_EQ(flags(), 8);
    EXPECT_EQ(hero->animTimer, 17);
    AIBasePackage::SetMoveState(&block, "Standing");
    EXPECT_EQ(flags(), 1);
    EXPECT_EQ(hero->animTimer, 0);
    AIBasePackage::SetMoveState(&block, "Trotting");
    EXPECT_EQ(flags(), 4);
    AIBasePackage::SetMoveState(&block, "Flying");
    EXPECT_EQ(flags(), 0);
    AIBasePackage::SetMoveState(nullptr, "Walking");
    AIBasePackage::SetMoveState(&block, nullptr);

    // Once the character goes, the block writes nowhere.
    aitest::DeleteFlagWidget(hero);
    EXPECT_EQ(block.walking.Get(), nullptr);
    AIBasePackage::SetMoveState(&block, "Walking");
}
