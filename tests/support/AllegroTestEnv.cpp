#include "support/AllegroTestEnv.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_primitives.h>
#include <allegro5/allegro_ttf.h>

#include "support/TestWiring.h"

namespace testsupport {

void EnsureAllegro() {
    // The wiring between the layers, as start-up installs it.
    InstallTestWiring();
    if (al_is_system_installed()) return;
    al_install_system(ALLEGRO_VERSION_INT, nullptr);
    al_init_font_addon();
    al_init_image_addon();
    al_init_ttf_addon();
    al_init_primitives_addon();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
}

bool EnsureDisplay() {
    static ALLEGRO_DISPLAY* display = nullptr;
    EnsureAllegro();
    if (!display) {
        al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
        display = al_create_display(320, 240);
    }
    // Video bitmaps are made for the thread's current display, which an
    // earlier test may have let go (by targeting no bitmap).
    if (display && !al_get_current_display()) al_set_target_backbuffer(display);
    return display != nullptr;
}

}  // namespace testsupport
