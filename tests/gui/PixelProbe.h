#pragma once
// Pixel reads for the GUI tests: 0xRRGGBBAA of one pixel of a bitmap.
#include <allegro5/allegro.h>

#include <cstdint>

#include "core/media/BitmapWrapper.h"

inline uint32_t Px(const BitmapWrapper* bitmap, int x, int y) {
    unsigned char r, g, b, a;
    al_unmap_rgba(al_get_pixel(bitmap->GetBitmap(), x, y), &r, &g, &b, &a);
    return uint32_t{r} << 24 | uint32_t{g} << 16 | uint32_t{b} << 8 | a;
}
