#pragma once
// One map texture prepared for the isometric block maps: a flat 32 x 32 copy
// and three projections drawn as they are: the floor as a 60 x 31 diamond
// and the left and right walls as 31 x 46 sheared parallelograms. Every
// display mode draws the same projections.
#include <cstdint>

class BitmapWrapper;

class IsoTexture {
public:
    static constexpr int kFlatSize = 32;
    static constexpr int kFloorWidth = 60, kFloorHeight = 31;
    static constexpr int kWallWidth = 31, kWallHeight = 46;

    // Creates the bitmaps (contents undefined until Build). openGLFlag is the
    // address of the global OpenGL mode flag, handed on to the bitmaps.
    explicit IsoTexture(uint8_t* openGLFlag);
    ~IsoTexture();
    IsoTexture(const IsoTexture&) = delete;
    IsoTexture& operator=(const IsoTexture&) = delete;

    // Fills every bitmap from the top-left 32 x 32 pixels of the source (which
    // stays the caller's). Pixels a smaller source lacks read as transparent.
    // A null source prints a line and changes nothing.
    void Build(BitmapWrapper* source);

    BitmapWrapper* GetFlat() const { return m_flat; }
    BitmapWrapper* GetFloor() const { return m_floor; }
    BitmapWrapper* GetWallL() const { return m_wallL; }
    BitmapWrapper* GetWallR() const { return m_wallR; }
    // The projection of a face kind: 0 floor, 1 left wall, 2 right wall;
    // null for any other kind.
    BitmapWrapper* GetFace(int kind) const;

private:
    BitmapWrapper* m_flat = nullptr;
    BitmapWrapper* m_floor = nullptr;
    BitmapWrapper* m_wallL = nullptr;
    BitmapWrapper* m_wallR = nullptr;
};
