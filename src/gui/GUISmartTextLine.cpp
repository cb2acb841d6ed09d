#include "gui/GUISmartTextLine.h"

#include <cstdio>

GUISmartTextLine::GUISmartTextLine() { m_type = kTypeGUISmartTextLine; }

GUISmartTextLine::~GUISmartTextLine() = default;

void GUISmartTextLine::Watch(const std::string& kind, const std::string& owner, const std::string& property) {
    m_watch.Bind(kind, owner, property);
}

bool GUISmartTextLine::OnEvent(int, int, int) {
    // SetString marks the line dirty only when the shown text changes.
    void* address = m_watch.Get();
    if (!address) return false;
    char buffer[32];
    switch (m_watch.GetValueType()) {
        case PropertyRouter::kInt:
            std::snprintf(buffer, sizeof buffer, "%i", *static_cast<const int32_t*>(address));
            SetString(buffer);
            break;
        case PropertyRouter::kFloat:
            // Huge values are cut at the buffer's end rather than overflow it.
            std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(*static_cast<const float*>(address)));
            SetString(buffer);
            break;
        case PropertyRouter::kString: SetString(*static_cast<const std::string*>(address)); break;
        default: break;
    }
    return false;
}
