#pragma once
// One scrolling image behind the map (a cloud, a strip of parallax scenery):
// an image from the data library, a position that moves by its speed every
// tick, drawing flags and parallax factors. The background manager deletes
// it once it has left the active camera's view.
#include <cstdint>

#include "core/base/RootObject.h"

class BitmapWrapper;

class BackgroundObject : public RootObject {
public:
    BackgroundObject();
    ~BackgroundObject() = default;
    BackgroundObject(const BackgroundObject&) = delete;
    BackgroundObject& operator=(const BackgroundObject&) = delete;

    // The image is not owned; its size is taken now (0 x 0 for null).
    void SetImage(BitmapWrapper* image);
    void SetPosition(int32_t x, int32_t y);
    // Allegro drawing flags (ALLEGRO_FLIP_HORIZONTAL, ALLEGRO_FLIP_VERTICAL).
    void SetFlags(int32_t flags);
    void SetFactors(float factorX, float factorY);
    void SetSpeed(int32_t speedX, int32_t speedY);
    // Wrapped horizontal drawing: the image scrolls within its own rectangle
    // by the offset times factor x.
    void SetModuloMode(bool on);

    // Moves by the speed (saturating at the 32-bit range); with an active
    // camera, marks the object done once it lies wholly left of the view or
    // starts at or beyond the view's right edge.
    void Update();
    // Draws on target (made the drawing target first; null: the current
    // target). Only modulo mode uses offsetX.
    void Draw(BitmapWrapper* target, int32_t offsetX);
    // True when the rectangle overlaps or touches the display's rectangle.
    bool IsOnScreen() const;
    // The image at (x, y) with the flags, on the current target.
    void DrawAt(int32_t x, int32_t y);

    BitmapWrapper* GetImage() const { return m_image; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    int32_t GetX() const { return m_x; }
    int32_t GetY() const { return m_y; }
    int32_t GetFlags() const { return m_flags; }
    float GetFactorX() const { return m_factorX; }
    float GetFactorY() const { return m_factorY; }
    int32_t GetSpeedX() const { return m_speedX; }
    int32_t GetSpeedY() const { return m_speedY; }
    bool IsModulo() const { return m_modulo != 0; }
    bool IsDone() const { return m_done != 0; }

    // The wrap column of modulo mode for an offset: int(offset x * factor x)
    // reduced into 0..width-1 (0 for an empty image).
    int32_t WrapColumn(int32_t offsetX) const;

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    BitmapWrapper* m_image = nullptr;
    uint8_t m_modulo = 0;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_flags = 0;
    float m_factorX = 0.0f;
    float m_factorY = 0.0f;
    int32_t m_speedX = 0;
    int32_t m_speedY = 0;
    uint8_t m_done = 0;
};
