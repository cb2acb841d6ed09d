#include "world/ObjectBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/Random.h"
#include "core/base/TransitionState.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Animation.h"
#include "world/BasePhysicsPack.h"
#include "world/EntityManager.h"
#include "world/ObjectItem.h"
#include "world/ObjectStaticAnimation.h"
#include "world/ObjectStaticAutoScript.h"
#include "world/ObjectStaticPosition.h"
#include "world/ObjectStaticTransition.h"
#include "world/PlayerVorn.h"
#include "world/WithPlayer.h"
#include "world/ai/AIManager.h"

using testsupport::LuaTestState;
using testsupport::Stderr;
using testsupport::StderrCapture;
using testsupport::TempDir;
using testsupport::WithPlayer;

TEST(ObjectBase, DrawOrderRoutedPropertiesAndKeptAddresses) {
    LuaTestState lua;
    ObjectItem* item = nullptr;
    Stderr([&] { item = new ObjectItem; });  // no shadows in the library
    auto* animation = new ObjectStaticAnimation;
    lua.Entities().RegisterPointer(EntityManager::kObject, "Item", item);
    lua.Entities().RegisterPointer(EntityManager::kObject, "Anim", animation);

    animation->SetCoordinates(10, 21, -4);
    animation->SetDimensions(8, 7, 6);
    EXPECT_EQ(animation->GetDrawOrderKey(), 21 + 3);  // flat map: Y + YDim / 2
    EXPECT_EQ(ObjectStaticPosition().GetDrawOrderKey(), -1);

    PropertyRouter& router = lua.Router();
    lua.Entities().SetActiveEntity(animation);
    void* address = router.Route("Object", "", "YPos");
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kInt);
    ASSERT_NE(address, nullptr);
    *static_cast<int32_t*>(address) = 77;
    EXPECT_EQ(animation->GetBox().Y, 77);
    EXPECT_EQ(router.Route("Object", "", "Dimensions"), &animation->GetBox());
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kObjectBox);
    // No physics pack, no speeds: nothing found.
    EXPECT_EQ(router.Route("Object", "", "PhysicsPtr"), nullptr);
    EXPECT_EQ(router.Route("Object", "", "XSpeed"), nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kNone);

    // An item answers with its physics pack first.
    lua.Entities().SetActiveEntity(item);
    EXPECT_EQ(router.Route("Object", "", "PhysicsPtr"), item->GetPhysics());
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kPhysicsPack);
    EXPECT_NE(router.Route("Object", "", "ZSpeed"), nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kFloat);

    // Kept addresses into an object, its physics pack included, are cleared
    // when the pack is replaced and when the object goes.
    PropertyRouter::SyncPointer position, speed;
    ASSERT_TRUE(position.Bind("Object", "", "XPos"));
    ASSERT_TRUE(speed.Bind("Object", "", "XSpeed"));
    item->SetPhysics(std::make_unique<BasePhysicsPack>());
    EXPECT_EQ(speed.Get(), nullptr);
    ASSERT_TRUE(position.Bind("Object", "", "XPos"));
    ASSERT_TRUE(speed.Bind("Object", "", "XSpeed"));
    EXPECT_EQ(speed.Get(), item->GetPhysics()->GetPropertyAddress("XSpeed"));
    Stderr([&] { lua.Run("EM_OBJ_RemoveObject('Item')"); });
    EXPECT_EQ(position.Get(), nullptr);
    EXPECT_EQ(speed.Get(), nullptr);
}

TEST(ObjectBase, KillScriptRunsWithItsCodeUntilTheObjectIsRemoved) {
    TempDir dir;
    dir.WriteFile("kill.lua", "killed = (killed or 0) + 1 code = GetScriptCode()\n");
    LuaTestState lua;
    ObjectStaticAnimation animation;
    animation.RunKillScript();  // none set: nothing
    EXPECT_TRUE(lua.IsNil("killed"));
    animation.SetKillScript("kill.lua", 42);
    animation.RunKillScript();
    EXPECT_EQ(lua.GetNumber("killed"), 1);
    EXPECT_EQ(lua.GetNumber("code"), 42);

    Stderr([&] { animation.SetAnimationData("missing", 0, 0, 1); });
    animation.Update();
    ASSERT_TRUE(animation.IsRemoved());
    animation.RunKillScript();
    EXPECT_EQ(lua.GetNumber("killed"), 1);
}

TEST(ObjectItem, BoundsPhysicsNudgeAndImage) {
    LuaTestState lua;
    std::unique_ptr<ObjectItem> item;
    Stderr([&] { item = std::make_unique<ObjectItem>(); });
    EXPECT_EQ(item->GetShadow(3), nullptr);
    const ObjectBox& box = item->GetBox();
    EXPECT_EQ(box.x1, -8);  // 16 x 16 x 16 from the start
    EXPECT_EQ(box.z2, 8);
    item->SetCoordinates(-5, 101, 0);
    item->SetDimensions(5, 16, 16);
    item->Update();
    // Halves truncate toward zero.
    EXPECT_EQ(box.x1, -7);
    EXPECT_EQ(box.x2, -3);
    EXPECT_EQ(box.y1, 93);
    EXPECT_EQ(box.y2, 109);

    // A push reaches it within 19 units on every axis only; the y part of
    // the random push is drawn first.
    int draws[] = {100, 0};
    int next = 0;
    SetRandomSource([&] { return draws[next++ % 2]; });
    item->Nudge(-5 + 20, 101, 0, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(item->GetPhysics()->GetVX(), 0.0f);
    item->Nudge(-5 - 19, 101 + 19, -19, 1.0f, 1.0f, 1.0f);
    SetRandomSource({});
    EXPECT_FLOAT_EQ(item->GetPhysics()->GetVX(), 1.0f);
    EXPECT_FLOAT_EQ(item->GetPhysics()->GetVY(), 1.0f + 50 / 20.0f);
    EXPECT_FLOAT_EQ(item->GetPhysics()->GetVZ(), 1.0f - 50 / 10.0f);

    EXPECT_EQ(Stderr([&] { item->SetImage(nullptr); }), "ObjectItem::SetImage:  Warning, image was NULL\n");
    item->SetPhysics(nullptr);
    item->SetCoordinates(40, 40, 40);
    item->Update();  // without physics only the bounds follow
    EXPECT_EQ(box.x1, 38);
}

TEST(ObjectStaticAnimation, CountsDownAndMarksItselfRemoved) {
    LuaTestState lua;
    auto* frames = new Animation;
    ASSERT_TRUE(lua.AI().AddAnimation("Sparkle", frames));
    ObjectStaticAnimation once;
    once.Update();  // no data yet: nothing moves
    EXPECT_EQ(once.GetTimer(), 0);
    EXPECT_FALSE(once.IsRemoved());
    EXPECT_EQ(Stderr([&] { once.SetAnimationData("Sparkle", 2, 5, 1); }), "");
    EXPECT_EQ(once.GetAnimation(), frames);
    once.Update();
    EXPECT_TRUE(once.IsRemoved());
    EXPECT_EQ(once.GetTimer(), 6);

    // Updates go on after it finished without running past the range.
    EXPECT_EQ(Stderr([&] { once.SetAnimationData("Nothing", 0, 2147483647, -2147483647 - 1); }),
              "ObjectStaticAnimation SetAnimationData:  Warning, animation Nothing not found\n");
    once.Update();
    EXPECT_EQ(once.GetTimer(), 2147483647);
    EXPECT_EQ(once.GetRemaining(), -2147483647 - 1);
}

TEST(ObjectStaticTransition, ZonesHoldThePlayerAndRequestTheTransition) {
    LuaTestState lua;
    WithPlayer with;
    with.player.SetPosition(100.0f, 50.0f, 0.0f);
    ObjectStaticTransition zone;
    TransitionState& record = GetTransitionState();

    // Radius equal to the distance: outside. Radius 10.9 is stored as 10.
    zone.AddCircle(106.0f, 58.0f, 10.9f);
    EXPECT_EQ(zone.GetGeometry()[0].c, 10.0f);
    zone.SetLevelDestination("Cellar");
    zone.SetCoordinateDestination(5, 6, 7);
    zone.Update();
    EXPECT_FALSE(record.mapName);
    // Strictly closer than the radius: inside.
    with.player.SetPosition(105.0f, 50.0f, 0.0f);
    zone.Update();
    EXPECT_EQ(record.mapName, "Cellar");
    EXPECT_EQ(record.entityMode, 0);
    EXPECT_EQ(record.dropX, 5);
    EXPECT_EQ(record.dropZ, 7);

    // Rectangle edges count as inside; the first piece holding the player
    // decides.
    ClearTransitionState();
    zone.ClearGeometry();
    EXPECT_TRUE(zone.GetGeometry().empty());
    zone.AddRectangle(0.0f, 0.0f, 104.9f, 49.5f);
    EXPECT_FALSE(zone.IsPlayerInConstruct(zone.GetGeometry()[0]));
    zone.AddRectangle(105.0f, 40.0f, 200.0f, 50.0f);
    zone.SetEntityDestination("Door");
    EXPECT_EQ(zone.GetDestinationX(), -1);
    zone.Update();
    EXPECT_EQ(record.mapName, "Cellar");
    EXPECT_EQ(record.entityMode, 1);
    EXPECT_EQ(record.entityName, "Door");

    // Back to a drop point: the entity name goes.
    zone.SetCoordinateDestination(1, 2, 3);
    EXPECT_FALSE(zone.GetEntityName());
    EXPECT_FALSE(zone.IsEntityMode());

    ObjectStaticTransition::Construct odd;
    odd.kind = 5;
    EXPECT_EQ(Stderr([&] { EXPECT_FALSE(zone.IsPlayerInConstruct(odd)); }),
              "ObjectStaticTransition::IsPlayerInConstruct:  Failed, type 5 not recognized\n");

    // Without a level nothing is asked for.
    ClearTransitionState();
    ObjectStaticTransition silent;
    silent.AddCircle(105.0f, 50.0f, 3.0f);
    silent.Update();
    EXPECT_FALSE(record.mapName);
}

TEST(ObjectStaticAutoScript, RunsAtOnceThenEveryDelayTicksWithItsVariables) {
    TempDir dir;
    dir.WriteFile("tick.lua",
                  "runs = (runs or 0) + 1\n"
                  "codes = (codes or '') .. GetScriptCode() .. ' '\n"
                  "if GetScriptCode() == -2 then OBJSAS_AddFloat('n', 1.5) OBJSAS_AddString('s', 'a') end\n"
                  "OBJSAS_ModFloat('n', OBJSAS_GetFloat('n') + 1)\n"
                  "OBJSAS_ModString('s', OBJSAS_GetString('s') .. 'b')\n"
                  "missingText = OBJSAS_GetString('none') missingNumber = OBJSAS_GetFloat('none')\n");
    LuaTestState lua;
    ObjectStaticAutoScript ticker;
    ticker.Update();  // no path: nothing
    EXPECT_TRUE(lua.IsNil("runs"));

    ticker.SetDelay(3);
    ticker.SetPath("tick.lua");
    EXPECT_EQ(lua.GetNumber("runs"), 1);
    EXPECT_EQ(lua.Manager().GetCallerEntity(), nullptr);
    std::string ran;
    for (int update = 1; update <= 7; ++update) {
        double before = lua.GetNumber("runs");
        ticker.Update();
        if (lua.GetNumber("runs") > before) ran += std::to_string(update) + " ";
    }
    EXPECT_EQ(ran, "1 4 7 ");
    EXPECT_EQ(lua.GetString("codes"), "-2 -1 -1 -1 ");
    EXPECT_FLOAT_EQ(ticker.GetFloat("n"), 5.5f);
    ASSERT_NE(ticker.GetString("s"), nullptr);
    EXPECT_EQ(*ticker.GetString("s"), "abbbb");
    EXPECT_TRUE(lua.IsNil("missingText"));
    EXPECT_EQ(lua.GetType("missingNumber"), LUA_TNUMBER);
    EXPECT_EQ(lua.GetNumber("missingNumber"), 0);

    // Duplicates: lookups and changes take the first.
    ticker.AddFloat("n", 9.0f);
    ticker.ModFloat("n", 2.0f);
    EXPECT_FLOAT_EQ(ticker.GetFloat("n"), 2.0f);

    // No delay: every update. A countdown left by an odd delay does not run
    // past the range.
    ticker.SetDelay(0);
    double before = lua.GetNumber("runs");
    ticker.Update();
    ticker.Update();
    EXPECT_EQ(lua.GetNumber("runs"), before + 2);
    ticker.SetDelay(-2147483647 - 1);
    ticker.Update();
    ticker.SetDelay(2);
    ticker.Update();
    EXPECT_EQ(ticker.GetCountdown(), 2);
}

TEST(ObjectStaticAutoScript, ScriptMayRemoveItsOwnObjectAndCallersNest) {
    TempDir dir;
    dir.WriteFile("vanish.lua", "EM_OBJ_RemoveObject('Ghost') OBJSAS_AddFloat('late', 1) vanished = GetScriptCode()\n");
    dir.WriteFile("later.lua", "if GetScriptCode() == -1 then dofile('vanish.lua') end\n");
    dir.WriteFile("outer.lua",
                  "if GetScriptCode() == -2 then\n"
                  "  EM_OBJ_CreateObject('Inner', 'StaticAutoScript') OBJSAS_SetPath('inner.lua')\n"
                  "  OBJSAS_AddString('who', 'outer') who = OBJSAS_GetString('who')\n"
                  "end\n");
    dir.WriteFile("inner.lua", "OBJSAS_AddString('who', 'inner')\n");
    LuaTestState lua;
    EntityManager& em = lua.Entities();

    // Removed by its own script while its path is set (outside any walk):
    // the script host forgets it as caller.
    EXPECT_EQ(Stderr([&] { lua.Run("EM_OBJ_CreateObject('Ghost', 'StaticAutoScript') OBJSAS_SetPath('vanish.lua')"); }),
              "OBJSAS_AddFloat:  Failed, script did not have a caller entity\n");
    EXPECT_EQ(lua.GetNumber("vanished"), -2);
    EXPECT_EQ(em.GetObject("Ghost"), nullptr);
    // Removed by its own script during the entity manager's update walk.
    ASSERT_TRUE(lua.Run("EM_OBJ_CreateObject('Ghost', 'StaticAutoScript') OBJSAS_SetPath('later.lua')"));
    ASSERT_NE(em.GetObject("Ghost"), nullptr);
    Stderr([&] { em.UpdateAll(); });
    EXPECT_EQ(lua.GetNumber("vanished"), -1);
    EXPECT_EQ(em.GetObject("Ghost"), nullptr);
    EXPECT_EQ(em.GetEntityCount(), 0);

    // A script that sets another object's path finds its own caller again.
    ASSERT_TRUE(lua.Run("EM_OBJ_CreateObject('Outer', 'StaticAutoScript') OBJSAS_SetPath('outer.lua')"));
    EXPECT_EQ(lua.GetString("who"), "outer");
    auto* inner = dynamic_cast<ObjectStaticAutoScript*>(em.GetObject("Inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(*inner->GetString("who"), "inner");

    // Outside a script of its own there is no caller.
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("x = OBJSAS_GetFloat('who')"));
    EXPECT_EQ(cap.Take(), "OBJSAS_GetFloat:  Failed, script did not have a caller entity\n");
    EXPECT_TRUE(lua.IsNil("x"));
}
