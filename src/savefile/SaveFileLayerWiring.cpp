#include "savefile/SaveFileLayerWiring.h"

#include "savefile/SFM.h"

void RegisterSaveFileLayerFamilies(lua_State* L) {
    if (!L) return;
    SFM::RegisterLuaFunctions(L);
}
