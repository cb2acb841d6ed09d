#include "core/media/MediaLayerWiring.h"

#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/media/DataLibraryImageLua.h"
#include "core/media/DataLibrarySoundLua.h"
#include "core/media/DisplayManager.h"
#include "core/media/SoundManager.h"

namespace {

void RequestSnapshot() {
    if (DisplayManager* display = GetGlobalState()->displayManager) display->RequestSnapshot();
}

}  // namespace

void RegisterMediaLayerFamilies(lua_State* L) {
    if (!L) return;
    RegisterDataLibraryImageLuaFunctions(L);
    RegisterDataLibrarySoundLuaFunctions(L);
    SoundManager::RegisterLuaFunctions(L);  // SM_
}

void InstallMediaLayerHooks() { GetLayerHooks().requestSnapshot = RequestSnapshot; }
