#include "world/ai/AIWEChasePackage.h"

#include <cmath>
#include <cstdio>

#include "core/base/Int32Range.h"
#include "world/Dimensions.h"
#include "world/PhysicsMovement.h"
#include "world/ai/AIBasePathPackage.h"

namespace {

// Half-width of the square the mover probes in front of the enemy.
constexpr int32_t kProbeHalfWidth = 3;

}  // namespace

AIWEChasePackage::AIWEChasePackage() { m_type = kTypeAIWorldEnemyPackage; }

bool AIWEChasePackage::SyncPointers(const std::string& ownerKind, const std::string& owner) {
    m_pointers.Gather(ownerKind, owner);
    const bool speed = m_speed.Bind(ownerKind, owner, "TrotSpeed");
    SetSynched(1);
    return speed && m_pointers.dimensions.GetValueType() == PropertyRouter::kDimensions;
}

bool AIWEChasePackage::SetTargetPointers(const std::string& ownerKind, const std::string& owner,
                                         const std::string& xProperty, const std::string& yProperty) {
    const bool x = m_targetXPointer.Bind(ownerKind, owner, xProperty);
    const bool y = m_targetYPointer.Bind(ownerKind, owner, yProperty);
    return x && y;
}

void AIWEChasePackage::RunAI() {
    if (!IsSynched()) {
        std::fputs("AI blocked update, not synched\n", stderr);
        return;
    }
    double tx = 0.0, ty = 0.0;
    if (!m_targetXPointer.Read(tx) || !m_targetYPointer.Read(ty)) {
        std::fputs("AI blocked update, no target\n", stderr);
        return;
    }
    if (m_pointers.dimensions.GetValueType() != PropertyRouter::kDimensions) return;
    auto* record = static_cast<Dimensions*>(m_pointers.dimensions.Get());

    m_targetX = TruncateToInt32(tx);
    m_targetY = TruncateToInt32(ty);
    const double heading = std::atan2(m_targetY - record->Y, m_targetX - record->X);
    // A speed whose owner went leaves the last one.
    m_speed.Read(m_currentSpeed);
    SetMoveState(&m_pointers, "Running");

    MoveWithCollisionMode(kProbeHalfWidth, std::cos(heading) * m_currentSpeed, std::sin(heading) * m_currentSpeed, 0.0,
                          record);
    record->UpdateBox();
    AIAddToInt(m_pointers.animTimer, 1);
    AIWriteInt(m_pointers.animDirection, 0);
}
