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

void GUIControlStack::Update() {
    GUIBaseObject* top = Top();
    if (!top) {
        if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->RemoveInputLock(kInputLockName);
        return;
    }
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->AddInputLock(kInputLockName);
    std::weak_ptr<char> life = top->GetLifeToken();
    bool letGo = top->HandleNavigation();
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
    for (const auto& [name, binding] : keyboard->GetBindings()) {
        if (binding.menuIndex != -1 && (binding.pressed || binding.repeat)) return binding.menuIndex;
    }
    return -1;
}
