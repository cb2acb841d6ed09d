// The Character_ script functions: they act on the party's current
// character (the member added last, or the attacker while its attack script
// runs).
#include "combat/Character.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

constexpr const char* kNoCharacter = "no Character is Active";

Character* CurrentCharacter() {
    CombatParty* party = GetCombatRegistry().partyManager;
    return party ? party->GetCurrentCharacter() : nullptr;
}

int Character_SetBasicProperties(lua_State* L) {
    const script::Lines lines{"Character_SetBasicProperties"};
    if (!script::HasArgs(L, 8)) return script::Fail(lines.Invalid());
    Character* character = CurrentCharacter();
    if (!character) return lines.Fail(kNoCharacter);
    character->SetBasicProperties(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                                  script::GetInt(L, 4), script::GetInt(L, 5), script::GetInt(L, 6),
                                  script::GetInt(L, 7), script::GetInt(L, 8));
    return 0;
}

int Character_SetAttackAnimProperties(lua_State* L) {
    const script::Lines lines{"Character_SetAttackAnimProperties"};
    if (!script::HasArgs(L, 5)) return script::Fail(lines.Invalid());
    Character* character = CurrentCharacter();
    if (!character) return lines.Fail(kNoCharacter);
    character->SetAttackAnimProperties(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                                       script::GetInt(L, 4), script::GetInt(L, 5));
    return 0;
}

int Character_SetFrameWrapperSlot(lua_State* L) {
    const script::Lines lines{"Character_SetFrameWrapperSlot"};
    if (!script::HasArgs(L, 5)) return script::Fail(lines.Invalid());
    Character* character = CurrentCharacter();
    if (!character) return lines.Fail(kNoCharacter);
    MovePoint point;
    point.x = static_cast<float>(script::GetNumber(L, 2));
    point.y = static_cast<float>(script::GetNumber(L, 3));
    point.z = static_cast<float>(script::GetNumber(L, 4));
    point.entry = script::GetInt(L, 5);
    character->SetMovePoint(script::GetInt(L, 1), point);
    return 0;
}

int Character_GetMoveData(lua_State* L) {
    Character* character = CurrentCharacter();
    if (!character) return script::Lines{"Character_GetMoveData"}.Fail(kNoCharacter);
    MoveData move = character->GetMoveData();
    lua_pushnumber(L, move.pointCount);
    lua_pushnumber(L, move.fromX);
    lua_pushnumber(L, move.fromY);
    lua_pushnumber(L, move.toX);
    lua_pushnumber(L, move.toY);
    return 5;
}

int Character_SetUIPortrait(lua_State* L) {
    std::string section, catalogue, heading, name;
    if (!script::HasArgs(L, 4) || !script::GetText(L, 1, section) || !script::GetText(L, 2, catalogue) ||
        !script::GetText(L, 3, heading) || !script::GetText(L, 4, name))
        return script::Fail(script::Lines{"Character_SetUIPortrait"}.Invalid());
    Character* character = CurrentCharacter();
    if (!character) return 0;
    DataLibrary* library = GetGlobalState()->dataLibrary;
    character->SetPortrait(library ? library->Get<BitmapWrapper>(section.c_str(), catalogue.c_str(), heading.c_str(),
                                                                 name.c_str(), DataKind::Bitmap)
                                   : nullptr);
    return 0;
}

const script::Function kCharacterFunctions[] = {
    {"Character_SetBasicProperties", Character_SetBasicProperties},
    {"Character_SetAttackAnimProperties", Character_SetAttackAnimProperties},
    {"Character_SetFrameWrapperSlot", Character_SetFrameWrapperSlot},
    {"Character_GetMoveData", Character_GetMoveData},
    {"Character_SetUIPortrait", Character_SetUIPortrait},
    {nullptr, nullptr},
};

}  // namespace

void Character::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kCharacterFunctions);
}
