// Script functions of the cameras: adding, removing and choosing the view,
// and the boundaries of the active one.
#include <lua5.1/lua.hpp>

#include <algorithm>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/Camera.h"
#include "world/CameraManager.h"

namespace {

CameraManager* Manager() { return GetGlobalState()->cameraManager; }

int CM_AddCamera(lua_State* L) {
    const char* invalid = "CM AddCamera:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 5)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    CameraManager* manager = Manager();
    if (!manager) return script::Fail("CM AddCamera:  Failed, CameraManager does not exist\n");
    // A view never exceeds the display (as SetDimensions holds it), so a
    // script's huge or negative size cannot ask for an absurd image.
    int32_t width = std::clamp(script::GetInt(L, 4), 0, std::max(Camera::DisplayWidth(), 0));
    int32_t height = std::clamp(script::GetInt(L, 5), 0, std::max(Camera::DisplayHeight(), 0));
    manager->AddCamera(name, script::GetInt(L, 2), script::GetInt(L, 3), width, height);
    return 0;
}

int CM_RemoveCamera(lua_State* L) {
    const char* invalid = "CM RemoveCamera:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 1)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    if (name == CameraManager::kDefaultName)
        return script::Fail("CM RemoveCamera:  Cannot remove the Default Camera\n");
    CameraManager* manager = Manager();
    if (!manager) return script::Fail("CM RemoveCamera:  Failed, CameraManager does not exist\n");
    manager->RemoveCamera(name);
    return 0;
}

int CM_SetActiveCamera(lua_State* L) {
    const char* invalid = "CM SetActiveCamera:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 1)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    CameraManager* manager = Manager();
    if (!manager) return script::Fail("CM SetActiveCamera:  Failed, CameraManager does not exist\n");
    if (!manager->SetActiveCamera(name))
        return script::Fail("CM SetActiveCamera:  Failed, could not find camera " + name + "\n");
    return 0;
}

int Cam_SetBoundaries(lua_State* L) {
    if (!script::HasArgs(L, 4)) return script::Fail("Cam SetBoundaries:  Failed, invalid argument list\n");
    CameraManager* manager = Manager();
    if (!manager) return script::Fail("Cam SetBoundaries:  Failed, CameraManager does not exist\n");
    Camera* camera = manager->GetActiveCamera();
    if (!camera) return script::Fail("Cam SetBoundaries:  Failed, Active Camera not set\n");
    camera->SetBoundaries(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4));
    return 0;
}

const script::Function kFunctions[] = {
    {"CM_AddCamera", CM_AddCamera},
    {"CM_RemoveCamera", CM_RemoveCamera},
    {"CM_SetActiveCamera", CM_SetActiveCamera},
    {"Cam_SetBoundaries", Cam_SetBoundaries},
    {nullptr, nullptr},
};

}  // namespace

void CameraManager::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
