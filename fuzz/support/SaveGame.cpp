#include "support/SaveGame.h"

#include <cstdint>
#include <memory>

#include "combat/Character.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatStats.h"
#include "combat/PartyManager.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/script/DataLibrary.h"
#include "savefile/SFM.h"
#include "support/FuzzSupport.h"
#include "support/LuaTestState.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemInstance.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

namespace fuzzsupport {

struct SaveGame::Parts {
    testsupport::LuaTestState lua;
    PlayerVorn player;
    SFM saves;
    ItemPrototype potion;
    ItemPrototype herb;
    ItemPrototype stone;
};

SaveGame& SaveGame::Get() {
    // Kept to the end of the process: the managers outlive every input.
    static SaveGame* game = new SaveGame;
    return *game;
}

SaveGame::SaveGame() {
    EnterWorkFolder();
    StartAllegro();
    // A load builds the members' field sprites from these scripts.
    for (const char* name : {"Orravine", "Bramle", "Sesket", "Kell", "Tamberlyx", "Wistlemarn"})
        WriteWholeFile(std::string("Data/Scripts/Combat/FieldSprites/") + name + "FieldSprite.lua", "");
    m_parts = new Parts;
    GetGlobalState()->player = &m_parts->player;
    GetGlobalState()->savefileManager = &m_parts->saves;
    m_saves = &m_parts->saves;
    m_party = dynamic_cast<PartyManager*>(GetCombatRegistry().partyManager);
    m_inventory = m_parts->player.GetInventory();
    if (!m_party || !m_inventory) Broken("the save game has no party or no inventory");

    DataLibrary& library = m_parts->lua.Library();
    library.AddSection("ItemPrototypes");
    library.AddCatalogue("ItemPrototypes", "All");
    library.AddHeading("ItemPrototypes", "All", "Items");
    struct Kind {
        ItemPrototype* prototype;
        const char* name;
        int32_t code;
        bool stacks;
    };
    const Kind kinds[] = {
        {&m_parts->potion, "Potion", 1, true}, {&m_parts->herb, "Herb", 2, false}, {&m_parts->stone, "Stone", 3, true}};
    for (const Kind& kind : kinds) {
        kind.prototype->SetName(kind.name);
        kind.prototype->SetCode(kind.code);
        kind.prototype->SetStackProperties(kind.stacks, 9);
        library.Register("ItemPrototypes", "All", "Items", kind.name, kind.prototype, DataKind::ItemPrototype);
    }
}

void SaveGame::Reset() {
    m_party->ClearParty();
    for (const char* name : {"Orravine", "Bramle", "Sesket"}) m_party->AddCharacter(name);
    if (Character* bramle = m_party->GetMemberAt(1)) {
        bramle->GetStats()->hp = 7;
        bramle->GetStats()->level = 12;
        bramle->GetExperience()->gained = 1234;
    }
    m_party->SetCurrentCharacter(m_party->GetMemberAt(2));
    m_inventory->Clear();
    m_inventory->AddItem("Potion", &m_parts->potion, false);
    m_inventory->AddItem("Potion", &m_parts->potion, false);
    std::unique_ptr<ItemInstance> herb = std::make_unique<ItemInstance>(&m_parts->herb, false);
    m_inventory->PutItemInSlot(herb, 3);
    std::unique_ptr<ItemInstance> stones = std::make_unique<ItemInstance>(&m_parts->stone, false);
    stones->SetQuantity(9);
    m_inventory->PutItemInSlot(stones, 49);
}

std::string SaveGame::Snapshot(bool addresses) const {
    auto address = [addresses](const void* p) {
        return addresses ? "@" + std::to_string(reinterpret_cast<uintptr_t>(p)) : std::string(p ? "@" : "@0");
    };
    std::string text;
    for (NamedList::Node* node = m_party->GetPartyList()->GetHead(); node; node = node->next) {
        const auto* member = static_cast<const Character*>(node->value);
        text +=
            node->name + "/" + member->GetName() + address(member) + " class " + std::to_string(member->GetClassId());
        if (const CombatStats* s = member->GetStats())
            for (int32_t v : {s->level, s->hp, s->maxHp, s->mp, s->maxMp, s->shownHp, s->shownMp, s->strength,
                              s->toughness, s->intellect, s->cunning, s->agility, s->speed})
                text += " " + std::to_string(v);
        if (const ExperienceRecord* e = member->GetExperience())
            text += " exp " + std::to_string(e->needed) + "/" + std::to_string(e->gained);
        text += "\n";
    }
    text += "current" + address(m_party->GetCurrentCharacter()) + " active" + address(m_party->GetActiveCharacter()) +
            " leader" + address(m_party->GetLeader()) + "\n";
    for (int i = 0; i < m_inventory->GetSlotCount(); ++i)
        if (const ItemInstance* item = m_inventory->GetItemAt(i))
            text += std::to_string(i) + ": " + item->GetName() + " code " + std::to_string(m_inventory->GetCodeAt(i)) +
                    " x" + std::to_string(item->GetQuantity()) + address(item) + "\n";
    return text;
}

}  // namespace fuzzsupport
