// The world-object script functions: creation through the entity manager,
// the active-object checks and what each function sets.
#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "world/Animation.h"
#include "world/EntityManager.h"
#include "world/ObjectItem.h"
#include "world/ObjectStaticAnimation.h"
#include "world/ObjectStaticAutoScript.h"
#include "world/ObjectStaticPosition.h"
#include "world/ObjectStaticTransition.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIManager.h"

using testsupport::LuaTestState;
using testsupport::RunScript;
using testsupport::StderrCapture;

TEST(ObjectLua, CreateObjectMakesEachKindActive) {
    LuaTestState lua;
    EntityManager& em = lua.Entities();
    RunScript(lua,
              "EM_OBJ_CreateObject('I', 'Item') EM_OBJ_CreateObject('A', 'StaticAnimation')"
              " EM_OBJ_CreateObject('P', 'StaticPosition') EM_OBJ_CreateObject('T', 'StaticTransition')"
              " EM_OBJ_CreateObject('S', 'StaticAutoScript')");
    EXPECT_NE(dynamic_cast<ObjectItem*>(em.GetObject("I")), nullptr);
    EXPECT_NE(dynamic_cast<ObjectStaticAnimation*>(em.GetObject("A")), nullptr);
    EXPECT_NE(dynamic_cast<ObjectStaticPosition*>(em.GetObject("P")), nullptr);
    EXPECT_NE(dynamic_cast<ObjectStaticTransition*>(em.GetObject("T")), nullptr);
    EXPECT_NE(dynamic_cast<ObjectStaticAutoScript*>(em.GetObject("S")), nullptr);
    EXPECT_EQ(em.GetActiveObject(), em.GetObject("S"));
    EXPECT_EQ(RunScript(lua, "EM_OBJ_CreateObject('X', 'Static')"),
              "EM_OBJ_CreateObject:  Failed, no type Static found\n");
    EXPECT_EQ(em.GetEntityCount(), 5);
}

TEST(ObjectLua, FunctionsCheckTheActiveObjectAndItsKind) {
    LuaTestState lua;
    EXPECT_EQ(RunScript(lua, "OBJ_SetKillScript('k.lua', 1) OBJST_ClearGeometryList()"),
              "OBJ_SetKillScript:  Failed, Active Object not set\n"
              "OBJST_ClearGeometryList:  Failed, Active Object not set\n");
    RunScript(lua,
              "EM_OBJ_CreateObject('Mark', 'StaticPosition') OBJ_SetDimensions(4, 5.9, -6.9)"
              " OBJ_SetKillScript('k.lua', 7.8)");
    auto* mark = dynamic_cast<ObjectBase*>(lua.Entities().GetObject("Mark"));
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->GetBox().YDim, 5);
    EXPECT_EQ(mark->GetBox().ZDim, -6);
    EXPECT_EQ(mark->GetKillScriptCode(), 7);
    EXPECT_EQ(RunScript(lua,
                        "Hook_OBJI_SetImage('a', 'b', 'c', 'd') OBJSA_SetAnimationData('x', 0, 0, 1)"
                        " OBJST_ClearGeometryList(1, 2, 3) OBJSAS_SetPath('x.lua')"),
              "OBJI_SetImage:  Failed, Active Object pointer is of the wrong type\n"
              "ObjectStaticAnimation SetAnimationData:  Failed, Active Object pointer is of the wrong type\n"
              "OBJST_ClearGeometryList:  Failed, Active Object is not an ObjectStaticTransition\n"
              "OBJSAS_SetPath:  Failed, Active Object is not an ObjectStaticAutoScript\n");

    // Without an entity manager every function says so.
    EntityManager* saved = GetGlobalState()->entityManager;
    GetGlobalState()->entityManager = nullptr;
    std::string out = RunScript(lua, "OBJ_SetCoordinates(1, 2, 3) OBJSAS_SetDelay(1)");
    GetGlobalState()->entityManager = saved;
    EXPECT_EQ(out,
              "OBJ_SetCoordinates:  Failed, EntityManager does not exist\n"
              "OBJSAS_SetDelay:  Failed, EntityManager does not exist\n");
}

TEST(ObjectLua, TransitionAnimationAndItemSetters) {
    LuaTestState lua;
    EntityManager& em = lua.Entities();
    RunScript(lua,
              "EM_OBJ_CreateObject('Gate', 'StaticTransition') OBJST_AddCircle(1.5, 2.5, 7.9)"
              " OBJST_SetCoordinateDestination(3.9, -4.9, 5) OBJST_ClearGeometryList('ignored')"
              " OBJST_AddRectangle(1, 2, 3, 4)");
    auto* gate = dynamic_cast<ObjectStaticTransition*>(em.GetObject("Gate"));
    ASSERT_NE(gate, nullptr);
    ASSERT_EQ(gate->GetGeometry().size(), 1u);
    EXPECT_EQ(gate->GetGeometry()[0].kind, ObjectStaticTransition::kRectangle);
    EXPECT_EQ(gate->GetDestinationY(), -4);

    ASSERT_TRUE(lua.AI().AddAnimation("Puff", new Animation));
    EXPECT_EQ(
        RunScript(lua, "EM_OBJ_CreateObject('Smoke', 'StaticAnimation') OBJSA_SetAnimationData('Puff', 2.9, 4, 1)"),
        "");
    auto* smoke = dynamic_cast<ObjectStaticAnimation*>(em.GetObject("Smoke"));
    ASSERT_NE(smoke, nullptr);
    EXPECT_EQ(smoke->GetDirection(), 2);
    em.UpdateAll();
    EXPECT_TRUE(smoke->IsRemoved());
    EXPECT_EQ(em.GetObject("Smoke"), smoke);  // it stays in the list

    // The item's image: found, or missing with its lines and null stored.
    int picture = 0;
    lua.Library().AddSection("Images");
    lua.Library().AddCatalogue("Images", "Items");
    lua.Library().AddHeading("Images", "Items", "Loot");
    lua.Library().Register("Images", "Items", "Loot", "Coin", &picture, DataKind::Bitmap);
    StderrCapture cap;
    lua.Run("EM_OBJ_CreateObject('Coin', 'Item')");
    cap.Take();
    auto* coin = dynamic_cast<ObjectItem*>(em.GetObject("Coin"));
    ASSERT_NE(coin, nullptr);
    EXPECT_EQ(RunScript(lua, "Hook_OBJI_SetImage('Images', 'Items', 'Loot', 'Coin')"), "");
    EXPECT_EQ(static_cast<void*>(coin->GetImage()), &picture);
    std::string out = RunScript(lua, "Hook_OBJI_SetImage('Images', 'Items', 'Loot', 'Gem')");
    EXPECT_NE(out.find("OBJI_SetImage:  Warning, image Gem not found\n"
                       "ObjectItem::SetImage:  Warning, image was NULL\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(coin->GetImage(), nullptr);
}
