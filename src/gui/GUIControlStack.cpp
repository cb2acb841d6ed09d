#include "gui/GUIControlStack.h"

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIBaseObject.h"

void GUIControlStack::Push(GUIBaseObject* object) {
    if (object) m_list.AddToFront("X", object);
}

void GUIControlStack::Remove(GUIBaseObject* object) {
    if (!object || !m_list.RemoveValue(object)) return;
    if (object->ClosesOnLeavingStack()) object->Close();
}

void GUIControlStack::Pop() {
    if (m_list.IsEmpty()) return;
    auto* object = static_cast<GUIBaseObject*>(m_list.RemoveFirst());
    if (object && object->ClosesOnLeavingStack()) object->Close();
}

void GUIControlStack::Toggle(GUIBaseObject* object) {
    if (!object) return;
    if (Contains(object))
        Remove(object);
    else
        Push(object);
}

void GUIControlStack::Set(bool on, GUIBaseObject* object) {
    if (!object) return;
    bool present = Contains(object);
    if (on && !present)
        Push(object);
    else if (!on && present)
        Remove(object);
}

void GUIControlStack::Clear() {
    // Closing an object may take it (or others) off the stack through Hide,
    // so the walk goes over a snapshot and skips objects that have gone.
    for (const GUIBaseObject::WalkEntry& entry : GUIBaseObject::Snapshot(m_list)) {
        if (entry.Alive() && m_list.ContainsValue(entry.object) && entry.object->ClosesOnLeavingStack()) {
            // Off the stack first, so the Hide that Close runs finds nothing.
            while (m_list.RemoveValue(entry.object)) {
            }
            entry.object->Close();
        }
    }
    m_list.Clear();
}

bool GUIControlStack::Contains(const GUIBaseObject* object) const { return object && m_list.ContainsValue(object); }

GUIBaseObject* GUIControlStack::Top() const {
    NamedList::Node* head = m_list.GetHead();
    return head ? static_cast<GUIBaseObject*>(head->value) : nullptr;
}

bool GUIControlStack::TopHoldsInput() const {
    GUIBaseObject* top = Top();
    return top && top->HoldsInput();
}

namespace {

// The action of the update being run: taken from the keyboard's queue at
// its first read, so every read within one update gives the same action.
struct UpdateAction {
    bool inUpdate = false;
    bool taken = false;
    int32_t action = -1;
};
UpdateAction g_update;

int32_t ReadPressedBinding(const KeyboardManager& keyboard) {
    for (const auto& [name, binding] : keyboard.GetBindings()) {
        if (binding.menuIndex != -1 && (binding.pressed || binding.repeat) && !keyboard.IsMenuBindingMuted(binding))
            return binding.menuIndex;
    }
    return -1;
}

}  // namespace

void GUIControlStack::Update() {
    KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    GUIBaseObject* top = Top();
    if (!top) {
        if (keyboard) {
            keyboard->RemoveInputLock(kInputLockName);
            // Keys struck while no object holds the keyboard were the
            // player's: no menu opened later acts on them.
            keyboard->ClearMenuActions();
        }
        m_lastTop = nullptr;
        return;
    }
    if (keyboard) {
        keyboard->AddInputLock(kInputLockName);
        // An object that has just come on top is not driven by a key held
        // since before it opened until that key is struck again.
        if (top != m_lastTop || m_lastTopLife.expired()) keyboard->MuteHeldMenuKeys();
    }
    m_lastTop = top;
    m_lastTopLife = top->GetLifeToken();
    std::weak_ptr<char> life = top->GetLifeToken();
    g_update = {true, false, -1};
    bool letGo = top->HandleNavigation();
    // An object that reads no menu action (an input box typing, a box
    // without navigation) had the keys struck meanwhile for itself.
    if (keyboard && !g_update.taken) keyboard->ClearMenuActions();
    g_update = {};
    // Navigation may have destroyed the object; its destructor has then
    // taken it off the stack already.
    if (letGo && !life.expired()) Remove(top);
}

void GUIControlStack::Forget(const GUIBaseObject* object) {
    if (!object) return;
    while (m_list.RemoveValue(object)) {
    }
}

int32_t GUIControlStack::ReadNavigationAction() {
    KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    if (!keyboard) return -1;
    if (!g_update.inUpdate) return ReadPressedBinding(*keyboard);
    if (!g_update.taken) {
        g_update.taken = true;
        g_update.action = keyboard->TakeMenuAction();
        if (g_update.action == -1) g_update.action = ReadPressedBinding(*keyboard);
    }
    return g_update.action;
}
