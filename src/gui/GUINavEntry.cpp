#include "gui/GUINavEntry.h"

#include <string_view>

#include "gui/GUIBaseObject.h"

void GUINavEntry::SetTarget(GUIBaseObject* target) {
    m_target = target;
    m_life = target ? target->GetLifeToken() : std::weak_ptr<char>();
}

void GUINavEntry::SetScript(const char* script) {
    forceCall = false;
    scriptPath.clear();
    if (!script) {
        scriptPath = kVoidScript;
    } else if (std::string_view(script) == kForceCall) {
        forceCall = true;
    } else {
        scriptPath = script;
    }
}
