#pragma once
// Follows a moving point (two numeric properties of any owner the router
// knows) and keeps about 50 units from it, matching the point's pace over
// the last 25 steps: the speed moves toward that mean by a fixed step, and
// the character walks, trots or runs according to the speed. It never
// finishes by itself.
#include <cstdint>
#include <string>

#include "world/ai/AIBasePackage.h"

class AIFollowingPackage : public AIBasePackage {
public:
    static constexpr int kRingSize = 25;

    AIFollowingPackage();

    // Binds the character's eight entity fields and its "WalkSpeed",
    // "TrotSpeed" and "RunSpeed", and marks the package synched. True when
    // the position record was found.
    bool SyncPointers(const std::string& ownerKind, const std::string& owner);

    // Binds the two coordinates to follow and takes their current values as
    // the previous target. False (nothing changed) unless both are found and
    // hold numbers.
    bool SetTargetPointers(const std::string& xKind, const std::string& xOwner, const std::string& xProperty,
                           const std::string& yKind, const std::string& yOwner, const std::string& yProperty);

    // The target's coordinates, truncated; -1 without a target.
    int32_t GetTargetX() const;
    int32_t GetTargetY() const;
    double GetSpeed() const { return m_speed; }

    void RunAI() override;

    // Direction toward (tx, ty) with a tolerance of 10; x is truncated, y
    // compared as it is.
    static int32_t DirectionToward(int32_t x, double y, int32_t tx, int32_t ty);

private:
    AIEntityPointers m_pointers;
    PropertyRouter::SyncPointer m_walkSpeed;
    PropertyRouter::SyncPointer m_trotSpeed;
    PropertyRouter::SyncPointer m_runSpeed;
    double m_speed = 2.2;
    double m_speedStep = 0.3;
    PropertyRouter::SyncPointer m_targetXPointer;
    PropertyRouter::SyncPointer m_targetYPointer;
    int32_t m_targetX = 0;
    int32_t m_targetY = 0;
    double m_remainingX = 0.0;
    double m_remainingY = 0.0;
    int32_t m_ringIndex = 0;
    double m_ring[kRingSize] = {};
    int32_t m_previousTargetX = 0;
    int32_t m_previousTargetY = 0;
};

// Registers AIFP_FollowCoordinates.
void RegisterAIFollowingPackageLuaFunctions(lua_State* L);
