// The world window draws the entities in draw order and its children through
// the active camera, scaled onto itself, on every frame.
#include "maps/GUIEnvironmentWindow.h"

#include <allegro5/allegro_primitives.h>
#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "core/base/RootEntity.h"
#include "gui/GUIWindow.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"

namespace {

// A square of one colour at a world position, drawn relative to the camera.
class Square : public RootEntity {
public:
    Square(int x, int y, int size, int key, ALLEGRO_COLOR colour) : x_(x), y_(y), size_(size), key_(key), c_(colour) {}
    int GetDrawOrderKey() override { return key_; }
    void Draw(BitmapWrapper* target, Camera* camera) override {
        al_set_target_bitmap(target->GetBitmap());
        float x = static_cast<float>(x_ - camera->GetX()), y = static_cast<float>(y_ - camera->GetY());
        al_draw_filled_rectangle(x, y, x + size_, y + size_, c_);
    }

private:
    int x_, y_, size_, key_;
    ALLEGRO_COLOR c_;
};

constexpr uint32_t kRed = 0xff0000ff, kBlue = 0x0000ffff, kGreen = 0x00ff00ff, kBlack = 0x000000ff;

TEST(GUIEnvironmentWindow, DrawsTheWorldThroughTheActiveCameraAndFallsBackToDefault) {
    testsupport::EnsureAllegro();
    GlobalState* state = GetGlobalState();
    EntityManager entities;
    CameraManager cameras("Default", 0, 0, 32, 24);
    state->entityManager = &entities;
    state->cameraManager = &cameras;
    entities.RegisterPointer("NPC", "Front", new Square(4, 4, 4, 2, al_map_rgb(255, 0, 0)));
    entities.RegisterPointer("NPC", "Back", new Square(6, 6, 4, 1, al_map_rgb(0, 0, 255)));
    entities.RegisterPointer("Object", "Hidden", new Square(0, 0, 32, -1, al_map_rgb(0, 255, 0)));

    GUIEnvironmentWindow window;
    window.SetDimensions(0, 0, 64, 48);  // each camera pixel covers 2 x 2
    auto* child = new GUIWindow;
    child->SetBackgroundColor(0, 255, 0);
    window.AddChild("Marker", child);
    child->SetDimensions(20, 0, 4, 4);
    BitmapWrapper frame(100, 100, &state->openGLMode);
    auto draw = [&] {
        testsupport::StderrCapture cap;
        window.Draw(&frame);
        return cap.Take();
    };

    cameras.SetActiveCamera(static_cast<Camera*>(nullptr));
    EXPECT_EQ(draw(), "Display Manager reports there is no active Camera.\nSetting the Active to the Default.\n");
    EXPECT_EQ(cameras.GetActiveCamera(), cameras.GetCamera("Default"));
    EXPECT_EQ(Px(&frame, 15, 15), kRed);  // the later key on top
    EXPECT_EQ(Px(&frame, 19, 19), kBlue);
    EXPECT_EQ(Px(&frame, 41, 1), kGreen);
    EXPECT_EQ(Px(&frame, 50, 40), kBlack);  // the key -1 entity is not drawn
    EXPECT_EQ(Px(&frame, 70, 70), 0u);
    EXPECT_TRUE(window.IsDirty());

    // The next frame, silent, looks through the moved camera.
    cameras.GetActiveCamera()->SetBoundaries(-100, -100, 100, 100);
    cameras.GetActiveCamera()->MoveBy(2, 0);
    EXPECT_EQ(draw(), "");
    EXPECT_EQ(Px(&frame, 5, 9), kRed);
    EXPECT_EQ(Px(&frame, 13, 9), kBlack);

    // A camera without an image is reported and draws nothing; without a
    // camera manager there is nothing to say.
    CameraManager blind("Default", 0, 0, 0, 0);
    state->cameraManager = &blind;
    frame.ClearToTransparent();
    EXPECT_EQ(draw(), "Camera does not have an active view...\n");
    state->cameraManager = nullptr;
    EXPECT_EQ(draw(), "");
    EXPECT_EQ(Px(&frame, 1, 1), 0u);
    state->entityManager = nullptr;
}

}  // namespace
