#pragma once
// The map of the reserved name "MAPNONE": a plain grid of cells that scripts
// size and mark as blocked through the DefinedMap_ functions. It answers the
// movers' collision questions and draws nothing. A point outside the grid is
// blocked.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <vector>

class BitmapWrapper;

class DefinedMap {
public:
    // Largest side and cell count SetDimensions accepts.
    static constexpr int32_t kMaxSide = 65536;
    static constexpr int64_t kMaxCells = int64_t{1} << 26;

    DefinedMap() = default;

    // Outside the grid, or a marked cell.
    bool IsBlocked(int32_t x, int32_t y) const;
    // A new grid of free cells; the active camera is bounded to it. A
    // negative or oversized size is refused with a line and changes nothing.
    bool SetDimensions(int32_t width, int32_t height);
    // Marks (value true) or frees the cells x1 <= x < x2, y1 <= y < y2, the
    // rectangle first cut to the grid (a line says what is set). Nothing at
    // all for an empty rectangle (x1 >= x2 or y1 >= y2).
    void SetRect(bool value, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Every cell free.
    void ClearAll();
    // A debugging view: one pixel of (128, 128, 0) per blocked cell on the
    // current target.
    void DebugDraw() const;

    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }

    // The DefinedMap_ functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(x) * static_cast<size_t>(m_height) + static_cast<size_t>(y);
    }

    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<uint8_t> m_grid;  // [width][height]; non-zero blocked
};
