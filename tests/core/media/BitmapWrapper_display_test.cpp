#include <gtest/gtest.h>

#include "core/media/BitmapWrapper.h"
#include "support/AllegroTestEnv.h"

namespace {

bool IsColour(ALLEGRO_BITMAP* bitmap, int x, int y, int r, int g, int b) {
    unsigned char pr, pg, pb, pa;
    al_unmap_rgba(al_get_pixel(bitmap, x, y), &pr, &pg, &pb, &pa);
    return pr == r && pg == g && pb == b && pa == 255;
}

// A palette draw onto a video bitmap writes its mapped pixels and keeps every
// other pixel of the target, inside the drawn rectangle and outside it.
TEST(BitmapWrapperDisplay, PaletteDrawKeepsUnwrittenVideoPixels) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    ALLEGRO_BITMAP* target = al_create_bitmap(32, 32);
    ASSERT_NE(target, nullptr);
    ASSERT_FALSE(al_get_bitmap_flags(target) & ALLEGRO_MEMORY_BITMAP);
    al_set_target_bitmap(target);
    al_clear_to_color(al_map_rgb(0, 200, 0));

    uint8_t openGL = 0;
    int32_t selector = 1;
    Palette palette;
    palette.variantCount = 2;
    palette.colourCount = 1;
    palette.variants = {{al_map_rgba(255, 0, 0, 255)}, {al_map_rgba(0, 0, 255, 255)}};
    BitmapWrapper sprite(3, 3, &openGL);
    sprite.ClearToTransparent();
    sprite.SetAsTarget();
    al_put_pixel(1, 1, al_map_rgba(255, 0, 0, 255));
    sprite.BuildPaletteIndexMap(&palette, &selector);
    ASSERT_TRUE(sprite.HasPaletteMap());

    sprite.DrawTo(target, 10, 10, 0);
    al_set_target_bitmap(nullptr);

    EXPECT_TRUE(IsColour(target, 11, 11, 0, 0, 255));
    EXPECT_TRUE(IsColour(target, 10, 10, 0, 200, 0));  // inside the rectangle, unmapped
    EXPECT_TRUE(IsColour(target, 12, 12, 0, 200, 0));
    EXPECT_TRUE(IsColour(target, 0, 0, 0, 200, 0));    // outside it
    EXPECT_TRUE(IsColour(target, 31, 31, 0, 200, 0));
    al_destroy_bitmap(target);
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
}

}  // namespace
