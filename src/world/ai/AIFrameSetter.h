#pragma once
// Forces a character's animation frame: every step it writes a fixed timer
// value and a fixed direction into the fields it was given (-1 leaves that
// field alone). It never finishes by itself.
#include <cstdint>
#include <string>

#include "world/ai/AIBasePackage.h"

class AIFrameSetter : public AIBasePackage {
public:
    AIFrameSetter();

    // Binds the timer and direction fields of the owner that (owner kind,
    // owner) designates. A field not found stays cleared and is skipped.
    void SetPointers(const std::string& ownerKind, const std::string& owner, const std::string& timerProperty,
                     const std::string& directionProperty);
    void SetValues(int32_t timer, int32_t direction) {
        m_timerValue = timer;
        m_directionValue = direction;
    }

    void RunAI() override;

private:
    PropertyRouter::SyncPointer m_timer;
    PropertyRouter::SyncPointer m_direction;
    int32_t m_timerValue = -1;
    int32_t m_directionValue = -1;
};
