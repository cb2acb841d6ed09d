// The ISOM_ script functions: configuration of random isometric levels. Each
// works on the map manager's active isometric map.
#include <memory>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "maps/IsometricMap.h"
#include "maps/MapManager.h"

namespace {

// The active isometric map, or null after printing the function's line.
IsometricMap* ActiveMap(const std::string& name) {
    return script::ActiveObject<IsometricMap>(
        {name}, GetGlobalState()->mapManager,
        [](MapManager* maps) { return maps->IsIsometric() ? maps->GetIsometricMap() : nullptr; },
        {"MapManager does not exist", "Isometric map not active"});
}

int ISOM_SetSizes(lua_State* L) {
    if (!script::HasArgs(L, 3)) return script::Fail("ISOM_SetSizes:  Failed, invalid argument list\n");
    IsometricMap* map = ActiveMap("ISOM_SetSizes");
    if (!map) return 0;
    map->SetSizes(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

int ISOM_QueueTexture(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail("ISOM_QueueTexture:  Failed, invalid argument list\n");
    IsometricMap* map = ActiveMap("ISOM_QueueTexture");
    if (!map) return 0;
    map->QueueTexture(name);
    return 0;
}

int ISOM_CreateRoomDef(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail("ISOM_CreateRoomDef:  Failed, invalid argument list\n");
    IsometricMap* map = ActiveMap("ISOM_CreateRoomDef");
    if (!map) return 0;
    map->SetActiveDefinition(map->AddRoomDefinition(name, std::make_unique<RoomDefinition>()));
    return 0;
}

int ISOM_SetPathDefToActive(lua_State* L) {
    (void)L;
    IsometricMap* map = ActiveMap("ISOM_SetPathDefToActive");
    if (!map) return 0;
    map->SetPathDefinition(map->GetActiveDefinition());
    return 0;
}

// The three face functions differ only in the face and the name they print
// (the right-wall function's lines spell it "ISOM_AddWalRLTexture").
int AddFaceTexture(lua_State* L, const char* shownName,
                   void (IsometricMap::*add)(RoomDefinition*, const std::string&)) {
    const std::string prefix = shownName;
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail(prefix + ":  Failed, invalid argument list\n");
    IsometricMap* map = ActiveMap(prefix);
    if (!map) return 0;
    RoomDefinition* definition = map->GetActiveDefinition();
    if (!definition) return script::Fail(prefix + ":  Failed, no active RoomDefinition\n");
    (map->*add)(definition, name);
    return 0;
}

int ISOM_AddFloorTexture(lua_State* L) {
    return AddFaceTexture(L, "ISOM_AddFloorTexture", &IsometricMap::AddFloorTexture);
}
int ISOM_AddWallLTexture(lua_State* L) {
    return AddFaceTexture(L, "ISOM_AddWallLTexture", &IsometricMap::AddWallLTexture);
}
int ISOM_AddWallRTexture(lua_State* L) {
    return AddFaceTexture(L, "ISOM_AddWalRLTexture", &IsometricMap::AddWallRTexture);
}

const script::Function kFunctions[] = {
    {"ISOM_SetSizes", ISOM_SetSizes},
    {"ISOM_QueueTexture", ISOM_QueueTexture},
    {"ISOM_CreateRoomDef", ISOM_CreateRoomDef},
    {"ISOM_SetPathDefToActive", ISOM_SetPathDefToActive},
    {"ISOM_AddFloorTexture", ISOM_AddFloorTexture},
    {"ISOM_AddWallLTexture", ISOM_AddWallLTexture},
    {"ISOM_AddWallRTexture", ISOM_AddWallRTexture},
    {nullptr, nullptr},
};

}  // namespace

void IsometricMap::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
