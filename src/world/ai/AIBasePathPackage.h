#pragma once
// Walks a character straight toward a target point at the speed read from
// one of its properties, then finishes. The move goes in eight directions
// with a small tolerance and ignores collisions; the last step is cut so the
// character does not pass the target on either axis.
#include <cstdint>
#include <string>

#include "world/ai/AIBasePackage.h"

// The velocity for a direction (0 up, clockwise to 7 up-left; up is
// decreasing y) at a speed; diagonals move 0.707107 of it on each axis. Any
// other direction gives no movement.
void AIDirectionVelocity(int32_t direction, double speed, double* vx, double* vy);

// Writes, or adds to, an int32 field kept by a package; nothing unless the
// field is still there and is an int32. The sum wraps instead of
// overflowing.
void AIWriteInt(const PropertyRouter::SyncPointer& field, int32_t value);
void AIAddToInt(const PropertyRouter::SyncPointer& field, int32_t amount);

class AIBasePathPackage : public AIBasePackage {
public:
    AIBasePathPackage();

    // Binds the character's eight entity fields and the named speed
    // property of the character that (owner kind, owner) designates, and
    // marks the package synched. Fields not found stay cleared (their
    // lookups say why); without its position record the package never
    // moves. True when the record and the speed were found.
    bool SyncPointers(const std::string& ownerKind, const std::string& owner, const std::string& speedProperty);

    void SetTarget(int32_t x, int32_t y) {
        m_targetX = x;
        m_targetY = y;
    }
    int32_t GetTargetX() const { return m_targetX; }
    int32_t GetTargetY() const { return m_targetY; }
    uint8_t IsPathSynched() const { return m_pathSynched; }

    // One step toward the target; finishes within 10 units of it.
    void RunAI() override;

    // Direction toward (tx, ty) from (x, y) with a tolerance of 5.
    static int32_t DirectionToward(int32_t x, int32_t y, int32_t tx, int32_t ty);

private:
    AIEntityPointers m_pointers;
    PropertyRouter::SyncPointer m_speed;
    uint8_t m_pathSynched = 0;
    int32_t m_targetX = -1;
    int32_t m_targetY = -1;
    double m_remainingX = 0.0;
    double m_remainingY = 0.0;
};
