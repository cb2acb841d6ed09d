// DefinedMap_ functions: size and mark the cells of the defined map. Each
// needs the map manager in defined-map mode.
#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "maps/DefinedMap.h"
#include "maps/MapManager.h"

namespace {

DefinedMap* ActiveMap() {
    MapManager* maps = GetGlobalState()->mapManager;
    return maps ? maps->GetDefinedMap() : nullptr;
}

int DefinedMap_SetDimensions(lua_State* L) {
    if (!script::HasArgs(L, 2)) return script::Fail("DefinedMap SetDimensions:  Failed, invalid argument list\n");
    DefinedMap* map = ActiveMap();
    if (!map)
        return script::Fail("DefinedMap SetDimensions:  Failed, map is not created, or in the wrong mode\n");
    map->SetDimensions(script::GetInt(L, 1), script::GetInt(L, 2));
    return 0;
}

int DefinedMap_ClipArea(lua_State* L) {
    if (!script::HasArgs(L, 5)) return script::Fail("DefinedMap ClipArea:  Failed, invalid argument list\n");
    DefinedMap* map = ActiveMap();
    if (!map) return script::Fail("DefinedMap ClipArea:  Failed, map is not created, or in the wrong mode\n");
    map->SetRect(script::GetFlag(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4),
                 script::GetInt(L, 5));
    return 0;
}

int DefinedMap_ClearClipping(lua_State*) {
    DefinedMap* map = ActiveMap();
    if (!map) return script::Fail("DefinedMap ClearClipping:  Failed, map is not created, or in the wrong mode\n");
    map->ClearAll();
    return 0;
}

const script::Function kFunctions[] = {
    {"DefinedMap_SetDimensions", DefinedMap_SetDimensions},
    {"DefinedMap_ClipArea", DefinedMap_ClipArea},
    {"DefinedMap_ClearClipping", DefinedMap_ClearClipping},
    {nullptr, nullptr},
};

}  // namespace

void DefinedMap::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
