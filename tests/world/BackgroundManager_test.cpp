#include "world/BackgroundManager.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/PropertyRouter.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/BackgroundObject.h"
#include "world/Camera.h"
#include "world/CameraManager.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

// Column c of the test images is (c * 20 + 10, 0, 0).
class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_lua = std::make_unique<LuaTestState>();
        DataLibrary& library = m_lua->Library();
        library.AddSection("Images");
        library.AddCatalogue("Images", "Background");
        library.AddHeading("Images", "Background", "Scenery");
        library.Register("Images", "Background", "Scenery", "Strip", m_strip.get(), DataKind::Bitmap);
        library.Register("Images", "Background", "Scenery", "Cloud", m_cloud.get(), DataKind::Bitmap);
        // An entry of another kind under the same path is not an image.
        library.Register("Images", "Background", "Scenery", "Sound", &m_lua, DataKind::Sound);
    }

    static std::unique_ptr<BitmapWrapper> MakeImage(int width, int height) {
        testsupport::EnsureAllegro();
        auto image = std::make_unique<BitmapWrapper>(width, height, &GetGlobalState()->openGLMode);
        image->SetAsTarget();
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y) al_put_pixel(x, y, al_map_rgb((x * 20 + 10) & 0xFF, 0, 0));
        return image;
    }

    std::string Run(const std::string& chunk) {
        StderrCapture cap;
        bool ok = m_lua->Run(chunk);
        std::string out = cap.Take();
        EXPECT_TRUE(ok) << chunk << ": " << m_lua->LastError();
        return out;
    }

    BackgroundManager& Manager() { return m_lua->Backgrounds(); }

    // Red of one pixel of the target.
    static int Red(BitmapWrapper& target, int x, int y) {
        unsigned char r, g, b;
        al_unmap_rgb(al_get_pixel(target.GetBitmap(), x, y), &r, &g, &b);
        return r;
    }

    std::unique_ptr<BitmapWrapper> m_strip = MakeImage(8, 4);
    std::unique_ptr<BitmapWrapper> m_cloud = MakeImage(100, 2);
    std::unique_ptr<LuaTestState> m_lua;
};

}  // namespace

TEST_F(BackgroundTest, ScriptsSpawnObjectsAndSetTheLastOne) {
    // Nothing to configure yet.
    EXPECT_EQ(Run("BackgroundObject_SetSpeed(1, 2)"), "BackgroundObject SetSpeed:  Failed, no active object\n");
    EXPECT_EQ(Run("BackgroundObject_SetModuloMode()"), "BackgroundObject SetSpeed:  Failed, no active object\n");

    EXPECT_EQ(Run("BackgroundManager_SpawnObject('Hills', 'Strip', 10.9, -3.7, 0.5, 0.25, 1)\n"
                  "BackgroundObject_SetSpeed(-2.9, 3)\nBackgroundObject_SetModuloMode(0)"),
              "");
    ASSERT_EQ(Manager().GetObjectCount(), 1);
    BackgroundObject* hills = Manager().GetActiveObject();
    ASSERT_EQ(hills, Manager().FindObject("Hills"));
    EXPECT_TRUE(hills->GetImage() == m_strip.get() && hills->GetWidth() == 8 && hills->GetHeight() == 4);
    EXPECT_TRUE(hills->GetX() == 10 && hills->GetY() == -3 && hills->GetFlags() == 1);
    EXPECT_TRUE(hills->GetFactorX() == 0.5f && hills->GetFactorY() == 0.25f);
    EXPECT_TRUE(hills->GetSpeedX() == -2 && hills->GetSpeedY() == 3);
    EXPECT_TRUE(hills->IsModulo());  // whatever it is given

    // A miss (or an entry that is no image) creates nothing and leaves the
    // last object active; the library says what it missed.
    EXPECT_EQ(Run("BackgroundManager_SpawnObject('Sky', 'Moon', 0, 0, 1, 1, 0)"),
              "DataLibrary:  Warning, Root/Images/Background/Scenery/Moon does not exist\n");
    Run("BackgroundManager_SpawnObject('Sky', 'Sound', 0, 0, 1, 1, 0)");
    EXPECT_EQ(Manager().GetObjectCount(), 1);
    EXPECT_EQ(Manager().GetActiveObject(), hills);

    // Numbers are accepted as names; duplicated names are kept in order.
    EXPECT_EQ(Run("BackgroundManager_SpawnObject(7, 'Cloud', 1, 2, 'x', nil, 'y')"), "");
    EXPECT_EQ(Run("BackgroundManager_SpawnObject(7, 'Strip', 0, 0, 0, 0, 0)"), "");
    ASSERT_EQ(Manager().GetObjectCount(), 3);
    EXPECT_EQ(Manager().GetObjectAt(1)->GetImage(), m_cloud.get());
    EXPECT_EQ(Manager().FindObject("7"), Manager().GetObjectAt(1));
    EXPECT_EQ(Manager().GetActiveObject(), Manager().GetObjectAt(2));

    // The fill colour keeps the low eight bits of each part.
    EXPECT_EQ(Run("BackgroundManager_SetFillColor(300, -1, 511.9)"), "");
    unsigned char r, g, b;
    al_unmap_rgb(Manager().GetFillColor(), &r, &g, &b);
    EXPECT_TRUE(Manager().IsFillOn() && r == 44 && g == 255 && b == 255);
    EXPECT_EQ(Run("BackgroundManager_DisableFill('anything', 1)"), "");
    EXPECT_FALSE(Manager().IsFillOn());

    // Missing managers are named.
    GlobalState* state = GetGlobalState();
    BackgroundManager* saved = state->backgroundManager;
    state->backgroundManager = nullptr;
    EXPECT_EQ(Run("BackgroundObject_SetModuloMode()"),
              "BackgroundObject SetModuloMode:  Failed, BackgroundManager does not exist\n");
    state->backgroundManager = saved;
    DataLibrary* library = state->dataLibrary;
    state->dataLibrary = nullptr;
    EXPECT_EQ(Run("BackgroundManager_SpawnObject('a', 'Strip', 0, 0, 0, 0, 0)"),
              "BackgroundManager SpawnObject:  Failed, DataLibrary does not exist\n");
    state->dataLibrary = library;
    EXPECT_EQ(Manager().GetObjectCount(), 3);
}

TEST_F(BackgroundTest, ObjectsLeavingTheViewAreDeleted) {
    Camera* view = m_lua->Cameras().AddCamera("View", 0, 0, 320, 240);
    m_lua->Cameras().SetActiveCamera(view);

    Run("BackgroundManager_SpawnObject('Right', 'Cloud', 300, 0, 0, 0, 0)\nBackgroundObject_SetSpeed(10, 0)");
    Run("BackgroundManager_SpawnObject('Left', 'Cloud', 0, 0, 0, 0, 0)\nBackgroundObject_SetSpeed(-1, 0)");
    BackgroundObject* left = Manager().GetActiveObject();
    BackgroundObject* right = Manager().GetObjectAt(0);

    // The right one starts at the view's right edge after two ticks.
    Manager().Update();
    EXPECT_EQ(Manager().GetObjectCount(), 2);
    Manager().Update();
    EXPECT_EQ(Manager().GetObjectCount(), 1);
    EXPECT_EQ(Manager().GetObjectAt(0), left);
    EXPECT_NE(Manager().GetObjectAt(0), right);

    // x + width < 0 first holds at x = -101.
    for (int tick = 3; tick <= 100; ++tick) Manager().Update();
    EXPECT_EQ(left->GetX(), -100);
    EXPECT_EQ(Manager().GetActiveObject(), left);
    Manager().Update();
    EXPECT_EQ(Manager().GetObjectCount(), 0);
    EXPECT_EQ(Manager().GetActiveObject(), nullptr);
    EXPECT_EQ(Run("BackgroundObject_SetSpeed(1, 1)"), "BackgroundObject SetSpeed:  Failed, no active object\n");

    // The view is where an object is drawn, wherever the camera is in the
    // world: a sky strip across the view stays while the camera travels.
    view->SetBoundaries(-100000, -100000, 100000, 100000);
    Run("BackgroundManager_SpawnObject('Sky', 'Cloud', 0, 0, 0, 0, 0)");
    for (int tick = 0; tick < 100; ++tick) {
        view->MoveBy(100, 100);
        Manager().Update();
    }
    EXPECT_EQ(view->GetX(), 10000);
    EXPECT_EQ(Manager().GetObjectCount(), 1);
    view->MoveBy(-100, -100);
    for (int tick = 0; tick < 200; ++tick) view->MoveBy(-100, -100);
    Manager().Update();
    EXPECT_EQ(Manager().GetObjectCount(), 1);
    Run("BackgroundObject_SetSpeed(-200, 0)");
    Manager().Update();
    EXPECT_EQ(Manager().GetObjectCount(), 0);

    // Without an active camera nothing leaves, and huge speeds stop at the
    // edge of the integer range.
    m_lua->Cameras().SetActiveCamera(nullptr);
    Run("BackgroundManager_SpawnObject('Far', 'Cloud', 2000000000, 0, 0, 0, 0)\n"
        "BackgroundObject_SetSpeed(2000000000, -2000000000)");
    Manager().Update();
    Manager().Update();
    ASSERT_EQ(Manager().GetObjectCount(), 1);
    EXPECT_EQ(Manager().GetActiveObject()->GetX(), 2147483647);
    EXPECT_EQ(Manager().GetActiveObject()->GetY(), -2147483647 - 1);
}

TEST_F(BackgroundTest, DrawsTheFillThenEachObjectWithTheParallaxWrap) {
    BitmapWrapper target(64, 16, &GetGlobalState()->openGLMode);
    target.ClearToBlack();
    Camera* view = m_lua->Cameras().AddCamera("View", 10, 0, 100, 100);

    // Plain objects ignore the offset and keep their flags.
    Run("BackgroundManager_SpawnObject('Plain', 'Strip', 0, 0, 1, 0, 1)");
    Run("BackgroundManager_SpawnObject('Wrapped', 'Strip', 20, 8, 0.5, 0, 0)\nBackgroundObject_SetModuloMode()");
    Run("BackgroundManager_SetFillColor(0, 0, 255)");
    Manager().SetFixedOffset(2, 5);
    Manager().Draw(&target, view);
    EXPECT_TRUE(Manager().GetOffsetX() == 12 && Manager().GetOffsetY() == 5);

    for (int c = 0; c < 8; ++c) EXPECT_EQ(Red(target, c, 0), (7 - c) * 20 + 10) << "mirrored column " << c;
    // offset 12 x factor 0.5 = 6: columns 0..5 at 20 + 2, columns 6..7 at 20.
    for (int c = 0; c < 8; ++c) EXPECT_EQ(Red(target, 20 + c, 8), (c + 6) % 8 * 20 + 10) << "column " << c;
    unsigned char r, g, b;
    al_unmap_rgb(al_get_pixel(target.GetBitmap(), 40, 2), &r, &g, &b);
    EXPECT_EQ(b, 255) << "the fill colour is under everything";
    EXPECT_EQ(Red(target, 28, 8), 0);

    // Offset 0 draws the whole strip in place; a negative offset wraps the
    // other way (-12 x 0.5 = -6 is column 2 from the left).
    Manager().DisableFill();
    Manager().SetFixedOffset(0, 0);
    Manager().Draw(&target, nullptr);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(Red(target, 20 + c, 8), c * 20 + 10) << "column " << c;
    Manager().SetFixedOffset(-12, 0);
    Manager().Draw(&target, nullptr);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(Red(target, 20 + c, 8), (c + 2) % 8 * 20 + 10) << "column " << c;

    // The product is taken in single precision: 10 x 0.7f is 7.
    Run("BackgroundManager_SpawnObject('Fine', 'Strip', 0, 0, 0.7, 0, 0)");
    EXPECT_EQ(Manager().GetActiveObject()->WrapColumn(10), 7);
    // Factors beyond the float range are kept at its edge; the wrap stays
    // within the image.
    Run("BackgroundManager_SpawnObject('Huge', 'Strip', 0, 0, -1e300, 0, 0)");
    EXPECT_EQ(Manager().GetActiveObject()->GetFactorX(), -FLT_MAX);
    int32_t column = Manager().GetActiveObject()->WrapColumn(3);
    EXPECT_TRUE(column >= 0 && column < 8) << column;

    // An object in wrap mode whose image is empty draws nothing and does
    // not divide by its zero width.
    BitmapWrapper* empty = BitmapWrapper::WrapBitmap(nullptr, &GetGlobalState()->openGLMode);
    m_lua->Library().Register("Images", "Background", "Scenery", "Empty", empty, DataKind::Bitmap);
    Run("BackgroundManager_SpawnObject('Empty', 'Empty', 0, 0, 3, 0, 0)\nBackgroundObject_SetModuloMode()");
    EXPECT_EQ(Manager().GetActiveObject()->WrapColumn(77), 0);
    Manager().Draw(&target, view);
    delete empty;
}

TEST_F(BackgroundTest, FixedOffsetsAreRoutedProperties) {
    PropertyRouter& router = m_lua->Router();
    for (const char* name : {"FixedOffsetX", "FixedOffsetY"}) {
        router.SetValueType(PropertyRouter::kByte);
        void* field = Manager().RoutePointer("Base", name);
        ASSERT_EQ(router.GetValueType(), PropertyRouter::kInt) << name;
        EXPECT_TRUE(PropertyRouter::WriteNumber(field, router.GetValueType(), name[11] == 'X' ? -7.9 : 4));
    }
    EXPECT_TRUE(Manager().GetFixedOffsetX() == -7 && Manager().GetFixedOffsetY() == 4);

    StderrCapture cap;
    router.SetValueType(PropertyRouter::kByte);
    EXPECT_EQ(Manager().RoutePointer("Base", "Speed"), nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kNone);
    EXPECT_EQ(Manager().RoutePointer("Clouds", "FixedOffsetX"), nullptr);
    EXPECT_EQ(cap.Take(), "Warning:  Property Speed not found in BackgroundManager\n");
}
