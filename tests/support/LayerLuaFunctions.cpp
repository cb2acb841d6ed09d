#include "support/LayerLuaFunctions.h"

#include "core/script/ScriptLayerWiring.h"
#ifdef QEL_TEST_HAS_CORE_MEDIA
#include "core/media/MediaLayerWiring.h"
#endif
#ifdef QEL_TEST_HAS_COMBAT
#include "combat/CombatLayerWiring.h"
#endif
#ifdef QEL_TEST_HAS_WORLD
#include "world/WorldLayerWiring.h"
#endif
#ifdef QEL_TEST_HAS_MAPS
#include "maps/MapsLayerWiring.h"
#endif
#ifdef QEL_TEST_HAS_SAVEFILE
#include "savefile/SaveFileLayerWiring.h"
#endif

namespace testsupport {

// The layers' own lists, as RegisterLuaFunctions calls them.
void RegisterLayerLuaFunctions(lua_State* L) {
    if (!L) return;
    RegisterScriptLayerFamilies(L);
#ifdef QEL_TEST_HAS_CORE_MEDIA
    RegisterMediaLayerFamilies(L);
#endif
#ifdef QEL_TEST_HAS_COMBAT
    RegisterCombatLayerFamilies(L);
#endif
#ifdef QEL_TEST_HAS_WORLD
    RegisterWorldLayerFamilies(L);
#endif
#ifdef QEL_TEST_HAS_MAPS
    RegisterMapsLayerFamilies(L);
#endif
#ifdef QEL_TEST_HAS_SAVEFILE
    RegisterSaveFileLayerFamilies(L);
#endif
}

}  // namespace testsupport
