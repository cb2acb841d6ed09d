#pragma once
// The window through which the world is seen: every frame it has the active
// camera follow the player, draws the map, the entities in draw order and
// its own children into the camera's image, and scales that image onto
// itself. The game creates it by script under the name "EnvironmentWindow".
#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"
#include "world/Camera.h"

class BitmapWrapper;

class GUIEnvironmentWindow : public GUIBaseObject {
public:
    GUIEnvironmentWindow();
    ~GUIEnvironmentWindow() override;
    // The factory GUIOL_AddObject makes it with (registered at start-up).
    static GUIBaseObject* Create() { return new GUIEnvironmentWindow; }

    bool OnEvent(int event, int x, int y) override;
    // Draws the world through the active camera (falling back to the
    // "Default" camera when none is active) and stays dirty.
    void Render() override;
    bool RenderStraightTo(BitmapWrapper* target) override;
    void* GetProperty(const std::string& name) override;

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
