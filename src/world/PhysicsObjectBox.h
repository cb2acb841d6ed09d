#pragma once
#include <cstdint>

// The integer box of a world object that a physics pack moves: the box
// corners, the position and the dimensions. The box is recomputed from the
// position and the dimensions after each unit moved.
struct ObjectBox {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0, z1 = 0, z2 = 0;
    int32_t X = 0, Y = 0, Z = 0;
    int32_t XDim = 0, YDim = 0, ZDim = 0;
};
