#include "world/NonPlayingCharacter.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/PathManager.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptVariableSet.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/EntityManager.h"
#include "world/ai/AIBasePackage.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIManager.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

// Counts its steps, finishes after `finishAfter` of them (0: never), and
// reports its deletion. It can clear its owner's queue from inside its step,
// as a script run by a package may.
class CountingPackage : public AIBasePackage {
public:
    CountingPackage(int* runs, bool* deleted, int finishAfter = 0)
        : m_runs(runs), m_deleted(deleted), m_finishAfter(finishAfter) {}
    ~CountingPackage() override { *m_deleted = true; }
    void RunAI() override {
        ++*m_runs;
        if (m_clearOwner) m_clearOwner->ClearAIQueue();
        if (m_finishAfter && *m_runs >= m_finishAfter) SetFinished(1);
    }
    NonPlayingCharacter* m_clearOwner = nullptr;

private:
    int* m_runs;
    bool* m_deleted;
    int m_finishAfter;
};

NonPlayingCharacter* MakeActive(LuaTestState& lua, const char* name) {
    auto* character = new NonPlayingCharacter;
    character->SetInternalName(name);
    lua.Entities().RegisterPointer(EntityManager::kNPC, name, character);
    lua.Entities().SetActiveEntity(character);
    return character;
}

}  // namespace

TEST(NonPlayingCharacter, QueuedPackagesRunTheirTimeAndAreDeleted) {
    NonPlayingCharacter npc;
    int runsA = 0, runsB = 0;
    bool deletedA = false, deletedB = false;
    npc.PushAI("A", 3, new CountingPackage(&runsA, &deletedA), false);
    npc.PushAI("B", -1, new CountingPackage(&runsB, &deletedB, 4), true);
    for (int i = 0; i < 3; ++i) npc.Update();
    EXPECT_EQ(runsA, 3);
    EXPECT_TRUE(deletedA);
    EXPECT_EQ(runsB, 0);
    // The held package runs until it finishes, then leaves the queue once.
    for (int i = 0; i < 6; ++i) npc.Update();
    EXPECT_EQ(runsB, 4);
    EXPECT_TRUE(deletedB);
    EXPECT_EQ(npc.GetAIQueueLength(), 0);

    StderrCapture cap;
    npc.PushAI("none", 1, nullptr, false);
    EXPECT_EQ(cap.Take(), "NPC::PushAI:  Warning, AIPackage was NULL\n");
    EXPECT_EQ(npc.GetAIQueueLength(), 0);

    // A disabled character takes no step.
    npc.PushAI("C", -1, new CountingPackage(&runsA, &deletedA), true);
    npc.SetEnabled(0);
    npc.Update();
    EXPECT_EQ(runsA, 3);
}

TEST(NonPlayingCharacter, APackageFinishingOnItsLastTimedStepLeavesTheQueueOnce) {
    NonPlayingCharacter npc;
    int runsA = 0, runsB = 0, runsC = 0;
    bool deletedA = false, deletedB = false, deletedC = false;
    // A's time runs out on the step in which it also finishes; B and C wait
    // behind it and must each get their own steps.
    npc.PushAI("A", 3, new CountingPackage(&runsA, &deletedA, 3), false);
    npc.PushAI("B", 2, new CountingPackage(&runsB, &deletedB), false);
    npc.PushAI("C", 1, new CountingPackage(&runsC, &deletedC, 1), false);
    for (int i = 0; i < 3; ++i) npc.Update();
    EXPECT_EQ(runsA, 3);
    EXPECT_TRUE(deletedA);
    EXPECT_EQ(npc.GetAIQueueLength(), 2);
    EXPECT_FALSE(deletedB);
    for (int i = 0; i < 2; ++i) npc.Update();
    EXPECT_EQ(runsB, 2);
    EXPECT_TRUE(deletedB);
    npc.Update();
    EXPECT_EQ(runsC, 1);
    EXPECT_TRUE(deletedC);
    EXPECT_EQ(npc.GetAIQueueLength(), 0);
}

TEST(NonPlayingCharacter, QueueClearedDuringAStepAndOnDestruction) {
    int runs = 0, runsNext = 0, runsLeft = 0;
    bool deleted = false, deletedNext = false, deletedLeft = false;
    {
        NonPlayingCharacter npc;
        auto* clearing = new CountingPackage(&runs, &deleted);
        clearing->m_clearOwner = &npc;
        npc.PushAI("clears", -1, clearing, true);
        npc.PushAI("next", -1, new CountingPackage(&runsNext, &deletedNext), true);
        npc.Update();
        EXPECT_EQ(runs, 1);
        EXPECT_TRUE(deleted);
        EXPECT_TRUE(deletedNext);
        EXPECT_EQ(runsNext, 0);
        EXPECT_EQ(npc.GetAIQueueLength(), 0);
        npc.PushAI("left", 5, new CountingPackage(&runsLeft, &deletedLeft), false);
    }
    EXPECT_TRUE(deletedLeft);
}

TEST(NonPlayingCharacter, MouseEventsAndTheDefaultScript) {
    testsupport::TempDir dir;
    dir.WriteFile("Idle.lua", "idleRuns = (idleRuns or 0) + 1 idleCode = GetScriptCode()\n");
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeActive(lua, "Walker");
    lua.Entities().ClearActiveEntity();

    int runs = 0;
    bool deleted = false;
    npc->PushAI("step", -1, new CountingPackage(&runs, &deleted), true);
    lua.Entities().SetMouseState(0);
    npc->Update();
    lua.Entities().SetMouseState(1);
    npc->Update();
    lua.Entities().SetMouseState(-1);
    npc->Update();
    EXPECT_EQ(runs, 3);  // one step per mouse event as well as the tick

    // With the queue empty the default script runs every step, with the
    // character active and its script code.
    npc->ClearAIQueue();
    npc->SetDefaultScript("Idle.lua");
    npc->SetScriptCode(42);
    npc->Update();
    npc->Update();
    EXPECT_EQ(lua.GetNumber("idleRuns"), 2);
    EXPECT_EQ(lua.GetNumber("idleCode"), 42);
    EXPECT_EQ(lua.Entities().GetActiveEntity(), npc);
}

TEST(NonPlayingCharacter, GeometryClickBoxAndDrawOrder) {
    NonPlayingCharacter npc;
    npc.SetBoundaryOffsets(-5, 7, -3, 4, -20, 0);
    EXPECT_EQ(std::vector<int32_t>({npc.GetXSize(), npc.GetYSize(), npc.GetZSize()}),
              std::vector<int32_t>({12, 7, 20}));
    EXPECT_EQ(npc.GetDimensions().xmin, 0);  // not recomputed yet
    npc.SetCoordinates(100, 50, -2);
    Dimensions d = npc.GetDimensions();
    EXPECT_EQ(d.xmin, 95);
    EXPECT_EQ(d.xmax, 107);
    EXPECT_EQ(d.ymin, 47);
    EXPECT_EQ(d.zmin, -22);
    int32_t l, t, r, b;
    npc.GetClickBox(&l, &t, &r, &b);
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({91, 3, 109, 58}));
    EXPECT_TRUE(npc.HitTest(91, 3));
    EXPECT_TRUE(npc.HitTest(109, 58));
    EXPECT_FALSE(npc.HitTest(110, 58));
    EXPECT_FALSE(npc.HitTest(91, 2));

    npc.SetDisplayData(16, 40, 0, 0);
    npc.SetPositionByImage(10, 20, 0);
    EXPECT_EQ(npc.GetDimensions().X, 26);
    EXPECT_EQ(npc.GetDimensions().Y, 60);
    npc.SetCoordinateData(1, 2, 3, 8, 9, 10);
    EXPECT_EQ(npc.GetDimensions().ZSize, 10);
    EXPECT_EQ(npc.GetDimensions().zmax, 3);

    // Flat map keys at Y = 100.
    npc.SetCoordinates(0, 100, 0);
    const int expected[8] = {103, 98, 99, 98, 100, 98, 99, 98};
    for (int direction = 0; direction < 8; ++direction) {
        npc.SetAnimTimerAndDirection(0, direction);
        EXPECT_EQ(npc.GetDrawOrderKey(), expected[direction]) << direction;
    }
    // At the top of the 32-bit range the key saturates instead of wrapping.
    npc.SetCoordinates(0, INT32_MAX, 0);
    npc.SetAnimTimerAndDirection(0, 0);
    EXPECT_EQ(npc.GetDrawOrderKey(), INT32_MAX);
    npc.SetDisplaySuppression(true);
    EXPECT_EQ(npc.GetDrawOrderKey(), -1);
}

TEST(NonPlayingCharacter, StateFlags) {
    NonPlayingCharacter npc;
    npc.AllocateStateVariables(3);
    npc.SetStateVariable(0, "Stationary", 1);
    npc.SetStateVariable(1, "Walking", 0);
    npc.SetStateVariable(2, "Walking", 5);
    npc.SetStateVariable(3, "Running", 1);  // out of range: nothing
    npc.SetStateVariable(-1, "Running", 1);

    npc.SetActiveStateByName("Walking");
    EXPECT_EQ(npc.GetActiveState(), 2);  // the last match
    EXPECT_EQ(npc.GetStateVariables()[0].flag, 0);
    EXPECT_EQ(npc.GetStateVariables()[1].flag, 1);
    npc.SetActiveStateByName("Flying");
    for (const auto& state : npc.GetStateVariables()) EXPECT_EQ(state.flag, 0);
    EXPECT_EQ(npc.GetActiveState(), 2);
    npc.SetActiveStateByIndex(0);
    npc.SetActiveStateByIndex(7);
    EXPECT_EQ(npc.GetActiveState(), 0);
    EXPECT_EQ(npc.GetStateVariables()[0].flag, 1);
}

TEST(NonPlayingCharacter, PropertyRoutingAndForgetting) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeActive(lua, "Guard");
    npc->AllocateStateVariables(1);
    npc->SetStateVariable(0, "Stationary", 1);
    PropertyRouter& router = lua.Router();

    EXPECT_EQ(router.Route("NPC", "", "St|Stationary"), &npc->GetStateVariables()[0].flag);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kByte);
    EXPECT_EQ(router.Route("NPC", "", "Dimensions"), npc->GetDimensionsPointer());
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kDimensions);
    auto* walk = static_cast<double*>(router.Route("NPC", "", "WalkSpeed"));
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(*walk, 2.2);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kDouble);

    StderrCapture cap;
    EXPECT_EQ(router.Route("NPC", "", "St|Walking"), nullptr);
    EXPECT_EQ(router.Route("NPC", "", "Colour"), nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kNone);
    EXPECT_EQ(cap.Take(),
              "Pointer Routing:  Failed, no state variable Walking found in Guard\n"
              "Pointer Routing:  Failed, no variable Colour found in Guard\n");

    // Kept addresses go when the character goes, and when its flags are
    // reallocated.
    PropertyRouter::SyncPointer direction, flag;
    ASSERT_TRUE(direction.Bind("NPC", "", "AnimDirection"));
    ASSERT_TRUE(flag.Bind("NPC", "", "St|Stationary"));
    double value = 0;
    EXPECT_TRUE(direction.Read(value));
    EXPECT_EQ(value, 4);
    npc->AllocateStateVariables(2);
    EXPECT_EQ(flag.Get(), nullptr);
    EXPECT_TRUE(direction.Read(value));
    lua.Entities().DeleteEntity(npc);
    EXPECT_EQ(direction.Get(), nullptr);
}

TEST(NonPlayingCharacter, FreedPartsAreForgottenByTheirWatchersOnly) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeActive(lua, "Guard");
    ASSERT_TRUE(
        lua.Run("NPC_AllocateStateVariables(1) NPC_SetStateVariable(0, 'Walking', 1) "
                "NPC_SetDisplayData(0, 0, 8, 8)"));

    // Watchers of the image, a flag, the position and a speed.
    PropertyRouter::SyncPointer image, flag, dimensions, speed;
    ASSERT_TRUE(image.Bind("NPC", "Guard", "Appearance"));
    ASSERT_TRUE(flag.Bind("NPC", "Guard", "St|Walking"));
    ASSERT_TRUE(dimensions.Bind("NPC", "Guard", "Dimensions"));
    ASSERT_TRUE(speed.Bind("NPC", "Guard", "WalkSpeed"));

    // A new image: only the old image's watchers lose it.
    ASSERT_TRUE(lua.Run("NPC_SetDisplayData(0, 0, 16, 16)"));
    EXPECT_EQ(image.Get(), nullptr);
    EXPECT_NE(flag.Get(), nullptr);
    EXPECT_EQ(dimensions.Get(), npc->GetDimensionsPointer());

    // New flags: only the old flags' watchers lose them.
    ASSERT_TRUE(image.Bind("NPC", "Guard", "Appearance"));
    ASSERT_TRUE(lua.Run("NPC_AllocateStateVariables(3)"));
    EXPECT_EQ(flag.Get(), nullptr);
    EXPECT_NE(image.Get(), nullptr);
    EXPECT_EQ(dimensions.Get(), npc->GetDimensionsPointer());
    double value = 0;
    EXPECT_TRUE(speed.Read(value));
    EXPECT_EQ(value, 2.2);
}

TEST(NonPlayingCharacter, StateTreesWatchNumbersOnlyAndSurviveANewImage) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeActive(lua, "Guard");
    ASSERT_TRUE(
        lua.Run("NPC_AllocateStateVariables(1) NPC_SetStateVariable(0, 'Walking', 1) "
                "NPC_SetDisplayData(0, 0, 8, 8)"));
    npc->SetAnimTimerAndDirection(0, 300);
    AIDrawingList list(nullptr, nullptr);
    lua.AI().SetActiveDrawingList(&list);
    {
        // The image is no number: refused with a line, never active.
        StderrCapture cap;
        ASSERT_TRUE(lua.Run("AIDL_SetBaseStateToActive() AIS_AddState('Look', 3, 'NPC', 'Guard', 'Appearance', 0)"));
        EXPECT_EQ(cap.Take(),
                  "Animation State Constructor:  Warning, Appearance of Guard is not a number and is not watched\n");
    }
    EXPECT_EQ(list.ChooseAnimation(), -1);
    {
        // A flag and an int are read as what they are: 300 is not 44 though
        // its low byte is.
        StderrCapture cap;
        ASSERT_TRUE(
            lua.Run("AIDL_SetBaseStateToActive() AIS_AddState('Walk', 1, 'NPC', 'Guard', 'St|Walking', 0) "
                    "AIDL_SetBaseStateToActive() AIS_AddState('Turned', 2, 'NPC', 'Guard', 'AnimDirection', 44)"));
        EXPECT_EQ(cap.Take(), "");
    }
    EXPECT_EQ(list.ChooseAnimation(), 1);
    ASSERT_TRUE(lua.Run("NPC_SetStateVariable(0, 'Walking', 0)"));
    EXPECT_EQ(list.ChooseAnimation(), 2);

    // A new image or new flags while the tree watches: the next choice reads
    // nothing freed.
    ASSERT_TRUE(lua.Run("NPC_SetDisplayData(0, 0, 16, 16) NPC_AllocateStateVariables(2)"));
    EXPECT_EQ(list.ChooseAnimation(), 2);
    lua.AI().SetActiveDrawingList(nullptr);
}

TEST(NonPlayingCharacter, ScriptFunctionsConfigureTheActiveCharacter) {
    LuaTestState lua;
    NonPlayingCharacter* npc = MakeActive(lua, "Scripted");
    ASSERT_TRUE(
        lua.Run("NPC_SetInternalName('Renamed')\n"
                "NPC_SetBoundaryOffsetsData(-4.9, 4.9, -2, 2, -30, 0)\n"
                "NPC_SetPositionData(10.7, -20.7, 0)\n"
                "NPC_AllocateStateVariables(2) NPC_SetStateVariable(1, 'Walking', 1)\n"
                "NPC_SetDisplaySuppression(0)"));
    EXPECT_EQ(npc->GetInternalName(), "Renamed");
    EXPECT_EQ(npc->GetXSize(), 8);  // truncated toward zero: -4 .. 4
    EXPECT_EQ(npc->GetDimensions().Y, -20);
    EXPECT_EQ(npc->GetDimensions().xmin, 6);  // X = 10
    EXPECT_EQ(npc->GetStateVariables()[1].name, "Walking");
    EXPECT_FALSE(npc->IsDisplaySuppressed());

    {
        // A stray huge count is refused and the flags stay.
        StderrCapture cap;
        ASSERT_TRUE(lua.Run("NPC_AllocateStateVariables(2^31)"));
        EXPECT_EQ(cap.Take(), "NPC AllocateStateVariables:  Failed, too many state variables\n");
        EXPECT_EQ(npc->GetStateCount(), 2);
    }
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("NPC_PushAI('go', -1, 'Basic Pathing', 'FlySpeed', 1, 2)"));
    ASSERT_TRUE(lua.Run("NPC_PushAI('trail', -1, 'Trail Target', 'St|Stationary', 'St|Walking', 'St|Running')"));
    EXPECT_EQ(cap.Take(),
              "Pointer Routing:  Failed, no variable FlySpeed found in Renamed\n"
              "NPC PushAI:  -Basic Pathing- Failed, can't find speed FlySpeed\n"
              "Pointer Routing:  Failed, no state variable Stationary found in Renamed\n"
              "NPC_PushAI: -Trail Target- Failed, error in variable gathering\n");
    EXPECT_EQ(npc->GetAIQueueLength(), 0);

    // Without an active character each says so after the manager's line and
    // changes nothing.
    lua.Entities().ClearActiveEntity();
    StderrCapture capNone;
    ASSERT_TRUE(lua.Run("NPC_SetPositionData(1, 2, 3) NPC_PushAI('x', 1, 'Force Frame', 0, 2)"));
    EXPECT_EQ(capNone.Take(),
              "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n"
              "NPC SetPositionData:  Failed, Active NPC not set\n"
              "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n"
              "NPC PushAI:  Failed, Active NPC not set\n");
    EXPECT_EQ(npc->GetDimensions().X, 10);
}

TEST(NonPlayingCharacter, DrawsShadowAndAppearanceAtTheScreenPosition) {
    testsupport::EnsureAllegro();
    GlobalState* state = GetGlobalState();
    ALLEGRO_BITMAP* previousTarget = al_get_target_bitmap();

    BitmapWrapper shadow(4, 4, &state->openGLMode);
    shadow.ClearToRGBA(0, 0, 255, 255);
    BitmapWrapper* shadows[4] = {nullptr, &shadow, nullptr, nullptr};
    BitmapWrapper target(200, 200, &state->openGLMode);
    target.ClearToRGBA(0, 0, 0, 255);

    NonPlayingCharacter npc;
    npc.SetShadowSet(shadows);
    npc.SetBoundaryOffsets(-5, 5, -5, 5, 0, 0);
    npc.SetDisplayData(8, 16, 16, 20);
    npc.SetCoordinates(60, 80, 0);
    ASSERT_NE(npc.GetAppearance(), nullptr);
    Camera camera(10, 20, 1, 1);
    npc.Draw(&target, &camera);
    EXPECT_EQ(npc.GetScreenX(), 60 - 8 - 10);
    EXPECT_EQ(npc.GetScreenY(), 80 - 16 - 20);
    int32_t l, t, r, b;
    npc.GetClickBox(&l, &t, &r, &b);
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({45, 55, 55, 65}));

    // The shadow (size 1 by the minimum) is at (X - 14 - cx, Y - 2 - cy).
    ALLEGRO_COLOR pixel = al_get_pixel(target.GetBitmap(), 60 - 14 - 10 + 1, 80 - 2 - 20 + 1);
    unsigned char red, green, blue;
    al_unmap_rgb(pixel, &red, &green, &blue);
    EXPECT_EQ(blue, 255);

    // A suppressed or disabled character is not drawn.
    target.ClearToRGBA(0, 0, 0, 255);
    npc.SetDisplaySuppression(true);
    npc.Draw(&target, &camera);
    al_unmap_rgb(al_get_pixel(target.GetBitmap(), 37, 59), &red, &green, &blue);
    EXPECT_EQ(blue, 0);
    if (previousTarget) al_set_target_bitmap(previousTarget);
}
