#include <gtest/gtest.h>

#include <algorithm>

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

// Palette draws in each variant, flipped or not, give exactly the pixels of
// writing every mapped pixel in the variant's colour, whichever variant was
// drawn before; a variant with a colour that is not opaque writes that
// colour as it is.
TEST(BitmapWrapperDisplay, PaletteDrawsMatchPixelByPixelWrites) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    uint8_t openGL = 0;
    int32_t selector = 0;
    Palette palette;
    palette.variantCount = 3;
    palette.colourCount = 2;
    palette.variants = {{al_map_rgba(255, 0, 0, 255), al_map_rgba(0, 255, 0, 255)},
                        {al_map_rgba(10, 20, 30, 255), al_map_rgba(200, 100, 50, 255)},
                        {al_map_rgba(0, 0, 90, 128), al_map_rgba(60, 60, 60, 255)}};
    // A 4 x 3 sprite: colour 0 on the top row, colour 1 down the left column,
    // an unmapped grey and empty pixels elsewhere.
    BitmapWrapper sprite(4, 3, &openGL);
    sprite.ClearToTransparent();
    sprite.SetAsTarget();
    for (int x = 0; x < 4; ++x) al_put_pixel(x, 0, palette.variants[0][0]);
    for (int y = 1; y < 3; ++y) al_put_pixel(0, y, palette.variants[0][1]);
    al_put_pixel(2, 2, al_map_rgba(99, 99, 99, 255));
    sprite.BuildPaletteIndexMap(&palette, &selector);
    ASSERT_TRUE(sprite.HasPaletteMap());

    struct Case {
        int variant, flags;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {1, ALLEGRO_FLIP_HORIZONTAL}, {0, ALLEGRO_FLIP_VERTICAL},
                          {2, 0}, {1, ALLEGRO_FLIP_HORIZONTAL | ALLEGRO_FLIP_VERTICAL}};
    ALLEGRO_BITMAP* drawn = al_create_bitmap(8, 8);
    ALLEGRO_BITMAP* expected = al_create_bitmap(8, 8);
    for (const Case& c : cases) {
        for (ALLEGRO_BITMAP* target : {drawn, expected}) {
            al_set_target_bitmap(target);
            al_clear_to_color(al_map_rgba(0, 120, 0, 255));
        }
        selector = c.variant;
        al_set_target_bitmap(drawn);
        sprite.Draw(2, 3, c.flags);
        al_set_target_bitmap(expected);
        for (int x = 0; x < 4; ++x) {
            for (int y = 0; y < 3; ++y) {
                int sx = (c.flags & ALLEGRO_FLIP_HORIZONTAL) ? 3 - x : x;
                int sy = (c.flags & ALLEGRO_FLIP_VERTICAL) ? 2 - y : y;
                int colour = sy == 0 ? 0 : sx == 0 ? 1 : -1;
                if (colour >= 0) al_put_pixel(2 + x, 3 + y, palette.variants[c.variant][colour]);
            }
        }
        for (int x = 0; x < 8; ++x) {
            for (int y = 0; y < 8; ++y) {
                unsigned char d[4], e[4];
                al_unmap_rgba(al_get_pixel(drawn, x, y), &d[0], &d[1], &d[2], &d[3]);
                al_unmap_rgba(al_get_pixel(expected, x, y), &e[0], &e[1], &e[2], &e[3]);
                ASSERT_TRUE(std::equal(d, d + 4, e)) << "variant " << c.variant << " flags " << c.flags << " at " << x
                                                     << "," << y;
            }
        }
    }
    al_destroy_bitmap(drawn);
    al_destroy_bitmap(expected);
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
}

}  // namespace
