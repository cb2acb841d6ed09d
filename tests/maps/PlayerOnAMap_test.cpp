// The player with the script host and the managers: the avatar's record,
// the sample game's avatar script, standing on a map, and the script
// functions.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "IsoMapWriter.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/KeyboardManager.h"
#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIControlStack.h"
#include "gui/GUICoreTestObjects.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/PlayerWorldTest.h"
#include "support/QueryTerrain.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PhysicsMovement.h"
#include "world/PlayerVorn.h"
#include "world/Terrain.h"

using testsupport::LuaTestState;
using testsupport::PlayerWorldTest;
using testsupport::StderrCapture;

namespace {

// ---- With the script host and the managers ---------------------------------

TEST_F(PlayerWorldTest, AvatarSharesTheRecordAndSurvivesMapClears) {
    testsupport::TempDir dir;
    dir.WriteFile("Avatar.lua",
                  "NPC_AllocateStateVariables(3)\n"
                  "NPC_SetStateVariable(0, 'Stationary', 1)\n"
                  "NPC_SetStateVariable(1, 'Walking', 0)\n"
                  "NPC_SetStateVariable(2, 'Jumping', 0)\n"
                  "made = 1\n");
    LuaTestState lua;
    PlayerVorn player;
    GetGlobalState()->player = &player;
    player.SetName("Hero");
    player.CreateAvatar();  // no script yet: nothing
    EXPECT_EQ(player.GetAvatar(), nullptr);
    player.SetAvatarScript("Avatar.lua");
    player.SetPosition(40, 50, 0);
    player.CreateAvatar();
    ASSERT_EQ(lua.GetNumber("made"), 1);
    NonPlayingCharacter* avatar = player.GetAvatar();
    ASSERT_NE(avatar, nullptr);
    EXPECT_EQ(avatar->GetInternalName(), "Hero");
    EXPECT_EQ(lua.Entities().GetNPC("Hero"), avatar);
    EXPECT_EQ(player.GetDimensions(), avatar->GetDimensionsPointer());
    EXPECT_EQ(lua.Entities().GetEntityByName("Pelloc"), &player);

    player.SetPosition(60, 70, 0);
    EXPECT_EQ(avatar->GetDimensionsPointer()->X, 60);
    player.SetDirection(2);
    player.UpdateAnimationState();
    EXPECT_EQ(avatar->GetAnimDirection(), 2);

    // A map change keeps the avatar.
    lua.Maps().Unload();
    EXPECT_EQ(lua.Entities().GetNPC("Hero"), avatar);
    EXPECT_EQ(player.GetAvatar(), avatar);

    // Routed record fields belong to the avatar.
    void* address = lua.Router().Route("Player", "", "XCenter");
    EXPECT_EQ(address, &avatar->GetDimensionsPointer()->X);
    EXPECT_EQ(lua.Router().GetValueType(), PropertyRouter::kDouble);

    // Told that the avatar goes (another entity changes nothing), the player
    // keeps its position in a record of its own.
    player.ForgetAvatar(&player);
    EXPECT_EQ(player.GetAvatar(), avatar);
    player.ForgetAvatar(avatar);
    EXPECT_EQ(player.GetAvatar(), nullptr);
    EXPECT_EQ(player.GetDimensions()->X, 60);
    lua.Entities().DeleteEntity(avatar);
    // Deleted behind the player's back: the same, noticed from the list.
    player.CreateAvatar();
    player.SetPosition(60, 70, 0);
    lua.Entities().DeleteEntity(player.GetAvatar());
    EXPECT_EQ(player.GetAvatar(), nullptr);
    EXPECT_EQ(player.GetDimensions()->X, 60);
    player.UpdateAnimationState();  // no avatar to hand anything to

    // DestroyAvatar on a fresh one.
    player.CreateAvatar();
    ASSERT_NE(player.GetAvatar(), nullptr);
    player.SetPosition(5, 70, 0);
    player.DestroyAvatar();
    EXPECT_EQ(player.GetAvatar(), nullptr);
    EXPECT_EQ(lua.Entities().GetNPC("Hero"), nullptr);
    EXPECT_EQ(player.GetDimensions()->Y, 70);
}

TEST_F(PlayerWorldTest, ScriptFunctionsCameraAndLocks) {
    LuaTestState lua;
    StderrCapture none;
    ASSERT_TRUE(lua.Run("Player_SetPosition(1, 2, 3) Player_Enable()"));
    EXPECT_EQ(none.Take(),
              "Player_SetPosition:  Failed, PlayerVorn does not exist\n"
              "Player_Enable:  Failed, PlayerVorn does not exist\n");

    PlayerVorn player;
    GetGlobalState()->player = &player;
    ASSERT_TRUE(lua.Run("Player_SetPosition(12.5, 30, -4) Player_SetGameMode(2.9)"));
    EXPECT_DOUBLE_EQ(player.GetDimensions()->X, 12.5);
    EXPECT_DOUBLE_EQ(player.GetDimensions()->zmin, -32);
    EXPECT_TRUE(player.IsSideView());
    ASSERT_TRUE(lua.Run("Player_Disable()"));
    EXPECT_FALSE(player.IsActive());
    ASSERT_TRUE(lua.Run("Player_Enable()"));
    EXPECT_TRUE(player.IsActive());
    ASSERT_TRUE(lua.Run("MapM_SetDefaultPosition(300, 400)"));
    EXPECT_EQ(player.GetDimensions()->Y, 400);
    EXPECT_EQ(player.GetDimensions()->Z, 0);

    // The camera puts the player into isometric or flat controls.
    Camera* camera = lua.Cameras().GetCameraByIndex(0);
    ASSERT_NE(camera, nullptr);
    camera->SetIsometric(true);
    EXPECT_TRUE(player.UsesControllerA());
    EXPECT_FALSE(player.IsFlatIsometric());
    camera->SetIsometric(false);
    EXPECT_FALSE(player.UsesControllerA());
    // The map's tick on a flat map sets game mode 0 again.
    player.SetGameMode(2);
    lua.Maps().ProcessEvent(-1, 0, 0);
    EXPECT_FALSE(player.IsSideView());

    // The GUI control stack holds its lock while it has something on it; a
    // window with a lock name holds that lock while shown.
    GUIControlStack& stack = lua.Gui().GetControlStack();
    guitest::Widget widget;
    stack.Push(&widget);
    stack.Update();
    EXPECT_TRUE(player.HoldsInputLock("GUIControlStack"));
    stack.Remove(&widget);
    stack.Update();
    EXPECT_FALSE(player.HasInputLock());
    widget.SetInputLockName("Shop");
    widget.Show(false);
    EXPECT_TRUE(player.HoldsInputLock("Shop"));
    widget.Hide(false);
    EXPECT_FALSE(player.HasInputLock());
}

}  // namespace
