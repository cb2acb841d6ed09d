#include "world/ai/AIValueRouter.h"

#include <cstdio>

#include "core/base/RootObject.h"

AIValueRouter::AIValueRouter() { m_type = kTypeAIValueRouter; }

void AIValueRouter::SetPointers(const std::string& sourceKind, const std::string& sourceOwner,
                                const std::string& sourceProperty, const std::string& destinationKind,
                                const std::string& destinationOwner, const std::string& destinationProperty) {
    if (!m_source.Bind(sourceKind, sourceOwner, sourceProperty))
        std::fputs("AIVR:  Warning, Source pointer is NULL\n", stderr);
    if (!m_destination.Bind(destinationKind, destinationOwner, destinationProperty))
        std::fputs("AIVR:  Warning, Destination pointer is NULL\n", stderr);
    SetSynched(1);
}

void AIValueRouter::RunAI() {
    if (m_source.GetValueType() != PropertyRouter::kInt || m_destination.GetValueType() != PropertyRouter::kInt) return;
    *static_cast<int32_t*>(m_destination.Get()) = *static_cast<const int32_t*>(m_source.Get());
}
