#include "maps/GridGenerator.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "core/base/DisjointSets.h"

namespace {

int32_t Sign(int32_t v) { return (v > 0) - (v < 0); }

}  // namespace

bool GridGenerator::Generate(uint32_t seed, int32_t x, int32_t y, int32_t z, double fill) {
    return Generate(seed, x, y, z, fill, [engine = std::mt19937(seed)]() mutable { return engine(); });
}

bool GridGenerator::Generate(uint32_t seed, int32_t x, int32_t y, int32_t z, double fill, Source source) {
    if (!Allocate(seed, x, y, z, fill, std::move(source))) return false;
    RandomFill();
    for (int pass = 0; pass < kSmoothPasses; ++pass) SmoothPass();
    JoinRegions();
    return true;
}

bool GridGenerator::Allocate(uint32_t seed, int32_t x, int32_t y, int32_t z, double fill, Source source) {
    Free();
    if (x < kMinSide || y < kMinSide || x > kMaxSide || y > kMaxSide || z < 1 || z > kMaxLayers) {
        std::fprintf(stderr, "GridGenerator::Generate:  Failed, size %i %i %i is outside %i..%i (layers 1..%i)\n", x, y,
                     z, kMinSide, kMaxSide, kMaxLayers);
        return false;
    }
    m_seed = seed;
    m_x = x;
    m_y = y;
    m_z = z;
    m_fill = fill > 0.0 && fill < 1.0 ? fill : kDefaultFill;
    m_source = source ? std::move(source) : Source([] { return 0u; });
    m_grid.assign(static_cast<size_t>(x) * static_cast<size_t>(y) * static_cast<size_t>(z), kVoid);
    return true;
}

void GridGenerator::Free() {
    m_grid.clear();
    m_grid.shrink_to_fit();
}

uint32_t GridGenerator::Next() { return m_source ? m_source() : 0u; }

int32_t GridGenerator::Draw(int32_t n) {
    if (n <= 0) return 0;
    return static_cast<int32_t>(Next() % static_cast<uint32_t>(n));
}

uint8_t GridGenerator::Get(int32_t x, int32_t y) const {
    if (m_grid.empty() || x < 0 || y < 0 || x >= m_x || y >= m_y) return kVoid;
    return m_grid[Index(x, y)];
}

void GridGenerator::RandomFill() {
    if (m_grid.empty()) return;
    const int64_t inner = int64_t{m_x - 2} * (m_y - 2);
    // A probability near 1 could ask for more cells than the inside holds.
    const double target = std::min(static_cast<double>(m_x) * m_y * m_fill, static_cast<double>(inner));
    // A source that keeps hitting filled cells gives up rather than spin.
    const int64_t maxAttempts = inner * 1000;
    int64_t placed = 0;
    for (int64_t attempt = 0; placed < target && attempt < maxAttempts; ++attempt) {
        const int32_t x = Draw(m_x - 2) + 1;
        const int32_t y = Draw(m_y - 2) + 1;
        if (Get(x, y) != kVoid) continue;
        Set(x, y, kCave);
        ++placed;
    }
}

int GridGenerator::CountOpenNeighbours(int32_t x, int32_t y) const {
    int open = 0;
    for (int32_t dx = -1; dx <= 1; ++dx)
        for (int32_t dy = -1; dy <= 1; ++dy)
            if ((dx || dy) && Get(x + dx, y + dy) == kVoid) ++open;
    return open;
}

void GridGenerator::SmoothPass() {
    if (m_grid.empty()) return;
    for (int32_t x = 1; x <= m_x - 2; ++x) {
        for (int32_t y = 1; y <= m_y - 2; ++y) {
            const int open = CountOpenNeighbours(x, y);
            if (open >= 6)
                Set(x, y, kVoid);
            else if (open < 4)
                Set(x, y, kCave);
        }
    }
}

void GridGenerator::UniteWithNeighbours(DisjointSets& sets, int32_t x, int32_t y) {
    const int self = sets.FindSet(Id(x, y));
    if (x > 0 && Get(x - 1, y) == kCave) {
        const int other = sets.FindSet(Id(x - 1, y));
        if (other != self) sets.Union(self, other);
    }
    const int again = sets.FindSet(Id(x, y));
    if (y > 0 && Get(x, y - 1) == kCave) {
        const int other = sets.FindSet(Id(x, y - 1));
        if (other != again) sets.Union(again, other);
    }
}

void GridGenerator::JoinRegions() {
    if (m_grid.empty()) return;
    const int32_t cx = m_x / 2, cy = m_y / 2;
    if (Get(cx, cy) != kCave) Set(cx, cy, kCorridor);

    DisjointSets sets(m_x * m_y);
    for (int32_t x = 0; x < m_x; ++x)
        for (int32_t y = 0; y < m_y; ++y)
            if (Get(x, y) == kCave) UniteWithNeighbours(sets, x, y);

    std::vector<int> roots;
    for (int id = 0; id < m_x * m_y; ++id) {
        const int root = sets.FindSet(id);
        if (Get(root / m_y, root % m_y) != kVoid) roots.push_back(root);
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    for (int root : roots) Tunnel(sets, root / m_y, root % m_y);
}

void GridGenerator::Tunnel(DisjointSets& sets, int32_t x, int32_t y) {
    const int32_t mx = m_x / 2, my = m_y / 2;
    // Every step moves one cell nearer the centre, so the walk ends.
    for (;;) {
        const int32_t sx = Sign(mx - x), sy = Sign(my - y);
        bool alongY = Draw(2) == 1;
        const int here = sets.FindSet(Id(x, y));
        if ((alongY ? sy : sx) == 0) {
            // The chosen axis is already level with the centre, so the step
            // would stay on this cell: that ends a corridor already in the
            // centre's set (the centre's cell included); any other goes
            // along the other axis rather than drawing again.
            if (here == sets.FindSet(Id(mx, my))) return;
            alongY = !alongY;
        }
        const int32_t nx = alongY ? x : x + sx;
        const int32_t ny = alongY ? y + sy : y;

        const int next = sets.FindSet(Id(nx, ny));
        if (next == sets.FindSet(Id(mx, my))) return;
        if (next != here && Get(nx, ny) == kCave) return;
        if (next != here) sets.Union(here, next);
        if (Get(nx, ny) == kVoid) Set(nx, ny, kCorridor);
        x = nx;
        y = ny;
    }
}
