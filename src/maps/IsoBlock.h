#pragma once
// One filled cell of an isometric map: the bitmaps drawn for its floor and
// its two visible walls. The bitmaps belong to the map manager's textures.
#include <cstdint>
#include <vector>

class BitmapWrapper;
class IsoTexture;

class IsoBlock {
public:
    IsoBlock() = default;

    // kind 0 adds the texture's floor projection, 1 its left wall, 2 its
    // right wall; a null texture or any other kind does nothing.
    void AddTexture(int kind, IsoTexture* texture);

    bool IsPresent() const { return m_present != 0; }
    const std::vector<BitmapWrapper*>& GetFloor() const { return m_floor; }
    const std::vector<BitmapWrapper*>& GetWallL() const { return m_wallL; }
    const std::vector<BitmapWrapper*>& GetWallR() const { return m_wallR; }

private:
    uint8_t m_present = 1;
    std::vector<BitmapWrapper*> m_floor;
    std::vector<BitmapWrapper*> m_wallL;
    std::vector<BitmapWrapper*> m_wallR;
};
