// The OpenGL toolkit against a real (software) OpenGL display: render
// targets, quad draws placed as Allegro's own drawing places bitmaps, and
// the small helpers.
//
// Every quad draw raises a program-wide z by 0.01, and Allegro's projection
// keeps z within [-1, 1]: this program draws fewer than 100 quads in all.
// gtest comes before the OpenGL headers, whose X11 macros clash with it.
#include <gtest/gtest.h>

#define ALLEGRO_UNSTABLE
#include <allegro5/allegro_opengl.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/media/RenderTarget.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"
#include "support/StderrCapture.h"

namespace {

// A display made for the fixed-function pipeline, drawing on its back buffer.
bool ReadyDisplay() {
    if (!testsupport::EnsureDisplay()) return false;
    ALLEGRO_DISPLAY* display = al_get_current_display();
    if (!display) return false;
    al_set_target_backbuffer(display);
    return (al_get_display_flags(display) & ALLEGRO_OPENGL) != 0;
}

using testsupport::Packed;

// Pixels of a rectangle of the back buffer, row by row.
std::vector<uint32_t> ReadBack(int x, int y, int w, int h) {
    ALLEGRO_BITMAP* back = al_get_backbuffer(al_get_current_display());
    std::vector<uint32_t> pixels;
    al_lock_bitmap(back, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READONLY);
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) pixels.push_back(Packed(al_get_pixel(back, i, j)));
    al_unlock_bitmap(back);
    return pixels;
}

uint32_t PixelAt(int x, int y) { return ReadBack(x, y, 1, 1)[0]; }

void ClearBack() {
    al_set_target_backbuffer(al_get_current_display());
    al_clear_to_color(al_map_rgb(0, 0, 0));
}

// An 8 x 6 video bitmap whose every pixel differs from every other.
ALLEGRO_BITMAP* MakePattern() {
    int saved = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(8, 6);
    al_set_new_bitmap_flags(saved);
    if (!bitmap) return nullptr;
    ALLEGRO_BITMAP* old = al_get_target_bitmap();
    al_set_target_bitmap(bitmap);
    al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_WRITEONLY);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) al_put_pixel(x, y, al_map_rgb(30 + x * 28, 40 + y * 40, (x + y) % 2 ? 200 : 60));
    al_unlock_bitmap(bitmap);
    al_set_target_bitmap(old);
    return bitmap;
}

// What Allegro's call draws and what the toolkit's call draws, in one
// 40 x 40 window around (20, 20).
void ExpectSamePlacement(const std::string& what, const std::function<void()>& allegroDraw,
                         const std::function<void()>& toolkitDraw) {
    ClearBack();
    allegroDraw();
    std::vector<uint32_t> expected = ReadBack(0, 0, 48, 48);
    ClearBack();
    toolkitDraw();
    std::vector<uint32_t> actual = ReadBack(0, 0, 48, 48);
    int differing = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i]) ++differing;
    EXPECT_EQ(differing, 0) << what;
    // The drawing really put something there.
    int lit = 0;
    for (uint32_t pixel : actual)
        if (pixel != 0x000000FFu) ++lit;
    EXPECT_GT(lit, 0) << what;
}

}  // namespace

TEST(RenderTargetDisplay, SurfaceRendersIntoItsTextureAndRestoresTheWindow) {
    ASSERT_TRUE(ReadyDisplay());
    GLint before[5], after[5];
    glGetIntegerv(GL_VIEWPORT, before);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &before[4]);

    GLsurface surface;
    testsupport::StderrCapture cap;
    ASSERT_TRUE(surface.Setup(64, 32));
    EXPECT_EQ(cap.Take(), "");
    EXPECT_TRUE(surface.framebuffer && surface.depthBuffer && surface.width == 64 && surface.height == 32);
    surface.Bind();
    glGetIntegerv(GL_VIEWPORT, after);
    EXPECT_TRUE(after[2] == 64 && after[3] == 32);
    surface.Clear(0.0f, 1.0f, 0.0f, 1.0f);
    surface.Unbind();
    glGetIntegerv(GL_VIEWPORT, after);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &after[4]);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(after[i], before[i]) << i;

    // The clear went into the texture, not the window.
    std::vector<unsigned char> texels(64 * 32 * 4);
    GLint oldTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &oldTexture);
    glBindTexture(GL_TEXTURE_2D, surface.GetTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, oldTexture);
    EXPECT_TRUE(texels[0] == 0 && texels[1] == 255 && texels[texels.size() - 3] == 255);

    surface.Release();
    surface.Release();  // twice is harmless
    testsupport::StderrCapture failures;
    EXPECT_EQ(surface.GetTexture(), 0u);
    GLsurface empty;
    EXPECT_FALSE(empty.Setup(0, 16));
    EXPECT_EQ(failures.Take(), ": No Texture\nGLsurface Error: Failed to setup the FrameBuffer!\n");
}

TEST(RenderTargetDisplay, QuadDrawsPlaceBitmapsAsAllegroDoes) {
    ASSERT_TRUE(ReadyDisplay());
    ALLEGRO_BITMAP* bitmap = MakePattern();
    ASSERT_NE(bitmap, nullptr);
    const int hv = ALLEGRO_FLIP_HORIZONTAL | ALLEGRO_FLIP_VERTICAL;

    for (int flags : {0, int{ALLEGRO_FLIP_HORIZONTAL}, int{ALLEGRO_FLIP_VERTICAL}, hv})
        ExpectSamePlacement(
            "flags " + std::to_string(flags), [&] { al_draw_bitmap(bitmap, 5, 7, flags); },
            [&] { GLDrawBitmap(bitmap, 5, 7, flags); });
    ExpectSamePlacement(
        "region flipped", [&] { al_draw_bitmap_region(bitmap, 3, 2, 5, 3, 20, 9, hv); },
        [&] { GLDrawBitmapRegion(bitmap, 3, 2, 5, 3, 20, 9, hv); });
    ExpectSamePlacement(
        "scaled", [&] { al_draw_scaled_bitmap(bitmap, 1, 1, 6, 4, 3, 4, 24, 12, 0); },
        [&] { GLDrawScaledBitmap(bitmap, 1, 1, 6, 4, 3, 4, 24, 12, 0); });
    ExpectSamePlacement(
        "tinted", [&] { al_draw_tinted_bitmap(bitmap, al_map_rgba_f(0.5f, 1.0f, 0.0f, 1.0f), 9, 9, 0); },
        [&] { GLDrawTintedBitmap(bitmap, al_map_rgba_f(0.5f, 1.0f, 0.0f, 1.0f), 9, 9, 0); });
    ExpectSamePlacement(
        "half turn, scaled", [&] { al_draw_scaled_rotated_bitmap(bitmap, 4, 3, 30, 30, 2, 3, ALLEGRO_PI, 0); },
        [&] { GLDrawScaledRotatedBitmap(bitmap, 4, 3, 30, 30, 2, 3, ALLEGRO_PI, 0); });

    // A source reaching past the left and top edges: the visible part lands
    // where it would have been, and nothing is drawn for the missing part.
    ClearBack();
    GLDrawBitmapRegion(bitmap, -2, -1, 8, 5, 10, 20, 0);
    EXPECT_EQ(PixelAt(12, 21), Packed(al_get_pixel(bitmap, 0, 0)));
    EXPECT_EQ(PixelAt(17, 24), Packed(al_get_pixel(bitmap, 5, 3)));
    for (auto [x, y] : {std::pair{11, 21}, {12, 20}, {18, 21}, {17, 25}}) EXPECT_EQ(PixelAt(x, y), 0x000000FFu);

    // Nothing at all for a source wholly outside, a memory bitmap or null.
    ClearBack();
    GLDrawBitmapRegion(bitmap, 8, 0, 4, 4, 10, 10, 0);
    int saved = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    ALLEGRO_BITMAP* memory = al_create_bitmap(8, 8);
    al_set_new_bitmap_flags(saved);
    GLDrawBitmap(memory, 10, 10, 0);
    GLDrawBitmap(nullptr, 10, 10, 0);
    for (uint32_t pixel : ReadBack(0, 0, 48, 48)) ASSERT_EQ(pixel, 0x000000FFu);
    al_destroy_bitmap(memory);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));  // texturing is as it was
    al_destroy_bitmap(bitmap);
}

TEST(RenderTargetDisplay, SelfTestShowsTheSurfaceAndHelpersDraw) {
    ASSERT_TRUE(ReadyDisplay());
    GLsurface surface;
    ASSERT_TRUE(surface.Setup(128, 128));
    ClearBack();
    GLsurface::DrawTest(&surface);
    glDisable(GL_DEPTH_TEST);  // Allegro draws without it
    // The red of the surface fills the window.
    EXPECT_EQ(PixelAt(100, 100) & 0xFFFFFF00u, 0xFF000000u);
    EXPECT_EQ(PixelAt(300, 200) & 0xFFFFFF00u, 0xFF000000u);
    surface.Release();

    ClearBack();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    DrawGLFilledRect(5, 10, 20, 8, 0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_TRUE(PixelAt(10, 5) == 0x0000FFFFu && PixelAt(29, 12) == 0x0000FFFFu);
    EXPECT_TRUE(PixelAt(30, 12) == 0x000000FFu && PixelAt(10, 13) == 0x000000FFu);

    // The frustum of a 90-degree view twice as wide as high.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    SetGLPerspective(90.0, 2.0, 1.0, 10.0);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_NEAR(m[0], 0.5f, 1e-5);
    EXPECT_NEAR(m[5], 1.0f, 1e-5);
    EXPECT_NEAR(m[14], -20.0f / 9.0f, 1e-5);

    // An error is printed once, on stdout, with its code.
    while (glGetError() != GL_NO_ERROR) {
    }
    testing::internal::CaptureStdout();
    glEnable(0xFFFF);
    PrintGLError();
    PrintGLError();
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "OpenGL Error[1280]\n");
}
