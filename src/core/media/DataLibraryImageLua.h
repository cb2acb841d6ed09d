#pragma once
// The data library's script functions that take images and palettes out of
// the open image archive: DL_ExtractBitmap, DL_ExtractPortrait,
// DL_ExtractPalette and DL_ExtractBitmapWithPalette.
#include <lua5.1/lua.hpp>

void RegisterDataLibraryImageLuaFunctions(lua_State* L);
