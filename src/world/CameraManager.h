#pragma once
// Keeps the world's cameras by name and designates the active one, which
// the world window updates and draws into every frame.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>

class Camera;
class NamedList;

class CameraManager {
public:
    // Creates the first camera; the camera named "Default" becomes active.
    CameraManager(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height);
    // Deletes every camera.
    ~CameraManager();
    CameraManager(const CameraManager&) = delete;
    CameraManager& operator=(const CameraManager&) = delete;

    static constexpr const char* kDefaultName = "Default";

    // Creates and appends a camera; it does not become active.
    Camera* AddCamera(const std::string& name, int32_t x, int32_t y, int32_t width, int32_t height);
    // Appends a camera made elsewhere; the manager owns it from then on.
    // A null camera is ignored.
    void AddCamera(const std::string& name, Camera* camera);
    // Deletes the first camera of that name. When it was the active one, the
    // "Default" camera becomes active (null when there is none). False when
    // no camera has that name.
    bool RemoveCamera(const std::string& name);
    // Deletes every camera; no camera is active afterwards.
    void ClearCameras();

    Camera* GetCamera(const std::string& name) const;
    // Null when the index is negative or not below the count.
    Camera* GetCameraByIndex(int index) const;
    int GetCameraCount() const;

    Camera* GetActiveCamera() const { return m_active; }
    // A camera of this manager, or null.
    void SetActiveCamera(Camera* camera) { m_active = camera; }
    // False (active unchanged) when no camera has that name.
    bool SetActiveCamera(const std::string& name);

    // Registers CM_AddCamera, CM_RemoveCamera, CM_SetActiveCamera and
    // Cam_SetBoundaries.
    static void RegisterLuaFunctions(lua_State* L);

private:
    std::unique_ptr<NamedList> m_cameras;
    Camera* m_active = nullptr;
};
