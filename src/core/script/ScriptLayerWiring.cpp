#include "core/script/ScriptLayerWiring.h"

#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"

void RegisterScriptLayerFamilies(lua_State* L) {
    if (!L) return;
    RegisterGeneralFunctions(L);           // GN_IsPointWithinRect
    DataLibrary::RegisterLuaFunctions(L);  // DL_
}
