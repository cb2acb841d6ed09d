#include "world/Terrain.h"

namespace {
TerrainSource g_source = nullptr;
Terrain* g_terrain = nullptr;
}  // namespace

Terrain* CurrentTerrain() {
    if (g_terrain) return g_terrain;
    return g_source ? g_source() : nullptr;
}

void SetTerrainSource(TerrainSource source) { g_source = source; }

TerrainSource GetTerrainSource() { return g_source; }

void SetTerrain(Terrain* terrain) { g_terrain = terrain; }
