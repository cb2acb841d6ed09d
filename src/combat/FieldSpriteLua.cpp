// FSprite_ script functions: they set up the field sprite a field-sprite
// script is building, which the loading code makes the data library's active
// object. Their lines have one blank after the colon.
#include <lua5.1/lua.hpp>

#include <string>

#include "combat/FieldSprite.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

FieldSprite* ActiveSprite() {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    return library ? static_cast<FieldSprite*>(library->GetActiveObject(DataKind::FieldSprite)) : nullptr;
}

// The checks every function of the family makes: the count, then the active
// sprite. Null after printing the failing line.
FieldSprite* Checked(lua_State* L, int count, const char* name) {
    if (!script::HasArgs(L, count)) {
        script::Fail(std::string(name) + ": Failed, invalid argument list\n");
        return nullptr;
    }
    FieldSprite* sprite = ActiveSprite();
    if (!sprite) script::Fail(std::string(name) + ": Failed, active object was not set\n");
    return sprite;
}

int FSprite_SetCanvasSize(lua_State* L) {
    FieldSprite* sprite = Checked(L, 2, "FSprite_SetCanvasSize");
    if (!sprite) return 0;
    if (!sprite->SetCanvasSize(script::GetInt(L, 1), script::GetInt(L, 2)))
        return script::Fail("FSprite_SetCanvasSize: Failed, invalid argument list\n");
    return 0;
}

int FSprite_SetDrawingOffsets(lua_State* L) {
    FieldSprite* sprite = Checked(L, 2, "FSprite_SetDrawingOffsets");
    if (sprite) sprite->SetDrawingOffsets(script::GetInt(L, 1), script::GetInt(L, 2));
    return 0;
}

int FSprite_SetPalette(lua_State* L) {
    FieldSprite* sprite = Checked(L, 1, "FSprite_SetPalette");
    if (sprite) sprite->SetPalette(script::GetInt(L, 1));
    return 0;
}

// Its lines carry the name with a trailing s.
int FSprite_SetAttackOffset(lua_State* L) {
    FieldSprite* sprite = Checked(L, 1, "FSprite_SetAttackOffsets");
    if (sprite) sprite->SetAttackOffset(static_cast<float>(script::GetNumber(L, 1)));
    return 0;
}

const script::Function kFunctions[] = {
    {"FSprite_SetCanvasSize", FSprite_SetCanvasSize},
    {"FSprite_SetDrawingOffsets", FSprite_SetDrawingOffsets},
    {"FSprite_SetPalette", FSprite_SetPalette},
    {"FSprite_SetAttackOffset", FSprite_SetAttackOffset},
    {nullptr, nullptr},
};

}  // namespace

void RegisterFieldSpriteLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
