#pragma once
// Texture choices of a room of a random isometric level: per face (floor,
// left wall, right wall) the indices of the textures it may take.
#include <cstdint>
#include <vector>

class RoomDefinition {
public:
    std::vector<int32_t>& Floor() { return m_floor; }
    std::vector<int32_t>& WallL() { return m_wallL; }
    std::vector<int32_t>& WallR() { return m_wallR; }
    const std::vector<int32_t>& Floor() const { return m_floor; }
    const std::vector<int32_t>& WallL() const { return m_wallL; }
    const std::vector<int32_t>& WallR() const { return m_wallR; }

private:
    std::vector<int32_t> m_floor;
    std::vector<int32_t> m_wallL;
    std::vector<int32_t> m_wallR;
};
