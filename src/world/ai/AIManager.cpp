#include "world/ai/AIManager.h"

#include <cstdio>
#include <utility>

#include "core/base/GlobalState.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "world/Animation.h"
#include "world/AnimationState.h"
#include "world/ai/AIBasePackage.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIDrawingPackage.h"

AIManager::AIManager() {
    m_type = kTypeAIManager;
    LuaManager* lua = GetGlobalState()->luaManager;
    if (lua && lua->GetLuaState()) RegisterAIManagerLuaFunctions(lua->GetLuaState());
}

AIManager::~AIManager() {
    m_activeAI = nullptr;
    m_activeDrawingList = nullptr;
    m_activeDrawingPackage = nullptr;
    m_activeAnimation = nullptr;
    m_activeState = nullptr;
    m_stateList = nullptr;
    m_walkDepth = 0;
    for (List* list : {&m_animations, &m_drawingPackages, &m_floating, &m_retired, &m_pending}) {
        List entries = std::move(*list);
        list->clear();
        for (const Entry& entry : entries) DeleteNow(entry.kind, entry.object);
    }
}

bool AIManager::IsListName(const std::string& list) {
    return list == kFloatingList || list == kAnimationsList || list == kDrawingPackageList;
}

AIManager::List* AIManager::ListByName(const std::string& list) {
    if (list == kFloatingList) return &m_floating;
    if (list == kAnimationsList) return &m_animations;
    if (list == kDrawingPackageList) return &m_drawingPackages;
    return nullptr;
}

const AIManager::List* AIManager::ListByName(const std::string& list) const {
    return const_cast<AIManager*>(this)->ListByName(list);
}

const AIManager::Entry* AIManager::FindEntry(const List& list, const std::string& name) {
    for (const Entry& entry : list)
        if (entry.name == name) return &entry;
    return nullptr;
}

Animation* AIManager::GetAnimation(const std::string& name) const {
    const Entry* entry = FindEntry(m_animations, name);
    return entry && entry->kind == Kind::Animation ? static_cast<Animation*>(entry->object) : nullptr;
}

AIDrawingPackage* AIManager::GetDrawingPackage(const std::string& name) const {
    const Entry* entry = FindEntry(m_drawingPackages, name);
    return entry && entry->kind == Kind::DrawingPackage ? static_cast<AIDrawingPackage*>(entry->object) : nullptr;
}

AIBasePackage* AIManager::GetFloatingPackage(const std::string& name) const {
    const Entry* entry = FindEntry(m_floating, name);
    return entry && entry->kind == Kind::Package ? static_cast<AIBasePackage*>(entry->object) : nullptr;
}

bool AIManager::Add(const std::string& list, const std::string& name, Kind kind, void* object) {
    List* target = ListByName(list);
    if (!target || !object || Owns(object)) return false;
    target->push_back({name, kind, object});
    return true;
}

bool AIManager::AddAnimation(const std::string& name, Animation* animation, const std::string& list) {
    return Add(list, name, Kind::Animation, animation);
}

bool AIManager::AddDrawingPackage(const std::string& name, AIDrawingPackage* package, const std::string& list) {
    return Add(list, name, Kind::DrawingPackage, package);
}

bool AIManager::AddFloatingPackage(const std::string& name, AIBasePackage* package, const std::string& list) {
    return Add(list, name, Kind::Package, package);
}

int AIManager::GetCount(const std::string& list) const {
    const List* found = ListByName(list);
    return found ? static_cast<int>(found->size()) : 0;
}

void AIManager::DeleteObject(const std::string& list, const std::string& name) {
    List* target = ListByName(list);
    if (!target) return;
    for (auto it = target->begin(); it != target->end(); ++it) {
        if (it->name != name) continue;
        Entry entry = *it;
        target->erase(it);
        if (entry.kind == Kind::Package)
            Destroy(entry.kind, entry.object);
        else
            m_retired.push_back(entry);
        return;
    }
}

void AIManager::UpdateFloatingAI() {
    // A package's step may run a script that creates, removes or clears
    // floating packages: walk a snapshot and skip what has left the list.
    std::vector<AIBasePackage*> snapshot;
    for (const Entry& entry : m_floating)
        if (entry.kind == Kind::Package) snapshot.push_back(static_cast<AIBasePackage*>(entry.object));
    ++m_walkDepth;
    for (AIBasePackage* package : snapshot)
        if (HoldsFloatingPackage(package)) package->RunAI();
    if (--m_walkDepth == 0) {
        List pending = std::move(m_pending);
        m_pending.clear();
        for (const Entry& entry : pending) DeleteNow(entry.kind, entry.object);
    }
}

void AIManager::ClearFloatingAI() {
    List entries = std::move(m_floating);
    m_floating.clear();
    for (const Entry& entry : entries) Destroy(entry.kind, entry.object);
}

void AIManager::Destroy(Kind kind, void* object) {
    ForgetObject(object);
    if (m_walkDepth > 0)
        m_pending.push_back({std::string(), kind, object});
    else
        DeleteNow(kind, object);
}

void AIManager::DeleteNow(Kind kind, void* object) {
    switch (kind) {
        case Kind::Package: delete static_cast<AIBasePackage*>(object); break;
        case Kind::Animation: delete static_cast<Animation*>(object); break;
        case Kind::DrawingPackage: delete static_cast<AIDrawingPackage*>(object); break;
    }
}

void* AIManager::GetPropertyAddress(const std::string& owner, const std::string& name) {
    PropertyRouter::Report(PropertyRouter::kNone);
    if (owner == "Base") {
        const Entry* entry = FindEntry(m_floating, name);
        if (!entry) entry = FindEntry(m_animations, name);
        if (!entry) entry = FindEntry(m_drawingPackages, name);
        if (entry) {
            // Each object reports its own kind, whichever list holds it.
            switch (entry->kind) {
                case Kind::Package: PropertyRouter::Report(kTypeAIBasePackage); break;
                case Kind::Animation: PropertyRouter::Report(kTypeAnimation); break;
                case Kind::DrawingPackage: PropertyRouter::Report(kTypeAIDrawingPackage); break;
            }
            return entry->object;
        }
        std::fprintf(stderr, "AIManager GetPropertyAddress:  Failed, no property %s in Base\n", name.c_str());
        return nullptr;
    }
    if (const Entry* entry = FindEntry(m_floating, owner)) {
        if (entry->kind != Kind::Package) return nullptr;
        return static_cast<AIBasePackage*>(entry->object)->GetPropertyAddress(name);
    }
    if (FindEntry(m_drawingPackages, owner)) return nullptr;
    std::fprintf(stderr, "AIManager GetPropertyAddress:  Failed, no object %s in Manager's Lists\n", owner.c_str());
    return nullptr;
}

bool AIManager::Holds(const void* address, Kind kind, bool floatingOnly) const {
    if (!address) return false;
    for (const List* list : {&m_floating, &m_animations, &m_drawingPackages}) {
        if (floatingOnly && list != &m_floating) continue;
        for (const Entry& entry : *list)
            if (entry.object == address && entry.kind == kind) return true;
    }
    return false;
}

bool AIManager::Owns(const void* object) const {
    for (const List* list : {&m_floating, &m_animations, &m_drawingPackages, &m_retired, &m_pending})
        for (const Entry& entry : *list)
            if (entry.object == object) return true;
    return false;
}

bool AIManager::HoldsAnimation(const void* address) const { return Holds(address, Kind::Animation, false); }

bool AIManager::HoldsDrawingPackage(const void* address) const { return Holds(address, Kind::DrawingPackage, false); }

bool AIManager::HoldsFloatingPackage(const void* address) const { return Holds(address, Kind::Package, true); }

void AIManager::ForgetObject(const void* object) {
    if (!object) return;
    if (m_activeAI == object) m_activeAI = nullptr;
    if (m_activeDrawingList == object) m_activeDrawingList = nullptr;
    if (m_activeDrawingPackage == object) m_activeDrawingPackage = nullptr;
    if (m_activeAnimation == object) m_activeAnimation = nullptr;
}

AnimationStateList* AIManager::SearchForAnimationStateList(const std::string& name) {
    if (!m_activeDrawingList) {
        std::fputs("AIM SearchForAnimationStateList:  Failed, no Active Drawing List was set\n", stderr);
        return nullptr;
    }
    if (name == "Base") {
        m_activeState = nullptr;
        return &m_activeDrawingList->GetStateTrees();
    }
    AnimationState* state = m_stateList ? m_stateList->Find(name) : nullptr;
    if (!state) return nullptr;
    m_activeState = state;
    return &state->GetChildren();
}

void AIManager::ForgetDrawingList(AIDrawingList* list) {
    if (!list) return;
    if (m_activeDrawingList == list) m_activeDrawingList = nullptr;
    AnimationStateList& trees = list->GetStateTrees();
    if (m_stateList && trees.Contains(m_stateList)) m_stateList = nullptr;
    if (m_activeState && trees.Contains(m_activeState)) m_activeState = nullptr;
}
