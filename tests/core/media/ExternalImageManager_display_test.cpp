#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ArchiveWriter.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "support/PixelRead.h"
#include "support/TempDir.h"
#include "support/VideoBitmapFixture.h"

namespace {

using testsupport::PixelAt;
using testsupport::Rgba;

// Pixel (x, y) has the bytes (x * 3, y * 5, 255 - x, 40 + y), so that every
// channel differs and a swapped pair of channels shows.
sif::Picture Pattern(uint32_t width, uint32_t height) {
    sif::Picture picture;
    picture.width = width;
    picture.height = height;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            picture.rgba.insert(picture.rgba.end(), {static_cast<uint8_t>(x * 3), static_cast<uint8_t>(y * 5),
                                                     static_cast<uint8_t>(255 - x), static_cast<uint8_t>(40 + y)});
    return picture;
}

// How many pixels of the image differ from the pattern.
int WrongPixels(BitmapWrapper& image) {
    ALLEGRO_BITMAP* bitmap = image.GetBitmap();
    int wrong = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            wrong += PixelAt(bitmap, x, y) != Rgba{x * 3, y * 5, 255 - x, 40 + y};
    return wrong;
}

// A display, new bitmaps made as video bitmaps, and in a fresh working
// folder the compressed archive "Data/Art.sif" with a whole image "Wide"
// (37 x 9) and "Trimmed" (20 x 30 of the pattern at (10, 12) in 64 x 64).
// Without a path manager the archive's cache copy is made as "Art.sif" here.
class ExternalImageManagerDisplay : public testsupport::VideoBitmapFixture {
protected:
    void SetUp() override {
        VideoBitmapFixture::SetUp();
        if (HasFatalFailure()) return;
        m_dir = std::make_unique<testsupport::TempDir>();
        sif::ArchiveWriter writer;
        writer.AddImage("Wide", Pattern(37, 9));
        writer.AddTrimmedImage("Trimmed", 64, 64, sif::TrimRect{10, 12, 20, 30}, Pattern(20, 30).rgba);
        std::filesystem::create_directories("Data");
        ASSERT_TRUE(writer.WriteFile(kArchive, true));
    }
    void TearDown() override {
        m_dir.reset();
        VideoBitmapFixture::TearDown();
    }

    static constexpr const char* kArchive = "Data/Art.sif";

private:
    std::unique_ptr<testsupport::TempDir> m_dir;
};

// Images taken out of an archive into video bitmaps (the textures the game
// draws) hold the archive's bytes exactly: every channel in its place, every
// row, trimmed or not, and the drawing target the caller had stays.
TEST_F(ExternalImageManagerDisplay, VideoBitmapsHoldTheArchivePixelsExactly) {
    ALLEGRO_BITMAP* caller = al_create_bitmap(4, 4);
    al_set_target_bitmap(caller);
    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFile(kArchive));
    for (const char* name : {"Wide", "Trimmed"}) {
        SCOPED_TRACE(name);
        std::unique_ptr<BitmapWrapper> image(images.GetBitmapFromActiveFile(name));
        ASSERT_TRUE(image && image->GetBitmap());
        EXPECT_FALSE(al_get_bitmap_flags(image->GetBitmap()) & ALLEGRO_MEMORY_BITMAP);
        EXPECT_EQ(al_get_target_bitmap(), caller);
        EXPECT_EQ(WrongPixels(*image), 0);
    }
    images.CloseFile();
    al_destroy_bitmap(caller);
}

// With a display, images wait to become textures until first used, and
// still hold the archive's pixels then, after the archive was closed too;
// until then the drawing target the caller had stays untouched.
TEST_F(ExternalImageManagerDisplay, ImagesBecomeTexturesOnFirstUseAfterTheArchiveCloses) {
    for (bool cached : {false, true}) {  // freshly inflated, then from the cache copy
        SCOPED_TRACE(cached ? "cache copy" : "fresh");
        ExternalImageManager images;
        ASSERT_TRUE(images.OpenFile(kArchive));
        std::unique_ptr<BitmapWrapper> wide(images.GetBitmapFromActiveFile("Wide"));
        std::unique_ptr<BitmapWrapper> trimmed(images.GetBitmapFromActiveFile("Trimmed"));
        images.CloseFile();
        ASSERT_TRUE(wide && trimmed);
        EXPECT_TRUE(wide->IsPending());
        EXPECT_TRUE(trimmed->IsPending());
        EXPECT_EQ(trimmed->GetOffsetX(), 10);
        EXPECT_EQ(trimmed->GetOffsetY(), 12);
        for (BitmapWrapper* image : {wide.get(), trimmed.get()}) {
            ASSERT_TRUE(image->GetBitmap());
            EXPECT_FALSE(al_get_bitmap_flags(image->GetBitmap()) & ALLEGRO_MEMORY_BITMAP);
            EXPECT_EQ(WrongPixels(*image), 0);
        }
    }
}

}  // namespace
