#pragma once
// The ground the world's things stand on: which cells are blocked, whether the
// view is isometric, and the floor change a stairway asks for. The map
// manager is the terrain the program runs on; the top layer tells the world
// where to find it at start-up, and a tool or a test may put a grid of its
// own in its place to move things without loading a map.
#include <cstdint>

class Terrain {
public:
    virtual ~Terrain() = default;
    // The cell holds something solid.
    virtual bool IsBlocked(int32_t x, int32_t y, int32_t z) const = 0;
    // The same, except that above the top of an isometric map is open.
    virtual bool IsBlockedOpenAbove(int32_t x, int32_t y, int32_t z) const = 0;
    virtual bool IsIsometric() const = 0;
    // Moves to another floor: n floors on, or floor n when absolute.
    virtual void ChangeFloor(int32_t n, bool absolute) = 0;
};

// The terrain now: the one put in place by SetTerrain, else the one the
// source names; null when there is none (every cell is then free).
Terrain* CurrentTerrain();
// Where CurrentTerrain looks when no terrain was put in place; called each
// time, so it follows the slot it reads. maps/MapsLayerWiring.cpp sets it at
// start-up to the map manager's slot.
using TerrainSource = Terrain* (*)();
void SetTerrainSource(TerrainSource source);
TerrainSource GetTerrainSource();
// Puts a terrain in place of the source's; null puts the source back.
void SetTerrain(Terrain* terrain);
