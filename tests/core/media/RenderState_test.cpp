#include "core/media/RenderState.h"

#include <gtest/gtest.h>

#include "core/base/GlobalState.h"

TEST(RenderState, PaletteIndexIgnoresNegatives) {
    SetPaletteIndex(3);
    EXPECT_EQ(GetGlobalState()->paletteIndex, 3);
    SetPaletteIndex(-1);
    EXPECT_EQ(GetPaletteIndex(), 3);
    SetPaletteIndex(0);
    EXPECT_EQ(GetPaletteIndex(), 0);
}
