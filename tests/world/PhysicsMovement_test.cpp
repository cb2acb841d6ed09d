#include "world/PhysicsMovement.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <tuple>

#include "support/QueryTerrain.h"
#include "support/StderrCapture.h"
#include "world/BasePhysicsPack.h"
#include "world/Dimensions.h"
#include "world/PhysicsObjectBox.h"
#include "world/Terrain.h"

using testsupport::StderrCapture;

namespace {

// A grid of blocked cells the movers ask instead of a map.
std::set<std::tuple<int, int, int>> g_blocked;
bool GridBlocked(int32_t x, int32_t y, int32_t z) { return g_blocked.count({x, y, z}) != 0; }

class PhysicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_blocked.clear();
        SetTerrain(&m_terrain);
    }
    void TearDown() override { SetTerrain(nullptr); }
    testsupport::QueryTerrain m_terrain{GridBlocked};

    // A 10 x 10 x 28 box centred on (x, y, z), feet at z.
    static Dimensions Box(double x, double y, double z) {
        Dimensions d;
        d.x1 = -5, d.x2 = 5, d.y1 = -5, d.y2 = 5, d.z1 = -28, d.z2 = 0;
        d.X = x, d.Y = y, d.Z = z;
        d.UpdateBox();
        return d;
    }
};

TEST_F(PhysicsTest, FractionsCarryAcrossCalls) {
    Dimensions d = Box(100, 100, 0);
    MoveWithCollision(0.4, 0, 0, &d);
    MoveWithCollision(0.4, 0, 0, &d);
    EXPECT_EQ(d.X, 100);
    EXPECT_NEAR(d.carryX, 0.8, 1e-9);
    MoveWithCollision(0.4, 0, 0, &d);
    EXPECT_EQ(d.X, 101);
    EXPECT_NEAR(d.carryX, 0.2, 1e-9);
    EXPECT_EQ(d.xmin, 96);  // the box moves with the centre
    EXPECT_EQ(d.xmax, 106);

    MoveWithCollision(0, -1.5, 0, &d);
    EXPECT_EQ(d.Y, 99);
    EXPECT_NEAR(d.carryY, -0.5, 1e-9);
    MoveWithCollision(0, -1.5, 0, &d);
    EXPECT_EQ(d.Y, 97);
    EXPECT_NEAR(d.carryY, 0.0, 1e-9);

    // Moves that are no number neither move nor spoil the carry.
    MoveWithCollision(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 0, &d);
    EXPECT_EQ(d.X, 101);
    EXPECT_EQ(d.Y, 97);
    EXPECT_NEAR(d.carryX, 0.2, 1e-9);

    MoveWithCollision(1, 1, 1, nullptr);  // no record: nothing
}

TEST_F(PhysicsTest, WallStopsOneAxisOnly) {
    Dimensions d = Box(100, 100, 0);
    // A wall in the column in front of the box (xmax + 1 = 106), at foot height.
    for (int y = 90; y < 110; ++y) g_blocked.insert({106, y, 0});
    MoveWithCollision(3, 2, 0, &d);
    EXPECT_EQ(d.X, 100);
    EXPECT_EQ(d.Y, 102);

    // Downward: the floor under a 6 x 6 square round the centre.
    g_blocked.clear();
    g_blocked.insert({99, 103, 2});
    MoveWithCollision(0, 0, 5, &d);
    EXPECT_EQ(d.Z, 1);  // face z = trunc(zmax + 1) = 2 is blocked from Z = 1 on
    EXPECT_TRUE(AnySolidInSquare(&d, 3, 2));
    EXPECT_TRUE(ZFaceFree(&d, 3, 3));

    // The fixed band probes [Y - r, Y + r) whatever the box: a cell at
    // Y + 4 stops the record's own box but not a band of 3.
    g_blocked.clear();
    Dimensions e = Box(100, 100, 0);
    g_blocked.insert({106, 104, 0});
    MoveWithCollisionMode(3, 1, 0, 0, &e);
    EXPECT_EQ(e.X, 101);
    Dimensions f = Box(100, 100, 0);
    MoveWithCollision(1, 0, 0, &f);
    EXPECT_EQ(f.X, 100);
}

TEST_F(PhysicsTest, LongMovesAreCutAtFiftyUnits) {
    Dimensions d = Box(0, 0, 0);
    StderrCapture cap;
    MoveWithCollision(60, 0, 0, &d);
    EXPECT_EQ(cap.Take(), "Movement loop got caught\n");
    EXPECT_EQ(d.X, 50);

    StderrCapture quiet;
    MoveWithCollision(-50, 0, 0, &d);
    EXPECT_EQ(quiet.Take(), "");  // exactly fifty units finish the move
    EXPECT_EQ(d.X, 0);
}

TEST_F(PhysicsTest, PackStepFrictionBounceAndMove) {
    ObjectBox box;
    box.X = 10, box.Y = 10, box.Z = 0, box.XDim = 4, box.YDim = 4, box.ZDim = 0;
    float angle = 0;
    BasePhysicsPack pack;
    pack.SetVelocity(0.9f, 0.9f, 0.9f);
    pack.Step();  // unbound: nothing
    EXPECT_FLOAT_EQ(pack.GetVX(), 0.9f);

    pack.Bind(&box, &angle);
    pack.SetBounds(-10, 10, -10, 10, -10, 10);
    pack.Step();  // on the floor: ground friction, and less than a unit moves nothing
    EXPECT_FLOAT_EQ(pack.GetVX(), 0.6f);
    EXPECT_EQ(box.X, 10);
    EXPECT_EQ(box.Z, 0);
    EXPECT_FLOAT_EQ(pack.GetVZ(), 0.0f);  // resting: clamped to at most 0
    EXPECT_GT(angle, 0.0f);

    pack.SetVelocity(0, 0, 2);
    pack.Step();  // a fall onto the floor bounces back up at half speed
    EXPECT_FLOAT_EQ(pack.GetVZ(), -1.0f);
    EXPECT_EQ(box.Z, -1);
    EXPECT_EQ(box.z2, -1);

    // Along y the test looks two rows ahead: the box (rows 8..11) takes one
    // unit, then the blocked row 14 comes into the probe, the y speed is
    // reflected and the rest of the move is dropped.
    box.Z = 0;
    box.z1 = box.z2 = 0;
    g_blocked.insert({10, 14, 0});
    pack.SetVelocity(0, 3.3f, 0);
    pack.Step();
    EXPECT_EQ(box.Y, 11);
    EXPECT_FLOAT_EQ(pack.GetVY(), -1.5f);
    // Along x the box itself is tested one unit over.
    g_blocked.clear();
    g_blocked.insert({13, 9, 0});
    pack.SetVelocity(4.3f, 0, 0);
    pack.Step();
    EXPECT_EQ(box.X, 11);
    EXPECT_EQ(box.x1, 9);
    EXPECT_EQ(box.x2, 13);
    EXPECT_FLOAT_EQ(pack.GetVX(), -2.0f);

    // With the bounds never set, ground-plane speeds are held at 0.
    BasePhysicsPack still;
    ObjectBox other;
    still.Bind(&other, &angle);
    still.AddForce(5, 5, 0);
    still.Step();
    EXPECT_EQ(still.GetVX(), 0.0f);
    EXPECT_EQ(other.X, 0);
    still.SetMass(0);
    still.AddForce(1, 1, 1);  // no mass: no change
    EXPECT_EQ(still.GetVZ(), 0.0f);

    // Its routable properties are its speeds.
    EXPECT_EQ(*static_cast<float*>(pack.GetPropertyAddress("YSpeed")), pack.GetVY());
    EXPECT_EQ(pack.GetPropertyAddress("Mass"), nullptr);
}

TEST_F(PhysicsTest, PackAngleWrapsAndLoopGuard) {
    ObjectBox box;
    box.XDim = 2, box.YDim = 2;
    float angle = 6.2f;
    BasePhysicsPack pack;
    pack.Bind(&box, &angle);
    pack.SetBounds(-100, 100, -100, 100, -100, 100);
    pack.SetVelocity(10.3f, 0, 0);
    pack.Step();  // speed 10 * 0.5 * 0.2 = +1.0 past two pi
    EXPECT_NEAR(angle, 6.2 + 1.0 - 6.283185307179586, 1e-4);
    EXPECT_EQ(box.X, 10);

    StderrCapture cap;
    pack.SetVelocity(80.3f, 0, 0);
    pack.Step();
    EXPECT_EQ(cap.Take(), "Movement loop got caught\n");
    EXPECT_EQ(box.X, 60);  // fifty passes at most
}

}  // namespace
