// The isometric view drawn onto a video frame in OpenGL mode matches the
// default mode's view within a small tolerance.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/IsoTexture.h"
#include "maps/IsoBlock.h"
#include "maps/IsometricMap.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"
#include "world/Camera.h"

namespace {

// A source with a pattern, so that a face drawn shifted or flat shows.
std::unique_ptr<BitmapWrapper> Pattern(uint8_t* flag, int seed) {
    auto bitmap = std::make_unique<BitmapWrapper>(32, 32, flag);
    bitmap->SetAsTarget();
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y)
            al_put_pixel(x, y, al_map_rgb((x * 8 + seed) & 255, (y * 8 + seed * 3) & 255, ((x ^ y) * 4) & 255));
    return bitmap;
}

std::vector<unsigned char> DrawView(uint8_t openGL) {
    GlobalState* state = GetGlobalState();
    state->openGLMode = openGL;
    uint8_t* flag = &state->openGLMode;
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    std::vector<std::unique_ptr<IsoTexture>> textures;
    for (int seed : {10, 90, 170}) {
        auto source = Pattern(flag, seed);
        textures.push_back(std::make_unique<IsoTexture>(flag));
        textures.back()->Build(source.get());
    }
    IsometricMap map;
    map.SetSize(4, 4, 2);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            IsoBlock* block = map.CreateBlock(x, y, 0);
            for (int kind = 0; kind < 3; ++kind) block->AddTexture(kind, textures[kind].get());
        }
    IsoBlock* raised = map.CreateBlock(2, 1, 1);
    for (int kind = 0; kind < 3; ++kind) raised->AddTexture(kind, textures[(kind + 1) % 3].get());

    BitmapWrapper target(640, 480, flag);
    EXPECT_FALSE(al_get_bitmap_flags(target.GetBitmap()) & ALLEGRO_MEMORY_BITMAP);
    Camera camera(-20, 40, 640, 480);
    camera.SetIsometric(true);
    target.ClearToRGBA(0, 0, 0, 255);
    map.Draw(&target, &camera);
    std::vector<unsigned char> rgba = testsupport::RgbaBytes(target.GetBitmap());
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    state->openGLMode = 0;
    return rgba;
}

TEST(IsometricMapDisplay, OpenGLViewMatchesTheDefaultView) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    const std::vector<unsigned char> plain = DrawView(0);
    const std::vector<unsigned char> gl = DrawView(1);
    ASSERT_EQ(plain.size(), gl.size());
    // The default view shows the map: many pixels are not black.
    int drawn = 0;
    for (size_t i = 0; i < plain.size(); i += 4) drawn += plain[i] | plain[i + 1] | plain[i + 2] ? 1 : 0;
    EXPECT_GT(drawn, 10000);
    // Per channel within 2; no pixel further off.
    int differing = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        if (std::abs(plain[i] - gl[i]) > 2) ++differing;
    EXPECT_EQ(differing, 0);
}

}  // namespace
