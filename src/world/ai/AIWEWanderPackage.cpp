#include "world/ai/AIWEWanderPackage.h"

#include <cmath>

#include "core/base/Int32Range.h"
#include "core/base/Random.h"
#include "world/Dimensions.h"
#include "world/PhysicsMovement.h"
#include "world/ai/AIBasePathPackage.h"

namespace {

constexpr int32_t kProbeHalfWidth = 3;

// A draw from the engine's source reduced into 0 .. n-1, whatever its sign.
int32_t RandomBelow(int32_t n) {
    const int64_t r = RandomNext();
    return static_cast<int32_t>(((r % n) + n) % n);
}

}  // namespace

AIWEWanderPackage::AIWEWanderPackage() { m_type = kTypeAIWorldEnemyPackage; }

bool AIWEWanderPackage::SyncPointers(const std::string& ownerKind, const std::string& owner) {
    m_pointers.Gather(ownerKind, owner);
    const bool speed = m_speed.Bind(ownerKind, owner, "WalkSpeed");
    SetSynched(1);
    return speed && m_pointers.dimensions.GetValueType() == PropertyRouter::kDimensions;
}

void AIWEWanderPackage::PickTarget(const Dimensions& record) {
    const int32_t radius = RandomBelow(100) + 100;
    const float angle = static_cast<float>(RandomBelow(6283) - 3141) / 1000.0f;
    m_targetX = TruncateToInt32(std::cos(angle) * radius + record.X);
    m_targetY = TruncateToInt32(std::sin(angle) * radius + record.Y);
    m_hasTarget = true;
    m_stuck = 0;
}

void AIWEWanderPackage::RunAI() {
    if (!IsSynched()) return;
    if (m_pointers.dimensions.GetValueType() != PropertyRouter::kDimensions) return;
    auto* record = static_cast<Dimensions*>(m_pointers.dimensions.Get());
    double walkSpeed = 0.0;
    if (!m_speed.Read(walkSpeed)) return;

    if (!m_hasTarget) PickTarget(*record);
    const double heading = std::atan2(m_targetY - record->Y, m_targetX - record->X);
    const double speed = walkSpeed / 3.0;
    SetMoveState(&m_pointers, "Running");

    const double vx = std::cos(heading) * speed;
    const double vy = std::sin(heading) * speed;
    record->carryZ = 0.0;
    MoveWithCollisionMode(kProbeHalfWidth, vx, vy, 0.0, record);
    record->UpdateBox();

    AIWriteInt(m_pointers.animDirection, 0);
    AIAddToInt(m_pointers.animTimer, 1);
    AIWriteInt(m_pointers.animFlip, vx > 0 ? 1 : 0);

    const float toTargetX = static_cast<float>(m_targetX - record->X);
    const float toTargetY = static_cast<float>(m_targetY - record->Y);
    if (walkSpeed >= std::sqrt(toTargetX * toTargetX + toTargetY * toTargetY)) m_hasTarget = false;

    const double movedX = record->X - m_previousX;
    const double movedY = record->Y - m_previousY;
    if (std::sqrt(movedX * movedX + movedY * movedY) <= 0.5) {
        if (++m_stuck > kStuckLimit) m_hasTarget = false;
    } else {
        m_stuck = 0;
    }
    m_previousX = record->X;
    m_previousY = record->Y;
}
