#include "gui/GUIButtonCallbacks.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "core/base/GlobalState.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "gui/GUIScrollBar.h"

namespace {

GUIBaseObject* ClickedButtonParent() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    GUIBaseObject* button = manager->GetClickedButton();
    return button ? button->GetParent() : nullptr;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::vector<std::pair<std::string, ButtonCallbackLookup>>& PrefixLookups() {
    static std::vector<std::pair<std::string, ButtonCallbackLookup>> lookups;
    return lookups;
}

struct NamedCallback {
    const char* name;
    ButtonCallback callback;
};

const NamedCallback kCallbacks[] = {
    {"Button_Hide_Parent", &Button_Hide_Parent},
    {"Button_Show_Parent", &Button_Show_Parent},
    {"Button_Scrollbar_Increment", &Button_Scrollbar_Increment},
    {"Button_Scrollbar_Decrement", &Button_Scrollbar_Decrement},
    {"Button_Open_Menu", &Button_Open_Menu},
    {"Button_QuitGame", &Button_QuitGame},
    {nullptr, nullptr},
};

}  // namespace

void RegisterButtonCallbackPrefix(const std::string& prefix, ButtonCallbackLookup lookup) {
    for (auto& entry : PrefixLookups()) {
        if (entry.first == prefix) {
            entry.second = lookup;
            return;
        }
    }
    PrefixLookups().emplace_back(prefix, lookup);
}

bool HasButtonCallbackPrefix(const std::string& prefix) {
    for (const auto& [registered, lookup] : PrefixLookups())
        if (registered == prefix) return lookup != nullptr;
    return false;
}

std::vector<std::string> RegisteredButtonCallbackPrefixes() {
    std::vector<std::string> prefixes;
    for (const auto& [prefix, lookup] : PrefixLookups())
        if (lookup) prefixes.push_back(prefix);
    return prefixes;
}

ButtonCallback FindButtonCallback(const std::string& name) {
    for (const auto& [prefix, lookup] : PrefixLookups())
        if (StartsWith(name, prefix)) return lookup ? lookup(name) : nullptr;
    for (const NamedCallback* entry = kCallbacks; entry->name; ++entry)
        if (name == entry->name) return entry->callback;
    return nullptr;
}

bool Button_Hide_Parent(void*) {
    GUIBaseObject* parent = ClickedButtonParent();
    if (!parent) return false;
    GUIManager* manager = GetGlobalState()->guiManager;
    // Only the parent's own entries leave the active-window list: another
    // window at the head (the pause menu, say) stays where Esc finds it. The
    // window behind is reopened only when the parent was the one in front.
    NamedList* active = manager->GetActiveWindowList();
    NamedList::Node* head = active->GetHead();
    const bool parentInFront = head && head->value == parent;
    std::weak_ptr<char> life = parent->GetLifeToken();
    parent->Close();
    if (!life.expired()) manager->RemoveActiveWindow(parent);
    if (!parentInFront) return true;
    if (NamedList::Node* next = active->GetHead())
        if (next->value) static_cast<GUIBaseObject*>(next->value)->Open();
    return true;
}

bool Button_Show_Parent(void*) {
    GUIBaseObject* parent = ClickedButtonParent();
    if (!parent) return false;
    parent->Open();
    return true;
}

bool Button_Open_Menu(void* argument) {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!argument || !manager) return false;
    // A button without a target name hands over itself or its data buffer.
    // The button is no name, and a buffer is read as one only when it ends
    // within its size; reading on would run past its end.
    GUIBaseObject* clicked = manager->GetClickedButton();
    if (clicked && clicked->GetType() == kTypeGUIButton) {
        auto* button = static_cast<GUIButton*>(clicked);
        if (argument == button) return false;
        if (argument == button->GetData() &&
            !std::memchr(button->GetData(), 0, static_cast<size_t>(button->GetDataSize())))
            return false;
    }
    const char* name = static_cast<const char*>(argument);
    GUIBaseObject* window = manager->FindObject(name);
    if (!window) return false;
    // The name may belong to the object being closed: keep a copy.
    const std::string key = name;
    std::weak_ptr<char> life = window->GetLifeToken();
    if (NamedList::Node* head = manager->GetActiveWindowList()->GetHead())
        if (head->value) static_cast<GUIBaseObject*>(head->value)->Close();
    if (life.expired()) return false;
    window->Open();
    if (life.expired()) return false;
    manager->AddActiveWindowNamed(key.c_str(), window);
    return true;
}

bool Button_QuitGame(void*) {
    std::fputs("quit game", stderr);
    GetGlobalState()->quit = 1;
    return true;
}

bool Button_DoNothing(void*) { return true; }
