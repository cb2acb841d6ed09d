#include "world/BackgroundManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/BitmapWrapper.h"
#include "core/DataLibrary.h"
#include "core/GlobalState.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/BackgroundObject.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/PropertyRouter.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

// Column c of the test images is (c * 20 + 10, 0, 0); the display is
// 320 x 240 while a test runs.
class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        GlobalState* state = GetGlobalState();
        m_width = state->windowWidth;
        m_height = state->windowHeight;
        state->windowWidth = 320;
        state->windowHeight = 240;
        m_lua = std::make_unique<LuaTestState>();
        DataLibrary& library = m_lua->Library();
        library.AddSection("Images");
        library.AddCatalogue("Images", "Background");
        library.AddHeading("Images", "Background", "Scenery");
        m_strip = MakeImage(8, 4);
        m_cloud = MakeImage(100, 2);
        library.Register("Images", "Background", "Scenery", "Strip", m_strip.get(), DataKind::Bitmap);
        library.Register("Images", "Background", "Scenery", "Cloud", m_cloud.get(), DataKind::Bitmap);
        // An entry of another kind under the same path is not an image.
        library.Register("Images", "Background", "Scenery", "Sound", &m_width, DataKind::Sound);
    }
    void TearDown() override {
        m_lua.reset();
        GetGlobalState()->windowWidth = m_width;
        GetGlobalState()->windowHeight = m_height;
    }

    static std::unique_ptr<BitmapWrapper> MakeImage(int width, int height) {
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

    std::unique_ptr<LuaTestState> m_lua;
    std::unique_ptr<BitmapWrapper> m_strip;
    std::unique_ptr<BitmapWrapper> m_cloud;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

}  // namespace

TEST_F(BackgroundTest, ScriptsSpawnObjectsAndSetTheLastOne) {
    // Nothing to configure yet.
    EXPECT_EQ(Run("BackgroundObject_SetSpeed(1, 2)"), "BackgroundObject SetSpeed:  Failed, no active object\n");
    EXPECT_EQ(Run("BackgroundObject_SetModuloMode()"), "BackgroundObject SetSpeed:  Failed, no active object\n");

    EXPECT_EQ(Run("BackgroundManager_SpawnObject('Hills', 'Strip', 10.9, -3.7, 0.5, 0.25, 1)"), "");
    ASSERT_EQ(Manager().GetObjectCount(), 1);
    BackgroundObject* hills = Manager().GetActiveObject();
    ASSERT_EQ(hills, Manager().FindObject("Hills"));
    EXPECT_EQ(hills->GetImage(), m_strip.get());
    EXPECT_EQ(hills->GetWidth(), 8);
    EXPECT_EQ(hills->GetHeight(), 4);
    EXPECT_EQ(hills->GetX(), 10);
    EXPECT_EQ(hills->GetY(), -3);
    EXPECT_FLOAT_EQ(hills->GetFactorX(), 0.5f);
    EXPECT_FLOAT_EQ(hills->GetFactorY(), 0.25f);
    EXPECT_EQ(hills->GetFlags(), 1);
    EXPECT_FALSE(hills->IsModulo());

    EXPECT_EQ(Run("BackgroundObject_SetSpeed(-2.9, 3)\nBackgroundObject_SetModuloMode(0)"), "");
    EXPECT_EQ(hills->GetSpeedX(), -2);
    EXPECT_EQ(hills->GetSpeedY(), 3);
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
    EXPECT_FLOAT_EQ(Manager().GetObjectAt(1)->GetFactorX(), 0.0f);
    EXPECT_EQ(Manager().GetObjectAt(1)->GetFlags(), 0);
    EXPECT_EQ(Manager().FindObject("7"), Manager().GetObjectAt(1));
    EXPECT_EQ(Manager().GetActiveObject(), Manager().GetObjectAt(2));
}

TEST_F(BackgroundTest, FillColourKeepsTheLowEightBits) {
    EXPECT_FALSE(Manager().IsFillOn());
    EXPECT_EQ(Run("BackgroundManager_SetFillColor(300, -1, 511.9)"), "");
    EXPECT_TRUE(Manager().IsFillOn());
    unsigned char r, g, b;
    al_unmap_rgb(Manager().GetFillColor(), &r, &g, &b);
    EXPECT_EQ(r, 44);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
    EXPECT_EQ(Run("BackgroundManager_DisableFill('anything', 1)"), "");
    EXPECT_FALSE(Manager().IsFillOn());
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
    EXPECT_EQ(Manager().GetOffsetX(), 12);
    EXPECT_EQ(Manager().GetOffsetY(), 5);

    for (int c = 0; c < 8; ++c) EXPECT_EQ(Red(target, c, 0), (7 - c) * 20 + 10) << "mirrored column " << c;
    // offset 12 x factor 0.5 = 6: columns 0..5 at 20 + 2, columns 6..7 at 20.
    EXPECT_EQ(Red(target, 20, 8), 130);
    EXPECT_EQ(Red(target, 21, 8), 150);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(Red(target, 22 + c, 8), c * 20 + 10) << "column " << c;
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
    for (int c = 0; c < 6; ++c) EXPECT_EQ(Red(target, 20 + c, 8), (c + 2) * 20 + 10) << "column " << c;
    EXPECT_EQ(Red(target, 26, 8), 10);
    EXPECT_EQ(Red(target, 27, 8), 30);

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
    router.SetValueType(PropertyRouter::kByte);
    void* x = Manager().RoutePointer("Base", "FixedOffsetX");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kInt);
    EXPECT_TRUE(PropertyRouter::WriteNumber(x, router.GetValueType(), -7.9));
    router.SetValueType(PropertyRouter::kByte);
    void* y = Manager().RoutePointer("Base", "FixedOffsetY");
    EXPECT_TRUE(PropertyRouter::WriteNumber(y, router.GetValueType(), 4));
    EXPECT_EQ(Manager().GetFixedOffsetX(), -7);
    EXPECT_EQ(Manager().GetFixedOffsetY(), 4);

    StderrCapture cap;
    router.SetValueType(PropertyRouter::kByte);
    EXPECT_EQ(Manager().RoutePointer("Base", "Speed"), nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kNone);
    EXPECT_EQ(Manager().RoutePointer("Clouds", "FixedOffsetX"), nullptr);
    EXPECT_EQ(cap.Take(), "Warning:  Property Speed not found in BackgroundManager\n");
}

TEST_F(BackgroundTest, ScriptsFailCleanlyWithoutTheManagers) {
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
    EXPECT_EQ(Manager().GetObjectCount(), 0);
}
