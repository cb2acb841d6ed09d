#include "combat/EnemyManager.h"

#include <algorithm>
#include <cstdio>

#include "combat/CombatImageLibrary.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatTarget.h"
#include "combat/Enemy.h"
#include "combat/EnemyPrototype.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/script/DataLibrary.h"

EnemyManager::EnemyManager() : m_enemies(new NamedList(false)), m_prototypes(new NamedList(false)) {}

EnemyManager::~EnemyManager() {
    // The registry's other members may be gone already: no lookups here.
    for (Enemy* enemy : Enemies()) delete enemy;
    delete m_enemies;
    delete m_prototypes;
}

std::vector<Enemy*> EnemyManager::Enemies() const {
    std::vector<Enemy*> enemies;
    for (NamedList::Node* node = m_enemies->GetHead(); node; node = node->next)
        enemies.push_back(static_cast<Enemy*>(node->value));
    return enemies;
}

void EnemyManager::ScanLibraryForEnemies(const char* section) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    NamedList* sectionList = library && section ? library->GetSection(section) : nullptr;
    if (!sectionList) {
        std::fprintf(stderr, "EnemyManager::ScanLibraryForEnemies:  Failed, no Section %s exists\n",
                     section ? section : "");
        return;
    }
    for (NamedList::Node* c = sectionList->GetHead(); c; c = c->next) {
        for (NamedList::Node* h = static_cast<NamedList*>(c->value)->GetHead(); h; h = h->next) {
            for (NamedList::Node* e = static_cast<NamedList*>(h->value)->GetHead(); e; e = e->next) {
                auto* entry = static_cast<DataLibrary::Entry*>(e->value);
                if (entry && entry->pointer && entry->kind == DataKind::EnemyPrototype)
                    m_prototypes->Add(e->name, entry->pointer);
            }
        }
    }
}

void EnemyManager::AddEnemy(EnemyPrototype* prototype) {
    auto* enemy = new Enemy();
    enemy->InitFromPrototype(prototype);
    enemy->SnapshotShownStats();
    m_enemies->Add("X", enemy);
    m_enemyCount = m_enemies->GetCount();
}

void EnemyManager::SpawnEnemies(NamedList* preloadList) {
    if (!preloadList) {
        SpawnRandomEnemies(1);
    } else {
        for (NamedList::Node* node = preloadList->GetHead(); node; node = node->next)
            AddEnemy(static_cast<EnemyPrototype*>(node->value));
    }
    NameDuplicates();
}

void EnemyManager::SpawnRandomEnemies(int32_t level) {
    const int count = RandomNext() % 3 + 1;
    for (int i = 0; i < count; ++i) {
        // With no eligible prototype nothing is spawned.
        if (EnemyPrototype* prototype = PickRandomPrototype(level)) AddEnemy(prototype);
    }
}

EnemyPrototype* EnemyManager::PickRandomPrototype(int32_t level) {
    std::vector<EnemyPrototype*> eligible;
    for (NamedList::Node* node = m_prototypes->GetHead(); node; node = node->next) {
        auto* prototype = static_cast<EnemyPrototype*>(node->value);
        if (prototype->IsEligible(level)) eligible.push_back(prototype);
    }
    if (eligible.empty()) return nullptr;
    return eligible[static_cast<size_t>(RandomNext()) % eligible.size()];
}

void EnemyManager::NameDuplicates() {
    const std::vector<Enemy*> enemies = Enemies();
    for (size_t i = 0; i < enemies.size(); ++i) {
        const std::string stem = enemies[i]->GetName();
        int k = 0;
        for (size_t j = i + 1; j < enemies.size(); ++j) {
            if (enemies[j]->GetName().compare(0, stem.size(), stem) != 0) continue;
            enemies[i]->AddNameSuffix('A');
            ++k;
            enemies[j]->AddNameSuffix(static_cast<char>('A' + k));
        }
    }
}

void EnemyManager::PlaceEnemies(int32_t side) {
    if (side != 1) return;
    int32_t i = 0;
    for (Enemy* enemy : Enemies()) {
        enemy->SetHomePosition(200, 300 + 75 * i++);
        enemy->PutSpriteAtHome();
    }
}

void EnemyManager::LoadFieldSprites() {
    CombatImageLibrary* images = GetCombatImageLibrary();
    if (images) {
        images->Open();
        for (Enemy* enemy : Enemies()) {
            if (enemy->GetPrototype()) enemy->GetPrototype()->RunLoadingInstructions(images);
        }
        images->Close();
    }
    for (Enemy* enemy : Enemies()) enemy->LoadFieldSprite();
}

void EnemyManager::SetCombatIds(int32_t* counter) {
    if (!counter) return;
    for (Enemy* enemy : Enemies()) enemy->SetCombatId((*counter)++);
}

void EnemyManager::ChooseEnemyCommands() {
    for (Enemy* enemy : Enemies()) enemy->AutoChooseCommand();
}

void EnemyManager::AddTurnKeys(std::vector<TurnKey>& keys) {
    for (Enemy* enemy : Enemies()) {
        const float factor = 1.0f + static_cast<float>(RandomNext() % 20 - 10) / 100.0f;
        enemy->SnapshotShownStats();
        keys.push_back({-(static_cast<float>(enemy->GetStats()->speed) * factor), enemy});
    }
}

void EnemyManager::UpdateFieldSprites() {
    for (Enemy* enemy : Enemies()) enemy->UpdateFieldSprite();
}

void EnemyManager::DrawFieldSprites() {
    for (Enemy* enemy : Enemies()) enemy->DrawFieldSprite();
}

Character* EnemyManager::PickRandomTarget(int32_t command, int32_t subChoice) {
    (void)subChoice;
    std::vector<Enemy*> valid;
    for (Enemy* enemy : Enemies()) {
        if (enemy->IsValidTarget(command)) valid.push_back(enemy);
    }
    if (valid.empty()) return nullptr;
    return valid[static_cast<size_t>(RandomNext()) % valid.size()];
}

Character* EnemyManager::FirstValidTarget(int32_t command) {
    for (Enemy* enemy : Enemies()) {
        if (enemy->IsValidTarget(command)) return enemy;
    }
    return nullptr;
}

void EnemyManager::ListTargets(NamedList* list, int32_t command, int32_t subChoice) {
    (void)subChoice;
    if (!list) return;
    for (Enemy* enemy : Enemies()) {
        if (enemy->IsValidTarget(command))
            list->Add("X", CombatTarget::Make(enemy->GetName().c_str(), enemy->GetCombatId()));
    }
}

bool EnemyManager::AreAllDefeated() const {
    for (Enemy* enemy : Enemies()) {
        if (enemy->GetStats()->hp > 0) return false;
    }
    return true;
}

int32_t EnemyManager::SumExperienceReward() const {
    int64_t sum = 0;
    for (Enemy* enemy : Enemies()) {
        if (enemy->GetStats()->hp < 1 && enemy->GetPrototype()) sum += enemy->GetPrototype()->GetEXPForKill();
    }
    return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

void EnemyManager::ClearEnemies() {
    CombatParty* party = GetCombatRegistry().partyManager;
    for (Enemy* enemy : Enemies()) {
        // The party's current character may be an enemy that just leapt.
        if (party && party->GetCurrentCharacter() == enemy) party->SetCurrentCharacter(nullptr);
        delete enemy;
    }
    m_enemies->Clear();
    m_enemyCount = 0;
}

Character* EnemyManager::GetEnemyAt(int32_t index) const {
    return index < 0 ? nullptr : static_cast<Character*>(m_enemies->GetAt(index));
}
