// PInv_AddItem: one more of a prototype in the player's inventory.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

namespace {

// section, catalogue, heading, name, clone. A full inventory or a full
// stack drops the item without a line, as the game has always done.
int PInv_AddItem(lua_State* L) {
    const script::Lines lines{"PInv_AddItem"};
    std::string a[4];
    if (!script::HasArgs(L, 5)) return script::Fail(lines.Invalid());
    for (int i = 0; i < 4; ++i)
        if (!script::GetText(L, i + 1, a[i])) return script::Fail(lines.Invalid());
    GlobalState* state = GetGlobalState();
    PlayerInventory* inventory = state->player ? state->player->GetInventory() : nullptr;
    if (!inventory) return lines.Fail("Player does not exist");
    auto* prototype = state->dataLibrary
                          ? state->dataLibrary->Get<ItemPrototype>(a[0].c_str(), a[1].c_str(), a[2].c_str(),
                                                                   a[3].c_str(), DataKind::ItemPrototype)
                          : nullptr;
    if (!prototype) return lines.Fail("Prototype not found");
    inventory->AddItem(prototype->GetName(), prototype, script::GetFlag(L, 5));
    return 0;
}

const script::Function kFunctions[] = {
    {"PInv_AddItem", PInv_AddItem},
    {nullptr, nullptr},
};

}  // namespace

void PlayerInventory::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
