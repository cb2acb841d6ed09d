#include "core/script/PropertyRouter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptArgs.h"

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

// The resolver of each owner kind, shared by every router.
std::map<std::string, PropertyRouter::Resolver>& Resolvers() {
    static std::map<std::string, PropertyRouter::Resolver> resolvers;
    return resolvers;
}

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

bool PropertyRouter::SyncPointer::Bind(const std::string& kind, const std::string& owner, const std::string& property) {
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

void PropertyRouter::SetResolver(const std::string& kind, Resolver resolver) { Resolvers()[kind] = resolver; }

std::vector<std::string> PropertyRouter::ResolverKinds() {
    std::vector<std::string> kinds;
    for (const auto& [kind, resolver] : Resolvers())
        if (resolver) kinds.push_back(kind);
    return kinds;
}

bool PropertyRouter::HasResolver(const std::string& kind) {
    auto found = Resolvers().find(kind);
    return found != Resolvers().end() && found->second;
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
    Target target;
    const auto& resolvers = Resolvers();
    if (auto found = resolvers.find(kind); found != resolvers.end() && found->second)
        target = found->second(owner, property);

    if (!target.address) {
        m_valueType = kNone;
        return nullptr;
    }
    m_lastOwner = target.source;
    m_lastLife = target.life;
    m_lastHasLife = target.hasLife;
    return target.address;
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
        case kByte: out = *static_cast<const uint8_t*>(address) != 0 ? 1.0 : 0.0; return true;
        case kInt:
        case kId: out = *static_cast<const int32_t*>(address); return true;
        case kFloat: out = *static_cast<const float*>(address); return true;
        case kDouble: out = *static_cast<const double*>(address); return true;
        default: return false;
    }
}

bool PropertyRouter::WriteNumber(void* address, int32_t type, double value) {
    if (!address) return false;
    switch (type) {
        case kByte: *static_cast<uint8_t*>(address) = value == 0.0 ? 0 : 1; return true;
        case kInt:
        case kId: *static_cast<int32_t*>(address) = TruncateToInt32(value); return true;
        case kFloat: *static_cast<float*>(address) = ToFloat(value); return true;
        case kDouble: *static_cast<double*>(address) = value; return true;
        default: return false;
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
