#pragma once
// A flat terrain whose cells are blocked where a function says, for moving
// things over a grid of the test's own without loading a map. Both blocked
// queries give the function's answer; the floor never changes.
//
//   testsupport::QueryTerrain terrain(GridBlocked);
//   SetTerrain(&terrain);  ...  SetTerrain(nullptr);
#include <cstdint>

#include "world/Terrain.h"

namespace testsupport {

class QueryTerrain : public Terrain {
public:
    using Query = bool (*)(int32_t x, int32_t y, int32_t z);
    explicit QueryTerrain(Query query) : m_query(query) {}

    bool IsBlocked(int32_t x, int32_t y, int32_t z) const override { return m_query(x, y, z); }
    bool IsBlockedOpenAbove(int32_t x, int32_t y, int32_t z) const override { return m_query(x, y, z); }
    bool IsIsometric() const override { return false; }
    void ChangeFloor(int32_t, bool) override {}

private:
    Query m_query;
};

}  // namespace testsupport
