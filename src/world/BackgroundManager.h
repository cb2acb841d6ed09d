#pragma once
// Paints what lies behind the map: an optional fill colour and the scrolling
// background objects that scripts spawn by name. Every main-game tick it
// moves the objects and deletes those that left the active camera's view;
// the map's first drawing pass asks it to draw before anything else.
#include <allegro5/allegro.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>

class BackgroundObject;
class BitmapWrapper;
class Camera;
class NamedList;

class BackgroundManager {
public:
    // Registers the BackgroundManager_ and BackgroundObject_ script
    // functions on the script host's state, when it exists.
    BackgroundManager();
    // Deletes every object.
    ~BackgroundManager();
    BackgroundManager(const BackgroundManager&) = delete;
    BackgroundManager& operator=(const BackgroundManager&) = delete;

    // Looks the image up at Images/Background/Scenery/<imageName> in the data
    // library. On a hit a new object with that image, position, flags and
    // factors is appended under the name and becomes the active object; on a
    // miss (or with no data library) nothing changes and null is returned.
    BackgroundObject* SpawnObject(const std::string& name, const std::string& imageName, int32_t x, int32_t y,
                                  float factorX, float factorY, int32_t flags);

    // Fill on, with the low eight bits of each component.
    void SetFillColor(int32_t r, int32_t g, int32_t b);
    void DisableFill() { m_fill = 0; }

    // Once per main-game tick: every object moves; the done ones are deleted
    // (the active object pointer is cleared when it goes).
    void Update();
    // Clears to the fill colour when fill is on, then draws every object in
    // spawn order with the offset (fixed offset plus, unless fixed mode is
    // set, the camera's position; a null camera adds nothing). The target is
    // made the drawing target first; null: the current.
    void Draw(BitmapWrapper* target, Camera* camera);

    // Property lookup for the router's "BackgroundManager" owner kind: owner
    // "Base" with "FixedOffsetX" or "FixedOffsetY" gives the field (value
    // type 2); another property of "Base" prints a warning; anything else
    // gives null (value type 0). The value type is reported to the router.
    void* RoutePointer(const std::string& owner, const std::string& property);

    BackgroundObject* GetActiveObject() const { return m_active; }
    int GetObjectCount() const;
    // Spawn order; null when out of range.
    BackgroundObject* GetObjectAt(int index) const;
    BackgroundObject* FindObject(const std::string& name) const;

    bool IsFillOn() const { return m_fill != 0; }
    ALLEGRO_COLOR GetFillColor() const { return m_fillColor; }
    int32_t GetOffsetX() const { return m_offsetX; }
    int32_t GetOffsetY() const { return m_offsetY; }
    int32_t GetFixedOffsetX() const { return m_fixedOffsetX; }
    int32_t GetFixedOffsetY() const { return m_fixedOffsetY; }
    void SetFixedOffset(int32_t x, int32_t y) {
        m_fixedOffsetX = x;
        m_fixedOffsetY = y;
    }
    bool IsFixedMode() const { return m_fixedMode != 0; }

private:
    uint8_t m_fixedMode = 0;
    int32_t m_offsetX = 0;
    int32_t m_offsetY = 0;
    int32_t m_fixedOffsetX = 0;
    int32_t m_fixedOffsetY = 0;
    std::unique_ptr<NamedList> m_objects;  // not owning: the manager deletes them
    uint8_t m_fill = 0;
    ALLEGRO_COLOR m_fillColor;
    BackgroundObject* m_active = nullptr;
};

// Registers BackgroundManager_SpawnObject, BackgroundManager_SetFillColor,
// BackgroundManager_DisableFill, BackgroundObject_SetSpeed and
// BackgroundObject_SetModuloMode; the manager's construction calls it.
void RegisterBackgroundLuaFunctions(lua_State* L);
