#include "world/ai/AIBasePathPackage.h"

#include <cmath>
#include <cstdlib>

#include "core/base/Int32Range.h"
#include "core/base/RootObject.h"
#include "world/Dimensions.h"
#include "world/PhysicsMovement.h"

namespace {

constexpr int32_t kTolerance = 5;
constexpr double kArrivalDistance = 10.0;

// Limits one velocity component to what is left on its axis, heading for the
// target, once its whole part exceeds that remainder.
double CutToRemaining(double velocity, double remaining, double position, double target) {
    if (std::fabs(static_cast<double>(TruncateToInt32(velocity))) <= remaining) return velocity;
    return target < position ? -remaining : remaining;
}

}  // namespace

void AIWriteInt(const PropertyRouter::SyncPointer& field, int32_t value) {
    if (field.GetValueType() == PropertyRouter::kInt) *static_cast<int32_t*>(field.Get()) = value;
}

void AIAddToInt(const PropertyRouter::SyncPointer& field, int32_t amount) {
    if (field.GetValueType() != PropertyRouter::kInt) return;
    auto* value = static_cast<int32_t*>(field.Get());
    *value = static_cast<int32_t>(static_cast<uint32_t>(*value) + static_cast<uint32_t>(amount));
}

void AIDirectionVelocity(int32_t direction, double speed, double* vx, double* vy) {
    double x = 0.0, y = 0.0;
    const double d = speed * 0.707107;
    switch (direction) {
        case 0: y = -speed; break;
        case 4: y = speed; break;
        case 6: x = -speed; break;
        case 2: x = speed; break;
        case 7:
            x = -d;
            y = -d;
            break;
        case 1:
            x = d;
            y = -d;
            break;
        case 5:
            x = -d;
            y = d;
            break;
        case 3:
            x = d;
            y = d;
            break;
        default: break;
    }
    if (vx) *vx = x;
    if (vy) *vy = y;
}

AIBasePathPackage::AIBasePathPackage() { m_type = kTypeAIBasePathPackage; }

bool AIBasePathPackage::SyncPointers(const std::string& ownerKind, const std::string& owner,
                                     const std::string& speedProperty) {
    m_pointers.Gather(ownerKind, owner);
    const bool speed = m_speed.Bind(ownerKind, owner, speedProperty);
    m_pathSynched = 1;
    return speed && m_pointers.dimensions.GetValueType() == PropertyRouter::kDimensions;
}

int32_t AIBasePathPackage::DirectionToward(int32_t x, int32_t y, int32_t tx, int32_t ty) {
    // Widened so targets near the ends of the range compare correctly.
    const int64_t X = x, Y = y, TX = tx, TY = ty;
    if (X > TX + kTolerance) {
        if (Y < TY - kTolerance) return 5;
        if (Y > TY + kTolerance) return 7;
        return 6;
    }
    if (X >= TX - kTolerance) return Y >= TY + kTolerance ? 0 : 4;
    if (Y < TY - kTolerance) return 3;
    if (Y > TY + kTolerance) return 1;
    return 2;
}

void AIBasePathPackage::RunAI() {
    if (!m_pathSynched || m_targetX == -1 || m_targetY == -1) return;
    if (m_pointers.dimensions.GetValueType() != PropertyRouter::kDimensions) return;
    auto* record = static_cast<Dimensions*>(m_pointers.dimensions.Get());

    const int32_t direction =
        DirectionToward(TruncateToInt32(record->X), TruncateToInt32(record->Y), m_targetX, m_targetY);
    m_remainingX = std::fabs(static_cast<double>(TruncateToInt32(record->X - m_targetX)));
    m_remainingY = std::fabs(static_cast<double>(TruncateToInt32(record->Y - m_targetY)));
    const float distance = std::sqrt(static_cast<float>(m_remainingX * m_remainingX + m_remainingY * m_remainingY));

    if (distance > kArrivalDistance) {
        double speed = 0.0;
        // A speed that can no longer be read (its owner went) stops the walk.
        if (!m_speed.Read(speed)) return;
        double vx = 0.0, vy = 0.0;
        AIDirectionVelocity(direction, speed, &vx, &vy);
        vx = CutToRemaining(vx, m_remainingX, record->X, m_targetX);
        vy = CutToRemaining(vy, m_remainingY, record->Y, m_targetY);
        record->X += vx;
        record->Y += vy;
        record->UpdateBox();
        SetMoveState(&m_pointers, "Walking");
        AIAddToInt(m_pointers.animTimer, 1);
        AIWriteInt(m_pointers.animDirection, direction);
    } else {
        SetFinished(1);
        SetMoveState(&m_pointers, "Standing");
        AIWriteInt(m_pointers.animDirection, 4);
    }
}
