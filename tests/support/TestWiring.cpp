#include "support/TestWiring.h"

#ifdef QEL_TEST_HAS_APP
#include "app/LayerWiring.h"
#else
#ifdef QEL_TEST_HAS_CORE_MEDIA
#include "core/media/MediaLayerWiring.h"
#endif
#ifdef QEL_TEST_HAS_GUI
#include "gui/GUILayerWiring.h"
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
#ifdef QEL_TEST_HAS_NETWORK
#include "network/NetworkLayerWiring.h"
#endif
#endif

namespace testsupport {

// The layers' own installers, as InstallLayerHooks calls them.
void InstallTestWiring() {
#ifdef QEL_TEST_HAS_APP
    InstallLayerHooks();
#else
#ifdef QEL_TEST_HAS_CORE_MEDIA
    InstallMediaLayerHooks();
#endif
#ifdef QEL_TEST_HAS_GUI
    InstallGUILayerHooks();
#endif
#ifdef QEL_TEST_HAS_COMBAT
    InstallCombatLayerHooks();
#endif
#ifdef QEL_TEST_HAS_WORLD
    InstallWorldLayerHooks();
#endif
#ifdef QEL_TEST_HAS_MAPS
    InstallMapsLayerHooks();
#endif
#ifdef QEL_TEST_HAS_NETWORK
    InstallNetworkLayerHooks();
#endif
#endif
}

}  // namespace testsupport
