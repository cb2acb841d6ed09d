#include "core/base/DisjointSets.h"

#include <gtest/gtest.h>

TEST(DisjointSets, UnionByRankAndPathCompression) {
    DisjointSets sets(5);
    sets.Union(0, 1);  // equal ranks: the first becomes the root
    EXPECT_EQ(sets.FindSet(1), 0);
    EXPECT_EQ(sets.Rank(0), 1);
    sets.Union(4, 0);  // lower rank goes under the higher, whatever the order
    EXPECT_EQ(sets.FindSet(4), 0);
    EXPECT_EQ(sets.Rank(0), 1);
    sets.Union(0, 4);  // already one set
    EXPECT_EQ(sets.NumSets(), 3);

    sets.Union(2, 3);
    sets.Union(0, 2);  // two roots of rank 1
    EXPECT_EQ(sets.Rank(0), 2);
    EXPECT_EQ(sets.Parent(3), 2);
    EXPECT_EQ(sets.FindSet(3), 0);
    EXPECT_EQ(sets.Parent(3), 0);  // compressed onto the root
    EXPECT_EQ(sets.NumSets(), 1);

    sets.AddElements(2);
    EXPECT_EQ(sets.NumSets(), 3);
    EXPECT_EQ(sets.FindSet(6), 6);
}

TEST(DisjointSets, BadIdsChangeNothingAndCopiesAreDeep) {
    DisjointSets sets(4);
    EXPECT_EQ(sets.FindSet(-1), -1);
    EXPECT_EQ(sets.FindSet(4), -1);
    sets.Union(0, 4);
    sets.Union(-1, 2);
    sets.AddElements(-4);
    EXPECT_EQ(sets.NumSets(), 4);
    EXPECT_EQ(sets.NumElements(), 4);
    EXPECT_EQ(DisjointSets(-2).NumSets(), 0);

    // An element that is not a root is joined through its root, so the
    // count of sets stays true.
    sets.Union(0, 1);
    sets.Union(1, 2);
    EXPECT_EQ(sets.NumSets(), 2);
    EXPECT_EQ(sets.FindSet(2), sets.FindSet(0));

    DisjointSets copy(sets);
    copy.Union(0, 3);
    EXPECT_EQ(copy.NumSets(), 1);
    EXPECT_EQ(sets.NumSets(), 2);
    EXPECT_EQ(sets.FindSet(3), 3);
    DisjointSets assigned;
    assigned = copy;
    copy.AddElements(1);
    EXPECT_EQ(assigned.NumElements(), 4);
    EXPECT_EQ(assigned.FindSet(3), 0);
}
