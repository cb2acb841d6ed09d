#include "gui/GUIControlStack.h"

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"

void GUIControlStack::Remove(GUIBaseObject* object) {
    if (!object || !m_list.RemoveValue(object)) return;
    if (!m_list.ContainsValue(object)) m_since.erase(object);
    NoteNewTop();
    if (object->ClosesOnLeavingStack()) object->Close();
}

void GUIControlStack::Pop() {
    if (m_list.IsEmpty()) return;
    auto* object = static_cast<GUIBaseObject*>(m_list.RemoveFirst());
    if (object && !m_list.ContainsValue(object)) m_since.erase(object);
    NoteNewTop();
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
    m_since.clear();
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

// The stroke being handed to the object on top, while it is.
const KeyStroke* g_stroke = nullptr;
// The stroke the GUI is handling (as a hot key or for the object on top).
const KeyStroke* g_inHand = nullptr;

}  // namespace

GUIControlStack::StrokeInHand::StrokeInHand(const KeyStroke& stroke) : m_outer(g_inHand) { g_inHand = &stroke; }

GUIControlStack::StrokeInHand::~StrokeInHand() { g_inHand = m_outer; }

uint64_t GUIControlStack::StreamPosition() {
    if (g_inHand) return g_inHand->serial;
    const KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    return keyboard ? keyboard->GetStrokesStruck() : 0;
}

bool GUIControlStack::TopTakes(const KeyStroke& stroke) const {
    GUIBaseObject* top = Top();
    if (!top) return false;
    auto since = m_since.find(top);
    return since == m_since.end() || stroke.serial > since->second;
}

namespace {

// Its top-level window to the front of the GUI's top level: drawn over the
// others, hit first.
void BringToFront(GUIBaseObject* object) {
    while (object->GetParent()) object = object->GetParent();
    if (GUIManager* gui = GetGlobalState()->guiManager) gui->BringToFront(nullptr, object);
}

}  // namespace

void GUIControlStack::Push(GUIBaseObject* object) {
    if (!object) return;
    // The window opened last holds the keys and is in front, unless a line
    // is being typed: the line keeps both until it is sent or left, and
    // what opens meanwhile waits beneath it, taking the strokes struck after
    // the line went.
    GUIBaseObject* line = TopHoldsInput() && !object->HoldsInput() ? Top() : nullptr;
    if (line) m_list.RemoveFirst();
    m_list.AddToFront("X", object);
    m_since[object] = line ? kNotYetOnTop : StreamPosition();
    BringToFront(object);
    if (line) {
        m_list.AddToFront("X", line);
        BringToFront(line);
    }
    // The player sees no key from the moment something holds the keys, not
    // only from the next pulse: a key that opened it moves nobody.
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->AddInputLock(kInputLockName);
}

void GUIControlStack::Update() {
    GUIBaseObject* top = Top();
    if (!top) {
        if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->RemoveInputLock(kInputLockName);
        return;
    }
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->AddInputLock(kInputLockName);
    RunTop(top, nullptr);
}

void GUIControlStack::Deliver(const KeyStroke& stroke) {
    if (GUIBaseObject* top = Top()) RunTop(top, &stroke);
}

void GUIControlStack::RunTop(GUIBaseObject* top, const KeyStroke* stroke) {
    std::weak_ptr<char> life = top->GetLifeToken();
    const KeyStroke* outer = g_stroke;
    g_stroke = stroke;
    bool letGo = top->HandleNavigation();
    g_stroke = outer;
    // Navigation may have destroyed the object; its destructor has then
    // taken it off the stack already.
    if (letGo && !life.expired()) Remove(top);
}

void GUIControlStack::Forget(const GUIBaseObject* object) {
    if (!object) return;
    while (m_list.RemoveValue(object)) {
    }
    m_since.erase(object);
    NoteNewTop();
}

void GUIControlStack::NoteNewTop() {
    auto since = m_since.find(Top());
    if (since != m_since.end() && since->second == kNotYetOnTop) since->second = StreamPosition();
}

const KeyStroke* GUIControlStack::CurrentStroke() { return g_stroke; }

int32_t GUIControlStack::ReadNavigationAction() { return g_stroke ? g_stroke->menuAction : -1; }
