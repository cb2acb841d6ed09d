#include "support/VideoBitmapFixture.h"

#include <allegro5/allegro.h>

#include "support/AllegroTestEnv.h"

namespace testsupport {

void VideoBitmapFixture::SetUp() {
    ASSERT_TRUE(EnsureDisplay());
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
}

void VideoBitmapFixture::TearDown() { al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP); }

}  // namespace testsupport
