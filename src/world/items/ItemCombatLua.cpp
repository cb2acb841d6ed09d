// ICM_AddRestoreEffect: the item prototype being defined restores HP when
// used on a character.
#include "world/items/ItemCombatLua.h"

#include <memory>

#include "combat/RestoreEffect.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "world/items/ItemPrototype.h"

namespace {

// amount, mode: both truncated to whole numbers.
int ICM_AddRestoreEffect(lua_State* L) {
    const script::Lines lines{"ICM_AddRestoreEffect"};
    if (!script::HasArgs(L, 2)) return script::Fail(lines.Invalid());
    DataLibrary* library = GetGlobalState()->dataLibrary;
    auto* prototype =
        library ? static_cast<ItemPrototype*>(library->GetActiveObject(DataKind::ItemPrototype)) : nullptr;
    if (!prototype) return lines.Fail("active item not set");
    prototype->AddEquipEffect(
        std::unique_ptr<ItemEffectRecord>(MakeRestoreEffect(script::GetInt(L, 1), script::GetInt(L, 2))));
    return 0;
}

const script::Function kFunctions[] = {
    {"ICM_AddRestoreEffect", ICM_AddRestoreEffect},
    {nullptr, nullptr},
};

}  // namespace

void RegisterItemCombatLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
