#include "core/media/BitmapWrapper.h"

#include <gtest/gtest.h>

#include "core/media/PixelCopy.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"

namespace {

using testsupport::PixelAt;
using testsupport::Rgba;

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kGrey{90, 90, 90, 255},
    kYellow{255, 255, 0, 255}, kWhite{255, 255, 255, 255}, kClear{0, 0, 0, 0};

ALLEGRO_COLOR Map(Rgba c) { return al_map_rgba(c[0], c[1], c[2], c[3]); }

void Put(ALLEGRO_BITMAP* bitmap, int x, int y, Rgba c) {
    al_set_target_bitmap(bitmap);
    al_put_pixel(x, y, Map(c));
}

class BitmapWrapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        openGL = 0;
        selector = 0;
        // A 4 x 2 sprite: red, green, blue (not in the palette), transparent
        // on the top row; green, red on the bottom row's first two pixels.
        sprite = new BitmapWrapper(4, 2, &openGL);
        sprite->ClearToTransparent();
        Put(sprite->GetBitmap(), 0, 0, kRed);
        Put(sprite->GetBitmap(), 1, 0, kGreen);
        Put(sprite->GetBitmap(), 2, 0, kBlue);
        Put(sprite->GetBitmap(), 0, 1, kGreen);
        Put(sprite->GetBitmap(), 1, 1, kRed);
        palette.variantCount = 2;
        palette.colourCount = 2;
        palette.variants = {{Map(kRed), Map(kGreen)}, {Map(kYellow), Map(kWhite)}};
        target = al_create_bitmap(10, 6);
        ClearTarget();
    }
    void TearDown() override {
        al_set_target_bitmap(nullptr);
        delete sprite;
        al_destroy_bitmap(target);
    }
    void ClearTarget() {
        al_set_target_bitmap(target);
        al_clear_to_color(Map(kGrey));
    }

    uint8_t openGL = 0;
    int32_t selector = 0;
    Palette palette;
    BitmapWrapper* sprite = nullptr;
    ALLEGRO_BITMAP* target = nullptr;
};

TEST_F(BitmapWrapperTest, PaletteMappedDrawUsesTheSelectedVariant) {
    sprite->BuildPaletteIndexMap(&palette, &selector);
    ASSERT_TRUE(sprite->HasPaletteMap());

    sprite->DrawTo(target, 1, 1, 0);
    EXPECT_EQ(PixelAt(target, 1, 1), kRed);
    EXPECT_EQ(PixelAt(target, 2, 1), kGreen);
    EXPECT_EQ(PixelAt(target, 3, 1), kGrey);  // blue is not in the palette: left alone
    EXPECT_EQ(PixelAt(target, 4, 1), kGrey);  // transparent: left alone
    EXPECT_EQ(PixelAt(target, 2, 2), kRed);

    // Same positions, the second variant's colours.
    selector = 1;
    ClearTarget();
    sprite->Draw(1, 1, 0);
    EXPECT_EQ(PixelAt(target, 1, 1), kYellow);
    EXPECT_EQ(PixelAt(target, 2, 1), kWhite);
    EXPECT_EQ(PixelAt(target, 3, 1), kGrey);
    EXPECT_EQ(PixelAt(target, 1, 2), kWhite);

    // A variant the palette lacks draws nothing.
    selector = 2;
    ClearTarget();
    sprite->Draw(1, 1, 0);
    EXPECT_EQ(PixelAt(target, 1, 1), kGrey);
    EXPECT_EQ(PixelAt(target, 2, 2), kGrey);

    // Mirrored left-right: the top row reads transparent, blue, green, red.
    selector = 0;
    ClearTarget();
    sprite->Draw(0, 0, ALLEGRO_FLIP_HORIZONTAL);
    EXPECT_EQ(PixelAt(target, 3, 0), kRed);
    EXPECT_EQ(PixelAt(target, 2, 0), kGreen);
    EXPECT_EQ(PixelAt(target, 1, 0), kGrey);
    EXPECT_EQ(PixelAt(target, 2, 1), kRed);

    // Partly off the target: the visible part only.
    ClearTarget();
    sprite->Draw(9, -1, 0);
    EXPECT_EQ(PixelAt(target, 9, 0), kGreen);
    sprite->Draw(-100, -100, 0);
    // The draw leaves no lock behind.
    EXPECT_FALSE(al_is_bitmap_locked(target));
}

TEST_F(BitmapWrapperTest, PaletteMapIsBuiltOnceInEveryMode) {
    Palette other;
    other.variantCount = 1;
    other.colourCount = 1;
    other.variants = {{Map(kBlue)}};
    sprite->BuildPaletteIndexMap(&palette, &selector);
    sprite->BuildPaletteIndexMap(&other, &selector);
    EXPECT_EQ(sprite->GetPalette(), &palette);
    sprite->DrawTo(target, 0, 0, 0);
    EXPECT_EQ(PixelAt(target, 2, 0), kGrey);  // blue still unmatched

    BitmapWrapper none(2, 2, &openGL);
    none.BuildPaletteIndexMap(nullptr, &selector);
    none.BuildPaletteIndexMap(&palette, nullptr);
    EXPECT_FALSE(none.HasPaletteMap());

    // OpenGL mode maps, draws, clears and picks targets as the default mode does.
    openGL = 1;
    BitmapWrapper gl(4, 2, &openGL);
    gl.ClearToTransparent();
    Put(gl.GetBitmap(), 2, 0, kBlue);
    Put(gl.GetBitmap(), 1, 0, kRed);
    gl.BuildPaletteIndexMap(&palette, &selector);
    EXPECT_TRUE(gl.HasPaletteMap());
    ClearTarget();
    selector = 1;
    gl.DrawTo(target, 0, 0, 0);
    EXPECT_EQ(al_get_target_bitmap(), target);
    EXPECT_EQ(PixelAt(target, 1, 0), kYellow);  // red through variant 1
    EXPECT_EQ(PixelAt(target, 2, 0), kGrey);    // blue is unmapped
    EXPECT_EQ(PixelAt(target, 0, 0), kGrey);
    selector = 0;
    BitmapWrapper plain(4, 2, &openGL);
    plain.ClearToColor(Map(kRed));
    EXPECT_EQ(al_get_target_bitmap(), plain.GetBitmap());
    EXPECT_EQ(PixelAt(plain.GetBitmap(), 2, 0), kRed);
    openGL = 0;
}

TEST_F(BitmapWrapperTest, OffsetsAndPivots) {
    ALLEGRO_BITMAP* big = al_create_bitmap(20, 20);
    al_set_target_bitmap(big);
    al_clear_to_color(Map(kClear));
    // The offset moves positioned draws, not tinted ones.
    BitmapWrapper dot(1, 1, &openGL);
    dot.ClearToRGBA(255, 255, 255, 255);
    dot.SetOffset(3, 4);
    al_set_target_bitmap(big);
    dot.DrawTinted(al_map_rgba(255, 0, 0, 255), 10, 10, 0);
    EXPECT_EQ(PixelAt(big, 10, 10), kRed);
    dot.Draw(10, 10, 0);
    EXPECT_EQ(PixelAt(big, 13, 14), kWhite);
    dot.DrawScaledToCurrent(0, 0, 1, 1, 5, 0, 2, 2, 0);
    EXPECT_EQ(PixelAt(big, 9, 5), kWhite);

    // A 5 x 7 bitmap turns about (2, 3).
    BitmapWrapper odd(5, 7, &openGL);
    odd.ClearToRGBA(0, 0, 255, 255);
    Put(odd.GetBitmap(), 2, 3, kRed);
    al_set_target_bitmap(big);
    al_clear_to_color(Map(kClear));
    odd.DrawRotatedCentred(10, 10, 0.0f, 0);
    EXPECT_EQ(PixelAt(big, 10, 10), kRed);
    EXPECT_EQ(PixelAt(big, 8, 7), kBlue);  // the bitmap's top-left corner
    EXPECT_EQ(PixelAt(big, 7, 7), kClear);
    al_set_target_bitmap(nullptr);
    al_destroy_bitmap(big);
}

TEST_F(BitmapWrapperTest, ResizeAndWrapping) {
    sprite->SetOffset(2, 1);
    sprite->BuildPaletteIndexMap(&palette, &selector);
    sprite->Resize(6, 3);
    EXPECT_EQ(sprite->GetWidth(), 6);
    EXPECT_EQ(al_get_bitmap_width(sprite->GetBitmap()), 6);
    EXPECT_EQ(al_get_bitmap_height(sprite->GetBitmap()), 3);
    EXPECT_FALSE(sprite->HasPaletteMap());
    EXPECT_EQ(sprite->GetPalette(), nullptr);
    EXPECT_EQ(sprite->GetOffsetX(), 2);
    EXPECT_EQ(PixelAt(sprite->GetBitmap(), 5, 2), kClear);

    Put(sprite->GetBitmap(), 1, 1, kGreen);
    sprite->ResizeKeep(8, 8);
    EXPECT_EQ(PixelAt(sprite->GetBitmap(), 1, 1), kGreen);
    EXPECT_EQ(PixelAt(sprite->GetBitmap(), 7, 7), kClear);

    // A wrapped bitmap is never resized nor destroyed.
    BitmapWrapper* wrapped = BitmapWrapper::WrapBitmap(target, &openGL);
    EXPECT_TRUE(wrapped->IsWrapped());
    EXPECT_EQ(wrapped->GetWidth(), 10);
    EXPECT_EQ(wrapped->GetHeight(), 6);
    wrapped->Resize(3, 3);
    wrapped->ResizeKeep(3, 3);
    EXPECT_EQ(wrapped->GetBitmap(), target);
    EXPECT_EQ(wrapped->GetWidth(), 10);
    wrapped->ClearToBlack();
    EXPECT_EQ(PixelAt(target, 9, 5), (Rgba{0, 0, 0, 255}));
    BitmapWrapper::Delete(wrapped);
    EXPECT_EQ(al_get_bitmap_width(target), 10);  // still alive

    // Empty wrappers draw nothing and do not crash.
    BitmapWrapper* empty = BitmapWrapper::WrapBitmap(nullptr, &openGL);
    empty->Draw(0, 0, 0);
    empty->ClearToBlack();
    delete empty;
}

TEST_F(BitmapWrapperTest, PixelCopiesMirrorAndClip) {
    ALLEGRO_BITMAP* source = al_create_bitmap(2, 2);
    Put(source, 0, 0, kRed);
    Put(source, 1, 0, kGreen);
    Put(source, 0, 1, kBlue);
    Put(source, 1, 1, kWhite);

    CopyBitmapRegion(source, target, 0, 0, 2, 2, 3);
    EXPECT_EQ(PixelAt(target, 1, 1), kRed);
    EXPECT_EQ(PixelAt(target, 0, 1), kGreen);
    EXPECT_EQ(PixelAt(target, 1, 0), kBlue);
    EXPECT_EQ(PixelAt(target, 0, 0), kWhite);
    EXPECT_EQ(PixelAt(target, 2, 0), kGrey);
    EXPECT_EQ(al_get_target_bitmap(), target);

    ClearTarget();
    CopyBitmapRegionTo(source, target, 0, 0, 2, 2, 4, 2, 1);
    EXPECT_EQ(PixelAt(target, 5, 2), kRed);
    EXPECT_EQ(PixelAt(target, 4, 2), kGreen);

    // Partly outside both bitmaps: only the overlapping pixels move.
    ClearTarget();
    CopyBitmapRegionTo(source, target, 1, 1, 4, 4, 8, 0, 0);
    EXPECT_EQ(PixelAt(target, 8, 0), kWhite);
    EXPECT_EQ(PixelAt(target, 9, 0), kGrey);
    EXPECT_EQ(PixelAt(target, 8, 1), kGrey);
    CopyBitmapRegionTo(source, target, 0, 0, 2, 2, -1, 4, 0);
    EXPECT_EQ(PixelAt(target, 0, 4), kGreen);
    EXPECT_EQ(PixelAt(target, 0, 5), kWhite);

    // Bad modes and null bitmaps copy nothing.
    ClearTarget();
    CopyBitmapRegion(source, target, 0, 0, 2, 2, 4);
    CopyBitmapRegion(nullptr, target, 0, 0, 2, 2, 0);
    EXPECT_EQ(PixelAt(target, 0, 0), kGrey);
    al_set_target_bitmap(nullptr);
    al_destroy_bitmap(source);
}

}  // namespace
