// DefinedMap_ functions: size and mark the cells of the defined map. Each
// needs the map manager in defined-map mode.
#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "maps/DefinedMap.h"
#include "maps/MapManager.h"

namespace {

// The defined map, or null after the function's line: outside "MAPNONE"
// (or before the map manager exists) there is none.
DefinedMap* ActiveMap(const script::Lines& lines) {
    MapManager* maps = GetGlobalState()->mapManager;
    DefinedMap* map = maps ? maps->GetDefinedMap() : nullptr;
    if (!map) lines.Fail("map is not created, or in the wrong mode");
    return map;
}

int DefinedMap_SetDimensions(lua_State* L) {
    const script::Lines lines{"DefinedMap SetDimensions"};
    if (!script::HasArgs(L, 2)) return lines.Fail("invalid argument list");
    DefinedMap* map = ActiveMap(lines);
    if (!map) return 0;
    map->SetDimensions(script::GetInt(L, 1), script::GetInt(L, 2));
    return 0;
}

int DefinedMap_ClipArea(lua_State* L) {
    const script::Lines lines{"DefinedMap ClipArea"};
    if (!script::HasArgs(L, 5)) return lines.Fail("invalid argument list");
    DefinedMap* map = ActiveMap(lines);
    if (!map) return 0;
    map->SetRect(script::GetFlag(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4),
                 script::GetInt(L, 5));
    return 0;
}

int DefinedMap_ClearClipping(lua_State*) {
    DefinedMap* map = ActiveMap({"DefinedMap ClearClipping"});
    if (!map) return 0;
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
