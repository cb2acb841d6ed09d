#include "world/PlayerVorn.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <set>
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
constexpr int kUp = 84, kDown = 85, kLeft = 82, kRight = 83, kRunHold = 215, kRunToggle = 226, kTrot = 20, kJump = 75;

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
    // One tick with exactly these keys down: the key events since the last
    // tick, then the keyboard's update and the player's.
    void Tick(std::initializer_list<int> codes) {
        std::set<int> down(codes);
        for (int code : m_down)
            if (!down.count(code)) m_keyboard.NoteKeyEvent(code, false);
        for (int code : down)
            if (!m_down.count(code)) m_keyboard.NoteKeyEvent(code, true);
        m_down = down;
        m_keyboard.UpdateKeys();
        m_keyboard.UpdateBindings();
        m_player.Update();
    }
    std::set<int> m_down;

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
    EXPECT_EQ(m_player.GetDimensions()->X, 102);        // carry 0.2
    Tick({kRight, kRunHold});
    EXPECT_TRUE(m_player.IsRunning());
    EXPECT_EQ(m_player.GetDimensions()->X, 107);

    Tick({kRunToggle});            // run toggle on
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
        {false, {kRight}, "Trotting"}, {false, {kRight, kRunHold}, "Running"},
        {true, {kRight}, "Walking"},   {false, {kLeft, kRunHold}, "Running"},
        {false, {kDown}, "Walking"},   {true, {kUp}, "Trotting"},
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

}  // namespace
