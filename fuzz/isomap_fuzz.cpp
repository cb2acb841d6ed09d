// Isometric maps (".slf") under damage: each input is read as a map file
// over a good map already loaded. A refused file changes nothing; an
// accepted one answers collision queries, draws in software, and its grid
// written out again by the map writer reads back the same.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "IsoMapWriter.h"
#include "core/media/BitmapWrapper.h"
#include "maps/IsometricMap.h"
#include "support/FuzzSupport.h"
#include "support/StartsAllegro.h"

using fuzzsupport::Check;

namespace {

uint64_t CellCount(const IsometricMap& map) {
    return uint64_t(map.GetSizeX()) * uint64_t(map.GetSizeY()) * uint64_t(map.GetSizeZ());
}

// Which cells hold a block, in file order (x outermost, z innermost).
std::vector<bool> Presence(const IsometricMap& map) {
    std::vector<bool> cells;
    // A grid without cells may still claim billions of columns.
    if (!map.IsAllocated() || CellCount(map) == 0) return cells;
    for (int32_t x = 0; x < map.GetSizeX(); ++x)
        for (int32_t y = 0; y < map.GetSizeY(); ++y)
            for (int32_t z = 0; z < map.GetSizeZ(); ++z) cells.push_back(map.GetBlock(x, y, z) != nullptr);
    return cells;
}

std::string GoodMap() {
    slf::IsoMapWriter writer(3, 2, 2);
    writer.AddTexture("Grass");
    for (uint32_t x = 0; x < 3; ++x)
        for (uint32_t y = 0; y < 2; ++y) writer.SetBlock(x, y, 0, 0, -1, 0);
    return writer.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string good = GoodMap();
    IsometricMap map;
    Check(map.ReadData(reinterpret_cast<const uint8_t*>(good.data()), good.size()) == 0, "the good map is refused");
    const std::vector<bool> before = Presence(map);

    if (map.ReadData(data, size) != 0) {
        Check(map.GetSizeX() == 3 && map.GetSizeY() == 2 && map.GetSizeZ() == 2 && Presence(map) == before,
              "a refused map changed the loaded one");
        return 0;
    }
    // Collision queries around and beyond the grid.
    auto clampToInt = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const int32_t spanX = clampToInt(int64_t{map.GetSizeX()} * 32), spanY = clampToInt(int64_t{map.GetSizeY()} * 32);
    const int32_t depth = clampToInt(int64_t{map.GetSizeZ()} * 32);
    const int32_t xs[] = {-6, -5, 0, 31, clampToInt(int64_t{spanX} - 1), spanX, INT32_MAX, INT32_MIN};
    const int32_t ys[] = {-6, 0, 17, clampToInt(int64_t{spanY} - 1), spanY, INT32_MAX};
    const int32_t zs[] = {1, 0, -1, -31, -depth, clampToInt(-int64_t{depth} - 1), INT32_MIN};
    for (int32_t x : xs)
        for (int32_t y : ys)
            for (int32_t z : zs) {
                map.IsBlocked(x, y, z, true);
                map.IsBlocked(x, y, z, false);
            }
    BitmapWrapper target(64, 48, nullptr);
    map.Draw(&target, nullptr);

    // Written out again, the grid reads back the same (a grid without cells
    // may claim billions of columns: not walked).
    if (CellCount(map) == 0 || CellCount(map) > 65536) return 0;
    const std::vector<bool> cells = Presence(map);
    slf::IsoMapWriter writer(uint32_t(map.GetSizeX()), uint32_t(map.GetSizeY()), uint32_t(map.GetSizeZ()));
    size_t at = 0;
    for (uint32_t x = 0; x < writer.X(); ++x)
        for (uint32_t y = 0; y < writer.Y(); ++y)
            for (uint32_t z = 0; z < writer.Z(); ++z)
                if (cells[at++]) writer.SetBlock(x, y, z, -1, -1, -1);
    const std::string again = writer.Bytes();
    IsometricMap copy;
    Check(copy.ReadData(reinterpret_cast<const uint8_t*>(again.data()), again.size()) == 0,
          "a rewritten map is refused");
    Check(copy.GetSizeX() == map.GetSizeX() && copy.GetSizeY() == map.GetSizeY() && copy.GetSizeZ() == map.GetSizeZ() &&
              Presence(copy) == cells,
          "a rewritten map reads back differently");
    return 0;
}
