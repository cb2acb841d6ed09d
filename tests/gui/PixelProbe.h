#pragma once
// Pixel reads for the GUI tests: 0xRRGGBBAA of one pixel of a bitmap.
#include <cstdint>

#include "support/PixelRead.h"

inline uint32_t Px(const BitmapWrapper* bitmap, int x, int y) { return testsupport::PackedPixelAt(bitmap, x, y); }
