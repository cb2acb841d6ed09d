#pragma once
// A world enemy's chase: every step it runs straight at its target (the
// player's centre, read each step) at the enemy's trot speed, with
// collisions. It never finishes; the enemy replaces it every step while the
// player stays in its detect range.
#include <cstdint>
#include <string>

#include "world/ai/AIBasePackage.h"

constexpr int32_t kTypeAIWorldEnemyPackage = 1150;

class AIWEChasePackage : public AIBasePackage {
public:
    AIWEChasePackage();

    // Binds the character's eight entity fields and its "TrotSpeed" through
    // the router (owner kind, owner) and marks the package synched. True
    // when the position record and the speed were found.
    bool SyncPointers(const std::string& ownerKind, const std::string& owner);
    // Binds the target's x and y (doubles, e.g. the player's "XCenter" and
    // "YCenter"); true when both were found.
    bool SetTargetPointers(const std::string& ownerKind, const std::string& owner, const std::string& xProperty,
                           const std::string& yProperty);

    void RunAI() override;

    double GetCurrentSpeed() const { return m_currentSpeed; }
    int32_t GetTargetX() const { return m_targetX; }
    int32_t GetTargetY() const { return m_targetY; }

private:
    AIEntityPointers m_pointers;
    PropertyRouter::SyncPointer m_speed;
    PropertyRouter::SyncPointer m_targetXPointer;
    PropertyRouter::SyncPointer m_targetYPointer;
    double m_currentSpeed = 0.0;
    int32_t m_targetX = 0;
    int32_t m_targetY = 0;
};
