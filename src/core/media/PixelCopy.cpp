#include "core/media/PixelCopy.h"

#include <vector>

namespace {

struct CopiedPixel {
    int x, y;
    ALLEGRO_COLOR colour;
};

// Reads the block from the source and works out where each pixel lands.
// Pixels read outside the source or landing outside the destination are
// dropped. Reading everything first keeps a copy within one bitmap correct.
std::vector<CopiedPixel> Gather(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h,
                                int dx, int dy, int mode) {
    std::vector<CopiedPixel> pixels;
    if (!source || !destination || mode < 0 || mode > 3 || w <= 0 || h <= 0) return pixels;
    const int64_t sourceW = al_get_bitmap_width(source), sourceH = al_get_bitmap_height(source);
    const int64_t destW = al_get_bitmap_width(destination), destH = al_get_bitmap_height(destination);
    for (int64_t j = 0; j < h; ++j) {
        int64_t readY = static_cast<int64_t>(sy) + j;
        int64_t writeY = static_cast<int64_t>(dy) + ((mode & 2) ? h - 1 - j : j);
        if (readY < 0 || readY >= sourceH || writeY < 0 || writeY >= destH) continue;
        for (int64_t i = 0; i < w; ++i) {
            int64_t readX = static_cast<int64_t>(sx) + i;
            int64_t writeX = static_cast<int64_t>(dx) + ((mode & 1) ? w - 1 - i : i);
            if (readX < 0 || readX >= sourceW || writeX < 0 || writeX >= destW) continue;
            pixels.push_back({static_cast<int>(writeX), static_cast<int>(writeY),
                              al_get_pixel(source, static_cast<int>(readX), static_cast<int>(readY))});
        }
    }
    return pixels;
}

void Put(ALLEGRO_BITMAP* destination, const std::vector<CopiedPixel>& pixels) {
    al_set_target_bitmap(destination);
    for (const CopiedPixel& p : pixels) al_put_pixel(p.x, p.y, p.colour);
}

void CopyLocking(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h, int dx, int dy,
                 int mode) {
    if (!source || !destination || mode < 0 || mode > 3) return;
    bool sourceLocked = !al_is_bitmap_locked(source) &&
                        al_lock_bitmap(source, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READONLY) != nullptr;
    std::vector<CopiedPixel> pixels = Gather(source, destination, sx, sy, w, h, dx, dy, mode);
    if (sourceLocked) al_unlock_bitmap(source);
    if (pixels.empty()) {
        al_set_target_bitmap(destination);
        return;
    }
    // The destination is locked read-write: a write-only lock of a video
    // bitmap would lose the pixels the copy does not write.
    bool destinationLocked = !al_is_bitmap_locked(destination) &&
                             al_lock_bitmap(destination, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READWRITE) != nullptr;
    Put(destination, pixels);
    if (destinationLocked) al_unlock_bitmap(destination);
}

}  // namespace

void CopyBitmapRegion(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h, int mode) {
    CopyLocking(source, destination, sx, sy, w, h, 0, 0, mode);
}

void CopyBitmapRegionTo(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h, int dx,
                        int dy, int mode) {
    CopyLocking(source, destination, sx, sy, w, h, dx, dy, mode);
}

void CopyBitmapRegionLocked(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h, int dx,
                            int dy, int mode) {
    if (!source || !destination || mode < 0 || mode > 3) return;
    Put(destination, Gather(source, destination, sx, sy, w, h, dx, dy, mode));
}
