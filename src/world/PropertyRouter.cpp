#include "world/PropertyRouter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <utility>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/RootEntity.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "world/AIDrawingList.h"
#include "world/AIManager.h"
#include "world/BackgroundManager.h"
#include "world/ChatManager.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/ObjectBase.h"
#include "world/PlayerVorn.h"

namespace {

// The router whose Route is running; owners' lookups report their value
// type to it. Outside a Route they report to the global one.
PropertyRouter* g_routing = nullptr;

class RoutingScope {
public:
    explicit RoutingScope(PropertyRouter* router) : m_saved(g_routing) { g_routing = router; }
    ~RoutingScope() { g_routing = m_saved; }
    RoutingScope(const RoutingScope&) = delete;
    RoutingScope& operator=(const RoutingScope&) = delete;

private:
    PropertyRouter* m_saved;
};

float ToFloat(double value) {
    // Out-of-range finite values saturate to infinity as the hardware would,
    // without the undefined conversion.
    if (value > FLT_MAX) return INFINITY;
    if (value < -FLT_MAX) return -INFINITY;
    return static_cast<float>(value);
}

}  // namespace

// ---------------------------------------------------------------------------
// SyncPointer

PropertyRouter::SyncPointer::~SyncPointer() { Clear(); }

void PropertyRouter::SyncPointer::Clear() {
    if (m_router) m_router->Detach(this);
    m_router = nullptr;
    m_address = nullptr;
    m_type = kNone;
    m_owner = nullptr;
    m_life.reset();
    m_hasLife = false;
}

bool PropertyRouter::SyncPointer::Bind(const std::string& kind, const std::string& owner,
                                       const std::string& property) {
    Clear();
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return false;
    void* address = router->Route(kind, owner, property);
    if (!address) return false;
    m_address = address;
    m_type = router->GetValueType();
    m_owner = router->m_lastOwner;
    m_life = router->m_lastLife;
    m_hasLife = router->m_lastHasLife;
    router->Attach(this);
    return true;
}

// ---------------------------------------------------------------------------
// PropertyRouter

PropertyRouter::PropertyRouter() {
    LuaManager* lua = GetGlobalState()->luaManager;
    if (lua && lua->GetLuaState()) RegisterLuaFunctions(lua->GetLuaState());
}

PropertyRouter::~PropertyRouter() {
    // Kept addresses cannot be checked against owners any more: drop them.
    std::vector<SyncPointer*> links = std::move(m_links);
    for (SyncPointer* link : links) {
        link->m_router = nullptr;
        link->Clear();
    }
    if (g_routing == this) g_routing = nullptr;
}

void PropertyRouter::Report(int32_t code) {
    PropertyRouter* router = g_routing ? g_routing : GetGlobalState()->propertyRouter;
    if (router) router->SetValueType(code);
}

void* PropertyRouter::Route(const std::string& kind, const std::string& owner, const std::string& property) {
    RoutingScope scope(this);
    m_valueType = kNone;
    m_lastOwner = nullptr;
    m_lastLife.reset();
    m_lastHasLife = false;
    void* address = nullptr;
    const void* source = nullptr;
    std::weak_ptr<void> life;
    bool hasLife = false;

    if (kind == "Player") {
        if (PlayerVorn* player = GetGlobalState()->player) address = player->GetPropertyAddress(property, &source);
    } else if (kind == "GUI") {
        GUIManager* gui = GetGlobalState()->guiManager;
        if (GUIBaseObject* object = gui ? gui->FindObject(owner) : nullptr) {
            address = object->RouteProperty(property);
            source = object;
            life = object->GetLifeToken();
            hasLife = true;
        }
    } else if (kind == "AIManager") {
        // AI objects are found by name; the address is the object itself.
        if (AIManager* ai = GetGlobalState()->aiManager) {
            address = ai->GetPropertyAddress(owner, property);
            source = address;
        }
    } else if (kind == "ActiveAIDrawingList") {
        AIManager* ai = GetGlobalState()->aiManager;
        AIDrawingList* list = ai ? ai->GetActiveDrawingList() : nullptr;
        if (!list) {
            std::fputs("Routing Function:  Failed, no Active Drawing List set\n", stderr);
        } else {
            address = list->GetPropertyAddress(property);
            source = list;
        }
    } else if (kind == "NPC") {
        EntityManager* entities = GetGlobalState()->entityManager;
        RootEntity* character = entities ? entities->GetActiveNPC() : nullptr;
        if (!character) std::fputs("Routing Function:  Failed, no Active NPC set\n", stderr);
        if (auto* npc = dynamic_cast<NonPlayingCharacter*>(character)) {
            address = npc->GetPropertyAddress(property);
            source = npc;
        }
    } else if (kind == "Object") {
        EntityManager* entities = GetGlobalState()->entityManager;
        RootEntity* object = entities ? entities->GetActiveObject() : nullptr;
        if (!object) std::fputs("Routing Function:  Failed, no Active Object set\n", stderr);
        if (auto* worldObject = dynamic_cast<ObjectBase*>(object)) {
            address = worldObject->GetPropertyAddress(property);
            source = worldObject;
        }
    } else if (kind == "ChatLog") {
        if (ChatManager* chat = GetGlobalState()->chatManager) {
            address = chat->RoutePointer(owner, property);
            source = chat;
        }
    } else if (kind == "BackgroundManager") {
        if (BackgroundManager* backgrounds = GetGlobalState()->backgroundManager) {
            address = backgrounds->RoutePointer(owner, property);
            source = backgrounds;
        }
    }

    if (!address) {
        m_valueType = kNone;
        return nullptr;
    }
    m_lastOwner = source;
    m_lastLife = life;
    m_lastHasLife = hasLife;
    return address;
}

void PropertyRouter::SetPropertyPointerInt(int32_t value, const std::string& kind, const std::string& owner,
                                           const std::string& property) {
    void* address = Route(kind, owner, property);
    if (!address) {
        std::fputs("Set Property Pointer (int):  Warning, pointer was NULL\n", stderr);
        return;
    }
    if (m_valueType != kInt) {
        std::fputs("Set Property Pointer (int):  Warning, pointer was not an Integer\n", stderr);
        return;
    }
    *static_cast<int32_t*>(address) = value;
}

void PropertyRouter::ForgetOwner(const void* owner) {
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router || !owner) return;
    // Clearing detaches, so walk a snapshot.
    std::vector<SyncPointer*> links = router->m_links;
    for (SyncPointer* link : links)
        if (link->m_owner == owner) link->Clear();
    if (router->m_lastOwner == owner) {
        router->m_lastOwner = nullptr;
        router->m_lastLife.reset();
        router->m_lastHasLife = false;
    }
}

void PropertyRouter::ForgetAddresses(const void* begin, size_t bytes) {
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router || !begin || bytes == 0) return;
    const auto first = reinterpret_cast<uintptr_t>(begin);
    std::vector<SyncPointer*> links = router->m_links;
    for (SyncPointer* link : links) {
        const auto address = reinterpret_cast<uintptr_t>(link->m_address);
        if (address >= first && address - first < bytes) link->Clear();
    }
}

bool PropertyRouter::ReadNumber(const void* address, int32_t type, double& out) {
    if (!address) return false;
    switch (type) {
        case kByte:
            out = *static_cast<const uint8_t*>(address) != 0 ? 1.0 : 0.0;
            return true;
        case kInt:
        case kId:
            out = *static_cast<const int32_t*>(address);
            return true;
        case kFloat:
            out = *static_cast<const float*>(address);
            return true;
        case kDouble:
            out = *static_cast<const double*>(address);
            return true;
        default:
            return false;
    }
}

bool PropertyRouter::WriteNumber(void* address, int32_t type, double value) {
    if (!address) return false;
    switch (type) {
        case kByte:
            *static_cast<uint8_t*>(address) = value == 0.0 ? 0 : 1;
            return true;
        case kInt:
        case kId:
            *static_cast<int32_t*>(address) = TruncateToInt32(value);
            return true;
        case kFloat:
            *static_cast<float*>(address) = ToFloat(value);
            return true;
        case kDouble:
            *static_cast<double*>(address) = value;
            return true;
        default:
            return false;
    }
}

void PropertyRouter::Attach(SyncPointer* link) {
    link->m_router = this;
    m_links.push_back(link);
}

void PropertyRouter::Detach(SyncPointer* link) {
    auto it = std::find(m_links.begin(), m_links.end(), link);
    if (it != m_links.end()) m_links.erase(it);
}
