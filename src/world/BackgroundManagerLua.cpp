// Script functions of the backgrounds: spawning objects, the fill colour,
// and the speed and wrap mode of the last object spawned.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/BackgroundManager.h"
#include "world/BackgroundObject.h"

namespace {

BackgroundManager* Manager() { return GetGlobalState()->backgroundManager; }

// A factor as a single-precision float; finite numbers beyond its range
// become its largest value instead of an undefined conversion.
float Factor(lua_State* L, int index) {
    double value = script::GetNumber(L, index);
    if (std::isfinite(value)) value = std::clamp(value, -double{FLT_MAX}, double{FLT_MAX});
    return static_cast<float>(value);
}

int BackgroundManager_SpawnObject(lua_State* L) {
    const char* invalid = "BackgroundManager SpawnObject:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 7)) return script::Fail(invalid);
    std::string name;
    std::string imageName;
    if (!script::GetText(L, 1, name) || !script::GetText(L, 2, imageName)) return script::Fail(invalid);
    BackgroundManager* manager = Manager();
    if (!manager) return script::Fail("BackgroundManager SpawnObject:  Failed, BackgroundManager does not exist\n");
    if (!GetGlobalState()->dataLibrary)
        return script::Fail("BackgroundManager SpawnObject:  Failed, DataLibrary does not exist\n");
    // A missing image is reported by the library's lookup.
    manager->SpawnObject(name, imageName, script::GetInt(L, 3), script::GetInt(L, 4), Factor(L, 5), Factor(L, 6),
                         script::GetInt(L, 7));
    return 0;
}

int BackgroundManager_SetFillColor(lua_State* L) {
    if (!script::HasArgs(L, 3)) return script::Fail("BackgroundManager SetFillColor:  Failed, invalid argument list\n");
    BackgroundManager* manager = Manager();
    if (!manager) return script::Fail("BackgroundManager SetFillColor:  Failed, BackgroundManager does not exist\n");
    manager->SetFillColor(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

int BackgroundManager_DisableFill(lua_State*) {
    BackgroundManager* manager = Manager();
    if (!manager) return script::Fail("BackgroundManager DisableFill:  Failed, BackgroundManager does not exist\n");
    manager->DisableFill();
    return 0;
}

int BackgroundObject_SetSpeed(lua_State* L) {
    if (!script::HasArgs(L, 2)) return script::Fail("BackgroundObject SetSpeed:  Failed, invalid argument list\n");
    BackgroundManager* manager = Manager();
    if (!manager) return script::Fail("BackgroundObject SetSpeed:  Failed, BackgroundManager does not exist\n");
    BackgroundObject* object = manager->GetActiveObject();
    if (!object) return script::Fail("BackgroundObject SetSpeed:  Failed, no active object\n");
    object->SetSpeed(script::GetInt(L, 1), script::GetInt(L, 2));
    return 0;
}

// Its failure line names SetSpeed, as the game's logs have always shown it.
int BackgroundObject_SetModuloMode(lua_State*) {
    BackgroundManager* manager = Manager();
    if (!manager) return script::Fail("BackgroundObject SetModuloMode:  Failed, BackgroundManager does not exist\n");
    BackgroundObject* object = manager->GetActiveObject();
    if (!object) return script::Fail("BackgroundObject SetSpeed:  Failed, no active object\n");
    object->SetModuloMode(true);
    return 0;
}

const script::Function kFunctions[] = {
    {"BackgroundManager_SpawnObject", BackgroundManager_SpawnObject},
    {"BackgroundManager_SetFillColor", BackgroundManager_SetFillColor},
    {"BackgroundManager_DisableFill", BackgroundManager_DisableFill},
    {"BackgroundObject_SetSpeed", BackgroundObject_SetSpeed},
    {"BackgroundObject_SetModuloMode", BackgroundObject_SetModuloMode},
    {nullptr, nullptr},
};

}  // namespace

void RegisterBackgroundLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
