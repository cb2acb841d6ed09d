#include "world/ai/AITrailingPackage.h"

#include "core/base/Int32Range.h"
#include "world/Dimensions.h"
#include "world/NonPlayingCharacter.h"
#include "world/PhysicsMovement.h"
#include "world/ai/AIBasePathPackage.h"

namespace {

using SyncPointer = PropertyRouter::SyncPointer;

bool BindTyped(SyncPointer& pointer, const std::string& kind, const std::string& owner, const std::string& property,
               int32_t type) {
    return pointer.Bind(kind, owner, property) && pointer.GetValueType() == type;
}

uint8_t ReadFlag(const SyncPointer& flag) {
    return flag.GetValueType() == PropertyRouter::kByte ? *static_cast<const uint8_t*>(flag.Get()) : 0;
}

void WriteFlag(const SyncPointer& flag, uint8_t value) {
    if (flag.GetValueType() == PropertyRouter::kByte) *static_cast<uint8_t*>(flag.Get()) = value;
}

}  // namespace

AITrailingPackage::AITrailingPackage() { m_type = kTypeId; }

bool AITrailingPackage::SyncPointers(NonPlayingCharacter* trailer, const std::string& ownerKind,
                                     const std::string& owner, const std::string& stationary,
                                     const std::string& walking, const std::string& running) {
    const bool all = trailer && BindTyped(m_stationary, ownerKind, owner, stationary, PropertyRouter::kByte) &&
                     BindTyped(m_walking, ownerKind, owner, walking, PropertyRouter::kByte) &&
                     BindTyped(m_running, ownerKind, owner, running, PropertyRouter::kByte) &&
                     BindTyped(m_animDirection, ownerKind, owner, "AnimDirection", PropertyRouter::kInt) &&
                     BindTyped(m_animTimer, ownerKind, owner, "AnimTimer", PropertyRouter::kInt) &&
                     BindTyped(m_trailerRecord, ownerKind, owner, "Dimensions", PropertyRouter::kDimensions) &&
                     m_trailerRecord.Get() == trailer->GetDimensionsPointer();
    if (!all) {
        for (SyncPointer* pointer :
             {&m_stationary, &m_walking, &m_running, &m_animDirection, &m_animTimer, &m_trailerRecord})
            pointer->Clear();
        m_trailer = nullptr;
        return false;
    }
    m_trailer = trailer;
    SetSynched(1);
    return true;
}

bool AITrailingPackage::SetTargetPointers(const std::string& ownerKind, const std::string& owner,
                                          const std::string& dimensions, const std::string& stationary,
                                          const std::string& walking, const std::string& running,
                                          const std::string& direction) {
    // Checked on stand-ins first, so a failure keeps the leader there was.
    SyncPointer record, flagStationary, flagWalking, flagRunning, facing;
    if (!BindTyped(record, ownerKind, owner, dimensions, PropertyRouter::kDimensions) ||
        !BindTyped(flagStationary, ownerKind, owner, stationary, PropertyRouter::kByte) ||
        !BindTyped(flagWalking, ownerKind, owner, walking, PropertyRouter::kByte) ||
        !BindTyped(flagRunning, ownerKind, owner, running, PropertyRouter::kByte) ||
        !BindTyped(facing, ownerKind, owner, direction, PropertyRouter::kInt))
        return false;
    m_leaderRecord.Bind(ownerKind, owner, dimensions);
    m_leaderStationary.Bind(ownerKind, owner, stationary);
    m_leaderWalking.Bind(ownerKind, owner, walking);
    m_leaderRunning.Bind(ownerKind, owner, running);
    m_leaderDirection.Bind(ownerKind, owner, direction);
    return true;
}

bool AITrailingPackage::ReadLeader(LeaderState* state) const {
    if (m_leaderRecord.GetValueType() != PropertyRouter::kDimensions) return false;
    const auto* record = static_cast<const Dimensions*>(m_leaderRecord.Get());
    state->x = record->X;
    state->y = record->Y;
    state->z = record->Z;
    state->stationary = ReadFlag(m_leaderStationary);
    state->walking = ReadFlag(m_leaderWalking);
    state->trotting = 0;
    state->running = ReadFlag(m_leaderRunning);
    if (state->stationary != 1 && state->walking != 1 && state->running != 1) state->stationary = 1;
    state->direction = m_leaderDirection.GetValueType() == PropertyRouter::kInt
                           ? *static_cast<const int32_t*>(m_leaderDirection.Get())
                           : 4;
    return true;
}

void AITrailingPackage::Stand() {
    WriteFlag(m_stationary, 1);
    WriteFlag(m_walking, 0);
    WriteFlag(m_running, 0);
    AIWriteInt(m_animTimer, 0);
}

void AITrailingPackage::RunAI() {
    // The trailer's record goes with the trailer (and with every kept field
    // of it), so a cleared record means there is no one to move.
    if (!IsSynched() || !m_trailer || !m_trailerRecord.Get()) return;
    LeaderState leader;
    if (!ReadLeader(&leader)) return;

    // Compared in full precision: a leader standing at a position a float
    // cannot hold is not moving.
    const bool moved = leader.x != m_previousX || leader.y != m_previousY;
    if (m_filling) {
        if (moved) {
            m_ring[m_ringIndex] = leader;
            if (++m_ringIndex >= kRingSize) {
                m_filling = 0;
                m_ringIndex = 0;
            }
        }
        Stand();
    } else if (!moved) {
        Stand();
        return;
    } else {
        const LeaderState& entry = m_ring[m_ringIndex];
        m_trailer->SetCoordinates(TruncateToInt32(entry.x), TruncateToInt32(entry.y + 1.0), 0);
        WriteFlag(m_stationary, entry.stationary);
        WriteFlag(m_walking, entry.walking);
        WriteFlag(m_running, entry.running);
        AIWriteInt(m_animDirection, entry.direction);
        m_ring[m_ringIndex] = leader;
        m_ringIndex = (m_ringIndex + 1) % kRingSize;
        AIAddToInt(m_animTimer, 1);
    }
    m_previousX = leader.x;
    m_previousY = leader.y;
}
