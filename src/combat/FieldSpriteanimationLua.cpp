// FSpriteAnim_ script functions: they fill the field-sprite animation that is
// the data library's active object (made by DL_RegisterFieldSpriteAnimation
// or DL_CreateHotFieldSpriteAnimation).
#include <lua5.1/lua.hpp>

#include <cstdio>
#include <string>

#include "combat/CombatImageLibrary.h"
#include "combat/FieldSpriteanimation.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

FieldSpriteanimation* ActiveAnimation() {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    return library ? static_cast<FieldSpriteanimation*>(library->GetActiveObject(DataKind::FieldSpriteAnimation))
                   : nullptr;
}

std::string Line(const char* name, const char* reason) { return std::string(name) + ":  Failed, " + reason + "\n"; }

// Count first (when checked), then the active animation; null after
// printing the failing line.
FieldSpriteanimation* Checked(lua_State* L, int count, const char* name) {
    if (count >= 0 && !script::HasArgs(L, count)) {
        script::Fail(Line(name, "invalid argument list"));
        return nullptr;
    }
    FieldSpriteanimation* animation = ActiveAnimation();
    if (!animation) script::Fail(Line(name, "active object was not set"));
    return animation;
}

int FSpriteAnim_SetAutoUpdate(lua_State* L) {
    if (FieldSpriteanimation* animation = Checked(L, 1, "FSpriteAnim_SetAutoUpdate"))
        animation->SetAutoUpdate(script::GetNumber(L, 1) != 0);
    return 0;
}

int FSpriteAnim_SetFrameData(lua_State* L) {
    FieldSpriteanimation* animation = Checked(L, 2, "FSpriteAnim_SetFrameData");
    if (!animation) return 0;
    const int32_t count = script::GetInt(L, 1);
    if (count < 0 || count > FieldSpriteanimation::kMaxFrames) {
        std::fprintf(stderr, "FSpriteAnim_SetFrameData:  Failed, frame count %i is out of range\n", count);
        return 0;
    }
    animation->SetFrameData(count, script::GetInt(L, 2));
    return 0;
}

int FSpriteAnim_SetFrameImage(lua_State* L) {
    const char* name = "FSpriteAnim_SetFrameImage";
    std::string path[4];
    if (!script::HasArgs(L, 7)) return script::Fail(Line(name, "invalid argument list"));
    for (int i = 0; i < 4; ++i) {
        if (!script::GetText(L, i + 2, path[i])) return script::Fail(Line(name, "invalid argument list"));
    }
    FieldSpriteanimation* animation = Checked(L, -1, name);
    if (!animation) return 0;
    auto* image = GetGlobalState()->dataLibrary->Get<BitmapWrapper>(path[0].c_str(), path[1].c_str(), path[2].c_str(),
                                                                    path[3].c_str(), DataKind::Bitmap);
    if (!image) return script::Fail(Line(name, "image not found"));
    animation->SetFrame(script::GetInt(L, 1), image, script::GetInt(L, 6), script::GetInt(L, 7));
    return 0;
}

int FSpriteAnim_CDL_SetFrameImage(lua_State* L) {
    const char* name = "FSpriteAnim_CDL_SetFrameImage";
    std::string imageName;
    if (!script::HasArgs(L, 4) || !script::GetText(L, 2, imageName))
        return script::Fail(Line(name, "invalid argument list"));
    FieldSpriteanimation* animation = Checked(L, -1, name);
    if (!animation) return 0;
    CombatImageLibrary* images = GetCombatImageLibrary();
    BitmapWrapper* image = images ? images->FindImage(imageName.c_str()) : nullptr;
    if (!image) return script::Fail(Line(name, "image not found"));
    animation->SetFrame(script::GetInt(L, 1), image, script::GetInt(L, 3), script::GetInt(L, 4));
    return 0;
}

int FSpriteAnim_SetOscillation(lua_State* L) {
    if (FieldSpriteanimation* animation = Checked(L, -1, "FSpriteAnim_SetOscillation")) animation->SetOscillation();
    return 0;
}

int FSpriteAnim_SetPlayOnce(lua_State* L) {
    if (FieldSpriteanimation* animation = Checked(L, -1, "FSpriteAnim_SetPlayOnce")) animation->SetPlayOnce();
    return 0;
}

// Without an active animation nothing happens, silently.
int FSpriteAnim_FinishAndLock(lua_State*) {
    if (FieldSpriteanimation* animation = ActiveAnimation()) animation->FinishCalcsAndLock();
    return 0;
}

const script::Function kFunctions[] = {
    {"FSpriteAnim_SetAutoUpdate", FSpriteAnim_SetAutoUpdate},
    {"FSpriteAnim_SetFrameData", FSpriteAnim_SetFrameData},
    {"FSpriteAnim_SetFrameImage", FSpriteAnim_SetFrameImage},
    {"FSpriteAnim_CDL_SetFrameImage", FSpriteAnim_CDL_SetFrameImage},
    {"FSpriteAnim_SetOscillation", FSpriteAnim_SetOscillation},
    {"FSpriteAnim_SetPlayOnce", FSpriteAnim_SetPlayOnce},
    {"FSpriteAnim_FinishAndLock", FSpriteAnim_FinishAndLock},
    {nullptr, nullptr},
};

}  // namespace

void RegisterFieldSpriteAnimationLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
