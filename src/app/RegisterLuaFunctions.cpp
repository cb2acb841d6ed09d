#include "app/RegisterLuaFunctions.h"

#include "app/Transition.h"
#include "combat/CombatLayerWiring.h"
#include "core/media/MediaLayerWiring.h"
#include "core/script/ScriptLayerWiring.h"
#include "maps/MapsLayerWiring.h"
#include "savefile/SaveFileLayerWiring.h"
#include "world/WorldLayerWiring.h"

// Each layer registers its own families, from the ground up; a test program
// of a lower layer registers the lists of the layers it links in the same
// order (tests/support/LayerLuaFunctions.cpp). No two families share a name,
// so the order decides nothing but which registrar runs first.
void RegisterLuaFunctions(lua_State* L) {
    if (!L) return;
    RegisterScriptLayerFamilies(L);
    RegisterMediaLayerFamilies(L);
    RegisterCombatLayerFamilies(L);
    RegisterWorldLayerFamilies(L);
    RegisterMapsLayerFamilies(L);
    RegisterSaveFileLayerFamilies(L);
    RegisterTransitionLuaFunctions(L);  // TH_DropPlayerAtTarget
}
