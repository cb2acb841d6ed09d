#pragma once
// The window through which the world is seen: every frame it has the active
// camera follow the player, draws the map, the entities in draw order and
// its own children into the camera's image, and scales that image onto
// itself. The game creates it by script under the name "EnvironmentWindow".
#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class BitmapWrapper;
class Camera;

class GUIEnvironmentWindow : public GUIBaseObject {
public:
    GUIEnvironmentWindow();
    ~GUIEnvironmentWindow() override;

    bool OnEvent(int event, int x, int y) override;
    // Draws the world through the active camera (falling back to the
    // "Default" camera when none is active) and stays dirty.
    void Render() override;
    bool RenderStraightTo(BitmapWrapper* target) override;
    void* GetProperty(const std::string& name) override;

    // A point of the game window as a point of the active camera's view.
    // The window shows the camera's image scaled to its own size, so the
    // point is taken relative to the window "EnvironmentWindow" and scaled
    // by camera size over window size: what the mouse is over on screen is
    // what the world's click boxes are tested against. Without that window
    // or an active camera the point is only truncated.
    static void WindowToView(float x, float y, int32_t* viewX, int32_t* viewY);

private:
    // The active camera, falling back to the "Default" camera with a line.
    Camera* FindCamera() const;
    // Draws the map, the entities and the children into the view; false
    // when a child's drawing took this window away.
    bool DrawWorld(BitmapWrapper* view, Camera* camera);

    // The camera's image drawn in the last frame; fetched again every frame
    // and never used outside Render.
    BitmapWrapper* m_cameraBitmap = nullptr;
};
