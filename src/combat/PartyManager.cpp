#include "combat/PartyManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "combat/Bramle.h"
#include "combat/Character.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatTarget.h"
#include "combat/FieldSprite.h"
#include "combat/GUICombatCharDisplay.h"
#include "combat/Kell.h"
#include "combat/Orravine.h"
#include "combat/PartyClass.h"
#include "combat/Sesket.h"
#include "combat/Tamberlyx.h"
#include "combat/Wistlemarn.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/script/LuaManager.h"
#include "gui/GUIManager.h"

namespace {

std::vector<Character*> Members(const NamedList* party) {
    std::vector<Character*> members;
    for (NamedList::Node* node = party->GetHead(); node; node = node->next)
        members.push_back(static_cast<Character*>(node->value));
    return members;
}

void FillCommandWindowFor(Character* member) {
    if (CombatManager* manager = GetCombatRegistry().combatManager) manager->FillCommandWindowFor(member);
}

}  // namespace

PartyManager::PartyManager() : m_party(new NamedList(false)) {
    if (LuaManager* lua = GetGlobalState()->luaManager) {
        RegisterLuaFunctions(lua->GetLuaState());
        Character::RegisterLuaFunctions(lua->GetLuaState());
    }
}

PartyManager::~PartyManager() {
    for (Character* member : Members(m_party)) delete member;
    delete m_party;
}

Character* PartyManager::AddCharacter(const char* className) {
    if (!className) return nullptr;
    Character* member = nullptr;
    if (std::strcmp(className, "Orravine") == 0)
        member = new Orravine();
    else if (std::strcmp(className, "Bramle") == 0)
        member = new Bramle();
    else if (std::strcmp(className, "Sesket") == 0)
        member = new Sesket();
    else if (std::strcmp(className, "Wistlemarn") == 0)
        member = new Wistlemarn();
    else if (std::strcmp(className, "Kell") == 0)
        member = new Kell();
    else if (std::strcmp(className, "Tamberlyx") == 0)
        member = new Tamberlyx();
    if (!member) return nullptr;
    AddMember(className, member);
    return member;
}

void PartyManager::AddMember(const char* name, Character* member) {
    if (!name || !member) return;
    m_party->Add(name, member);
    m_current = member;
}

void PartyManager::Forget(Character* member) {
    if (m_current == member) m_current = nullptr;
    if (m_active == member) m_active = nullptr;
    if (m_leader == member) m_leader = nullptr;
}

void PartyManager::DelCharacter(const char* name) {
    if (!name) return;
    NamedList::Node* node = m_party->FindNode(name);
    if (!node) return;
    auto* member = static_cast<Character*>(node->value);
    m_party->RemoveValue(member);
    Forget(member);
    delete member;
}

void PartyManager::ClearParty() {
    for (Character* member : Members(m_party)) {
        Forget(member);
        delete member;
    }
    m_party->Clear();
    m_current = m_active = m_leader = nullptr;
}

void PartyManager::RestoreParty() {
    for (Character* member : Members(m_party)) {
        member->SetHP(member->GetStats()->maxHp);
        member->SetMP(member->GetStats()->maxMp);
    }
}

void PartyManager::ReviveKnockedOut() {
    for (Character* member : Members(m_party)) member->ReviveIfKnockedOut(1);
}

int32_t PartyManager::GetPartySize() const { return m_party->GetCount(); }

Character* PartyManager::GetMemberAt(int32_t index) const {
    return index < 0 ? nullptr : static_cast<Character*>(m_party->GetAt(index));
}

bool PartyManager::IsWipedOut() const {
    for (Character* member : Members(m_party)) {
        if (member->GetStats()->hp > 0) return false;
    }
    return true;
}

Character* PartyManager::PickRandomTarget(int32_t command, int32_t subChoice) {
    (void)subChoice;
    std::vector<Character*> valid;
    for (Character* member : Members(m_party)) {
        if (member->IsValidTarget(command)) valid.push_back(member);
    }
    if (valid.empty()) return nullptr;
    return valid[static_cast<size_t>(RandomNext()) % valid.size()];
}

Character* PartyManager::FirstValidTarget(int32_t command) {
    for (Character* member : Members(m_party)) {
        if (member->IsValidTarget(command)) return member;
    }
    return nullptr;
}

void PartyManager::ListTargets(NamedList* list, int32_t command, int32_t subChoice) {
    (void)subChoice;
    if (!list) return;
    for (Character* member : Members(m_party)) {
        if (member->IsValidTarget(command))
            list->Add("X", CombatTarget::Make(member->GetName().c_str(), member->GetCombatId()));
    }
}

std::string PartyManager::FormatExperienceMessage(int32_t amount) const {
    if (!m_leader) return std::string();
    return m_leader->GetName() + " and her friends got " + std::to_string(amount) + " experience!";
}

void PartyManager::ShareExperience(int32_t reward) {
    const int32_t size = GetPartySize();
    if (size <= 0) return;
    for (Character* member : Members(m_party)) member->GainExperience(reward / size);
}

void PartyManager::PrepareForBattle() {
    // Members added by script after start-up have no field sprite yet.
    for (Character* member : Members(m_party)) {
        auto* partyClass = dynamic_cast<PartyClass*>(member);
        if (partyClass && !partyClass->HasLoadedFieldSprite()) member->LoadFieldSprite();
    }
    GUIManager* gui = GetGlobalState()->guiManager;
    m_active = nullptr;
    int32_t i = 0;
    for (Character* member : Members(m_party)) {
        member->SetLeader(false);
        if (!m_active && member->IsAlive()) {
            m_active = m_leader = member;
            member->SetLeader(true);
            FillCommandWindowFor(member);
        }
        // Digits for the first ten; the codes after '9' find no display.
        const std::string name = "CombatCharDisplay" + std::string(1, static_cast<char>('0' + std::min(i, 79)));
        member->SetStatusDisplay(gui ? dynamic_cast<GUICombatCharDisplay*>(gui->FindObject(name)) : nullptr);
        member->ResetForBattle();
        ++i;
    }
}

bool PartyManager::NextActiveCharacter() {
    if (!m_active) return false;
    const std::vector<Character*> members = Members(m_party);
    auto it = std::find(members.begin(), members.end(), m_active);
    if (it == members.end()) return false;
    for (++it; it != members.end(); ++it) {
        if ((*it)->IsAlive()) {
            m_active = *it;
            FillCommandWindowFor(m_active);
            return true;
        }
    }
    return false;
}

void PartyManager::SetCombatIds(int32_t* counter) {
    if (!counter) return;
    for (Character* member : Members(m_party)) member->SetCombatId((*counter)++);
}

void PartyManager::PlaceParty(int32_t side) {
    if (side != 0) return;
    int32_t i = 0;
    for (Character* member : Members(m_party)) {
        member->SetHomePosition(i % 2 == 0 ? 500 : 550, 300 + 30 * i);
        member->SetSide(1);
        if (auto* sprite = dynamic_cast<FieldSprite*>(member->GetFieldSprite())) sprite->SetFacing(1);
        member->PutSpriteAtHome();
        ++i;
    }
}

void PartyManager::LoadFieldSprites() {
    for (Character* member : Members(m_party)) member->LoadFieldSprite();
}

void PartyManager::UpdateFieldSprites() {
    for (Character* member : Members(m_party)) member->UpdateFieldSprite();
}

void PartyManager::DrawFieldSprites() {
    for (Character* member : Members(m_party)) member->DrawFieldSprite();
}
