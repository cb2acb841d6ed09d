#pragma once
// The view rectangle of the world: where the visible window starts in world
// units, its size, the image the world is drawn into, the boundaries that
// hold a flat view, and whether the map is drawn isometrically.
#include <cstdint>
#include <memory>

#include "core/base/RootEntity.h"

class BitmapWrapper;
class GUIBaseObject;

class Camera : public RootEntity {
public:
    // Boundaries start at 0..display width and 0..display height.
    Camera(int32_t x, int32_t y, int32_t width, int32_t height);
    ~Camera() override;
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    bool IsIsometric() const { return m_isometric != 0; }
    // Also puts the player's movement into the matching mode.
    void SetIsometric(bool isometric);

    int32_t GetX() const { return m_x; }
    int32_t GetY() const { return m_y; }
    int32_t GetRight() const { return m_right; }
    int32_t GetBottom() const { return m_bottom; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    int32_t GetMinX() const { return m_minX; }
    int32_t GetMinY() const { return m_minY; }
    int32_t GetMaxX() const { return m_maxX; }
    int32_t GetMaxY() const { return m_maxY; }
    BitmapWrapper* GetBitmap() const { return m_bitmap.get(); }

    // Each side is clamped to the display's size (and to 0 from below); the
    // bitmap is resized. The position is left as it is.
    void SetDimensions(int32_t width, int32_t height);
    void SetBoundaries(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY);

    // Pulls the view back inside the boundaries.
    void ClampToBoundaries();
    // Moves at most 100 units per axis toward (dx, dy), then clamps unless
    // the view is isometric.
    void MoveBy(int32_t dx, int32_t dy);
    // Follows the player: brings its ground point toward the view's centre.
    void Update() override;
    // The following step for a ground point (the player's X and Y).
    void FollowPoint(double pointX, double pointY);

    // Size of the display the views are clamped to: the display manager's
    // when it exists, else the window size of the global state.
    static int32_t DisplayWidth();
    static int32_t DisplayHeight();

    // A point of the game window as a point of the active camera's view.
    // The window "EnvironmentWindow" shows the camera's image scaled to its
    // own size, so the point is taken relative to that window and scaled
    // by camera size over window size: what the mouse is over on screen is
    // what the world's click boxes are tested against. Without that window
    // or an active camera the point is only truncated.
    static void WindowToView(float x, float y, int32_t* viewX, int32_t* viewY);
    // Whether an object named "EnvironmentWindow" is the map window: the map
    // layer, whose window it is, hands the test in at start-up. While it is
    // unset no object is, and WindowToView only truncates.
    using MapWindowTest = bool (*)(const GUIBaseObject* object);
    static void SetMapWindowTest(MapWindowTest test);
    static MapWindowTest GetMapWindowTest();

private:
    uint8_t m_isometric = 0;
    std::unique_ptr<BitmapWrapper> m_bitmap;
    int32_t m_width;
    int32_t m_height;
    int32_t m_x;
    int32_t m_y;
    int32_t m_right;
    int32_t m_bottom;
    int32_t m_minX = 0;
    int32_t m_maxX;
    int32_t m_minY = 0;
    int32_t m_maxY;
};

// The same test against a camera's view rectangle (x, y, right, bottom); false
// without a camera. The array holds left, top, right, bottom.
bool RectOverlapsCamera(const int32_t* rect, const Camera* camera);
bool RectCoordsOverlapCamera(int32_t left, int32_t top, int32_t right, int32_t bottom, const Camera* camera);
