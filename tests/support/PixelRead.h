#pragma once
// Pixel reads for tests. A colour is either its four bytes as an Rgba
// (compares with ==, prints as [r, g, b, a] in a failed expectation) or
// packed as 0xRRGGBBAA.
//
//   EXPECT_EQ(testsupport::PixelAt(bitmap, 1, 1), (testsupport::Rgba{255, 0, 0, 255}));
//   EXPECT_EQ(testsupport::PackedPixelAt(bitmap, 1, 1), 0xFF0000FFu);
#include <allegro5/allegro.h>

#include <array>
#include <cstdint>
#include <vector>

#include "core/media/BitmapWrapper.h"

namespace testsupport {

using Rgba = std::array<int, 4>;

inline Rgba ColourOf(ALLEGRO_COLOR colour) {
    unsigned char r, g, b, a;
    al_unmap_rgba(colour, &r, &g, &b, &a);
    return {r, g, b, a};
}

inline Rgba PixelAt(ALLEGRO_BITMAP* bitmap, int x, int y) { return ColourOf(al_get_pixel(bitmap, x, y)); }

inline Rgba PixelAt(const BitmapWrapper* bitmap, int x, int y) { return PixelAt(bitmap->GetBitmap(), x, y); }

inline uint32_t Packed(ALLEGRO_COLOR colour) {
    Rgba c = ColourOf(colour);
    return uint32_t(c[0]) << 24 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 8 | uint32_t(c[3]);
}

inline uint32_t PackedPixelAt(ALLEGRO_BITMAP* bitmap, int x, int y) { return Packed(al_get_pixel(bitmap, x, y)); }

inline uint32_t PackedPixelAt(const BitmapWrapper* bitmap, int x, int y) {
    return PackedPixelAt(bitmap->GetBitmap(), x, y);
}

// Every pixel's four bytes, row by row from the top left.
inline std::vector<unsigned char> RgbaBytes(ALLEGRO_BITMAP* bitmap) {
    const int width = al_get_bitmap_width(bitmap);
    const int height = al_get_bitmap_height(bitmap);
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char r, g, b, a;
            al_unmap_rgba(al_get_pixel(bitmap, x, y), &r, &g, &b, &a);
            bytes.insert(bytes.end(), {r, g, b, a});
        }
    }
    return bytes;
}

}  // namespace testsupport
