// The world window drawn straight onto the frame, compared pixel for pixel
// with the world drawn the long way: into the camera's image, that image
// copied into the window's own bitmap, that bitmap onto the frame. Both
// display modes take the straight way.
#include <allegro5/allegro.h>
#include <allegro5/allegro_primitives.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../maps/LevelFiles.h"
#include "core/base/GlobalState.h"
#include "core/base/RootEntity.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/PathManager.h"
#include "gui/GUIWindow.h"
#include "maps/ChunkStreamer.h"
#include "maps/GUIEnvironmentWindow.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"

namespace {

// A half-transparent square at a world position.
class Square : public RootEntity {
public:
    Square(int x, int y) : x_(x), y_(y) {}
    int GetDrawOrderKey() override { return 1; }
    void Draw(BitmapWrapper* target, Camera* camera) override {
        target->SetAsTarget();
        float x = static_cast<float>(x_ - camera->GetX()), y = static_cast<float>(y_ - camera->GetY());
        al_draw_filled_rectangle(x, y, x + 30, y + 20, al_map_rgba(0, 60, 0, 128));
    }

private:
    int x_, y_;
};

std::vector<uint32_t> Pixels(ALLEGRO_BITMAP* bitmap, int width, int height) {
    std::vector<uint32_t> out;
    ALLEGRO_LOCKED_REGION* region = al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(region->data) +
                                                            static_cast<ptrdiff_t>(y) * region->pitch);
        out.insert(out.end(), row, row + width);
    }
    al_unlock_bitmap(bitmap);
    return out;
}

struct Case {
    const char* name;
    bool seeThrough;  // the level has tiles the scenery shows through
    int cameraX, cameraY;
    bool covered;        // the level covers the whole view, opaque
    uint8_t openGL = 0;  // the OpenGL display mode
};

TEST(GUIEnvironmentWindowDisplay, StraightOntoTheFrameLooksAsThroughTheWindowsBitmap) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    GlobalState* state = GetGlobalState();
    const int savedWidth = state->windowWidth, savedHeight = state->windowHeight;
    state->windowWidth = 160, state->windowHeight = 120;
    const Case cases[] = {
        {"opaque level inside", false, 100, 90, true},
        {"opaque level, the view past its edge", false, 400, 300, false},
        {"see-through level", true, 100, 90, false},
        {"see-through level, OpenGL mode", true, 100, 90, false, 1},
    };
    for (const Case& c : cases) {
        state->openGLMode = c.openGL;
        testsupport::TempDir dir;
        testsupport::LuaTestState lua;
        lua.Paths().AddPath("Maps", "Maps/");
        lua.Paths().AddPath("MapScripts", "Scripts/Maps/");
        plf::LevelWriter level(2, 2);
        for (uint32_t x = 0; x < level.Width(); ++x) {
            for (uint32_t y = 0; y < level.Height(); ++y) {
                plf::Tile tile;
                tile.r = static_cast<uint8_t>(x);
                tile.g = static_cast<uint8_t>(y);
                tile.b = 90;
                tile.a = (c.seeThrough && (x / 16 + y / 16) % 3 == 0) ? 0 : 255;
                if ((x / 24 + y / 24) % 4 == 1) tile.layer = 200;  // over the entities
                level.SetTile(x, y, tile);
            }
        }
        dir.WriteFile("Maps/Field.plf", testlevels::LevelFile(level));
        ASSERT_TRUE(
            lua.Run("BackgroundManager_SetFillColor(200, 30, 30) "
                    "MapM_SetBackgroundDisplayState(1) MapM_SetMapDisplayState(1)"));
        {
            testsupport::StderrCapture quiet;
            lua.Maps().TransitionMap("Field");
        }
        Camera* camera = lua.Cameras().GetActiveCamera();
        ASSERT_NE(camera, nullptr);
        camera->SetBoundaries(-1000, -1000, 5000, 5000);
        while (camera->GetX() != c.cameraX || camera->GetY() != c.cameraY)
            camera->MoveBy(c.cameraX - camera->GetX(), c.cameraY - camera->GetY());
        lua.Maps().ProcessEvent(-1, -1, -1);
        ASSERT_EQ(lua.Maps().CoversView(camera), c.covered) << c.name;
        lua.Entities().RegisterPointer("NPC", "Square", new Square(c.cameraX + 20, c.cameraY + 30));

        GUIEnvironmentWindow window;
        window.SetDimensions(0, 0, 160, 120);
        window.SetHasContent(true);
        auto* child = new GUIWindow;
        child->SetBackgroundColor(10, 10, 250);
        child->SetHasContent(true);
        window.AddChild("Marker", child);
        child->SetDimensions(100, 10, 20, 10);

        BitmapWrapper straight(200, 150, &state->openGLMode);
        BitmapWrapper longWay(200, 150, &state->openGLMode);
        straight.ClearToRGBA(1, 2, 3, 255);
        longWay.ClearToRGBA(1, 2, 3, 255);
        // The window's own bitmap is left as it was: the world went
        // straight onto the frame.
        window.GetBackingBitmap()->ClearToRGBA(7, 7, 7, 255);
        window.Draw(&straight);
        ASSERT_TRUE(window.IsDirty()) << c.name;
        ASSERT_EQ(Pixels(window.GetBackingBitmap()->GetBitmap(), 1, 1)[0], 0xff070707u) << c.name;
        window.GetBackingBitmap()->ClearToTransparent();
        window.Render();
        longWay.SetAsTarget();
        window.GetBackingBitmap()->Draw(0, 0, 0);
        EXPECT_EQ(Pixels(straight.GetBitmap(), 200, 150), Pixels(longWay.GetBitmap(), 200, 150)) << c.name;
    }
    state->openGLMode = 0;
    state->windowWidth = savedWidth, state->windowHeight = savedHeight;
    al_set_target_bitmap(previous);
}

}  // namespace
