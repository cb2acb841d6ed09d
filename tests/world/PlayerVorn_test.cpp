#include "world/PlayerVorn.h"

#include <gtest/gtest.h>

#include <allegro5/allegro.h>

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
#include "support/QueryTerrain.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PhysicsMovement.h"
#include "world/Terrain.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

// Key codes of the default bindings.
constexpr int kUp = 84, kDown = 85, kLeft = 82, kRight = 83, kRunHold = 215, kRunToggle = 226, kTrot = 20,
              kJump = 75;

struct KeysDown : ALLEGRO_KEYBOARD_STATE {
    KeysDown(std::initializer_list<int> codes) {
        std::memset(static_cast<ALLEGRO_KEYBOARD_STATE*>(this), 0, sizeof(ALLEGRO_KEYBOARD_STATE));
        for (int code : codes) __key_down__internal__[code / 32] |= 1u << (code % 32);
    }
};

// Top down: a floor at z = 1 under everything. Side view (the map's rows
// standing for height): ground from row 1 down, and a wall from column
// g_wallColumn on.
// g_openFloor: a flat level's grid, which blocks by x and y only, so that
// nothing under the feet stops a fall.
bool g_sideView = false;
bool g_openFloor = false;
int g_wallColumn = 1000000;
bool FloorGrid(int32_t x, int32_t y, int32_t z) {
    if (g_sideView) return y >= 1 || x >= g_wallColumn;
    if (g_openFloor) return false;
    return z >= 1;
}

// A keyboard and a player in their slots, the movers over the floor grid.
class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalState* state = GetGlobalState();
        m_savedKeyboard = state->keyboardManager;
        m_savedPlayer = state->player;
        state->keyboardManager = &m_keyboard;
        state->player = &m_player;
        g_sideView = false;
        g_openFloor = false;
        g_wallColumn = 1000000;
        SetTerrain(&m_terrain);
        m_player.SetPosition(100, 100, 0);
    }
    void TearDown() override {
        SetTerrain(nullptr);
        GetGlobalState()->keyboardManager = m_savedKeyboard;
        GetGlobalState()->player = m_savedPlayer;
    }
    // One tick with exactly these keys down.
    void Tick(std::initializer_list<int> codes) {
        KeysDown keys(codes);
        m_keyboard.UpdateBindings(&keys);
        m_player.Update();
    }

    KeyboardManager m_keyboard;
    PlayerVorn m_player;
    testsupport::QueryTerrain m_terrain{FloorGrid};
    KeyboardManager* m_savedKeyboard = nullptr;
    PlayerVorn* m_savedPlayer = nullptr;
};

TEST_F(PlayerTest, DirectionTablesPerMode) {
    Tick({kTrot});  // trot off: the walk gait
    Tick({});
    EXPECT_FLOAT_EQ(m_player.GetCurrentSpeed(), 1.5f);

    m_player.SetGameMode(1);  // isometric grid: Up runs along both axes
    Tick({kUp});
    EXPECT_EQ(m_player.GetDirection(), 0);
    EXPECT_FLOAT_EQ(m_player.GetXSpeed(), -1.5f * 0.707f);
    EXPECT_FLOAT_EQ(m_player.GetYSpeed(), -1.5f * 0.707f);
    EXPECT_TRUE(m_player.IsOnGround());

    m_player.SetGameMode(100);
    Tick({kUp});
    EXPECT_FLOAT_EQ(m_player.GetXSpeed(), 0.0f);
    EXPECT_FLOAT_EQ(m_player.GetYSpeed(), -1.5f);

    // Opposite keys cancel.
    Tick({kUp, kDown, kLeft});
    EXPECT_EQ(m_player.GetDirection(), 6);

    m_player.SetGameMode(7);  // any other mode: screen controls with Z >= 0 as ground
    EXPECT_FALSE(m_player.UsesControllerA() || m_player.IsSideView());
    Tick({kUp, kLeft});
    EXPECT_EQ(m_player.GetDirection(), 7);
    EXPECT_FLOAT_EQ(m_player.GetXSpeed(), -1.5f * 0.707f);

    // No key: standing, speeds 0, the direction stays.
    Tick({});
    EXPECT_TRUE(m_player.IsStanding());
    EXPECT_EQ(m_player.GetXSpeed(), 0.0f);
    EXPECT_EQ(m_player.GetDirection(), 7);
}

TEST_F(PlayerTest, GaitsAndTheMoveItself) {
    m_player.SetGameMode(0);
    Tick({kRight});
    EXPECT_FLOAT_EQ(m_player.GetCurrentSpeed(), 2.2f);  // trots by default
    EXPECT_EQ(m_player.GetDimensions()->X, 102);         // carry 0.2
    Tick({kRight, kRunHold});
    EXPECT_TRUE(m_player.IsRunning());
    EXPECT_EQ(m_player.GetDimensions()->X, 107);

    Tick({kRunToggle});  // run toggle on
    Tick({kRunToggle, kRunHold});  // holding RunHold with the toggle on trots
    EXPECT_FALSE(m_player.IsRunning());
    EXPECT_FLOAT_EQ(m_player.GetCurrentSpeed(), 2.2f);
    Tick({});
    EXPECT_FLOAT_EQ(m_player.GetCurrentSpeed(), 5.0f);

    m_player.UpdateAnimationState();
    EXPECT_EQ(m_player.GetAnimationStateName(), "Stationary");  // standing long enough
    Tick({kLeft});
    m_player.UpdateAnimationState();
    EXPECT_EQ(m_player.GetAnimationStateName(), "Running");
    EXPECT_EQ(m_player.GetAnimationDirection(), 6);
}

// The gait chooses the state the avatar shows while the player moves: the
// player trots until the trot toggle is pressed, then walks; RunHold runs.
TEST_F(PlayerTest, MovingStateFollowsTheGaitToggles) {
    m_player.SetGameMode(0);
    struct Step {
        bool toggleTrotFirst;
        std::initializer_list<int> keys;
        const char* state;
    };
    const Step steps[] = {
        {false, {kRight}, "Trotting"}, {false, {kRight, kRunHold}, "Running"}, {true, {kRight}, "Walking"},
        {false, {kLeft, kRunHold}, "Running"}, {false, {kDown}, "Walking"},    {true, {kUp}, "Trotting"},
    };
    for (const Step& step : steps) {
        if (step.toggleTrotFirst) {
            Tick({kTrot});
            Tick({});
        }
        Tick(step.keys);
        m_player.UpdateAnimationState();
        EXPECT_EQ(m_player.GetAnimationStateName(), step.state);
    }
}

TEST_F(PlayerTest, JumpAndLandOnTheFloor) {
    m_player.SetGameMode(1);
    Tick({kJump});
    EXPECT_TRUE(m_player.IsJumping());
    EXPECT_EQ(m_player.GetDimensions()->Z, -5);
    m_player.UpdateAnimationState();
    EXPECT_EQ(m_player.GetAnimationStateName(), "Jumping");
    EXPECT_EQ(m_player.GetAnimationTimer(), 0);
    int ticks = 0;
    while (m_player.IsJumping() && ticks < 100) {
        Tick({kJump});  // held: no second jump
        ++ticks;
    }
    EXPECT_LT(ticks, 100);
    EXPECT_EQ(m_player.GetDimensions()->Z, 0);  // stopped by the floor at z = 1
    EXPECT_EQ(m_player.GetZSpeed(), 0.0f);
    EXPECT_FALSE(m_player.IsFalling());
}

TEST_F(PlayerTest, OnAFlatLevelEveryLandingEndsOnTheFloor) {
    g_openFloor = true;
    m_player.SetGameMode(0);
    struct Case {
        const char* what;
        float fromZ;  // 0: a jump from the floor; else a fall from there
    };
    for (const Case& c : {Case{"a jump", 0}, Case{"a second jump", 0}, Case{"a third jump", 0},
                          Case{"a fall from -7", -7}, Case{"a fall from -2.5", -2.5f}}) {
        SCOPED_TRACE(c.what);
        if (c.fromZ == 0) {
            Tick({kJump});
            EXPECT_TRUE(m_player.IsJumping());
        } else {
            m_player.SetPosition(100, 100, c.fromZ);
            Tick({});
            EXPECT_TRUE(m_player.IsFalling());
        }
        EXPECT_LT(m_player.GetDimensions()->Z, 0);
        for (int ticks = 0; ticks < 100 && (m_player.IsJumping() || m_player.IsFalling()); ++ticks) Tick({});
        EXPECT_FALSE(m_player.IsJumping() || m_player.IsFalling());
        const Dimensions* d = m_player.GetDimensions();
        EXPECT_EQ(d->Z, 0);
        EXPECT_EQ(d->zmax, 0);
        EXPECT_EQ(d->carryZ, 0);
        EXPECT_EQ(m_player.GetZSpeed(), 0.0f);
    }
}

TEST_F(PlayerTest, InputLocksBlankTheKeysButNotGravity) {
    m_player.SetGameMode(0);
    m_player.AddInputLock("Transition");
    m_player.AddInputLock("Transition");
    m_player.AddInputLock(static_cast<const char*>(nullptr));
    m_player.SetPosition(100, 100, -3);  // in the air
    Tick({kRight, kJump});
    EXPECT_TRUE(m_player.WasLocked());
    EXPECT_EQ(m_player.GetXSpeed(), 0.0f);
    EXPECT_FALSE(m_player.IsJumping());
    EXPECT_TRUE(m_player.IsFalling());  // the first tick off an edge adds no gravity
    for (const auto& entry : m_player.GetKeySnapshot()) {
        EXPECT_FALSE(entry.second.pressed || entry.second.held) << entry.first;
        EXPECT_TRUE(entry.second.ready) << entry.first;
    }
    for (int i = 0; i < 20 && m_player.IsFalling(); ++i) Tick({kRight});
    EXPECT_FALSE(m_player.IsFalling());
    EXPECT_GE(m_player.GetDimensions()->Z, 0);
    EXPECT_EQ(m_player.GetDimensions()->X, 100);

    m_player.RemoveInputLock("Transition");
    EXPECT_FALSE(m_player.HasInputLock());
    Tick({kRight});
    EXPECT_FALSE(m_player.WasLocked());
    EXPECT_GT(m_player.GetXSpeed(), 0.0f);
}

TEST_F(PlayerTest, SideViewDoubleJump) {
    // The map's rows stand for height: the ground is row 1, the feet at 0.
    g_sideView = true;
    m_player.SetGameMode(2);
    m_player.SetDirection(0);
    Tick({});
    EXPECT_EQ(m_player.GetDirection(), 2);
    EXPECT_TRUE(m_player.IsOnGround());
    // A jump sets twice the impulse, which the rise limit holds at -7.
    Tick({kJump});
    EXPECT_EQ(m_player.GetDimensions()->Z, -7);
    EXPECT_FLOAT_EQ(m_player.GetZSpeed(), -7.0f);
    Tick({});
    EXPECT_FLOAT_EQ(m_player.GetZSpeed(), -6.7f);
    Tick({kJump});  // a second press in the air jumps again
    EXPECT_TRUE(m_player.IsSecondJumpUsed());
    EXPECT_FLOAT_EQ(m_player.GetZSpeed(), -7.0f);
    Tick({});
    Tick({kJump});  // a third press does nothing more
    EXPECT_FLOAT_EQ(m_player.GetZSpeed(), -7.0f + 0.6f);

    // Air control turns and accelerates within the speed at the jump.
    Tick({kLeft});
    EXPECT_EQ(m_player.GetDirection(), 6);
    EXPECT_FLOAT_EQ(m_player.GetXSpeed(), -0.2f);
    for (int i = 0; i < 200 && !m_player.IsOnGround(); ++i) Tick({kLeft});
    EXPECT_TRUE(m_player.IsOnGround());
    EXPECT_FALSE(m_player.IsSecondJumpUsed());
    EXPECT_EQ(m_player.GetDimensions()->Z, 0);
    EXPECT_LT(m_player.GetDimensions()->X, 100);

    // A wall on the right: the side view stops before it.
    g_wallColumn = 108;
    m_player.SetPosition(100, 100, 0);
    EXPECT_TRUE(m_player.SolidUnderCentre());
    Tick({kRight});  // 2.2 units a tick: two units
    EXPECT_EQ(m_player.GetDimensions()->X, 102);
    Tick({kRight});
    EXPECT_EQ(m_player.GetDimensions()->X, 102);

    // Far beyond any map (a script's huge or infinite position): the probes
    // end at once instead of walking billions of free cells.
    g_sideView = false;
    for (float far : {3e9f, std::numeric_limits<float>::infinity()}) {
        m_player.SetPosition(far, 0, -100);
        Tick({kRight});
        EXPECT_FALSE(m_player.SolidUnderCentre());
    }
}

TEST_F(PlayerTest, DrawOrderAndProperties) {
    m_player.SetPosition(10.7f, 20.9f, 0);
    m_player.SetDirection(0);
    EXPECT_EQ(m_player.GetDrawOrderKey(), 23);
    m_player.SetDirection(3);
    EXPECT_EQ(m_player.GetDrawOrderKey(), 18);
    float x, y, z;
    m_player.GetPosition(&x, &y, &z);
    EXPECT_EQ(y, 20.0f);

    const void* owner = nullptr;
    auto* centre = static_cast<double*>(m_player.GetPropertyAddress("YCenter", &owner));
    ASSERT_NE(centre, nullptr);
    EXPECT_DOUBLE_EQ(*centre, 20.9f);
    EXPECT_EQ(owner, &m_player);
    EXPECT_EQ(m_player.GetPropertyAddress("Coord"), m_player.GetDimensions());
    EXPECT_EQ(m_player.GetPropertyAddress("Nothing", &owner), nullptr);
    EXPECT_EQ(owner, nullptr);
}

// ---- With the script host and the managers ---------------------------------

class PlayerWorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        m_saved = GetGlobalState()->player;
    }
    void TearDown() override { GetGlobalState()->player = m_saved; }
    PlayerVorn* m_saved = nullptr;
};

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
