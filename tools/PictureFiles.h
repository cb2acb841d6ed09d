#pragma once
// PNG reading and writing for the art tools, through Allegro's image addon
// on memory bitmaps. Allegro must be started (al_init, al_init_image_addon).
#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <cstring>
#include <string>

#include "ArchiveWriter.h"

namespace sif {

// Loads a picture. Allegro premultiplies alpha on load, which is also how
// the engine draws, so the archive keeps the premultiplied bytes.
inline bool LoadPicture(const std::string& path, Picture& out, std::string& error) {
    int oldFlags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    ALLEGRO_BITMAP* bitmap = al_load_bitmap(path.c_str());
    al_set_new_bitmap_flags(oldFlags);
    if (!bitmap) {
        error = "cannot load " + path;
        return false;
    }
    out.width = static_cast<uint32_t>(al_get_bitmap_width(bitmap));
    out.height = static_cast<uint32_t>(al_get_bitmap_height(bitmap));
    out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
    // ABGR_8888_LE keeps the bytes R, G, B, A in memory order.
    ALLEGRO_LOCKED_REGION* region = al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    if (!region) {
        al_destroy_bitmap(bitmap);
        error = "cannot read the pixels of " + path;
        return false;
    }
    for (uint32_t row = 0; row < out.height; ++row) {
        const uint8_t* from = static_cast<const uint8_t*>(region->data) + static_cast<ptrdiff_t>(row) * region->pitch;
        std::memcpy(&out.rgba[static_cast<size_t>(row) * out.width * 4], from, static_cast<size_t>(out.width) * 4);
    }
    al_unlock_bitmap(bitmap);
    al_destroy_bitmap(bitmap);
    return true;
}

// Saves a picture (straight alpha, as PNG files hold it) through a memory
// bitmap; the format follows the file's extension.
inline bool SavePicture(const std::string& path, const Picture& picture, std::string& error) {
    int oldFlags = al_get_new_bitmap_flags();
    int oldFormat = al_get_new_bitmap_format();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    al_set_new_bitmap_format(ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE);
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(static_cast<int>(picture.width), static_cast<int>(picture.height));
    al_set_new_bitmap_flags(oldFlags);
    al_set_new_bitmap_format(oldFormat);
    if (!bitmap) {
        error = "cannot create a bitmap for " + path;
        return false;
    }
    ALLEGRO_LOCKED_REGION* region = al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    if (!region) {
        al_destroy_bitmap(bitmap);
        error = "cannot lock the bitmap for " + path;
        return false;
    }
    for (uint32_t row = 0; row < picture.height; ++row) {
        uint8_t* to = static_cast<uint8_t*>(region->data) + static_cast<ptrdiff_t>(row) * region->pitch;
        std::memcpy(to, &picture.rgba[static_cast<size_t>(row) * picture.width * 4],
                    static_cast<size_t>(picture.width) * 4);
    }
    al_unlock_bitmap(bitmap);
    bool saved = al_save_bitmap(path.c_str(), bitmap);
    al_destroy_bitmap(bitmap);
    if (!saved) error = "cannot save " + path;
    return saved;
}

}  // namespace sif
