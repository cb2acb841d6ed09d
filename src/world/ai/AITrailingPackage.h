#pragma once
// Makes a character walk a leader's path 30 moves behind it: each time the
// leader moves, its state (position, movement flags, direction) goes into a
// ring of 30 entries, and once the ring is full the trailer takes the
// oldest entry (one unit lower in y) as the leader makes each new move. The
// trailer stands while the ring fills and whenever the leader stands. It
// never finishes by itself.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "world/ai/AIBasePackage.h"

class NonPlayingCharacter;

class AITrailingPackage : public AIBasePackage {
public:
    static constexpr int32_t kTypeId = 1104;
    static constexpr int kRingSize = 30;

    struct LeaderState {
        double x = -1.0, y = -1.0, z = -1.0;
        uint8_t stationary = 1, walking = 0, trotting = 0, running = 0;
        int32_t direction = 4;
    };

    AITrailingPackage();

    // Binds the trailer's three flag properties, its "AnimDirection" and
    // "AnimTimer" (through owner kind and owner, which must designate the
    // trailer) and keeps the trailer, whose AI queue holds this package.
    // True, and synched, only when all five were found with the types they
    // need (byte flags, int32 fields); otherwise nothing is kept.
    bool SyncPointers(NonPlayingCharacter* trailer, const std::string& ownerKind, const std::string& owner,
                      const std::string& stationary, const std::string& walking, const std::string& running);

    // The leader: its position record, its three flags and its direction,
    // each a property of (owner kind, owner). True only when all five were
    // found with their types (record 101, flags 1, direction 2); otherwise
    // nothing changes.
    bool SetTargetPointers(const std::string& ownerKind, const std::string& owner, const std::string& dimensions,
                           const std::string& stationary, const std::string& walking, const std::string& running,
                           const std::string& direction);

    bool IsFilling() const { return m_filling != 0; }
    int32_t GetRingIndex() const { return m_ringIndex; }
    const LeaderState& GetEntry(int index) const { return m_ring[index]; }

    void RunAI() override;

private:
    // The leader's state now, or false when its record has gone.
    bool ReadLeader(LeaderState* state) const;
    // Stationary 1, Walking and Running 0, AnimTimer 0.
    void Stand();

    int32_t m_ringIndex = 0;
    LeaderState m_ring[kRingSize];
    NonPlayingCharacter* m_trailer = nullptr;
    PropertyRouter::SyncPointer m_stationary;
    PropertyRouter::SyncPointer m_walking;
    PropertyRouter::SyncPointer m_running;
    PropertyRouter::SyncPointer m_animDirection;
    PropertyRouter::SyncPointer m_animTimer;
    // Cleared with every other kept field when the trailer goes, so the
    // trailer is used only while it is there.
    PropertyRouter::SyncPointer m_trailerRecord;
    PropertyRouter::SyncPointer m_leaderRecord;
    PropertyRouter::SyncPointer m_leaderStationary;
    PropertyRouter::SyncPointer m_leaderWalking;
    PropertyRouter::SyncPointer m_leaderRunning;
    PropertyRouter::SyncPointer m_leaderDirection;
    uint8_t m_filling = 1;
    // The leader's position at the previous step.
    double m_previousX = -1.0;
    double m_previousY = -1.0;
};

// Registers AITP_SyncTargetPointers.
void RegisterAITrailingPackageLuaFunctions(lua_State* L);
