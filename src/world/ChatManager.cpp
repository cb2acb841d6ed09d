#include "world/ChatManager.h"

#include <cstdint>

#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIInputTextBox.h"

ChatManager::ChatManager() = default;

ChatManager::~ChatManager() { PropertyRouter::ForgetOwner(this); }

void* ChatManager::RoutePointer(const std::string& /*owner*/, const std::string& property) {
    static const std::string kPrefix = "Log|";
    if (property.size() < kPrefix.size() + 2 || property.compare(0, kPrefix.size(), kPrefix) != 0) return nullptr;
    // The two characters after the prefix, read as a decimal number up to
    // the first non-digit; no leading digit means no line.
    int index = -1;
    for (size_t i = kPrefix.size(); i < kPrefix.size() + 2; ++i) {
        char c = property[i];
        if (c < '0' || c > '9') break;
        index = (index < 0 ? 0 : index * 10) + (c - '0');
    }
    if (index < 0 || index >= kNewestLines) return nullptr;
    PropertyRouter::Report(PropertyRouter::kString);
    return &m_newest[static_cast<size_t>(index)];
}

bool ChatManager::SetWatchedBox(GUIBaseObject* box) {
    if (box && box->GetType() != kTypeGUIInputTextBox) return false;
    m_watchedBox = box;
    m_watchedLife = box ? box->GetLifeToken() : std::weak_ptr<char>();
    return true;
}

GUIBaseObject* ChatManager::GetWatchedBox() const {
    return m_watchedBox && !m_watchedLife.expired() ? m_watchedBox : nullptr;
}

void ChatManager::Update() {
    if (!GetWatchedBox()) {
        m_watchedBox = nullptr;  // a destroyed box ends the watch
        return;
    }
    std::string line;
    auto* box = dynamic_cast<GUIInputTextBox*>(m_watchedBox);
    if (box && box->TakeEnteredText(line)) AddLine(line);
}

void ChatManager::AddLine(const std::string& line) {
    m_log.push_front(line);
    if (m_log.size() > kMaxLogLines) m_log.pop_back();
    if (m_count < INT32_MAX) ++m_count;
    for (size_t i = 0; i < m_newest.size(); ++i) {
        if (i < m_log.size())
            m_newest[i] = m_log[i];
        else
            m_newest[i].clear();
    }
}

const std::string* ChatManager::GetNewestLine(int index) const {
    if (index < 0 || index >= kNewestLines || static_cast<size_t>(index) >= m_log.size()) return nullptr;
    return &m_newest[static_cast<size_t>(index)];
}
