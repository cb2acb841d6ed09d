// The MapM_ script functions: map display switches, map loading, the
// player's default position, isometric texture lookup, dungeon floors and
// ambient music. None returns a result.
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "maps/MapManager.h"
#include "world/PlayerVorn.h"

namespace {

// The map manager, or null after printing "<function>:  Failed, MapManager
// does not exist".
MapManager* Manager(const char* function) {
    MapManager* manager = GetGlobalState()->mapManager;
    if (!manager) script::Fail(std::string(function) + ":  Failed, MapManager does not exist\n");
    return manager;
}

int MapM_SetBackgroundDisplayState(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("MapM SetBackgroundDisplayState:  Failed, invalid argument list\n");
    MapManager* manager = Manager("MapM SetBackgroundDisplayState");
    if (!manager) return 0;
    manager->SetBackgroundDisplayState(script::GetFlag(L, 1));
    return 0;
}

int MapM_SetMapDisplayState(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("MapM SetMapDisplayState:  Failed, invalid argument list\n");
    MapManager* manager = Manager("MapM SetMapDisplayState");
    if (!manager) return 0;
    manager->SetMapDisplayState(script::GetFlag(L, 1));
    return 0;
}

int MapM_TransitionMap(lua_State* L) {
    static const char* const kInvalid = "MapM TransitionMap:  Failed, invalid argument list\n";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(kInvalid);
    MapManager* manager = Manager("MapM TransitionMap");
    if (!manager) return 0;
    manager->TransitionMap(name);
    return 0;
}

int MapM_SetMapLoadTarget(lua_State* L) {
    static const char* const kInvalid = "MapM SetMapLoadTarget:  Failed, invalid argument list\n";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(kInvalid);
    MapManager* manager = Manager("MapM SetMapLoadTarget");
    if (!manager) return 0;
    manager->SetLoadTarget(name);
    return 0;
}

int MapM_SetDefaultPosition(lua_State* L) {
    if (!script::HasArgs(L, 2)) return script::Fail("MapM SetDefaultPosition:  Failed, invalid argument list\n");
    TransitionState& request = GetTransitionState();
    request.dropX = script::GetInt(L, 1);
    request.dropY = script::GetInt(L, 2);
    request.dropZ = 0;
    PlayerVorn* player = GetGlobalState()->player;
    if (!player) return script::Fail("MapM SetDefaultPosition:  Failed, PlayerVorn does not exist\n");
    player->SetPosition(static_cast<float>(script::GetNumber(L, 1)), static_cast<float>(script::GetNumber(L, 2)), 0.0f);
    return 0;
}

int MapM_SetTextureFileHeading(lua_State* L) {
    static const char* const kInvalid = "MapM_SetTextureFileHeading:  Failed, invalid argument list\n";
    std::string section, catalogue, heading;
    if (!script::HasArgs(L, 3) || !script::GetText(L, 1, section) || !script::GetText(L, 2, catalogue) ||
        !script::GetText(L, 3, heading))
        return script::Fail(kInvalid);
    MapManager* manager = Manager("MapM_SetTextureFileHeading");
    if (!manager) return 0;
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("MapM_SetTextureFileHeading:  Failed, DataLibrary does not exist\n");
    NamedList* list = library->GetHeading(section.c_str(), catalogue.c_str(), heading.c_str());
    if (!list) return script::Fail("MapM_SetTextureFileHeading:  Failed, Heading not found\n");
    manager->SetTextureFileHeading(list);
    return 0;
}

int MapM_BuildLookupList(lua_State*) {
    MapManager* manager = Manager("MapM_BuildLookupList");
    if (manager) manager->BuildLookupList();
    return 0;
}

int MapM_ChangeFloor(lua_State* L) {
    if (!script::HasArgs(L, 2)) return script::Fail("MapM_ChangeFloor:  Failed, invalid argument list\n");
    MapManager* manager = Manager("MapM_ChangeFloor");
    if (!manager) return 0;
    manager->ChangeFloor(script::GetInt(L, 1), script::GetFlag(L, 2));
    return 0;
}

int MapM_SetAmbientMusic(lua_State* L) {
    static const char* const kInvalid = "MapM_SetAmbientMusic:  Failed, invalid argument list\n";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(kInvalid);
    MapManager* manager = Manager("MapM_SetAmbientMusic");
    if (!manager) return 0;
    manager->SetAmbientMusic(name);
    return 0;
}

const script::Function kMapFunctions[] = {
    {"MapM_SetBackgroundDisplayState", MapM_SetBackgroundDisplayState},
    {"MapM_SetMapDisplayState", MapM_SetMapDisplayState},
    {"MapM_TransitionMap", MapM_TransitionMap},
    {"MapM_SetMapLoadTarget", MapM_SetMapLoadTarget},
    {"MapM_SetDefaultPosition", MapM_SetDefaultPosition},
    {"MapM_SetTextureFileHeading", MapM_SetTextureFileHeading},
    {"MapM_BuildLookupList", MapM_BuildLookupList},
    {"MapM_ChangeFloor", MapM_ChangeFloor},
    {"MapM_SetAmbientMusic", MapM_SetAmbientMusic},
    {nullptr, nullptr},
};

}  // namespace

void MapManager::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kMapFunctions);
}
