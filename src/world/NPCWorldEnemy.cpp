#include "world/NPCWorldEnemy.h"

#include <allegro5/allegro.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/LayerHooks.h"
#include "core/base/Random.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIManager.h"
#include "world/EntityManager.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIWEChasePackage.h"
#include "world/ai/AIWEWanderPackage.h"

namespace {

// A roll of 1..100 from the engine's random source, whatever its sign.
int32_t Roll() {
    const int64_t r = RandomNext();
    return static_cast<int32_t>(((r % 100) + 100) % 100) + 1;
}

// Name the packages are queued under, held until the queue is cleared.
constexpr const char* kPackageName = "X";

}  // namespace

NPCWorldEnemy::NPCWorldEnemy() { m_animDirection = 0; }

NPCWorldEnemy::~NPCWorldEnemy() = default;

// ---------------------------------------------------------------- setters

void NPCWorldEnemy::SetMaxSpawns(int32_t n) {
    if (n > 0) m_maxSpawns = n;
}

void NPCWorldEnemy::SetDetectRange(int32_t range) {
    if (range > 0) m_detectRange = range;
}

void NPCWorldEnemy::SetAggroRange(int32_t range) {
    if (range > 0) m_aggroRange = range;
}

void NPCWorldEnemy::SetRespawnTime(int32_t ticks) {
    if (ticks > 0) m_respawnTime = ticks;
}

// ---------------------------------------------------------------- mobs

void* NPCWorldEnemy::LookUpPrototype(const std::string& name) const {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return nullptr;
    return library->GetPointer(m_section.c_str(), m_stratum.c_str(), m_kind.c_str(), name.c_str(),
                               DataKind::EnemyPrototype);
}

void NPCWorldEnemy::AddMob(const std::string& name, int32_t chance) {
    void* prototype = LookUpPrototype(name);
    if (!prototype) prototype = LookUpPrototype(kFallbackMob);
    if (!prototype) {
        std::fprintf(stderr, "NPCWorldEnemy::AddMob:  Warning, neither %s nor %s was found, mob skipped\n",
                     name.c_str(), kFallbackMob);
        return;
    }
    m_mobs.push_back(Mob{name, chance, prototype});
}

void NPCWorldEnemy::AddBoss(const std::string& name) {
    m_kind = "Boss";
    AddMob(name, 100);
    m_kind = "Normal";
}

std::vector<void*> NPCWorldEnemy::ChooseEncounter() const {
    std::vector<void*> chosen;
    if (m_maxSpawns <= 0) {
        for (const Mob& mob : m_mobs) chosen.push_back(mob.prototype);
        return chosen;
    }
    for (int32_t draw = 0; draw < m_maxSpawns; ++draw) {
        const int32_t roll = Roll();
        int64_t sum = 0;
        for (const Mob& mob : m_mobs) {
            if (sum > 100) break;
            if (roll > sum && roll <= sum + mob.chance) {
                chosen.push_back(mob.prototype);
                break;
            }
            sum += mob.chance;
        }
    }
    if (chosen.empty()) {
        if (void* own = LookUpPrototype(m_internalName)) chosen.push_back(own);
    }
    return chosen;
}

void NPCWorldEnemy::SpawnEncounter() {
    const std::vector<void*> chosen = ChooseEncounter();
    CombatManager* combat = GetCombatRegistry().combatManager;
    if (!combat) return;
    // The battle is this enemy's alone: what an earlier encounter preloaded
    // must not join it.
    combat->ClearPreloadList();
    for (void* prototype : chosen) combat->AddPreloadEnemy(prototype);
}

// ---------------------------------------------------------------- distances

int64_t NPCWorldEnemy::DistanceToPlayer() const {
    PlayerVorn* player = GetGlobalState()->player;
    const Dimensions* where = player ? player->GetDimensions() : nullptr;
    if (!where) return -1;
    const int64_t dx = TruncateToInt32(where->X - m_dimensions.X);
    const int64_t dy = TruncateToInt32(where->Y - m_dimensions.Y);
    return static_cast<int64_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
}

bool NPCWorldEnemy::InDetectRange() const {
    const int64_t distance = DistanceToPlayer();
    return distance >= 1 && distance <= m_detectRange;
}

bool NPCWorldEnemy::InAggroRange() const {
    const int64_t distance = DistanceToPlayer();
    return distance >= 1 && distance <= m_aggroRange;
}

// ---------------------------------------------------------------- behaviour

void NPCWorldEnemy::ApplyAutomaticRanges() {
    if (m_autoDetectRange) {
        const int64_t ox = m_imageOffsetX, oy = m_imageOffsetY;
        m_detectRange = SaturateToInt32(static_cast<int64_t>(std::sqrt(static_cast<double>(ox * ox + oy * oy))));
        m_autoDetectRange = 0;
    }
    if (m_autoAggroRange) {
        m_aggroRange = SaturateToInt32(std::llabs(static_cast<int64_t>(TruncateToInt32(m_dimensions.x1))));
        m_autoAggroRange = 0;
    }
}

bool NPCWorldEnemy::HandleMouseState(int32_t mouseState) {
    GlobalState* state = GetGlobalState();
    const auto isOnline = GetLayerHooks().isOnline;
    const bool online = isOnline && isOnline();
    if (!online) {
        if (GUIManager* gui = state->guiManager) {
            if (!gui->GetControlStack().IsEmpty() || !gui->IsActiveWindowListEmpty()) return false;
        }
    }
    ApplyAutomaticRanges();
    if (mouseState != -1) return false;
    if (!m_ready) return false;
    if (InAggroRange()) {
        // A battle already asked for (another enemy reached the player this
        // tick) is fought first; this one stays ready for a later one. A
        // line being typed is sent or left first: the enemy waits by the
        // player.
        if (IsBattleRunningOrRequested()) return false;
        if (state->guiManager && state->guiManager->IsLineBeingTyped()) return false;
        StartBattle();
        return false;
    }
    if (InDetectRange()) {
        Chase();
        return true;
    }
    Wander();
    return true;
}

void NPCWorldEnemy::StartBattle() {
    SpawnEncounter();
    RequestCombatTransition();
    m_ready = 0;
    m_defeatTime = al_is_system_installed() ? al_get_time() : 0.0;
    m_enabled = 0;
}

template <class Package> Package* NPCWorldEnemy::SyncedPackage(Package* package) {
    EntityManager* entities = GetGlobalState()->entityManager;
    RootEntity* previous = entities ? entities->GetActiveEntity() : nullptr;
    if (entities) entities->SetActiveEntity(this);
    package->SyncPointers("NPC", m_internalName);
    if constexpr (std::is_same_v<Package, AIWEChasePackage>)
        package->SetTargetPointers("Player", EntityManager::kPlayerName, "XCenter", "YCenter");
    if (entities) entities->SetActiveEntity(previous);
    return package;
}

void NPCWorldEnemy::Chase() {
    if (m_aiMode != kModeWander) {
        ClearAIQueue();
        PushAI(kPackageName, -1, SyncedPackage(new AIWEChasePackage), true);
    }
    m_aiMode = kModeChase;
}

void NPCWorldEnemy::Wander() {
    if (m_aiMode == kModeWander) return;
    ClearAIQueue();
    PushAI(kPackageName, -1, SyncedPackage(new AIWEWanderPackage), true);
    m_aiMode = kModeWander;
}

// ---------------------------------------------------------------- drawing and routing

void NPCWorldEnemy::UpdateAppearance() {
    m_animDirection = 0;
    BitmapWrapper* appearance = GetAppearance();
    if (m_drawingList && appearance && appearance->GetBitmap()) m_drawingList->Draw(appearance, 0, 0, m_animFlip);
}

void* NPCWorldEnemy::RoutePointer(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}
