#include "core/base/Geometry.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/base/NamedList.h"

TEST(Geometry, PointsAndRectanglesIncludeTheirBounds) {
    EXPECT_TRUE(PointInRect(0, 0, 0, 0, 10, 5));
    EXPECT_TRUE(PointInRect(10, 5, 0, 0, 10, 5));
    EXPECT_FALSE(PointInRect(11, 2, 0, 0, 10, 5));
    EXPECT_FALSE(PointInRect(4, -1, 0, 0, 10, 5));

    EXPECT_TRUE(RectsOverlap(0, 0, 10, 10, 10, 0, 20, 10));     // shared edge
    EXPECT_TRUE(RectsOverlap(0, 0, 10, 10, 10, 10, 20, 20));    // shared corner
    EXPECT_FALSE(RectsOverlap(0, 0, 10, 10, 11, 0, 20, 10));    // one apart on x
    EXPECT_FALSE(RectsOverlap(0, 0, 10, 10, 0, 11, 10, 20));    // one apart on y
    EXPECT_TRUE(RectsOverlap(0, 0, 100, 100, 40, 40, 50, 50));  // first covers second
    EXPECT_TRUE(RectsOverlap(40, 40, 50, 50, 0, 0, 100, 100));  // first inside second
    EXPECT_TRUE(RectsOverlap(0, 40, 100, 50, 40, 0, 50, 100));  // a cross: neither corner inside
    EXPECT_FALSE(RectsOverlap(0, 40, 100, 50, 40, 60, 50, 100));

    const int32_t a[4] = {0, 0, 5, 5};
    const int32_t b[4] = {5, 5, 9, 9};
    const int32_t c[4] = {6, 0, 9, 9};
    EXPECT_TRUE(RectArraysOverlap(a, b));
    EXPECT_FALSE(RectArraysOverlap(a, c));
    EXPECT_FALSE(RectArraysOverlap(a, nullptr));
}

TEST(Geometry, DistanceFloatOrderAndListConveniences) {
    EXPECT_FLOAT_EQ(Distance2D(2.5f, 0, -0.5f, 4), 5.0f);
    float values[] = {3.5f, -1.0f, 2.0f, -7.25f};
    std::qsort(values, 4, sizeof(float), CompareFloats);
    EXPECT_EQ(values[0], -7.25f);
    EXPECT_EQ(values[3], 3.5f);

    NamedList list(true);  // the byte is released with the list (leak checker)
    EXPECT_EQ(NamedListAddByte(&list, "flag", 200), 200);
    EXPECT_EQ(NamedListAddByte(nullptr, "flag", 3), 3);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(*list.FindAs<uint8_t>("flag"), 200);
    int value = 0;
    EXPECT_FALSE(NamedListAddPointer(&list, "q", nullptr));
    EXPECT_FALSE(NamedListAddPointer(nullptr, "q", &value));
    EXPECT_EQ(list.GetCount(), 1);
}
