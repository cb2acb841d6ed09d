#include "world/ai/AIValueScaleRouter.h"

#include <cfloat>
#include <cmath>

#include "core/base/Int32Range.h"
#include "core/base/RootObject.h"
#include "core/script/ScriptArgs.h"

AIValueScaleRouter::AIValueScaleRouter() { m_type = kTypeAIValueScaleRouter; }

void AIValueScaleRouter::SetPointers(const std::string& sourceKind, const std::string& sourceOwner,
                                     const std::string& sourceProperty, const std::string& destinationKind,
                                     const std::string& destinationOwner, const std::string& destinationProperty) {
    m_source.Bind(sourceKind, sourceOwner, sourceProperty);
    m_destination.Bind(destinationKind, destinationOwner, destinationProperty);
    SetSynched(1);
}

void AIValueScaleRouter::SetScaler(double scale) {
    // A double outside the float range would not convert: saturate it.
    if (scale > FLT_MAX)
        m_scale = INFINITY;
    else if (scale < -FLT_MAX)
        m_scale = -INFINITY;
    else
        m_scale = static_cast<float>(scale);
}

void AIValueScaleRouter::RunAI() {
    if (m_source.GetValueType() != PropertyRouter::kInt || m_destination.GetValueType() != PropertyRouter::kInt) return;
    const double product = static_cast<double>(*static_cast<const int32_t*>(m_source.Get())) * m_scale;
    // Clamped into the int32 range; NaN (0 x infinity) gives 0.
    *static_cast<int32_t*>(m_destination.Get()) = TruncateToInt32(product);
}
