#include "world/ai/AIFollowingPackage.h"

#include <cmath>
#include <cstdio>

#include "core/base/Int32Range.h"
#include "core/base/RootObject.h"
#include "world/Dimensions.h"
#include "world/PhysicsMovement.h"
#include "world/ai/AIBasePathPackage.h"

namespace {

constexpr int32_t kTolerance = 10;
constexpr double kKeepDistance = 50.0;

// Limits one velocity component to what is left on its axis, heading for the
// target, once its whole part reaches that remainder.
double CutToRemaining(double velocity, double remaining, double position, double target) {
    if (std::fabs(static_cast<double>(TruncateToInt32(velocity))) < remaining) return velocity;
    return target < position ? -remaining : remaining;
}

bool ReadTarget(const PropertyRouter::SyncPointer& pointer, int32_t* out) {
    double value = 0.0;
    if (!pointer.Read(value)) return false;
    *out = TruncateToInt32(value);
    return true;
}

}  // namespace

AIFollowingPackage::AIFollowingPackage() { m_type = kTypeAIFollowingPackage; }

bool AIFollowingPackage::SyncPointers(const std::string& ownerKind, const std::string& owner) {
    m_pointers.Gather(ownerKind, owner);
    m_walkSpeed.Bind(ownerKind, owner, "WalkSpeed");
    m_trotSpeed.Bind(ownerKind, owner, "TrotSpeed");
    m_runSpeed.Bind(ownerKind, owner, "RunSpeed");
    SetSynched(1);
    return m_pointers.dimensions.GetValueType() == PropertyRouter::kDimensions;
}

bool AIFollowingPackage::SetTargetPointers(const std::string& xKind, const std::string& xOwner,
                                           const std::string& xProperty, const std::string& yKind,
                                           const std::string& yOwner, const std::string& yProperty) {
    PropertyRouter::SyncPointer x, y;
    int32_t tx = 0, ty = 0;
    if (!x.Bind(xKind, xOwner, xProperty) || !y.Bind(yKind, yOwner, yProperty) || !ReadTarget(x, &tx) ||
        !ReadTarget(y, &ty))
        return false;
    m_targetXPointer.Bind(xKind, xOwner, xProperty);
    m_targetYPointer.Bind(yKind, yOwner, yProperty);
    m_previousTargetX = tx;
    m_previousTargetY = ty;
    return true;
}

int32_t AIFollowingPackage::GetTargetX() const {
    int32_t value = -1;
    ReadTarget(m_targetXPointer, &value);
    return value;
}

int32_t AIFollowingPackage::GetTargetY() const {
    int32_t value = -1;
    ReadTarget(m_targetYPointer, &value);
    return value;
}

int32_t AIFollowingPackage::DirectionToward(int32_t x, double y, int32_t tx, int32_t ty) {
    const int64_t X = x, TX = tx;
    const double low = static_cast<double>(ty) - kTolerance, high = static_cast<double>(ty) + kTolerance;
    if (X > TX + kTolerance) {
        if (y <= low) return 5;
        if (y >= high) return 7;
        return 6;
    }
    if (X >= TX - kTolerance) return y > high ? 0 : 4;
    if (y <= low) return 3;
    if (y >= high) return 1;
    return 2;
}

void AIFollowingPackage::RunAI() {
    // Without its position record (its owner's fields were let go) the
    // package is as good as unsynched.
    if (!IsSynched() || m_pointers.dimensions.GetValueType() != PropertyRouter::kDimensions) {
        std::fputs("NPC blocked update, not synched\n", stderr);
        return;
    }
    if (!ReadTarget(m_targetXPointer, &m_targetX) || !ReadTarget(m_targetYPointer, &m_targetY)) {
        std::fputs("NPC blocked update, no target\n", stderr);
        return;
    }
    auto* record = static_cast<Dimensions*>(m_pointers.dimensions.Get());

    // How far the target moved in this step, kept over the last 25 steps.
    const double movedX = static_cast<double>(m_targetX) - m_previousTargetX;
    const double movedY = static_cast<double>(m_targetY) - m_previousTargetY;
    m_ring[m_ringIndex] = static_cast<float>(std::sqrt(movedX * movedX + movedY * movedY));
    m_ringIndex = (m_ringIndex + 1) % kRingSize;
    m_previousTargetX = m_targetX;
    m_previousTargetY = m_targetY;

    const int32_t direction = DirectionToward(TruncateToInt32(record->X), record->Y, m_targetX, m_targetY);
    m_remainingX = std::fabs(static_cast<double>(TruncateToInt32(record->X - m_targetX)));
    m_remainingY = std::fabs(static_cast<double>(TruncateToInt32(record->Y - m_targetY)));
    const double distance = std::sqrt(m_remainingX * m_remainingX + m_remainingY * m_remainingY);

    if (distance <= kKeepDistance) {
        SetMoveState(&m_pointers, "Standing");
        m_speed = 0.0;
        return;
    }

    double sum = 0.0;
    for (double entry : m_ring) sum += entry;
    const double mean = sum / kRingSize;
    if (mean >= m_speed + m_speedStep)
        m_speed += m_speedStep;
    else if (mean - m_speedStep <= m_speed && m_speed <= mean + m_speedStep)
        m_speed = mean;
    else
        m_speed -= m_speedStep;

    // A speed that cannot be read matches no pace.
    auto atMost = [this](const PropertyRouter::SyncPointer& limit) {
        double value = 0.0;
        return limit.Read(value) && m_speed <= value;
    };
    if (m_speed == 0.0)
        SetMoveState(&m_pointers, "Standing");
    else if (atMost(m_walkSpeed))
        SetMoveState(&m_pointers, "Walking");
    else if (atMost(m_trotSpeed))
        SetMoveState(&m_pointers, "Trotting");
    else if (atMost(m_runSpeed))
        SetMoveState(&m_pointers, "Running");

    double vx = 0.0, vy = 0.0;
    AIDirectionVelocity(direction, m_speed, &vx, &vy);
    vx = CutToRemaining(vx, m_remainingX, record->X, m_targetX);
    vy = CutToRemaining(vy, m_remainingY, record->Y, m_targetY);
    record->X += vx;
    record->Y += vy;
    record->UpdateBox();
    AIAddToInt(m_pointers.animTimer, 1);
    AIWriteInt(m_pointers.animDirection, direction);
}
