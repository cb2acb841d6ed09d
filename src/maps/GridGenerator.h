#pragma once
// The cave grid of a random dungeon floor: from a seed and a size it fills
// the inner cells at random, smooths them ten times like a cellular
// automaton into cave regions, and digs corridors from every region toward
// the centre. Cell values: 0 void (no ground), 2 cave floor, 1 corridor.
// Only layer 0 is filled.
//
// The numbers come from a generator of its own (a 32-bit Mersenne twister
// seeded with the seed), so one seed gives the same grid on every machine
// and run. Tests may hand in a source of their own instead.
#include <cstdint>
#include <functional>
#include <vector>

class DisjointSets;

class GridGenerator {
public:
    // Smallest and largest side a grid may have: below 6 the fill target
    // cannot be met, above kMaxSide the grid would be absurd.
    static constexpr int32_t kMinSide = 6;
    static constexpr int32_t kMaxSide = 256;
    static constexpr int32_t kMaxLayers = 16;
    static constexpr int kSmoothPasses = 10;
    static constexpr double kDefaultFill = 0.4;

    enum Cell : uint8_t { kVoid = 0, kCorridor = 1, kCave = 2 };

    // A source of non-negative numbers.
    using Source = std::function<uint32_t()>;

    // Builds the grid from the seed. A size outside kMinSide..kMaxSide (X, Y)
    // or 1..kMaxLayers (Z) is refused with a line and leaves no grid; a fill
    // probability outside (0, 1) is taken as kDefaultFill. True on success.
    bool Generate(uint32_t seed, int32_t x, int32_t y, int32_t z, double fill);
    // The same with the numbers drawn from `source`.
    bool Generate(uint32_t seed, int32_t x, int32_t y, int32_t z, double fill, Source source);
    // The first part of Generate: checks the size, stores the values and
    // allocates a grid of void cells; the steps below then fill it.
    bool Allocate(uint32_t seed, int32_t x, int32_t y, int32_t z, double fill, Source source);
    void Free();

    // The next number of the generator's sequence, for the rest of a
    // floor's random choices, so that the seed reproduces all of it.
    uint32_t Next();

    uint32_t GetSeed() const { return m_seed; }
    int32_t GetX() const { return m_x; }
    int32_t GetY() const { return m_y; }
    int32_t GetZ() const { return m_z; }
    double GetFill() const { return m_fill; }
    bool HasGrid() const { return !m_grid.empty(); }
    // The value of a cell of layer 0; kVoid outside the grid.
    uint8_t Get(int32_t x, int32_t y) const;

    // Steps of the generation, open for tests.
    void RandomFill();
    void SmoothPass();
    void JoinRegions();
    // Number of the eight neighbours of (x, y) that are void (outside the
    // grid counts as void).
    int CountOpenNeighbours(int32_t x, int32_t y) const;
    // Sets a cell of layer 0; nothing outside the grid.
    void Set(int32_t x, int32_t y, uint8_t value) {
        if (!m_grid.empty() && x >= 0 && y >= 0 && x < m_x && y < m_y) m_grid[Index(x, y)] = value;
    }

private:
    size_t Index(int32_t x, int32_t y) const {
        return (static_cast<size_t>(x) * static_cast<size_t>(m_y) + static_cast<size_t>(y)) * static_cast<size_t>(m_z);
    }
    // Disjoint-set id of a cell: x * Y + y.
    int Id(int32_t x, int32_t y) const { return x * m_y + y; }
    void UniteWithNeighbours(DisjointSets& sets, int32_t x, int32_t y);
    void Tunnel(DisjointSets& sets, int32_t x, int32_t y);
    int32_t Draw(int32_t n);  // 0 .. n-1

    uint32_t m_seed = 0;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_z = 0;
    double m_fill = kDefaultFill;
    std::vector<uint8_t> m_grid;  // [X][Y][Z]
    Source m_source;
};
