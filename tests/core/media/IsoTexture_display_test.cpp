#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include "core/media/BitmapWrapper.h"
#include "core/media/IsoTexture.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"

namespace {

using testsupport::PixelAt;

// An opaque source whose pixels differ from one another.
void Paint(BitmapWrapper* source) {
    source->SetAsTarget();
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y) al_put_pixel(x, y, al_map_rgb(40 + x * 6, 40 + y * 6, 90));
}

// The projections built in video bitmaps match those built in memory
// bitmaps pixel for pixel: every pixel a projection leaves out stays
// transparent.
TEST(IsoTextureDisplay, VideoProjectionsLeaveNoStrayPixels) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    uint8_t software = 0;
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    BitmapWrapper memorySource(32, 32, &software);
    Paint(&memorySource);
    IsoTexture expected(&software);
    expected.Build(&memorySource);

    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    BitmapWrapper videoSource(32, 32, &software);
    ASSERT_FALSE(al_get_bitmap_flags(videoSource.GetBitmap()) & ALLEGRO_MEMORY_BITMAP);
    Paint(&videoSource);
    // Several rounds: a lock buffer handed out again holds the last round's pixels.
    for (int round = 0; round < 3; ++round) {
        IsoTexture texture(&software);
        texture.Build(&videoSource);
        for (int kind = 0; kind < 3; ++kind) {
            BitmapWrapper* face = texture.GetFace(kind);
            BitmapWrapper* want = expected.GetFace(kind);
            ASSERT_FALSE(al_get_bitmap_flags(face->GetBitmap()) & ALLEGRO_MEMORY_BITMAP);
            int wrong = 0, transparent = 0;
            for (int x = 0; x < face->GetWidth(); ++x) {
                for (int y = 0; y < face->GetHeight(); ++y) {
                    if (!(PixelAt(face, x, y) == PixelAt(want, x, y))) ++wrong;
                    if (PixelAt(want, x, y)[3] == 0) ++transparent;
                }
            }
            EXPECT_GT(transparent, 0) << "face " << kind;
            EXPECT_EQ(wrong, 0) << "face " << kind << ", round " << round;
        }
    }
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
}

}  // namespace
