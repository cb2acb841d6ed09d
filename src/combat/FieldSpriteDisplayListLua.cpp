// FSpriteDL_ script functions: a field-sprite script builds each pose as a
// display list on top of the sprite, saved on the data library's
// active-entity stack meanwhile:
//
//   FSpriteDL_CreateAndPush()              -- sprite saved, new list active
//   DL_PushActiveEntity()                  -- list saved
//   DL_CreateHotFieldSpriteAnimation() ... -- an animation active
//   FSpriteDL_RegisterAnimByPop("Body")    -- list active again, layer added
//   FSpriteDL_RegisterAnim("Shadow", ...)  -- a registered animation added
//   FSpriteDL_PopAndHook("Idling")         -- sprite active, pose added
#include <lua5.1/lua.hpp>

#include <cstdio>
#include <string>

#include "combat/FieldSprite.h"
#include "combat/FieldSpriteDisplayList.h"
#include "combat/FieldSpriteanimation.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

template <class T> T* Active(DataLibrary* library, DataKind kind) {
    return library ? static_cast<T*>(library->GetActiveObject(kind)) : nullptr;
}

int FSpriteDL_CreateAndPush(lua_State*) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return 0;
    library->PushActiveEntity();
    library->SetActiveObject(FieldSpriteDisplayList::CreateLoose(), DataKind::FieldSpriteDisplayList);
    return 0;
}

int FSpriteDL_RegisterAnim(lua_State* L) {
    std::string a[5];
    bool ok = script::HasArgs(L, 5);
    for (int i = 0; ok && i < 5; ++i) ok = script::GetText(L, i + 1, a[i]);
    if (!ok) return script::Fail("FSpriteDL_RegisterAnim:  Failed, invalid argument list\n");
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return 0;
    auto* animation = library->Get<FieldSpriteanimation>(a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(),
                                                         DataKind::FieldSpriteAnimation);
    if (!animation) {
        std::fprintf(stderr, "FSpriteDL_RegisterAnim:  Warning, Animation %s %s was NULL\n", a[3].c_str(),
                     a[4].c_str());
        return 0;
    }
    auto* list = Active<FieldSpriteDisplayList>(library, DataKind::FieldSpriteDisplayList);
    if (list) list->AddAnimation(a[0].c_str(), animation);
    return 0;
}

int FSpriteDL_RegisterAnimByPop(lua_State* L) {
    std::string layer;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, layer))
        return script::Fail("FSpriteDL_RegisterAnimByPop:  Failed, invalid argument list\n");
    DataLibrary* library = GetGlobalState()->dataLibrary;
    auto* animation = Active<FieldSpriteanimation>(library, DataKind::FieldSpriteAnimation);
    if (!animation) return script::Fail("FSpriteDL_RegisterAnimByPop:  Failed, no active object\n");
    library->PopActiveEntity();
    auto* list = Active<FieldSpriteDisplayList>(library, DataKind::FieldSpriteDisplayList);
    if (list) list->AddAnimation(layer.c_str(), animation);
    // A hot animation was only the pattern of the layer's copy.
    FieldSpriteanimation::ReleaseHot(animation);
    if (!list) return script::Fail("FSpriteDL_RegisterAnimByPop:  Failed, no FSDL in the Stack\n");
    return 0;
}

int FSpriteDL_PopAndHook(lua_State* L) {
    std::string pose;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, pose))
        return script::Fail("FSpriteDL_PopAndHook:  Failed, invalid argument list\n");
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return 0;
    auto* list = Active<FieldSpriteDisplayList>(library, DataKind::FieldSpriteDisplayList);
    library->PopActiveEntity();
    if (!list) return script::Fail("FSpriteDL_PopAndHook:  Failed, no FSDL is active\n");
    auto* sprite = Active<FieldSprite>(library, DataKind::FieldSprite);
    // A list that no sprite takes is nobody's: free it now.
    if (!sprite) {
        if (FieldSpriteDisplayList::IsLoose(list)) delete list;
        return 0;
    }
    sprite->AddDisplayList(pose.c_str(), list);
    return 0;
}

const script::Function kFunctions[] = {
    {"FSpriteDL_CreateAndPush", FSpriteDL_CreateAndPush},
    {"FSpriteDL_RegisterAnim", FSpriteDL_RegisterAnim},
    {"FSpriteDL_RegisterAnimByPop", FSpriteDL_RegisterAnimByPop},
    {"FSpriteDL_PopAndHook", FSpriteDL_PopAndHook},
    {nullptr, nullptr},
};

}  // namespace

void RegisterFieldSpriteDisplayListLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
