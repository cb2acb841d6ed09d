// The data library's combat registrations: enemy prototypes and field-sprite
// animations, each made the active object for the EP_ / FSpriteAnim_
// functions that follow.
#include "combat/DataLibraryCombatLua.h"

#include <lua5.1/lua.hpp>

#include <memory>
#include <string>

#include "combat/EnemyPrototype.h"
#include "combat/FieldSpriteanimation.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

bool GetPath(lua_State* L, std::string* path) {
    if (!script::HasArgs(L, 4)) return false;
    for (int i = 0; i < 4; ++i) {
        if (!script::GetText(L, i + 1, path[i])) return false;
    }
    return true;
}

int DL_RegisterEnemyPrototype(lua_State* L) {
    std::string path[4];
    if (!GetPath(L, path)) return script::Fail("DL_RegisterEnemyPrototype:  Failed, invalid argument list\n");
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_RegisterEnemyPrototype:  Failed, DataLibrary does not exist\n");
    auto prototype = std::make_unique<EnemyPrototype>();
    if (!library->Register(path[0].c_str(), path[1].c_str(), path[2].c_str(), path[3].c_str(), prototype.get(),
                           DataKind::EnemyPrototype)) {
        // The EP_ calls that follow must not fill the previous prototype.
        library->SetActiveObject(nullptr, DataKind::Any);
        return 0;
    }
    library->SetActiveObject(EnemyPrototype::KeepForever(std::move(prototype)), DataKind::EnemyPrototype);
    return 0;
}

int DL_RegisterFieldSpriteAnimation(lua_State* L) {
    std::string path[4];
    if (!GetPath(L, path)) return script::Fail("DL_RegisterFieldSpriteAnimation:  Failed, invalid argument list\n");
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_RegisterFieldSpriteAnimation:  Failed, DataLibrary does not exist\n");
    auto animation = std::make_unique<FieldSpriteanimation>();
    if (!library->Register(path[0].c_str(), path[1].c_str(), path[2].c_str(), path[3].c_str(), animation.get(),
                           DataKind::FieldSpriteAnimation)) {
        // The FSpriteAnim_ calls that follow must not fill the previous one.
        library->SetActiveObject(nullptr, DataKind::Any);
        return 0;
    }
    library->SetActiveObject(FieldSpriteanimation::KeepForever(std::move(animation)), DataKind::FieldSpriteAnimation);
    return 0;
}

// Takes no arguments and does not check the count.
int DL_CreateHotFieldSpriteAnimation(lua_State*) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_CreateHotFieldSpriteAnimation:  Failed, DataLibrary does not exist\n");
    library->SetActiveObject(FieldSpriteanimation::CreateHot(), DataKind::FieldSpriteAnimation);
    return 0;
}

const script::Function kFunctions[] = {
    {"DL_RegisterEnemyPrototype", DL_RegisterEnemyPrototype},
    {"DL_RegisterFieldSpriteAnimation", DL_RegisterFieldSpriteAnimation},
    {"DL_CreateHotFieldSpriteAnimation", DL_CreateHotFieldSpriteAnimation},
    {nullptr, nullptr},
};

}  // namespace

void RegisterDataLibraryCombatLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
