#pragma once
// A world enemy's wandering: it picks a point 100 to 199 units away in a
// random direction and walks there at a third of its walk speed, with
// collisions, then picks the next; after 11 steps without moving more than
// half a unit it gives the point up. It never finishes.
#include <cstdint>
#include <string>

#include "world/ai/AIBasePackage.h"
#include "world/ai/AIWEChasePackage.h"

struct Dimensions;

class AIWEWanderPackage : public AIBasePackage {
public:
    AIWEWanderPackage();

    // Binds the character's eight entity fields and its "WalkSpeed" through
    // the router and marks the package synched. True when the position
    // record and the speed were found.
    bool SyncPointers(const std::string& ownerKind, const std::string& owner);

    // One step; draws from the engine's random source when a new point is
    // needed.
    void RunAI() override;

    bool HasTarget() const { return m_hasTarget; }
    int32_t GetTargetX() const { return m_targetX; }
    int32_t GetTargetY() const { return m_targetY; }
    int32_t GetStuckCount() const { return m_stuck; }

    // Steps without progress after which the point is given up.
    static constexpr int32_t kStuckLimit = 10;

private:
    void PickTarget(const Dimensions& record);

    AIEntityPointers m_pointers;
    PropertyRouter::SyncPointer m_speed;
    bool m_hasTarget = false;
    int32_t m_targetX = -1;
    int32_t m_targetY = -1;
    double m_previousX = 0.0;
    double m_previousY = 0.0;
    int32_t m_stuck = 0;
};
