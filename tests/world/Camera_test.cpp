#include "world/Camera.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "world/CameraManager.h"

using testsupport::LuaTestState;
using testsupport::RunScript;

namespace {

// An 800 x 600 window for the cameras' display size, put back afterwards.
class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        GlobalState* state = GetGlobalState();
        m_width = state->windowWidth;
        m_height = state->windowHeight;
        state->windowWidth = 800;
        state->windowHeight = 600;
    }
    void TearDown() override {
        GetGlobalState()->windowWidth = m_width;
        GetGlobalState()->windowHeight = m_height;
    }

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
};

void ExpectView(const Camera& camera, int x, int y, int right, int bottom) {
    EXPECT_EQ(camera.GetX(), x);
    EXPECT_EQ(camera.GetY(), y);
    EXPECT_EQ(camera.GetRight(), right);
    EXPECT_EQ(camera.GetBottom(), bottom);
}

}  // namespace

TEST_F(CameraTest, StartsWithTheDisplayAsItsBoundaries) {
    Camera camera(10, 20, 300, 200);
    ExpectView(camera, 10, 20, 310, 220);
    EXPECT_EQ(camera.GetMinX(), 0);
    EXPECT_EQ(camera.GetMaxX(), 800);
    EXPECT_EQ(camera.GetMaxY(), 600);
    EXPECT_FALSE(camera.IsIsometric());
    ASSERT_NE(camera.GetBitmap(), nullptr);
    EXPECT_EQ(camera.GetBitmap()->GetWidth(), 300);
    EXPECT_NE(camera.GetBitmap()->GetBitmap(), nullptr);

    // Views are held to the display; the position stays as it was.
    camera.SetDimensions(1024, 768);
    EXPECT_EQ(camera.GetWidth(), 800);
    EXPECT_EQ(camera.GetHeight(), 600);
    EXPECT_EQ(camera.GetBitmap()->GetWidth(), 800);
    EXPECT_EQ(camera.GetBitmap()->GetHeight(), 600);
    ExpectView(camera, 10, 20, 310, 220);
    camera.SetDimensions(-5, 100);
    EXPECT_EQ(camera.GetWidth(), 0);
    EXPECT_EQ(camera.GetHeight(), 100);
}

TEST_F(CameraTest, MovesAtMostAHundredUnitsAndStaysInItsBoundaries) {
    Camera camera(0, 0, 100, 50);
    camera.SetBoundaries(-1000, -1000, 1000, 1000);
    camera.MoveBy(250, -30);
    ExpectView(camera, 100, -30, 200, 20);
    camera.MoveBy(-7, -400);
    ExpectView(camera, 93, -130, 193, -80);

    // Below the minimum, then past the maximum.
    camera.SetBoundaries(100, 0, 500, 300);
    camera.ClampToBoundaries();
    ExpectView(camera, 100, 0, 200, 50);
    camera.SetBoundaries(0, 0, 150, 30);
    camera.ClampToBoundaries();
    ExpectView(camera, 50, -20, 150, 30);  // a view taller than its room ends at maxY

    // An isometric view is never clamped.
    camera.SetIsometric(true);
    camera.MoveBy(100, 100);
    ExpectView(camera, 150, 80, 250, 130);
}

TEST_F(CameraTest, NewBoundariesBringAFlatViewInsideAtOnce) {
    // The meadow left the view at y = 168; the cellar fits the window, so
    // following the player would never move the view again.
    Camera camera(0, 168, 800, 600);
    camera.SetBoundaries(0, 0, 800, 600);
    ExpectView(camera, 0, 0, 800, 600);
    camera.FollowPoint(400, 300);
    ExpectView(camera, 0, 0, 800, 600);
    // Past the maximum, and a room smaller than the view.
    Camera far(3000, 3000, 800, 600);
    far.SetBoundaries(0, 0, 2000, 1000);
    ExpectView(far, 1200, 400, 2000, 1000);
    far.SetBoundaries(0, 0, 256, 256);
    ExpectView(far, -544, -344, 256, 256);
    // An isometric view keeps its place.
    Camera iso(-300, 168, 800, 600);
    iso.SetIsometric(true);
    iso.SetBoundaries(0, 0, 800, 600);
    ExpectView(iso, -300, 168, 500, 768);
}

TEST_F(CameraTest, FollowsAPointTowardTheViewCentre) {
    // Boundaries that fit the view: the camera never moves.
    Camera still(0, 0, 800, 600);
    still.SetBoundaries(0, 0, 800, 600);
    for (double x : {-5000.0, 1003.0, 99999.0}) still.FollowPoint(x, x * 2);
    still.Update();  // no player: nothing to follow
    ExpectView(still, 0, 0, 800, 600);

    // x + width / 2 = 400, so a point at 1003 asks for 600 units.
    Camera flat(0, 0, 800, 600);
    flat.SetBoundaries(0, 0, 2000, 600);
    int frames = 0;
    for (int last = -1; flat.GetX() != last; ++frames) {
        last = flat.GetX();
        flat.FollowPoint(1003, 243);
        EXPECT_LE(flat.GetX() - last, 100);
    }
    EXPECT_EQ(frames, 7);  // six moves of 100, one that finds nothing to do
    ExpectView(flat, 600, 0, 1400, 600);
    for (int i = 0; i < 20; ++i) flat.FollowPoint(1903, 243);
    ExpectView(flat, 1200, 0, 2000, 600);

    // Isometric: (X - Y + 300) goes to the horizontal centre, (X + Y) / 2 + 200
    // to 60 pixels above the vertical centre, past every boundary.
    Camera iso(0, 0, 800, 600);
    iso.SetBoundaries(0, 0, 800, 600);
    iso.SetIsometric(true);
    iso.FollowPoint(0, 150);  // dx = 0 - 150 + 300 - 400 (limited to 100), dy = 75 + 200 - 240
    ExpectView(iso, -100, 35, 700, 635);
    iso.FollowPoint(0, 150);
    ExpectView(iso, -200, 35, 600, 635);  // dx = 150 - (-100 + 400) = -150, limited again

    // Truncation toward zero of the halved height - 120: (5 - 120) / 2 = -57.
    Camera small(0, 0, 10, 5);
    small.SetBoundaries(-1000, -1000, 1000, 1000);
    small.FollowPoint(8, -50);  // dx = 8 - 3 - 5, dy = -50 - 3 + 57
    ExpectView(small, 0, 4, 10, 9);
}

TEST_F(CameraTest, ManagerListsCamerasByNameAndIndex) {
    // Without a "Default" camera nothing is active.
    CameraManager manager("Main", 0, 0, 10, 10);
    EXPECT_EQ(manager.GetActiveCamera(), nullptr);
    Camera* first = manager.AddCamera("Map", 5, 5, 100, 100);
    auto* second = new Camera(0, 0, 10, 10);
    manager.AddCamera("Map", second);
    manager.AddCamera("Null", nullptr);
    EXPECT_EQ(manager.GetCameraCount(), 3);
    EXPECT_EQ(manager.GetCameraByIndex(1), first);
    EXPECT_EQ(manager.GetCameraByIndex(3), nullptr);
    EXPECT_EQ(manager.GetCameraByIndex(-1), nullptr);
    EXPECT_TRUE(manager.RemoveCamera("Map"));  // the first of the two
    EXPECT_EQ(manager.GetCamera("Map"), second);
    EXPECT_FALSE(manager.RemoveCamera("Nope"));
    manager.ClearCameras();
    EXPECT_EQ(manager.GetCameraCount(), 0);
}

TEST_F(CameraTest, ScriptFunctions) {
    LuaTestState lua;
    CameraManager& cameras = lua.Cameras();
    Camera* fallback = cameras.GetActiveCamera();
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->GetWidth(), 800);

    EXPECT_EQ(RunScript(lua, "CM_AddCamera('Map', 10.9, -3.7, 5000, 240.5)"), "");
    Camera* map = cameras.GetCamera("Map");
    ASSERT_NE(map, nullptr);
    ExpectView(*map, 10, -3, 810, 237);  // truncated, held to the display
    EXPECT_EQ(cameras.GetActiveCamera(), fallback);

    EXPECT_EQ(RunScript(lua, "CM_SetActiveCamera('Nope')"),
              "CM SetActiveCamera:  Failed, could not find camera Nope\n");
    EXPECT_EQ(cameras.GetActiveCamera(), fallback);
    EXPECT_EQ(RunScript(lua, "CM_SetActiveCamera('Map') Cam_SetBoundaries(1, 2, 3000.9, 4000)"), "");
    EXPECT_EQ(cameras.GetActiveCamera(), map);
    EXPECT_EQ(map->GetMinX(), 1);
    EXPECT_EQ(map->GetMinY(), 2);
    EXPECT_EQ(map->GetMaxX(), 3000);
    EXPECT_EQ(map->GetMaxY(), 4000);

    EXPECT_EQ(RunScript(lua, "CM_RemoveCamera('Default')"), "CM RemoveCamera:  Cannot remove the Default Camera\n");
    EXPECT_EQ(cameras.GetCamera("Default"), fallback);
    // Removing the active camera hands the view back to "Default".
    EXPECT_EQ(RunScript(lua, "CM_RemoveCamera('Map') CM_RemoveCamera('Map')"), "");
    EXPECT_EQ(cameras.GetCamera("Map"), nullptr);
    EXPECT_EQ(cameras.GetActiveCamera(), fallback);

    cameras.SetActiveCamera(nullptr);
    EXPECT_EQ(RunScript(lua, "Cam_SetBoundaries(0, 0, 1, 1)"), "Cam SetBoundaries:  Failed, Active Camera not set\n");
    GetGlobalState()->cameraManager = nullptr;
    EXPECT_EQ(RunScript(lua, "Cam_SetBoundaries(0, 0, 1, 1)"),
              "Cam SetBoundaries:  Failed, CameraManager does not exist\n");
    GetGlobalState()->cameraManager = &cameras;
}

TEST(CameraOverlap, RectanglesAgainstACameraView) {
    testsupport::EnsureAllegro();       // the camera makes its image
    Camera camera(100, 100, 200, 100);  // 100..300 x 100..200
    const int32_t touching[4] = {300, 200, 400, 400};
    const int32_t apart[4] = {301, 0, 400, 400};
    EXPECT_TRUE(RectOverlapsCamera(touching, &camera));
    EXPECT_FALSE(RectOverlapsCamera(apart, &camera));
    EXPECT_FALSE(RectOverlapsCamera(touching, nullptr));
    EXPECT_FALSE(RectOverlapsCamera(nullptr, &camera));
    EXPECT_TRUE(RectCoordsOverlapCamera(0, 0, 1000, 1000, &camera));  // covers the view
    EXPECT_FALSE(RectCoordsOverlapCamera(0, 0, 99, 1000, &camera));
    camera.SetBoundaries(-1000, -1000, 1000, 1000);
    camera.MoveBy(-50, 0);  // now 50..250
    EXPECT_TRUE(RectCoordsOverlapCamera(0, 0, 50, 1000, &camera));
    EXPECT_FALSE(RectCoordsOverlapCamera(251, 0, 300, 1000, &camera));
}
