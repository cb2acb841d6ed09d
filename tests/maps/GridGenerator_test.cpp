#include "maps/GridGenerator.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/StderrCapture.h"

using testsupport::StderrCapture;

namespace {

std::vector<uint8_t> Cells(const GridGenerator& grid) {
    std::vector<uint8_t> cells;
    for (int32_t x = 0; x < grid.GetX(); ++x)
        for (int32_t y = 0; y < grid.GetY(); ++y) cells.push_back(grid.Get(x, y));
    return cells;
}

}  // namespace

TEST(GridGenerator, OneSeedOneGridEveryTime) {
    GridGenerator a, b, c;
    ASSERT_TRUE(a.Generate(12345, 40, 40, 1, 0.4));
    ASSERT_TRUE(b.Generate(12345, 40, 40, 1, 0.4));
    ASSERT_TRUE(c.Generate(12346, 40, 40, 1, 0.4));
    EXPECT_EQ(Cells(a), Cells(b));
    EXPECT_NE(Cells(a), Cells(c));
    // The generator's own sequence goes on alike after the grid.
    EXPECT_EQ(a.Next(), b.Next());

    // A known seed, pinned: the sequence belongs to the standard engine, not
    // to the machine's C library.
    GridGenerator pinned;
    ASSERT_TRUE(pinned.Generate(1, 8, 8, 1, 0.4));
    std::string rows;
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) rows += static_cast<char>('0' + pinned.Get(x, y));
        rows += '\n';
    }
    GridGenerator again;
    ASSERT_TRUE(again.Generate(1, 8, 8, 1, 0.4));
    EXPECT_EQ(Cells(pinned), Cells(again)) << rows;
}

TEST(GridGenerator, CellsBorderAndCentre) {
    struct Case {
        uint32_t seed;
        int32_t side;
    };
    const Case cases[] = {{1, 6}, {7, 6}, {99, 17}, {2024, 40}, {5, 79}, {31337, 256}};
    for (const Case& c : cases) {
        GridGenerator grid;
        ASSERT_TRUE(grid.Generate(c.seed, c.side, c.side, 3, 0.4)) << c.side;
        int ground = 0;
        for (int32_t x = 0; x < c.side; ++x) {
            for (int32_t y = 0; y < c.side; ++y) {
                const uint8_t v = grid.Get(x, y);
                EXPECT_LE(v, 2) << c.side << " at " << x << "," << y;
                if (x == 0 || y == 0 || x == c.side - 1 || y == c.side - 1) {
                    EXPECT_EQ(v, GridGenerator::kVoid) << c.side << " border at " << x << "," << y;
                }
                ground += v != GridGenerator::kVoid;
            }
        }
        EXPECT_NE(grid.Get(c.side / 2, c.side / 2), GridGenerator::kVoid) << c.side;
        EXPECT_GT(ground, 0);
        EXPECT_EQ(grid.Get(-1, 0), GridGenerator::kVoid);
        EXPECT_EQ(grid.Get(c.side, 0), GridGenerator::kVoid);
    }
}

TEST(GridGenerator, RandomFillPlacesItsShareOfInnerCells) {
    struct Case {
        int32_t x, y;
        double fill;
        int expected;
    };
    const Case cases[] = {
        {10, 10, 0.4, 40},                     // exactly X * Y * p
        {10, 10, 0.25, 25}, {11, 7, 0.4, 31},  // 30.8: the fill goes on while below it
        {6, 6, 0.9, 16},                       // more than the inside holds: all of it
        {10, 10, 1.5, 40},                     // outside (0, 1): the default 0.4
        {10, 10, 0.0, 40},
    };
    for (const Case& c : cases) {
        GridGenerator grid;
        ASSERT_TRUE(grid.Allocate(3, c.x, c.y, 1, c.fill, [engine = std::mt19937(5)]() mutable { return engine(); }));
        grid.RandomFill();
        int caves = 0;
        for (int32_t x = 0; x < c.x; ++x) {
            for (int32_t y = 0; y < c.y; ++y) {
                const uint8_t v = grid.Get(x, y);
                const bool inner = x > 0 && y > 0 && x < c.x - 1 && y < c.y - 1;
                EXPECT_TRUE(v == GridGenerator::kVoid || (inner && v == GridGenerator::kCave));
                caves += v == GridGenerator::kCave;
            }
        }
        EXPECT_EQ(caves, c.expected) << c.x << "x" << c.y << " at " << c.fill;
    }
}

TEST(GridGenerator, SmoothingFollowsTheOpenNeighbours) {
    GridGenerator grid;
    ASSERT_TRUE(grid.Allocate(1, 7, 7, 1, 0.4, nullptr));
    EXPECT_EQ(grid.CountOpenNeighbours(0, 0), 8);  // outside counts as void
    // A lone cave cell in the void goes.
    grid.Set(3, 3, GridGenerator::kCave);
    grid.SmoothPass();
    EXPECT_EQ(grid.Get(3, 3), GridGenerator::kVoid);
    // A hole amid cave fills; a corner cell with five open neighbours stays.
    for (int32_t x = 1; x <= 5; ++x)
        for (int32_t y = 1; y <= 5; ++y) grid.Set(x, y, x == 3 && y == 3 ? GridGenerator::kVoid : GridGenerator::kCave);
    EXPECT_EQ(grid.CountOpenNeighbours(1, 1), 5);
    grid.SmoothPass();
    EXPECT_EQ(grid.Get(3, 3), GridGenerator::kCave);
    EXPECT_EQ(grid.Get(1, 1), GridGenerator::kCave);
}

namespace {

// Whether the two cells are joined by non-void cells (four-way steps).
bool Joined(const GridGenerator& grid, int32_t fx, int32_t fy, int32_t tx, int32_t ty) {
    std::vector<bool> seen(static_cast<size_t>(grid.GetX() * grid.GetY()));
    std::vector<std::pair<int32_t, int32_t>> open{{fx, fy}};
    while (!open.empty()) {
        auto [x, y] = open.back();
        open.pop_back();
        if (grid.Get(x, y) == GridGenerator::kVoid || seen[x * grid.GetY() + y]) continue;
        if (x == tx && y == ty) return true;
        seen[x * grid.GetY() + y] = true;
        open.insert(open.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    return false;
}

}  // namespace

TEST(GridGenerator, RegionsAreJoinedToTheCentre) {
    // A void centre becomes corridor, and a corridor leads to it.
    GridGenerator grid;
    ASSERT_TRUE(grid.Allocate(1, 11, 11, 1, 0.4, nullptr));
    for (int32_t x = 1; x <= 2; ++x)
        for (int32_t y = 1; y <= 2; ++y) grid.Set(x, y, GridGenerator::kCave);
    grid.JoinRegions();
    EXPECT_EQ(grid.Get(5, 5), GridGenerator::kCorridor);
    EXPECT_TRUE(Joined(grid, 1, 1, 5, 5));
    EXPECT_EQ(grid.Get(1, 1), GridGenerator::kCave);

    // A cave centre stays cave; the corridor stops where it reaches it.
    GridGenerator caves;
    ASSERT_TRUE(caves.Allocate(1, 11, 11, 1, 0.4, nullptr));
    for (int32_t x = 4; x <= 6; ++x)
        for (int32_t y = 4; y <= 6; ++y) caves.Set(x, y, GridGenerator::kCave);
    caves.Set(1, 8, GridGenerator::kCave);
    caves.JoinRegions();
    EXPECT_EQ(caves.Get(5, 5), GridGenerator::kCave);
    EXPECT_TRUE(Joined(caves, 1, 8, 5, 5));
    int corridor = 0;
    for (int32_t x = 0; x < 11; ++x)
        for (int32_t y = 0; y < 11; ++y) corridor += caves.Get(x, y) == GridGenerator::kCorridor;
    EXPECT_EQ(corridor, 5);  // (2..5, 8) then (5, 7): the shortest way in
}

TEST(GridGenerator, ACorridorInTheCentresRegionEndsWhereItsStepStaysPut) {
    // A hook-shaped cave around a void cell, holding the centre (5, 5); its
    // root is (3, 5), level with the centre, with the void (4, 5) between.
    // Drawn along y, the step stays on (3, 5), already in the centre's set:
    // no corridor. Drawn along x, it digs (4, 5) and then meets the centre.
    struct Case {
        uint32_t draw;
        int corridors;
    };
    const Case cases[] = {{1, 0}, {0, 1}};
    for (const Case& c : cases) {
        GridGenerator grid;
        ASSERT_TRUE(grid.Allocate(1, 11, 11, 1, 0.4, [d = c.draw] { return d; }));
        for (auto [x, y] : {std::pair{3, 5}, {3, 4}, {4, 4}, {5, 4}, {5, 5}}) grid.Set(x, y, GridGenerator::kCave);
        grid.JoinRegions();
        int corridor = 0;
        for (int32_t x = 0; x < 11; ++x)
            for (int32_t y = 0; y < 11; ++y) corridor += grid.Get(x, y) == GridGenerator::kCorridor;
        EXPECT_EQ(corridor, c.corridors) << "draw " << c.draw;
        EXPECT_EQ(grid.Get(4, 5), c.corridors ? GridGenerator::kCorridor : GridGenerator::kVoid) << "draw " << c.draw;
    }
}

TEST(GridGenerator, SizesThatCannotWorkAreRefused) {
    struct Case {
        int32_t x, y, z;
    };
    const Case cases[] = {{5, 40, 1}, {40, 5, 1}, {0, 0, 1}, {-40, 40, 1}, {257, 257, 1}, {40, 40, 0}, {40, 40, 17}};
    for (const Case& c : cases) {
        GridGenerator grid;
        StderrCapture cap;
        EXPECT_FALSE(grid.Generate(1, c.x, c.y, c.z, 0.4));
        EXPECT_NE(cap.Take().find("GridGenerator::Generate:  Failed, size"), std::string::npos);
        EXPECT_FALSE(grid.HasGrid());
    }
    // A source that always gives the same number still ends.
    GridGenerator stubborn;
    ASSERT_TRUE(stubborn.Generate(1, 12, 12, 1, 0.4, [] { return 0u; }));
    EXPECT_TRUE(stubborn.HasGrid());
}

TEST(GridGenerator, NonSquareGridsJoinTheirRegions) {
    GridGenerator grid;
    ASSERT_TRUE(grid.Generate(77, 60, 20, 1, 0.4));
    EXPECT_NE(grid.Get(30, 10), GridGenerator::kVoid);
    for (int32_t x = 0; x < 60; ++x) EXPECT_EQ(grid.Get(x, 19), GridGenerator::kVoid);
    for (int32_t y = 0; y < 20; ++y) EXPECT_EQ(grid.Get(59, y), GridGenerator::kVoid);
}
