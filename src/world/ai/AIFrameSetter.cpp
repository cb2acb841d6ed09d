#include "world/ai/AIFrameSetter.h"

#include "core/base/RootObject.h"
#include "world/ai/AIBasePathPackage.h"

AIFrameSetter::AIFrameSetter() { m_type = kTypeAIFrameSetter; }

void AIFrameSetter::SetPointers(const std::string& ownerKind, const std::string& owner,
                                const std::string& timerProperty, const std::string& directionProperty) {
    m_timer.Bind(ownerKind, owner, timerProperty);
    m_direction.Bind(ownerKind, owner, directionProperty);
    SetSynched(1);
}

void AIFrameSetter::RunAI() {
    if (m_timerValue != -1) AIWriteInt(m_timer, m_timerValue);
    if (m_directionValue != -1) AIWriteInt(m_direction, m_directionValue);
}
