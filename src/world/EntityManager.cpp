#include "world/EntityManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/NamedList.h"
#include "core/base/RootEntity.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptArgs.h"
#include "world/PlayerVorn.h"

namespace {

// Marks a walk over the entities for as long as it lives.
class WalkScope {
public:
    WalkScope(int& depth, std::vector<RootEntity*>& pending) : m_depth(depth), m_pending(pending) { ++m_depth; }
    ~WalkScope() {
        if (--m_depth > 0 || m_pending.empty()) return;
        // The outermost walk is over: carry out the deletions it deferred.
        std::vector<RootEntity*> doomed;
        doomed.swap(m_pending);
        for (RootEntity* entity : doomed) delete entity;
    }
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;

private:
    int& m_depth;
    std::vector<RootEntity*>& m_pending;
};

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

}  // namespace

EntityManager::EntityManager()
    : m_all(std::make_unique<NamedList>()),
      m_subLists(std::make_unique<NamedList>()),
      m_aiAnimation(std::make_unique<NamedList>()),
      m_aiDrawing(std::make_unique<NamedList>()),
      m_aiFloating(std::make_unique<NamedList>()),
      m_npcs(std::make_unique<NamedList>()),
      m_objects(std::make_unique<NamedList>()) {
    m_subLists->Add(kAIAnimation, m_aiAnimation.get());
    m_subLists->Add(kAIDrawing, m_aiDrawing.get());
    m_subLists->Add(kAIFloating, m_aiFloating.get());
    m_subLists->Add(kNPC, m_npcs.get());
    m_subLists->Add(kObject, m_objects.get());
}

EntityManager::~EntityManager() {
    m_walkDepth = 0;
    Clear();
}

PlayerVorn* EntityManager::GetPlayer() const { return GetGlobalState()->player; }

RootEntity* EntityManager::GetPlayerEntity() const { return GetGlobalState()->player; }

RootEntity* EntityManager::FindIn(NamedList* list, const char* name) const {
    if (!list || !name) return nullptr;
    return static_cast<RootEntity*>(list->Find(name));
}

NamedList* EntityManager::GetSubList(const char* list) const {
    if (!list) return nullptr;
    return static_cast<NamedList*>(m_subLists->Find(list));
}

RootEntity* EntityManager::GetEntityByName(const char* name) {
    if (!name) return nullptr;
    if (std::string(name) == kPlayerName) return GetPlayerEntity();
    return FindIn(m_all.get(), name);
}

RootEntity* EntityManager::GetEntity(const char* list, const char* name) {
    if (!list || !name) return nullptr;
    if (std::string(name) == kPlayerName) return GetPlayerEntity();
    NamedList* sub = GetSubList(list);
    if (!sub) {
        std::fprintf(stderr, "EntityManager::GetEntity(L, N) Warning, could not find list %s\n", list);
        return nullptr;
    }
    return FindIn(sub, name);
}

RootEntity* EntityManager::GetNPC(const char* name) { return GetEntity(kNPC, name); }
RootEntity* EntityManager::GetObject(const char* name) { return GetEntity(kObject, name); }
RootEntity* EntityManager::GetAIAnimation(const char* name) { return GetEntity(kAIAnimation, name); }
RootEntity* EntityManager::GetAIDrawing(const char* name) { return GetEntity(kAIDrawing, name); }
RootEntity* EntityManager::GetAIFloating(const char* name) { return GetEntity(kAIFloating, name); }

RootEntity* EntityManager::GetActiveNPC() {
    if (!m_active) {
        std::fputs("EM::GetActiveNPC: Failed, rActiveEntity was NULL\n", stderr);
        return nullptr;
    }
    int32_t type = m_active->GetType();
    if (!InRange(type, kTypeNonPlayingCharacter, kTypePlayer)) {
        std::fprintf(stderr, "EM::GetActiveNPC:  Failed, type %i is not a valid NPC Type on %p\n", type,
                     static_cast<void*>(m_active));
        return nullptr;
    }
    return m_active;
}

RootEntity* EntityManager::GetActiveObject() {
    if (!m_active || !InRange(m_active->GetType(), kTypeObjectBase, 2999)) return nullptr;
    return m_active;
}

void EntityManager::RegisterPointer(const char* list, const char* name, RootEntity* entity) {
    if (!list || !name || !entity) return;
    NamedList* sub = GetSubList(list);
    if (sub)
        sub->Add(name, entity);
    else
        std::fprintf(stderr, "EntityManager::RegisterPointer:  Failed, sub list %s not found\n", list);
    m_all->Add(name, entity);
}

namespace {

// Removes the first node of that name (the list's own Remove prefers the
// tail over inner nodes among duplicates).
RootEntity* RemoveFirstNamed(NamedList* list, const char* name) {
    if (!list || !name) return nullptr;
    int index = list->IndexOfName(name);
    if (index < 0) return nullptr;
    return static_cast<RootEntity*>(list->RemoveAt(index));
}

}  // namespace

RootEntity* EntityManager::RemovePointer(const char* list, const char* name) {
    if (!list || !name) return nullptr;
    RootEntity* fromSub = RemoveFirstNamed(GetSubList(list), name);
    RootEntity* fromAll = RemoveFirstNamed(m_all.get(), name);
    if (fromSub || fromAll) ++m_removals;
    ForgetIfUnregistered(fromSub);
    ForgetIfUnregistered(fromAll);
    return fromAll;
}

void EntityManager::AddToAll(const char* name, RootEntity* entity) {
    if (!name || !entity) return;
    m_all->Add(name, entity);
}

RootEntity* EntityManager::RemoveFromAll(const char* name) {
    RootEntity* entity = RemoveFirstNamed(m_all.get(), name);
    if (entity) {
        ++m_removals;
        ForgetIfUnregistered(entity);
    }
    return entity;
}

bool EntityManager::IsRegistered(RootEntity* entity) const { return entity && m_all->ContainsValue(entity); }

void EntityManager::Forget(RootEntity* entity) {
    if (!entity) return;
    if (m_active == entity) m_active = nullptr;
    if (m_dialogueCharacter == entity) m_dialogueCharacter = nullptr;
    if (LuaManager* lua = GetGlobalState()->luaManager) lua->ForgetEntity(entity);
}

void EntityManager::ForgetIfUnregistered(RootEntity* entity) {
    if (entity && !IsRegistered(entity)) Forget(entity);
}

void EntityManager::DeleteEntity(RootEntity* entity) {
    if (!entity) return;
    bool removed = false;
    for (NamedList* list :
         {m_all.get(), m_aiAnimation.get(), m_aiDrawing.get(), m_aiFloating.get(), m_npcs.get(), m_objects.get()}) {
        while (list->RemoveValue(entity)) removed = true;
    }
    if (removed) ++m_removals;
    Forget(entity);
    // The player's avatar may be deleted by a script; the player then goes
    // back to its own record rather than keep a pointer that a new
    // character could later reuse.
    if (PlayerVorn* player = GetGlobalState()->player) player->ForgetAvatar(entity);
    if (m_walkDepth > 0) {
        if (std::find(m_pendingDeletes.begin(), m_pendingDeletes.end(), entity) == m_pendingDeletes.end())
            m_pendingDeletes.push_back(entity);
        return;
    }
    delete entity;
}

void EntityManager::SetActiveEntityByName(const char* name) {
    if (name) m_active = GetEntityByName(name);
}

void EntityManager::SetActiveEntityInList(const char* list, const char* name) {
    if (list && name) m_active = GetEntity(list, name);
}

void EntityManager::Clear() {
    m_active = nullptr;
    m_dialogueCharacter = nullptr;
    std::vector<RootEntity*> entities;
    for (NamedList::Node* node = m_all->GetHead(); node; node = node->next) {
        auto* entity = static_cast<RootEntity*>(node->value);
        if (entity && std::find(entities.begin(), entities.end(), entity) == entities.end()) entities.push_back(entity);
    }
    m_all->Clear();
    m_aiAnimation->Clear();
    m_aiDrawing->Clear();
    m_aiFloating->Clear();
    m_npcs->Clear();
    m_objects->Clear();
    ++m_removals;
    for (RootEntity* entity : entities) DeleteEntity(entity);
}

std::vector<RootEntity*> EntityManager::Snapshot(NamedList* list) {
    std::vector<RootEntity*> entities;
    entities.reserve(static_cast<size_t>(list->GetCount()));
    for (NamedList::Node* node = list->GetHead(); node; node = node->next)
        entities.push_back(static_cast<RootEntity*>(node->value));
    return entities;
}

bool EntityManager::StillRegistered(RootEntity* entity, uint64_t removalsAtStart) const {
    if (!entity) return false;
    return m_removals == removalsAtStart || IsRegistered(entity);
}

void EntityManager::UpdateAll() {
    std::vector<RootEntity*> entities = Snapshot(m_all.get());
    uint64_t removals = m_removals;
    WalkScope walk(m_walkDepth, m_pendingDeletes);
    for (RootEntity* entity : entities)
        if (StillRegistered(entity, removals)) entity->SafeUpdate();
}

void EntityManager::UpdateNPCs() {
    std::vector<RootEntity*> entities = Snapshot(m_npcs.get());
    uint64_t removals = m_removals;
    WalkScope walk(m_walkDepth, m_pendingDeletes);
    for (RootEntity* entity : entities)
        if (StillRegistered(entity, removals)) entity->SafeUpdate();
}

void EntityManager::DrawAll(BitmapWrapper* target, Camera* camera) {
    if (PlayerVorn* player = GetPlayer()) player->UpdateAnimationState();
    struct Keyed {
        int key;
        RootEntity* entity;
    };
    std::vector<RootEntity*> entities = Snapshot(m_all.get());
    uint64_t removals = m_removals;
    WalkScope walk(m_walkDepth, m_pendingDeletes);
    std::vector<Keyed> order;
    order.reserve(entities.size());
    for (RootEntity* entity : entities) {
        if (!entity) continue;
        int key = entity->GetDrawOrderKey();
        if (key != -1) order.push_back({key, entity});
    }
    // Stable: equal keys keep registration order.
    std::stable_sort(order.begin(), order.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    for (const Keyed& item : order)
        if (StillRegistered(item.entity, removals)) item.entity->SafeDraw(target, camera);
}

void EntityManager::DrawAllUnsorted(BitmapWrapper* target, Camera* camera) {
    if (PlayerVorn* player = GetPlayer()) player->UpdateAnimationState();
    std::vector<RootEntity*> entities = Snapshot(m_all.get());
    uint64_t removals = m_removals;
    WalkScope walk(m_walkDepth, m_pendingDeletes);
    for (RootEntity* entity : entities)
        if (StillRegistered(entity, removals)) entity->SafeDraw(target, camera);
}

float EntityManager::GetDistanceBetweenEntities(RootEntity* a, RootEntity* b) {
    if (!a || !b) {
        std::fprintf(stderr,
                     "EntityManager::GetDistanceBetweenEntities:  Failed, one of the entities %p/%p is invalid\n",
                     static_cast<void*>(a), static_cast<void*>(b));
        return 10000.0f;
    }
    float ax = 0, ay = 0, az = 0, bx = 0, by = 0, bz = 0;
    a->SafeGetPosition(&ax, &ay, &az);
    b->SafeGetPosition(&bx, &by, &bz);
    // Positions are whole units; the differences are taken as integers.
    int64_t dx = static_cast<int64_t>(TruncateToInt32(ax)) - TruncateToInt32(bx);
    int64_t dy = static_cast<int64_t>(TruncateToInt32(ay)) - TruncateToInt32(by);
    float fx = static_cast<float>(dx);
    float fy = static_cast<float>(dy);
    return std::sqrt(fx * fx + fy * fy);
}

float EntityManager::GetDistanceBetweenEntities(const char* nameA, const char* nameB) {
    return GetDistanceBetweenEntities(GetEntityByName(nameA), GetEntityByName(nameB));
}

float EntityManager::GetDistanceBetweenEntities(const char* listA, const char* nameA, const char* listB,
                                                const char* nameB) {
    return GetDistanceBetweenEntities(GetEntity(listA, nameA), GetEntity(listB, nameB));
}

int EntityManager::GetEntityCount() const { return m_all->GetCount(); }
