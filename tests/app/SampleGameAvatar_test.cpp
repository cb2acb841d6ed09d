// The sample game's avatar script, which keeps its state in script
// variables, run on the player with the whole engine.
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

TEST_F(PlayerWorldTest, SampleGameAvatarScript) {
    LuaTestState lua;
    lua.Manager().SetBasePath(std::string(QEL_SOURCE_DIR) + "/game/");
    PlayerVorn player;
    GetGlobalState()->player = &player;
    player.SetName("Player1");
    player.SetAvatarScript("Data/Scripts/NPCs/Bramle/Constructor.lua");
    StderrCapture cap;
    player.CreateAvatar();
    EXPECT_EQ(cap.Take(), "");
    NonPlayingCharacter* avatar = player.GetAvatar();
    ASSERT_NE(avatar, nullptr);
    // The avatar's body matches the player's own, and every state the player
    // hands over exists.
    const Dimensions* d = player.GetDimensions();
    EXPECT_EQ(d->z1, -28);
    EXPECT_EQ(d->x2, 5);
    for (const char* state : {"Walking", "Trotting", "Running", "Jumping", "Stationary"}) {
        avatar->SetActiveStateByName(state);
        EXPECT_EQ(avatar->GetStateVariables()[avatar->GetActiveState()].name, state);
    }
}

// The sample game's avatar on a flat map, on the caves' isometric floor and
// back: its picture stands centred over its shadow, the feet at the
// shadow's upper half, whichever view the map script names.
TEST_F(PlayerWorldTest, SampleGameAvatarStandsOnItsShadowInEitherView) {
    testsupport::TempDir dir;
    LuaTestState lua;
    lua.Paths().AddPath("Maps", "Maps/");
    lua.Paths().AddPath("MapScripts", "Scripts/Maps/");
    // Ground only under cell (1, 1).
    slf::IsoMapWriter writer(3, 3, 2);
    writer.SetBlock(1, 1, 0, -1, -1, -1);
    std::string error;
    std::filesystem::create_directories("Maps");
    ASSERT_TRUE(writer.WriteFile("Maps/Ledge.slf", error)) << error;
    dir.WriteFile("Scripts/Maps/Ledge.lua", "");

    lua.Manager().SetBasePath(std::string(QEL_SOURCE_DIR) + "/game/");
    PlayerVorn player;
    GetGlobalState()->player = &player;
    player.SetName("Player1");
    player.SetAvatarScript("Data/Scripts/NPCs/Bramle/Constructor.lua");
    player.CreateAvatar();
    NonPlayingCharacter* avatar = player.GetAvatar();
    ASSERT_NE(avatar, nullptr);
    // A shadow of the sample game's size, opaque, so that it can be found.
    std::vector<std::unique_ptr<BitmapWrapper>> owned;
    BitmapWrapper* shadows[4];
    for (BitmapWrapper*& shadow : shadows) {
        owned.push_back(std::make_unique<BitmapWrapper>(28, 12, nullptr));
        owned.back()->ClearToRGBA(255, 0, 255, 255);
        shadow = owned.back().get();
    }
    avatar->SetShadowSet(shadows);
    BitmapWrapper target(640, 480, nullptr);
    Camera camera(-100, -100, 640, 480);

    struct Case {
        const char* view;
        bool isometric;
        float z;  // standing on the ground
    };
    for (const Case& c : {Case{"nil", false, 0}, Case{"'Isometric'", true, -30}, Case{"'Flat'", false, 0}}) {
        SCOPED_TRACE(c.view);
        ASSERT_TRUE(lua.Run(std::string("MapView = ") + c.view));
        lua.Manager().SetBasePath("NULL");
        if (c.isometric)
            ASSERT_TRUE(lua.Maps().LoadIsometricFile("Ledge.slf"));
        else
            lua.Maps().Unload();
        lua.Manager().SetBasePath(std::string(QEL_SOURCE_DIR) + "/game/");
        ASSERT_EQ(lua.Maps().IsIsometric(), c.isometric);
        camera.SetIsometric(c.isometric);
        player.SetPosition(45, 45, c.z);
        // Its step runs its script, which places the picture for the view.
        avatar->Update();
        target.ClearToRGBA(0, 0, 0, 255);
        avatar->Draw(&target, &camera);

        int left = 640, top = 480, right = -1, bottom = -1;
        al_lock_bitmap(target.GetBitmap(), ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READONLY);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                unsigned char r, g, b;
                al_unmap_rgb(al_get_pixel(target.GetBitmap(), x, y), &r, &g, &b);
                if (r == 255 && g == 0 && b == 255) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        al_unlock_bitmap(target.GetBitmap());
        ASSERT_EQ(right - left + 1, 28);
        ASSERT_EQ(bottom - top + 1, 12);
        const int pictureCentre = avatar->GetScreenX() + avatar->GetImageWidth() / 2;
        const int feet = avatar->GetScreenY() + avatar->GetImageHeight();
        EXPECT_EQ(avatar->GetImageWidth(), 18);
        EXPECT_EQ(avatar->GetImageHeight(), 28);
        EXPECT_NEAR(pictureCentre, left + 14, 1);
        EXPECT_GE(feet, top);
        EXPECT_LE(feet, top + 6);
    }
}

}  // namespace
