#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/media/BitmapWrapper.h"
#include "support/PixelRead.h"
#include "support/VideoBitmapFixture.h"

namespace {

// A display is up and new bitmaps are video bitmaps.
using BitmapWrapperDisplay = testsupport::VideoBitmapFixture;

using testsupport::PixelAt;
using testsupport::Rgba;

bool IsColour(ALLEGRO_BITMAP* bitmap, int x, int y, int r, int g, int b) {
    return PixelAt(bitmap, x, y) == Rgba{r, g, b, 255};
}

// A palette draw onto a video bitmap writes its mapped pixels and keeps every
// other pixel of the target, inside the drawn rectangle and outside it.
TEST_F(BitmapWrapperDisplay, PaletteDrawKeepsUnwrittenVideoPixels) {
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
    EXPECT_TRUE(IsColour(target, 0, 0, 0, 200, 0));  // outside it
    EXPECT_TRUE(IsColour(target, 31, 31, 0, 200, 0));
    al_destroy_bitmap(target);
}

// Palette draws in each variant, flipped or not, give exactly the pixels of
// writing every mapped pixel in the variant's colour, whichever variant was
// drawn before; a variant with a colour that is not opaque writes that
// colour as it is.
TEST_F(BitmapWrapperDisplay, PaletteDrawsMatchPixelByPixelWrites) {
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
    const Case cases[] = {{0, 0},
                          {1, 0},
                          {1, ALLEGRO_FLIP_HORIZONTAL},
                          {0, ALLEGRO_FLIP_VERTICAL},
                          {2, 0},
                          {1, ALLEGRO_FLIP_HORIZONTAL | ALLEGRO_FLIP_VERTICAL}};
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
                ASSERT_EQ(PixelAt(drawn, x, y), PixelAt(expected, x, y))
                    << "variant " << c.variant << " flags " << c.flags << " at " << x << "," << y;
            }
        }
    }
    al_destroy_bitmap(drawn);
    al_destroy_bitmap(expected);
}

// Pixel (x, y) of the pending pictures below: (10 * x, 20 * y, 7, 255).
std::shared_ptr<std::vector<uint8_t>> Pixels(int width, int height) {
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bytes->insert(bytes->end(), {static_cast<uint8_t>(10 * x), static_cast<uint8_t>(20 * y), 7, 255});
    return bytes;
}

// A pending bitmap is made on its first use, from its pixels exactly, in the
// kind of bitmap asked for when it was created, and the drawing target, the
// new-bitmap settings and drawing held for a batch all stay as they were;
// the block holding its pixels is let go once it is made.
TEST_F(BitmapWrapperDisplay, PendingBitmapIsMadeOnFirstUseAsAskedAtCreation) {
    uint8_t openGL = 0;
    struct Case {
        int createFlags;  // new-bitmap flags when the wrapper is created
        bool memory;      // the bitmap made is a memory bitmap
    };
    for (const Case& c : {Case{ALLEGRO_VIDEO_BITMAP, false}, Case{ALLEGRO_MEMORY_BITMAP, true}}) {
        SCOPED_TRACE(c.memory ? "memory" : "video");
        auto pixels = Pixels(4, 3);
        std::weak_ptr<std::vector<uint8_t>> held = pixels;
        al_set_new_bitmap_flags(c.createFlags);
        std::unique_ptr<BitmapWrapper> image(BitmapWrapper::CreatePending(4, 3, pixels->data(), pixels, &openGL));
        pixels.reset();
        image->SetOffset(1, 1);
        EXPECT_TRUE(image->IsPending());
        EXPECT_EQ(image->GetWidth(), 4);
        EXPECT_EQ(image->GetHeight(), 3);
        EXPECT_FALSE(held.expired());

        // Made in the middle of a held batch drawn into a video target.
        al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
        ALLEGRO_BITMAP* target = al_create_bitmap(8, 8);
        ALLEGRO_BITMAP* dot = al_create_bitmap(1, 1);
        al_set_target_bitmap(dot);
        al_clear_to_color(al_map_rgb(0, 0, 250));
        al_set_target_bitmap(target);
        al_clear_to_color(al_map_rgb(0, 0, 0));
        al_hold_bitmap_drawing(true);
        al_draw_bitmap(dot, 7, 7, 0);
        image->DrawDefault(0, 0);
        EXPECT_TRUE(al_is_bitmap_drawing_held());
        al_hold_bitmap_drawing(false);

        EXPECT_FALSE(image->IsPending());
        EXPECT_TRUE(held.expired());
        EXPECT_EQ(al_get_target_bitmap(), target);
        EXPECT_EQ(al_get_new_bitmap_flags(), ALLEGRO_VIDEO_BITMAP);
        EXPECT_EQ((al_get_bitmap_flags(image->GetBitmap()) & ALLEGRO_MEMORY_BITMAP) != 0, c.memory);
        EXPECT_TRUE(IsColour(target, 7, 7, 0, 0, 250));
        int wrong = 0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) wrong += !IsColour(target, x + 1, y + 1, 10 * x, 20 * y, 7);
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(IsColour(target, 0, 0, 0, 0, 0));
        al_destroy_bitmap(dot);
        al_destroy_bitmap(target);
    }
}

// A pending bitmap that is never used costs no bitmap and lets its pixels
// go with it; one without pixels is empty and draws nothing; resizing one
// drops its pixels for the new, transparent size.
TEST_F(BitmapWrapperDisplay, PendingBitmapsUnusedEmptyOrResized) {
    uint8_t openGL = 0;
    auto pixels = Pixels(2, 2);
    std::weak_ptr<std::vector<uint8_t>> held = pixels;
    delete BitmapWrapper::CreatePending(2, 2, pixels->data(), pixels, &openGL);
    pixels.reset();
    EXPECT_TRUE(held.expired());

    std::unique_ptr<BitmapWrapper> empty(BitmapWrapper::CreatePending(2, 2, nullptr, nullptr, &openGL));
    EXPECT_FALSE(empty->IsPending());
    EXPECT_EQ(empty->GetBitmap(), nullptr);
    empty->DrawDefault(0, 0);

    pixels = Pixels(2, 2);
    std::unique_ptr<BitmapWrapper> resized(BitmapWrapper::CreatePending(2, 2, pixels->data(), pixels, &openGL));
    held = pixels;
    pixels.reset();
    resized->Resize(3, 3);
    EXPECT_FALSE(resized->IsPending());
    EXPECT_TRUE(held.expired());
    ASSERT_TRUE(resized->GetBitmap());
    EXPECT_EQ(PixelAt(resized->GetBitmap(), 0, 0)[3], 0);
    EXPECT_EQ(al_get_bitmap_width(resized->GetBitmap()), 3);
}

}  // namespace
